#include "renderer/SunGlyph_win.h"

#include "renderer/Dpi.h"
#include "renderer/RenderContext_win.h"
#include "renderer/SunGlyph.h"

namespace uv {

SunGlyph MakeSunGlyph(HDC referenceDc, HBITMAP image) {
    SunGlyph g;
    UniqueBitmap owned(image);
    BITMAP info{};
    if (!owned || GetObjectA(owned.get(), sizeof info, &info) == 0 || info.bmWidth <= 0 ||
        info.bmHeight <= 0) {
        return g;
    }
    UniqueBitmap mask(CreateBitmap(info.bmWidth, info.bmHeight, 1, 1, nullptr));
    if (!mask || !g.image.Own(referenceDc, std::move(owned), info.bmWidth, info.bmHeight)) return SunGlyph();
    {
        // Colour to monochrome: pixels equal to the glyph DC's background
        // colour (white) become 1, all others 0.
        UniqueMemoryDc maskDc(CreateCompatibleDC(referenceDc));
        ScopedSelect selectMask(maskDc.get(), mask.get());
        PatBlt(maskDc.get(), 0, 0, info.bmWidth, info.bmHeight, BLACKNESS);
        SetBkColor(g.image.dc.get(), RGB(255, 255, 255));
        BitBlt(maskDc.get(), 0, 0, info.bmWidth, info.bmHeight, g.image.dc.get(), 0, 0, SRCPAINT);
    }
    g.mask = std::move(mask);
    return g;
}

SunGlyph LoadSunGlyph(HDC referenceDc, HMODULE module, int resourceId) {
    if (module == nullptr) return SunGlyph();
    const HANDLE image = LoadImageA(module, MAKEINTRESOURCEA(resourceId), IMAGE_BITMAP, 0, 0, LR_DEFAULTSIZE);
    return MakeSunGlyph(referenceDc, static_cast<HBITMAP>(image));
}

// Pixel by pixel: blending would turn the white that is transparent into
// near-white that is not.
SunGlyph ScaleSunGlyph(HDC referenceDc, const SunGlyph& g, unsigned dpi) {
    const int w = ScaleToDpi(g.width(), dpi), h = ScaleToDpi(g.height(), dpi);
    if (!g.loaded() || w <= 0 || h <= 0) return SunGlyph();
    UniqueBitmap bitmap(CreateCompatibleBitmap(g.image.dc.get(), w, h));
    UniqueMemoryDc dc(CreateCompatibleDC(referenceDc));
    if (!bitmap || !dc) return SunGlyph();
    {
        ScopedSelect select(dc.get(), bitmap.get());
        SetStretchBltMode(dc.get(), COLORONCOLOR);
        StretchBlt(dc.get(), 0, 0, w, h, g.image.dc.get(), 0, 0, g.width(), g.height(), SRCCOPY);
    }
    return MakeSunGlyph(referenceDc, bitmap.release());
}

// Foreground SRCAND where the mask is 1 (white glyph pixels leave the map
// unchanged), background SRCCOPY where it is 0.
constexpr DWORD kGlyphRop = 0xCC8800C6;

void DrawSunGlyph(HDC dc, const OverlayView& view, bool show) {
    if (!show || !view.context) return;
    if (const SunGlyph* g = view.context->Glyph(dc, view.dpi)) DrawGlyph(dc, view, *g);
}

void DrawGlyph(HDC dc, const OverlayView& view, const SunGlyph& g) {
    if (!g.loaded()) return;
    const PixelPoint p = SunGlyphTopLeft(view, g.width(), g.height());
    MaskBlt(dc, p.x, p.y, g.width(), g.height(), g.image.dc.get(), 0, 0, g.mask.get(), 0, 0, kGlyphRop);
}

}  // namespace uv
