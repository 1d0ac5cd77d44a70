// Transfers between pixel buffers (3 bytes per pixel, blue green red, rows
// bottom-up, no padding) and the bitmap selected into a memory DC.
#pragma once

#include <windows.h>

#include <cstdint>

namespace uv {

// The bitmap in dc must be width x height with a width that is a multiple of
// 4 (see CheckMapImages); the buffer holds 3 * width * height bytes. Both
// return false when the transfer did not happen.
bool ReadBitmapPixels(HDC dc, int width, int height, std::uint8_t* buffer);
bool WriteBitmapPixels(HDC dc, int width, int height, const std::uint8_t* buffer);

}  // namespace uv
