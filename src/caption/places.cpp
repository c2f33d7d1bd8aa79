#include "caption/places.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "caption/places_table.h"

namespace mv {

namespace {

constexpr double kEarthRadiusKm = 6371.0088;
constexpr double kRadiansPerDegree = std::numbers::pi / 180;
constexpr int kRows = 180, kColumns = 360;

// The cell of a position in table units; the table is sorted by this number.
int cellOf(int64_t latitude, int64_t longitude) {
    const auto floorDegrees = [](int64_t units) {
        const int64_t scale = static_cast<int64_t>(places::kUnitsPerDegree);
        return units >= 0 ? units / scale : -((-units + scale - 1) / scale);
    };
    const int row = static_cast<int>(std::clamp<int64_t>(floorDegrees(latitude) + 90, 0, kRows - 1));
    const int column = static_cast<int>(std::clamp<int64_t>(floorDegrees(longitude) + 180, 0, kColumns - 1));
    return row * kColumns + column;
}

int cellOf(const places::Town& t) { return cellOf(t.latitude, t.longitude); }

struct Nearest {
    const places::Town* town = nullptr;
    double kilometres = kMaxPlaceKilometres;
};

// Looks at every town of the cells first..last (inclusive) of one latitude row.
void searchCells(int row, int first, int last, double lat, double lon, Nearest& best) {
    const places::Town* begin = places::kTowns;
    const places::Town* end = places::kTowns + places::kTownCount;
    const int firstCell = row * kColumns + first, lastCell = row * kColumns + last;
    const places::Town* t = std::lower_bound(begin, end, firstCell,
                                             [](const places::Town& town, int cell) { return cellOf(town) < cell; });
    for (; t != end && cellOf(*t) <= lastCell; ++t) {
        const double km = greatCircleKilometres(lat, lon, t->latitude / places::kUnitsPerDegree,
                                                t->longitude / places::kUnitsPerDegree);
        if (km < best.kilometres) {
            best.town = t;
            best.kilometres = km;
        }
    }
}

}  // namespace

double greatCircleKilometres(double lat1, double lon1, double lat2, double lon2) {
    const double dLat = (lat2 - lat1) * kRadiansPerDegree, dLon = (lon2 - lon1) * kRadiansPerDegree;
    const double s = std::sin(dLat / 2), t = std::sin(dLon / 2);
    const double h = s * s + std::cos(lat1 * kRadiansPerDegree) * std::cos(lat2 * kRadiansPerDegree) * t * t;
    return 2 * kEarthRadiusKm * std::asin(std::min(1.0, std::sqrt(h)));
}

// Searches only the cells the circle of kMaxPlaceKilometres around the position touches: a
// band of latitude rows, and in each the longitudes the circle spans at its widest, all of
// them when it reaches a pole.
std::optional<Place> nearestPlace(double lat, double lon) {
    if (!(lat >= -90 && lat <= 90 && lon >= -180 && lon <= 180)) return std::nullopt;  // NaN too
    const double radius = kMaxPlaceKilometres / kEarthRadiusKm;  // radians
    const double reachDegrees = radius / kRadiansPerDegree;
    constexpr double kMargin = 0.01;  // degrees, against rounding at a cell's edge
    const int firstRow = std::max(0, static_cast<int>(std::floor(lat - reachDegrees - kMargin)) + 90);
    const int lastRow = std::min(kRows - 1, static_cast<int>(std::floor(lat + reachDegrees + kMargin)) + 90);
    double spanDegrees = 180;
    if (std::abs(lat) + reachDegrees < 90) {
        const double ratio = std::sin(radius) / std::cos(lat * kRadiansPerDegree);
        if (ratio < 1) spanDegrees = std::asin(ratio) / kRadiansPerDegree + kMargin;
    }
    Nearest best;
    for (int row = firstRow; row <= lastRow; ++row) {
        if (spanDegrees >= 180) {
            searchCells(row, 0, kColumns - 1, lat, lon, best);
            continue;
        }
        const int first = static_cast<int>(std::floor(lon - spanDegrees)) + 180;
        const int last = static_cast<int>(std::floor(lon + spanDegrees)) + 180;
        // Across the antimeridian the span is two runs of cells.
        if (first < 0) searchCells(row, first + kColumns, kColumns - 1, lat, lon, best);
        if (last >= kColumns) searchCells(row, 0, last - kColumns, lat, lon, best);
        searchCells(row, std::max(first, 0), std::min(last, kColumns - 1), lat, lon, best);
    }
    if (!best.town) return std::nullopt;
    return Place{places::townName(*best.town), places::townCountry(*best.town), best.kilometres};
}

}  // namespace mv
