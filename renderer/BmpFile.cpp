#include "renderer/BmpFile.h"

namespace uv {

namespace {

void PutLe16(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

void PutLe32(std::uint8_t* p, std::uint32_t v) {
    PutLe16(p, v);
    PutLe16(p + 2, v >> 16);
}

}  // namespace

std::size_t BmpRowStride(int width) {
    return width <= 0 ? 0 : (static_cast<std::size_t>(width) * 3 + 3) & ~static_cast<std::size_t>(3);
}

std::array<std::uint8_t, kBmpHeadersSize> BmpHeaders(int width, int height) {
    std::array<std::uint8_t, kBmpHeadersSize> h{};
    const std::uint32_t image = static_cast<std::uint32_t>(BmpRowStride(width) * (height > 0 ? height : 0));
    h[0] = 'B';
    h[1] = 'M';
    PutLe32(&h[2], static_cast<std::uint32_t>(kBmpHeadersSize) + image);
    PutLe32(&h[10], static_cast<std::uint32_t>(kBmpHeadersSize));
    PutLe32(&h[14], 40);
    PutLe32(&h[18], static_cast<std::uint32_t>(width));
    PutLe32(&h[22], static_cast<std::uint32_t>(height));   // positive: bottom-up
    PutLe16(&h[26], 1);
    PutLe16(&h[28], 24);
    PutLe32(&h[34], image);
    PutLe32(&h[38], 2835);   // 72 dots per inch, both ways
    PutLe32(&h[42], 2835);
    return h;
}

}  // namespace uv
