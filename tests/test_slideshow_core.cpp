#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>

#include "platform/files/file_io.h"
#include "settings/slideshow_text.h"
#include "slideshow/folder_scan.h"
#include "slideshow/natural_order.h"
#include "slideshow/show_order.h"
#include "slideshow/show_timing.h"

using namespace mv::slides;
namespace fs = std::filesystem;

TEST(SlideOrder, NaturalNameOrderFolderByFolder) {
    std::vector<std::string> paths = {"d/img10.jpg", "d/b/x1.png", "d/img2.jpg", "d/IMG1.jpg", "d/a/z.gif",
                                      "d/img002b.jpg", "d/img2a.jpg"};
    SortNaturally(paths);
    const std::vector<std::string> expected = {"d/IMG1.jpg", "d/img2.jpg", "d/img2a.jpg", "d/img002b.jpg",
                                               "d/img10.jpg", "d/a/z.gif", "d/b/x1.png"};
    EXPECT_EQ(paths, expected);
    EXPECT_TRUE(NaturalLess("a99999999999999999999", "a100000000000000000000"));
    EXPECT_FALSE(NaturalLess("x", "x"));
}

TEST(SlideOrder, EveryPictureOncePerRoundAndNoRepeatAcrossRounds) {
    std::vector<std::string> all;
    for (int i = 0; i < 7; ++i) all.push_back(std::string(1, 'p') += std::to_string(i));
    for (uint64_t seed = 0; seed < 200; ++seed) {
        ShowOrder order(true, seed);
        std::string last;
        for (int round = 0; round < 5; ++round) {
            const auto r = order.nextRound(all, last);
            ASSERT_EQ(std::set<std::string>(r.begin(), r.end()).size(), all.size());
            ASSERT_EQ(r.size(), all.size());
            ASSERT_NE(r.front(), last) << "seed " << seed << " round " << round;
            last = r.back();
        }
    }
    // Two pictures alternate; one picture can only repeat itself.
    ShowOrder two(true, 3);
    EXPECT_EQ(two.nextRound({"a", "b"}, "b").front(), "a");
    EXPECT_EQ(two.nextRound({"a"}, "a"), std::vector<std::string>{"a"});
    ShowOrder named(false, 0);
    EXPECT_EQ(named.nextRound({"b", "a", "c"}, "a"), (std::vector<std::string>{"b", "c", "a"}));
    EXPECT_EQ(named.nextRound({"b", "a", "c"}, "c"), (std::vector<std::string>{"a", "b", "c"}));
}

TEST(SlideTiming, StillsLoopsAndLongLoops) {
    EXPECT_EQ(StayFor(10000, 0).loops, 0);
    EXPECT_EQ(StayFor(10000, 0).cutMs, 10000);
    // A 3 s loop plays four times to pass 10 s; a loop as long as the interval plays once.
    EXPECT_EQ(StayFor(10000, 3000).loops, 4);
    EXPECT_EQ(StayFor(10000, 3000).cutMs, 0);
    EXPECT_EQ(StayFor(10000, 10000).loops, 1);
    // A 15 s loop over a 10 s interval is not cut; a 90 s loop is cut after a minute.
    EXPECT_EQ(StayFor(10000, 15000).loops, 1);
    EXPECT_EQ(StayFor(10000, 15000).cutMs, 0);
    EXPECT_EQ(StayFor(10000, 90000).cutMs, kLongestLoopMs);
    EXPECT_EQ(StayFor(3600000, 60000).loops, 60);
}

class SlideScan : public ::testing::Test {
protected:
    void SetUp() override {
        root = fs::temp_directory_path() / ("mv_scan_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                            "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root / "sub" / "deeper");
        fs::create_directories(root / ".hidden");
    }
    void TearDown() override { fs::remove_all(root); }
    void touch(const fs::path& p) { std::ofstream(p) << "x"; }
    std::set<std::string> names(const ScanResult& r) {
        std::set<std::string> out;
        for (const auto& p : r.pictures) out.insert(fs::relative(fs::path(p), root).generic_string());
        return out;
    }
    fs::path root;
};

TEST_F(SlideScan, PicturesHiddenFilesAndSubfolders) {
    touch(root / "a.JPG");
    touch(root / "b.jpeg");
    touch(root / "notes.txt");
    touch(root / ".secret.png");
    touch(root / ".hidden" / "c.gif");
    touch(root / "sub" / "d.bmp");
    touch(root / "sub" / "deeper" / "e.png");
    touch(root / "f.webp");
    touch(root / "i.xyz");
#ifdef _WIN32
    // Windows' own mark: a hidden file and a hidden folder, whatever their names.
    touch(root / "g.png");
    mv::files::markHidden((root / "g.png").string());
    fs::create_directories(root / "sub" / "marked");
    touch(root / "sub" / "marked" / "h.png");
    mv::files::markHidden((root / "sub" / "marked").string());
#endif
    EXPECT_EQ(names(ScanFolder(root.string(), {})), (std::set<std::string>{"a.JPG", "b.jpeg", "f.webp"}));
    ScanOptions deep;
    deep.subfolders = true;
    deep.moreSuffixes = {"xyz"};
    EXPECT_EQ(names(ScanFolder(root.string(), deep)),
              (std::set<std::string>{"a.JPG", "b.jpeg", "sub/d.bmp", "sub/deeper/e.png", "f.webp", "i.xyz"}));
    ScanOptions few;
    few.subfolders = true;
    few.limit = 2;
    const ScanResult r = ScanFolder(root.string(), few);
    EXPECT_EQ(r.pictures.size(), 2u);
    EXPECT_TRUE(r.truncated);
    // A name alone is not a folder; nothing is found in what is not there.
    EXPECT_FALSE(IsFolder((root / "a.JPG").string()));
    EXPECT_TRUE(ScanFolder((root / "gone").string(), deep).pictures.empty());
}

TEST_F(SlideScan, LinkLoopEndsAndLinkedFolderCountsOnce) {
#ifdef _WIN32
    GTEST_SKIP() << "folder links need privileges on Windows";
#else
    touch(root / "sub" / "deeper" / "e.png");
    fs::create_directory_symlink(root, root / "sub" / "deeper" / "back");
    fs::create_directory_symlink(root / "sub", root / "again");
    ScanOptions deep;
    deep.subfolders = true;
    const ScanResult r = ScanFolder(root.string(), deep);
    EXPECT_EQ(r.pictures.size(), 1u);
#endif
}

TEST_F(SlideScan, StopFlagEndsScanAndFoundSeesEachPicture) {
    for (int i = 0; i < 5; ++i) touch(root / (std::string(1, 'p') += std::to_string(i) += ".png"));
    std::atomic<bool> stop{false};
    int seen = 0;
    const ScanResult r = ScanFolder(root.string(), {}, [&](const std::string&) {
        if (++seen == 2) stop = true;
    }, &stop);
    EXPECT_TRUE(r.stopped);
    EXPECT_EQ(r.pictures.size(), 2u);
}

// An interval used as it is says nothing; one out of range or no number names what is used.
TEST(SlideTiming, UnusableIntervalsAreNamed) {
    for (const char* fine : {"", "2", "3600", " 60 "}) EXPECT_EQ(mv::IntervalNote(fine), "") << fine;
    const std::pair<const char*, const char*> bad[] = {
        {"0", "stays 2 s"}, {"-1", "stays 2 s"}, {"1000000000", "stays 3600 s"}, {"abc", "stays 10 s"}};
    for (const auto& [text, used] : bad) {
        const std::string note = mv::IntervalNote(text);
        EXPECT_NE(note.find(std::string("'") + text + "'"), std::string::npos) << note;
        EXPECT_NE(note.find(used), std::string::npos) << note;
    }
}
