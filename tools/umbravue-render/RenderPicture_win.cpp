// The Windows build: the images come from globepix.dll and pass through the
// same bitmap transfers and the same shipping blend as on the desktop.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "common/WinHandles.h"
#include "renderer/RenderSettings.h"
#include "renderer/PaintCache_win.h"
#include "renderer/Renderer_win.h"
#include "solar/CityDatabase.h"
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

// Any bitmap selected into dc, of any width, as a pixel buffer without row
// padding.
bool ReadPicture(HDC dc, int width, int height, PixelImage& picture) {
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~static_cast<std::size_t>(3);
    std::vector<std::uint8_t> rows(stride * height);
    // The bitmap may not be selected while its bits are read.
    UniqueBitmap placeholder(CreateCompatibleBitmap(dc, 1, 1));
    const HGDIOBJ bitmap = SelectObject(dc, placeholder.get());
    const int got = GetDIBits(dc, static_cast<HBITMAP>(bitmap), 0, height, rows.data(), &bi, DIB_RGB_COLORS);
    SelectObject(dc, bitmap);
    if (got != height) return false;
    picture.width = width;
    picture.height = height;
    picture.pixels.resize(static_cast<std::size_t>(width) * 3 * height);
    for (int y = 0; y < height; ++y)
        std::memcpy(&picture.pixels[static_cast<std::size_t>(y) * width * 3], &rows[y * stride], width * 3u);
    return true;
}

// The desktop picture: the composed map rotated for display, fitted into the
// window for the display mode and painted with every overlay, then placed in
// the window as the desktop shows it (in FitWidth at the height "YOffset"
// chooses, black elsewhere).
bool RenderDesktopPicture(HMODULE library, HDC renderedDc, int w, int h, const RenderOptions& options,
                          const SubsolarPoint& sun, PixelImage& picture, std::string& error) {
    const DesktopOptions& desktop = options.desktop;
    const time_t now = static_cast<time_t>(options.time);
    RenderSettings settings;
    CityDatabase cities;
    cities.LoadFromResource(library, 103);
    for (const auto& s : desktop.settings) ApplySettingsMessage(settings, cities, s.first, s.second, now);
    if (!desktop.cities.empty()) {
        ApplySettingsMessage(settings, cities, ToWire(MessageId::ClearCities), 0, now);
        for (int index : desktop.cities) ApplySettingsMessage(settings, cities, ToWire(MessageId::SelectCity), index, now);
    }
    const ShownSun shown{sun.longitude, sun.declination};
    const int cx = desktop.windowWidth > 0 ? desktop.windowWidth : w;
    const int cy = desktop.windowHeight > 0 ? desktop.windowHeight : h;

    WindowDc screen(nullptr);
    UniqueMemoryDc displayDc(CreateCompatibleDC(screen.get()));
    UniqueBitmap displayBitmap(CreateCompatibleBitmap(screen.get(), w, h));
    const MapFit fit = FitPaintCache(settings, cx, cy, w, h);
    UniqueMemoryDc cacheDc(CreateCompatibleDC(screen.get()));
    UniqueBitmap cacheBitmap(fit.empty() ? nullptr
                                         : CreateCompatibleBitmap(screen.get(), fit.targetWidth, fit.targetHeight));
    UniqueMemoryDc windowDc(CreateCompatibleDC(screen.get()));
    UniqueBitmap windowBitmap(CreateCompatibleBitmap(screen.get(), cx, cy));
    if (!displayDc || !displayBitmap || !cacheDc || !cacheBitmap || !windowDc || !windowBitmap) {
        error = "could not create the desktop picture's bitmaps";
        return false;
    }
    ScopedSelect selectDisplay(displayDc.get(), displayBitmap.get());
    ScopedSelect selectCache(cacheDc.get(), cacheBitmap.get());
    ScopedSelect selectWindow(windowDc.get(), windowBitmap.get());

    SetResourceModule(library);
    CreateLabelFont();
    RotateIntoDisplay(displayDc.get(), renderedDc, w, h, DisplayShift(settings, shown, w));
    BuildPaintCache(cacheDc.get(), fit, displayDc.get(), settings, cities, shown, now);
    PatBlt(windowDc.get(), 0, 0, cx, cy, BLACKNESS);
    BitBlt(windowDc.get(), 0, fit.windowY, fit.targetWidth, fit.targetHeight, cacheDc.get(), 0, 0, SRCCOPY);
    ShutdownRenderer();
    SetResourceModule(nullptr);

    if (!ReadPicture(windowDc.get(), cx, cy, picture)) {
        error = "could not read the desktop picture back";
        return false;
    }
    return true;
}

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

    if (options.desktop.enabled) {
        return RenderDesktopPicture(library.get(), renderedDc.get(), w, h, options, sun, picture, error);
    }

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
