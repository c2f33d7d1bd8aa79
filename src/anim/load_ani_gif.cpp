#include <algorithm>
#include <vector>

#include "../platform/error.h"
#include "../platform/files.h"
#include "../platform/gif/composed_picture.h"
#include "../platform/held_file.h"
#include "../platform/load_picture.h"
#include "../platform/modes.h"
#include "../saver/frmMain.h"
#include "../settings/number_text.h"
#include "../startup/app.h"
#include "gif_split.h"
#include "scratch_file.h"

namespace mv {

namespace {

// How much of the file one search reads before pending events run again: even a huge file
// without boundaries then leaves input handled within a fraction of a second.
constexpr size_t kSearchSlice = size_t{4} << 20;

}  // namespace

void frmMain::LoadAniGif(const std::string& xFile, ControlArray<PictureBox>& xImgArray) {
    AnimatedGIF(0).setPicture(nullptr);
    if (xFile.empty() || files::dir(xFile).empty()) return;
    AnimationTimer.setEnabled(false);
    const int oldCount = xImgArray.Count();
    for (int i = 1; i < oldCount; ++i) xImgArray.Unload(i);

    auto& table = files::fileTable();
    std::vector<int> openNumbers;
    // The scratch file is held for one frame at a time and deleted on every way out.
    files::HeldFile scratch;
    // Input handled while pending events run can end the show and unload this window; the
    // split then stops, so nothing is shown, started or painted for a show that has ended.
    const bool hadWindow = Loaded();
    bool showEnded = false;
    auto closeFiles = [&] {
        scratch.release();
        for (int n : openNumbers) continueStep([&] { table.close(n); });
        openNumbers.clear();
    };
    auto processEvents = [&] {
        app().platform.doEvents();
        showEnded = hadWindow && !Loaded();
        return !showEnded;
    };

    const bool split = withFallback(
        [&] {
            const int source = table.freeFile();
            table.open(source, xFile, files::Mode::ReadOnly);
            openNumbers.push_back(source);
            anim::SourceBytes bytes;
            bytes.attach(table, source, static_cast<size_t>(table.length(source)));
            const size_t length = bytes.size();

            size_t boundary = bytes.findFirstBoundary();
            const size_t prefixLength = boundary == anim::kNoBoundary ? 1 : boundary + 2;
            const std::vector<uint8_t> prefix = bytes.copy(0, std::min(prefixLength, length));
            size_t chunkStart = prefixLength;
            PicturePtr composed;  // the frame stored last, as it shows after the frames before it

            // Writes the frame file (the header prefix, then the chunk), decodes it into element
            // k and deletes it again.
            auto store = [&](int k, size_t from, size_t to) {
                // A frame file the picture loader would refuse unread is not written at all.
                if (static_cast<int64_t>(prefix.size() + (to - from)) > kMaxPictureFileBytes)
                    throw PlatformError(ErrInvalidPicture, "Frame too large");
                holdScratchGif(app().platform, scratch);
                scratch.writeAt(0, prefix.data(), prefix.size());
                int64_t at = static_cast<int64_t>(prefix.size());
                bytes.forEach(from, to, [&](const uint8_t* p, size_t count) {
                    scratch.writeAt(at, p, count);
                    at += static_cast<int64_t>(count);
                });
                const long delay = anim::chunkDelayMs(bytes, from, to, k);
                if (k >= 1) xImgArray.Load(k);
                xImgArray(k).Tag = IntText(delay);
                composed = composeGifFrame(composed, LoadPicture(app().platform, scratch.path()));
                xImgArray(k).setPicture(composed);
                scratch.release();
            };
            // The next boundary from `from`, with pending events processed between slices of
            // the search; kNoBoundary also when the show ended meanwhile.
            auto search = [&](size_t from) {
                for (;;) {
                    const size_t found = bytes.findBoundary(from, from + kSearchSlice);
                    if (found != anim::kNoBoundary || from + kSearchSlice >= length) return found;
                    if (!processEvents()) return anim::kNoBoundary;
                    from += kSearchSlice;
                }
            };

            int frame = 0;
            for (;;) {
                ++frame;
                boundary = search(chunkStart + 1);
                if (showEnded) return;
                if (boundary != anim::kNoBoundary) {
                    store(frame - 1, chunkStart, boundary + 2);
                    chunkStart = boundary + 2;
                }
                if (!processEvents()) return;
                if (boundary == anim::kNoBoundary) break;
            }
            if (chunkStart + 2 < length) store(frame - 1, chunkStart, length - 2);
        },
        closeFiles);
    closeFiles();
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
