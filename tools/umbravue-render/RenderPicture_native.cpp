// The portable build: map images from BMP files, the runtime generator of
// the Windows build reproduced so both builds dither alike.
#include <cstdint>
#include <vector>

#include "renderer/Compositing.h"
#include "tools/umbravue-render/RenderPicture.h"

namespace uv {

bool RenderPicture(const RenderOptions& options, const SubsolarPoint& sun, PixelImage& picture,
                   std::string& error) {
    if (options.desktop.enabled) {
        error = "--window, --set and --cities draw with the platform's graphics: use the Windows build";
        return false;
    }
    PixelImage day, night;
    if (!ReadBmpFile(options.dayImage.empty() ? GLOBEPIX_DAY_BMP : options.dayImage, day, error) ||
        !ReadBmpFile(options.nightImage.empty() ? GLOBEPIX_NIGHT_BMP : options.nightImage, night, error)) {
        return false;
    }
    const MapImageCheck check = CheckMapImages(day.width, day.height, night.width, night.height);
    if (check != MapImageCheck::Ok) {
        error = DescribeMapImageCheck(check);
        return false;
    }
    const int w = day.width, h = day.height;
    const std::size_t size = PixelBufferSize(w, h);
    std::vector<std::uint8_t> generatedNight(size), mask(MaskBufferSize(w, h));
    GenerateNightPixels(day.pixels.data(), generatedNight.data(), w, h);
    ComputeDayMask(mask.data(), w, h, sun.longitude, sun.declination, BandWidthFraction(options.bandPercent));
    const std::uint8_t* nightSource =
        options.night == NightSource::Generated ? generatedNight.data() : night.pixels.data();
    // The Windows runtime's rand as it runs when never seeded.
    std::uint32_t randomState = kFreshRandomState;
    BlendBuffer blend;
    const std::uint8_t* composite =
        BlendDayNight(blend, day.pixels.data(), nightSource, mask.data(), w, h, randomState);
    if (composite == nullptr) {
        error = "out of memory";
        return false;
    }
    picture.width = w;
    picture.height = h;
    picture.pixels.assign(composite, composite + size);
    return true;
}

}  // namespace uv
