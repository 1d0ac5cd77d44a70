// Finding the desktop's list view and driving the desktop host in its thread.
#pragma once

#include "ways/DesktopLink.h"

#include <windows.h>

#include <optional>

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

// What an attempt to put the desktop host into a list view found.
struct LinkFacts {
    bool listViewFound = false;
    bool hostReached = false;
};

// The link to the desktop host in the desktop's list view. Reads the
// settings as they are at the moment of sending.
class DesktopLink {
public:
    DesktopLink(const SettingsRecord& settings, const CitySelection* selection, UINT settingsMessage)
        : settings_(settings), selection_(selection), message_(settingsMessage) {}

    // Finds the list view and installs the host there; once it runs, posts
    // every setting and the time. A host that is not reached leaves nothing
    // installed.
    LinkFacts Connect();
    // Posts one burst and the time to the list view's thread. A list view
    // other than the one last tried (a restarted shell) is connected to
    // instead, and what that found is returned.
    std::optional<LinkFacts> Refresh();
    // Takes the desktop host out of the desktop's process again.
    void Disconnect();

private:
    LinkFacts ConnectTo(HWND listView);
    void PostAllSettings(DWORD thread);
    void PostTime(DWORD thread);

    const SettingsRecord& settings_;
    const CitySelection* selection_;
    UINT message_;
    int lastYOffset_ = -1;
    bool installed_ = false;
    HWND linkedListView_ = nullptr;  // the list view last installed into, or tried
};

}  // namespace uv
