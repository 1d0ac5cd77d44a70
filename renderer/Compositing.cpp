#include "renderer/Compositing.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <new>
#include <optional>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "renderer/BandWeights.h"
#include "renderer/Geometry.h"

// The functions here produce exactly the bytes of the plain per-pixel form in
// CompositingReference.cpp; only work whose result does not depend on where
// it is done is moved out of the pixel loop (a row's or column's sines and
// cosines, the sine of the band width, the mask factors), and the cosine of
// the band is replaced by a table of the formula's own steps (BandWeights.h).
//
// Both the mask and the blend walk the buffers row by row: a pixel's weight
// does not depend on the order, and the blend's random numbers are computed
// for any pixel directly from the generator's state, so the column order in
// which they are defined costs nothing. Most of the map is full day or full
// night: the mask fills such stretches of a row without looking at their
// pixels, and the blend copies them; only the twilight band is computed.

namespace uv {
namespace {

constexpr double kPi = 3.141592653589793;
constexpr float kInv255 = 0.003921568859368563f;
constexpr float kInv32767 = 3.0518509447574615e-05f;

constexpr std::uint32_t kRandomMultiplier = 214013u;
constexpr std::uint32_t kRandomIncrement = 2531011u;

// Columns of the mask decided together when the whole block is certainly day
// or certainly night.
constexpr int kMaskBlock = 16;
// More than the float rounding of a pixel's d, which is a few units in the
// last place of numbers at most 2 in size.
constexpr double kDotSlack = 1e-5;

}  // namespace

// k steps of the generator are again the map state -> a * state + c.
struct RandomJump {
    std::uint32_t a;
    std::uint32_t c;
    std::uint32_t operator()(std::uint32_t state) const { return a * state + c; }
};

namespace {

using Jump = RandomJump;

// first, then second.
Jump Then(Jump first, Jump second) { return {second.a * first.a, second.a * first.c + second.c}; }

constexpr Jump kOneStep{kRandomMultiplier, kRandomIncrement};

int NumberOf(std::uint32_t state) { return static_cast<int>((state >> 16) & 0x7fff); }

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

bool IsComposableSize(int width, int height) {
    return width > 0 && height > 0 && width <= kMaxMapWidth && height <= kMaxMapHeight &&
           static_cast<long long>(width) * height <= kMaxMapPixels;
}

std::size_t MaskBufferSize(int width, int height) {
    if (!IsComposableSize(width, height)) return 0;
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
}

float BandWidthFraction(int percent) { return static_cast<float>(percent) * 0.01f; }

int NextRandom(std::uint32_t& state) {
    state = kOneStep(state);
    return NumberOf(state);
}

bool RecoverRandomState(const int numbers[3], std::uint32_t& stateBefore) {
    for (int k = 0; k < 3; ++k) {
        if (numbers[k] < 0 || numbers[k] > 0x7fff) return false;
    }
    // The first number is bits 16 to 30 of the state after the first draw;
    // try every value of the 16 bits below. Two such states that also agree
    // on the next two numbers would differ by some d < 2^16 whose products
    // with the multiplier and its square are both within 2^16 of a multiple
    // of 2^31, and no d is.
    int found = 0;
    std::uint32_t match = 0;
    for (std::uint32_t low = 0; low < 0x10000; ++low) {
        std::uint32_t state = (static_cast<std::uint32_t>(numbers[0]) << 16) | low;
        const std::uint32_t first = state;
        if (NextRandom(state) != numbers[1] || NextRandom(state) != numbers[2]) continue;
        match = first;
        ++found;
    }
    if (found != 1) return false;
    // One step back: the multiplier is odd, so it has an inverse modulo 2^32.
    std::uint32_t inverse = kRandomMultiplier;
    for (int k = 0; k < 5; ++k) inverse *= 2u - kRandomMultiplier * inverse;
    stateBefore = (match - kRandomIncrement) * inverse;
    return true;
}

void GenerateNightPixels(const std::uint8_t* day, std::uint8_t* night, int width, int height) {
    const std::size_t size = 3 * MaskBufferSize(width, height);
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

namespace {

// Fills the mask row by row with weightOf(d) for each pixel's d, the sine of
// the sun's elevation there. Blocks of columns whose d certainly lies above
// dayAbove are filled with 255 and those below nightBelow with 0 without
// looking at their pixels; weightOf must give those values there.
template <typename WeightOf>
bool FillDayMask(std::uint8_t* mask, int width, int height, double subsolarLongitude, double declination,
                 double dayAbove, double nightBelow, const WeightOf& weightOf) {
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

    // d along a row is sinPolar * r * cos(phi - longitude) + zTerm, with r
    // the length of the sun's (x, y); it moves by at most sinPolar * r per
    // radian. A block spans at most half its width either side of the column
    // it is judged by, plus the rounding of the azimuths to floats.
    const double sunRadius =
        std::sqrt(static_cast<double>(sun.x) * sun.x + static_cast<double>(sun.y) * sun.y);
    const double halfBlockAngle = (kMaskBlock / 2) * (2 * kPi / width) + 1e-6;

    for (int j = 0; j < height; ++j) {
        const double theta = static_cast<float>(kPi * j / height);
        const double sinPolar = std::sin(theta);
        const float z = static_cast<float>(std::cos(theta));
        const float zTerm = z * sun.z;
        const double reach = sinPolar * sunRadius * halfBlockAngle + kDotSlack;
        std::uint8_t* row = mask + static_cast<std::size_t>(width) * j;
        int i = 0;
        while (i < width) {
            int end = width;
            if (width - i >= kMaskBlock) {
                end = i + kMaskBlock;
                const int centre = i + kMaskBlock / 2;
                const double d = sinPolar * (cosAzimuth[centre] * sun.x + sinAzimuth[centre] * sun.y) + zTerm;
                if (d - reach > dayAbove || d + reach < nightBelow) {
                    std::memset(row + i, d > 0 ? 255 : 0, kMaskBlock);
                    i = end;
                    continue;
                }
            }
            for (; i < end; ++i) {
                const float x = static_cast<float>(sinPolar * cosAzimuth[i]);
                const float y = static_cast<float>(sinPolar * sinAzimuth[i]);
                row[i] = static_cast<std::uint8_t>(weightOf(x * sun.x + y * sun.y + zTerm));
            }
        }
    }
    return true;
}

// Sines of the sun's depths below the horizon where civil, nautical and
// astronomical twilight end.
constexpr double kSinDepth6 = 0.10452846326765347;
constexpr double kSinDepth12 = 0.20791169081775934;
constexpr double kSinDepth18 = 0.30901699437494745;
// Half the width, in d, of the smooth step between two grades (about 0.7
// degrees of elevation).
constexpr double kGradeEdge = 0.0125;
constexpr double kGradedLow = -kSinDepth18 - kGradeEdge;
constexpr double kGradedHigh = kGradeEdge;
constexpr int kGradedSteps = 8192;

}  // namespace

int GradedTwilightWeight(double d) {
    // Each grade takes another quarter of the night image: day, civil,
    // nautical, astronomical, night. A grade passes into the next along a
    // smoothstep, so no edge shows a hard line.
    const double bounds[4] = {0.0, -kSinDepth6, -kSinDepth12, -kSinDepth18};
    double weight = 0;
    for (double b : bounds) {
        double t = (d - (b - kGradeEdge)) / (2 * kGradeEdge);
        t = t < 0 ? 0 : t > 1 ? 1 : t;
        weight += 63.75 * (t * t * (3 - 2 * t));
    }
    return static_cast<int>(weight + 0.5);
}

bool ComputeDayMask(std::uint8_t* mask, int width, int height, double subsolarLongitude, double declination,
                    double bandWidth) {
    if (!IsComposableSize(width, height)) return false;
    const bool hardEdge = !(bandWidth > 0.001);
    const double bandSine = hardEdge ? 1.0 : std::sin(bandWidth * kPi / 2);
    // |d| beyond twice the band's sine is certainly outside the band: the
    // division would give |u| near 2, which decides the weight without it.
    const float surelyDay = static_cast<float>(2 * bandSine);
    std::optional<BandWeightTable> bandWeight;
    if (!hardEdge) bandWeight.emplace();

    // A block of columns is all day when its smallest d is above these (then
    // u > 1 however the division rounds), all night when its largest is
    // below the negated one (u <= -1 gives 0 too).
    const double dayAbove = hardEdge ? 0.0 : bandSine * (1 + 1e-6);
    const double nightBelow = hardEdge ? 0.0 : -dayAbove;
    return FillDayMask(mask, width, height, subsolarLongitude, declination, dayAbove, nightBelow,
                       [&](float d) {
                           if (hardEdge) return d >= 0 ? 255 : 0;
                           if (d > surelyDay) return 255;
                           if (d < -surelyDay) return 0;
                           const double u = d / bandSine;
                           if (u > 1) return 255;
                           const float uf = static_cast<float>(u);
                           return uf < -1 ? 0 : (*bandWeight)(uf);
                       });
}

bool ComputeGradedDayMask(std::uint8_t* mask, int width, int height, double subsolarLongitude,
                          double declination) {
    if (!IsComposableSize(width, height)) return false;
    // The weight of every d between the grades' outer edges, sampled finer
    // than a pixel's step in d on any map the renderer takes.
    std::unique_ptr<std::uint8_t[]> table(new (std::nothrow) std::uint8_t[kGradedSteps + 1]);
    if (!table) return false;
    const double step = (kGradedHigh - kGradedLow) / kGradedSteps;
    for (int k = 0; k <= kGradedSteps; ++k)
        table[k] = static_cast<std::uint8_t>(GradedTwilightWeight(kGradedLow + (k + 0.5) * step));
    const std::uint8_t* weights = table.get();
    const float low = static_cast<float>(kGradedLow);
    const float high = static_cast<float>(kGradedHigh);
    const float scale = static_cast<float>(1 / step);
    return FillDayMask(mask, width, height, subsolarLongitude, declination, kGradedHigh, kGradedLow,
                       [=](float d) -> int {
                           if (d >= high) return 255;
                           if (d < low) return 0;
                           return weights[static_cast<int>((d - low) * scale)];
                       });
}

namespace {

// The blend of one channel byte, the way the plain form computes it: the
// mask factors and the threshold in single precision, no fused operations,
// 1.0 added where the fraction exceeds the threshold, then truncated. The
// blend lies in [0, 255] (the tests try every mask value against white), so
// truncation is the conversion to int.
inline std::uint8_t BlendByte(float m, float n, float r, std::uint8_t day, std::uint8_t night) {
    float v = n * night + m * day;
    if (v - static_cast<float>(static_cast<int>(v)) > r) v += 1.0f;
    return static_cast<std::uint8_t>(static_cast<int>(v));
}

// Blends bytes whose factors and thresholds are given one per byte.
void BlendBytes(const std::uint8_t* day, const std::uint8_t* night, std::uint8_t* out, const float* m,
                const float* n, const float* r, int bytes) {
    int k = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128 one = _mm_set1_ps(1.0f);
    for (; k + 16 <= bytes; k += 16) {
        const __m128i day8 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(day + k));
        const __m128i night8 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(night + k));
        const __m128i day16[2] = {_mm_unpacklo_epi8(day8, zero), _mm_unpackhi_epi8(day8, zero)};
        const __m128i night16[2] = {_mm_unpacklo_epi8(night8, zero), _mm_unpackhi_epi8(night8, zero)};
        __m128i result[4];
        for (int q = 0; q < 4; ++q) {
            const __m128i d =
                (q & 1) ? _mm_unpackhi_epi16(day16[q / 2], zero) : _mm_unpacklo_epi16(day16[q / 2], zero);
            const __m128i g =
                (q & 1) ? _mm_unpackhi_epi16(night16[q / 2], zero) : _mm_unpacklo_epi16(night16[q / 2], zero);
            __m128 v = _mm_add_ps(_mm_mul_ps(_mm_loadu_ps(n + k + 4 * q), _mm_cvtepi32_ps(g)),
                                  _mm_mul_ps(_mm_loadu_ps(m + k + 4 * q), _mm_cvtepi32_ps(d)));
            const __m128 fraction = _mm_sub_ps(v, _mm_cvtepi32_ps(_mm_cvttps_epi32(v)));
            v = _mm_add_ps(v, _mm_and_ps(_mm_cmpgt_ps(fraction, _mm_loadu_ps(r + k + 4 * q)), one));
            result[q] = _mm_cvttps_epi32(v);
        }
        const __m128i packed =
            _mm_packus_epi16(_mm_packs_epi32(result[0], result[1]), _mm_packs_epi32(result[2], result[3]));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k), packed);
    }
#endif
    for (; k < bytes; ++k) out[k] = BlendByte(m[k], n[k], r[k], day[k], night[k]);
}

// Index of the first mask byte from i on that is not value.
int EndOfRun(const std::uint8_t* maskRow, int i, int width, std::uint8_t value) {
#if defined(__SSE2__)
    const __m128i wanted = _mm_set1_epi8(static_cast<char>(value));
    while (i + 16 <= width) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(maskRow + i));
        const int same = _mm_movemask_epi8(_mm_cmpeq_epi8(bytes, wanted));
        if (same != 0xffff) return i + __builtin_ctz(~same);
        i += 16;
    }
#endif
    while (i < width && maskRow[i] == value) ++i;
    return i;
}

// Index of the first mask byte from i on that is 0 or 255.
int EndOfBand(const std::uint8_t* maskRow, int i, int width) {
#if defined(__SSE2__)
    const __m128i none = _mm_setzero_si128();
    const __m128i full = _mm_set1_epi8(static_cast<char>(0xff));
    while (i + 16 <= width) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(maskRow + i));
        const int ends =
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bytes, none), _mm_cmpeq_epi8(bytes, full)));
        if (ends != 0) return i + __builtin_ctz(ends);
        i += 16;
    }
#endif
    while (i < width && maskRow[i] != 0 && maskRow[i] != 255) ++i;
    return i;
}

}  // namespace

BlendBuffer::BlendBuffer() = default;
BlendBuffer::~BlendBuffer() = default;
BlendBuffer::BlendBuffer(BlendBuffer&& other) noexcept
    : pixels_(std::move(other.pixels_)),
      columnJump_(std::move(other.columnJump_)),
      width_(other.width_),
      height_(other.height_) {
    other.width_ = 0;
    other.height_ = 0;
}
BlendBuffer& BlendBuffer::operator=(BlendBuffer&& other) noexcept {
    if (this != &other) {
        pixels_ = std::move(other.pixels_);
        columnJump_ = std::move(other.columnJump_);
        width_ = other.width_;
        height_ = other.height_;
        other.width_ = 0;
        other.height_ = 0;
    }
    return *this;
}

void BlendBuffer::Free() {
    pixels_.reset();
    columnJump_.reset();
    width_ = 0;
    height_ = 0;
}

const std::uint8_t* BlendDayNight(BlendBuffer& buffer, const std::uint8_t* day, const std::uint8_t* night,
                                  const std::uint8_t* mask, int width, int height,
                                  std::uint32_t& randomState) {
    const std::size_t size = 3 * MaskBufferSize(width, height);
    if (size == 0) return nullptr;
    if (!buffer.pixels_ || buffer.width_ != width || buffer.height_ != height) {
        buffer.Free();
        buffer.pixels_.reset(new (std::nothrow) std::uint8_t[size]);
        buffer.columnJump_.reset(new (std::nothrow) Jump[static_cast<std::size_t>(width) + 1]);
        if (!buffer.pixels_ || !buffer.columnJump_) {
            buffer.Free();
            return nullptr;
        }
        Jump column{1, 0};
        for (int j = 0; j < height; ++j) column = Then(column, kOneStep);
        Jump* jump = buffer.columnJump_.get();
        jump[0] = Jump{1, 0};
        for (int i = 0; i < width; ++i) jump[i + 1] = Then(jump[i], column);
        buffer.width_ = width;
        buffer.height_ = height;
    }
    std::uint8_t* out = buffer.pixels_.get();
    const Jump* columnJump = buffer.columnJump_.get();
    const std::size_t w = static_cast<std::size_t>(width);

    float weight[256];
    float complement[256];
    for (int k = 0; k < 256; ++k) {
        weight[k] = k * kInv255;
        complement[k] = 1 - weight[k];
    }

    // Factors and thresholds of a stretch of band pixels, one per byte.
    constexpr int kChunk = 64;
    float m[3 * kChunk];
    float n[3 * kChunk];
    float r[3 * kChunk];

    // After the first step in the loop: the state of draw j + 1, the number
    // of row j's pixel in column 0.
    std::uint32_t rowState = randomState;
    for (int j = 0; j < height; ++j) {
        rowState = kOneStep(rowState);
        const std::size_t rowStart = 3 * w * j;
        const std::uint8_t* maskRow = mask + w * j;
        int i = 0;
        while (i < width) {
            const std::uint8_t k = maskRow[i];
            // Factors of exactly 0 and 1 (weights 0 and 255) blend exactly and
            // leave no fraction: such pixels are copies whatever the number.
            if (k == 0 || k == 255) {
                const int end = EndOfRun(maskRow, i, width, k);
                const std::uint8_t* source = k == 255 ? day : night;
                std::memcpy(out + rowStart + 3 * i, source + rowStart + 3 * i,
                            3 * static_cast<std::size_t>(end - i));
                i = end;
                continue;
            }
            const int bandEnd = EndOfBand(maskRow, i, width);
            while (i < bandEnd) {
                const int count = bandEnd - i < kChunk ? bandEnd - i : kChunk;
                for (int c = 0; c < count; ++c) {
                    const std::uint8_t value = maskRow[i + c];
                    const float threshold = NumberOf(columnJump[i + c](rowState)) * kInv32767;
                    for (int b = 0; b < 3; ++b) {
                        m[3 * c + b] = weight[value];
                        n[3 * c + b] = complement[value];
                        r[3 * c + b] = threshold;
                    }
                }
                const std::size_t p = rowStart + 3 * static_cast<std::size_t>(i);
                BlendBytes(day + p, night + p, out + p, m, n, r, 3 * count);
                i += count;
            }
        }
    }
    randomState = columnJump[width](randomState);
    return out;
}

}  // namespace uv
