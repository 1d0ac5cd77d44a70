#include "common/WideText.h"

namespace uv {

namespace {

char16_t FoldAscii(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c; }

}  // namespace

WideText Widen(const char* ascii) {
    WideText text;
    for (const char* p = ascii; p && *p; ++p) text += static_cast<char16_t>(static_cast<unsigned char>(*p));
    return text;
}

RegValue WideStringValue(const WideText& text) {
    RegValue v;
    v.present = true;
    v.type = kRegSz;
    for (char16_t c : text) {
        v.data.push_back(static_cast<std::uint8_t>(c));
        v.data.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    v.data.push_back(0);
    v.data.push_back(0);
    return v;
}

WideText WideValueText(const RegValue& value) {
    WideText text;
    if (!value.present || (value.type != kRegSz && value.type != kRegExpandSz)) return text;
    for (std::size_t i = 0; i + 1 < value.data.size(); i += 2) {
        const char16_t c = static_cast<char16_t>(value.data[i] | (value.data[i + 1] << 8));
        if (c == 0) break;
        text += c;
    }
    return text;
}

bool SameWidePath(const WideText& a, const WideText& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
    return true;
}

bool ReadDword(const RegValue& value, std::uint32_t& out) {
    if (!value.present || value.type != kRegDword || value.data.size() != 4) return false;
    out = 0;
    for (int i = 0; i < 4; ++i) out |= static_cast<std::uint32_t>(value.data[i]) << (8 * i);
    return true;
}

}  // namespace uv
