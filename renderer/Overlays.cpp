#include "renderer/Overlays.h"

#include <cmath>

#include "renderer/Geometry.h"

namespace uv {

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 6.283185307179586;
constexpr double kInvTwoPi = 0.15915494309189535;
constexpr double kInvPi = 0.3183098861837907;

// Just short of a quarter turn: the curve lies 89.991 degrees from the
// antisolar point.
constexpr float kTerminatorPolarAngle = 1.5706392526626587f;
constexpr float kTwoPiF = 6.2831854820251465f;

LineSegment Vertical(const OverlayView& v, PixelPoint p) { return {{p.x, 0}, {p.x, v.targetHeight}}; }
LineSegment Horizontal(const OverlayView& v, PixelPoint p) {
    return {{v.LineLeft(), p.y}, {v.LineRight(), p.y}};
}

}  // namespace

RotationMatrix RotationY(float a) {
    const float c = static_cast<float>(std::cos(static_cast<double>(a)));
    const float s = static_cast<float>(std::sin(static_cast<double>(a)));
    return {{{c, 0.0f, -s}, {0.0f, 1.0f, 0.0f}, {s, 0.0f, c}}};
}

RotationMatrix RotationZ(float b) {
    const float c = static_cast<float>(std::cos(static_cast<double>(b)));
    const float s = static_cast<float>(std::sin(static_cast<double>(b)));
    return {{{c, s, 0.0f}, {-s, c, 0.0f}, {0.0f, 0.0f, 1.0f}}};
}

RotationMatrix Multiply(const RotationMatrix& a, const RotationMatrix& b) {
    RotationMatrix r{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            float sum = 0.0f;
            for (int k = 0; k < 3; ++k) sum += a.m[i][k] * b.m[k][j];
            r.m[i][j] = sum;
        }
    return r;
}

Vector3f Multiply(const RotationMatrix& a, const Vector3f& v) {
    return {a.m[0][0] * v.x + a.m[0][1] * v.y + a.m[0][2] * v.z,
            a.m[1][0] * v.x + a.m[1][1] * v.y + a.m[1][2] * v.z,
            a.m[2][0] * v.x + a.m[2][1] * v.y + a.m[2][2] * v.z};
}

SphericalPoint CartesianToSpherical(float x, float y, float z) {
    // Double precision rounded once, so every C runtime gives the same floats.
    const double r =
        std::sqrt(static_cast<double>(x) * x + static_cast<double>(y) * y + static_cast<double>(z) * z);
    SphericalPoint p;
    p.radius = static_cast<float>(r);
    double c = r > 0.0 ? z / r : 1.0;
    c = c > 1.0 ? 1.0 : c < -1.0 ? -1.0 : c;
    p.polarAngle = static_cast<float>(std::acos(c));
    p.azimuth =
        x == 0.0f ? 0.0f : static_cast<float>(std::atan2(static_cast<double>(y), static_cast<double>(x)));
    return p;
}

std::vector<LineSegment> GridLines(const OverlayView& v, float longitudeStep, float latitudeStep) {
    std::vector<LineSegment> lines;
    if (!(longitudeStep > 0.0f) || !(latitudeStep > 0.0f)) return lines;
    const int shift = v.Shift();
    auto project = [&](float lat, float lon) {
        return ProjectLatLon(v.targetWidth, v.targetHeight, v.scaleX, v.scaleY, shift, lat, lon);
    };
    const int nLon = static_cast<int>(180.0f / longitudeStep);
    const int nLat = static_cast<int>(90.0f / latitudeStep);
    for (int k = 0; k <= nLon; ++k) {
        const float g = static_cast<float>(k) * longitudeStep;
        for (float lon : {static_cast<float>(static_cast<int>(-g)), static_cast<float>(static_cast<int>(g))})
            lines.push_back(Vertical(v, project(0.0f, lon)));
    }
    for (int k = 0; k <= nLat; ++k) {
        const float g = static_cast<float>(k) * latitudeStep;
        for (float lat : {static_cast<float>(static_cast<int>(-g)), static_cast<float>(static_cast<int>(g))})
            lines.push_back(Horizontal(v, project(lat, 0.0f)));
    }
    return lines;
}

namespace {

// The small circle at polarAngle from the antisolar point, as Wt + 1 samples.
std::vector<PathStep> AntisolarCirclePath(const OverlayView& v, float polarAngle) {
    std::vector<PathStep> path;
    const int wt = v.targetWidth;
    const int ht = v.targetHeight;
    if (wt <= 0 || ht <= 0) return path;
    const int shift = v.Shift();
    const RotationMatrix m = Multiply(RotationZ(static_cast<float>(kTwoPi - v.subsolarLongitude)),
                                      RotationY(static_cast<float>(v.declination + kPi / 2)));
    const float e = (v.scaleX - 1.0f) * 0.5f;
    const int q1 = wt / 4;
    const int q3 = 3 * wt / 4;
    const int xCorrection = static_cast<int>(static_cast<float>(wt) * e);
    const int left = v.LineLeft();
    const int right = v.LineRight();
    int prevXw = 0;
    int prevY = 0;
    path.reserve(static_cast<std::size_t>(wt) + 8);
    for (int h = 0; h <= wt; ++h) {
        const float azimuth = static_cast<float>(h) / static_cast<float>(wt) * kTwoPiF;
        const Vector3f q = Multiply(m, SphericalToCartesian(polarAngle, azimuth, 1.0f));
        const SphericalPoint s = CartesianToSpherical(q.x, q.y, q.z);
        const int x = static_cast<int>((s.azimuth + kPi) * kInvTwoPi * wt);
        const int y = static_cast<int>(s.polarAngle * kInvPi * ht);
        const int xw = (x + shift) % wt;
        const PixelPoint p{static_cast<int>(static_cast<float>(xw) * v.scaleX) - xCorrection,
                           static_cast<int>(static_cast<float>(y) * v.scaleY)};
        if (h == 0) {
            path.push_back({true, p});
        } else {
            if (prevXw >= q3 && xw <= q1) {
                path.push_back({false, {right, prevY}});
                path.push_back({true, {left, prevY}});
            } else if (prevXw <= q1 && xw >= q3) {
                path.push_back({false, {left, prevY}});
                path.push_back({true, {right, prevY}});
            }
            path.push_back({false, p});
        }
        prevXw = xw;
        prevY = p.y;
    }
    return path;
}

}  // namespace

std::vector<PathStep> DawnDuskPath(const OverlayView& v) {
    return AntisolarCirclePath(v, kTerminatorPolarAngle);
}

std::vector<PathStep> TwilightPath(const OverlayView& v, double depthDegrees) {
    // The sun stands depth below the horizon at 90 - depth degrees from the
    // antisolar point.
    if (!(depthDegrees > 0 && depthDegrees < 90)) return {};
    return AntisolarCirclePath(v, static_cast<float>((90.0 - depthDegrees) * (kPi / 180)));
}

LineSegment MiddayLine(const OverlayView& v) {
    const float lon = static_cast<float>(OverlayDegrees(v.subsolarLongitude));
    return Vertical(v, v.Project(0.0f, lon));
}

LineSegment MidnightLine(const OverlayView& v) {
    const float lon = static_cast<float>(OverlayDegrees(v.subsolarLongitude) + 180.0);
    return Vertical(v, v.Project(0.0f, lon));
}

LineSegment SunLatitudeLine(const OverlayView& v) {
    const float lat = static_cast<float>(OverlayDegrees(v.declination));
    return Horizontal(v, v.Project(lat, 0.0f));
}

}  // namespace uv
