#include "renderer/RenderContext_win.h"

#include <cstring>

#include "renderer/CityMarkers.h"

namespace uv {

HFONT RenderContext::LabelFont(unsigned dpi) {
    if (dpi == 0 || dpi == kBaseDpi) {
        if (!labelFont_)
            labelFont_.reset(CreateFontA(10, 0, 0, 0, 100, FALSE, FALSE, FALSE, 0, 0, 0,
                                         NONANTIALIASED_QUALITY, 0, "MS Sans Serif"));
        return labelFont_.get();
    }
    if (!scaledFont_ || scaledFontDpi_ != dpi) {
        // The small bitmap face has no larger sizes worth reading: the
        // scalable face of the same design, smoothed.
        scaledFont_.reset(CreateFontA(ScaleToDpi(10, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, 0, 0, 0,
                                      ANTIALIASED_QUALITY, 0, "Microsoft Sans Serif"));
        scaledFontDpi_ = scaledFont_ ? dpi : 0;
    }
    return scaledFont_.get();
}

const SunGlyph* RenderContext::Glyph(HDC reference, unsigned dpi) {
    if (!glyph_.loaded()) glyph_ = LoadSunGlyph(reference, resources_, kSunGlyphResource);
    if (ScaleToDpi(glyph_.width(), dpi) == glyph_.width()) return glyph_.loaded() ? &glyph_ : nullptr;
    if (!scaledGlyph_.loaded() || scaledGlyphDpi_ != dpi) {
        scaledGlyph_ = ScaleSunGlyph(reference, glyph_, dpi);
        scaledGlyphDpi_ = dpi;
    }
    return scaledGlyph_.loaded() ? &scaledGlyph_ : nullptr;
}

void DrawOutlinedText(HDC dc, RenderContext& context, int x, int y, COLORREF textColor, COLORREF haloColor,
                      const char* text, unsigned dpi) {
    if (dc == nullptr || text == nullptr) return;
    const int length = static_cast<int>(std::strlen(text));
    ScopedSelect font(dc, context.LabelFont(dpi));
    const COLORREF oldColor = GetTextColor(dc);
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, haloColor);
    const int halo = ScaleToDpi(1, dpi);
    if (halo <= 1) {
        for (const TextOffset& o : kHaloOffsets) TextOutA(dc, x + o.dx, y + o.dy, text, length);
    } else {
        // A wider halo is filled in, not eight copies with gaps between.
        for (int dy = -halo; dy <= halo; ++dy)
            for (int dx = -halo; dx <= halo; ++dx)
                if (dx != 0 || dy != 0) TextOutA(dc, x + dx, y + dy, text, length);
    }
    SetTextColor(dc, textColor);
    TextOutA(dc, x, y, text, length);
    SetBkMode(dc, oldMode);
    SetTextColor(dc, oldColor);
}

}  // namespace uv
