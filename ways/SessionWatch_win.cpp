#include "ways/SessionWatch_win.h"

#include "common/WinHandles.h"
#include "common/WindowsVersion_win.h"

#include <iterator>

namespace uv {

namespace {

using WtsRegisterFn = BOOL(WINAPI*)(HWND, DWORD);
using WtsUnregisterFn = BOOL(WINAPI*)(HWND);
using RegisterPowerFn = HANDLE(WINAPI*)(HANDLE, const GUID*, DWORD);
using UnregisterPowerFn = BOOL(WINAPI*)(HANDLE);

constexpr WPARAM kSessionLock = 0x7, kSessionUnlock = 0x8;
constexpr WPARAM kPowerSettingChange = 0x8013;  // PBT_POWERSETTINGCHANGE
// GUID_SESSION_DISPLAY_STATUS and GUID_CONSOLE_DISPLAY_STATE (Windows 8 and
// later), GUID_MONITOR_POWER_ON (Vista and later), in the order of Display.
constexpr GUID kDisplayNotices[] = {
    {0x2b84c20e, 0xad23, 0x4ddf, {0x93, 0xdb, 0x05, 0xff, 0xbd, 0x7e, 0xfc, 0xa5}},
    {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}},
    {0x02731015, 0x4510, 0x4526, {0x99, 0xe6, 0xe5, 0xa1, 0x7e, 0xbd, 0x1a, 0xea}},
};

// POWERBROADCAST_SETTING, which the XP headers lack.
struct PowerSetting {
    GUID setting;
    DWORD length;
    UCHAR data[1];
};

}  // namespace

void SessionWatch::Start(HWND window) {
    // Vista and 7 do not know the later notifications: asking for them there
    // may succeed and then never tell anything.
    OSVERSIONINFOA v;
    const bool windows8 = ReportedWindowsVersion(v) &&
                          (v.dwMajorVersion > 6 || (v.dwMajorVersion == 6 && v.dwMinorVersion >= 2));
    Start(window, windows8 ? Display::SessionStatus : Display::MonitorPower);
}

void SessionWatch::Start(HWND window, Display first) {
    Stop();
    window_ = window;
    wtsapi_ = LoadLibraryA("wtsapi32.dll");
    if (const auto reg = LaterFunction<WtsRegisterFn>(wtsapi_, "WTSRegisterSessionNotification"))
        sessionRegistered_ = reg(window, 0 /* NOTIFY_FOR_THIS_SESSION */) != FALSE;
    const HMODULE user32 = GetModuleHandleA("user32.dll");
    if (const auto reg = LaterFunction<RegisterPowerFn>(user32, "RegisterPowerSettingNotification")) {
        for (const GUID* g = &kDisplayNotices[static_cast<int>(first)];
             g != std::end(kDisplayNotices) && !powerNotify_; ++g) {
            powerNotify_ = reg(window, g, 0 /* DEVICE_NOTIFY_WINDOW_HANDLE */);
            if (powerNotify_) display_ = g;
        }
    }
}

void SessionWatch::Stop() {
    if (sessionRegistered_)
        if (const auto unreg = LaterFunction<WtsUnregisterFn>(wtsapi_, "WTSUnRegisterSessionNotification"))
            unreg(window_);
    if (powerNotify_)
        if (const auto unreg = LaterFunction<UnregisterPowerFn>(GetModuleHandleA("user32.dll"),
                                                                "UnregisterPowerSettingNotification"))
            unreg(powerNotify_);
    if (wtsapi_) FreeLibrary(wtsapi_);
    wtsapi_ = nullptr;
    sessionRegistered_ = false;
    powerNotify_ = nullptr;
    display_ = nullptr;
    displayOff_ = false;
}

bool SessionWatch::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    const bool unseen = Unseen();
    if (msg == kSessionChangeMessage) {
        if (wParam == kSessionLock) locked_ = true;
        if (wParam == kSessionUnlock) locked_ = false;
    } else if (msg == WM_POWERBROADCAST && wParam == kPowerSettingChange && lParam) {
        const auto* s = reinterpret_cast<const PowerSetting*>(lParam);
        // 0 is off; on (1) and dimmed (2) are seen.
        if (display_ && IsEqualGUID(s->setting, *display_) && s->length >= sizeof(DWORD))
            displayOff_ = *reinterpret_cast<const DWORD*>(s->data) == 0;
    }
    return unseen && !Unseen();
}

}  // namespace uv
