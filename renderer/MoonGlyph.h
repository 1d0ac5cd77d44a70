// The Moon glyph: a disc at the sublunar point whose lit part faces the sun
// and covers the illuminated fraction of it. The shape is computed here, in
// pixels, and laid over the picture's own pixels; the GDI side only moves
// the pixels in and out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace uv {

// The glyph's box at 96 DPI: the sun glyph's.
constexpr int kMoonGlyphSize = 32;

// Coverage of one glyph pixel, 0..255: how much of it the disc covers, and
// how much of that the lit part.
struct MoonPixel {
    std::uint8_t disc;
    std::uint8_t lit;
};

// The size x size glyph, row 0 at the top, antialiased by 4 x 4 samples.
// litFraction is the illuminated share of the disc (0 new, 1 full), clamped
// into 0..1; (sunX, sunY) points from the disc's centre toward the sun on
// the picture (x right, y down), any length but 0 (then the sun is to the
// right). The lit region is bounded by the limb on the sun's side and the
// terminator, a half ellipse whose half width is |1 - 2 litFraction| of the
// radius.
std::vector<MoonPixel> MoonGlyphPixels(int size, double litFraction, double sunX, double sunY);

// The direction toward the subsolar point at the sublunar point (radians,
// north and east positive), as (x right, y down) on a map with north up.
// Where the two points coincide or are antipodes there is no direction:
// then the sun is taken to the west of a waxing Moon and to the east of a
// waning one, as it is seen in the sky.
void SunDirectionOnMap(double moonLatitude, double moonLongitude, double sunLatitude, double sunLongitude,
                       bool waxing, double& x, double& y);

// Lays the glyph over 24-bit pixels (blue, green, red): row r of the glyph
// over topRow + r * rowStep (rowStep negative for bottom-up rows), column c
// at byte 3 * c of it, from glyph column firstColumn and row firstRow, width
// x height of it.
void PaintMoonGlyph(const std::vector<MoonPixel>& glyph, int size, int firstColumn, int firstRow, int width,
                    int height, std::uint8_t* topRow, std::ptrdiff_t rowStep);

}  // namespace uv
