// How the control panel gets the picture onto the screen: behind the desktop
// icons through the hook library where that works, else as the desktop
// wallpaper rendered by this program.
#include "controlpanel/ControlPanelDlg_win.h"

#include "desktophost/uvdll.h"

#include <ctime>

namespace uv {

PictureWay CControlPanelDlg::TryBehindIcons() {
    // A 32-bit hook cannot enter a 64-bit shell, and the install would stall
    // that shell for its whole wait: asked before anything is installed.
    if (RunningOnWow64()) return PictureWay::WallpaperWow64;
    if (!link_->ConnectDesktop()) return PictureWay::WallpaperNoListView;
    if (!UVDLLIsHostRunning()) {
        link_->Disconnect();
        return PictureWay::WallpaperNoHost;
    }
    return PictureWay::BehindIcons;
}

void CControlPanelDlg::ConnectPicture() {
    const PictureWay way =
        misc_->values.wallpaperMode ? PictureWay::WallpaperChosen : TryBehindIcons();
    if (IsWallpaperWay(way)) {
        StartWallpaper(way);
    } else {
        pictureWay_ = way;
        ShowPictureWay();
    }
}

void CControlPanelDlg::StartWallpaper(PictureWay why) {
    pictureWay_ = why;
    wallpaperResult_ = WallpaperResult::Pending;
    if (!wallpaper_) wallpaper_ = std::make_unique<WallpaperMode>(hwnd_, settingsRoot_, resourceLibrary_);
    ShowPictureWay();
}

void CControlPanelDlg::StopWallpaper(WallpaperMode::StopKind kind) {
    if (wallpaper_) {
        wallpaper_->Stop(kind);
        wallpaper_.reset();
    }
    wallpaperResult_ = WallpaperResult::Pending;
}

void CControlPanelDlg::RefreshPicture() {
    if (!link_) return;
    // The Misc page's switch takes effect at the apply.
    const bool chosen = misc_->values.wallpaperMode != 0;
    if (chosen && pictureWay_ == PictureWay::BehindIcons) {
        link_->Disconnect();
        StartWallpaper(PictureWay::WallpaperChosen);
    } else if (!chosen && pictureWay_ == PictureWay::WallpaperChosen) {
        const PictureWay way = TryBehindIcons();
        if (!IsWallpaperWay(way)) StopWallpaper();
        pictureWay_ = way;
        ShowPictureWay();
    }
    if (!IsWallpaperWay(pictureWay_)) {
        link_->RefreshTick(hwnd_, kRefreshTimer, [this](int x) { offset_->SetXOffset(x); });
        return;
    }
    SetTimer(hwnd_, kRefreshTimer, RefreshPeriodMs(misc_->values.refreshSlider), nullptr);
    renewalDue_ = sessionWatch_.Unseen();
    // The user's own choice stays until the map is asked for again.
    if (renewalDue_ || !wallpaper_) return;
    if (offset_->values.timezoneOffset) offset_->SetXOffset(uv::TimeZoneXOffset());
    int lastYOffset = -1;   // every wallpaper is drawn from a complete burst
    Burst burst = BuildSettingsBurst(Refs(), lastYOffset);
    const WallpaperResult r =
        wallpaper_->Renew(std::move(burst.posts), std::time(nullptr), misc_->values.wallpaperMode != 0);
    if (r != WallpaperResult::Pending) OnWallpaperDone(r);
}

void CControlPanelDlg::OnWallpaperDone(WallpaperResult result) {
    // A late answer after the switch back to the desktop says nothing any more.
    if (!IsWallpaperWay(pictureWay_) || !wallpaper_) return;
    wallpaperResult_ = result;
    if (result == WallpaperResult::UserChose) {
        // Nothing of ours is shown: stopping forgets the kept copy, and the
        // user's choice is what a later start of the mode keeps.
        wallpaper_->Stop();
        wallpaper_.reset();
    }
    ShowPictureWay();
}

void CControlPanelDlg::ShowMapAgain() {
    if (!IsWallpaperWay(pictureWay_) || wallpaper_) return;
    StartWallpaper(pictureWay_);
    ScheduleRefresh();
}

void CControlPanelDlg::ShowPictureWay() {
    if (info_)
        info_->ShowPictureWay(PictureWayText(pictureWay_, wallpaperResult_),
                              wallpaperResult_ == WallpaperResult::UserChose && !wallpaper_);
}

}  // namespace uv
