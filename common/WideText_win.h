// Wide text between the portable code (char16_t) and the W functions
// (wchar_t, the same 16-bit units on Windows).
#pragma once

#include <windows.h>

#include "common/WideText.h"

namespace uv {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "the W functions take UTF-16");

inline LPCWSTR WidePtr(const WideText& text) { return reinterpret_cast<LPCWSTR>(text.c_str()); }

inline WideText FromWide(const wchar_t* text) {
    return text ? WideText(reinterpret_cast<const char16_t*>(text)) : WideText();
}

}  // namespace uv
