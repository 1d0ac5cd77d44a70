// The Windows build: the images come from globepix.dll and pass through the
// same bitmap transfers and the same shipping blend as on the desktop.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "common/WinHandles.h"
#include "renderer/BitmapPixels_win.h"
#include "renderer/Compositing.h"
#include "renderer/Compositing_win.h"
#include "tools/umbravue-render/RenderPicture.h"

namespace uv {
namespace {

std::string LibraryBesideProgram() {
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return "globepix.dll";
    std::string result(path, n);
    const std::size_t slash = result.find_last_of("\\/");
    return (slash == std::string::npos ? std::string() : result.substr(0, slash + 1)) + "globepix.dll";
}

UniqueBitmap LoadMapBitmap(HMODULE module, int id) {
    return UniqueBitmap(
        static_cast<HBITMAP>(LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTSIZE)));
}

bool BitmapSize(HBITMAP bitmap, int& width, int& height) {
    BITMAP info = {};
    if (GetObjectA(bitmap, sizeof info, &info) != sizeof info) return false;
    width = info.bmWidth;
    height = info.bmHeight;
    return true;
}

bool ReadMapBitmap(HBITMAP bitmap, int width, int height, std::vector<std::uint8_t>& pixels) {
    UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    if (!dc) return false;
    ScopedSelect select(dc.get(), bitmap);
    pixels.assign(PixelBufferSize(width, height), 0);
    return ReadBitmapPixels(dc.get(), width, height, pixels.data());
}

// The overlays of the desktop picture go over the composed map here, in
// image pixels; the plain day/night picture has none.
void DrawOverlays(HDC, int, int, const RenderOptions&, const SubsolarPoint&) {}

}  // namespace

bool RenderPicture(const RenderOptions& options, const SubsolarPoint& sun, PixelImage& picture,
                   std::string& error) {
    const std::string libraryPath = options.library.empty() ? LibraryBesideProgram() : options.library;
    UniqueModule library(LoadLibraryA(libraryPath.c_str()));
    if (!library) {
        error = "could not load " + libraryPath;
        return false;
    }
    UniqueBitmap dayBitmap = LoadMapBitmap(library.get(), 101);
    UniqueBitmap nightBitmap = LoadMapBitmap(library.get(), 102);
    int w = 0, h = 0, nightWidth = 0, nightHeight = 0;
    if (!dayBitmap || !nightBitmap || !BitmapSize(dayBitmap.get(), w, h) ||
        !BitmapSize(nightBitmap.get(), nightWidth, nightHeight)) {
        error = libraryPath + " lacks the map bitmaps 101 and 102";
        return false;
    }
    const MapImageCheck check = CheckMapImages(w, h, nightWidth, nightHeight);
    if (check != MapImageCheck::Ok) {
        error = DescribeMapImageCheck(check);
        return false;
    }

    std::vector<std::uint8_t> day, night;
    if (!ReadMapBitmap(dayBitmap.get(), w, h, day) || !ReadMapBitmap(nightBitmap.get(), w, h, night)) {
        error = "could not read the map bitmaps";
        return false;
    }
    dayBitmap.reset();
    nightBitmap.reset();

    std::vector<std::uint8_t> generatedNight(day.size()), mask(day.size());
    GenerateNightPixels(day.data(), generatedNight.data(), w, h);
    ComputeDayMask(mask.data(), w, h, sun.longitude, sun.declination, BandWidthFraction(options.bandPercent));

    WindowDc screen(nullptr);
    UniqueMemoryDc renderedDc(CreateCompatibleDC(screen.get()));
    UniqueBitmap renderedBitmap(CreateCompatibleBitmap(screen.get(), w, h));
    if (!renderedDc || !renderedBitmap) {
        error = "could not create the picture bitmap";
        return false;
    }
    ScopedSelect select(renderedDc.get(), renderedBitmap.get());
    const std::uint8_t* nightSource = options.night == NightSource::Generated ? generatedNight.data() : night.data();
    const bool composed = ComposeDayNight(day.data(), nightSource, mask.data(), renderedDc.get(), w, h);
    FreeCompositePixels();
    if (!composed) {
        error = "could not compose the picture";
        return false;
    }

    DrawOverlays(renderedDc.get(), w, h, options, sun);

    picture.width = w;
    picture.height = h;
    picture.pixels.assign(day.size(), 0);
    if (!ReadBitmapPixels(renderedDc.get(), w, h, picture.pixels.data())) {
        error = "could not read the picture back";
        return false;
    }
    return true;
}

}  // namespace uv
