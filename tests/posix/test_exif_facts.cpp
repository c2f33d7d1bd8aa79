#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "caption/places.h"
#include "platform/picture/exif_facts.h"
#include "support/fake_platform.h"

namespace mv {
namespace {

bool haveTools() {
    return std::system("command -v exiftool >/dev/null && test -x /usr/bin/convert") == 0;
}

// A small picture of the given kind ("jpg" or "png") with the Exif tags exiftool writes from
// `tags` (its command-line assignments).
std::vector<uint8_t> photo(const test::TempDir& dir, const std::string& kind, const std::string& tags) {
    const std::string file = dir.file("photo." + kind);
    const std::string command = "/usr/bin/convert -size 16x12 gradient:red-blue '" + file +
                                "' && exiftool -q -q -overwrite_original " + tags + " '" + file + "'";
    if (std::system(command.c_str()) != 0) ADD_FAILURE() << command;
    return test::readFile(file);
}

const std::string kParisAtNoon =
    "-DateTimeOriginal='2023:07:14 15:42:10' -ModifyDate='2024:01:02 03:04:05' "
    "-GPSLatitude=48.856667 -GPSLatitudeRef=N -GPSLongitude=2.352222 -GPSLongitudeRef=E";

TEST(ExifFacts, DateTakenAndPositionOfAPhoto) {
    if (!haveTools()) GTEST_SKIP() << "exiftool or ImageMagick missing";
    test::TempDir dir;
    for (const std::string kind : {"jpg", "png"}) {
        const ExifFacts facts = exifFacts(photo(dir, kind, kParisAtNoon));
        ASSERT_TRUE(facts.taken) << kind;
        EXPECT_EQ(*facts.taken, (TakenAt{2023, 7, 14, 15, 42})) << kind;
        ASSERT_TRUE(facts.position) << kind;
        EXPECT_NEAR(facts.position->latitude, 48.856667, 1e-5);
        EXPECT_NEAR(facts.position->longitude, 2.352222, 1e-5);
        const auto place = nearestPlace(facts.position->latitude, facts.position->longitude);
        ASSERT_TRUE(place);
        EXPECT_EQ(place->town + ", " + place->country, "Paris, France");
    }
    // Big-endian, southern and western, and only the file's date.
    const ExifFacts rio = exifFacts(photo(dir, "jpg",
        "-ExifByteOrder=MM -ModifyDate='2016:02:29 23:59:00' -GPSLatitude=22.9068 -GPSLatitudeRef=S "
        "-GPSLongitude=43.1729 -GPSLongitudeRef=W"));
    ASSERT_TRUE(rio.taken);
    EXPECT_EQ(*rio.taken, (TakenAt{2016, 2, 29, 23, 59}));
    ASSERT_TRUE(rio.position);
    EXPECT_NEAR(rio.position->latitude, -22.9068, 1e-5);
    EXPECT_NEAR(rio.position->longitude, -43.1729, 1e-5);
}

TEST(ExifFacts, ImpossibleOrHalfFactsAreLeftOut) {
    if (!haveTools()) GTEST_SKIP() << "exiftool or ImageMagick missing";
    test::TempDir dir;
    // A 30 February taken, and a clock never set: the file's own date is the one left.
    const ExifFacts badDate = exifFacts(photo(dir, "jpg",
        "-DateTimeOriginal='2023:02:30 10:00:00' -ModifyDate='0000:00:00 00:00:00' -GPSLatitude=48.85 "
        "-GPSLongitude=2.35 -GPSLongitudeRef=E"));
    EXPECT_FALSE(badDate.taken);
    EXPECT_FALSE(badDate.position);  // no hemisphere for the latitude: no position rather than a wrong one
    const ExifFacts fallback = exifFacts(photo(dir, "jpg", "-DateTimeOriginal='2019:13:01 10:00:00' -ModifyDate='2019:12:01 10:00:00'"));
    ASSERT_TRUE(fallback.taken);
    EXPECT_EQ(*fallback.taken, (TakenAt{2019, 12, 1, 10, 0}));
    const ExifFacts none = exifFacts(photo(dir, "jpg", "-all="));
    EXPECT_FALSE(none.taken);
    EXPECT_FALSE(none.position);
}

// A file cut anywhere in its Exif segment, or whose Exif structure ends early (the segment made
// shorter, the bytes after it those of the picture's next segments), gives the true facts or
// none, never other ones; a damaged byte anywhere in the structure gives facts that can be.
TEST(ExifFacts, CutOrDamagedExifGivesTheTruthOrNothing) {
    if (!haveTools()) GTEST_SKIP() << "exiftool or ImageMagick missing";
    test::TempDir dir;
    // No file date to fall back on when the date taken is cut off.
    const std::vector<uint8_t> whole = photo(dir, "jpg", kParisAtNoon + " -ModifyDate=");
    const ExifFacts truth = exifFacts(whole);
    ASSERT_TRUE(truth.taken && truth.position);
    // The Exif segment: after the JFIF one that ImageMagick writes first.
    const std::string text(whole.begin(), whole.end());
    const size_t segment = text.find("\xFF\xE1");
    ASSERT_EQ(text.compare(segment + 4, 6, std::string("Exif\0\0", 6)), 0);
    const size_t segmentEnd = segment + 2 + (size_t{whole[segment + 2]} << 8 | whole[segment + 3]);
    const size_t tiffStart = segment + 10;
    for (size_t cut = 0; cut < segmentEnd; ++cut) {
        const std::vector<uint8_t> bytes(whole.begin(), whole.begin() + static_cast<ptrdiff_t>(cut));
        const ExifFacts f = exifFacts(bytes);
        EXPECT_FALSE(f.taken || f.position) << "file cut at " << cut;
    }
    for (size_t end = tiffStart; end < segmentEnd; ++end) {
        std::vector<uint8_t> bytes = whole;
        bytes.erase(bytes.begin() + static_cast<ptrdiff_t>(end), bytes.begin() + static_cast<ptrdiff_t>(segmentEnd));
        const size_t length = end - segment - 2;
        bytes[segment + 2] = static_cast<uint8_t>(length >> 8), bytes[segment + 3] = static_cast<uint8_t>(length);
        const ExifFacts f = exifFacts(bytes);
        if (f.taken) {
            EXPECT_EQ(*f.taken, *truth.taken) << "structure ends at " << end;
        }
        if (f.position) {
            EXPECT_EQ(f.position->latitude, truth.position->latitude) << "structure ends at " << end;
            EXPECT_EQ(f.position->longitude, truth.position->longitude) << "structure ends at " << end;
        }
    }
    for (size_t at = tiffStart; at < segmentEnd; ++at) {
        for (const uint8_t value : {0x00, 0x7F, 0xFF}) {
            std::vector<uint8_t> bytes = whole;
            bytes[at] = value;
            const ExifFacts f = exifFacts(bytes);
            if (f.taken) {
                EXPECT_TRUE(f.taken->month >= 1 && f.taken->month <= 12 && f.taken->day >= 1 && f.taken->day <= 31 &&
                            f.taken->hour <= 23 && f.taken->minute <= 59) << "byte " << at;
            }
            if (f.position) {
                EXPECT_LE(std::abs(f.position->latitude), 90) << "byte " << at;
                EXPECT_LE(std::abs(f.position->longitude), 180) << "byte " << at;
            }
        }
    }
}

}  // namespace
}  // namespace mv
