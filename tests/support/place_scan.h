#pragma once
// The nearest town by looking at every town of the table: what the cell search must agree with.
#include <optional>

#include "caption/places.h"
#include "caption/places_table.h"

namespace mv::test {

inline std::optional<Place> nearestPlaceByScan(double lat, double lon) {
    const places::Town* best = nullptr;
    double bestKm = kMaxPlaceKilometres;
    for (int i = 0; i < places::kTownCount; ++i) {
        const places::Town& t = places::kTowns[i];
        const double km = greatCircleKilometres(lat, lon, t.latitude / places::kUnitsPerDegree,
                                                t.longitude / places::kUnitsPerDegree);
        if (km < bestKm) best = &t, bestKm = km;
    }
    if (!best) return std::nullopt;
    return Place{places::townName(*best), places::townCountry(*best), bestKm};
}

}  // namespace mv::test
