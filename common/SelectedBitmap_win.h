// A bitmap selected into a memory DC of its own: the one owner of a
// bitmap-in-a-context for the picture's layers, the sun glyph and the
// wallpaper's file image.
#pragma once
#ifndef _WIN32
#error "Win32 only"
#endif
#include <windows.h>

#include <cstdint>
#include <optional>
#include <utility>

#include "common/WinHandles.h"

namespace uv {

// The header of a 24-bit bottom-up bitmap of w x h: the layout of our pixel
// buffers and BMP files.
inline BITMAPINFO Rgb24Info(int w, int h) {
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    return bi;
}

// Members are declared in the order they must be released: the selection is
// undone first, then the bitmap and the DC are deleted.
struct SelectedBitmap {
    SelectedBitmap() = default;
    SelectedBitmap(SelectedBitmap&& o) noexcept { *this = std::move(o); }
    SelectedBitmap& operator=(SelectedBitmap&& o) noexcept {
        if (this != &o) {
            Reset();
            dc = std::move(o.dc);
            bitmap = std::move(o.bitmap);
            if (o.selection) selection.emplace(std::move(*o.selection));
            width = o.width;
            height = o.height;
            bits = o.bits;
            o.selection.reset();
            o.Reset();
        }
        return *this;
    }

    UniqueMemoryDc dc;
    UniqueBitmap bitmap;
    std::optional<ScopedSelect> selection;
    int width = 0;
    int height = 0;
    // The rows of a DIB section (24-bit, bottom-up, each padded to 4 bytes:
    // a BMP file's pixel array as it is); null for a compatible bitmap.
    std::uint8_t* bits = nullptr;

    // A DC and a bitmap of w x h, both compatible with `compatible` (null:
    // the screen). False, with nothing kept, when either cannot be made.
    bool Create(HDC compatible, int w, int h) {
        Reset();
        UniqueMemoryDc newDc(CreateCompatibleDC(compatible));
        if (!newDc) return false;
        UniqueBitmap newBitmap;
        if (compatible) {
            newBitmap.reset(CreateCompatibleBitmap(compatible, w, h));
        } else {
            WindowDc screen(nullptr);
            newBitmap.reset(CreateCompatibleBitmap(screen.get(), w, h));
        }
        return Adopt(std::move(newDc), std::move(newBitmap), w, h, nullptr);
    }

    // A 24-bit bottom-up DIB section of w x h in a DC of its own.
    bool CreateDib(int w, int h) {
        Reset();
        const BITMAPINFO bi = Rgb24Info(w, h);
        UniqueMemoryDc newDc(CreateCompatibleDC(nullptr));
        if (!newDc) return false;
        void* p = nullptr;
        UniqueBitmap newBitmap(CreateDIBSection(newDc.get(), &bi, DIB_RGB_COLORS, &p, nullptr, 0));
        return p && Adopt(std::move(newDc), std::move(newBitmap), w, h, static_cast<std::uint8_t*>(p));
    }

    // Takes newBitmap, of w x h, into a new DC compatible with `compatible`.
    // False, with the bitmap deleted and nothing kept, when no DC can be made.
    bool Own(HDC compatible, UniqueBitmap newBitmap, int w, int h) {
        Reset();
        return Adopt(UniqueMemoryDc(CreateCompatibleDC(compatible)), std::move(newBitmap), w, h, nullptr);
    }

    // Keeps the bitmap while its size stays, else makes a screen-compatible one.
    bool Fit(int w, int h) { return (exists() && width == w && height == h) || Create(nullptr, w, h); }
    bool FitDib(int w, int h) { return (exists() && bits && width == w && height == h) || CreateDib(w, h); }

    void Reset() {
        selection.reset();
        bitmap.reset();
        dc.reset();
        width = 0;
        height = 0;
        bits = nullptr;
    }
    bool exists() const { return static_cast<bool>(dc); }

private:
    bool Adopt(UniqueMemoryDc newDc, UniqueBitmap newBitmap, int w, int h, std::uint8_t* newBits) {
        if (!newDc || !newBitmap) return false;
        dc = std::move(newDc);
        bitmap = std::move(newBitmap);
        selection.emplace(dc.get(), bitmap.get());
        width = w;
        height = h;
        bits = newBits;
        return true;
    }
};

}  // namespace uv
