#include "renderer/DesktopPicture_win.h"

#include "common/ResourceIds.h"
#include "renderer/BitmapPixels_win.h"
#include "renderer/Compositing.h"
#include "renderer/Compositing_win.h"
#include "renderer/PaintCache_win.h"
#include "renderer/RenderSettings.h"
#include "solar/SunPosition.h"

namespace uv {

namespace {

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
    UniqueBitmap dayBitmap(LoadMapImage(library, UV_RES_DAY_IMAGE));
    UniqueBitmap nightBitmap(LoadMapImage(library, UV_RES_NIGHT_IMAGE));
    int w = 0, h = 0, nightW = 0, nightH = 0;
    if (!BitmapSize(dayBitmap.get(), w, h) || !BitmapSize(nightBitmap.get(), nightW, nightH) ||
        CheckMapImages(w, h, nightW, nightH) != MapImageCheck::Ok)
        return false;
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

bool DesktopPicture::Render(const MapImages& images, const RenderSettings& settings, const CityDatabase& cities,
                            HDC target, int cx, int cy) {
    if (!images.loaded() || !target || cx <= 0 || cy <= 0) return false;
    const int w = images.width, h = images.height;
    if (!rendered_.Fit(w, h) || !display_.Fit(w, h)) return false;

    double declination = 0.0, longitude = 0.0;
    ComputeSubsolarPoint(settings.renderTime, declination, longitude);
    mask_.resize(MaskBufferSize(w, h));
    ComputeDayMask(mask_.data(), w, h, longitude, declination, settings.dawnDuskWidth);
    const std::uint8_t* night = settings.useGeneratedNight ? images.generatedNight.data() : images.night.data();
    if (!ComposeDayNight(images.day.data(), night, mask_.data(), rendered_.dc.get(), w, h)) return false;

    const ShownSun sun{longitude, declination};
    RotateIntoDisplay(display_.dc.get(), rendered_.dc.get(), w, h, DisplayShift(settings, sun, w));
    const MapFit fit = FitPaintCache(settings, cx, cy, w, h);
    PatBlt(target, 0, 0, cx, cy, BLACKNESS);
    if (fit.empty()) return true;
    if (!cache_.Fit(fit.targetWidth, fit.targetHeight)) return false;
    BuildPaintCache(cache_.dc.get(), fit, display_.dc.get(), settings, cities, sun, settings.renderTime);
    BitBlt(target, 0, fit.windowY, fit.targetWidth, fit.targetHeight, cache_.dc.get(), 0, 0, SRCCOPY);
    return true;
}

}  // namespace uv
