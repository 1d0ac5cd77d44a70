#include "renderer/Overlays_win.h"

#include "common/WinHandles.h"
#include "renderer/Overlays.h"

namespace uv {

namespace {

UniquePen SolidPen(COLORREF color) { return UniquePen(CreatePen(PS_SOLID, 1, color)); }

void DrawSegment(HDC dc, const LineSegment& s) {
    MoveToEx(dc, s.from.x, s.from.y, nullptr);
    LineTo(dc, s.to.x, s.to.y);
}

void DrawPath(HDC dc, const std::vector<PathStep>& path, COLORREF color) {
    UniquePen pen = SolidPen(color);
    ScopedSelect select(dc, pen.get());
    for (const PathStep& step : path) {
        if (step.move)
            MoveToEx(dc, step.to.x, step.to.y, nullptr);
        else
            LineTo(dc, step.to.x, step.to.y);
    }
}

}  // namespace

void DrawGrid(HDC dc, const OverlayView& view, float longitudeStep, float latitudeStep, bool show,
              COLORREF color) {
    if (!show) return;
    UniquePen pen = SolidPen(color);
    ScopedSelect select(dc, pen.get());
    for (const LineSegment& s : GridLines(view, longitudeStep, latitudeStep)) DrawSegment(dc, s);
}

void DrawDawnDuskLine(HDC dc, const OverlayView& view, bool show, COLORREF color) {
    if (!show) return;
    DrawPath(dc, DawnDuskPath(view), color);
}

void DrawTwilightLines(HDC dc, const OverlayView& view, bool civil, bool nautical, bool astronomical,
                       COLORREF civilColor, COLORREF nauticalColor, COLORREF astronomicalColor) {
    if (civil) DrawPath(dc, TwilightPath(view, 6), civilColor);
    if (nautical) DrawPath(dc, TwilightPath(view, 12), nauticalColor);
    if (astronomical) DrawPath(dc, TwilightPath(view, 18), astronomicalColor);
}

void DrawSunLines(HDC dc, const OverlayView& view, bool midday, bool midnight, bool sunLatitude,
                  COLORREF middayColor, COLORREF midnightColor, COLORREF sunLatitudeColor) {
    UniquePen middayPen = SolidPen(middayColor);
    UniquePen midnightPen = SolidPen(midnightColor);
    UniquePen latitudePen = SolidPen(sunLatitudeColor);
    ScopedSelect select(dc, middayPen.get());
    if (midday) {
        SelectObject(dc, middayPen.get());
        DrawSegment(dc, MiddayLine(view));
    }
    if (midnight) {
        SelectObject(dc, midnightPen.get());
        DrawSegment(dc, MidnightLine(view));
    }
    if (sunLatitude) {
        SelectObject(dc, latitudePen.get());
        DrawSegment(dc, SunLatitudeLine(view));
    }
}

}  // namespace uv
