#include "ways/PictureRoute_win.h"

#include "common/WindowsVersion_win.h"

#include <ctime>

namespace uv {

PictureRoute::PictureRoute(HWND owner, UINT_PTR refreshTimer, HKEY root, WideText resourceLibrary,
                           const SettingsRecord& settings, const CitySelection* selection,
                           UINT settingsMessage, RouteHooks hooks)
    : owner_(owner),
      refreshTimer_(refreshTimer),
      root_(root),
      library_(std::move(resourceLibrary)),
      settings_(settings),
      selection_(selection),
      hooks_(std::move(hooks)),
      link_(settings, selection, settingsMessage) {}

PictureWay PictureRoute::Decide() {
    const bool chosen = settings_.wallpaperMode != 0;
    // A 32-bit hook cannot enter a 64-bit shell, and the install would stall
    // that shell for its whole wait: asked before anything is installed.
    const bool wow64 = !chosen && RunningOnWow64();
    const LinkFacts found = chosen || wow64 ? LinkFacts() : link_.Connect();
    return DecidePictureWay(chosen, wow64, found.listViewFound, found.hostReached);
}

void PictureRoute::SetWay(PictureWay way) {
    if (IsWallpaperWay(way)) {
        link_.Disconnect();
        if (!wallpaper_) {
            wallpaper_ = std::make_unique<WallpaperMode>(owner_, root_, library_);
            result_ = WallpaperResult::Pending;
        }
    } else if (wallpaper_) {
        wallpaper_.reset();  // its end puts the user's wallpaper back
        result_ = WallpaperResult::Pending;
    }
    userChose_ = false;
    way_ = way;
    Show();
}

void PictureRoute::Start() {
    watch_.Start(owner_);
    SetWay(Decide());
}

void PictureRoute::Tick() {
    SetTimer(owner_, refreshTimer_, RefreshPeriodMs(settings_.refreshSlider), nullptr);
    if (settings_.timezoneOffset && hooks_.setXOffset) hooks_.setXOffset(TimeZoneXOffset());
    // The Misc page's switch takes effect here, both ways.
    const bool chosen = settings_.wallpaperMode != 0;
    if (chosen && way_ == PictureWay::BehindIcons) {
        SetWay(PictureWay::WallpaperChosen);
    } else if (!chosen && way_ == PictureWay::WallpaperChosen) {
        SetWay(Decide());
        if (way_ == PictureWay::BehindIcons) return;  // the connect sent everything
    } else if (way_ == PictureWay::BehindIcons) {
        // A restarted shell whose host cannot start gets the wallpaper.
        if (const std::optional<LinkFacts> found = link_.Refresh())
            SetWay(DecidePictureWay(false, false, found->listViewFound, found->hostReached));
    }
    if (!wallpaper_ || userChose_) return;
    renewalDue_ = watch_.Unseen();
    if (renewalDue_) return;
    int lastYOffset = -1;  // every wallpaper is drawn from a complete burst
    // The Misc page's box forces the map even where it would not start by itself.
    const WallpaperResult r = wallpaper_->Renew(BuildSettingsBurst(settings_, selection_, lastYOffset).posts,
                                                std::time(nullptr), settings_.wallpaperMode != 0);
    if (r != WallpaperResult::Pending) OnWallpaperDone(r);
}

void PictureRoute::OnWallpaperDone(WallpaperResult result) {
    // A late answer after the switch back to the desktop says nothing any more.
    if (!IsWallpaperWay(way_) || !wallpaper_ || userChose_) return;
    result_ = result;
    if (result == WallpaperResult::UserChose) {
        // Nothing of ours is shown: the stop forgets the kept copy, and the
        // user's choice is what showing the map again keeps.
        wallpaper_->Stop();
        userChose_ = true;
    }
    Show();
}

bool PictureRoute::OnSessionMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    return watch_.OnMessage(msg, wParam, lParam) && renewalDue_;
}

bool PictureRoute::ShowMapAgain() {
    if (!userChose_) return false;
    userChose_ = false;
    result_ = WallpaperResult::Pending;
    Show();
    return true;
}

void PictureRoute::Stop() {
    watch_.Stop();
    wallpaper_.reset();
    link_.Disconnect();
}

void PictureRoute::EndSession() {
    if (wallpaper_) wallpaper_->Stop(WallpaperMode::StopKind::SessionEnd);
}

void PictureRoute::Show() const {
    if (hooks_.showWay) hooks_.showWay(PictureWayText(way_, result_), userChose_);
}

}  // namespace uv
