#pragma once
// Where a photo was taken, in words: the nearest town of the table the program carries, found
// offline.
#include <optional>
#include <string>

namespace mv {

struct Place {
    std::string town;     // UTF-8
    std::string country;  // the country's English name
    double kilometres = 0;  // from the position to the town, along the earth's surface
};

// Farther than this from every town of the table (open sea, ice, empty land) there is no place
// to name: the nearest town would only mislead.
constexpr double kMaxPlaceKilometres = 100;

// The town nearest to a position in degrees (north and east positive) by great-circle
// distance, or none when no town lies within kMaxPlaceKilometres or the position is not one
// (not a number, latitude beyond ±90, longitude beyond ±180).
std::optional<Place> nearestPlace(double latitude, double longitude);

// Great-circle distance in kilometres between two positions in degrees, on a sphere of the
// earth's mean radius.
double greatCircleKilometres(double lat1, double lon1, double lat2, double lon2);

}  // namespace mv
