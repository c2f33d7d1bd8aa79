#pragma once
// The towns a caption can name: GeoNames' towns of 15,000 or more people, converted once by
// scripts/make-places.py into places_table.cpp.
#include <cstdint>

namespace mv::places {

struct Town {
    int32_t latitude;   // 1e-5 degrees, north positive
    int32_t longitude;  // 1e-5 degrees, east positive
    uint32_t nameAndCountry;  // offset of the name in kTownNames << 8 | index into kCountries
};

constexpr double kUnitsPerDegree = 100000.0;

// Sorted by 1-degree cell (latitude band from the south, then longitude from -180), so that a
// cell's towns are one run of the table.
extern const Town kTowns[];
extern const int kTownCount;
// Names, each ended by a zero byte, UTF-8.
extern const char kTownNames[];
// Countries' English names.
extern const char* const kCountries[];
extern const int kCountryCount;

inline const char* townName(const Town& t) { return kTownNames + (t.nameAndCountry >> 8); }
inline const char* townCountry(const Town& t) { return kCountries[t.nameAndCountry & 0xFF]; }

}  // namespace mv::places
