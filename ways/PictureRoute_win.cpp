#include "ways/PictureRoute_win.h"

#include "common/WindowsVersion_win.h"
#include "settings/Burst.h"

#include <string>

namespace uv {

PictureRoute::PictureRoute(HWND owner, UINT_PTR refreshTimer, HKEY root, WideText resourceLibrary,
                           const SettingsRecord& settings, const CitySelection* selection,
                           UINT settingsMessage, RouteHooks hooks)
    : owner_(owner),
      refreshTimer_(refreshTimer),
      context_{owner, root, std::move(resourceLibrary), settings, selection, settingsMessage},
      hooks_(std::move(hooks)) {}

PictureWay PictureRoute::Decide(std::unique_ptr<ShowWay>& connected) {
    WayFacts facts;
    facts.chosen = context_.settings.wallpaperMode != 0;
    // A 32-bit hook cannot enter a 64-bit shell, and the install would stall
    // that shell for its whole wait: asked before anything is installed.
    facts.wow64 = !facts.chosen && RunningOnWow64();
    if (!facts.chosen && !facts.wow64) {
        auto icons = std::make_unique<BehindIconsWay>(context_);
        const LinkFacts found = icons->Connect();
        facts.listViewFound = found.listViewFound;
        facts.hostReached = found.hostReached;
        connected = std::move(icons);
    }
    return DecidePictureWay(facts);
}

void PictureRoute::DecideAndSet() {
    std::unique_ptr<ShowWay> icons;
    const PictureWay way = Decide(icons);
    // A host that was not reached goes before another way starts.
    if (way != PictureWay::BehindIcons) icons.reset();
    SetWay(way, std::move(icons));
}

void PictureRoute::SetWay(PictureWay way, std::unique_ptr<ShowWay> made) {
    if (made) {
        show_ = std::move(made);  // the way shown so far stops here
    } else if (show_ && SameShowWay(way_, way)) {
        show_->Reuse();
    } else {
        show_.reset();  // before the next starts: never two ways at once
        show_ = MakeShowWay(way, context_);
    }
    way_ = way;
    Show();
}

void PictureRoute::Start() {
    watch_.Start(owner_);
    DecideAndSet();
}

void PictureRoute::Tick() {
    const SettingsRecord& s = context_.settings;
    SetTimer(owner_, refreshTimer_, RefreshPeriodMs(s.refreshSlider), nullptr);
    if (s.timezoneOffset && hooks_.setXOffset) hooks_.setXOffset(TimeZoneXOffset());
    // The Misc page's switch takes effect here, both ways.
    const bool chosen = s.wallpaperMode != 0;
    if (chosen && way_ == PictureWay::BehindIcons) {
        SetWay(PictureWay::WallpaperChosen);
    } else if (!chosen && way_ == PictureWay::WallpaperChosen) {
        DecideAndSet();
        if (way_ == PictureWay::BehindIcons) return;  // the connect sent everything
    }
    if (!show_) return;
    const std::string before = show_->InfoText(way_);
    if (const std::optional<WayFacts> facts = show_->Renew(watch_.Unseen())) {
        SetWay(DecidePictureWay(*facts));
        // A way started here shows the picture at once; the same way again
        // has just sent everything.
        if (IsWallpaperWay(way_) && show_) show_->Renew(watch_.Unseen());
    }
    // A renewal can answer at once (a policy, no folder): the page says so.
    if (show_ && show_->InfoText(way_) != before) Show();
}

void PictureRoute::OnWallpaperDone(WallpaperResult result) {
    // A late answer after the switch back to the desktop says nothing any more.
    if (!IsWallpaperWay(way_) || !show_) return;
    show_->OnDone(result);
    Show();
}

bool PictureRoute::OnSessionMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    return watch_.OnMessage(msg, wParam, lParam) && show_ && show_->RenewalDue();
}

bool PictureRoute::ShowMapAgain() {
    if (!show_ || !show_->ShowMapAgain()) return false;
    Show();
    return true;
}

void PictureRoute::Stop() {
    watch_.Stop();
    show_.reset();
}

void PictureRoute::EndSession() {
    if (show_) show_->EndSession();
}

void PictureRoute::Show() const {
    if (hooks_.showWay && show_) hooks_.showWay(show_->InfoText(way_), show_->OffersMap());
}

}  // namespace uv
