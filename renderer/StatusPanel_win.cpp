#include "renderer/StatusPanel_win.h"

#include "renderer/RenderContext_win.h"

namespace uv {

void DrawStatusPanel(HDC dc, RenderContext& context, int width, int height, double subsolarLongitude,
                     double declination, const CityDatabase& cities, const StatusPanelOptions& options,
                     COLORREF textColor, COLORREF haloColor, std::time_t now, unsigned dpi) {
    if (!options.show) return;
    const StatusPanelLayout layout =
        LayoutStatusPanel(width, height, subsolarLongitude, declination, cities, options, now, dpi);
    for (const PanelText& t : layout.texts) {
        DrawOutlinedText(dc, context, t.x, t.y, textColor, haloColor, t.text.c_str(), dpi);
    }
}

}  // namespace uv
