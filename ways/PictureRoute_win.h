// The one owner of the way the picture reaches the screen: the desktop link
// while the map is behind the icons, the wallpaper mode while it is the
// wallpaper, never both. The control panel forwards its refresh timer and
// the wallpaper's done message to it.
#pragma once

#include "ways/DesktopLink_win.h"
#include "ways/PictureRoute.h"
#include "ways/SessionWatch_win.h"
#include "ways/WallpaperMode_win.h"
#include "common/WideText.h"

#include <functional>
#include <memory>
#include <string>

namespace uv {

// What the route changes in the control panel.
struct RouteHooks {
    std::function<void(int)> setXOffset;  // the X slider, when it follows the time zone
    // The Information page's line, and whether it offers to show the map again.
    std::function<void(const std::string&, bool)> showWay;
};

class PictureRoute {
public:
    // refreshTimer of owner is re-armed by every tick; root holds the
    // settings and desktop keys. The settings and the selection are read at
    // the moment of sending; both outlive the route.
    PictureRoute(HWND owner, UINT_PTR refreshTimer, HKEY root, WideText resourceLibrary,
                 const SettingsRecord& settings, const CitySelection* selection, UINT settingsMessage,
                 RouteHooks hooks);
    ~PictureRoute() { Stop(); }
    PictureRoute(const PictureRoute&) = delete;
    PictureRoute& operator=(const PictureRoute&) = delete;

    // Decides the way at start and connects or starts the wallpaper.
    void Start();
    // Re-arms the timer, follows the time zone, takes up the Misc page's
    // choice and a restarted shell, then sends the settings to the desktop
    // host or renews the wallpaper.
    void Tick();
    void OnWallpaperDone(WallpaperResult result);
    // The session's lock and the display's power: nobody sees a renewal
    // then. True when one is due now that the desktop is seen again.
    bool OnSessionMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    // After the user chose a wallpaper of their own: the map again, which
    // keeps the user's new one. True when a renewal is to follow.
    bool ShowMapAgain();
    // The wallpaper mode stops (the user's wallpaper goes back) and the
    // desktop host is removed.
    void Stop();
    // The session ends: the user's wallpaper goes back at once, since the
    // process may be ended as soon as the system is told we are done.
    void EndSession();
    bool ShowsWallpaper() const { return IsWallpaperWay(way_); }

private:
    PictureWay Decide();
    void SetWay(PictureWay way);
    void Show() const;

    HWND owner_;
    UINT_PTR refreshTimer_;
    HKEY root_;
    WideText library_;
    const SettingsRecord& settings_;
    const CitySelection* selection_;
    RouteHooks hooks_;
    DesktopLink link_;
    std::unique_ptr<WallpaperMode> wallpaper_;  // exists exactly in the wallpaper ways
    PictureWay way_ = PictureWay::BehindIcons;
    WallpaperResult result_ = WallpaperResult::Pending;
    SessionWatch watch_;
    bool renewalDue_ = false;  // skipped while nobody could see it
    bool userChose_ = false;   // the user's own wallpaper stays until the map is asked for
};

}  // namespace uv
