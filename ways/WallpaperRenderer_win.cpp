#include "ways/WallpaperRenderer_win.h"

#include "common/ResourceIds.h"
#include "common/SelectedBitmap_win.h"
#include "common/WideText_win.h"
#include "renderer/BmpFile.h"
#include "renderer/MapPicture_win.h"
#include "renderer/PaintCache_win.h"
#include "renderer/RenderContext_win.h"
#include "renderer/RenderSettings.h"
#include "solar/CityDatabase.h"

namespace uv {

// Members in the order they must be released: the render context's font and
// glyph before the library they came from.
struct WallpaperRenderer::Impl {
    explicit Impl(const WideText& resourceLibrary)
        : library(LoadLibraryW(WidePtr(resourceLibrary))), context(library.get()) {}

    UniqueModule library;
    RenderContext context;
    MapImages images;
    CityDatabase cities;
    RenderSettings settings;
    MapPicture picture{MapPicture::Bitmaps::Dib};
    SelectedBitmap frame;
    SelectedBitmap rotated;
    const SelectedBitmap* out = nullptr;  // the last picture rendered
};

WallpaperRenderer::WallpaperRenderer(const WideText& resourceLibrary) : impl_(new Impl(resourceLibrary)) {
    if (!impl_->library) return;
    if (!impl_->images.Load(impl_->library.get())) return;
    impl_->cities.LoadFromResource(impl_->library.get(), UV_RES_CITY_LIST);
    impl_->cities.LoadZonesFromResource(impl_->library.get(), UV_RES_CITY_ZONES);
}

WallpaperRenderer::~WallpaperRenderer() = default;

WallpaperResult WallpaperRenderer::Render(const WallpaperJob& job) {
    Impl& m = *impl_;
    if (!m.images.loaded()) return WallpaperResult::NoImages;
    m.settings = RenderSettings();
    for (const SettingsPost& p : job.burst)
        ApplySettingsMessage(m.settings, m.cities, ToWire(p.id), p.value, job.time);
    ApplySettingsMessage(m.settings, m.cities, ToWire(MessageId::SetTime),
                         static_cast<std::intptr_t>(job.time), job.time);
    m.settings.dpi = job.dpi;
    const int cx = job.screen.width, cy = job.screen.height;
    if (!m.frame.FitDib(cx, cy) ||
        !m.picture.Render(m.images, m.settings, m.cities, m.context, m.frame.dc.get(), cx, cy))
        return WallpaperResult::NoMemory;
    m.out = &m.frame;
    if (job.placement.shiftX != 0 || job.placement.shiftY != 0) {
        if (!m.rotated.FitDib(cx, cy)) return WallpaperResult::NoMemory;
        RotatePicture(m.rotated.dc.get(), m.frame.dc.get(), cx, cy, job.placement.shiftX,
                      job.placement.shiftY);
        m.out = &m.rotated;
    }
    GdiFlush();
    return WallpaperResult::Shown;
}

const SelectedBitmap* WallpaperRenderer::Rendered() const { return impl_->out; }

std::uint64_t HashPicture(const SelectedBitmap& picture) {
    if (!picture.bits) return 0;
    const std::size_t size = BmpRowStride(picture.width) * static_cast<std::size_t>(picture.height);
    const auto headers = BmpHeaders(picture.width, picture.height);
    return PictureHash(picture.bits, size, PictureHash(headers.data(), headers.size()));
}

WallpaperResult WritePictureFile(const WallpaperFiles& files, const WideText& path,
                                 const SelectedBitmap& picture, HANDLE stop) {
    // A folder deleted while the program runs is made again.
    if (!PictureFolderUsable(files)) return WallpaperResult::NoFolder;
    return WritePicture(path, picture.width, picture.height, picture.bits, stop)
               ? WallpaperResult::Shown
               : WallpaperResult::WriteFailed;
}

}  // namespace uv
