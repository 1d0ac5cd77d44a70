// The day/night compositing written the plain way, pixel by pixel, each
// pixel's vector computed from scratch in the documented order. Kept as the
// yardstick for the optimised functions of Compositing.h, which must produce
// the very same bytes; used by the tests and the benchmark, never shipped.
#pragma once

#include <cstdint>

#include "renderer/Compositing.h"

namespace uv {

void ReferenceGenerateNightPixels(const std::uint8_t* dayPixels, std::uint8_t* nightPixels, int width,
                                  int height);

void ReferenceComputeDayMask(std::uint8_t* maskBuffer, int width, int height, double subsolarLongitude,
                             double declination, double bandWidth);

// Blends into compositePixels (3 * width * height bytes).
void ReferenceBlendDayNight(const std::uint8_t* dayPixels, const std::uint8_t* nightPixels,
                            const std::uint8_t* maskBuffer, std::uint8_t* compositePixels, int width,
                            int height, RandomSource random);

}  // namespace uv
