#include "common/Registry.h"

namespace uv {

RegValue StringValue(const std::string& text) {
    RegValue v;
    v.present = true;
    v.type = kRegSz;
    v.data.assign(text.begin(), text.end());
    v.data.push_back(0);
    return v;
}

RegValue DwordValue(std::uint32_t value) {
    RegValue v;
    v.present = true;
    v.type = kRegDword;
    for (int i = 0; i < 4; ++i) v.data.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    return v;
}

std::string ValueText(const RegValue& value) {
    std::string text;
    if (!value.present || (value.type != kRegSz && value.type != kRegExpandSz)) return text;
    for (std::uint8_t c : value.data) {
        if (c == 0) break;
        text += static_cast<char>(c);
    }
    return text;
}

}  // namespace uv
