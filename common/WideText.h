// Wide text in registry values. The user's wallpaper values are kept and
// put back as the exact bytes the wide (W) registry functions give: the ANSI
// ones would turn every character outside the code page into a question
// mark.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "common/Registry.h"

namespace uv {

// Text as the wide (UTF-16) registry, file and shell functions take it.
using WideText = std::u16string;
// The longest text a kept value may hold: the registry's own limit for a
// path-like string, so that a damaged value cannot make us allocate more.
constexpr std::size_t kMaxWideText = 32767;

// ASCII text (names, numbers) as wide text.
WideText Widen(const char* ascii);

// A REG_SZ value holding text as UTF-16LE with its terminating NUL.
RegValue WideStringValue(const WideText& text);
// The text of a wide REG_SZ or REG_EXPAND_SZ value up to its first NUL
// (an odd last byte is ignored); empty for any other type.
WideText WideValueText(const RegValue& value);
// Paths compared as the file system does for the letters A to Z; other
// characters must match exactly.
bool SameWidePath(const WideText& a, const WideText& b);

// False unless the value is a REG_DWORD of 4 bytes.
bool ReadDword(const RegValue& value, std::uint32_t& out);

}  // namespace uv
