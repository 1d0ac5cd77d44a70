#include "renderer/Compositing.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <new>
#include <optional>

#include "renderer/BandWeights.h"
#include "renderer/Geometry.h"

// The functions here produce exactly the bytes of the plain per-pixel form in
// CompositingReference.cpp; only work whose result does not depend on where
// it is done is moved out of the pixel loop (a row's or column's sines and
// cosines, the sine of the band width, the mask factors), and the cosine of
// the band is replaced by a table of the formula's own steps (BandWeights.h).
//
// Walking a column of a buffer touches a new cache line and often a new page
// at every pixel, and lines thousands of bytes apart crowd a few cache sets. A pixel's day weight does not depend on the order,
// so the mask is computed row by row. The blend draws one random number per
// pixel, column by column, all of them first, and then blends row by row,
// copying runs of full day and full night.

namespace uv {
namespace {

constexpr double kPi = 3.141592653589793;
constexpr float kInv255 = 0.003921568859368563f;
constexpr float kInv32767 = 3.0518509447574615e-05f;
// Columns of random numbers drawn before they are stored row by row.
constexpr int kStripColumns = 64;
// An odd number of cache lines between the strip's columns, so reading
// across them does not crowd a few cache sets.
constexpr int kStripPadding = 32;

struct CompositingState {
    std::unique_ptr<std::uint8_t[]> compositePixels;
    // The random numbers of one blend by pixel position, and a strip of
    // columns of them in the order they are drawn; kept with the composite.
    std::unique_ptr<std::uint16_t[]> randomNumbers;
    std::unique_ptr<std::uint16_t[]> stripNumbers;
    int width = 0;
    int height = 0;
};

CompositingState g_state;

std::size_t StripStride(int height) {
    return static_cast<std::size_t>(height) + kStripPadding;
}

}  // namespace

MapImageCheck CheckMapImages(int dayWidth, int dayHeight, int nightWidth, int nightHeight) {
    if (dayWidth <= 0 || dayHeight <= 0) return MapImageCheck::Empty;
    if (dayWidth > kMaxMapWidth || dayHeight > kMaxMapHeight ||
        static_cast<long long>(dayWidth) * dayHeight > kMaxMapPixels) {
        return MapImageCheck::TooLarge;
    }
    if (dayWidth % 4 != 0) return MapImageCheck::WidthNotMultipleOf4;
    if (nightWidth != dayWidth || nightHeight != dayHeight) return MapImageCheck::NightSizeDiffers;
    return MapImageCheck::Ok;
}

bool IsUsableMapSize(int width, int height) {
    return CheckMapImages(width, height, width, height) == MapImageCheck::Ok;
}

const char* DescribeMapImageCheck(MapImageCheck check) {
    switch (check) {
        case MapImageCheck::Ok: return "the map images can be used";
        case MapImageCheck::Empty: return "the day image has no pixels";
        case MapImageCheck::WidthNotMultipleOf4: return "the day image's width is not a multiple of 4";
        case MapImageCheck::TooLarge: return "the day image is too large";
        case MapImageCheck::NightSizeDiffers: return "the night image's size differs from the day image's";
    }
    return "unknown map image problem";
}

std::size_t PixelBufferSize(int width, int height) {
    if (!IsUsableMapSize(width, height)) return 0;
    return 3u * static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
}

float BandWidthFraction(int percent) {
    return static_cast<float>(percent) * 0.01f;
}

void GenerateNightPixels(const std::uint8_t* day, std::uint8_t* night, int width, int height) {
    const std::size_t size = PixelBufferSize(width, height);
    if (size == 0) return;
    // The result of a pixel depends on that pixel alone, so the buffer is
    // walked in memory order; the brightness takes only 256 values.
    std::uint8_t red[256];
    std::uint8_t blue[256];
    for (int v = 0; v < 256; ++v) {
        const int b = static_cast<int>(std::sqrt(v * kInv255) * 255.0);
        red[v] = static_cast<std::uint8_t>(b / 4);
        blue[v] = static_cast<std::uint8_t>(b / 2);
    }
    for (std::size_t p = 0; p < size; p += 3) {
        int v = day[p + 2];
        if (day[p + 1] > v) v = day[p + 1];
        if ((day[p] >> 2) > v) v = day[p] >> 2;
        night[p + 2] = red[v];
        night[p + 1] = red[v];
        night[p] = blue[v];
    }
}

bool ComputeDayMask(std::uint8_t* mask, int width, int height, double subsolarLongitude, double declination,
                    double bandWidth) {
    if (!IsUsableMapSize(width, height)) return false;
    const Vector3f sun = SphericalToCartesian(static_cast<float>(declination + kPi / 2),
                                              static_cast<float>(subsolarLongitude), 1.0f);

    // SphericalToCartesian(theta, phi, 1) is (sin theta cos phi, sin theta
    // sin phi, cos theta) computed in double and rounded per coordinate; with
    // radius 1 the products below round to the same floats.
    std::unique_ptr<double[]> azimuthTable(new (std::nothrow) double[2 * static_cast<std::size_t>(width)]);
    if (!azimuthTable) return false;
    double* cosAzimuth = azimuthTable.get();
    double* sinAzimuth = cosAzimuth + width;
    for (int i = 0; i < width; ++i) {
        const double phi = static_cast<float>(2 * kPi * i / width - kPi);
        cosAzimuth[i] = std::cos(phi);
        sinAzimuth[i] = std::sin(phi);
    }

    const bool hardEdge = !(bandWidth > 0.001);
    const double bandSine = hardEdge ? 1.0 : std::sin(bandWidth * kPi / 2);
    // |d| beyond twice the band's sine is certainly outside the band: the
    // division would give |u| near 2, which decides the weight without it.
    const float surelyDay = static_cast<float>(2 * bandSine);
    std::optional<BandWeightTable> bandWeight;
    if (!hardEdge) bandWeight.emplace();

    for (int j = 0; j < height; ++j) {
        const double theta = static_cast<float>(kPi * j / height);
        const double sinPolar = std::sin(theta);
        const float z = static_cast<float>(std::cos(theta));
        const float zTerm = z * sun.z;
        std::uint8_t* row = mask + 3 * (static_cast<std::size_t>(width) * j) + 2;
        for (int i = 0; i < width; ++i) {
            const float x = static_cast<float>(sinPolar * cosAzimuth[i]);
            const float y = static_cast<float>(sinPolar * sinAzimuth[i]);
            const float d = x * sun.x + y * sun.y + zTerm;
            int weight;
            if (hardEdge) {
                weight = d >= 0 ? 255 : 0;
            } else if (d > surelyDay) {
                weight = 255;
            } else if (d < -surelyDay) {
                weight = 0;
            } else {
                const double u = d / bandSine;
                if (u > 1) {
                    weight = 255;
                } else {
                    const float uf = static_cast<float>(u);
                    weight = uf < -1 ? 0 : (*bandWeight)(uf);
                }
            }
            row[3 * i] = static_cast<std::uint8_t>(weight);
        }
    }
    return true;
}

const std::uint8_t* BlendDayNight(const std::uint8_t* day, const std::uint8_t* night, const std::uint8_t* mask,
                                  int width, int height, RandomSource random) {
    const std::size_t size = PixelBufferSize(width, height);
    if (size == 0 || random == nullptr) return nullptr;
    const std::size_t pixels = size / 3;
    if (!g_state.compositePixels || g_state.width != width || g_state.height != height) {
        FreeCompositePixels();
        g_state.compositePixels.reset(new (std::nothrow) std::uint8_t[size]);
        g_state.randomNumbers.reset(new (std::nothrow) std::uint16_t[pixels]);
        g_state.stripNumbers.reset(new (std::nothrow) std::uint16_t[kStripColumns * StripStride(height)]);
        if (!g_state.compositePixels || !g_state.randomNumbers || !g_state.stripNumbers) {
            FreeCompositePixels();
            return nullptr;
        }
        g_state.width = width;
        g_state.height = height;
    }
    std::uint8_t* out = g_state.compositePixels.get();
    std::uint16_t* numbers = g_state.randomNumbers.get();
    const std::size_t w = static_cast<std::size_t>(width);

    // One number per pixel in the blend's pixel order, column by column and
    // bottom to top, stored by pixel position (row by row). A strip of
    // columns is drawn into a small buffer first, so the big one is written
    // a row segment at a time.
    const std::size_t stripStride = StripStride(height);
    std::uint16_t* strip = g_state.stripNumbers.get();
    for (int i0 = 0; i0 < width; i0 += kStripColumns) {
        const int columns = i0 + kStripColumns < width ? kStripColumns : width - i0;
        for (int c = 0; c < columns; ++c) {
            std::uint16_t* column = &strip[c * stripStride];
            for (int j = 0; j < height; ++j) column[j] = static_cast<std::uint16_t>(random());
        }
        for (int j = 0; j < height; ++j) {
            std::uint16_t* row = numbers + w * j + i0;
            for (int c = 0; c < columns; ++c) row[c] = strip[c * stripStride + j];
        }
    }

    // With a mask factor of exactly 0 or 1 the blend is exact and has no
    // fraction, so such pixels are copies of the night or the day.
    enum Kind : std::uint8_t { kNight, kDay, kBlend };
    float weight[256];
    float complement[256];
    Kind kind[256];
    for (int k = 0; k < 256; ++k) {
        weight[k] = k * kInv255;
        complement[k] = 1 - weight[k];
        kind[k] = weight[k] == 0.0f ? kNight : weight[k] == 1.0f ? kDay : kBlend;
    }

    for (int j = 0; j < height; ++j) {
        const std::size_t rowStart = 3 * w * j;
        const std::uint8_t* maskRow = mask + rowStart + 2;
        const std::uint16_t* rowNumbers = numbers + w * j;
        int i = 0;
        while (i < width) {
            const Kind k = kind[maskRow[3 * i]];
            if (k != kBlend) {
                int end = i + 1;
                while (end < width && kind[maskRow[3 * end]] == k) ++end;
                const std::uint8_t* source = k == kDay ? day : night;
                std::memcpy(out + rowStart + 3 * i, source + rowStart + 3 * i, 3 * static_cast<std::size_t>(end - i));
                i = end;
                continue;
            }
            const std::size_t p = rowStart + 3 * static_cast<std::size_t>(i);
            const float m = weight[mask[p + 2]];
            const float n = complement[mask[p + 2]];
            const float r = rowNumbers[i] * kInv32767;
            // v lies in [0, 256), where converting to int is trunc.
            for (int c = 2; c >= 0; --c) {
                float v = n * night[p + c] + m * day[p + c];
                if (v - static_cast<float>(static_cast<int>(v)) > r) v += 1.0f;
                out[p + c] = static_cast<std::uint8_t>(static_cast<int>(v));
            }
            ++i;
        }
    }
    return out;
}

void FreeCompositePixels() {
    g_state.compositePixels.reset();
    g_state.randomNumbers.reset();
    g_state.stripNumbers.reset();
    g_state.width = 0;
    g_state.height = 0;
}

void GetCompositeSize(int& width, int& height) {
    width = g_state.width;
    height = g_state.height;
}

}  // namespace uv
