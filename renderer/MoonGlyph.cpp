#include "renderer/MoonGlyph.h"

#include <cmath>

namespace uv {

namespace {

constexpr int kSamples = 4;
// The disc fills most of the box; the sun glyph's rays reach as far.
constexpr double kRadiusShare = 0.36;

struct Rgb {
    int r, g, b;
};
constexpr Rgb kLit{244, 240, 218};
constexpr Rgb kDark{58, 60, 72};

}  // namespace

std::vector<MoonPixel> MoonGlyphPixels(int size, double litFraction, double sunX, double sunY) {
    std::vector<MoonPixel> pixels;
    if (size <= 0 || size > 4096) return pixels;
    pixels.resize(static_cast<std::size_t>(size) * size);
    if (!(litFraction >= 0)) litFraction = 0;  // NaN too
    if (litFraction > 1) litFraction = 1;
    double length = std::sqrt(sunX * sunX + sunY * sunY);
    if (!(length > 0) || !std::isfinite(length)) sunX = 1, sunY = 0, length = 1;
    const double ux = sunX / length, uy = sunY / length;
    const double radius = size * kRadiusShare;
    const double centre = size / 2.0;
    const double terminator = 1 - 2 * litFraction;
    for (int row = 0; row < size; ++row) {
        for (int column = 0; column < size; ++column) {
            int disc = 0, lit = 0;
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    const double px = column + (sx + 0.5) / kSamples - centre;
                    const double py = row + (sy + 0.5) / kSamples - centre;
                    // u toward the sun, v across.
                    const double u = px * ux + py * uy;
                    const double v = -px * uy + py * ux;
                    const double r2 = radius * radius - v * v;
                    if (u * u + v * v > radius * radius) continue;
                    ++disc;
                    if (u >= terminator * std::sqrt(r2 > 0 ? r2 : 0)) ++lit;
                }
            }
            const int all = kSamples * kSamples;
            MoonPixel& p = pixels[static_cast<std::size_t>(row) * size + column];
            p.disc = static_cast<std::uint8_t>((disc * 255 + all / 2) / all);
            p.lit = static_cast<std::uint8_t>(disc > 0 ? (lit * 255 + disc / 2) / disc : 0);
        }
    }
    return pixels;
}

void SunDirectionOnMap(double moonLatitude, double moonLongitude, double sunLatitude, double sunLongitude,
                       bool waxing, double& x, double& y) {
    const double dl = sunLongitude - moonLongitude;
    const double east = std::sin(dl) * std::cos(sunLatitude);
    const double north = std::cos(moonLatitude) * std::sin(sunLatitude) -
                         std::sin(moonLatitude) * std::cos(sunLatitude) * std::cos(dl);
    if (std::sqrt(east * east + north * north) < 1e-9) {
        x = waxing ? -1 : 1;
        y = 0;
        return;
    }
    x = east;
    y = -north;
}

void PaintMoonGlyph(const std::vector<MoonPixel>& glyph, int size, int firstColumn, int firstRow, int width,
                    int height, std::uint8_t* topRow, std::ptrdiff_t rowStep) {
    if (topRow == nullptr || size <= 0 || glyph.size() != static_cast<std::size_t>(size) * size) return;
    if (firstColumn < 0 || firstRow < 0 || width <= 0 || height <= 0 || firstColumn + width > size ||
        firstRow + height > size)
        return;
    for (int r = 0; r < height; ++r) {
        std::uint8_t* out = topRow + r * rowStep;
        const MoonPixel* in = &glyph[static_cast<std::size_t>(firstRow + r) * size + firstColumn];
        for (int c = 0; c < width; ++c, out += 3) {
            const int a = in[c].disc, l = in[c].lit;
            if (a == 0) continue;
            const int colour[3] = {(kLit.b * l + kDark.b * (255 - l)) / 255,
                                   (kLit.g * l + kDark.g * (255 - l)) / 255,
                                   (kLit.r * l + kDark.r * (255 - l)) / 255};
            for (int k = 0; k < 3; ++k)
                out[k] = static_cast<std::uint8_t>((colour[k] * a + out[k] * (255 - a) + 127) / 255);
        }
    }
}

}  // namespace uv
