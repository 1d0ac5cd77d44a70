#include "ways/WallpaperFile.h"

#include <algorithm>
#include <cstring>

namespace uv {

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
    return name.size() >= prefix.size() + suffix.size() &&
           SameWidePath(name.substr(0, prefix.size()), prefix) &&
           SameWidePath(name.substr(name.size() - suffix.size()), suffix);
}

std::uint64_t PictureHash(const std::uint8_t* bytes, std::size_t size, std::uint64_t seed) {
    // Eight bytes a step: a 4K picture is hashed at every renewal, and byte
    // by byte that took 28 ms. Each step is a bijection of h for a given
    // word, so a picture differing in one word always hashes differently.
    std::uint64_t h = seed;
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes + i, 8);
        h = (h ^ word) * 1099511628211ull;
    }
    for (; i < size; ++i) h = (h ^ bytes[i]) * 1099511628211ull;
    return h;
}

bool IsTranscodedWallpaper(const WideText& path) {
    const std::size_t slash = path.rfind(u'\\');
    if (slash == WideText::npos || slash < 7) return false;
    const WideText name = path.substr(slash + 1), folder = path.substr(0, slash);
    const WideText monitor = u"Transcoded_";
    const bool monitors = name.size() == monitor.size() + 3 &&
                          SameWidePath(name.substr(0, monitor.size()), monitor) &&
                          std::all_of(name.begin() + monitor.size(), name.end(),
                                      [](char16_t c) { return c >= u'0' && c <= u'9'; });
    return (monitors || SameWidePath(name, u"TranscodedWallpaper") ||
            SameWidePath(name, u"TranscodedWallpaper.jpg")) &&
           SameWidePath(folder.substr(folder.size() - 7), u"\\Themes");
}

bool IsKeptPictureCopy(const WideText& path) {
    const std::size_t slash = path.rfind(u'\\');
    if (slash == WideText::npos) return false;
    const WideText folder = path.substr(0, slash), name = path.substr(slash + 1);
    const WideText ours = WideText(u"\\") + kWallpaperFolderName, copy = kPictureCopyName;
    if (folder.size() <= ours.size() || !SameWidePath(folder.substr(folder.size() - ours.size()), ours) ||
        name.size() <= copy.size() || !SameWidePath(name.substr(0, copy.size()), copy))
        return false;
    std::size_t at = copy.size();
    if (name[at] == u'-') {
        const std::size_t digits = ++at;
        while (at < name.size() && name[at] >= u'0' && name[at] <= u'9') ++at;
        if (at == digits) return false;
    }
    return at < name.size() && name[at] == u'.';
}

const char16_t* PictureExtension(const std::uint8_t* head, std::size_t size) {
    if (size >= 2 && head[0] == 'B' && head[1] == 'M') return u".bmp";
    if (size >= 4 && head[0] == 0x89 && head[1] == 'P' && head[2] == 'N' && head[3] == 'G') return u".png";
    if (size >= 3 && head[0] == 'G' && head[1] == 'I' && head[2] == 'F') return u".gif";
    return u".jpg";
}

}  // namespace uv
