#include <algorithm>
#include <vector>

#include "../platform/files.h"
#include "../platform/gif/composed_picture.h"
#include "../platform/load_picture.h"
#include "../platform/modes.h"
#include "../saver/frmMain.h"
#include "../settings/number_text.h"
#include "../startup/app.h"
#include "gif_split.h"
#include "scratch_file.h"

namespace mv {

void frmMain::LoadAniGif(const std::string& xFile, ControlArray<PictureBox>& xImgArray) {
    AnimatedGIF(0).setPicture(nullptr);
    if (xFile.empty() || files::dir(xFile).empty()) return;
    AnimationTimer.setEnabled(false);
    const int oldCount = xImgArray.Count();
    for (int i = 1; i < oldCount; ++i) xImgArray.Unload(i);

    auto& table = files::fileTable();
    std::vector<int> openNumbers;
    // Input handled while pending events run can end the show and unload this window; the
    // split then stops, so nothing is shown, started or painted for a show that has ended.
    const bool hadWindow = Loaded();
    bool showEnded = false;

    const bool split = withFallback(
        [&] {
            const std::string scratch = scratchGifPath(app().platform);
            const int source = table.freeFile();
            table.open(source, xFile, files::Mode::ReadOnly);
            openNumbers.push_back(source);
            anim::SourceBytes bytes;
            bytes.read(table, source, static_cast<size_t>(table.length(source)));
            table.close(source);
            openNumbers.pop_back();
            const size_t length = bytes.size();

            size_t boundary = bytes.findFirstBoundary();
            const size_t prefixLength = boundary == anim::kNoBoundary ? 1 : boundary + 2;
            const std::vector<uint8_t> prefix = bytes.copy(0, std::min(prefixLength, length));
            size_t chunkStart = prefixLength;
            PicturePtr composed;  // the frame stored last, as it shows after the frames before it

            auto store = [&](int k, size_t from, size_t to) {
                const int n = table.freeFile();
                table.open(n, scratch, files::Mode::ReadWrite);
                openNumbers.push_back(n);
                table.writeAt(n, 0, prefix.data(), prefix.size());
                int64_t at = static_cast<int64_t>(prefix.size());
                bytes.forEach(from, to, [&](const uint8_t* p, size_t count) {
                    table.writeAt(n, at, p, count);
                    at += static_cast<int64_t>(count);
                });
                table.close(n);
                openNumbers.pop_back();
                const long delay = anim::chunkDelayMs(bytes, from, to, k);
                if (k >= 1) xImgArray.Load(k);
                xImgArray(k).Tag = IntText(delay);
                composed = composeGifFrame(composed, LoadPicture(app().platform, scratch));
                xImgArray(k).setPicture(composed);
                files::kill(scratch);
            };

            int frame = 0;
            for (;;) {
                ++frame;
                boundary = bytes.findBoundary(chunkStart + 1);
                if (boundary != anim::kNoBoundary) {
                    store(frame - 1, chunkStart, boundary + 2);
                    chunkStart = boundary + 2;
                    bytes.releaseBefore(chunkStart);
                }
                app().platform.doEvents();
                if (hadWindow && !Loaded()) {
                    showEnded = true;
                    return;
                }
                if (boundary == anim::kNoBoundary) break;
            }
            if (chunkStart + 2 < length) store(frame - 1, chunkStart, length - 2);
        },
        [&] {
            for (int n : openNumbers) continueStep([&] { table.close(n); });
        });
    if (!split || showEnded) return;

    currentFrame = 0;
    lastFrame = xImgArray.Count() - 1;
    const bool intervalSet = continueStep([&] { AnimationTimer.setInterval(ParseInt16(xImgArray(0).Tag)); });

    auto present = [&] {
        if (lastFrame > 1) {
            AnimationTimer.setEnabled(true);
        } else {
            AnimationTimer.setEnabled(false);
            Picture1.setPicture(xImgArray(0).Picture());
            Show();
        }
        Picture1.setPicture(xImgArray(0).Picture());
        PaintPicture(Picture1.Image(), 0, 0, ScaleWidth(), ScaleHeight());
    };
    // The final phase forgives one failure: a refused interval, or a first failed attempt
    // at showing, which is then tried once more. A second failure goes to the caller.
    if (!intervalSet) {
        present();
        return;
    }
    if (!continueStep(present)) present();
}

}  // namespace mv
