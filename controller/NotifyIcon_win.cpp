#include "controller/NotifyIcon_win.h"

#include <shellapi.h>

#include "common/WinHandles.h"

#include <cstring>

namespace uv {

namespace {

// ChangeWindowMessageFilterEx (Windows 7 and later) allows for one window;
// ChangeWindowMessageFilter (Vista) for the whole process.
using FilterWindowFn = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
using FilterProcessFn = BOOL(WINAPI*)(UINT, DWORD);
constexpr DWORD kFilterAllow = 1;  // MSGFLT_ALLOW, and MSGFLT_ADD of the older one

// The first version of the record: every shell understands it.
NOTIFYICONDATAA Record(HWND owner) {
    NOTIFYICONDATAA nid;
    std::memset(&nid, 0, sizeof nid);
    nid.cbSize = NOTIFYICONDATAA_V1_SIZE;
    nid.hWnd = owner;
    nid.uID = 0;
    return nid;
}

void CopyTip(NOTIFYICONDATAA& nid, const char* text) {
    std::strncpy(nid.szTip, text ? text : "", 63);
    nid.szTip[63] = 0;
}

}  // namespace

void AddNotifyIcon(HWND owner, HICON icon) {
    NOTIFYICONDATAA nid = Record(owner);
    nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    nid.uCallbackMessage = kNotifyCallbackMessage;
    nid.hIcon = icon;
    CopyTip(nid, kNotifyAddTip);
    Shell_NotifyIconA(NIM_ADD, &nid);
}

void SetNotifyTip(HWND owner, const char* text) {
    NOTIFYICONDATAA nid = Record(owner);
    nid.uFlags = NIF_TIP;
    CopyTip(nid, text);
    Shell_NotifyIconA(NIM_MODIFY, &nid);
}

void RemoveNotifyIcon(HWND owner) {
    NOTIFYICONDATAA nid = Record(owner);
    Shell_NotifyIconA(NIM_DELETE, &nid);
}

void AcceptShellMessages(HWND owner, UINT taskbarCreated) {
    const HMODULE user32 = GetModuleHandleA("user32.dll");
    const auto forWindow = LaterFunction<FilterWindowFn>(user32, "ChangeWindowMessageFilterEx");
    const auto forProcess = LaterFunction<FilterProcessFn>(user32, "ChangeWindowMessageFilter");
    for (const UINT message : {kNotifyCallbackMessage, taskbarCreated}) {
        if (!message) continue;
        if (!(forWindow && forWindow(owner, message, kFilterAllow, nullptr)) && forProcess)
            forProcess(message, kFilterAllow);
    }
}

}  // namespace uv
