#include "renderer/PaintCache_win.h"

#include "renderer/RenderSettings.h"
#include "renderer/CityMarkers_win.h"
#include "renderer/MoonGlyph_win.h"
#include "renderer/Overlays_win.h"
#include "renderer/StatusPanel_win.h"
#include "renderer/SunGlyph_win.h"

namespace uv {

namespace {

constexpr float kGridStep = 15.0f;

// Each overlay is one piece of the picture: short of memory it is left out
// and the others are still drawn. Inside the desktop's process no exception
// may reach the shell.
template <typename Draw>
void Piece(Draw&& draw) {
    try {
        draw();
    } catch (...) {}
}

}  // namespace

MapFit FitPaintCache(const RenderSettings& s, int cx, int cy, int mapWidth, int mapHeight) {
    return FitMapToWindow(s.displayMode, s.mapHeightFraction, s.yOffset, cx, cy, mapWidth, mapHeight);
}

void DrawOverlays(HDC dc, const MapFit& fit, const RenderSettings& s, const CityDatabase& cities,
                  const ShownSun& sun, std::time_t now, RenderContext& context) {
    OverlayView view;
    view.targetWidth = fit.targetWidth;
    view.targetHeight = fit.targetHeight;
    view.scaleX = fit.scaleX;
    view.scaleY = fit.scaleY;
    view.xOffset = static_cast<float>(s.xOffset);
    view.followSun = s.followSun != 0;
    view.subsolarLongitude = sun.subsolarLongitude;
    view.declination = sun.declination;
    view.dpi = s.dpi;
    view.context = &context;

    Piece([&] { DrawGrid(dc, view, kGridStep, kGridStep, s.overlayGrid != 0, s.gridColor); });
    Piece([&] { DrawDawnDuskLine(dc, view, s.overlayDawnDusk != 0, s.dawnDuskColor); });
    Piece([&] {
        DrawTwilightLines(dc, view, s.overlayCivilTwilight != 0, s.overlayNauticalTwilight != 0,
                          s.overlayAstronomicalTwilight != 0, s.civilTwilightColor, s.nauticalTwilightColor,
                          s.astronomicalTwilightColor);
    });
    Piece([&] {
        DrawSunLines(dc, view, s.overlayMidday != 0, s.overlayMidnight != 0, s.overlaySunLatitude != 0,
                     s.middayColor, s.midnightColor, s.sunLatitudeColor);
    });
    Piece([&] {
        DrawCityMarkers(dc, view, cities, s.overlayCities != 0, s.citiesColor, s.cityLabels != 0,
                        s.cityLabelForeground, s.cityLabelBackground);
    });
    Piece([&] { DrawMoonGlyph(dc, view, s.glyphShowMoon != 0, sun.time); });
    Piece([&] { DrawSunGlyph(dc, view, s.glyphShowSun != 0); });

    StatusPanelOptions status;
    status.show = s.overlayStatus != 0;
    status.sunLocation = s.statusSunLocation != 0;
    status.sunrise = s.statusSunrise != 0;
    status.sunset = s.statusSunset != 0;
    status.solarOffset = s.statusSolarOffset != 0;
    status.localTime = s.statusLocalTime != 0;
    status.exactSun = s.exactSun != 0;
    status.realLocalTime = s.realLocalTime != 0;
    status.moonPhase = s.statusMoonPhase != 0;
    status.moonRiseSet = s.statusMoonRiseSet != 0;
    status.civilTwilight = s.statusCivilTwilight != 0;
    Piece([&] {
        DrawStatusPanel(dc, context, fit.targetWidth, fit.targetHeight, sun.subsolarLongitude,
                        sun.declination, cities, status, s.statusForeground, s.statusBackground, now, s.dpi);
    });
}

void BuildPaintCache(HDC cacheDc, const MapFit& fit, HDC displayDc, const RenderSettings& s,
                     const CityDatabase& cities, const ShownSun& sun, std::time_t now,
                     RenderContext& context) {
    if (cacheDc == nullptr || fit.empty()) return;
    if (fit.dstX > 0 || fit.dstWidth < fit.targetWidth) {
        // The picture does not cover the whole cache: nothing but black
        // beside it, never what the previous picture left there.
        PatBlt(cacheDc, 0, 0, fit.targetWidth, fit.targetHeight, BLACKNESS);
    }
    if (!fit.scaled) {
        BitBlt(cacheDc, fit.dstX, fit.dstY, fit.dstWidth, fit.dstHeight, displayDc, fit.srcX, fit.srcY,
               SRCCOPY);
    } else {
        const int oldMode = SetStretchBltMode(cacheDc, HALFTONE);
        POINT oldOrigin{};
        SetBrushOrgEx(cacheDc, 0, 0, &oldOrigin);
        StretchBlt(cacheDc, fit.dstX, fit.dstY, fit.dstWidth, fit.dstHeight, displayDc, fit.srcX, fit.srcY,
                   fit.srcWidth, fit.srcHeight, SRCCOPY);
        SetStretchBltMode(cacheDc, oldMode);
        SetBrushOrgEx(cacheDc, oldOrigin.x, oldOrigin.y, nullptr);
    }
    DrawOverlays(cacheDc, fit, s, cities, sun, now, context);
}

void RotatePicture(HDC dst, HDC src, int width, int height, int shiftX, int shiftY) {
    const DisplayRotation columns = ComputeDisplayRotation(width, shiftX);
    const DisplayRotation rows = ComputeDisplayRotation(height, shiftY);
    for (const ColumnCopy& c : {columns.wrapped, columns.rest}) {
        for (const ColumnCopy& r : {rows.wrapped, rows.rest}) {
            if (c.width > 0 && r.width > 0)
                BitBlt(dst, c.dstX, r.dstX, c.width, r.width, src, c.srcX, r.srcX, SRCCOPY);
        }
    }
}

int DisplayShift(const RenderSettings& s, const ShownSun& sun, int mapWidth) {
    return HorizontalShift(s.followSun != 0, sun.subsolarLongitude, static_cast<float>(s.xOffset), mapWidth);
}

}  // namespace uv
