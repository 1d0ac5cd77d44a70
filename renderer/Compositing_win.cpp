#include "renderer/Compositing_win.h"

#include <cstdlib>

#include "renderer/BitmapPixels_win.h"
#include "renderer/Compositing.h"

namespace uv {
namespace {

// The runtime's rand, never seeded here; its range is 0..32767 on Windows.
int RuntimeRandom() {
    return std::rand();
}

}  // namespace

bool ComposeDayNight(const std::uint8_t* dayPixels, const std::uint8_t* nightPixels,
                     const std::uint8_t* maskBuffer, HDC resultDc, int width, int height) {
    static_assert(RAND_MAX == 32767, "the dithering expects the Windows runtime's rand range");
    const std::uint8_t* composite = BlendDayNight(dayPixels, nightPixels, maskBuffer, width, height, RuntimeRandom);
    if (composite == nullptr) return false;
    return WriteBitmapPixels(resultDc, width, height, composite);
}

}  // namespace uv
