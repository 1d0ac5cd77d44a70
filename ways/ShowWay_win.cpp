#include "ways/ShowWay_win.h"

#include <ctime>

#include "settings/Burst.h"

namespace uv {

std::optional<WayFacts> BehindIconsWay::Renew(bool) {
    // A restarted shell whose host cannot start gets another way.
    const std::optional<LinkFacts> found = link_.Refresh();
    if (!found) return std::nullopt;
    WayFacts facts;
    facts.listViewFound = found->listViewFound;
    facts.hostReached = found->hostReached;
    return facts;
}

std::string BehindIconsWay::InfoText(PictureWay way) const {
    return PictureWayText(way, WallpaperResult::Pending);
}

std::optional<WayFacts> WallpaperWay::Renew(bool unseen) {
    if (userChose_) return std::nullopt;
    renewalDue_ = unseen;
    if (renewalDue_) return std::nullopt;
    int lastYOffset = -1;  // every wallpaper is drawn from a complete burst
    const SettingsRecord& s = context_.settings;
    // The Misc page's box forces the map even where it would not start by itself.
    const WallpaperResult r = mode_.Renew(BuildSettingsBurst(s, context_.selection, lastYOffset).posts,
                                          std::time(nullptr), s.wallpaperMode != 0);
    if (r != WallpaperResult::Pending) OnDone(r);
    return std::nullopt;
}

void WallpaperWay::OnDone(WallpaperResult result) {
    // A late answer after the user chose says nothing any more.
    if (userChose_) return;
    result_ = result;
    if (result == WallpaperResult::UserChose) {
        // Nothing of ours is shown: the stop forgets the kept copy, and the
        // user's choice is what showing the map again keeps.
        mode_.Stop();
        userChose_ = true;
    }
}

bool WallpaperWay::ShowMapAgain() {
    if (!userChose_) return false;
    userChose_ = false;
    result_ = WallpaperResult::Pending;
    return true;
}

namespace {

template <typename Way>
std::unique_ptr<ShowWay> Make(const WayContext& c) {
    return std::make_unique<Way>(c);
}

struct WayClass {
    PictureWay way;
    std::unique_ptr<ShowWay> (*make)(const WayContext&);
};

constexpr WayClass kWayClasses[] = {
    {PictureWay::BehindIcons, &Make<BehindIconsWay>},
    {PictureWay::WallpaperChosen, &Make<WallpaperWay>},
    {PictureWay::WallpaperNoListView, &Make<WallpaperWay>},
    {PictureWay::WallpaperWow64, &Make<WallpaperWay>},
    {PictureWay::WallpaperNoHost, &Make<WallpaperWay>},
};

const WayClass* ClassOf(PictureWay way) {
    for (const WayClass& c : kWayClasses)
        if (c.way == way) return &c;
    return nullptr;
}

}  // namespace

std::unique_ptr<ShowWay> MakeShowWay(PictureWay way, const WayContext& context) {
    const WayClass* c = ClassOf(way);
    return c ? c->make(context) : nullptr;
}

bool SameShowWay(PictureWay a, PictureWay b) {
    const WayClass* ca = ClassOf(a);
    const WayClass* cb = ClassOf(b);
    return ca && cb && ca->make == cb->make;
}

}  // namespace uv
