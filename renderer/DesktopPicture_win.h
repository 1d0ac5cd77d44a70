// The whole desktop picture of one moment at a window's size, made the way
// the desktop host makes it (day/night blend, rotation for display, paint
// cache with every overlay) but in one go, for a program that draws the
// picture outside the desktop's process.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "common/SelectedBitmap_win.h"
#include "common/WinHandles.h"

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
// and made again only when a size changes.
class DesktopPicture {
public:
    // The picture of settings.renderTime, fitted into cx x cy for the display
    // mode with every overlay, copied into target (a DC whose bitmap is at
    // least cx x cy) at the row the display mode chooses, black elsewhere.
    // False when a bitmap could not be made or the blend failed.
    bool Render(const MapImages& images, const RenderSettings& settings, const CityDatabase& cities, HDC target,
                int cx, int cy);

private:
    SelectedBitmap rendered_;
    SelectedBitmap display_;
    SelectedBitmap cache_;
    std::vector<std::uint8_t> mask_;
};

}  // namespace uv
