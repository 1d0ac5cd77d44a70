#include "renderer/BmpFile.h"

namespace uv {

std::size_t BmpRowStride(int width) {
    return width <= 0 ? 0 : (static_cast<std::size_t>(width) * 3 + 3) & ~static_cast<std::size_t>(3);
}

std::array<std::uint8_t, kBmpHeadersSize> BmpHeaders(int width, int height) {
    std::array<std::uint8_t, kBmpHeadersSize> h{};
    auto put = [&h](std::size_t at, std::uint32_t v, int bytes) {  // little-endian
        for (int i = 0; i < bytes; ++i) h[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    const std::uint32_t image = static_cast<std::uint32_t>(BmpRowStride(width) * (height > 0 ? height : 0));
    h[0] = 'B';
    h[1] = 'M';
    put(2, static_cast<std::uint32_t>(kBmpHeadersSize) + image, 4);
    put(10, static_cast<std::uint32_t>(kBmpHeadersSize), 4);
    put(14, 40, 4);
    put(18, static_cast<std::uint32_t>(width), 4);
    put(22, static_cast<std::uint32_t>(height), 4);  // positive: bottom-up
    put(26, 1, 2);
    put(28, 24, 2);
    put(34, image, 4);
    put(38, 2835, 4);  // 72 dots per inch, both ways
    put(42, 2835, 4);
    return h;
}

}  // namespace uv
