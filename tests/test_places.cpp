#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>
#include <random>
#include <string>

#include "caption/places.h"
#include "caption/places_table.h"
#include "support/place_scan.h"

namespace mv {
namespace {

std::string placeText(const std::optional<Place>& p) { return p ? p->town + ", " + p->country : "(none)"; }

TEST(Places, NamesTheTownAndItsCountry) {
    EXPECT_EQ(placeText(nearestPlace(48.8566, 2.3522)), "Paris, France");
    EXPECT_EQ(placeText(nearestPlace(-33.8688, 151.2093)), "Sydney, Australia");
    EXPECT_EQ(placeText(nearestPlace(40.7128, -74.0060)), "New York, United States of America");
    // Either side of the Rhine between Strasbourg and Kehl.
    EXPECT_EQ(placeText(nearestPlace(48.5800, 7.7700)), "Strasbourg, France");
    EXPECT_EQ(placeText(nearestPlace(48.5720, 7.8150)), "Kehl, Germany");
    // West of the antimeridian, the nearest town is east of it (Labasa, at 179.38° E).
    EXPECT_EQ(placeText(nearestPlace(-16.40, -179.95)), "Labasa, Fiji");
    const auto labasa = nearestPlace(-16.40, -179.95);
    ASSERT_TRUE(labasa);
    EXPECT_NEAR(labasa->kilometres, 71, 3);
}

TEST(Places, NoPlaceFarFromTownsOrForNoPosition) {
    EXPECT_FALSE(nearestPlace(0, -140));    // the Pacific
    EXPECT_FALSE(nearestPlace(90, 0));      // the North Pole
    EXPECT_FALSE(nearestPlace(-90, 123));   // the South Pole
    EXPECT_FALSE(nearestPlace(89.99, 180));
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    EXPECT_FALSE(nearestPlace(nan, 2.35));
    EXPECT_FALSE(nearestPlace(48.85, nan));
    EXPECT_FALSE(nearestPlace(inf, 0));
    EXPECT_FALSE(nearestPlace(48.85, -inf));
    EXPECT_FALSE(nearestPlace(90.5, 2.35));
    EXPECT_FALSE(nearestPlace(48.85, 182.35));  // Paris's longitude plus 180 would be no place, either
}

// Positions near towns (where cells' edges matter), anywhere on earth, and along the
// antimeridian and the polar circles: the cell search finds what a look at every town finds.
TEST(Places, AgreesWithALookAtEveryTown) {
    std::mt19937 random(33);
    std::uniform_real_distribution<double> unit(-1, 1);
    int named = 0;
    for (int i = 0; i < 600; ++i) {
        double lat, lon;
        if (i % 3 == 0) {
            const places::Town& t = places::kTowns[random() % places::kTownCount];
            lat = std::clamp(t.latitude / places::kUnitsPerDegree + 1.2 * unit(random), -90.0, 90.0);
            lon = t.longitude / places::kUnitsPerDegree + 1.2 * unit(random);
            lon = lon > 180 ? lon - 360 : lon < -180 ? lon + 360 : lon;
        } else if (i % 3 == 1) {
            lat = std::asin(unit(random)) * 180 / std::numbers::pi;
            lon = 180 * unit(random);
        } else {
            lat = (i % 2 ? 66 : -16) + 5 * unit(random);
            const double side = unit(random) < 0 ? -1 : 1;
            lon = i % 4 == 2 ? side * (180 - std::abs(unit(random))) : 180 * unit(random);
        }
        const auto cells = nearestPlace(lat, lon), scan = test::nearestPlaceByScan(lat, lon);
        ASSERT_EQ(cells.has_value(), scan.has_value()) << lat << ", " << lon;
        if (!cells) continue;
        ++named;
        ASSERT_NEAR(cells->kilometres, scan->kilometres, 1e-9) << lat << ", " << lon << ": " << placeText(cells)
                                                               << " against " << placeText(scan);
    }
    EXPECT_GT(named, 200);
}

// The table is whole, its entries are sound and in the order the search relies on, and it
// stays small enough to carry.
TEST(Places, TableIsWholeSortedAndSmall) {
    EXPECT_GT(places::kTownCount, 20000);
    EXPECT_LT(places::kTownCount, 40000);
    size_t nameBytes = 0;
    int previousCell = -1;
    for (int i = 0; i < places::kTownCount; ++i) {
        const places::Town& t = places::kTowns[i];
        ASSERT_LE(std::abs(t.latitude), 90 * 100000);
        ASSERT_LE(std::abs(t.longitude), 180 * 100000);
        ASSERT_LT(static_cast<int>(t.nameAndCountry & 0xFF), places::kCountryCount);
        ASSERT_GT(std::strlen(places::townName(t)), 0u);
        nameBytes = std::max(nameBytes, (t.nameAndCountry >> 8) + std::strlen(places::townName(t)) + 1);
        const int row = std::clamp(static_cast<int>(std::floor(t.latitude / 1e5)) + 90, 0, 179);
        const int column = std::clamp(static_cast<int>(std::floor(t.longitude / 1e5)) + 180, 0, 359);
        ASSERT_GE(row * 360 + column, previousCell) << places::townName(t);
        previousCell = row * 360 + column;
    }
    EXPECT_LT(places::kTownCount * sizeof(places::Town) + nameBytes, size_t{1} << 20);
}

}  // namespace
}  // namespace mv
