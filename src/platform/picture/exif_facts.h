#pragma once
// What a photo's Exif data says about when and where it was taken, for its caption.
#include <cstdint>
#include <optional>
#include <vector>

namespace mv {

// The camera's clock when the photo was taken, as the camera wrote it (its own time zone).
struct TakenAt {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
    bool operator==(const TakenAt&) const = default;
};

// Degrees, north and east positive.
struct GpsPosition {
    double latitude = 0, longitude = 0;
};

struct ExifFacts {
    std::optional<TakenAt> taken;
    std::optional<GpsPosition> position;
};

// The facts of a JPEG file's bytes (its Exif APP1 segment) or a PNG's (its eXIf chunk): the date
// the photo was taken (DateTimeOriginal, else the file's DateTime) and the GPS position. A fact
// that is missing, damaged or impossible (a 30 February, a latitude of 95°, a position without
// its hemisphere) is left out; any other file has none.
ExifFacts exifFacts(const std::vector<uint8_t>& bytes);

}  // namespace mv
