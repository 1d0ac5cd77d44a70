// Reading and writing pixel buffers (3 bytes per pixel, blue green red, rows
// bottom-up, no padding) as image files, without any platform library.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace uv {

struct PixelImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;  // 3 * width * height bytes
};

// Reads an uncompressed 24-bit BMP (bottom-up or top-down rows). On failure
// returns false and says why in error.
bool ReadBmpFile(const std::string& path, PixelImage& image, std::string& error);
bool DecodeBmp(const std::vector<std::uint8_t>& file, PixelImage& image, std::string& error);

// A 24-bit bottom-up BMP with a 40-byte info header.
std::vector<std::uint8_t> EncodeBmp(const PixelImage& image);
// An 8-bit RGB PNG; the image data is deflated as stored blocks.
std::vector<std::uint8_t> EncodePng(const PixelImage& image);

// Writes EncodeBmp or EncodePng by the path's extension (".png" gives PNG,
// anything else BMP).
bool WriteImageFile(const std::string& path, const PixelImage& image, std::string& error);

}  // namespace uv
