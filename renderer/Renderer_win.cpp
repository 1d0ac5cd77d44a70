#include "renderer/Renderer_win.h"

#include <cstring>

#include "common/WinHandles.h"
#include "renderer/CityMarkers.h"
#include "renderer/Compositing.h"
#include "renderer/SunGlyph_win.h"

namespace uv {

namespace {

// The renderer's state in this process; used only on the desktop thread.
struct RendererState {
    HMODULE resourceModule = nullptr;
    UniqueFont labelFont;
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

HFONT LabelFont() {
    CreateLabelFont();
    return State().labelFont.get();
}

void DrawOutlinedText(HDC dc, int x, int y, COLORREF textColor, COLORREF haloColor, const char* text) {
    if (dc == nullptr || text == nullptr) return;
    const int length = static_cast<int>(std::strlen(text));
    ScopedSelect font(dc, LabelFont());
    const COLORREF oldColor = GetTextColor(dc);
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, haloColor);
    for (const TextOffset& o : kHaloOffsets) TextOutA(dc, x + o.dx, y + o.dy, text, length);
    SetTextColor(dc, textColor);
    TextOutA(dc, x, y, text, length);
    SetBkMode(dc, oldMode);
    SetTextColor(dc, oldColor);
}

void ShutdownRenderer() {
    ReleaseProcessSunGlyph();
    State().labelFont.reset();
    FreeCompositePixels();
}

}  // namespace uv
