// The desktop picture composed at the size it is shown, for a program that
// draws it outside the desktop's process (the wallpaper): the day and night
// images are scaled to the screen map once per size (halftone, as the
// desktop host stretches its picture), and every picture after that is mask
// and blend at that size, the rotated copy of the shown part and the
// overlays. It looks like the desktop host's picture of the same moment,
// with a twilight band as sharp as the screen.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "common/SelectedBitmap_win.h"
#include "renderer/DesktopPicture_win.h"

class CityDatabase;

namespace uv {

struct RenderSettings;

class ScreenPicture {
public:
    // As DesktopPicture::Render: the picture of settings.renderTime fitted
    // into cx x cy for the display mode with every overlay, copied into
    // target at the row the display mode chooses, black elsewhere. False
    // when memory was short or a bitmap could not be made.
    bool Render(const MapImages& images, const RenderSettings& settings, const CityDatabase& cities,
                HDC target, int cx, int cy);

    // How often the images were scaled: once per screen map size and night
    // source.
    int scalings() const { return scalings_; }

private:
    // One image at the screen map's size, rows without padding.
    struct Scaled {
        const std::uint8_t* source = nullptr;
        std::vector<std::uint8_t> pixels;
    };
    const std::uint8_t* ScaledImage(Scaled& scaled, const std::vector<std::uint8_t>& image, int mapWidth,
                                    int mapHeight);

    int width_ = 0;  // the screen map the scaled images are for
    int height_ = 0;
    Scaled day_;
    Scaled night_;
    Scaled generatedNight_;
    std::vector<std::uint8_t> mask_;
    SelectedBitmap cache_;
    int scalings_ = 0;
};

}  // namespace uv
