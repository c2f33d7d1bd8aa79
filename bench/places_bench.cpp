// Cost of naming the town nearest to a photo's position: the search of the table's cells, next
// to a look at every town of the same table, over the same positions in one run. Prints
// microseconds per lookup and the ratio.
#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

#include "caption/places.h"
#include "support/place_scan.h"

using namespace mv;

namespace {

struct Position {
    double lat, lon;
};

// Half near towns, as photos are; half anywhere, most of it sea.
std::vector<Position> positions(int count) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> unit(-1, 1);
    std::vector<Position> out;
    for (int i = 0; i < count; ++i) {
        if (i % 2) {
            const places::Town& t = places::kTowns[random() % places::kTownCount];
            out.push_back({t.latitude / places::kUnitsPerDegree + 0.3 * unit(random),
                           t.longitude / places::kUnitsPerDegree + 0.3 * unit(random)});
        } else {
            out.push_back({89.9 * unit(random), 179.9 * unit(random)});
        }
    }
    return out;
}

template <class Lookup>
double microsecondsEach(const std::vector<Position>& at, int& named, Lookup&& lookup) {
    named = 0;
    const auto t0 = std::chrono::steady_clock::now();
    for (const Position& p : at) named += lookup(p.lat, p.lon).has_value();
    const double us = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count();
    return us / static_cast<double>(at.size());
}

}  // namespace

int main() {
    const std::vector<Position> at = positions(2000);
    int namedCells = 0, namedScan = 0;
    nearestPlace(0, 0);  // warm
    const double cells = microsecondsEach(at, namedCells, nearestPlace);
    const double scan = microsecondsEach(at, namedScan, test::nearestPlaceByScan);
    std::printf("towns in the table: %d\n", places::kTownCount);
    std::printf("positions: %zu, named: %d (cells) / %d (every town)\n", at.size(), namedCells, namedScan);
    std::printf("cell search:     %8.2f us per lookup\n", cells);
    std::printf("every town:      %8.2f us per lookup\n", scan);
    std::printf("ratio cell search / every town: %.4f\n", cells / scan);
    return namedCells == namedScan ? 0 : 1;
}
