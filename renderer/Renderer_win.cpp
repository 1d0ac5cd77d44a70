#include "renderer/Renderer_win.h"

#include <cstring>

#include "common/WinHandles.h"
#include "renderer/CityMarkers.h"
#include "renderer/Compositing.h"
#include "renderer/Dpi.h"
#include "renderer/SunGlyph_win.h"

namespace uv {

namespace {

// The renderer's state in this process; used only on the desktop thread.
struct RendererState {
    HMODULE resourceModule = nullptr;
    UniqueFont labelFont;
    UniqueFont scaledFont;  // the label font at scaledDpi
    unsigned scaledDpi = 0;
};

RendererState& State() {
    static RendererState state;
    return state;
}

}  // namespace

void SetResourceModule(HMODULE module) { State().resourceModule = module; }

HMODULE GetResourceModule() { return State().resourceModule; }

void CreateLabelFont() {
    if (State().labelFont) return;
    State().labelFont.reset(CreateFontA(10, 0, 0, 0, 100, FALSE, FALSE, FALSE, 0, 0, 0,
                                        NONANTIALIASED_QUALITY, 0, "MS Sans Serif"));
}

HFONT LabelFont(unsigned dpi) {
    RendererState& s = State();
    if (dpi == 0 || dpi == kBaseDpi) {
        CreateLabelFont();
        return s.labelFont.get();
    }
    if (!s.scaledFont || s.scaledDpi != dpi) {
        // The small bitmap face has no larger sizes worth reading: the
        // scalable face of the same design, smoothed.
        s.scaledFont.reset(CreateFontA(ScaleToDpi(10, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, 0, 0, 0,
                                       ANTIALIASED_QUALITY, 0, "Microsoft Sans Serif"));
        s.scaledDpi = s.scaledFont ? dpi : 0;
    }
    return s.scaledFont.get();
}

void DrawOutlinedText(HDC dc, int x, int y, COLORREF textColor, COLORREF haloColor, const char* text,
                      unsigned dpi) {
    if (dc == nullptr || text == nullptr) return;
    const int length = static_cast<int>(std::strlen(text));
    ScopedSelect font(dc, LabelFont(dpi));
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

void ShutdownRenderer() {
    ReleaseProcessSunGlyph();
    State().labelFont.reset();
    State().scaledFont.reset();
    State().scaledDpi = 0;
    FreeCompositePixels();
}

}  // namespace uv
