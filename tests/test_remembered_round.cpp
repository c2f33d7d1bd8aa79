#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

#include "platform/files/file_io.h"
#include "saver/slide_preparer.h"
#include "slideshow/remembered_round.h"
#include "support/fake_platform.h"
#include "support/gif_writer.h"

using namespace mv;
using namespace mv::slides;

namespace {

std::vector<KeyedPicture> keyed(const std::vector<std::string>& names) {
    std::vector<KeyedPicture> out;
    for (const auto& n : names) out.push_back({PictureKey(n), n});
    return out;
}

std::vector<uint64_t> keysOf(const std::vector<std::string>& names) {
    std::vector<uint64_t> out;
    for (const auto& n : names) out.push_back(PictureKey(n));
    return out;
}

}  // namespace

// A round begun earlier goes on over the folder as it is now: the shown stay shown, the removed
// leave, those to come keep their order and the new ones come among them, not all at the end.
TEST(RememberedRound, MergeKeepsTheShownAndTheOrderAndTakesInNewOnes) {
    RememberedRound memory;
    memory.order = keysOf({"a", "b", "c", "d", "e", "f"});
    memory.shown = 2;  // a, b
    std::set<size_t> placesOfNew;
    for (uint64_t seed = 0; seed < 100; ++seed) {
        std::mt19937_64 random(seed);
        // "b" and "e" were removed; "x" and "y" are new.
        const MergedRound m = MergeRound(memory, keyed({"y", "f", "c", "a", "x", "d"}), random);
        ASSERT_EQ(m.round.shown, 1u);
        ASSERT_EQ(m.round.order.front(), PictureKey("a"));
        ASSERT_EQ(m.toCome.size(), 5u);
        ASSERT_EQ(m.round.order.size(), 6u);
        std::vector<std::string> remembered;
        std::copy_if(m.toCome.begin(), m.toCome.end(), std::back_inserter(remembered),
                     [](const std::string& p) { return p != "x" && p != "y"; });
        ASSERT_EQ(remembered, (std::vector<std::string>{"c", "d", "f"}));
        placesOfNew.insert(static_cast<size_t>(std::find(m.toCome.begin(), m.toCome.end(), "x") - m.toCome.begin()));
        // The same round, read back, goes on the same way.
        const auto again = ParseRound(RoundText(m.round, 7), 7);
        ASSERT_TRUE(again);
        std::mt19937_64 other(seed + 1000);
        EXPECT_EQ(MergeRound(*again, keyed({"y", "f", "c", "a", "x", "d"}), other).toCome, m.toCome);
    }
    EXPECT_EQ(placesOfNew.size(), 5u);
    // A picture shown again (on another monitor, or by two shows) is not counted twice.
    RememberedRound round;
    for (const char* p : {"c", "a", "c"}) round.markShown(PictureKey(p));
    EXPECT_EQ(round.shown, 2u);
    EXPECT_EQ(round.order.size(), 2u);
}

// The next round, laid out when the last picture of this one was made ready, begins when a
// picture is taken that this round has shown already, or once it is through; not before.
TEST(RememberedRound, TheNextRoundBeginsAtItsFirstPictureTaken) {
    RememberedRound round;
    round.order = keysOf({"a", "b", "c", "d"});
    round.shown = 2;
    std::optional<RememberedRound> next = RememberedRound{keysOf({"d", "a", "c", "b"}), 0, 0};
    EXPECT_FALSE(TakePicture(round, next, PictureKey("c")));
    EXPECT_TRUE(next);
    EXPECT_EQ(round.shown, 3u);
    // "d" cannot be read: "a" comes again, in the next round.
    EXPECT_TRUE(TakePicture(round, next, PictureKey("a")));
    EXPECT_FALSE(next);
    EXPECT_EQ(round.order, keysOf({"a", "d", "c", "b"}));
    EXPECT_EQ(round.shown, 1u);
    EXPECT_EQ(round.before, PictureKey("c"));
    // Through, with none laid out: the next round is begun by what is taken.
    for (const char* p : {"b", "c", "d"}) TakePicture(round, next, PictureKey(p));
    EXPECT_TRUE(TakePicture(round, next, PictureKey("new")));
    EXPECT_EQ(round.order, keysOf({"new"}));
    EXPECT_EQ(round.before, PictureKey("d"));
}

// Only the text the program wrote for this folder is read; anything else is no round, whatever
// its size or bytes.
TEST(RememberedRound, DamagedOrForeignTextIsNoRound) {
    RememberedRound round;
    for (int i = 0; i < 25; ++i) round.order.push_back(PictureKey("p" + std::to_string(i)));
    round.shown = 9;
    round.before = PictureKey("z");
    const std::string text = RoundText(round, 42);
    const auto back = ParseRound(text, 42);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->order, round.order);
    EXPECT_EQ(back->shown, 9u);
    EXPECT_EQ(back->before, round.before);
    // Small: seven characters a picture.
    EXPECT_LT(text.size(), 100u + 25u * 8u);
    EXPECT_FALSE(ParseRound(text, 43));                       // another folder's
    EXPECT_FALSE(ParseRound(text.substr(0, text.size() - 3), 42));  // cut short
    EXPECT_FALSE(ParseRound(text + "AAAAAAA\n", 42));          // grown
    for (size_t at : {size_t{0}, size_t{20}, text.size() / 2, text.size() - 2}) {
        std::string changed = text;
        changed[at] = changed[at] == 'Q' ? 'R' : 'Q';
        EXPECT_FALSE(ParseRound(changed, 42)) << at;
    }
    EXPECT_FALSE(ParseRound("", 42));
    EXPECT_FALSE(ParseRound(std::string(3000, '\xff'), 42));
    // A header that promises more pictures than a round can hold is refused before anything is
    // made for them.
    EXPECT_FALSE(ParseRound("Marvoscope round 2 000000000000002a 99999999999999 0 0000000000000000 0 0 0\n", 42));
    EXPECT_FALSE(ParseRound("Marvoscope round 2 000000000000002a 3 4 0000000000000000 0 0 0\n", 42));
}

namespace {

// One run of a shuffled show of `folder`: the paths of the first `count` pictures it hands out.
std::vector<std::string> showRun(test::FakePlatform& platform, const std::string& folder, size_t count) {
    std::vector<std::string> shown;
    SlideTarget target;
    target.surfaces = {{0, 0, 64, 48}};
    SlidePreparer preparer(platform, folder, {}, true, target);
    while (shown.size() < count && !preparer.nothingToShow()) {
        if (auto slide = preparer.take())
            shown.push_back(std::filesystem::path(slide->path).filename().string());
        else
            preparer.waitReady(50);
    }
    return shown;
}

}  // namespace

// Shows started again and again, two pictures each, go through the whole folder before any
// picture comes again, also while pictures are added and removed; a damaged memory is passed
// over without a word and written anew.
TEST(RememberedRound, ShowsStartedOftenGoThroughTheWholeFolder) {
    test::FakePlatform platform;
    const std::string folder = platform.dir.file("pics");
    std::filesystem::create_directory(folder);
    for (int i = 0; i < 9; ++i) platform.dir.write("pics/p" + std::to_string(i) + ".bmp", test::makeBmp(8, 8, i * 999));
    std::vector<std::string> seen;
    for (int run = 0; run < 3; ++run)
        for (const auto& p : showRun(platform, folder, 2)) seen.push_back(p);
    ASSERT_EQ(std::set<std::string>(seen.begin(), seen.end()).size(), 6u);
    // One not shown yet leaves, one new comes; the round still ends with no picture twice.
    std::string gone;
    for (int i = 0; i < 9 && gone.empty(); ++i)
        if (std::find(seen.begin(), seen.end(), "p" + std::to_string(i) + ".bmp") == seen.end())
            gone = "p" + std::to_string(i) + ".bmp";
    std::filesystem::remove(platform.dir.file("pics/" + gone));
    platform.dir.write("pics/new.bmp", test::makeBmp(8, 8, 0x123456));
    for (int run = 0; run < 2; ++run)
        for (const auto& p : showRun(platform, folder, 2)) seen.push_back(p);
    ASSERT_EQ(seen.size(), 10u);
    EXPECT_EQ(std::set<std::string>(seen.begin(), seen.begin() + 9).size(), 9u) << ::testing::PrintToString(seen);
    EXPECT_NE(std::find(seen.begin(), seen.end(), "new.bmp"), seen.end());
    EXPECT_EQ(std::find(seen.begin(), seen.end(), gone), seen.end());

    // Garbage in place of the memory: the show starts as if there were none and replaces it.
    std::vector<std::string> files;
    for (const auto& e : std::filesystem::directory_iterator(platform.userCacheDirectory()))
        files.push_back(e.path().string());
    ASSERT_EQ(files.size(), 1u);
    platform.dir.write("user-cache/" + std::filesystem::path(files[0]).filename().string(), std::string(5000, '\x9c'));
    EXPECT_EQ(showRun(platform, folder, 1).size(), 1u);
    const auto text = files::readSmallFile(files[0], kMaxRoundTextBytes);
    ASSERT_TRUE(text);
    EXPECT_EQ(text->rfind("Marvoscope round 2 ", 0), 0u) << text->substr(0, 40);
    EXPECT_TRUE(platform.reports().empty()) << platform.reports().front();
}

// The first pictures to come are kept by name, odd names too; a name that would lead out of the
// folder, or that no scan gives, makes the text no round.
TEST(RememberedRound, NamesToComeAreReadBackOnlyInsideTheFolder) {
    RememberedRound round;
    round.order = keysOf({"a b%.jpg", "sub/c.png", "d.bmp"});
    const std::vector<std::string> next = {"a b%.jpg", "sub/c.png", "line\nbreak.png", "../up.png", "/abs.png",
                                           "sub/../x.png", ".hidden/x.png", "C:x.png", "a\\b.png", ""};
    const auto head = ParseRoundHead(RoundText(round, 5, next), 5);
    ASSERT_TRUE(head);
    EXPECT_EQ(head->next, (std::vector<std::string>{"a b%.jpg", "sub/c.png"}));
    EXPECT_EQ(head->count, 3u);
    EXPECT_TRUE(ParseRound(RoundText(round, 5, next), 5));
    EXPECT_TRUE(PlainRelativePath("sub/c.png", true));
    EXPECT_FALSE(PlainRelativePath("sub/c.png", false));
    for (const char* bad : {"../up.png", "/abs.png", "sub//c.png", "sub/./c.png", "C:x.png", "a\\b.png", "x\n.png"})
        EXPECT_FALSE(PlainRelativePath(bad, true)) << bad;
    // A forged name in place of one written: the head's check no longer holds.
    std::string text = RoundText(round, 5, {"sub/c.png"});
    text.replace(text.find("sub/c.png"), 9, "../c.png_");
    EXPECT_FALSE(ParseRoundHead(text, 5));
}

// The next start opens the first picture to come by its name; one named there that is gone, or
// in a subfolder while subfolders are not shown, is passed over without a word.
TEST(RememberedRound, TheNextStartOpensThePictureNamedFirst) {
    test::FakePlatform platform;
    const std::string folder = platform.dir.file("pics");
    std::filesystem::create_directories(folder + "/sub");
    for (int i = 0; i < 6; ++i) platform.dir.write("pics/p" + std::to_string(i) + ".bmp", test::makeBmp(8, 8, i * 999));
    platform.dir.write("pics/sub/s.bmp", test::makeBmp(8, 8, 0x445566));
    const std::vector<std::string> first = showRun(platform, folder, 2);
    const std::string file = platform.userCacheDirectory() + "/" + RoundFileName(FolderKey(folder, false));
    auto head = ParseRoundHead(files::readSmallFile(file, kMaxRoundTextBytes).value_or(""), FolderKey(folder, false));
    ASSERT_TRUE(head);
    ASSERT_GE(head->next.size(), 2u);
    EXPECT_EQ(head->shown, 2u);
    EXPECT_EQ(showRun(platform, folder, 1), std::vector<std::string>{head->next[0]});

    head = ParseRoundHead(*files::readSmallFile(file, kMaxRoundTextBytes), FolderKey(folder, false));
    ASSERT_TRUE(head && !head->next.empty());
    std::filesystem::remove(folder + "/" + head->next[0]);
    auto round = ParseRound(*files::readSmallFile(file, kMaxRoundTextBytes), FolderKey(folder, false));
    ASSERT_TRUE(round);
    std::vector<std::string> next = {"sub/s.bmp", head->next[0]};
    files::replaceFile(file, RoundText(*round, FolderKey(folder, false), next));
    const std::vector<std::string> after = showRun(platform, folder, 1);
    ASSERT_EQ(after.size(), 1u);
    EXPECT_NE(after[0], "s.bmp");
    EXPECT_NE(after[0], head->next[0]);
    EXPECT_EQ(std::find(first.begin(), first.end(), after[0]), first.end());
    EXPECT_TRUE(platform.reports().empty()) << platform.reports().front();
}
