#include "tools/umbravue-render/ImageFile.h"

#include "renderer/BmpFile.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace uv {
namespace {

// Far beyond any map; keeps the arithmetic below in range for hostile headers.
constexpr std::int64_t kMaxDimension = 65536;

std::uint32_t Read32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}
std::uint16_t Read16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}
void Put16(std::vector<std::uint8_t>& b, std::uint32_t v) {
    b.push_back(v & 0xff);
    b.push_back((v >> 8) & 0xff);
}
void Put32BigEndian(std::vector<std::uint8_t>& b, std::uint32_t v) {
    b.push_back((v >> 24) & 0xff);
    b.push_back((v >> 16) & 0xff);
    b.push_back((v >> 8) & 0xff);
    b.push_back(v & 0xff);
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

bool ValidImage(const PixelImage& image) {
    return image.width > 0 && image.height > 0 && image.width <= kMaxDimension &&
           image.height <= kMaxDimension &&
           image.pixels.size() == 3 * static_cast<std::size_t>(image.width) * image.height;
}

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0) {
    struct Table {
        std::uint32_t entry[256];
        Table() {
            for (std::uint32_t n = 0; n < 256; ++n) {
                std::uint32_t c = n;
                for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xedb88320u ^ (c >> 1) : c >> 1;
                entry[n] = c;
            }
        }
    };
    static const Table table;
    crc = ~crc;
    for (std::size_t i = 0; i < size; ++i) crc = table.entry[(crc ^ data[i]) & 0xff] ^ (crc >> 8);
    return ~crc;
}

void PutChunk(std::vector<std::uint8_t>& out, const char* type, const std::vector<std::uint8_t>& data) {
    Put32BigEndian(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    Put32BigEndian(out, Crc32(out.data() + start, out.size() - start));
}

}  // namespace

bool DecodeBmp(const std::vector<std::uint8_t>& file, PixelImage& image, std::string& error) {
    if (file.size() < kBmpHeadersSize || file[0] != 'B' || file[1] != 'M') {
        error = "not a BMP file";
        return false;
    }
    const std::uint32_t dataOffset = Read32(file, 10);
    const std::uint32_t headerSize = Read32(file, 14);
    if (headerSize < 40 || headerSize > file.size() - 14) {
        error = "unsupported BMP header";
        return false;
    }
    const std::int64_t width = static_cast<std::int32_t>(Read32(file, 18));
    const std::int64_t signedHeight = static_cast<std::int32_t>(Read32(file, 22));
    const std::uint16_t bitsPerPixel = Read16(file, 28);
    const std::uint32_t compression = Read32(file, 30);
    if (bitsPerPixel != 24 || compression != 0) {
        error = "only uncompressed 24-bit BMP files are supported";
        return false;
    }
    const bool bottomUp = signedHeight > 0;
    const std::int64_t height = bottomUp ? signedHeight : -signedHeight;
    if (width <= 0 || height <= 0 || width > kMaxDimension || height > kMaxDimension) {
        error = "BMP size out of range";
        return false;
    }
    const std::size_t stride = BmpRowStride(static_cast<int>(width));
    if (dataOffset > file.size() || (file.size() - dataOffset) / stride < static_cast<std::size_t>(height)) {
        error = "BMP pixel data is truncated";
        return false;
    }
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    const std::size_t rowBytes = 3 * static_cast<std::size_t>(width);
    image.pixels.assign(rowBytes * height, 0);
    for (std::int64_t row = 0; row < height; ++row) {
        const std::int64_t fileRow = bottomUp ? row : height - 1 - row;
        std::memcpy(&image.pixels[row * rowBytes], &file[dataOffset + fileRow * stride], rowBytes);
    }
    return true;
}

bool ReadBmpFile(const std::string& path, PixelImage& image, std::string& error) {
    UniqueFile f(std::fopen(path.c_str(), "rb"));
    if (!f) {
        error = "cannot open " + path;
        return false;
    }
    std::vector<std::uint8_t> data;
    std::uint8_t chunk[65536];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f.get())) > 0) data.insert(data.end(), chunk, chunk + n);
    if (!DecodeBmp(data, image, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

std::vector<std::uint8_t> EncodeBmp(const PixelImage& image) {
    std::vector<std::uint8_t> out;
    if (!ValidImage(image)) return out;
    const std::size_t rowBytes = 3 * static_cast<std::size_t>(image.width);
    const std::size_t stride = BmpRowStride(image.width);
    const auto headers = BmpHeaders(image.width, image.height);
    out.reserve(headers.size() + stride * image.height);
    out.assign(headers.begin(), headers.end());
    for (int row = 0; row < image.height; ++row) {
        const std::uint8_t* src = &image.pixels[row * rowBytes];
        out.insert(out.end(), src, src + rowBytes);
        out.insert(out.end(), stride - rowBytes, 0);
    }
    return out;
}

std::vector<std::uint8_t> EncodePng(const PixelImage& image) {
    std::vector<std::uint8_t> out;
    if (!ValidImage(image)) return out;
    static const std::uint8_t signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    out.insert(out.end(), signature, signature + sizeof signature);

    std::vector<std::uint8_t> header;
    Put32BigEndian(header, static_cast<std::uint32_t>(image.width));
    Put32BigEndian(header, static_cast<std::uint32_t>(image.height));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, no filter, no interlace
    PutChunk(out, "IHDR", header);

    // PNG rows run top-down in red, green, blue, each after a filter byte.
    std::vector<std::uint8_t> raw;
    const std::size_t rowBytes = 3 * static_cast<std::size_t>(image.width);
    raw.reserve((rowBytes + 1) * image.height);
    for (int row = image.height - 1; row >= 0; --row) {
        raw.push_back(0);
        const std::uint8_t* src = &image.pixels[row * rowBytes];
        for (std::size_t i = 0; i < rowBytes; i += 3) raw.insert(raw.end(), {src[i + 2], src[i + 1], src[i]});
    }

    std::vector<std::uint8_t> zlib = {0x78, 0x01};
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    for (std::size_t at = 0; at < raw.size(); at += 65535) {
        const std::size_t len = raw.size() - at < 65535 ? raw.size() - at : 65535;
        zlib.push_back(at + len >= raw.size() ? 1 : 0);  // final block flag
        Put16(zlib, static_cast<std::uint32_t>(len));
        Put16(zlib, static_cast<std::uint32_t>(~len & 0xffff));
        zlib.insert(zlib.end(), raw.begin() + at, raw.begin() + at + len);
    }
    Put32BigEndian(zlib, (b << 16) | a);
    PutChunk(out, "IDAT", zlib);
    PutChunk(out, "IEND", {});
    return out;
}

bool WriteImageFile(const std::string& path, const PixelImage& image, std::string& error) {
    const bool png = path.size() >= 4 && (path.compare(path.size() - 4, 4, ".png") == 0 ||
                                          path.compare(path.size() - 4, 4, ".PNG") == 0);
    const std::vector<std::uint8_t> data = png ? EncodePng(image) : EncodeBmp(image);
    if (data.empty()) {
        error = "nothing to write: the picture is empty";
        return false;
    }
    UniqueFile f(std::fopen(path.c_str(), "wb"));
    if (!f) {
        error = "cannot create " + path;
        return false;
    }
    if (std::fwrite(data.data(), 1, data.size(), f.get()) != data.size()) {
        error = "cannot write " + path;
        return false;
    }
    if (std::fclose(f.release()) != 0) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

}  // namespace uv
