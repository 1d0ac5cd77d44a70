// The picture of one moment: composed from the map images, then the overlays
// drawn over it. Each build has its own way to the images.
#pragma once

#include <string>

#include "tools/umbravue-render/ImageFile.h"
#include "tools/umbravue-render/RenderOptions.h"

namespace uv {

struct SubsolarPoint {
    double declination;  // radians, north positive
    double longitude;    // radians, east positive
};

// Fills picture (bottom-up pixel buffer); false with a message on failure.
bool RenderPicture(const RenderOptions& options, const SubsolarPoint& sun, PixelImage& picture,
                   std::string& error);

}  // namespace uv
