// libFuzzer target for the frame splitter with its file I/O: LoadAniGif on the input written to
// a file, on a saver window of a scripted platform whose current directory is a temporary
// folder, then a second of the animation it started. Any input must end in frames, in
// nothing, or in a PlatformError; never in a crash, a file left open, or an animation that
// steps past its frames.
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "anim/gif_split.h"
#include "fuzz_budget.h"
#include "platform/error.h"
#include "platform/files/files.h"
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

// Frames that are not GIFs go to the scripted platform's BMP reader, which decodes eagerly.
bool bmpWorthDecoding(const uint8_t* d, size_t size) {
    if (size < 26 || d[0] != 'B' || d[1] != 'M') return true;
    const auto le32 = [&](size_t i) { return static_cast<int32_t>(d[i] | d[i + 1] << 8 | d[i + 2] << 16 | uint32_t{d[i + 3]} << 24); };
    return mv::fuzz::worthDecoding(le32(18), le32(22));
}

// Every frame is decoded as it is stored. So the frames are cut here as the splitter cuts them
// (the header up to the first boundary, then from boundary to boundary) to check each one's
// sizes. Only a filter for speed: LoadAniGif still does the work.
bool framesWorthDecoding(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> bytes(data, data + size);
    mv::anim::SourceBytes source;
    source.assign(bytes);
    size_t boundary = source.findBoundary(0);
    const size_t prefixLength = boundary == mv::anim::kNoBoundary ? 1 : boundary + 2;
    const std::vector<uint8_t> prefix(bytes.begin(), bytes.begin() + std::min(prefixLength, size));
    for (size_t chunkStart = prefixLength;;) {
        boundary = source.findBoundary(chunkStart + 1);
        const bool last = boundary == mv::anim::kNoBoundary;
        const size_t end = last ? (size >= 2 ? size - 2 : 0) : boundary + 2;
        if (chunkStart < end) {
            std::vector<uint8_t> frame = prefix;
            frame.insert(frame.end(), bytes.begin() + chunkStart, bytes.begin() + end);
            if (!mv::fuzz::gifWorthDecoding(frame.data(), frame.size())) return false;
        }
        if (last) return true;
        chunkStart = boundary + 2;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Saver saver;
    if (!bmpWorthDecoding(data, size) || !framesWorthDecoding(data, size)) return 0;
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
