// Sizes of the map's text, markers and glyph for the pixel density of the
// screen a picture is made for. The picture behind the icons is always made
// at 96 DPI; a wallpaper picture is made at its monitor's DPI, so that labels
// and the status panel stay readable where the system scales its text.
#pragma once

namespace uv {

constexpr unsigned kBaseDpi = 96;

// pixels at 96 DPI, scaled to dpi and rounded half away from zero; exactly
// pixels at 96 (and for a dpi of 0, which means "not known").
constexpr int ScaleToDpi(int pixels, unsigned dpi) {
    if (dpi == 0 || dpi == kBaseDpi) return pixels;
    const long long scaled = static_cast<long long>(pixels) * static_cast<long long>(dpi);
    const long long half = kBaseDpi / 2;
    return static_cast<int>(scaled >= 0 ? (scaled + half) / kBaseDpi : -((-scaled + half) / kBaseDpi));
}

}  // namespace uv
