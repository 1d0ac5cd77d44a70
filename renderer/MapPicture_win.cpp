#include "renderer/MapPicture_win.h"

#include <cstring>

#include "common/ResourceIds.h"
#include "renderer/BitmapPixels_win.h"
#include "renderer/BmpFile.h"
#include "renderer/Compositing_win.h"
#include "renderer/RenderSettings.h"
#include "renderer/ScreenMap.h"
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

bool MapPicture::Prepare(const MapImages& images, int width, int height) {
    if (!IsComposableSize(width, height)) return false;
    if (rendered_.width != width || rendered_.height != height) day_ = night_ = generatedNight_ = Scaled();
    mapWidth_ = images.width;
    mapHeight_ = images.height;
    const bool made = bitmaps_ == Bitmaps::Dib
                          ? rendered_.FitDib(width, height) && display_.FitDib(width, height)
                          : rendered_.Fit(width, height) && display_.Fit(width, height);
    if (!made) return false;
    mask_.resize(MaskBufferSize(width, height));
    return true;
}

const std::uint8_t* MapPicture::ImageAtComposeSize(Scaled& scaled, const MapImages& images,
                                                   const std::vector<std::uint8_t>& image) {
    const int w = rendered_.width, h = rendered_.height;
    if (w == images.width && h == images.height) return image.data();
    if (scaled.source == image.data() && !scaled.pixels.empty()) return scaled.pixels.data();
    scaled = Scaled();
    // Halftone, as the desktop host stretches its picture. The image's rows
    // have no padding: its width is a multiple of 4.
    SelectedBitmap from, to;
    if (!from.CreateDib(images.width, images.height) || !to.CreateDib(w, h)) return nullptr;
    std::memcpy(from.bits, image.data(), image.size());
    SetStretchBltMode(to.dc.get(), HALFTONE);
    SetBrushOrgEx(to.dc.get(), 0, 0, nullptr);
    if (!StretchBlt(to.dc.get(), 0, 0, w, h, from.dc.get(), 0, 0, images.width, images.height, SRCCOPY))
        return nullptr;
    GdiFlush();
    scaled.pixels.resize(3 * MaskBufferSize(w, h));
    const std::size_t rowBytes = 3 * static_cast<std::size_t>(w);
    for (int row = 0; row < h; ++row)
        std::memcpy(&scaled.pixels[rowBytes * row], to.bits + BmpRowStride(w) * row, rowBytes);
    scaled.source = image.data();
    ++scalings_;
    return scaled.pixels.data();
}

bool MapPicture::WriteRendered(const std::uint8_t* composite) {
    const int w = rendered_.width, h = rendered_.height;
    if (!rendered_.bits) return WriteBitmapPixels(rendered_.dc.get(), w, h, composite);
    GdiFlush();
    const std::size_t rowBytes = 3 * static_cast<std::size_t>(w);
    for (int row = 0; row < h; ++row)
        std::memcpy(rendered_.bits + BmpRowStride(w) * row, composite + rowBytes * row, rowBytes);
    return true;
}

bool MapPicture::Compose(const MapImages& images, const RenderSettings& settings, Dither dither) {
    const int w = rendered_.width, h = rendered_.height;
    if (!images.loaded() || images.width != mapWidth_ || images.height != mapHeight_ || !rendered_.exists() ||
        mask_.empty() || mask_.size() != MaskBufferSize(w, h))
        return false;
    const std::uint8_t* day = ImageAtComposeSize(day_, images, images.day);
    const std::uint8_t* night = settings.useGeneratedNight
                                    ? ImageAtComposeSize(generatedNight_, images, images.generatedNight)
                                    : ImageAtComposeSize(night_, images, images.night);
    if (!day || !night) return false;
    ShownSun& sun = renderedSun_;
    SubsolarPointFor(settings.exactSun != 0, settings.renderTime, sun.declination, sun.subsolarLongitude);
    sun.time = settings.renderTime;
    const bool masked = settings.gradedTwilight
                            ? ComputeGradedDayMask(mask_.data(), w, h, sun.subsolarLongitude, sun.declination)
                            : ComputeDayMask(mask_.data(), w, h, sun.subsolarLongitude, sun.declination,
                                             settings.dawnDuskWidth);
    if (!masked) return false;
    const std::uint8_t* composite = nullptr;
    if (dither == Dither::ThreadRand) {
        composite = BlendWithRuntimeRandom(blend_, day, night, mask_.data(), w, h);
    } else {
        std::uint32_t state = kFreshRandomState;
        composite = BlendDayNight(blend_, day, night, mask_.data(), w, h, state);
    }
    return composite && WriteRendered(composite);
}

void MapPicture::Show(const RenderSettings& settings) {
    const int w = display_.width, h = display_.height;
    // The rotation of the images' map, at the compose size.
    const int shift = ScaleShift(DisplayShift(settings, renderedSun_, mapWidth_), mapWidth_, w);
    RotatePicture(display_.dc.get(), rendered_.dc.get(), w, h, shift);
    shownSun_ = renderedSun_;
    cacheDirty_ = true;
}

void MapPicture::ShowPlaceholder(const MapImages& images, const char* text, RECT area) {
    WriteBitmapPixels(display_.dc.get(), images.width, images.height, images.day.data());
    DrawTextA(display_.dc.get(), text, -1, &area, DT_CENTER);
    cacheDirty_ = true;
}

MapFit MapPicture::Fit(const RenderSettings& settings, int cx, int cy) const {
    return FitPaintCache(settings, cx, cy, mapWidth_, mapHeight_);
}

MapPicture::Painted MapPicture::Paint(HDC target, int cx, int cy, const RenderSettings& settings,
                                      const CityDatabase& cities, std::time_t now, RenderContext& context) {
    const MapFit fit = Fit(settings, cx, cy);
    if (fit.empty()) return Painted::Nothing;
    if (!cache_.exists() || cache_.width != fit.targetWidth || cache_.height != fit.targetHeight) {
        cacheDirty_ = true;
        const bool made = bitmaps_ == Bitmaps::Dib
                              ? cache_.CreateDib(fit.targetWidth, fit.targetHeight)
                              : cache_.Create(nullptr, fit.targetWidth, fit.targetHeight);
        if (!made) return Painted::NoCache;
    }
    Painted painted = Painted::FromCache;
    if (cacheDirty_) {
        const MapFit shown = FitComposedPicture(fit, mapWidth_, mapHeight_, display_.width, display_.height);
        // Short of memory, a piece of the picture is left out; the paint
        // itself always ends.
        try {
            BuildPaintCache(cache_.dc.get(), shown, display_.dc.get(), settings, cities, shownSun_, now,
                            context);
        } catch (...) {}
        cacheDirty_ = false;
        painted = Painted::Rebuilt;
    }
    BitBlt(target, 0, fit.windowY, cache_.width, cache_.height, cache_.dc.get(), 0, 0, SRCCOPY);
    return painted;
}

bool MapPicture::Render(const MapImages& images, const RenderSettings& settings, const CityDatabase& cities,
                        RenderContext& context, HDC target, int cx, int cy) {
    if (!images.loaded() || !target || cx <= 0 || cy <= 0) return false;
    PatBlt(target, 0, 0, cx, cy, BLACKNESS);
    const MapFit fit = FitPaintCache(settings, cx, cy, images.width, images.height);
    if (fit.empty()) return true;
    const ScreenMap map = ScaleMapToFit(fit, images.width, images.height);
    if (!Prepare(images, map.width, map.height) || !Compose(images, settings, Dither::Fresh)) return false;
    Show(settings);
    return Paint(target, cx, cy, settings, cities, settings.renderTime, context) == Painted::Rebuilt;
}

}  // namespace uv
