#include "renderer/SunGlyph_win.h"

#include "renderer/Dpi.h"
#include "renderer/Renderer_win.h"
#include "renderer/SunGlyph.h"

namespace uv {

namespace {

// The process's glyph, and a copy at another DPI; used only on the desktop
// thread (in the controller, on the wallpaper's).
struct GlyphSlots {
    SunGlyph glyph;
    SunGlyph scaled;
    unsigned scaledDpi = 0;
};

GlyphSlots& Slots() {
    static GlyphSlots slots;
    return slots;
}

SunGlyph& Slot() { return Slots().glyph; }

}  // namespace

SunGlyph::~SunGlyph() { ReleaseSunGlyph(*this); }

SunGlyph::SunGlyph(SunGlyph&& o) noexcept
    : bitmap(std::move(o.bitmap)),
      glyphDc(std::move(o.glyphDc)),
      savedBitmap(o.savedBitmap),
      mask(std::move(o.mask)),
      width(o.width),
      height(o.height) {
    o.savedBitmap = nullptr;
    o.width = o.height = 0;
}

SunGlyph& SunGlyph::operator=(SunGlyph&& o) noexcept {
    if (this != &o) {
        ReleaseSunGlyph(*this);
        bitmap = std::move(o.bitmap);
        glyphDc = std::move(o.glyphDc);
        savedBitmap = o.savedBitmap;
        mask = std::move(o.mask);
        width = o.width;
        height = o.height;
        o.savedBitmap = nullptr;
        o.width = o.height = 0;
    }
    return *this;
}

SunGlyph MakeSunGlyph(HDC referenceDc, HBITMAP image) {
    SunGlyph g;
    UniqueBitmap owned(image);
    BITMAP info{};
    if (!owned || GetObjectA(owned.get(), sizeof info, &info) == 0 || info.bmWidth <= 0 ||
        info.bmHeight <= 0) {
        return g;
    }
    UniqueMemoryDc dc(CreateCompatibleDC(referenceDc));
    if (!dc) return g;
    UniqueBitmap mask(CreateBitmap(info.bmWidth, info.bmHeight, 1, 1, nullptr));
    if (!mask) return g;
    const HGDIOBJ saved = SelectObject(dc.get(), owned.get());
    {
        // Colour to monochrome: pixels equal to the glyph DC's background
        // colour (white) become 1, all others 0.
        UniqueMemoryDc maskDc(CreateCompatibleDC(referenceDc));
        ScopedSelect selectMask(maskDc.get(), mask.get());
        PatBlt(maskDc.get(), 0, 0, info.bmWidth, info.bmHeight, BLACKNESS);
        SetBkColor(dc.get(), RGB(255, 255, 255));
        BitBlt(maskDc.get(), 0, 0, info.bmWidth, info.bmHeight, dc.get(), 0, 0, SRCPAINT);
    }
    g.bitmap = std::move(owned);
    g.glyphDc = std::move(dc);
    g.savedBitmap = saved;
    g.mask = std::move(mask);
    g.width = info.bmWidth;
    g.height = info.bmHeight;
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
    const int w = ScaleToDpi(g.width, dpi), h = ScaleToDpi(g.height, dpi);
    if (!g.loaded() || w <= 0 || h <= 0) return SunGlyph();
    UniqueBitmap bitmap(CreateCompatibleBitmap(g.glyphDc.get(), w, h));
    UniqueMemoryDc dc(CreateCompatibleDC(referenceDc));
    if (!bitmap || !dc) return SunGlyph();
    {
        ScopedSelect select(dc.get(), bitmap.get());
        SetStretchBltMode(dc.get(), COLORONCOLOR);
        StretchBlt(dc.get(), 0, 0, w, h, g.glyphDc.get(), 0, 0, g.width, g.height, SRCCOPY);
    }
    return MakeSunGlyph(referenceDc, bitmap.release());
}

// Foreground SRCAND where the mask is 1 (white glyph pixels leave the map
// unchanged), background SRCCOPY where it is 0.
constexpr DWORD kGlyphRop = 0xCC8800C6;

void ReleaseSunGlyph(SunGlyph& g) {
    g.mask.reset();
    if (g.glyphDc && g.savedBitmap) SelectObject(g.glyphDc.get(), g.savedBitmap);
    g.savedBitmap = nullptr;
    g.glyphDc.reset();
    g.bitmap.reset();
    g.width = g.height = 0;
}

void DrawSunGlyph(HDC dc, const OverlayView& view, bool show) {
    if (!show) return;
    SunGlyph& g = Slot();
    if (!g.loaded()) g = LoadSunGlyph(dc, GetResourceModule(), kSunGlyphResource);
    if (ScaleToDpi(g.width, view.dpi) == g.width) {
        DrawGlyph(dc, view, g);
        return;
    }
    GlyphSlots& s = Slots();
    if (!s.scaled.loaded() || s.scaledDpi != view.dpi) {
        s.scaled = ScaleSunGlyph(dc, g, view.dpi);
        s.scaledDpi = view.dpi;
    }
    DrawGlyph(dc, view, s.scaled);
}

void DrawGlyph(HDC dc, const OverlayView& view, const SunGlyph& g) {
    if (!g.loaded()) return;
    const PixelPoint p = SunGlyphTopLeft(view, g.width, g.height);
    MaskBlt(dc, p.x, p.y, g.width, g.height, g.glyphDc.get(), 0, 0, g.mask.get(), 0, 0, kGlyphRop);
}

bool SunGlyphLoaded() { return Slot().loaded(); }

void ReleaseProcessSunGlyph() {
    ReleaseSunGlyph(Slots().scaled);
    Slots().scaledDpi = 0;
    ReleaseSunGlyph(Slot());
}

}  // namespace uv
