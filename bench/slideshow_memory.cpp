// Whether a slideshow's memory stays flat: a folder of 1920x1080 stills and animated GIFs shown
// on the scripted platform's 1920x1080 screen, with fades, on a virtual clock, the heap set up
// as the program sets it; the peak resident memory after 10 changes and after CHANGES (1000
// unless given; each a 3.6 s step of the clock), and their difference. SLIDES_TRACE=1 adds the
// resident and peak memory every 100 changes.
//   build/bench/slideshow_memory [CHANGES]
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/posix/heap.h"
#include "saver/frmMain.h"
#include "startup/app.h"
#include "support/fake_platform.h"
#include "support/gif_writer.h"

using namespace mv;

namespace {

long statusKb(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0) return std::atol(line.c_str() + std::string(field).size());
    return -1;
}
long peakKb() { return statusKb("VmHWM:"); }

}  // namespace

int main(int argc, char** argv) {
    const int changes = argc > 1 ? std::atoi(argv[1]) : 1000;
    posix::keepFrameBuffersInHeap();  // as the program does
    test::FakePlatform platform;
    platform.screenW = 1920;
    platform.screenH = 1080;
    std::filesystem::create_directory(platform.dir.file("pics"));
    for (int i = 0; i < 8; ++i)
        platform.dir.write("pics/still" + std::to_string(i) + ".bmp",
                           test::makeBmp(1920 + 16 * i, 1080, static_cast<int32_t>(0x102030 * (i + 1))));
    for (int i = 0; i < 2; ++i) {
        test::GifPlan plan;
        plan.width = 800 + 400 * i;
        plan.height = 600;
        plan.globalPalette = test::basicPalette();
        for (int f = 0; f < 6; ++f) plan.frames.push_back(test::solidFrame(plan.width, plan.height, static_cast<uint8_t>(f % 4), 10));
        platform.dir.write("pics/anim" + std::to_string(i) + ".gif", test::writeGif(plan));
    }
    platform.store.set("AniFile", platform.dir.file("pics"));
    platform.store.set("Interval", "2");
    platform.store.set("Fade", "1");
    platform.store.set("Mousesens", "30");
    App app{platform};
    app.mainForm->Load();
    if (!app.mainForm->Visible()) {
        std::fprintf(stderr, "the show did not start\n");
        return 1;
    }
    long after10 = 0;
    // Each picture stays 2 s (an animation whole loops) and each fade takes 1 s: 3.6 s of the
    // virtual clock make one change at least.
    for (int k = 1; k <= changes; ++k) {
        app.mainForm->waitForNextSlide();
        platform.advance(3600);
        if (k == 10) after10 = peakKb();
        if (std::getenv("SLIDES_TRACE") && k % 100 == 0)
            std::printf("%d: resident %.1f MB, peak %.1f MB\n", k, statusKb("VmRSS:") / 1024.0, peakKb() / 1024.0);
    }
    const long after = peakKb();
    std::printf("peak resident memory after 10 changes: %.1f MB; after %d: %.1f MB; difference %.1f MB\n",
                after10 / 1024.0, changes, after / 1024.0, (after - after10) / 1024.0);
    app.mainForm->Unload();
    return 0;
}
