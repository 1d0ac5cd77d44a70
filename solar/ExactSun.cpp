#include "solar/ExactSun.h"

#include <cmath>
#include <limits>

#include "solar/UtcCalendar.h"

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 6.283185307179586;
constexpr double kDeg = kPi / 180;
constexpr double kArcsec = kDeg / 3600;
// Julian day of 1970-01-01 00:00 UTC, and of the epoch J2000.0.
constexpr double kUnixEpochJd = 2440587.5;
constexpr double kJ2000 = 2451545.0;

// One periodic term of the theory: amplitude A (1e-8 radian or AU), phase B
// (radians) and frequency C (radians per Julian millennium).
struct Term {
    double a, b, c;
};

// The Earth's heliocentric longitude, latitude and radius in the dynamical
// ecliptic and equinox of date (VSOP87D), truncated to the terms that matter
// at the arc-second level over a few centuries.
// clang-format off
const Term kL0[] = {
    {175347046, 0, 0}, {3341656, 4.6692568, 6283.07585}, {34894, 4.6261, 12566.1517},
    {3497, 2.7441, 5753.3849}, {3418, 2.8289, 3.5231}, {3136, 3.6277, 77713.7715},
    {2676, 4.4181, 7860.4194}, {2343, 6.1352, 3930.2097}, {1324, 0.7425, 11506.7698},
    {1273, 2.0371, 529.691}, {1199, 1.1096, 1577.3435}, {990, 5.233, 5884.927},
    {902, 2.045, 26.298}, {857, 3.508, 398.149}, {780, 1.179, 5223.694},
    {753, 2.533, 5507.553}, {505, 4.583, 18849.228}, {492, 4.205, 775.523},
    {357, 2.92, 0.067}, {317, 5.849, 11790.629}, {284, 1.899, 796.298},
    {271, 0.315, 10977.079}, {243, 0.345, 5486.778}, {206, 4.806, 2544.314},
    {205, 1.869, 5573.143}, {202, 2.458, 6069.777}, {156, 0.833, 213.299},
    {132, 3.411, 2942.463}, {126, 1.083, 20.775}, {115, 0.645, 0.98},
    {103, 0.636, 4694.003}, {102, 0.976, 15720.839}, {102, 4.267, 7.114},
    {99, 6.21, 2146.17}, {98, 0.68, 155.42}, {86, 5.98, 161000.69},
    {85, 1.3, 6275.96}, {85, 3.67, 71430.7}, {80, 1.81, 17260.15},
    {79, 3.04, 12036.46}, {75, 1.76, 5088.63}, {74, 3.5, 3154.69},
    {74, 4.68, 801.82}, {70, 0.83, 9437.76}, {62, 3.98, 8827.39},
    {61, 1.82, 7084.9}, {57, 2.78, 6286.6}, {56, 4.39, 14143.5},
    {56, 3.47, 6279.55}, {52, 0.19, 12139.55}, {52, 1.33, 1748.02},
    {51, 0.28, 5856.48}, {49, 0.49, 1194.45}, {41, 5.37, 8429.24},
    {41, 2.4, 19651.05}, {39, 6.17, 10447.39}, {37, 6.04, 10213.29},
    {37, 2.57, 1059.38}, {36, 1.71, 2352.87}, {36, 1.78, 6812.77},
    {33, 0.59, 17789.85}, {30, 0.44, 83996.85}, {30, 2.74, 1349.87},
    {25, 3.16, 4690.48}};
const Term kL1[] = {
    {628331966747, 0, 0}, {206059, 2.678235, 6283.07585}, {4303, 2.6351, 12566.1517},
    {425, 1.59, 3.523}, {119, 5.796, 26.298}, {109, 2.966, 1577.344},
    {93, 2.59, 18849.23}, {72, 1.14, 529.69}, {68, 1.87, 398.15},
    {67, 4.41, 5507.55}, {59, 2.89, 5223.69}, {56, 2.17, 155.42},
    {45, 0.4, 796.3}, {36, 0.47, 775.52}, {29, 2.65, 7.11},
    {21, 5.34, 0.98}, {19, 1.85, 5486.78}, {19, 4.97, 213.3},
    {17, 2.99, 6275.96}, {16, 0.03, 2544.31}, {16, 1.43, 2146.17},
    {15, 1.21, 10977.08}, {12, 2.83, 1748.02}, {12, 3.26, 5088.63},
    {12, 5.27, 1194.45}, {12, 2.08, 4694.0}, {11, 0.77, 553.57},
    {10, 1.3, 6286.6}, {10, 4.24, 1349.87}, {9, 2.7, 242.73},
    {9, 5.64, 951.72}, {8, 5.3, 2352.87}, {6, 2.65, 9437.76},
    {6, 4.67, 4690.48}};
const Term kL2[] = {
    {52919, 0, 0}, {8720, 1.0721, 6283.0758}, {309, 0.867, 12566.152},
    {27, 0.05, 3.52}, {16, 5.19, 26.3}, {16, 3.68, 155.42},
    {10, 0.76, 18849.23}, {9, 2.06, 77713.77}, {7, 0.83, 775.52},
    {5, 4.66, 1577.34}, {4, 1.03, 7.11}, {4, 3.44, 5573.14},
    {3, 5.14, 796.3}, {3, 6.05, 5507.55}, {3, 1.19, 242.73},
    {3, 6.12, 529.69}, {3, 0.31, 398.15}, {3, 2.28, 553.57},
    {2, 4.38, 5223.69}, {2, 3.75, 0.98}};
const Term kL3[] = {{289, 5.844, 6283.076}, {35, 0, 0},         {17, 5.49, 12566.15},
                    {3, 5.2, 155.42},       {1, 4.72, 3.52},    {1, 5.3, 18849.23},
                    {1, 5.97, 242.73}};
const Term kL4[] = {{114, 3.142, 0}, {8, 4.13, 6283.08}, {1, 3.84, 12566.15}};
const Term kL5[] = {{1, 3.14, 0}};
const Term kB0[] = {{280, 3.199, 84334.662}, {102, 5.422, 5507.553}, {80, 3.88, 5223.69},
                    {44, 3.7, 2352.87},      {32, 4.0, 1577.34}};
const Term kB1[] = {{9, 3.9, 5507.55}, {6, 1.73, 5223.69}};
const Term kR0[] = {
    {100013989, 0, 0}, {1670700, 3.0984635, 6283.07585}, {13956, 3.05525, 12566.1517},
    {3084, 5.1985, 77713.7715}, {1628, 1.1739, 5753.3849}, {1576, 2.8469, 7860.4194},
    {925, 5.453, 11506.77}, {542, 4.564, 3930.21}, {472, 3.661, 5884.927},
    {346, 0.964, 5507.553}, {329, 5.9, 5223.694}, {307, 0.299, 5573.143},
    {243, 4.273, 11790.629}, {212, 5.847, 1577.344}, {186, 5.022, 10977.079},
    {175, 3.012, 18849.228}, {110, 5.055, 5486.778}, {98, 0.89, 6069.78},
    {86, 5.69, 15720.84}, {86, 1.27, 161000.69}, {65, 0.27, 17260.15},
    {63, 0.92, 529.69}, {57, 2.01, 83996.85}, {56, 5.24, 71430.7},
    {49, 3.25, 2544.31}, {47, 2.58, 775.52}, {45, 5.54, 9437.76},
    {43, 6.01, 6275.96}, {39, 5.36, 4694.0}, {38, 2.39, 8827.39},
    {37, 0.83, 19651.05}, {37, 4.9, 12139.55}, {36, 1.67, 12036.46},
    {35, 1.84, 2942.46}, {33, 0.24, 7084.9}, {32, 0.18, 5088.63},
    {32, 1.78, 398.15}, {28, 1.21, 6286.6}, {28, 1.9, 6279.55},
    {26, 4.59, 10447.39}};
const Term kR1[] = {{103019, 1.10749, 6283.07585}, {1721, 1.0644, 12566.1517},
                    {702, 3.142, 0},               {32, 1.02, 18849.23},
                    {31, 2.84, 5507.55},           {25, 1.32, 5223.69},
                    {18, 1.42, 1577.34},           {10, 5.91, 10977.08},
                    {9, 1.42, 6275.96},            {9, 0.27, 5486.78}};
const Term kR2[] = {{4359, 5.7846, 6283.0758}, {124, 5.579, 12566.152}, {12, 3.14, 0},
                    {9, 3.63, 77713.77},       {6, 1.87, 5573.14},      {3, 5.47, 18849.23}};
const Term kR3[] = {{145, 4.273, 6283.076}, {7, 3.92, 12566.15}};
const Term kR4[] = {{4, 2.56, 6283.08}};
// clang-format on

template <std::size_t N>
double Series(const Term (&terms)[N], double tau) {
    double sum = 0;
    for (const Term& term : terms) sum += term.a * std::cos(term.b + term.c * tau);
    return sum;
}

// A polynomial in tau whose coefficients are the series above, in 1e-8 units.
double Polynomial(const double* coefficients, int count, double tau) {
    double sum = 0;
    for (int i = count - 1; i >= 0; --i) sum = sum * tau + coefficients[i];
    return sum * 1e-8;
}

// Nutation in longitude and obliquity (IAU 1980), the terms above 0.005":
// multiples of D, M, M', F and Omega, then the sine coefficient of the
// longitude and its rate per century, the cosine coefficient of the
// obliquity and its rate, in units of 0.0001".
struct NutationTerm {
    signed char d, m, mp, f, om;
    double psi, psiRate, eps, epsRate;
};
const NutationTerm kNutation[] = {
    {0, 0, 0, 0, 1, -171996, -174.2, 92025, 8.9},
    {-2, 0, 0, 2, 2, -13187, -1.6, 5736, -3.1},
    {0, 0, 0, 2, 2, -2274, -0.2, 977, -0.5},
    {0, 0, 0, 0, 2, 2062, 0.2, -895, 0.5},
    {0, 1, 0, 0, 0, 1426, -3.4, 54, -0.1},
    {0, 0, 1, 0, 0, 712, 0.1, -7, 0},
    {-2, 1, 0, 2, 2, -517, 1.2, 224, -0.6},
    {0, 0, 0, 2, 1, -386, -0.4, 200, 0},
    {0, 0, 1, 2, 2, -301, 0, 129, -0.1},
    {-2, -1, 0, 2, 2, 217, -0.5, -95, 0.3},
    {-2, 0, 1, 0, 0, -158, 0, 0, 0},
    {-2, 0, 0, 2, 1, 129, 0.1, -70, 0},
    {0, 0, -1, 2, 2, 123, 0, -53, 0},
    {2, 0, 0, 0, 0, 63, 0, 0, 0},
    {0, 0, 1, 0, 1, 63, 0.1, -33, 0},
    {2, 0, -1, 2, 2, -59, 0, 26, 0},
    {0, 0, -1, 0, 1, -58, -0.1, 32, 0},
    {0, 0, 1, 2, 1, -51, 0, 27, 0},
    {-2, 0, 2, 0, 0, 48, 0, 0, 0},
    {0, 0, -2, 2, 1, 46, 0, -24, 0},
    {2, 0, 0, 2, 2, -38, 0, 16, 0},
    {0, 0, 2, 2, 2, -31, 0, 13, 0},
    {0, 0, 2, 0, 0, 29, 0, 0, 0},
    {-2, 0, 1, 2, 2, 29, 0, -12, 0},
    {0, 0, 0, 2, 0, 26, 0, 0, 0},
    {-2, 0, 0, 2, 0, -22, 0, 0, 0},
};

// Observed TT - UT1, seconds, every five years from 1900.
const double kDeltaT[] = {-2.8, 3.9,  10.5, 16.0, 21.2, 23.6, 24.0, 23.9, 24.3, 26.8, 29.2, 31.1, 33.2,
                          35.7, 40.2, 45.5, 50.5, 54.3, 56.9, 60.8, 63.8, 64.7, 66.1, 67.6, 69.4, 69.2};

double Reduce(double angle) {
    double r = std::fmod(angle, kTwoPi);
    return r < 0 ? r + kTwoPi : r;
}

}  // namespace

TimeScale TimeScaleAt(double unixSeconds) {
    double jdUt = kUnixEpochJd + unixSeconds / 86400.0;
    double year = 2000.0 + (jdUt - kJ2000) / 365.25;
    double jdTt = jdUt + DeltaTSeconds(year) / 86400.0;
    return {(jdTt - kJ2000) / 36525.0, (jdUt - kJ2000) / 36525.0, jdUt};
}

Nutation NutationAt(double T) {
    // Fundamental arguments, degrees.
    const double T2 = T * T, T3 = T2 * T;
    const double D = (297.85036 + 445267.111480 * T - 0.0019142 * T2 + T3 / 189474) * kDeg;
    const double M = (357.52772 + 35999.050340 * T - 0.0001603 * T2 - T3 / 300000) * kDeg;
    const double Mp = (134.96298 + 477198.867398 * T + 0.0086972 * T2 + T3 / 56250) * kDeg;
    const double F = (93.27191 + 483202.017538 * T - 0.0036825 * T2 + T3 / 327270) * kDeg;
    const double Om = (125.04452 - 1934.136261 * T + 0.0020708 * T2 + T3 / 450000) * kDeg;
    double dPsi = 0, dEps = 0;
    for (const NutationTerm& n : kNutation) {
        const double arg = n.d * D + n.m * M + n.mp * Mp + n.f * F + n.om * Om;
        dPsi += (n.psi + n.psiRate * T) * std::sin(arg);
        dEps += (n.eps + n.epsRate * T) * std::cos(arg);
    }
    dPsi *= 1e-4 * kArcsec;
    dEps *= 1e-4 * kArcsec;
    const double eps0 = (84381.448 - 46.8150 * T - 0.00059 * T2 + 0.001813 * T3) * kArcsec;
    return {dPsi, eps0 + dEps};
}

double ApparentSiderealTime(const TimeScale& time, const Nutation& nutation) {
    // Mean sidereal time from UT, plus the equation of the equinoxes.
    const double U = time.ut;
    const double gmstDegrees =
        280.46061837 + 360.98564736629 * (time.jdUt - kJ2000) + 0.000387933 * U * U - U * U * U / 38710000;
    return Reduce(gmstDegrees * kDeg + nutation.longitude * std::cos(nutation.obliquity));
}

void EclipticToEquatorial(double longitude, double latitude, double obliquity, double& rightAscension,
                          double& declination) {
    rightAscension = Reduce(
        std::atan2(std::sin(longitude) * std::cos(obliquity) - std::tan(latitude) * std::sin(obliquity),
                   std::cos(longitude)));
    declination = std::asin(std::sin(latitude) * std::cos(obliquity) +
                            std::cos(latitude) * std::sin(obliquity) * std::sin(longitude));
}

double DeltaTSeconds(double year) {
    const int count = static_cast<int>(sizeof kDeltaT / sizeof kDeltaT[0]);
    double x = (year - 1900.0) / 5.0;
    if (!(x > 0)) return kDeltaT[0];
    if (x >= count - 1) return kDeltaT[count - 1];
    int i = static_cast<int>(x);
    double f = x - i;
    return kDeltaT[i] + (kDeltaT[i + 1] - kDeltaT[i]) * f;
}

ApparentSun ComputeApparentSun(double unixSeconds) {
    const TimeScale c = TimeScaleAt(unixSeconds);
    const double T = c.tt;
    const double tau = T / 10;  // millennia

    const double lCoefficients[] = {Series(kL0, tau), Series(kL1, tau), Series(kL2, tau),
                                    Series(kL3, tau), Series(kL4, tau), Series(kL5, tau)};
    const double bCoefficients[] = {Series(kB0, tau), Series(kB1, tau)};
    const double rCoefficients[] = {Series(kR0, tau), Series(kR1, tau), Series(kR2, tau), Series(kR3, tau),
                                    Series(kR4, tau)};
    const double earthL = Polynomial(lCoefficients, 6, tau);
    const double earthB = Polynomial(bCoefficients, 2, tau);
    const double radius = Polynomial(rCoefficients, 5, tau);

    // Geocentric sun, then from the dynamical frame to FK5.
    double lambda = earthL + kPi;
    double beta = -earthB;
    const double lambdaPrime = lambda - (1.397 * T + 0.00031 * T * T) * kDeg;
    lambda += -0.09033 * kArcsec;
    beta += 0.03916 * kArcsec * (std::cos(lambdaPrime) - std::sin(lambdaPrime));

    // Nutation and annual aberration give the apparent longitude.
    const Nutation nutation = NutationAt(T);
    lambda += nutation.longitude - 20.4898 * kArcsec / radius;

    ApparentSun sun;
    EclipticToEquatorial(lambda, beta, nutation.obliquity, sun.rightAscension, sun.declination);
    sun.distance = radius;
    sun.longitude = Reduce(lambda);
    sun.siderealTime = ApparentSiderealTime(c, nutation);
    return sun;
}

void ExactSubsolarPoint(double unixSeconds, double& latitude, double& longitude) {
    const ApparentSun sun = ComputeApparentSun(unixSeconds);
    double lon = std::remainder(sun.rightAscension - sun.siderealTime, kTwoPi);
    latitude = sun.declination;
    longitude = lon;
}

namespace {

struct Place {
    double sinPhi, cosPhi, lambda;
};

// Local hour angle (radians, [-pi, pi]) and sine of the altitude of the sun.
void HourAngleAndAltitude(const Place& p, double s, double& hourAngle, double& sinAltitude) {
    double lat, lon;
    ExactSubsolarPoint(s, lat, lon);
    hourAngle = std::remainder(p.lambda - lon, kTwoPi);
    sinAltitude = p.sinPhi * std::sin(lat) + p.cosPhi * std::cos(lat) * std::cos(hourAngle);
}

// The moment near guess at which the local hour angle equals target.
double SolveHourAngle(const Place& p, double guess, double target) {
    double s = guess;
    for (int i = 0; i < 6; ++i) {
        double h, sinAlt;
        HourAngleAndAltitude(p, s, h, sinAlt);
        const double step = std::remainder(target - h, kTwoPi) / kTwoPi * 86400.0;
        s += step;
        if (std::fabs(step) < 0.01) break;
    }
    return s;
}

}  // namespace

bool ExactSunEvent(time_t t, double latitude, double longitude, bool sunrise, time_t& event,
                   double altitude) {
    if (!(std::fabs(latitude) <= 90) || !(std::fabs(longitude) <= 1e6) || !(std::fabs(altitude) < 90))
        return false;
    const double phi = latitude * kDeg;
    const Place place{std::sin(phi), std::cos(phi), std::remainder(longitude * kDeg, kTwoPi)};

    std::tm day;
    UtcBreakdown(static_cast<long long>(t), day);
    const double midnight =
        static_cast<double>(UtcCalendarSeconds(day.tm_year + 1900LL, day.tm_mon + 1, day.tm_mday, 0, 0, 0));
    // Mean-time noon at the longitude, as the simple formula counts it.
    const double meanNoon = midnight + (720.0 - 4.0 * longitude) * 60.0;
    const double transit = SolveHourAngle(place, meanNoon, 0.0);
    const double culmination = SolveHourAngle(place, transit + (sunrise ? -43200.0 : 43200.0), kPi);

    // From the lower culmination the altitude climbs to the transit (sunrise)
    // and falls from the transit to the next one (sunset).
    double up = transit, down = culmination;
    const double target = std::sin(altitude * kDeg);
    double h, sinUp, sinDown;
    HourAngleAndAltitude(place, up, h, sinUp);
    HourAngleAndAltitude(place, down, h, sinDown);
    if (!(sinUp > target && sinDown < target)) return false;

    // Regula falsi (Illinois) between a moment above and one below the altitude.
    double fUp = sinUp - target, fDown = sinDown - target;
    int side = 0;
    for (int i = 0; i < 60 && std::fabs(up - down) > 0.05; ++i) {
        const double s = up - fUp * (down - up) / (fDown - fUp);
        double f;
        HourAngleAndAltitude(place, s, h, f);
        f -= target;
        if (f > 0) {
            up = s;
            fUp = f;
            if (side == 1) fDown *= 0.5;
            side = 1;
        } else {
            down = s;
            fDown = f;
            if (side == -1) fUp *= 0.5;
            side = -1;
        }
        if (f == 0) break;
    }
    const double root = fDown == fUp ? up : up - fUp * (down - up) / (fDown - fUp);
    const double moment = std::floor(root + 0.5);
    if (moment < static_cast<double>(std::numeric_limits<time_t>::min()) ||
        moment > static_cast<double>(std::numeric_limits<time_t>::max()))
        return false;
    event = static_cast<time_t>(moment);
    return true;
}
