// What painting the overlays draws with beyond the picture: the resource
// library the sun glyph is read from, the label font and the glyph, each
// made on first use and kept, the font and the glyph also at the one other
// DPI last asked for. A thread that paints holds one (the desktop host's
// desktop thread, the wallpaper's thread, the render tool); everything it
// made goes with it, before the library it was given.
#pragma once

#include <windows.h>

#include "common/WinHandles.h"
#include "renderer/Dpi.h"
#include "renderer/SunGlyph_win.h"

namespace uv {

class RenderContext {
public:
    // resources: the loaded resource library, kept loaded by the caller for
    // the context's life; null draws no glyph.
    explicit RenderContext(HMODULE resources = nullptr) : resources_(resources) {}
    RenderContext(const RenderContext&) = delete;
    RenderContext& operator=(const RenderContext&) = delete;

    // The one text font of the map at 96 DPI; for another dpi the same text
    // at that size.
    HFONT LabelFont(unsigned dpi = kBaseDpi);
    // The sun glyph for dpi, loaded from the library when first asked for
    // (reference: a DC of the picture); null when the library has none.
    const SunGlyph* Glyph(HDC reference, unsigned dpi = kBaseDpi);
    bool glyphLoaded() const { return glyph_.loaded(); }

private:
    HMODULE resources_;
    UniqueFont labelFont_;
    UniqueFont scaledFont_;  // the label font at scaledFontDpi_
    unsigned scaledFontDpi_ = 0;
    SunGlyph glyph_;
    SunGlyph scaledGlyph_;  // the glyph at scaledGlyphDpi_
    unsigned scaledGlyphDpi_ = 0;
};

// Text with its top-left corner at (x, y) in the context's label font,
// surrounded by a halo one pixel wide at 96 DPI (wider at more). Restores the
// DC's background mode, text colour and font.
void DrawOutlinedText(HDC dc, RenderContext& context, int x, int y, COLORREF textColor, COLORREF haloColor,
                      const char* text, unsigned dpi = kBaseDpi);

}  // namespace uv
