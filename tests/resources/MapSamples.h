// Colour samples of an equirectangular map held as a pixel buffer (blue green
// red, rows bottom-up), to check that a map is neither mirrored nor upside
// down.
#pragma once

#include <cstdint>
#include <vector>

struct MeanColour {
    double red = 0;
    double green = 0;
    double blue = 0;
    double Brightness() const { return (red + green + blue) / 3; }
};

// Mean over a 5 x 5 pixel patch around the given place.
inline MeanColour SampleMap(const std::vector<std::uint8_t>& pixels, int width, int height, double longitude,
                            double latitude) {
    const int ci = static_cast<int>((longitude + 180) / 360 * width);
    const int cj = static_cast<int>((latitude + 90) / 180 * height);  // row 0 is the south
    MeanColour mean;
    int n = 0;
    for (int j = cj - 2; j <= cj + 2; ++j) {
        for (int i = ci - 2; i <= ci + 2; ++i) {
            if (i < 0 || j < 0 || i >= width || j >= height) continue;
            const std::size_t p = 3 * (static_cast<std::size_t>(width) * j + i);
            mean.blue += pixels[p];
            mean.green += pixels[p + 1];
            mean.red += pixels[p + 2];
            ++n;
        }
    }
    if (n > 0) {
        mean.red /= n;
        mean.green /= n;
        mean.blue /= n;
    }
    return mean;
}

// Desert is redder than blue, open ocean bluer than red.
inline bool LooksLikeDesert(const MeanColour& c) { return c.red > c.blue + 20; }
inline bool LooksLikeOcean(const MeanColour& c) { return c.blue > c.red + 10; }
