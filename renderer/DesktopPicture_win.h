// The desktop picture of one moment, from the map images to a window: the
// compose step (the day/night blend of the moment into the rendered bitmap)
// and the present step (the rendered picture rotated onto the display
// bitmap, the window-size paint cache with every overlay, copied into the
// window). The desktop host composes on its worker thread and presents on
// the desktop thread; the wallpaper and the render tool do both in one go.
#pragma once

#include <windows.h>

#include <cstdint>
#include <ctime>
#include <vector>

#include "common/SelectedBitmap_win.h"
#include "renderer/Compositing_win.h"
#include "renderer/PaintCache_win.h"

class CityDatabase;

namespace uv {

struct RenderSettings;

// The resource library's map images as pixel buffers, read once.
struct MapImages {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> day;
    std::vector<std::uint8_t> night;
    std::vector<std::uint8_t> generatedNight;

    // Reads bitmaps 101 and 102 of library; false, with nothing kept, when
    // they are missing or of an unusable size.
    bool Load(HMODULE library);
    bool loaded() const { return width > 0; }
};

// The bitmaps a picture passes through, kept from one picture to the next
// and made again only when a size changes. The rendered bitmap, the mask and
// the rendered sun belong to whoever composes; the display bitmap, the paint
// cache and the shown sun to whoever presents.
class DesktopPicture {
public:
    using Blend = decltype(&ComposeDayNight);
    enum class Painted { NoCache, Nothing, FromCache, Rebuilt };

    // The image-size bitmaps and the mask; false when one cannot be made.
    bool Prepare(int width, int height);

    // The picture of settings.renderTime blended into the rendered bitmap,
    // its sun position kept beside it. False when no picture was made.
    bool Compose(const MapImages& images, const RenderSettings& settings, Blend blend = &ComposeDayNight);

    // The composed picture rotated onto the display bitmap for "XOffset"
    // and "follow the sun"; its sun becomes the one the overlays show.
    void Show(const RenderSettings& settings);

    // The day image with text centred at the top of area, shown until the
    // first picture.
    void ShowPlaceholder(const MapImages& images, const char* text, RECT area);

    // The display picture fitted into a window of cx x cy for the display
    // mode, copied into target at the row the mode chooses. The paint cache
    // (scaling and every overlay) is rebuilt only after Show or a change of
    // size; now is the moment the status panel's city items show.
    Painted Paint(HDC target, int cx, int cy, const RenderSettings& settings, const CityDatabase& cities,
                  std::time_t now);
    void InvalidateCache() { cacheDirty_ = true; }

    MapFit Fit(const RenderSettings& settings, int cx, int cy) const;
    const SelectedBitmap& cache() const { return cache_; }

    // Compose, Show and Paint in one go into target (a DC whose bitmap is
    // at least cx x cy), black beside the map. False when a bitmap could not
    // be made or the blend failed.
    bool Render(const MapImages& images, const RenderSettings& settings, const CityDatabase& cities,
                HDC target, int cx, int cy);

private:
    SelectedBitmap rendered_;
    SelectedBitmap display_;
    SelectedBitmap cache_;
    std::vector<std::uint8_t> mask_;
    ShownSun renderedSun_;
    ShownSun shownSun_;
    bool cacheDirty_ = true;
};

}  // namespace uv
