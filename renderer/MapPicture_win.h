// The desktop picture of one moment, from the map images to a window, in
// three steps. Compose: the day/night blend of the moment, at a compose
// size, into the rendered bitmap. Show: the rendered picture rotated for
// "XOffset" and "follow the sun" onto the display bitmap. Paint: the part
// the display mode shows, copied or stretched into the window-size paint
// cache, every overlay over it, the cache copied into a window.
//
// The desktop host composes at the images' own size on its worker, dithered
// with the worker's C runtime rand, and shows and paints on the desktop
// thread, stretching its picture into whatever window it serves. The
// wallpaper and the render tool compose at the screen map's size
// (ScreenMap.h: the images are scaled to it once per size), dithered from the
// generator's fresh state, and paint by copying: the same moment, size, DPI
// and settings give them the same bytes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <ctime>
#include <vector>

#include "common/SelectedBitmap_win.h"
#include "renderer/Compositing.h"
#include "renderer/PaintCache_win.h"

class CityDatabase;

namespace uv {

class RenderContext;
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
// and made again only when a size changes. What Compose writes (the rendered
// bitmap, the mask, the blend's buffer, the scaled images and the rendered
// sun) belongs to whoever composes; the display bitmap, the paint cache and
// the shown sun to whoever shows and paints. Show reads what Compose wrote.
class MapPicture {
public:
    enum class Painted { NoCache, Nothing, FromCache, Rebuilt };
    // Compatible with the screen: the desktop host's picture, in the format
    // the desktop shows. 24-bit DIB sections: a picture for a file, the same
    // bytes whatever the screen.
    enum class Bitmaps { Screen, Dib };
    // The thread's C runtime rand, going on from where it is; or the state
    // that rand starts from on a new thread.
    enum class Dither { ThreadRand, Fresh };

    explicit MapPicture(Bitmaps bitmaps = Bitmaps::Screen) : bitmaps_(bitmaps) {}

    // The bitmaps for pictures of images composed at width x height (the
    // images' own size or a screen map); false when one cannot be made.
    bool Prepare(const MapImages& images, int width, int height);

    // The picture of settings.renderTime blended into the rendered bitmap,
    // its sun position kept beside it. False when no picture was made.
    bool Compose(const MapImages& images, const RenderSettings& settings, Dither dither);

    // The composed picture rotated onto the display bitmap; its sun becomes
    // the one the overlays show.
    void Show(const RenderSettings& settings);

    // The day image with text centred at the top of area, shown until the
    // first picture (composed at the images' own size only).
    void ShowPlaceholder(const MapImages& images, const char* text, RECT area);

    // The display picture fitted into a window of cx x cy for the display
    // mode, copied into target at the row the mode chooses. The paint cache
    // (scaling and every overlay, drawn with context) is rebuilt only after
    // Show or a change of size; now is the moment the status panel's city
    // items show.
    Painted Paint(HDC target, int cx, int cy, const RenderSettings& settings, const CityDatabase& cities,
                  std::time_t now, RenderContext& context);
    void InvalidateCache() { cacheDirty_ = true; }

    // The fit of the images' map into a window of cx x cy.
    MapFit Fit(const RenderSettings& settings, int cx, int cy) const;
    const SelectedBitmap& cache() const { return cache_; }

    // All three at the screen map's size for a window of cx x cy, dithered
    // fresh, into target (a DC whose bitmap is at least cx x cy), black
    // beside the map. False when memory was short or a bitmap could not be
    // made.
    bool Render(const MapImages& images, const RenderSettings& settings, const CityDatabase& cities,
                RenderContext& context, HDC target, int cx, int cy);

    // How often images were scaled: once per compose size and image.
    int scalings() const { return scalings_; }

private:
    // One image at the compose size, rows without padding.
    struct Scaled {
        const std::uint8_t* source = nullptr;
        std::vector<std::uint8_t> pixels;
    };
    const std::uint8_t* ImageAtComposeSize(Scaled& scaled, const MapImages& images,
                                           const std::vector<std::uint8_t>& image);
    bool WriteRendered(const std::uint8_t* composite);

    Bitmaps bitmaps_;
    int mapWidth_ = 0;  // the images' size
    int mapHeight_ = 0;
    SelectedBitmap rendered_;
    SelectedBitmap display_;
    SelectedBitmap cache_;
    std::vector<std::uint8_t> mask_;
    BlendBuffer blend_;
    Scaled day_;
    Scaled night_;
    Scaled generatedNight_;
    int scalings_ = 0;
    ShownSun renderedSun_;
    ShownSun shownSun_;
    bool cacheDirty_ = true;
};

}  // namespace uv
