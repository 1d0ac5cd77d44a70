#include "renderer/Compositing_win.h"

#include <cstdlib>

#include "renderer/BitmapPixels_win.h"
#include "renderer/Compositing.h"

namespace uv {

// The dithering numbers come from the C runtime's rand of the calling thread,
// as if it were called once per pixel, but without those calls: the
// generator's state is recovered from its next three numbers, the blend
// computes every number it needs from that state, and srand leaves the
// runtime where W * H calls would have left it. The runtime keeps owning the
// state, so whatever else uses rand on the thread (nothing in the desktop
// host's worker, which starts at seed 1 like every new thread) sees the
// sequence a rand call per pixel would leave, and every render continues
// where the last one on its thread stopped.
const std::uint8_t* BlendWithRuntimeRandom(BlendBuffer& buffer, const std::uint8_t* dayPixels,
                                           const std::uint8_t* nightPixels, const std::uint8_t* maskBuffer,
                                           int width, int height) {
    static_assert(RAND_MAX == 32767, "the dithering expects the Windows runtime's rand range");
    if (MaskBufferSize(width, height) == 0) return nullptr;
    const int drawn[3] = {std::rand(), std::rand(), std::rand()};
    std::uint32_t state = 0;
    // A runtime with another generator (none that this program is linked
    // with) still gets an evenly dithered picture, from a state of its own.
    const bool runtimeState = RecoverRandomState(drawn, state);
    if (!runtimeState)
        state = static_cast<std::uint32_t>(drawn[0]) << 16 | static_cast<std::uint32_t>(drawn[1]);
    const std::uint32_t before = state;
    const std::uint8_t* composite =
        BlendDayNight(buffer, dayPixels, nightPixels, maskBuffer, width, height, state);
    // Nothing blended draws nothing.
    if (runtimeState) std::srand(composite ? state : before);
    return composite;
}

bool ComposeDayNight(BlendBuffer& buffer, const std::uint8_t* dayPixels, const std::uint8_t* nightPixels,
                     const std::uint8_t* maskBuffer, HDC resultDc, int width, int height) {
    if (PixelBufferSize(width, height) == 0) return false;
    const std::uint8_t* composite =
        BlendWithRuntimeRandom(buffer, dayPixels, nightPixels, maskBuffer, width, height);
    return composite != nullptr && WriteBitmapPixels(resultDc, width, height, composite);
}

}  // namespace uv
