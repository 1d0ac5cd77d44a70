// Little-endian records of 32-bit numbers, UTF-16 texts and raw bytes, for
// the binary values this program keeps in the registry.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/WideText.h"

namespace uv {

inline void PutLe32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// A 32-bit count of UTF-16 units, then the units.
inline void PutText(std::vector<std::uint8_t>& out, const WideText& text) {
    PutLe32(out, static_cast<std::uint32_t>(text.size()));
    for (char16_t c : text) {
        out.push_back(static_cast<std::uint8_t>(c));
        out.push_back(static_cast<std::uint8_t>(c >> 8));
    }
}

// Reads from a byte buffer; every read fails once one has run past the end.
class ByteReader {
public:
    explicit ByteReader(const std::vector<std::uint8_t>& data) : data_(data) {}
    bool Le32(std::uint32_t& v) {
        if (data_.size() - at_ < 4) return false;
        v = 0;
        for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(data_[at_ + i]) << (8 * i);
        at_ += 4;
        return true;
    }
    // A text of at most kMaxWideText units.
    bool Text(WideText& text) {
        std::uint32_t units = 0;
        if (!Le32(units) || units > kMaxWideText || (data_.size() - at_) / 2 < units) return false;
        text.resize(units);
        for (std::uint32_t i = 0; i < units; ++i, at_ += 2)
            text[i] = static_cast<char16_t>(data_[at_] | (data_[at_ + 1] << 8));
        return true;
    }
    bool Bytes(std::size_t size, std::vector<std::uint8_t>& out) {
        if (data_.size() - at_ < size) return false;
        out.assign(data_.begin() + static_cast<std::ptrdiff_t>(at_),
                   data_.begin() + static_cast<std::ptrdiff_t>(at_ + size));
        at_ += size;
        return true;
    }
    bool AtEnd() const { return at_ == data_.size(); }

private:
    const std::vector<std::uint8_t>& data_;
    std::size_t at_ = 0;
};

}  // namespace uv
