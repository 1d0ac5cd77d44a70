// The one owner of the way the picture reaches the screen: it decides the
// way by the decision table and holds the one ShowWay that shows it. The control panel forwards its refresh timer and
// the wallpaper's done message to it.
#pragma once

#include "common/WideText.h"
#include "ways/PictureRoute.h"
#include "ways/SessionWatch_win.h"
#include "ways/ShowWay_win.h"

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
    // The way for the facts as they are now; connected gets the desktop
    // host when the decision tried it.
    PictureWay Decide(std::unique_ptr<ShowWay>& connected);
    void DecideAndSet();
    // made: the way the decision already started (the desktop host it
    // connected), else one is made unless the running one shows way too.
    void SetWay(PictureWay way, std::unique_ptr<ShowWay> made = nullptr);
    void Show() const;

    HWND owner_;
    UINT_PTR refreshTimer_;
    WayContext context_;
    RouteHooks hooks_;
    std::unique_ptr<ShowWay> show_;
    PictureWay way_ = PictureWay::BehindIcons;
    SessionWatch watch_;
};

}  // namespace uv
