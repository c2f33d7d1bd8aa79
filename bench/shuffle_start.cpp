// What remembering a shuffled round costs at the start of a show of 100,000 pictures (NAMES to
// change it): the time until the first picture is ready, on the scripted platform, without a
// cache folder (the show as it was: every start a fresh shuffle), with no round kept yet, with
// a kept round half shown and with one shown but for ten pictures; each the median of TRIES (5
// unless given) starts, with its ratio to the first, and the best of them. Then the round's text: its size, and the
// time to read it and to merge it with the folder's 100,000 names.
//   build/bench/shuffle_start [TRIES]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <unordered_map>

#include "platform/files/file_io.h"
#include "saver/slide_preparer.h"
#include "slideshow/remembered_round.h"
#include "support/fake_platform.h"
#include "support/gif_writer.h"

using namespace mv;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

class NoCachePlatform : public test::FakePlatform {
public:
    std::string userCacheDirectory() override { throw PlatformError(ErrFileNotFound, "none"); }
};

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Milliseconds until the first picture of the folder is ready.
double firstPicture(Platform& platform, const std::string& folder) {
    const auto start = Clock::now();
    SlideTarget target;
    target.surfaces = {{0, 0, 64, 48}};
    SlidePreparer preparer(platform, folder, {}, true, target);
    while (!preparer.take() && !preparer.nothingToShow()) preparer.waitReady(1);
    return ms(Clock::now() - start);
}

}  // namespace

int main(int argc, char** argv) {
    const int tries = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const size_t names = std::getenv("NAMES") ? std::strtoul(std::getenv("NAMES"), nullptr, 10) : 100000;
    test::FakePlatform platform;
    NoCachePlatform reference;
    const std::string folder = platform.dir.file("pics");
    fs::create_directory(folder);
    // One small picture under every name: links, so that making them is quick.
    std::string one;
    std::vector<std::string> paths;
    for (size_t i = 0; i < names; ++i) {
        // A file takes only so many links.
        if (i % 50000 == 0)
            one = platform.dir.write("one" + std::to_string(i) + ".bmp", test::makeBmp(8, 8, 0x336699));
        paths.push_back(folder + "/photo" + std::to_string(i) + ".bmp");
        fs::create_hard_link(one, paths.back());
    }
    std::vector<slides::KeyedPicture> keyed;
    for (const auto& p : paths) keyed.push_back({slides::PictureKey(slides::RelativePath(folder, p)), p});
    const uint64_t folderKey = slides::FolderKey(folder, false);
    const std::string file = platform.userCacheDirectory() + "/" + slides::RoundFileName(folderKey);
    std::mt19937_64 random(1);
    const slides::RememberedRound whole = slides::MergeRound({}, keyed, random).round;
    std::unordered_map<uint64_t, std::string> pathOfKey;
    for (const auto& k : keyed) pathOfKey.emplace(k.key, slides::RelativePath(folder, k.path));
    // As the show writes it: the first pictures to come named in full.
    auto keptWith = [&](size_t shown) {
        slides::RememberedRound r = whole;
        r.shown = shown;
        std::vector<std::string> next;
        for (size_t i = shown; i < r.order.size() && next.size() < slides::kMaxNextPaths; ++i)
            next.push_back(pathOfKey[r.order[i]]);
        return slides::RoundText(r, folderKey, next);
    };
    const std::string half = keptWith(names / 2), nearlyAll = keptWith(names > 10 ? names - 10 : 0);

    struct Case {
        const char* name;
        Platform* platform;
        const std::string* kept;  // null: no file
    };
    const Case cases[] = {{"no cache folder (reference)", &reference, nullptr},
                          {"no round kept yet", &platform, nullptr},
                          {"kept round, half shown", &platform, &half},
                          {"kept round, all but 10 shown", &platform, &nearlyAll}};
    std::printf("first picture ready, %zu pictures, median of %d starts:\n", names, tries);
    double referenceMs = 0;
    for (const Case& c : cases) {
        std::vector<double> times;
        for (int t = 0; t < tries; ++t) {
            fs::remove(file);
            if (c.kept) files::replaceFile(file, *c.kept);
            times.push_back(firstPicture(*c.platform, folder));
        }
        const double m = median(times);
        if (c.platform == &reference) referenceMs = m;
        // The best start too: on a busy machine the thread's first turn alone may take a few ms.
        std::printf("  %-30s %8.1f ms  (%.2f of the reference), best %.1f ms\n", c.name, m, m / referenceMs,
                    *std::min_element(times.begin(), times.end()));
    }

    std::vector<double> readMs, parseMs, mergeMs;
    for (int t = 0; t < tries; ++t) {
        files::replaceFile(file, half);
        auto start = Clock::now();
        const auto text = files::readSmallFile(file, slides::kMaxRoundTextBytes);
        readMs.push_back(ms(Clock::now() - start));
        start = Clock::now();
        const auto kept = slides::ParseRound(*text, folderKey);
        parseMs.push_back(ms(Clock::now() - start));
        std::vector<slides::KeyedPicture> scanned = keyed;  // the scan's names, handed over as the show does
        start = Clock::now();
        const auto merged = slides::MergeRound(*kept, std::move(scanned), random);
        mergeMs.push_back(ms(Clock::now() - start));
        if (merged.toCome.size() != names - names / 2) std::fprintf(stderr, "the merge lost pictures\n");
    }
    std::printf("the kept round of %zu: %zu bytes (%.1f per 1,000 pictures); read %.1f ms, parsed %.1f ms, merged with the folder %.1f ms\n",
                names, half.size(), 1000.0 * static_cast<double>(half.size()) / static_cast<double>(names),
                median(readMs), median(parseMs), median(mergeMs));
    return 0;
}
