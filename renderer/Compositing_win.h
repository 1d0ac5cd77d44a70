// The desktop host's form of the blend: the numbers of the calling thread's
// C runtime rand for the dithering, the result written into the bitmap
// selected into resultDc. maskBuffer has one byte per pixel.
#pragma once

#include <windows.h>

#include <cstdint>

#include "renderer/Compositing.h"

namespace uv {

// BlendDayNight dithered with the calling thread's C runtime rand, which is
// left where one call per pixel would have left it.
const std::uint8_t* BlendWithRuntimeRandom(BlendBuffer& buffer, const std::uint8_t* dayPixels,
                                           const std::uint8_t* nightPixels, const std::uint8_t* maskBuffer,
                                           int width, int height);

// Returns false when nothing was written (unusable size, no memory, failed
// transfer).
bool ComposeDayNight(BlendBuffer& buffer, const std::uint8_t* dayPixels, const std::uint8_t* nightPixels,
                     const std::uint8_t* maskBuffer, HDC resultDc, int width, int height);

}  // namespace uv
