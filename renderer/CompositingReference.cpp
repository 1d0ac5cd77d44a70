#include "renderer/CompositingReference.h"

#include <cmath>

#include "renderer/Geometry.h"

namespace uv {
namespace {

constexpr double kPi = 3.141592653589793;
constexpr float kInv255 = 0.003921568859368563f;
constexpr float kInv32767 = 3.0518509447574615e-05f;

}  // namespace

void ReferenceGenerateNightPixels(const std::uint8_t* day, std::uint8_t* night, int width, int height) {
    for (int i = 0; i < width; ++i) {
        for (int j = 0; j < height; ++j) {
            const int p = 3 * (width * j + i);
            int v = day[p + 2];
            if (day[p + 1] > v) v = day[p + 1];
            if ((day[p] >> 2) > v) v = day[p] >> 2;
            const int b = static_cast<int>(std::sqrt(v * kInv255) * 255.0);
            night[p + 2] = static_cast<std::uint8_t>(b / 4);
            night[p + 1] = static_cast<std::uint8_t>(b / 4);
            night[p] = static_cast<std::uint8_t>(b / 2);
        }
    }
}

void ReferenceComputeDayMask(std::uint8_t* mask, int width, int height, double subsolarLongitude,
                             double declination, double bandWidth) {
    const Vector3f sun = SphericalToCartesian(static_cast<float>(declination + kPi / 2),
                                              static_cast<float>(subsolarLongitude), 1.0f);
    for (int i = 0; i < width; ++i) {
        for (int j = 0; j < height; ++j) {
            const Vector3f pixel = SphericalToCartesian(static_cast<float>(kPi * j / height),
                                                        static_cast<float>(2 * kPi * i / width - kPi), 1.0f);
            const float d = pixel.x * sun.x + pixel.y * sun.y + pixel.z * sun.z;
            int weight;
            if (bandWidth > 0.001) {
                const double u = d / std::sin(bandWidth * kPi / 2);
                if (u > 1) {
                    weight = 255;
                } else {
                    const float uf = static_cast<float>(u);
                    if (uf < -1) {
                        weight = 0;
                    } else {
                        weight = 255 - static_cast<int>(255.0 * std::cos((uf + 1.0) * 0.5 * (kPi / 2)));
                    }
                }
            } else {
                weight = d >= 0 ? 255 : 0;
            }
            mask[3 * (width * j + i) + 2] = static_cast<std::uint8_t>(weight);
        }
    }
}

void ReferenceBlendDayNight(const std::uint8_t* day, const std::uint8_t* night, const std::uint8_t* mask,
                            std::uint8_t* out, int width, int height, RandomSource random) {
    for (int i = 0; i < width; ++i) {
        for (int j = 0; j < height; ++j) {
            const int p = 3 * (width * j + i);
            const float m = mask[p + 2] * kInv255;
            float v[3];
            for (int c = 0; c < 3; ++c) v[c] = (1 - m) * night[p + c] + m * day[p + c];
            const float r = random() * kInv32767;
            // Red, green, blue: the order the dithering is defined in.
            for (int c = 2; c >= 0; --c) {
                if (v[c] - std::trunc(v[c]) > r) v[c] += 1.0f;
            }
            for (int c = 0; c < 3; ++c) out[p + c] = static_cast<std::uint8_t>(std::trunc(v[c]));
        }
    }
}

}  // namespace uv
