#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "common/WinHandles.h"
#include "renderer/BitmapPixels_win.h"
#include "renderer/Compositing.h"
#include "renderer/Compositing_win.h"

namespace uv {
namespace {

// A memory DC holding a 32-bit DIB section, so the test sees the bitmap's
// bits directly and does not depend on the display's depth.
HBITMAP CreateDib32(HDC dc, int w, int h, std::uint32_t** bits) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* p = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &p, nullptr, 0);
    *bits = static_cast<std::uint32_t*>(p);
    return bitmap;
}

struct DibCanvas {
    DibCanvas(int w, int h)
        : width(w),
          height(h),
          dc(CreateCompatibleDC(nullptr)),
          bitmap(CreateDib32(dc.get(), w, h, &bits)),
          select(dc.get(), bitmap.get()) {}
    // Bottom-up like the pixel buffers: row 0 is the bottom row.
    std::uint32_t At(int i, int j) const { return bits[static_cast<std::size_t>(width) * j + i] & 0xffffff; }

    int width;
    int height;
    std::uint32_t* bits = nullptr;
    UniqueMemoryDc dc;
    UniqueBitmap bitmap;
    ScopedSelect select;
};

std::vector<std::uint8_t> Pattern(int w, int h) {
    std::vector<std::uint8_t> buffer(3 * static_cast<std::size_t>(w) * h);
    for (std::size_t k = 0; k < buffer.size(); ++k)
        buffer[k] = static_cast<std::uint8_t>((k * 7 + k / 5) & 0xff);
    return buffer;
}

TEST(BitmapPixels, WriteThenReadGivesTheBufferBackInBufferLayout) {
    // The write goes in bands of rows: one band, and several with a part one.
    for (const int h : {5, 70}) {
        const int w = 12;
        DibCanvas canvas(w, h);
        ASSERT_TRUE(canvas.bits);
        const std::vector<std::uint8_t> buffer = Pattern(w, h);
        ASSERT_TRUE(WriteBitmapPixels(canvas.dc.get(), w, h, buffer.data()));
        // Row 0 of the buffer is the bottom row of the bitmap, bytes blue green red.
        for (int j = 0; j < h; ++j) {
            for (int i = 0; i < w; ++i) {
                const std::size_t p = 3 * (static_cast<std::size_t>(w) * j + i);
                const std::uint32_t expected = buffer[p] | (buffer[p + 1] << 8) | (buffer[p + 2] << 16);
                ASSERT_EQ(canvas.At(i, j), expected) << i << "," << j << " of height " << h;
            }
        }
        std::vector<std::uint8_t> back(buffer.size(), 0);
        ASSERT_TRUE(ReadBitmapPixels(canvas.dc.get(), w, h, back.data()));
        EXPECT_EQ(back, buffer);
        // The map bitmap is selected again afterwards.
        EXPECT_EQ(GetCurrentObject(canvas.dc.get(), OBJ_BITMAP), canvas.bitmap.get());
    }
}

TEST(BitmapPixels, RefusesSizesWhoseRowsWouldBePadded) {
    const int w = 6, h = 4;
    DibCanvas canvas(w, h);
    std::vector<std::uint8_t> buffer(3 * w * h, 0x33);
    EXPECT_FALSE(ReadBitmapPixels(canvas.dc.get(), w, h, buffer.data()));
    EXPECT_EQ(buffer, std::vector<std::uint8_t>(3 * w * h, 0x33));
    EXPECT_FALSE(WriteBitmapPixels(canvas.dc.get(), w, h, buffer.data()));
    EXPECT_FALSE(WriteBitmapPixels(canvas.dc.get(), 0, 0, buffer.data()));
    EXPECT_FALSE(WriteBitmapPixels(nullptr, 4, 4, buffer.data()));
    EXPECT_EQ(GetCurrentObject(canvas.dc.get(), OBJ_BITMAP), canvas.bitmap.get());
}

TEST(ComposeDayNight, DithersWithTheThreadsRuntimeRandAndLeavesItAdvanced) {
    const int w = 16, h = 8;
    DibCanvas canvas(w, h);
    std::vector<std::uint8_t> day = Pattern(w, h), night(day.size()), mask(MaskBufferSize(w, h));
    for (std::size_t k = 0; k < night.size(); ++k) night[k] = static_cast<std::uint8_t>(255 - day[k]);
    ComputeDayMask(mask.data(), w, h, 0.0, 0.0, BandWidthFraction(100));

    // Two renders in a row continue the runtime's sequence, and after them
    // rand goes on as if it had been called once per pixel.
    BlendBuffer composed, expectedBuffer;
    for (const unsigned seed : {7u, 0x9e3779b9u}) {
        std::srand(seed);
        std::uint32_t state = seed;
        for (int render = 0; render < 2; ++render) {
            ASSERT_TRUE(
                ComposeDayNight(composed, day.data(), night.data(), mask.data(), canvas.dc.get(), w, h));
            const std::uint8_t* expected =
                BlendDayNight(expectedBuffer, day.data(), night.data(), mask.data(), w, h, state);
            ASSERT_NE(expected, nullptr);
            for (int j = 0; j < h; ++j) {
                for (int i = 0; i < w; ++i) {
                    const std::size_t p = 3 * (static_cast<std::size_t>(w) * j + i);
                    ASSERT_EQ(canvas.At(i, j),
                              expected[p] | (expected[p + 1] << 8) | (expected[p + 2] << 16u))
                        << seed << " render " << render << " at " << i << "," << j;
                }
            }
        }
        EXPECT_EQ(std::rand(), NextRandom(state)) << seed;
    }
    // A size that cannot be blended draws nothing.
    std::srand(3);
    EXPECT_FALSE(ComposeDayNight(composed, day.data(), night.data(), mask.data(), canvas.dc.get(), 6, 8));
    std::uint32_t three = 3;
    EXPECT_EQ(std::rand(), NextRandom(three));
}

}  // namespace
}  // namespace uv
