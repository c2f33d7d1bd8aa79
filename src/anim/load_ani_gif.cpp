#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "anim/decode_plan.h"
#include "anim/frame_ranges.h"
#include "anim/frame_store.h"
#include "platform/files/files.h"
#include "platform/modes.h"
#include "platform/picture/gif/composed_picture.h"
#include "platform/picture/gif/index_cache.h"
#include "saver/frmMain.h"
#include "settings/number_text.h"
#include "startup/app.h"

namespace mv {

namespace {
std::string absolutePath(const std::string& path) {
    std::error_code ec;
    const auto p = std::filesystem::absolute(std::filesystem::path(std::u8string(path.begin(), path.end())), ec);
    if (ec) return {};
    const auto text = p.u8string();
    return std::string(text.begin(), text.end());
}
}  // namespace

void frmMain::LoadAniGif(const std::string& xFile, ControlArray<PictureBox>& xImgArray) {
    AnimatedGIF(0).setPicture(nullptr);
    if (xFile.empty() || files::dir(xFile).empty()) return;
    AnimationTimer.setEnabled(false);
    prefetch_.stop();
    const int oldCount = xImgArray.Count();
    for (int i = 1; i < oldCount; ++i) xImgArray.Unload(i);
    if (!splitFrames(xFile, xImgArray)) return;
    // Every frame is shown over the first one's backdrop: frames are not blurred anew.
    backdrop_ = backdropFor(xImgArray(0).Picture());
    startAnimation(xImgArray);
}

// Cuts the file into frames and stores each, processing pending events after every boundary
// search. False when a frame could not be stored, or when input handled meanwhile ended the
// show (the window was unloaded): then nothing is shown, started or painted.
bool frmMain::splitFrames(const std::string& xFile, ControlArray<PictureBox>& xImgArray) {
    auto& table = files::fileTable();
    std::vector<int> openNumbers;
    const bool hadWindow = Loaded();
    bool showEnded = false;
    auto processEvents = [&] {
        app().platform.doEvents();
        showEnded = hadWindow && !Loaded();
        return !showEnded;
    };
    auto closeFiles = [&] {
        for (int n : openNumbers) continueStep([&] { table.close(n); });
        openNumbers.clear();
    };
    const bool split = withFallback(
        [&] {
            const int source = table.freeFile();
            table.open(source, xFile, files::Mode::ReadOnly);
            openNumbers.push_back(source);
            anim::SourceBytes bytes;
            bytes.attach(table, source, static_cast<size_t>(table.length(source)));
            anim::FrameRanges ranges(bytes);
            anim::FrameStore store(app().platform, bytes, xImgArray, ranges.prefixLength(), absolutePath(xFile));
            store.storeAll(ranges, processEvents);
        },
        closeFiles);
    closeFiles();
    return split && !showEnded;
}

// Primes the animation: the counters, frame 0's delay as the interval, the timer for three
// frames or more (else the window is shown still), and frame 0 painted over the window.
void frmMain::startAnimation(ControlArray<PictureBox>& xImgArray, PicturePtr firstDrawn, int plays) {
    currentFrame = 0;
    playsLeft_ = plays;
    playsOver_ = false;
    lastFrame = xImgArray.Count() - 1;
    const bool intervalSet = continueStep([&] { AnimationTimer.setInterval(ParseInt16(xImgArray(0).Tag)); });

    // Frames too large to stretch between two inputs are drawn ahead, frame 0 here: for three
    // frames or more, before the window shows.
    std::vector<PicturePtr> all;
    for (int k = 0; k <= lastFrame; ++k) all.push_back(xImgArray(k).Picture());
    const std::vector<anim::DrawSize> sizes = drawSizes();
    const bool drawAhead = anim::drawsAhead(all, sizes);
    auto present = [&] {
        if (lastFrame > 1) {
            AnimationTimer.setEnabled(true);
        } else {
            AnimationTimer.setEnabled(false);
            Picture1.setPicture(xImgArray(0).Picture());
            Show();
        }
        Picture1.setPicture(xImgArray(0).Picture());
        drawn_ = {};
        if (firstDrawn && Picture1.Picture())
            drawn_ = {Picture1.Picture(), firstDrawn};
        else if (drawAhead && Picture1.Picture())
            drawn_ = {Picture1.Picture(), std::make_shared<const anim::DrawnFrame>(*Picture1.Picture(), sizes, Picture1.BackColor())};
        PaintPicture(paintable(), 0, 0, ScaleWidth(), ScaleHeight());
    };
    // What is kept decoded, decided before the first paint makes anything.
    std::vector<PicturePtr> loop(all.begin() + 1, all.end());
    const anim::DecodePlan plan = anim::planDecoding(loop);
    gif::indexCache().setBudget(plan.cacheBytes);
    cacheComposedCanvases(plan.canvasesCached);
    // The final phase forgives one failure: a refused interval, or a first failed attempt
    // at showing, which is then tried once more. A second failure goes to the caller.
    if (!intervalSet)
        present();
    else if (!continueStep(present))
        present();
    if (!AnimationTimer.Enabled()) return;
    if (drawAhead)
        prefetch_.startDrawing(std::move(loop), std::min(plan.framesAhead, anim::kFramesAhead),
                               {sizes, Picture1.BackColor()});
    else
        prefetch_.start(std::move(loop), plan.framesAhead);
}

}  // namespace mv
