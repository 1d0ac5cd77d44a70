// A 32-bit top-down DIB section in a memory DC, for drawing and reading
// pixels back in the tests.
#pragma once

#include <windows.h>

#include <cstdint>

#include "common/WinHandles.h"

namespace uv {
namespace test {

class Canvas {
public:
    Canvas(int width, int height, COLORREF fill = RGB(0, 0, 0))
        : width_(width),
          height_(height),
          dc_(CreateCompatibleDC(nullptr)),
          bitmap_(MakeDib(dc_.get(), width, height, &bits_)),
          select_(dc_.get(), bitmap_.get()) {
        Fill(fill);
    }
    HDC dc() const { return dc_.get(); }
    int width() const { return width_; }
    int height() const { return height_; }
    void Fill(COLORREF c) {
        GdiFlush();
        for (int i = 0; i < width_ * height_; ++i) bits_[i] = ToPixel(c);
    }
    // RGB of a pixel as a COLORREF (0x00BBGGRR); the alpha byte is ignored.
    COLORREF At(int x, int y) const {
        GdiFlush();
        const std::uint32_t p = bits_[y * width_ + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    void Set(int x, int y, COLORREF c) {
        GdiFlush();
        bits_[y * width_ + x] = ToPixel(c);
    }
    int Count(COLORREF c, int x0 = 0, int y0 = 0, int x1 = -1, int y1 = -1) const {
        if (x1 < 0) x1 = width_;
        if (y1 < 0) y1 = height_;
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) n += At(x, y) == c;
        return n;
    }

private:
    static HBITMAP MakeDib(HDC dc, int width, int height, std::uint32_t** bits) {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = width;
        bi.bmiHeader.biHeight = -height;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        void* p = nullptr;
        HBITMAP b = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &p, nullptr, 0);
        *bits = static_cast<std::uint32_t*>(p);
        return b;
    }
    static std::uint32_t ToPixel(COLORREF c) {
        return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    }
    int width_;
    int height_;
    std::uint32_t* bits_ = nullptr;
    UniqueMemoryDc dc_;
    UniqueBitmap bitmap_;
    ScopedSelect select_;
};

inline DWORD GdiObjectCount() { return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS); }

}  // namespace test
}  // namespace uv
