#include "renderer/MoonGlyph_win.h"

#include "common/SelectedBitmap_win.h"
#include "renderer/BmpFile.h"
#include "renderer/Dpi.h"
#include "renderer/MoonGlyph.h"
#include "solar/Moon.h"

namespace uv {

void DrawMoonGlyph(HDC dc, const OverlayView& view, bool show, std::time_t t) {
    if (!show || dc == nullptr || view.targetWidth <= 0 || view.targetHeight <= 0) return;
    const double when = static_cast<double>(t);
    double latitude = 0, longitude = 0;
    SublunarPoint(when, latitude, longitude);
    const MoonPhase phase = ComputeMoonPhase(when);
    double sunX = 0, sunY = 0;
    SunDirectionOnMap(latitude, longitude, view.declination, view.subsolarLongitude, phase.waxing, sunX,
                      sunY);

    const int size = ScaleToDpi(kMoonGlyphSize, view.dpi);
    const PixelPoint centre = view.Project(static_cast<float>(OverlayDegrees(latitude)),
                                           static_cast<float>(OverlayDegrees(longitude)));
    // The part of the box inside the target.
    const int left = centre.x - size / 2, top = centre.y - size / 2;
    const int x0 = left < 0 ? 0 : left, y0 = top < 0 ? 0 : top;
    const int x1 = left + size > view.targetWidth ? view.targetWidth : left + size;
    const int y1 = top + size > view.targetHeight ? view.targetHeight : top + size;
    if (x1 <= x0 || y1 <= y0) return;
    const int w = x1 - x0, h = y1 - y0;

    const std::vector<MoonPixel> glyph = MoonGlyphPixels(size, phase.illuminated, sunX, sunY);
    SelectedBitmap pixels;
    if (glyph.empty() || !pixels.CreateDib(w, h)) return;
    BitBlt(pixels.dc.get(), 0, 0, w, h, dc, x0, y0, SRCCOPY);
    GdiFlush();
    // The DIB's rows are bottom-up: the top row is the last.
    const std::ptrdiff_t stride = static_cast<std::ptrdiff_t>(BmpRowStride(w));
    PaintMoonGlyph(glyph, size, x0 - left, y0 - top, w, h, pixels.bits + stride * (h - 1), -stride);
    BitBlt(dc, x0, y0, w, h, pixels.dc.get(), 0, 0, SRCCOPY);
}

}  // namespace uv
