#include "renderer/DesktopPicture_win.h"

#include "common/ResourceIds.h"
#include "renderer/BitmapPixels_win.h"
#include "renderer/Compositing.h"
#include "renderer/RenderSettings.h"
#include "solar/SunModel.h"
#include "solar/SunPosition.h"

namespace uv {

namespace {

// Bitmap id of library at its own size, which goes into width and height;
// null when it is missing or unreadable.
UniqueBitmap LoadMapBitmap(HMODULE library, int id, int& width, int& height) {
    UniqueBitmap bitmap(
        static_cast<HBITMAP>(LoadImageA(library, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTSIZE)));
    BITMAP info{};
    if (!bitmap || GetObjectA(bitmap.get(), sizeof info, &info) != sizeof info) return UniqueBitmap();
    width = info.bmWidth;
    height = info.bmHeight;
    return bitmap;
}

bool ReadPixels(HBITMAP bitmap, int width, int height, std::vector<std::uint8_t>& pixels) {
    UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    if (!dc) return false;
    ScopedSelect select(dc.get(), bitmap);
    pixels.assign(PixelBufferSize(width, height), 0);
    return ReadBitmapPixels(dc.get(), width, height, pixels.data());
}

}  // namespace

bool MapImages::Load(HMODULE library) {
    *this = MapImages();
    int w = 0, h = 0, nightW = 0, nightH = 0;
    const UniqueBitmap dayBitmap = LoadMapBitmap(library, UV_RES_DAY_IMAGE, w, h);
    const UniqueBitmap nightBitmap = LoadMapBitmap(library, UV_RES_NIGHT_IMAGE, nightW, nightH);
    if (!dayBitmap || !nightBitmap || CheckMapImages(w, h, nightW, nightH) != MapImageCheck::Ok) return false;
    if (!ReadPixels(dayBitmap.get(), w, h, day) || !ReadPixels(nightBitmap.get(), w, h, night)) {
        *this = MapImages();
        return false;
    }
    generatedNight.assign(day.size(), 0);
    GenerateNightPixels(day.data(), generatedNight.data(), w, h);
    width = w;
    height = h;
    return true;
}

bool DesktopPicture::Prepare(int width, int height) {
    if (!rendered_.Fit(width, height) || !display_.Fit(width, height)) return false;
    mask_.resize(MaskBufferSize(width, height));
    return true;
}

bool DesktopPicture::Compose(const MapImages& images, const RenderSettings& settings, Blend blend) {
    const int w = images.width, h = images.height;
    if (!images.loaded() || rendered_.width != w || rendered_.height != h ||
        mask_.size() != MaskBufferSize(w, h))
        return false;
    ShownSun& sun = renderedSun_;
    SubsolarPointFor(settings.exactSun != 0, settings.renderTime, sun.declination, sun.subsolarLongitude);
    if (!ComputeDayMask(mask_.data(), w, h, sun.subsolarLongitude, sun.declination, settings.dawnDuskWidth))
        return false;
    const std::uint8_t* night =
        settings.useGeneratedNight ? images.generatedNight.data() : images.night.data();
    return blend(images.day.data(), night, mask_.data(), rendered_.dc.get(), w, h);
}

void DesktopPicture::Show(const RenderSettings& settings) {
    const int w = display_.width, h = display_.height;
    RotateIntoDisplay(display_.dc.get(), rendered_.dc.get(), w, h, DisplayShift(settings, renderedSun_, w));
    shownSun_ = renderedSun_;
    cacheDirty_ = true;
}

void DesktopPicture::ShowPlaceholder(const MapImages& images, const char* text, RECT area) {
    WriteBitmapPixels(display_.dc.get(), images.width, images.height, images.day.data());
    DrawTextA(display_.dc.get(), text, -1, &area, DT_CENTER);
    cacheDirty_ = true;
}

MapFit DesktopPicture::Fit(const RenderSettings& settings, int cx, int cy) const {
    return FitPaintCache(settings, cx, cy, display_.width, display_.height);
}

DesktopPicture::Painted DesktopPicture::Paint(HDC target, int cx, int cy, const RenderSettings& settings,
                                              const CityDatabase& cities, std::time_t now) {
    const MapFit fit = Fit(settings, cx, cy);
    if (fit.empty()) return Painted::Nothing;
    if (!cache_.exists() || cache_.width != fit.targetWidth || cache_.height != fit.targetHeight) {
        cacheDirty_ = true;
        if (!cache_.Create(nullptr, fit.targetWidth, fit.targetHeight)) return Painted::NoCache;
    }
    Painted painted = Painted::FromCache;
    if (cacheDirty_) {
        // Short of memory, a piece of the picture is left out; the paint
        // itself always ends.
        try {
            BuildPaintCache(cache_.dc.get(), fit, display_.dc.get(), settings, cities, shownSun_, now);
        } catch (...) {}
        cacheDirty_ = false;
        painted = Painted::Rebuilt;
    }
    BitBlt(target, 0, fit.windowY, cache_.width, cache_.height, cache_.dc.get(), 0, 0, SRCCOPY);
    return painted;
}

bool DesktopPicture::Render(const MapImages& images, const RenderSettings& settings,
                            const CityDatabase& cities, HDC target, int cx, int cy) {
    if (!images.loaded() || !target || cx <= 0 || cy <= 0) return false;
    if (!Prepare(images.width, images.height) || !Compose(images, settings)) return false;
    Show(settings);
    PatBlt(target, 0, 0, cx, cy, BLACKNESS);
    return Paint(target, cx, cy, settings, cities, settings.renderTime) != Painted::NoCache;
}

}  // namespace uv
