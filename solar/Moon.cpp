#include "solar/Moon.h"

#include <cmath>
#include <limits>
#include <vector>

#include "solar/ExactSun.h"

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 6.283185307179586;
constexpr double kDeg = kPi / 180;
constexpr double kAuKm = 149597870.7;
// The Earth's equatorial radius and the flattening of its ellipsoid, and the
// Moon's equatorial radius (its limb as seen from the Earth), km.
constexpr double kEarthRadius = 6378.1366;
constexpr double kEarthFlattening = 1 / 298.25642;
constexpr double kMoonRadius = 1738.1;
// Standard refraction at the horizon.
constexpr double kRefraction = 34.0 / 60 * kDeg;

// A term of the series: multiples of the mean elongation D, the sun's mean
// anomaly M, the Moon's mean anomaly M' and its argument of latitude F, then
// the coefficients of the sine in longitude (1e-6 degree) and of the cosine
// in distance (1e-3 km), or of the sine in latitude.
struct LongitudeTerm {
    signed char d, m, mp, f;
    int l, r;
};
struct LatitudeTerm {
    signed char d, m, mp, f;
    int b;
};

// clang-format off
const LongitudeTerm kLongitude[] = {
    {0, 0, 1, 0, 6288774, -20905355}, {2, 0, -1, 0, 1274027, -3699111}, {2, 0, 0, 0, 658314, -2955968},
    {0, 0, 2, 0, 213618, -569925},    {0, 1, 0, 0, -185116, 48888},     {0, 0, 0, 2, -114332, -3149},
    {2, 0, -2, 0, 58793, 246158},     {2, -1, -1, 0, 57066, -152138},   {2, 0, 1, 0, 53322, -170733},
    {2, -1, 0, 0, 45758, -204586},    {0, 1, -1, 0, -40923, -129620},   {1, 0, 0, 0, -34720, 108743},
    {0, 1, 1, 0, -30383, 104755},     {2, 0, 0, -2, 15327, 10321},      {0, 0, 1, 2, -12528, 0},
    {0, 0, 1, -2, 10980, 79661},      {4, 0, -1, 0, 10675, -34782},     {0, 0, 3, 0, 10034, -23210},
    {4, 0, -2, 0, 8548, -21636},      {2, 1, -1, 0, -7888, 24208},      {2, 1, 0, 0, -6766, 30824},
    {1, 0, -1, 0, -5163, -8379},      {1, 1, 0, 0, 4987, -16675},       {2, -1, 1, 0, 4036, -12831},
    {2, 0, 2, 0, 3994, -10445},       {4, 0, 0, 0, 3861, -11650},       {2, 0, -3, 0, 3665, 14403},
    {0, 1, -2, 0, -2689, -7003},      {2, 0, -1, 2, -2602, 0},          {2, -1, -2, 0, 2390, 10056},
    {1, 0, 1, 0, -2348, 6322},        {2, -2, 0, 0, 2236, -9884},       {0, 1, 2, 0, -2120, 5751},
    {0, 2, 0, 0, -2069, 0},           {2, -2, -1, 0, 2048, -4950},      {2, 0, 1, -2, -1773, 4130},
    {2, 0, 0, 2, -1595, 0},           {4, -1, -1, 0, 1215, -3958},      {0, 0, 2, 2, -1110, 0},
    {3, 0, -1, 0, -892, 3258},        {2, 1, 1, 0, -810, 2616},         {4, -1, -2, 0, 759, -1897},
    {0, 2, -1, 0, -713, -2117},       {2, 2, -1, 0, -700, 2354},        {2, 1, -2, 0, 691, 0},
    {2, -1, 0, -2, 596, 0},           {4, 0, 1, 0, 549, -1423},         {0, 0, 4, 0, 537, -1117},
    {4, -1, 0, 0, 520, -1571},        {1, 0, -2, 0, -487, -1739},       {2, 1, 0, -2, -399, 0},
    {0, 0, 2, -2, -381, -4421},       {1, 1, 1, 0, 351, 0},             {3, 0, -2, 0, -340, 0},
    {4, 0, -3, 0, 330, 0},            {2, -1, 2, 0, 327, 0},            {0, 2, 1, 0, -323, 1165},
    {1, 1, -1, 0, 299, 0},            {2, 0, 3, 0, 294, 0},             {2, 0, -1, -2, 0, 8752}};
const LatitudeTerm kLatitude[] = {
    {0, 0, 0, 1, 5128122}, {0, 0, 1, 1, 280602}, {0, 0, 1, -1, 277693}, {2, 0, 0, -1, 173237},
    {2, 0, -1, 1, 55413},  {2, 0, -1, -1, 46271}, {2, 0, 0, 1, 32573},  {0, 0, 2, 1, 17198},
    {2, 0, 1, -1, 9266},   {0, 0, 2, -1, 8822},  {2, -1, 0, -1, 8216},  {2, 0, -2, -1, 4324},
    {2, 0, 1, 1, 4200},    {2, 1, 0, -1, -3359}, {2, -1, -1, 1, 2463},  {2, -1, 0, 1, 2211},
    {2, -1, -1, -1, 2065}, {0, 1, -1, -1, -1870}, {4, 0, -1, -1, 1828}, {0, 1, 0, 1, -1794},
    {0, 0, 0, 3, -1749},   {0, 1, -1, 1, -1565}, {1, 0, 0, 1, -1491},   {0, 1, 1, 1, -1475},
    {0, 1, 1, -1, -1410},  {0, 1, 0, -1, -1344}, {1, 0, 0, -1, -1335},  {0, 0, 3, 1, 1107},
    {4, 0, 0, -1, 1021},   {4, 0, -1, 1, 833},   {0, 0, 1, -3, 777},    {4, 0, -2, 1, 671},
    {2, 0, 0, -3, 607},    {2, 0, 2, -1, 596},   {2, -1, 1, -1, 491},   {2, 0, -2, 1, -451},
    {0, 0, 3, -1, 439},    {2, 0, 2, 1, 422},    {2, 0, -3, -1, 421},   {2, 1, -1, 1, -366},
    {2, 1, 0, 1, -351},    {4, 0, 0, 1, 331},    {2, -1, 1, 1, 315},    {2, -2, 0, -1, 302},
    {0, 0, 1, 3, -283},    {2, 1, 1, -1, -229},  {1, 1, 0, -1, 223},    {1, 1, 0, 1, 223},
    {0, 1, -2, -1, -220},  {2, 1, -1, -1, -220}, {1, 0, 1, 1, -185},    {2, -1, -2, -1, 181},
    {0, 1, 2, 1, -177},    {4, 0, -2, -1, 176},  {4, -1, -1, -1, 166},  {1, 0, 1, -1, -164},
    {4, 0, 1, -1, 132},    {1, 0, -1, -1, -119}, {4, -1, 0, -1, 115},   {2, -2, 0, 1, 107}};
// clang-format on

// Degrees reduced to [0, 360) before they become radians, so that the large
// multiples of a century keep their precision.
double Radians(double degrees) {
    double r = std::fmod(degrees, 360.0);
    if (r < 0) r += 360.0;
    return r * kDeg;
}

double Reduce(double angle) {
    double r = std::fmod(angle, kTwoPi);
    return r < 0 ? r + kTwoPi : r;
}

}  // namespace

ApparentMoon ComputeApparentMoon(double unixSeconds) {
    const TimeScale time = TimeScaleAt(unixSeconds);
    const double T = time.tt, T2 = T * T, T3 = T2 * T, T4 = T3 * T;

    // Mean longitude (with the light time), mean elongation, the sun's and
    // the Moon's mean anomaly, argument of latitude, and three arguments of
    // the planets' and the Earth's flattening's action.
    const double Lp =
        Radians(218.3164477 + 481267.88123421 * T - 0.0015786 * T2 + T3 / 538841 - T4 / 65194000);
    const double D =
        Radians(297.8501921 + 445267.1114034 * T - 0.0018819 * T2 + T3 / 545868 - T4 / 113065000);
    const double M = Radians(357.5291092 + 35999.0502909 * T - 0.0001536 * T2 + T3 / 24490000);
    const double Mp = Radians(134.9633964 + 477198.8675055 * T + 0.0087414 * T2 + T3 / 69699 - T4 / 14712000);
    const double F =
        Radians(93.2720950 + 483202.0175233 * T - 0.0036539 * T2 - T3 / 3526000 + T4 / 863310000);
    const double A1 = Radians(119.75 + 131.849 * T);
    const double A2 = Radians(53.09 + 479264.290 * T);
    const double A3 = Radians(313.45 + 481266.484 * T);
    // The terms in M shrink with the eccentricity of the Earth's orbit.
    const double E = 1 - 0.002516 * T - 0.0000074 * T2;
    const double eccentricity[] = {1, E, E * E};

    double sumL = 0, sumR = 0, sumB = 0;
    for (const LongitudeTerm& t : kLongitude) {
        const double arg = t.d * D + t.m * M + t.mp * Mp + t.f * F;
        const double e = eccentricity[t.m < 0 ? -t.m : t.m];
        sumL += t.l * e * std::sin(arg);
        sumR += t.r * e * std::cos(arg);
    }
    for (const LatitudeTerm& t : kLatitude) {
        const double arg = t.d * D + t.m * M + t.mp * Mp + t.f * F;
        sumB += t.b * eccentricity[t.m < 0 ? -t.m : t.m] * std::sin(arg);
    }
    sumL += 3958 * std::sin(A1) + 1962 * std::sin(Lp - F) + 318 * std::sin(A2);
    sumB += -2235 * std::sin(Lp) + 382 * std::sin(A3) + 175 * std::sin(A1 - F) + 175 * std::sin(A1 + F) +
            127 * std::sin(Lp - Mp) - 115 * std::sin(Lp + Mp);

    const Nutation nutation = NutationAt(T);
    ApparentMoon moon;
    moon.longitude = Reduce(Lp + sumL * 1e-6 * kDeg + nutation.longitude);
    moon.latitude = sumB * 1e-6 * kDeg;
    moon.distance = 385000.56 + sumR * 1e-3;
    moon.horizontalParallax = std::asin(kEarthRadius / moon.distance);
    EclipticToEquatorial(moon.longitude, moon.latitude, nutation.obliquity, moon.rightAscension,
                         moon.declination);
    moon.siderealTime = ApparentSiderealTime(time, nutation);
    return moon;
}

void SublunarPoint(double unixSeconds, double& latitude, double& longitude) {
    const ApparentMoon moon = ComputeApparentMoon(unixSeconds);
    latitude = moon.declination;
    longitude = std::remainder(moon.rightAscension - moon.siderealTime, kTwoPi);
}

MoonPhase ComputeMoonPhase(double unixSeconds) {
    const ApparentMoon moon = ComputeApparentMoon(unixSeconds);
    const ApparentSun sun = ComputeApparentSun(unixSeconds);
    // Geocentric elongation psi, then the phase angle in the triangle of the
    // sun, the Moon and the Earth.
    const double cosPsi = std::sin(sun.declination) * std::sin(moon.declination) +
                          std::cos(sun.declination) * std::cos(moon.declination) *
                              std::cos(sun.rightAscension - moon.rightAscension);
    const double psi = std::acos(std::fmax(-1.0, std::fmin(1.0, cosPsi)));
    const double sunKm = sun.distance * kAuKm;
    MoonPhase phase;
    phase.phaseAngle = std::atan2(sunKm * std::sin(psi), moon.distance - sunKm * std::cos(psi));
    phase.illuminated = (1 + std::cos(phase.phaseAngle)) / 2;
    phase.elongation = Reduce(moon.longitude - sun.longitude);
    phase.waxing = phase.elongation < kPi;
    return phase;
}

const char* MoonPhaseName(double elongation) {
    static const char* const kNames[] = {"New Moon",  "Waxing Crescent", "First Quarter", "Waxing Gibbous",
                                         "Full Moon", "Waning Gibbous",  "Last Quarter",  "Waning Crescent"};
    double degrees = Reduce(elongation) / kDeg;
    if (!(degrees >= 0 && degrees < 360)) degrees = 0;
    // Principal phase k within 6 degrees of k * 90; else the one between.
    const int quarter = static_cast<int>(std::floor(degrees / 90 + 0.5)) % 4;
    if (std::fabs(degrees - quarter * 90.0) <= 6 || std::fabs(degrees - 360) <= 6) return kNames[2 * quarter];
    return kNames[(2 * static_cast<int>(degrees / 90) + 1) % 8];
}

namespace {

struct Observer {
    // Geocentric position in units of kEarthRadius (x toward the meridian,
    // z toward the north pole), the local vertical, and the longitude.
    double x, z, sinPhi, cosPhi, lambda;
};

Observer ObserverAt(double latitude, double longitude) {
    const double phi = latitude * kDeg;
    const double b = 1 - kEarthFlattening;
    const double c = 1 / std::sqrt(std::cos(phi) * std::cos(phi) + b * b * std::sin(phi) * std::sin(phi));
    return {c * std::cos(phi), b * b * c * std::sin(phi), std::sin(phi), std::cos(phi), longitude * kDeg};
}

// How far the upper limb stands above the apparent horizon, radians:
// positive while the Moon is up.
double LimbAltitude(const Observer& o, double s) {
    const ApparentMoon moon = ComputeApparentMoon(s);
    const double hourAngle = moon.siderealTime + o.lambda - moon.rightAscension;
    // The Moon in the frame of the local meridian (x toward its equator
    // point, z toward the pole), km, seen from the observer.
    const double r = moon.distance;
    const double x = r * std::cos(moon.declination) * std::cos(hourAngle) - o.x * kEarthRadius;
    const double y = -r * std::cos(moon.declination) * std::sin(hourAngle);
    const double z = r * std::sin(moon.declination) - o.z * kEarthRadius;
    const double range = std::sqrt(x * x + y * y + z * z);
    const double sinAltitude = std::fmax(-1.0, std::fmin(1.0, (x * o.cosPhi + z * o.sinPhi) / range));
    return std::asin(sinAltitude) + std::asin(kMoonRadius / range) + kRefraction;
}

// The root of the limb altitude between a and b (of opposite signs fa, fb),
// to a few hundredths of a second (Illinois regula falsi).
double Root(const Observer& o, double a, double fa, double b, double fb) {
    int side = 0;
    for (int i = 0; i < 60 && b - a > 0.02; ++i) {
        const double s = a - fa * (b - a) / (fb - fa);
        const double f = LimbAltitude(o, s);
        if ((f > 0) == (fa > 0)) {
            a = s;
            fa = f;
            if (side == -1) fb *= 0.5;
            side = -1;
        } else {
            b = s;
            fb = f;
            if (side == 1) fa *= 0.5;
            side = 1;
        }
        if (f == 0) return s;
    }
    return fb == fa ? a : a - fa * (b - a) / (fb - fa);
}

constexpr double kStep = 1800;  // half an hour: the limb altitude is smooth over it
constexpr double kLongestWindow = 10 * 86400.0;

// Moments are doubles here, so that no window overflows a 32-bit time_t.
MoonRiseSet FindRiseSet(double from, double to, double latitude, double longitude) {
    MoonRiseSet result{false, false, 0, 0};
    if (!(std::fabs(latitude) <= 90) || !(std::fabs(longitude) <= 360) || !(to > from) ||
        to - from > kLongestWindow)
        return result;
    const Observer o = ObserverAt(latitude, longitude);
    const double tmin = static_cast<double>(std::numeric_limits<time_t>::min());
    const double tmax = static_cast<double>(std::numeric_limits<time_t>::max());
    // A root rounds to a whole second; look half a second beyond the window.
    const double start = from - 0.5, end = to + 0.5;
    auto take = [&](double root, bool rise) {
        const double moment = std::floor(root + 0.5);
        if (moment < from || moment >= to || moment < tmin || moment > tmax) return;
        bool& found = rise ? result.rises : result.sets;
        time_t& at = rise ? result.rise : result.set;
        if (found && static_cast<double>(at) <= moment) return;
        found = true;
        at = static_cast<time_t>(moment);
    };
    // Samples every kStep; a sign change between two is one event. Where the
    // altitude turns between samples of one sign, it may just cross the
    // horizon and come back (a grazing set and rise): the vertex of the
    // parabola through three samples tells.
    const int n = static_cast<int>(std::ceil((end - start) / kStep));
    std::vector<double> s(n + 1), f(n + 1);
    for (int i = 0; i <= n; ++i) {
        s[i] = i == n ? end : start + i * kStep;
        f[i] = LimbAltitude(o, s[i]);
    }
    for (int i = 0; i < n; ++i) {
        if ((f[i] > 0) != (f[i + 1] > 0)) take(Root(o, s[i], f[i], s[i + 1], f[i + 1]), f[i + 1] > 0);
    }
    for (int i = 0; i + 2 <= n; ++i) {
        const double a = f[i], b = f[i + 1], c = f[i + 2];
        if ((a > 0) != (b > 0) || (b > 0) != (c > 0)) continue;
        // The vertex of the parabola through the three samples, in steps
        // from the middle one.
        const double curvature = a - 2 * b + c;
        if (curvature == 0) continue;
        const double u = (a - c) / (2 * curvature);
        if (!(u > -1 && u < 1)) continue;
        const double sv = s[i + 1] + u * (u < 0 ? s[i + 1] - s[i] : s[i + 2] - s[i + 1]);
        const double fv = LimbAltitude(o, sv);
        if ((fv > 0) == (b > 0)) continue;
        take(Root(o, s[i], a, sv, fv), fv > 0);
        take(Root(o, sv, fv, s[i + 2], c), c > 0);
    }
    return result;
}

}  // namespace

MoonRiseSet MoonRiseSetBetween(time_t from, time_t to, double latitude, double longitude) {
    return FindRiseSet(static_cast<double>(from), static_cast<double>(to), latitude, longitude);
}

MoonRiseSet NextMoonRiseSet(time_t t, double latitude, double longitude) {
    const double from = static_cast<double>(t) + 1;
    return FindRiseSet(from, from + 172800, latitude, longitude);
}
