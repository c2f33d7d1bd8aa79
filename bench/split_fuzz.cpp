// libFuzzer target for the frame splitter with its file I/O: LoadAniGif on the input written to
// a file, on a saver window of a scripted platform whose current directory is a temporary
// folder, then a second of the animation it started. Any input must end in frames, in
// nothing, or in a PlatformError; never in a crash, a file left open, or an animation that
// steps past its frames.
#include <cstdint>
#include <filesystem>
#include <vector>

#include "fuzz_budget.h"
#include "platform/error.h"
#include "platform/files.h"
#include "saver/frmMain.h"
#include "startup/app.h"
#include "support/fake_platform.h"

namespace {

struct Saver {
    Saver() {
        // A small screen keeps each paint cheap; the stretch has its own fuzzing through the
        // still-picture targets.
        platform.screenW = 40;
        platform.screenH = 30;
        std::filesystem::current_path(platform.dir.path());
        // Loading with the show already ended keeps the window's own start-up out of the way.
        app.saverUnloaded = true;
        app.mainForm->Load();
        app.saverUnloaded = false;
    }
    mv::test::FakePlatform platform;
    mv::App app{platform};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Saver saver;
    if (!mv::fuzz::gifScreenWorthDecoding(data, size)) return 0;
    mv::frmMain& form = *saver.app.mainForm;
    const std::string path = saver.platform.dir.write("input.gif", std::vector<uint8_t>(data, data + size));
    try {
        form.LoadAniGif(path, form.AnimatedGIF);
        saver.platform.advance(1000);
    } catch (const mv::PlatformError&) {
        // Refused input; what matters is that nothing else escapes and nothing is left open.
    }
    if (mv::files::fileTable().openCount() != 0) __builtin_trap();
    // A running animation steps only through frames that exist.
    if (form.AnimationTimer.Enabled() && (form.lastFrame < 1 || form.lastFrame >= form.AnimatedGIF.Count()))
        __builtin_trap();
    return 0;
}
