#include "controller/Wallpaper.h"

#include "controller/MonitorWallpaper.h"


namespace uv {

namespace {

void PutLe16(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

void PutLe32(std::uint8_t* p, std::uint32_t v) {
    PutLe16(p, v);
    PutLe16(p + 2, v >> 16);
}

// Positive remainder: where a coordinate lands in a picture of size n.
int Wrap(int v, int n) {
    if (n <= 0) return 0;
    const int r = v % n;
    return r < 0 ? r + n : r;
}

}  // namespace

std::string PictureWayText(PictureWay way, WallpaperResult result) {
    switch (result) {
    case WallpaperResult::NoFolder:
        return "The map cannot be shown: no folder for the wallpaper picture can be written.";
    case WallpaperResult::NotKept:
        return "The map is not shown: your wallpaper could not be kept, so it is left alone.";
    case WallpaperResult::NoImages:
        return "The map cannot be shown: the map images could not be read.";
    case WallpaperResult::NoMemory:
        return "The map cannot be shown: not enough memory for a picture of the screen's size.";
    case WallpaperResult::WriteFailed:
        return "The map cannot be shown: the wallpaper picture could not be written.";
    case WallpaperResult::SetFailed:
        return "The map cannot be shown: the system did not take the wallpaper.";
    case WallpaperResult::Slideshow:
        return "The map is not shown: your desktop shows a slideshow, which would not come back after the map. "
               "The Misc page's \"show the map as the desktop wallpaper\" shows the map all the same.";
    case WallpaperResult::ShownSlideshowLost:
        return "The map is the desktop wallpaper, as chosen on the Misc page. Your slideshow will not come back "
               "by itself when the program quits: choose it again in the system's settings.";
    case WallpaperResult::UserChose:
        return "Your own wallpaper is shown: you chose it while the map was the wallpaper. "
               "\"Show the map again\" makes the map the wallpaper once more.";
    case WallpaperResult::Policy:
        return "The map is not shown: a policy of your organisation sets the desktop wallpaper.";
    case WallpaperResult::Pending:
    case WallpaperResult::Shown:
        break;
    }
    switch (way) {
    case PictureWay::BehindIcons:
        return "The map is painted behind the desktop icons.";
    case PictureWay::WallpaperChosen:
        return "The map is the desktop wallpaper, as chosen on the Misc page.";
    case PictureWay::WallpaperNoListView:
        return "The map is the desktop wallpaper: this Windows has no icon list to paint behind.";
    case PictureWay::WallpaperWow64:
        return "The map is the desktop wallpaper: a 32-bit program cannot paint in 64-bit Windows' desktop.";
    case PictureWay::WallpaperNoHost:
        return "The map is the desktop wallpaper: the desktop did not let the painter in.";
    }
    return std::string();
}

WideText WallpaperFiles::Picture(int monitor, int slot) const {
    WideText name = folder + u"\\wallpaper-";
    if (monitor >= 0) name += Widen(std::to_string(monitor).c_str());
    name += slot ? u"b.bmp" : u"a.bmp";
    return name;
}

bool MakeWallpaperFiles(const WideText& baseFolder, WallpaperFiles& files) {
    if (baseFolder.empty()) return false;
    WallpaperFiles f;
    f.folder = baseFolder;
    if (f.folder.back() != u'\\') f.folder += u'\\';
    f.folder += kWallpaperFolderName;
    if (f.Picture(kMaxPictureMonitors - 1, 1).size() >= kMaxPath) return false;
    files = f;
    return true;
}

bool IsOurPicture(const WideText& path, const WideText& marker) {
    const std::size_t slash = path.rfind(u'\\'), markerSlash = marker.rfind(u'\\');
    if (slash == WideText::npos || markerSlash == WideText::npos ||
        !SameWidePath(path.substr(0, slash), marker.substr(0, markerSlash)))
        return false;
    const WideText name = path.substr(slash + 1);
    const WideText prefix = u"wallpaper", suffix = u".bmp";
    return name.size() >= prefix.size() + suffix.size() && SameWidePath(name.substr(0, prefix.size()), prefix) &&
           SameWidePath(name.substr(name.size() - suffix.size()), suffix);
}

std::uint64_t PictureHash(const std::uint8_t* bytes, std::size_t size, std::uint64_t seed) {
    std::uint64_t h = seed;
    for (std::size_t i = 0; i < size; ++i) h = (h ^ bytes[i]) * 1099511628211ull;
    return h;
}

std::size_t BmpRowStride(int width) {
    return width <= 0 ? 0 : (static_cast<std::size_t>(width) * 3 + 3) & ~static_cast<std::size_t>(3);
}

std::array<std::uint8_t, kBmpHeadersSize> BmpHeaders(int width, int height) {
    std::array<std::uint8_t, kBmpHeadersSize> h{};
    const std::uint32_t image = static_cast<std::uint32_t>(BmpRowStride(width) * (height > 0 ? height : 0));
    h[0] = 'B';
    h[1] = 'M';
    PutLe32(&h[2], static_cast<std::uint32_t>(kBmpHeadersSize) + image);
    PutLe32(&h[10], static_cast<std::uint32_t>(kBmpHeadersSize));
    PutLe32(&h[14], 40);
    PutLe32(&h[18], static_cast<std::uint32_t>(width));
    PutLe32(&h[22], static_cast<std::uint32_t>(height));   // positive: bottom-up
    PutLe16(&h[26], 1);
    PutLe16(&h[28], 24);
    PutLe32(&h[34], image);
    return h;
}

WallpaperPlacement PlaceWallpaper(const ScreenLayout& screen, unsigned ntMajor, unsigned ntMinor) {
    WallpaperPlacement p;   // one monitor: centred, and the picture fills it exactly
    if (screen.monitors <= 1) return p;
    if (ntMajor > 6 || (ntMajor == 6 && ntMinor >= 2)) {
        p.style = "22";   // span
        return p;
    }
    // Earlier systems centre or stretch a picture on each monitor alone, but
    // tile it across all of them from the primary monitor's corner.
    p.tile = "1";
    p.shiftX = Wrap(screen.left, screen.width);
    p.shiftY = Wrap(screen.top, screen.height);
    return p;
}

bool IsTranscodedWallpaper(const WideText& path) {
    const std::size_t slash = path.rfind(u'\\');
    if (slash == WideText::npos || slash < 7) return false;
    const WideText name = path.substr(slash + 1), folder = path.substr(0, slash);
    return (SameWidePath(name, u"TranscodedWallpaper") || SameWidePath(name, u"TranscodedWallpaper.jpg")) &&
           SameWidePath(folder.substr(folder.size() - 7), u"\\Themes");
}

bool IsKeptPictureCopy(const WideText& path) {
    const std::size_t slash = path.rfind(u'\\');
    if (slash == WideText::npos) return false;
    const WideText folder = path.substr(0, slash), name = path.substr(slash + 1);
    const WideText ours = WideText(u"\\") + kWallpaperFolderName, copy = kPictureCopyName;
    return folder.size() > ours.size() && SameWidePath(folder.substr(folder.size() - ours.size()), ours) &&
           name.size() > copy.size() && SameWidePath(name.substr(0, copy.size()), copy) && name[copy.size()] == u'.';
}

const char16_t* PictureExtension(const std::uint8_t* head, std::size_t size) {
    if (size >= 2 && head[0] == 'B' && head[1] == 'M') return u".bmp";
    if (size >= 4 && head[0] == 0x89 && head[1] == 'P' && head[2] == 'N' && head[3] == 'G') return u".png";
    if (size >= 3 && head[0] == 'G' && head[1] == 'I' && head[2] == 'F') return u".gif";
    return u".jpg";
}

bool KeepUserWallpaper(WallpaperStore& store, const WideText& picture, const std::function<WideText()>& copyShown,
                       const std::function<bool(WallpaperStore&)>& keepMore) {
    RegValue marker;
    if (!store.Read(WallpaperKey::Product, kPictureMarker, marker)) return false;
    // Kept already (by this run, or by one whose end put nothing back): the
    // copy is the user's own and stays; only the picture's name may change.
    if (marker.present) return store.Write(WallpaperKey::Product, kPictureMarker, WideStringValue(picture));
    RegValue values[3];
    for (int i = 0; i < 3; ++i)
        if (!store.Read(WallpaperKey::Desktop, kDesktopValues[i], values[i])) return false;
    // Our picture is never the user's: when a run before could not put
    // theirs back, the desktop is left without a picture rather than the map.
    if (IsOurPicture(WideValueText(values[0]), picture)) values[0] = WideStringValue(WideText());
    for (int i = 0; i < 3; ++i)
        if (!store.Write(WallpaperKey::Product, kKeptValues[i], values[i])) return false;
    // A copy that cannot be made leaves nothing: the values alone are kept.
    const WideText copy = copyShown && !WideValueText(values[0]).empty() ? copyShown() : WideText();
    if (!store.Write(WallpaperKey::Product, kKeptPictureCopy, copy.empty() ? RegValue() : WideStringValue(copy)))
        return false;
    if (keepMore && !keepMore(store)) return false;
    return store.Write(WallpaperKey::Product, kPictureMarker, WideStringValue(picture));
}

RestoreResult RestoreUserWallpaper(WallpaperStore& store, WideText& userPath,
                                   const std::function<bool(const WideText&)>& usable, WideText* unusedCopy,
                                   bool shownOurs) {
    userPath.clear();
    if (unusedCopy) unusedCopy->clear();
    RegValue marker;
    if (!store.Read(WallpaperKey::Product, kPictureMarker, marker)) return RestoreResult::Failed;
    if (!marker.present) return RestoreResult::NothingKept;
    RegValue kept[3];
    for (int i = 0; i < 3; ++i)
        if (!store.Read(WallpaperKey::Product, kKeptValues[i], kept[i])) return RestoreResult::Failed;
    RegValue current, copyValue;
    if (!store.Read(WallpaperKey::Desktop, kDesktopValues[0], current) ||
        !store.Read(WallpaperKey::Product, kKeptPictureCopy, copyValue))
        return RestoreResult::Failed;
    const WideText copy = WideValueText(copyValue), keptPath = WideValueText(kept[0]);
    bool copyUsed = false;

    RestoreResult result = RestoreResult::UserChangedIt;
    if (shownOurs || IsOurPicture(WideValueText(current), WideValueText(marker))) {
        if (!copy.empty() && !keptPath.empty() && (IsTranscodedWallpaper(keptPath) || (usable && !usable(keptPath)))) {
            // The user's picture lives on only in the copy, which stays.
            kept[0] = WideStringValue(copy);
            copyUsed = true;
        }
        // The file name goes back last: until then a retry still sees ours.
        for (int i = 2; i >= 0; --i)
            if (!store.Write(WallpaperKey::Desktop, kDesktopValues[i], kept[i])) return RestoreResult::Failed;
        userPath = WideValueText(kept[0]);
        result = RestoreResult::Restored;
    }
    // The marker goes first: an end before the copies are gone must not make
    // a later start take a half-deleted copy for the user's wallpaper.
    const RegValue none;
    store.Write(WallpaperKey::Product, kPictureMarker, none);
    for (const char* name : kKeptValues) store.Write(WallpaperKey::Product, name, none);
    for (const char* name : {kKeptPictureCopy, kKeptMonitorWallpapers, kKeptPosition, kKeptBackground})
        store.Write(WallpaperKey::Product, name, none);
    if (unusedCopy && !copyUsed) *unusedCopy = copy;
    return result;
}

bool WriteOurWallpaperValues(WallpaperStore& store, const WideText& picture, const WallpaperPlacement& placement,
                             bool style) {
    if (!store.Write(WallpaperKey::Desktop, kDesktopValues[0], WideStringValue(picture))) return false;
    return !style ||
           (store.Write(WallpaperKey::Desktop, kDesktopValues[1], WideStringValue(Widen(placement.style))) &&
            store.Write(WallpaperKey::Desktop, kDesktopValues[2], WideStringValue(Widen(placement.tile))));
}

}  // namespace uv
