#pragma once
// The Japanese plane rectangular coordinate system: a transverse Mercator (Gauss-Krüger)
// projection on the Bessel 1841 ellipsoid with scale factor 0.9999 on the central meridian,
// in 19 zones, each with its own origin.

namespace velk {

constexpr int kPlaneZoneFirst = 1;
constexpr int kPlaneZoneLast = 19;

inline bool IsPlaneZone(int zone) { return zone >= kPlaneZoneFirst && zone <= kPlaneZoneLast; }

// Latitude and longitude in radians to x (northing) and y (easting) in metres from the origin
// of `zone`. False, with x and y left as they were, for a zone outside 1..19 or a position that
// is not finite.
bool LatLonToPlaneXY(double latitude, double longitude, int zone, double& x, double& y);

// The meridian arc from the equator to `latitude` (radians), metres, without the scale factor.
double MeridianArc(double latitude);

}  // namespace velk
