#include "renderer/Compositing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <cstdint>
#include <vector>

#include "renderer/CompositingReference.h"

namespace uv {
namespace {

constexpr double kPi = 3.141592653589793;

// The Windows runtime's generator, so tests fix the numbers the blend sees.
std::uint32_t g_seed = 1;
int TestRandom() {
    g_seed = g_seed * 214013u + 2531011u;
    return static_cast<int>((g_seed >> 16) & 0x7fff);
}

std::vector<std::uint8_t> Buffer(int w, int h, std::uint8_t fill = 0) {
    return std::vector<std::uint8_t>(3 * static_cast<std::size_t>(w) * h, fill);
}

std::vector<std::uint8_t> Mask(int w, int h, std::uint8_t fill = 0) {
    return std::vector<std::uint8_t>(static_cast<std::size_t>(w) * h, fill);
}

int Weight(const std::vector<std::uint8_t>& mask, int w, int i, int j) {
    return mask[static_cast<std::size_t>(w) * j + i];
}

std::uint32_t Fnv1a(const std::uint8_t* data, std::size_t size, std::uint32_t h = 2166136261u) {
    for (std::size_t k = 0; k < size; ++k) h = (h ^ data[k]) * 16777619u;
    return h;
}

// A day image with structure in every channel, and a night image unlike it.
void FillPattern(std::vector<std::uint8_t>& day, std::vector<std::uint8_t>& night) {
    for (std::size_t k = 0; k < day.size(); ++k) {
        day[k] = static_cast<std::uint8_t>((k * 37 + (k / 7) * 11) & 0xff);
        night[k] = static_cast<std::uint8_t>((k * 13 + 91) & 0xff);
    }
}

TEST(MapImageCheck, RefusesWhatTheBuffersCannotHold) {
    EXPECT_EQ(CheckMapImages(2048, 1024, 2048, 1024), MapImageCheck::Ok);
    EXPECT_EQ(CheckMapImages(4, 1, 4, 1), MapImageCheck::Ok);
    EXPECT_EQ(CheckMapImages(0, 1024, 0, 1024), MapImageCheck::Empty);
    EXPECT_EQ(CheckMapImages(2048, 0, 2048, 0), MapImageCheck::Empty);
    EXPECT_EQ(CheckMapImages(-4, 8, -4, 8), MapImageCheck::Empty);
    EXPECT_EQ(CheckMapImages(2046, 1024, 2046, 1024), MapImageCheck::WidthNotMultipleOf4);
    EXPECT_EQ(CheckMapImages(2047, 1024, 2047, 1024), MapImageCheck::WidthNotMultipleOf4);
    EXPECT_EQ(CheckMapImages(2048, 1024, 1024, 512), MapImageCheck::NightSizeDiffers);
    EXPECT_EQ(CheckMapImages(2048, 1024, 2048, 1023), MapImageCheck::NightSizeDiffers);
    EXPECT_EQ(CheckMapImages(kMaxMapWidth + 4, 4, kMaxMapWidth + 4, 4), MapImageCheck::TooLarge);
    EXPECT_EQ(CheckMapImages(4, kMaxMapHeight + 1, 4, kMaxMapHeight + 1), MapImageCheck::TooLarge);
    EXPECT_EQ(CheckMapImages(kMaxMapWidth, kMaxMapHeight, kMaxMapWidth, kMaxMapHeight),
              MapImageCheck::TooLarge);
    // 3 * W * H would overflow 32 bits here.
    EXPECT_EQ(CheckMapImages(0x40000000, 8, 0x40000000, 8), MapImageCheck::TooLarge);
    EXPECT_EQ(PixelBufferSize(2048, 1024), 3u * 2048 * 1024);
    EXPECT_EQ(PixelBufferSize(2046, 1024), 0u);
    EXPECT_STRNE(DescribeMapImageCheck(MapImageCheck::NightSizeDiffers),
                 DescribeMapImageCheck(MapImageCheck::Ok));
}

TEST(MapImageCheck, SizesBeyondTheLimitsLeaveBuffersAlone) {
    // The compositing takes any width (a picture at screen size); the map
    // images and the bitmap transfers need a multiple of 4.
    EXPECT_TRUE(IsComposableSize(1366, 768));
    EXPECT_EQ(PixelBufferSize(1366, 768), 0u);
    EXPECT_EQ(MaskBufferSize(6, 4), 24u);
    std::vector<std::uint8_t> day = Buffer(6, 4, 200), night = Buffer(6, 4, 10), mask = Buffer(6, 4, 77);
    for (const auto& size : {std::make_pair(0, 4), std::make_pair(4, -1), std::make_pair(kMaxMapWidth + 1, 1),
                             std::make_pair(kMaxMapWidth, kMaxMapHeight)}) {
        SCOPED_TRACE(::testing::Message() << size.first << "x" << size.second);
        EXPECT_FALSE(IsComposableSize(size.first, size.second));
        EXPECT_EQ(MaskBufferSize(size.first, size.second), 0u);
        GenerateNightPixels(day.data(), night.data(), size.first, size.second);
        EXPECT_FALSE(ComputeDayMask(mask.data(), size.first, size.second, 0, 0, 0.1));
        std::uint32_t state = 5;
        BlendBuffer buffer;
        EXPECT_EQ(
            BlendDayNight(buffer, day.data(), night.data(), mask.data(), size.first, size.second, state),
            nullptr);
        EXPECT_EQ(state, 5u);
    }
    EXPECT_EQ(night, Buffer(6, 4, 10));
    EXPECT_EQ(mask, Buffer(6, 4, 77));
}

TEST(RecoverRandomState, FindsTheStateBeforeThreeNumbers) {
    // Bit 31 never reaches a number, so it cannot be recovered; it does not
    // matter either.
    for (const std::uint32_t before : {0u, 1u, 7u, 0x7fffffffu, 0x80000005u, 0xdeadbeefu, 0xffffffffu}) {
        std::uint32_t state = before;
        const int numbers[3] = {NextRandom(state), NextRandom(state), NextRandom(state)};
        std::uint32_t found = 0;
        ASSERT_TRUE(RecoverRandomState(numbers, found)) << before;
        EXPECT_EQ(found & 0x7fffffffu, before & 0x7fffffffu) << before;
    }
    // No state of this generator gives three equal numbers in a row, nor a
    // number out of its range.
    std::uint32_t found = 0;
    const int constant[3] = {4, 4, 4};
    EXPECT_FALSE(RecoverRandomState(constant, found));
    const int outOfRange[3] = {32768, 0, 0};
    EXPECT_FALSE(RecoverRandomState(outOfRange, found));
}

TEST(GenerateNightPixels, FollowsTheSquareRootOfTheBrightestChannel) {
    struct Case {
        std::uint8_t blue, green, red;
        std::uint8_t nightRed, nightGreen, nightBlue;
    };
    const Case cases[] = {
        {0, 0, 0, 0, 0, 0},
        {0, 0, 16, 15, 15, 31},
        {0, 128, 0, 45, 45, 90},
        {255, 255, 255, 63, 63, 127},
        {0, 0, 255, 63, 63, 127},
        // Blue counts at a quarter: 64 >> 2 = 16.
        {64, 0, 0, 15, 15, 31},
        {255, 16, 0, 31, 31, 63},  // max(0, 16, 63) = 63
    };
    const int n = sizeof cases / sizeof cases[0];
    std::vector<std::uint8_t> day = Buffer(4, 2), night = Buffer(4, 2, 99);
    for (int k = 0; k < n; ++k) {
        day[3 * k] = cases[k].blue;
        day[3 * k + 1] = cases[k].green;
        day[3 * k + 2] = cases[k].red;
    }
    GenerateNightPixels(day.data(), night.data(), 4, 2);
    for (int k = 0; k < n; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(night[3 * k + 2], cases[k].nightRed);
        EXPECT_EQ(night[3 * k + 1], cases[k].nightGreen);
        EXPECT_EQ(night[3 * k], cases[k].nightBlue);
    }
}

TEST(GenerateNightPixels, MatchesThePlainForm) {
    const int w = 64, h = 16;
    std::vector<std::uint8_t> day = Buffer(w, h), night = Buffer(w, h), expected = Buffer(w, h);
    FillPattern(day, night);
    GenerateNightPixels(day.data(), night.data(), w, h);
    ReferenceGenerateNightPixels(day.data(), expected.data(), w, h);
    EXPECT_EQ(night, expected);
}

TEST(ComputeDayMask, ZeroWidthGivesAHardTerminatorAtTheEquinox) {
    const int w = 64, h = 32;
    // One byte beyond the mask, which must stay as it is.
    std::vector<std::uint8_t> mask = Mask(w, h + 1, 0x5a);
    ComputeDayMask(mask.data(), w, h, 0.0, 0.0, BandWidthFraction(0));
    // Away from the poles, where every column meets the terminator, the day
    // is exactly the half between columns W/4 and 3W/4.
    for (int j = 1; j < h; ++j) {
        for (int i = 0; i < w; ++i) {
            if (i == w / 4 || i == 3 * w / 4) continue;
            const bool day = i > w / 4 && i < 3 * w / 4;
            ASSERT_EQ(Weight(mask, w, i, j), day ? 255 : 0) << "column " << i << " row " << j;
        }
    }
    EXPECT_EQ(mask[static_cast<std::size_t>(w) * h], 0x5a);
}

TEST(ComputeDayMask, TwilightBandAtTheEquinox) {
    const int w = 64, h = 32;
    std::vector<std::uint8_t> mask = Mask(w, h);
    ComputeDayMask(mask.data(), w, h, 0.0, 0.0, BandWidthFraction(10));
    // The sun on the horizon: a quarter cosine gives 75 there.
    EXPECT_EQ(Weight(mask, w, w / 4, h / 2), 75);
    EXPECT_EQ(Weight(mask, w, 3 * w / 4, h / 2), 75);
    // The subsolar point at the centre column of the middle row.
    EXPECT_EQ(Weight(mask, w, w / 2, h / 2), 255);
    EXPECT_EQ(Weight(mask, w, 0, h / 2), 0);
    // From the antisolar to the subsolar meridian the weight never falls.
    for (int i = 1; i <= w / 2; ++i) {
        EXPECT_GE(Weight(mask, w, i, h / 2), Weight(mask, w, i - 1, h / 2)) << i;
    }
    // A band of 10% of 90 degrees is about 2.6 columns wide each side here.
    EXPECT_EQ(Weight(mask, w, w / 4 - 3, h / 2), 0);
    EXPECT_EQ(Weight(mask, w, w / 4 + 3, h / 2), 255);
    EXPECT_GT(Weight(mask, w, w / 4 + 1, h / 2), 75);
    EXPECT_LT(Weight(mask, w, w / 4 + 1, h / 2), 255);
}

// One pixel a degree: on the equator at the equinox the sun's elevation at
// column i is 90 - |i - 180| degrees.
TEST(ComputeGradedDayMask, StepsOfAQuarterThroughTheThreeTwilights) {
    const int w = 360, h = 180;
    std::vector<std::uint8_t> mask = Mask(w, h + 1, 0x5a);
    ASSERT_TRUE(ComputeGradedDayMask(mask.data(), w, h, 0.0, 0.0));
    const struct {
        int elevation;
        int weight;
    } plateaus[] = {{5, 255}, {-3, 191}, {-9, 128}, {-15, 64}, {-25, 0}, {-80, 0}};
    for (const auto& p : plateaus) {
        EXPECT_EQ(Weight(mask, w, 180 + 90 - p.elevation, 90), p.weight) << p.elevation;
        EXPECT_EQ(Weight(mask, w, 180 - 90 + p.elevation, 90), p.weight) << p.elevation;
    }
    // The grades meet in a smooth step, not a jump: halfway at each bound.
    EXPECT_EQ(Weight(mask, w, 270, 90), 223);
    EXPECT_EQ(Weight(mask, w, 276, 90), 159);
    EXPECT_EQ(mask[static_cast<std::size_t>(w) * h], 0x5a);
}

TEST(ComputeGradedDayMask, DarkensSteadilyAwayFromNoonInEveryRow) {
    const int w = 720, h = 360;
    std::vector<std::uint8_t> mask = Mask(w, h);
    // June solstice, noon at longitude 0.
    ASSERT_TRUE(ComputeGradedDayMask(mask.data(), w, h, 0.0, 0.4091));
    for (int j = 0; j < h; ++j) {
        for (int i = w / 2 + 1; i < w; ++i) {
            ASSERT_LE(Weight(mask, w, i, j), Weight(mask, w, i - 1, j)) << i << " " << j;
            ASSERT_LE(Weight(mask, w, w - i, j), Weight(mask, w, w - i + 1, j)) << i << " " << j;
        }
    }
    // The midnight sun: full day at the top, full night at the bottom.
    EXPECT_EQ(Weight(mask, w, 0, h - 1), 255);
    EXPECT_EQ(Weight(mask, w, w / 2, 0), 0);
    // The weight depends on d alone and never rises with it.
    for (double d = -0.4; d < 0.05; d += 0.0001)
        ASSERT_LE(GradedTwilightWeight(d), GradedTwilightWeight(d + 0.0001)) << d;
}

TEST(ComputeDayMask, FullWidthIsOneGradientOverTheGlobe) {
    const int w = 64, h = 32;
    std::vector<std::uint8_t> mask = Mask(w, h);
    ComputeDayMask(mask.data(), w, h, 0.0, 0.0, BandWidthFraction(100));
    EXPECT_EQ(Weight(mask, w, 0, h / 2), 0);        // the antisolar point
    EXPECT_EQ(Weight(mask, w, 1, h / 2), 1);        // right beside it
    EXPECT_EQ(Weight(mask, w, w / 2, h / 2), 255);  // the subsolar point
    // Full day only within about 5.7 degrees (one column here) of the sun.
    EXPECT_LT(Weight(mask, w, w / 2 + 2, h / 2), 255);
    int full = 0, none = 0;
    for (const std::uint8_t weight : mask) {
        full += weight == 255;
        none += weight == 0;
    }
    EXPECT_EQ(none, 1);
    EXPECT_LE(full, 5);
}

TEST(ComputeDayMask, NorthernSummerLightsTheArcticAtMidnight) {
    const int w = 64, h = 32;
    std::vector<std::uint8_t> mask = Mask(w, h);
    const double solstice = 23.4 * kPi / 180;
    ComputeDayMask(mask.data(), w, h, 0.0, solstice, BandWidthFraction(0));
    // Row H-1 is the northernmost: day all round; row 0 night all round.
    for (int i = 0; i < w; ++i) {
        EXPECT_EQ(Weight(mask, w, i, h - 1), 255) << i;
        EXPECT_EQ(Weight(mask, w, i, 0), 0) << i;
    }
}

TEST(ComputeDayMask, SubsolarLongitudeMovesTheDay) {
    const int w = 64, h = 32;
    std::vector<std::uint8_t> mask = Mask(w, h);
    // Sun over 90 degrees east: the subsolar column is 3W/4, the night is
    // centred on column W/4.
    ComputeDayMask(mask.data(), w, h, kPi / 2, 0.0, BandWidthFraction(10));
    EXPECT_EQ(Weight(mask, w, 3 * w / 4, h / 2), 255);
    EXPECT_EQ(Weight(mask, w, w / 4, h / 2), 0);
    EXPECT_EQ(Weight(mask, w, w / 2, h / 2), 75);
}

// The first index where two buffers differ, -1 if none: short failure output.
long FirstDifference(const std::vector<std::uint8_t>& a, const std::uint8_t* b) {
    for (std::size_t k = 0; k < a.size(); ++k) {
        if (a[k] != b[k]) return static_cast<long>(k);
    }
    return -1;
}

// The plain form's mask carries the weight in byte 2 of a pixel's three.
std::vector<std::uint8_t> PlainMaskWeights(const std::vector<std::uint8_t>& plainMask) {
    std::vector<std::uint8_t> weights(plainMask.size() / 3);
    for (std::size_t k = 0; k < weights.size(); ++k) weights[k] = plainMask[3 * k + 2];
    return weights;
}

// Twenty renders in a row, as a host makes them, against the plain form: the
// generator runs on from one render to the next on both sides.
void ExpectSameRendersAsPlainForm(int w, int h) {
    std::vector<std::uint8_t> day = Buffer(w, h), night = Buffer(w, h);
    FillPattern(day, night);
    g_seed = 1;
    std::uint32_t state = 1;
    BlendBuffer buffer;
    const double declinations[] = {0.4084, 0.0, -0.4084};
    const int bands[] = {0, 10, 100, 1};
    for (int render = 0; render < 20; ++render) {
        // From the date line round to the date line, which both ends reach.
        const double longitude = -kPi + render * (2 * kPi / 19);
        const double declination = declinations[render % 3];
        const int percent = bands[render % 4];
        SCOPED_TRACE(::testing::Message() << w << "x" << h << " render " << render << " lon " << longitude
                                          << " dec " << declination << " band " << percent);
        const double band = BandWidthFraction(percent);
        std::vector<std::uint8_t> mask = Mask(w, h, 1), plainMask = Buffer(w, h, 1);
        ASSERT_TRUE(ComputeDayMask(mask.data(), w, h, longitude, declination, band));
        ReferenceComputeDayMask(plainMask.data(), w, h, longitude, declination, band);
        ASSERT_EQ(FirstDifference(PlainMaskWeights(plainMask), mask.data()), -1);

        std::vector<std::uint8_t> expected = Buffer(w, h);
        ReferenceBlendDayNight(day.data(), night.data(), plainMask.data(), expected.data(), w, h, TestRandom);
        const std::uint8_t* out = BlendDayNight(buffer, day.data(), night.data(), mask.data(), w, h, state);
        ASSERT_NE(out, nullptr);
        ASSERT_EQ(FirstDifference(expected, out), -1);
        // One number per pixel, whatever the mask.
        ASSERT_EQ(state, g_seed);
    }
}

TEST(ComposeDayNight, TwentyRendersMatchThePlainForm) {
    ExpectSameRendersAsPlainForm(20, 9);     // less than one block of columns
    ExpectSameRendersAsPlainForm(266, 133);  // blocks, a part block per row, a width no multiple of 4
}

TEST(ComposeDayNight, BlendStaysBetweenItsSourcesAndInsideAByte) {
    // Every mask value (column) against every day value (row), compared
    // with the plain form.
    const int w = 256, h = 256;
    std::vector<std::uint8_t> day = Buffer(w, h), night = Buffer(w, h), plainMask = Buffer(w, h),
                              mask = Mask(w, h);
    std::vector<std::uint8_t> expected = Buffer(w, h);
    BlendBuffer buffer;
    for (const std::uint8_t nightValue : {0, 1, 128, 254, 255}) {
        for (int j = 0; j < h; ++j) {
            for (int i = 0; i < w; ++i) {
                const int p = 3 * (w * j + i);
                mask[w * j + i] = plainMask[p + 2] = static_cast<std::uint8_t>(i);
                for (int c = 0; c < 3; ++c) {
                    day[p + c] = static_cast<std::uint8_t>(j);
                    night[p + c] = nightValue;
                }
            }
        }
        g_seed = nightValue;
        std::uint32_t state = nightValue;
        ReferenceBlendDayNight(day.data(), night.data(), plainMask.data(), expected.data(), w, h, TestRandom);
        const std::uint8_t* out = BlendDayNight(buffer, day.data(), night.data(), mask.data(), w, h, state);
        ASSERT_NE(out, nullptr);
        ASSERT_EQ(FirstDifference(expected, out), -1) << int{nightValue};
        // Float rounding may put the blend a hair beyond its sources
        // (255 and 255 can blend to 254.99998), so the dithering can move it
        // one level past them, never more.
        for (std::size_t p = 0; p < day.size(); ++p) {
            const int lo = std::min<int>(day[p], nightValue), hi = std::max<int>(day[p], nightValue);
            ASSERT_GE(out[p], lo - 1) << p;
            ASSERT_LE(out[p], hi + 1) << p;
        }
        // Full night and full day are copies.
        for (int j = 0; j < h; ++j) {
            ASSERT_EQ(out[3 * (w * j + 0)], nightValue);
            ASSERT_EQ(out[3 * (w * j + 255)], j);
        }
    }
    // A threshold of 0 rounds every fraction up: the state whose first number
    // is 0 gives it to the first pixel. White must never wrap to black.
    std::uint32_t zeroNext = 0;
    const int numbers[3] = {0, NextRandom(zeroNext), NextRandom(zeroNext)};
    std::uint32_t zeroFirst = 0;
    ASSERT_TRUE(RecoverRandomState(numbers, zeroFirst));
    const std::vector<std::uint8_t> white = Buffer(8, 1, 255);
    for (int k = 0; k < 256; ++k) {
        std::uint32_t state = zeroFirst;
        const std::uint8_t* out = BlendDayNight(buffer, white.data(), white.data(),
                                                Mask(8, 1, static_cast<std::uint8_t>(k)).data(), 8, 1, state);
        ASSERT_NE(out, nullptr);
        EXPECT_EQ(std::vector<std::uint8_t>(out, out + 24), white) << k;
    }
}

TEST(ComposeDayNight, KeepsItsBufferUntilTheSizeChanges) {
    std::vector<std::uint8_t> day = Buffer(16, 8, 200), night = Buffer(16, 8, 20), mask = Mask(16, 8, 255);
    BlendBuffer buffer;
    std::uint32_t state = 1;
    const std::uint8_t* first = BlendDayNight(buffer, day.data(), night.data(), mask.data(), 16, 8, state);
    const std::uint8_t* second = BlendDayNight(buffer, day.data(), night.data(), mask.data(), 16, 8, state);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, second);
    EXPECT_EQ(buffer.width(), 16);
    EXPECT_EQ(buffer.height(), 8);
    // A smaller map: a new buffer of the new size, whose every byte is written.
    const std::uint8_t* smaller = BlendDayNight(buffer, day.data(), night.data(), mask.data(), 8, 4, state);
    ASSERT_NE(smaller, nullptr);
    EXPECT_EQ(buffer.width(), 8);
    EXPECT_EQ(buffer.height(), 4);
    for (int k = 0; k < 3 * 8 * 4; ++k) EXPECT_EQ(smaller[k], 200);
    // Another owner's buffer is its own.
    BlendBuffer other;
    std::uint32_t otherState = 1;
    EXPECT_NE(BlendDayNight(other, day.data(), night.data(), mask.data(), 8, 4, otherState), smaller);
    buffer.Free();
    EXPECT_EQ(buffer.width(), 0);
    EXPECT_EQ(buffer.height(), 0);
}

TEST(ComposeDayNight, SameBytesOnEveryPlatform) {
    // Both builds compute this map; a change of the constant means the
    // runtimes' trigonometry or the float rounding differ between them.
    const int w = 128, h = 64;
    std::vector<std::uint8_t> day = Buffer(w, h), night = Buffer(w, h), mask = Mask(w, h);
    FillPattern(day, night);
    // 2004-06-21 12:00 UTC as the sun position code gives it, rounded.
    ComputeDayMask(mask.data(), w, h, -0.0074, 0.40839, BandWidthFraction(10));
    std::uint32_t state = 1;
    BlendBuffer buffer;
    const std::uint8_t* out = BlendDayNight(buffer, day.data(), night.data(), mask.data(), w, h, state);
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(Fnv1a(mask.data(), mask.size()), 865408446u);
    EXPECT_EQ(Fnv1a(out, day.size()), 797451930u);
}

}  // namespace
}  // namespace uv
