#include "ways/PictureRoute.h"

namespace uv {

const WayRule kWayRules[5] = {
    {[](const WayFacts& f) { return f.chosen; }, PictureWay::WallpaperChosen},
    {[](const WayFacts& f) { return f.wow64; }, PictureWay::WallpaperWow64},
    {[](const WayFacts& f) { return !f.listViewFound; }, PictureWay::WallpaperNoListView},
    {[](const WayFacts& f) { return !f.hostReached; }, PictureWay::WallpaperNoHost},
    {[](const WayFacts&) { return true; }, PictureWay::BehindIcons},
};

PictureWay DecidePictureWay(const WayFacts& facts) {
    for (const WayRule& rule : kWayRules)
        if (rule.holds(facts)) return rule.way;
    return PictureWay::BehindIcons;
}

std::string PictureWayText(PictureWay way, WallpaperResult result) {
    switch (result) {
    case WallpaperResult::NoFolder:
        return "The map cannot be shown: no folder for the wallpaper picture can be written.";
    case WallpaperResult::NotKept:
        return "The map is not shown: your wallpaper could not be kept, so it is left alone.";
    case WallpaperResult::NoImages: return "The map cannot be shown: the map images could not be read.";
    case WallpaperResult::NoMemory:
        return "The map cannot be shown: not enough memory for a picture of the screen's size.";
    case WallpaperResult::WriteFailed:
        return "The map cannot be shown: the wallpaper picture could not be written.";
    case WallpaperResult::SetFailed: return "The map cannot be shown: the system did not take the wallpaper.";
    case WallpaperResult::Policy:
        return "The map is not shown: a policy of your organisation sets the desktop wallpaper.";
    case WallpaperResult::UserChose:
        return "Your own wallpaper is shown: you chose it while the map was the wallpaper. "
               "\"Show the map again\" makes the map the wallpaper once more.";
    case WallpaperResult::Slideshow:
        return "The map is not shown: your desktop shows a slideshow, "
               "which would not come back after the map. "
               "The Misc page's \"show the map as the desktop wallpaper\" shows the map all the same.";
    case WallpaperResult::ShownSlideshowLost:
        return "The map is the desktop wallpaper, as chosen on the Misc page. "
               "Your slideshow will not come back by itself when the program quits: "
               "choose it again in the system's settings.";
    case WallpaperResult::NoWallpaperObject:
        return "The map is not shown: the system's wallpaper service does not answer, "
               "so your monitors' own pictures could not be put back. "
               "The Misc page's \"show the map as the desktop wallpaper\" shows the map all the same.";
    case WallpaperResult::ShownOnePicture:
        return "The map is the desktop wallpaper, as chosen on the Misc page, as one picture: "
               "the system's wallpaper service does not answer, "
               "so one picture will come back on all monitors.";
    case WallpaperResult::Pending:
    case WallpaperResult::Shown: break;
    }
    switch (way) {
    case PictureWay::BehindIcons: return "The map is painted behind the desktop icons.";
    case PictureWay::WallpaperChosen: return "The map is the desktop wallpaper, as chosen on the Misc page.";
    case PictureWay::WallpaperNoListView:
        return "The map is the desktop wallpaper: this Windows has no icon list to paint behind.";
    case PictureWay::WallpaperWow64:
        return "The map is the desktop wallpaper: a 32-bit program cannot paint in 64-bit Windows' desktop.";
    case PictureWay::WallpaperNoHost:
        return "The map is the desktop wallpaper: the desktop did not let the painter in.";
    }
    return std::string();
}

}  // namespace uv
