// The renderer's shared drawing resources in the desktop's process: the label
// font, the resource module for the sun glyph, and their release.
#pragma once

#include <windows.h>

namespace uv {

// Records the loaded resource library; the sun glyph is read from it when it
// is first drawn.
void SetResourceModule(HMODULE module);
HMODULE GetResourceModule();

// The one text font of the map at 96 DPI. Created when the desktop host
// starts; drawing creates it too if nobody did. LabelFont(dpi) is the same
// text for another DPI (kept until the DPI changes or the renderer shuts down).
void CreateLabelFont();
HFONT LabelFont(unsigned dpi = 96);

// Text with its top-left corner at (x, y) in the label font, surrounded by a
// halo one pixel wide at 96 DPI (wider at more). Restores the DC's
// background mode, text colour and font.
void DrawOutlinedText(HDC dc, int x, int y, COLORREF textColor, COLORREF haloColor, const char* text,
                      unsigned dpi = 96);

// Releases the sun glyph, the label font and the composite pixels.
void ShutdownRenderer();

}  // namespace uv
