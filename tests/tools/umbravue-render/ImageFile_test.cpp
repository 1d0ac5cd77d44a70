#include "tools/umbravue-render/ImageFile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace uv {
namespace {

PixelImage Sample(int w, int h) {
    PixelImage image;
    image.width = w;
    image.height = h;
    image.pixels.resize(3 * static_cast<std::size_t>(w) * h);
    for (std::size_t k = 0; k < image.pixels.size(); ++k)
        image.pixels[k] = static_cast<std::uint8_t>(k * 29 + 3);
    return image;
}

std::uint32_t Le32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}
std::uint32_t Be32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return (static_cast<std::uint32_t>(b[at]) << 24) | (b[at + 1] << 16) | (b[at + 2] << 8) | b[at + 3];
}

TEST(Bmp, RoundTripsWidthsThatNeedRowPadding) {
    for (int w : {1, 2, 3, 4, 5, 7}) {
        const PixelImage image = Sample(w, 3);
        const std::vector<std::uint8_t> file = EncodeBmp(image);
        const std::size_t stride = (3 * w + 3) / 4 * 4;
        ASSERT_EQ(file.size(), 54 + stride * 3) << w;
        EXPECT_EQ(Le32(file, 14), 40u);  // info header size
        EXPECT_EQ(Le32(file, 22), 3u);   // positive height: bottom-up
        PixelImage back;
        std::string error;
        ASSERT_TRUE(DecodeBmp(file, back, error)) << error;
        EXPECT_EQ(back.width, w);
        EXPECT_EQ(back.height, 3);
        EXPECT_EQ(back.pixels, image.pixels) << w;
    }
}

TEST(Bmp, TopDownFilesComeOutBottomUp) {
    const PixelImage image = Sample(4, 2);
    std::vector<std::uint8_t> file = EncodeBmp(image);
    // Negative height and the two rows swapped is the same picture.
    const std::int32_t negative = -2;
    std::memcpy(&file[22], &negative, 4);
    std::vector<std::uint8_t> rows(file.begin() + 54, file.end());
    std::memcpy(&file[54], &rows[12], 12);
    std::memcpy(&file[66], &rows[0], 12);
    PixelImage back;
    std::string error;
    ASSERT_TRUE(DecodeBmp(file, back, error)) << error;
    EXPECT_EQ(back.pixels, image.pixels);
}

TEST(Bmp, RefusesDamagedOrUnsupportedFiles) {
    const std::vector<std::uint8_t> good = EncodeBmp(Sample(8, 4));
    PixelImage image;
    std::string error;

    std::vector<std::uint8_t> truncated(good.begin(), good.end() - 1);
    EXPECT_FALSE(DecodeBmp(truncated, image, error));
    EXPECT_FALSE(error.empty());

    std::vector<std::uint8_t> paletted = good;
    paletted[28] = 8;
    EXPECT_FALSE(DecodeBmp(paletted, image, error));

    std::vector<std::uint8_t> huge = good;
    const std::int32_t big = 0x7fffffff;
    std::memcpy(&huge[18], &big, 4);
    EXPECT_FALSE(DecodeBmp(huge, image, error));

    std::vector<std::uint8_t> offset = good;
    const std::uint32_t far = 0xfffffff0u;
    std::memcpy(&offset[10], &far, 4);
    EXPECT_FALSE(DecodeBmp(offset, image, error));

    EXPECT_FALSE(DecodeBmp(std::vector<std::uint8_t>(good.begin(), good.begin() + 30), image, error));
    EXPECT_FALSE(DecodeBmp({'P', 'K', 3, 4}, image, error));
    EXPECT_FALSE(ReadBmpFile("no such file.bmp", image, error));
}

TEST(Png, StoresTheRowsTopDownInRgbWithValidChecksums) {
    const PixelImage image = Sample(3, 2);
    const std::vector<std::uint8_t> png = EncodePng(image);
    ASSERT_GT(png.size(), 8u + 25 + 12);
    EXPECT_EQ(std::memcmp(png.data(), "\x89PNG\r\n\x1a\n", 8), 0);
    EXPECT_EQ(Be32(png, 8), 13u);
    EXPECT_EQ(std::memcmp(&png[12], "IHDR", 4), 0);
    EXPECT_EQ(Be32(png, 16), 3u);
    EXPECT_EQ(Be32(png, 20), 2u);
    // IDAT: zlib header, one final stored block of 2 rows of 1 + 9 bytes.
    const std::size_t idat = 8 + 25;
    EXPECT_EQ(std::memcmp(&png[idat + 4], "IDAT", 4), 0);
    const std::size_t z = idat + 8;
    EXPECT_EQ(png[z], 0x78);
    EXPECT_EQ(png[z + 2], 1);  // final, stored
    EXPECT_EQ(png[z + 3] | (png[z + 4] << 8), 20);
    const std::uint8_t* raw = &png[z + 7];
    // First row in the file is the top row (buffer row 1), red first.
    EXPECT_EQ(raw[0], 0);  // no filter
    EXPECT_EQ(raw[1], image.pixels[9 + 2]);
    EXPECT_EQ(raw[2], image.pixels[9 + 1]);
    EXPECT_EQ(raw[3], image.pixels[9]);
    EXPECT_EQ(raw[10], 0);
    EXPECT_EQ(raw[11], image.pixels[2]);
    EXPECT_EQ(std::memcmp(&png[png.size() - 8], "IEND", 4), 0);
    EXPECT_EQ(Be32(png, png.size() - 4), 0xAE426082u);  // the CRC of an empty IEND
}

TEST(Png, SplitsLargeDataIntoStoredBlocks) {
    const PixelImage image = Sample(200, 200);  // 120200 bytes: two blocks
    const std::vector<std::uint8_t> png = EncodePng(image);
    const std::size_t z = 8 + 25 + 8;
    EXPECT_EQ(png[z + 2], 0);  // not final
    EXPECT_EQ(png[z + 3] | (png[z + 4] << 8), 65535);
    const std::size_t second = z + 2 + 5 + 65535;
    EXPECT_EQ(png[second], 1);
    EXPECT_EQ(png[second + 1] | (png[second + 2] << 8), 120200 - 65535);
}

TEST(ImageFile, WritesNothingForAnEmptyPicture) {
    PixelImage empty;
    std::string error;
    EXPECT_TRUE(EncodeBmp(empty).empty());
    EXPECT_TRUE(EncodePng(empty).empty());
    EXPECT_FALSE(WriteImageFile("unused.bmp", empty, error));
    EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace uv
