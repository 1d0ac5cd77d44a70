#include "ways/SessionWatch_win.h"

#include "common/WinHandles.h"

namespace uv {

namespace {

using WtsRegisterFn = BOOL(WINAPI*)(HWND, DWORD);
using WtsUnregisterFn = BOOL(WINAPI*)(HWND);
using RegisterPowerFn = HANDLE(WINAPI*)(HANDLE, const GUID*, DWORD);
using UnregisterPowerFn = BOOL(WINAPI*)(HANDLE);

constexpr WPARAM kSessionLock = 0x7, kSessionUnlock = 0x8;
constexpr WPARAM kPowerSettingChange = 0x8013;  // PBT_POWERSETTINGCHANGE
// GUID_CONSOLE_DISPLAY_STATE (Windows 8 and later), else GUID_MONITOR_POWER_ON.
constexpr GUID kConsoleDisplayState = {
    0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
constexpr GUID kMonitorPowerOn = {
    0x02731015, 0x4510, 0x4526, {0x99, 0xe6, 0xe5, 0xa1, 0x7e, 0xbd, 0x1a, 0xea}};

// POWERBROADCAST_SETTING, which the XP headers lack.
struct PowerSetting {
    GUID setting;
    DWORD length;
    UCHAR data[1];
};

}  // namespace

void SessionWatch::Start(HWND window) {
    Stop();
    window_ = window;
    wtsapi_ = LoadLibraryA("wtsapi32.dll");
    if (const auto reg = LaterFunction<WtsRegisterFn>(wtsapi_, "WTSRegisterSessionNotification"))
        sessionRegistered_ = reg(window, 0 /* NOTIFY_FOR_THIS_SESSION */) != FALSE;
    const HMODULE user32 = GetModuleHandleA("user32.dll");
    if (const auto reg = LaterFunction<RegisterPowerFn>(user32, "RegisterPowerSettingNotification")) {
        powerNotify_ = reg(window, &kConsoleDisplayState, 0 /* DEVICE_NOTIFY_WINDOW_HANDLE */);
        if (!powerNotify_) powerNotify_ = reg(window, &kMonitorPowerOn, 0);
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
}

bool SessionWatch::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    const bool unseen = Unseen();
    if (msg == kSessionChangeMessage) {
        if (wParam == kSessionLock) locked_ = true;
        if (wParam == kSessionUnlock) locked_ = false;
    } else if (msg == WM_POWERBROADCAST && wParam == kPowerSettingChange && lParam) {
        const auto* s = reinterpret_cast<const PowerSetting*>(lParam);
        const bool display =
            IsEqualGUID(s->setting, kConsoleDisplayState) || IsEqualGUID(s->setting, kMonitorPowerOn);
        // 0 is off; on (1) and dimmed (2) are seen.
        if (display && s->length >= sizeof(DWORD))
            displayOff_ = *reinterpret_cast<const DWORD*>(s->data) == 0;
    }
    return unseen && !Unseen();
}

}  // namespace uv
