#include "base/plane_coordinates.h"

#include <cmath>

namespace velk {

namespace {

constexpr double kSemiMajorAxis = 6377397.155;          // Bessel 1841, m
constexpr double kSecondEccentricity2 = 0.006719218798677;
constexpr double kScaleFactor = 0.9999;
constexpr double kArcSecond = 4.84813681109536e-6;     // radians

// The meridian arc series: a (1 - e^2) times these terms in phi, sin 2phi ... sin 10phi.
constexpr double kArcFactor = 6334832.0325206;
constexpr double kArcA = 1.005037306048555;
constexpr double kArcB = 0.00252392462015;
constexpr double kArcC = 2.64094670775e-6;
constexpr double kArcD = 3.438887e-9;
constexpr double kArcE = 4.856625e-12;
constexpr double kArcF = 7.0e-15;

struct ZoneOrigin {
    int latitudeDegrees;
    int latitudeMinutes;
    int longitudeDegrees;
    int longitudeMinutes;
};

// Zones 1..19 of the standard, origins as degrees and minutes.
constexpr ZoneOrigin kZones[kPlaneZoneLast] = {
    {33, 0, 129, 30}, {33, 0, 131, 0},  {36, 0, 132, 10}, {33, 0, 133, 30}, {36, 0, 134, 20},
    {36, 0, 136, 0},  {36, 0, 137, 10}, {36, 0, 138, 30}, {36, 0, 139, 50}, {40, 0, 140, 50},
    {44, 0, 140, 15}, {44, 0, 142, 15}, {44, 0, 144, 15}, {26, 0, 142, 0},  {26, 0, 127, 30},
    {26, 0, 124, 0},  {26, 0, 131, 0},  {20, 0, 136, 0},  {26, 0, 154, 0},
};

double ToRadians(int degrees, int minutes) { return (degrees * 3600.0 + minutes * 60.0) * kArcSecond; }

}  // namespace

double MeridianArc(double phi)
{
    return kArcFactor * (kArcA * phi - kArcB * std::sin(2.0 * phi) + kArcC * std::sin(4.0 * phi) -
                         kArcD * std::sin(6.0 * phi) + kArcE * std::sin(8.0 * phi) - kArcF * std::sin(10.0 * phi));
}

bool LatLonToPlaneXY(double phi, double lambda, int zone, double& x, double& y)
{
    if (!IsPlaneZone(zone) || !std::isfinite(phi) || !std::isfinite(lambda)) return false;
    const ZoneOrigin& z = kZones[zone - 1];
    const double phi0 = ToRadians(z.latitudeDegrees, z.latitudeMinutes);
    const double lambda0 = ToRadians(z.longitudeDegrees, z.longitudeMinutes);

    const double s = std::sin(phi);
    const double c = std::cos(phi);
    const double t = std::tan(phi);
    const double t2 = t * t;
    const double eta2 = kSecondEccentricity2 * c * c;
    // Radius of curvature in the prime vertical: a / sqrt(1 - e^2 sin^2 phi), written with the
    // second eccentricity: c0 / sqrt(1 + e'^2 cos^2 phi), c0 = a sqrt(1 + e'^2).
    const double n = kSemiMajorAxis * std::sqrt(1.0 + kSecondEccentricity2) / std::sqrt(1.0 + eta2);
    const double l = lambda - lambda0;
    const double l2 = l * l;
    const double c2 = c * c;

    const double north = MeridianArc(phi) - MeridianArc(phi0) +
                         n * s * c * l2 / 2.0 *
                             (1.0 + c2 * l2 / 12.0 * (5.0 - t2 + 9.0 * eta2 + 4.0 * eta2 * eta2) +
                              c2 * c2 * l2 * l2 / 360.0 * (61.0 - 58.0 * t2 + t2 * t2 + 270.0 * eta2 - 330.0 * t2 * eta2));
    const double east = n * c * l *
                        (1.0 + c2 * l2 / 6.0 * (1.0 - t2 + eta2) +
                         c2 * c2 * l2 * l2 / 120.0 * (5.0 - 18.0 * t2 + t2 * t2 + 14.0 * eta2 - 58.0 * t2 * eta2));
    x = kScaleFactor * north;
    y = kScaleFactor * east;
    return true;
}

}  // namespace velk
