// A way the picture reaches the screen. The route holds exactly one; a way
// starts when it is made and stops when it is dropped. Today's ways: the
// desktop host behind the icons, and the map as the desktop wallpaper.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "common/WideText.h"
#include "settings/Settings.h"
#include "ways/DesktopLink_win.h"
#include "ways/PictureRoute.h"
#include "ways/WallpaperMode_win.h"

namespace uv {

// What every way is made from.
struct WayContext {
    HWND owner;  // gets the ways' done messages
    HKEY root;   // the settings and desktop keys
    WideText library;
    const SettingsRecord& settings;  // read at the moment of sending
    const CitySelection* selection;
    UINT settingsMessage;
};

class ShowWay {
public:
    virtual ~ShowWay() = default;
    // One tick of the refresh timer. unseen: nobody sees the desktop now.
    // Facts for a new decision when the way finds it can no longer show the
    // picture, else nothing.
    virtual std::optional<WayFacts> Renew(bool unseen) = 0;
    // What the way's worker answered (the wallpaper's done message).
    virtual void OnDone(WallpaperResult) {}
    // The session ends: what is to go back goes back at once.
    virtual void EndSession() {}
    // A renewal was skipped while nobody saw the desktop.
    virtual bool RenewalDue() const { return false; }
    // The user asks for the map again after choosing a picture of their own.
    // True when that changes anything.
    virtual bool ShowMapAgain() { return false; }
    // The way is kept for another reason to show the picture the same way.
    virtual void Reuse() {}
    // The Information page's line while the picture goes this way for the
    // reason way, and whether the page offers to show the map again.
    virtual std::string InfoText(PictureWay way) const = 0;
    virtual bool OffersMap() const { return false; }
};

// The desktop host in the desktop's list view.
class BehindIconsWay : public ShowWay {
public:
    explicit BehindIconsWay(const WayContext& c) : link_(c.settings, c.selection, c.settingsMessage) {}
    ~BehindIconsWay() override { link_.Disconnect(); }
    // Finds the list view and installs the host; what that found decides
    // whether this way is kept.
    LinkFacts Connect() { return link_.Connect(); }
    std::optional<WayFacts> Renew(bool unseen) override;
    std::string InfoText(PictureWay way) const override;

private:
    DesktopLink link_;
};

// The map rendered here and made the desktop wallpaper; the user's own
// wallpaper goes back when the way is dropped.
class WallpaperWay : public ShowWay {
public:
    explicit WallpaperWay(const WayContext& c) : context_(c), mode_(c.owner, c.root, c.library) {}
    std::optional<WayFacts> Renew(bool unseen) override;
    void OnDone(WallpaperResult result) override;
    void EndSession() override { mode_.Stop(WallpaperMode::StopKind::SessionEnd); }
    bool RenewalDue() const override { return renewalDue_; }
    bool ShowMapAgain() override;
    void Reuse() override { userChose_ = false; }
    std::string InfoText(PictureWay way) const override { return PictureWayText(way, result_); }
    bool OffersMap() const override { return userChose_; }

private:
    const WayContext& context_;
    WallpaperMode mode_;
    WallpaperResult result_ = WallpaperResult::Pending;
    bool renewalDue_ = false;  // skipped while nobody could see it
    bool userChose_ = false;   // the user's own wallpaper stays until the map is asked for
};

// The class that shows the picture for a reason: one row per way.
std::unique_ptr<ShowWay> MakeShowWay(PictureWay way, const WayContext& context);
// Two reasons whose picture goes the same way keep the running one.
bool SameShowWay(PictureWay a, PictureWay b);

}  // namespace uv
