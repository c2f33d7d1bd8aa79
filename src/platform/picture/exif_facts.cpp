#include "platform/picture/exif_facts.h"

#include "platform/picture/tiff_directory.h"

namespace mv {

namespace {

constexpr uint16_t kDateTime = 0x0132, kExifPointer = 0x8769, kGpsPointer = 0x8825, kDateTimeOriginal = 0x9003;
constexpr uint16_t kLatitudeRef = 1, kLatitude = 2, kLongitudeRef = 3, kLongitude = 4;

int digits(const uint8_t* p, int count) {
    int value = 0;
    for (int i = 0; i < count; ++i) {
        if (p[i] < '0' || p[i] > '9') return -1;
        value = value * 10 + (p[i] - '0');
    }
    return value;
}

bool leapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

// "YYYY:MM:DD HH:MM:SS"; cameras without a set clock write zeros or blanks, which are no date.
std::optional<TakenAt> dateOf(const tiff::Directory& d, const tiff::Entry& e) {
    if (e.type != tiff::kAscii || e.count < 16) return std::nullopt;
    const uint8_t* p = d.bytes(e.at);
    TakenAt t{digits(p, 4), digits(p + 5, 2), digits(p + 8, 2), digits(p + 11, 2), digits(p + 14, 2)};
    if (t.year < 1 || t.month < 1 || t.month > 12 || t.day < 1 || t.hour < 0 || t.hour > 23 || t.minute < 0 ||
        t.minute > 59)
        return std::nullopt;
    static constexpr int kDays[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (t.day > kDays[t.month - 1] || (t.month == 2 && t.day == 29 && !leapYear(t.year))) return std::nullopt;
    return t;
}

// Degrees, minutes and seconds as up to three unsigned fractions; a zero denominator or
// minutes or seconds of 60 and more make it no angle.
std::optional<double> angleOf(const tiff::Directory& d, const tiff::Entry& e) {
    if (e.type != tiff::kRational || e.count < 1 || e.count > 3) return std::nullopt;
    double parts[3] = {0, 0, 0};
    for (uint32_t i = 0; i < e.count; ++i) {
        const uint32_t numerator = d.u32(e.at + 8 * i), denominator = d.u32(e.at + 8 * i + 4);
        if (denominator == 0) return std::nullopt;
        parts[i] = static_cast<double>(numerator) / denominator;
    }
    if (parts[1] >= 60 || parts[2] >= 60) return std::nullopt;
    return parts[0] + parts[1] / 60 + parts[2] / 3600;
}

// The hemisphere letter: +1 for `positive`, -1 for `negative`, 0 for anything else.
int signOf(const tiff::Directory& d, const tiff::Entry& e, char positive, char negative) {
    if (e.type != tiff::kAscii || e.count < 1) return 0;
    const uint8_t c = *d.bytes(e.at);
    return c == positive ? 1 : c == negative ? -1 : 0;
}

std::optional<GpsPosition> positionOf(const tiff::Directory& d, uint32_t gps) {
    std::optional<double> lat, lon;
    int latSign = 0, lonSign = 0;
    d.forEach(gps, [&](const tiff::Entry& e) {
        switch (e.tag) {
            case kLatitudeRef: latSign = signOf(d, e, 'N', 'S'); break;
            case kLatitude: lat = angleOf(d, e); break;
            case kLongitudeRef: lonSign = signOf(d, e, 'E', 'W'); break;
            case kLongitude: lon = angleOf(d, e); break;
            default: break;
        }
    });
    if (!lat || !lon || latSign == 0 || lonSign == 0 || *lat > 90 || *lon > 180) return std::nullopt;
    return GpsPosition{latSign * *lat, lonSign * *lon};
}

}  // namespace

// Only the first image directory and the two it points to are read: no chain of pointers is
// followed, so a structure that points into itself costs one pass over each directory.
ExifFacts exifFacts(const std::vector<uint8_t>& bytes) {
    ExifFacts facts;
    const tiff::Directory d(tiff::exifSpan(bytes.data(), bytes.size()));
    if (!d.valid()) return facts;
    std::optional<TakenAt> changed;
    uint32_t exif = 0, gps = 0;
    d.forEach(d.first(), [&](const tiff::Entry& e) {
        if (e.tag == kDateTime) changed = dateOf(d, e);
        else if (e.tag == kExifPointer) exif = d.pointer(e);
        else if (e.tag == kGpsPointer) gps = d.pointer(e);
    });
    if (exif)
        d.forEach(exif, [&](const tiff::Entry& e) {
            if (e.tag == kDateTimeOriginal) facts.taken = dateOf(d, e);
        });
    if (!facts.taken) facts.taken = changed;
    if (gps) facts.position = positionOf(d, gps);
    return facts;
}

}  // namespace mv
