// The Windows build: the images come from globepix.dll. The map alone passes
// through the desktop host's bitmap transfers and blend, the desktop picture
// through the wallpaper's steps.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "common/ResourceIds.h"
#include "common/SelectedBitmap_win.h"
#include "common/WinHandles.h"
#include "renderer/BitmapPixels_win.h"
#include "renderer/BmpFile.h"
#include "renderer/Compositing.h"
#include "renderer/Compositing_win.h"
#include "renderer/MapPicture_win.h"
#include "renderer/RenderContext_win.h"
#include "renderer/RenderSettings.h"
#include "solar/CityDatabase.h"
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

// The desktop picture as the wallpaper makes it: composed at the size the
// window shows the map, rotated for display, fitted into the window for the
// display mode and painted with every overlay, placed as the desktop shows
// it (in FitWidth at the height "YOffset" chooses, black elsewhere).
bool RenderDesktopPicture(HMODULE library, const MapImages& images, const RenderOptions& options,
                          PixelImage& picture, std::string& error) {
    const DesktopOptions& desktop = options.desktop;
    const time_t now = static_cast<time_t>(options.time);
    RenderSettings settings;
    CityDatabase cities;
    cities.LoadFromResource(library, UV_RES_CITY_LIST);
    cities.LoadZonesFromResource(library, UV_RES_CITY_ZONES);
    for (const auto& s : desktop.settings) ApplySettingsMessage(settings, cities, s.first, s.second, now);
    if (!desktop.cities.empty()) {
        ApplySettingsMessage(settings, cities, ToWire(MessageId::ClearCities), 0, now);
        for (int index : desktop.cities)
            ApplySettingsMessage(settings, cities, ToWire(MessageId::SelectCity), index, now);
    }
    // The moment, band and night source of the command line rule.
    settings.renderTime = now;
    settings.dawnDuskWidth = BandWidthFraction(options.bandPercent);
    settings.useGeneratedNight = options.night == NightSource::Generated;
    settings.dpi = desktop.dpi;
    const int cx = desktop.windowWidth > 0 ? desktop.windowWidth : images.width;
    const int cy = desktop.windowHeight > 0 ? desktop.windowHeight : images.height;

    RenderContext context(library);
    MapPicture mapPicture(MapPicture::Bitmaps::Dib);
    SelectedBitmap window;
    if (!window.CreateDib(cx, cy)) {
        error = "could not create the desktop picture's bitmap";
        return false;
    }
    if (!mapPicture.Render(images, settings, cities, context, window.dc.get(), cx, cy)) {
        error = "could not draw the desktop picture";
        return false;
    }
    GdiFlush();
    picture.width = cx;
    picture.height = cy;
    const std::size_t rowBytes = 3 * static_cast<std::size_t>(cx);
    picture.pixels.resize(rowBytes * cy);
    for (int row = 0; row < cy; ++row)
        std::memcpy(&picture.pixels[rowBytes * row], window.bits + BmpRowStride(cx) * row, rowBytes);
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
    MapImages images;
    if (!images.Load(library.get())) {
        error = libraryPath + " lacks usable map bitmaps 101 and 102";
        return false;
    }
    if (options.desktop.enabled) return RenderDesktopPicture(library.get(), images, options, picture, error);

    const int w = images.width, h = images.height;
    std::vector<std::uint8_t> mask(MaskBufferSize(w, h));
    if (!ComputeDayMask(mask.data(), w, h, sun.longitude, sun.declination,
                        BandWidthFraction(options.bandPercent))) {
        error = "could not compute the day mask";
        return false;
    }
    WindowDc screen(nullptr);
    UniqueMemoryDc renderedDc(CreateCompatibleDC(screen.get()));
    UniqueBitmap renderedBitmap(CreateCompatibleBitmap(screen.get(), w, h));
    if (!renderedDc || !renderedBitmap) {
        error = "could not create the picture bitmap";
        return false;
    }
    ScopedSelect select(renderedDc.get(), renderedBitmap.get());
    const std::uint8_t* night =
        options.night == NightSource::Generated ? images.generatedNight.data() : images.night.data();
    BlendBuffer blend;
    const bool composed =
        ComposeDayNight(blend, images.day.data(), night, mask.data(), renderedDc.get(), w, h);
    if (!composed) {
        error = "could not compose the picture";
        return false;
    }
    picture.width = w;
    picture.height = h;
    picture.pixels.assign(images.day.size(), 0);
    if (!ReadBitmapPixels(renderedDc.get(), w, h, picture.pixels.data())) {
        error = "could not read the picture back";
        return false;
    }
    return true;
}

}  // namespace uv
