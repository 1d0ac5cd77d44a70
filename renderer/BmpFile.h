// The header of a 24-bit bottom-up BMP file, as the wallpaper and the render
// tool write it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace uv {

constexpr std::size_t kBmpHeadersSize = 54;
// Bytes per row of a 24-bit BMP: padded to a multiple of 4.
std::size_t BmpRowStride(int width);
// The file header and the BITMAPINFOHEADER; the rows follow them.
std::array<std::uint8_t, kBmpHeadersSize> BmpHeaders(int width, int height);

}  // namespace uv
