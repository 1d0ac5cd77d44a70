// Finding the desktop's list view and driving the desktop host in its thread.
#pragma once

#include "controller/DesktopLink.h"

#include <windows.h>

#include <functional>

namespace uv {

// The first window (top-level when parent is null, else any descendant of
// parent) whose class and text equal cls and text exactly; a null cls or
// text matches anything. The text is asked for with a bounded WM_GETTEXT
// that gives up on a hung window.
HWND FindWindowByClassAndText(HWND parent, const char* cls, const char* text);

// The desktop's list view, as the running system arranges it; null when
// there is none or the system is not one this program knows.
HWND FindDesktopListView();

// Degrees for "XOffset" that put the machine's standard time zone in the
// middle of the map.
int TimeZoneXOffset();

// The link from the control panel to the desktop host. Reads the settings
// through refs at the moment of sending.
class DesktopLink {
public:
    explicit DesktopLink(const SettingsRefs& refs) : refs_(refs) {}
    void SetSettingsMessage(UINT message) { message_ = message; }

    // Finds the list view, installs the hook there, posts every setting and
    // the time. With no list view nothing is installed (the program then
    // runs without a desktop picture) and false is returned.
    bool ConnectDesktop();
    // Posts one burst to thread.
    void PostAllSettings(DWORD thread);
    // The refresh tick: re-arms timerId on owner at the refresh interval,
    // follows the time zone when asked to (setXOffset moves the X slider),
    // posts a burst and the time. A desktop list view other than the one
    // last connected to (a restarted shell) is connected to instead.
    void RefreshTick(HWND owner, UINT_PTR timerId, const std::function<void(int)>& setXOffset);
    // Takes the desktop host out of the desktop's process again.
    void Disconnect();

    bool Connected() const { return installed_; }
    int LastPostedYOffset() const { return lastYOffset_; }

private:
    bool ConnectTo(HWND listView);
    void PostTime(DWORD thread);

    SettingsRefs refs_;
    UINT message_ = 0;
    int lastYOffset_ = -1;
    bool installed_ = false;
    HWND linkedListView_ = nullptr;   // the list view last installed into, or tried
};

}  // namespace uv
