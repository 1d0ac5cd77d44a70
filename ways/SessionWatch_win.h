// Whether anybody can see the desktop: the session locked or the display
// off makes a renewal of the wallpaper a waste of the disk and the shell's
// time. The notifications come from functions of later systems, looked up
// at run time; where they are missing the desktop counts as seen.
#pragma once

#include <windows.h>

namespace uv {

class SessionWatch {
public:
    SessionWatch() = default;
    ~SessionWatch() { Stop(); }
    SessionWatch(const SessionWatch&) = delete;
    SessionWatch& operator=(const SessionWatch&) = delete;

    // The display notifications, best first. The console's say nothing of a
    // remote session, whose own display state only Windows 8 and later
    // report; Vista and 7 have only the console's monitor power.
    enum class Display { SessionStatus, ConsoleState, MonitorPower };

    // Asks for the session's lock and the display's notifications to window,
    // the best the running system has; Stop (at the latest the destructor)
    // gives them up again.
    void Start(HWND window);
    // The same, trying first and then the ones after it.
    void Start(HWND window, Display first);
    void Stop();

    static constexpr UINT kSessionChangeMessage = 0x02B1;  // WM_WTSSESSION_CHANGE

    // Takes WM_WTSSESSION_CHANGE and WM_POWERBROADCAST of the display
    // notification asked for (others are ignored). True when the desktop has
    // just become visible again after it was not.
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam);

    bool Unseen() const { return locked_ || displayOff_; }

private:
    HWND window_ = nullptr;
    HMODULE wtsapi_ = nullptr;
    bool sessionRegistered_ = false;
    HANDLE powerNotify_ = nullptr;
    const GUID* display_ = nullptr;  // the notification asked for
    bool locked_ = false;
    bool displayOff_ = false;
};

}  // namespace uv
