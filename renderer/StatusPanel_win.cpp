#include "renderer/StatusPanel_win.h"

#include "renderer/Renderer_win.h"

namespace uv {

void DrawStatusPanel(HDC dc, int width, int height, double subsolarLongitude, double declination,
                     const CityDatabase& cities, const StatusPanelOptions& options, COLORREF textColor,
                     COLORREF haloColor, std::time_t now, unsigned dpi) {
    if (!options.show) return;
    const StatusPanelLayout layout =
        LayoutStatusPanel(width, height, subsolarLongitude, declination, cities, options, now, dpi);
    for (const PanelText& t : layout.texts) {
        DrawOutlinedText(dc, t.x, t.y, textColor, haloColor, t.text.c_str(), dpi);
    }
}

}  // namespace uv
