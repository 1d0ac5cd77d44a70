#include "renderer/ScreenPicture_win.h"

#include <cstring>

#include "renderer/Compositing.h"
#include "renderer/Compositing_win.h"
#include "renderer/PaintCache_win.h"
#include "renderer/RenderSettings.h"
#include "renderer/ScreenMap.h"
#include "solar/SunModel.h"

namespace uv {

namespace {

int DibStride(int width) { return (3 * width + 3) & ~3; }

}  // namespace

const std::uint8_t* ScreenPicture::ScaledImage(Scaled& scaled, const std::vector<std::uint8_t>& image,
                                               int mapWidth, int mapHeight) {
    if (scaled.source == image.data() && !scaled.pixels.empty()) return scaled.pixels.data();
    scaled = Scaled();
    // The image's rows have no padding: its width is a multiple of 4.
    SelectedBitmap from, to;
    if (!from.CreateDib(mapWidth, mapHeight) || !to.CreateDib(width_, height_)) return nullptr;
    std::memcpy(from.bits, image.data(), image.size());
    SetStretchBltMode(to.dc.get(), HALFTONE);
    SetBrushOrgEx(to.dc.get(), 0, 0, nullptr);
    if (!StretchBlt(to.dc.get(), 0, 0, width_, height_, from.dc.get(), 0, 0, mapWidth, mapHeight, SRCCOPY))
        return nullptr;
    GdiFlush();
    scaled.pixels.resize(3 * MaskBufferSize(width_, height_));
    const std::size_t rowBytes = 3 * static_cast<std::size_t>(width_);
    for (int row = 0; row < height_; ++row)
        std::memcpy(&scaled.pixels[rowBytes * row],
                    to.bits + static_cast<std::size_t>(DibStride(width_)) * row, rowBytes);
    scaled.source = image.data();
    ++scalings_;
    return scaled.pixels.data();
}

bool ScreenPicture::Render(const MapImages& images, const RenderSettings& settings,
                           const CityDatabase& cities, HDC target, int cx, int cy) {
    if (!images.loaded() || !target || cx <= 0 || cy <= 0) return false;
    const int w = images.width, h = images.height;
    const MapFit fit = FitPaintCache(settings, cx, cy, w, h);
    PatBlt(target, 0, 0, cx, cy, BLACKNESS);
    if (fit.empty()) return true;
    const ScreenMap map = ScaleMapToFit(fit, w, h);
    if (!IsComposableSize(map.width, map.height)) return false;
    if (map.width != width_ || map.height != height_) {
        day_ = night_ = generatedNight_ = Scaled();
        width_ = map.width;
        height_ = map.height;
    }
    const std::uint8_t* day = ScaledImage(day_, images.day, w, h);
    const std::uint8_t* night = settings.useGeneratedNight
                                    ? ScaledImage(generatedNight_, images.generatedNight, w, h)
                                    : ScaledImage(night_, images.night, w, h);
    if (!day || !night) return false;

    double declination = 0.0, longitude = 0.0;
    SubsolarPointFor(settings.exactSun != 0, settings.renderTime, declination, longitude);
    mask_.resize(MaskBufferSize(map.width, map.height));
    if (!ComputeDayMask(mask_.data(), map.width, map.height, longitude, declination, settings.dawnDuskWidth))
        return false;
    const std::uint8_t* composite = BlendWithRuntimeRandom(day, night, mask_.data(), map.width, map.height);
    if (!composite) return false;

    if (!cache_.FitDib(fit.targetWidth, fit.targetHeight)) return false;
    if (fit.dstX > 0 || fit.dstWidth < fit.targetWidth) {
        PatBlt(cache_.dc.get(), 0, 0, fit.targetWidth, fit.targetHeight, BLACKNESS);
        GdiFlush();
    }
    const ShownSun sun{longitude, declination};
    const int shift = ScaleShift(DisplayShift(settings, sun, w), w, map.width);
    CopyShownPart(composite, map, shift, fit, cache_.bits, DibStride(fit.targetWidth));
    DrawOverlays(cache_.dc.get(), fit, settings, cities, sun, settings.renderTime);
    BitBlt(target, 0, fit.windowY, fit.targetWidth, fit.targetHeight, cache_.dc.get(), 0, 0, SRCCOPY);
    return true;
}

}  // namespace uv
