#include <gtest/gtest.h>

#include <algorithm>

#include "caption/caption_label.h"
#include "caption/caption_layout.h"
#include "caption/caption_says.h"
#include "caption/date_pattern.h"
#include "saver/frmMain.h"
#include "settings/caption_text.h"
#include "settings/settings.h"
#include "startup/app.h"
#include "support/fake_platform.h"

using namespace mv;

TEST(CaptionText, WordsAndDatesAsTheUserWritesThem) {
    EXPECT_EQ(CaptionWordsFromText(" Place, date,weather,,DATE "), (std::vector<CaptionWord>{CaptionWord::Place, CaptionWord::Date}));
    EXPECT_TRUE(CaptionWordsFromText("").empty());
    EXPECT_EQ(CaptionWordsText({CaptionWord::Folder, CaptionWord::Name}), "folder,name");

    // The long date without its weekday, the year whole, quoted words and numeric months kept.
    EXPECT_EQ(CaptionDatePattern("dddd, d MMMM yyyy"), "d MMMM yyyy");
    EXPECT_EQ(CaptionDatePattern("dddd, MMMM d, yyyy"), "MMMM d, yyyy");
    EXPECT_EQ(CaptionDatePattern("dddd, d. MMMM yyyy"), "d. MMMM yyyy");
    EXPECT_EQ(CaptionDatePattern("dddd, d' de 'MMMM' de 'yyyy"), "d' de 'MMMM' de 'yyyy");
    EXPECT_EQ(CaptionDatePattern("yyyy'\xE5\xB9\xB4'M'\xE6\x9C\x88'd'\xE6\x97\xA5'"), "yyyy'\xE5\xB9\xB4'M'\xE6\x9C\x88'd'\xE6\x97\xA5'");
    EXPECT_EQ(CaptionDatePattern("ddd d MMM yy"), "d MMM yyyy");
    EXPECT_EQ(CaptionDatePattern("MMMM"), "d MMMM yyyy");
    test::FakePlatform p;
    EXPECT_EQ(p.formatDate(CaptionDatePattern(p.longDatePattern()), 2023, 7, 14), "14 July 2023");
    EXPECT_EQ(p.formatDate("dddd '''d'''", 2023, 7, 14), "Friday 'd'");

    // The clock in the user's short form, without seconds.
    EXPECT_EQ(ClockPattern("HH:mm:ss"), "HH:mm");
    EXPECT_EQ(ClockPattern("h:mm:ss AP"), "h:mm AP");
    EXPECT_EQ(ClockPattern("H.mm"), "H.mm");
    EXPECT_EQ(ClockPattern("tt h:mm"), "tt h:mm");
    EXPECT_EQ(ClockPattern("ss"), "HH:mm");
    EXPECT_EQ(p.formatTime(ClockPattern("h:mm:ss tt"), 0, 5), "12:05 tt");
}

TEST(CaptionText, SaysTheChosenWordsInOrderAndLeavesOutWhatIsUnknown) {
    PhotoFacts facts;
    facts.written = CalendarDay{2024, 1, 2};
    facts.folder = "Holidays";
    facts.name = "IMG_0001";
    auto date = [](const CalendarDay& d) { return std::to_string(d.year) + "-" + std::to_string(d.month) + "-" + std::to_string(d.day); };
    const std::vector<CaptionWord> all{CaptionWord::Name, CaptionWord::Place, CaptionWord::Date, CaptionWord::Folder};
    // No Exif: the file's own date, and no place.
    EXPECT_EQ(CaptionSays(all, facts, date), "IMG_0001 \xC2\xB7 2024-1-2 \xC2\xB7 Holidays");
    facts.taken = CalendarDay{2023, 7, 14};
    facts.place = Place{"Lyon", "France", 3};
    EXPECT_EQ(CaptionSays({CaptionWord::Date, CaptionWord::Place}, facts, date), "2023-7-14 \xC2\xB7 Lyon, France");
    EXPECT_EQ(CaptionSays({}, facts, date), "");

    const PhotoFacts unreadable = ReadPhotoFacts("/no/such/dir/photo.jpg");
    EXPECT_EQ(unreadable.folder, "dir");
    EXPECT_EQ(unreadable.name, "photo");
    EXPECT_FALSE(unreadable.taken || unreadable.written || unreadable.place);
}

namespace {

constexpr uint32_t kRed = 0xFFFF0000u, kViolet = 0xFF8000FFu;

struct CaptionedShow {
    CaptionedShow(int w, int h) {
        platform.store.set("AniFile", platform.dir.write("shown.bmp", test::makeBmp(w, h, 0x0000FF)));
        platform.store.set("BackColors", std::to_string(0xFF0080));
        platform.store.set("Mousesens", "15");
        platform.store.set("Placement", "Fit");
        platform.store.set("Caption", "name");
        platform.store.set("Clock", "1");
        platform.screenW = 1280;
        platform.screenH = 720;
    }
    // The smallest rectangle holding every pixel of a surface that is neither colour.
    PixelRect written(size_t surface) const {
        const Bitmap& b = app.mainForm->backing(surface);
        int left = b.width, top = b.height, right = -1, bottom = -1;
        for (int y = 0; y < b.height; ++y)
            for (int x = 0; x < b.width; ++x)
                if (b.row(y)[x] != kRed && b.row(y)[x] != kViolet) {
                    left = std::min(left, x), right = std::max(right, x);
                    top = std::min(top, y), bottom = std::max(bottom, y);
                }
        return right < 0 ? PixelRect{} : PixelRect{left, top, right - left + 1, bottom - top + 1};
    }
    bool barsClean(size_t surface, const PixelRect& picture) const {
        const Bitmap& b = app.mainForm->backing(surface);
        for (int y = 0; y < b.height; ++y)
            for (int x = 0; x < b.width; ++x) {
                const bool inside = x >= picture.x && x < picture.x + picture.width && y >= picture.y && y < picture.y + picture.height;
                if (!inside && b.row(y)[x] != kViolet) return false;
            }
        return true;
    }
    test::FakePlatform platform;
    App app{platform};
};

}  // namespace

TEST(CaptionedShowTest, CaptionAndClockSitInOppositeCornersOfThePictureNeverInItsBars) {
    // A 4:3 picture fitted on 1280x720 lies at x 160..1119; 2 % of 720 is a 15-pixel margin.
    CaptionedShow show(800, 600);
    show.app.mainForm->Load();
    const PixelRect picture{160, 0, 960, 720};
    EXPECT_TRUE(show.barsClean(0, picture));
    const PixelRect all = show.written(0);
    ASSERT_GT(all.width, 0);
    // The name low on the left, the clock high on the right: together they span the picture's
    // corners, each a margin in from its edges (the shadow's faint rim may fall a pixel short).
    EXPECT_NEAR(all.x, 160 + 15, 1);
    EXPECT_NEAR(all.x + all.width, 1120 - 15, 1);
    EXPECT_NEAR(all.y, 15, 1);
    EXPECT_NEAR(all.y + all.height, 720 - 15, 1);
    // The middle of the picture is untouched.
    EXPECT_EQ(show.app.mainForm->backing(0).row(360)[640], kRed);
}

TEST(CaptionedShowTest, OnePictureAcrossTheMonitorsHasOneCaption) {
    // Two 1280x720 monitors side by side, one 2560x720 picture spanning them: the caption is on
    // the left one only, the clock on the right one only.
    CaptionedShow show(2560, 720);
    show.platform.monitors = {{0, 0, 1280, 720}, {1280, 0, 1280, 720}};
    show.platform.store.set("Monitors", "Span");
    show.app.mainForm->Load();
    ASSERT_EQ(show.app.mainForm->surfaceCount(), 2u);
    const PixelRect left = show.written(0), right = show.written(1);
    ASSERT_GT(left.width, 0);
    ASSERT_GT(right.width, 0);
    EXPECT_NEAR(left.x, 15, 1);
    EXPECT_NEAR(left.y + left.height, 720 - 15, 1);
    EXPECT_NEAR(right.x + right.width, 1280 - 15, 1);
    EXPECT_NEAR(right.y, 15, 1);

    // A store without the new keys writes nothing over the picture.
    CaptionedShow plain(2560, 720);
    plain.platform.store.set("Caption", "");
    plain.platform.store.set("Clock", "0");
    plain.app.mainForm->Load();
    EXPECT_EQ(plain.written(0).width, 0);
}

TEST(CaptionLayoutTest, FromPictureToPictureNeitherTextLandsWhereEitherWas) {
    Corner c = Corner::BottomLeft;
    std::vector<Corner> visited;
    for (int i = 0; i < 4; ++i) {
        const Corner next = NextCorner(c);
        for (Corner now : {next, OppositeCorner(next)})
            for (Corner before : {c, OppositeCorner(c)}) EXPECT_NE(now, before) << i;
        visited.push_back(next);
        c = next;
    }
    std::sort(visited.begin(), visited.end());
    EXPECT_EQ(std::unique(visited.begin(), visited.end()), visited.end());
}

TEST(CaptionLayoutTest, ALabelIsLaidOverThePictureAsItsCoverageSays) {
    // Premultiplied: half-covered near-white, a dark shadow at 80 %, nothing, and full cover.
    CaptionLabel label{4, 1, {0x807B7B7Bu, 0xCC000000u, 0x00000000u, 0xFFF6F6F6u}};
    Bitmap b;
    b.resize(6, 1, 0xFF4080C0u);
    DrawCaptionLabel(b, label, 1, 0);
    auto channel = [](uint32_t p, int shift) { return static_cast<int>((p >> shift) & 0xFF); };
    const int keep = 255 - 0x80;
    for (int shift : {16, 8, 0}) {
        const int under = channel(0xFF4080C0u, shift);
        EXPECT_NEAR(channel(b.row(0)[1], shift), 0x7B + under * keep / 255.0, 1.0) << shift;
        EXPECT_NEAR(channel(b.row(0)[2], shift), under * (255 - 0xCC) / 255.0, 1.0) << shift;
    }
    EXPECT_EQ(b.row(0)[0], 0xFF4080C0u);
    EXPECT_EQ(b.row(0)[3], 0xFF4080C0u);
    EXPECT_EQ(b.row(0)[4], 0xFFF6F6F6u);
    EXPECT_EQ(b.row(0)[5], 0xFF4080C0u);
}
