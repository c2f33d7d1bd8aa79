#pragma once
// Gets a slideshow's next picture ready on a second thread before its turn: scans the folder
// (anew at the start of every round), picks the order, reads and decodes the picture, draws a
// still at the size it will be painted, and cuts a GIF into its frames. A picture that will not
// load is skipped with one line on the error output. A shuffled round is remembered between runs
// in the user's cache folder, so that a show started often still goes through the whole folder.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "caption/caption_label.h"
#include "platform/picture/backdrop.h"
#include "platform/picture/frames/composed_frames.h"
#include "platform/picture/motion/picture_motion.h"
#include "platform/picture/picture.h"
#include "platform/picture/placement.h"
#include "settings/caption_text.h"
#include "slideshow/folder_scan.h"
#include "slideshow/remembered_round.h"
#include "slideshow/show_order.h"

namespace mv {

class Platform;

// One picture ready to show: a still's drawing, or an animation's frames with their delays.
struct PreparedSlide {
    std::string path;
    // The file's time of writing and size when it was read: a file written anew under the same
    // name is another picture.
    std::string stamp;
    std::vector<PicturePtr> frames;
    std::vector<long> delaysMs;  // one per frame; empty for a still
    // An animation's first frame drawn at its placed size on every monitor, so that neither the
    // fade into it nor its first paint stretches a large frame at the change; may be null.
    PicturePtr firstDrawn;
    // Fills the bars beside the picture (an animation's first frame) when they are blurred.
    BackdropPtr backdrop;
    // What its caption says, and the caption drawn for the monitors ahead; empty without one.
    std::string caption;
    std::vector<KeyedCaptionLabel> captionLabels;
    int loops = 0;  // plays of an animation whose file counts them; 0 for ever
    // A still's drift, its pictures made ahead; null when stills do not move.
    PictureMotionPtr motion = nullptr;
    bool animated() const { return !delaysMs.empty(); }
};

// Where stills are drawn ahead: the monitors' sizes, the placement and the bars' colour.
struct SlideTarget {
    std::vector<PixelRect> surfaces;
    PicturePlacement placement = PicturePlacement::Stretch;
    Monitors monitors = Monitors::Each;
    int32_t backColor = 0;
    // The caption's words (none: no caption) and the date pattern it writes a date in.
    std::vector<CaptionWord> caption;
    std::string datePattern;
    // Stills drift, one drift over each one's time on screen; the seed of the first one's.
    bool motion = false;
    double motionSeconds = 10.0;
    uint64_t motionSeed = 0;
};

// The areas a slide is placed on: each monitor's own, or the rectangle of them all when one
// picture spans them.
ShownAreas SlideAreas(const SlideTarget& target);

class SlidePreparer {
public:
    // `ahead`: pictures kept ready beside the one on screen.
    SlidePreparer(Platform& platform, std::string folder, slides::ScanOptions scan, bool shuffle, SlideTarget target,
                  size_t ahead = 1);
    ~SlidePreparer();
    SlidePreparer(const SlidePreparer&) = delete;
    SlidePreparer& operator=(const SlidePreparer&) = delete;

    // The next ready picture, without waiting; nullopt while none is ready.
    std::optional<PreparedSlide> take();
    // Waits up to `ms` for a picture to be ready, for the folder to prove empty of any, or while
    // held (then none is coming).
    void waitReady(unsigned ms);
    // No picture of the folder could be shown in a whole round, and none is ready.
    bool nothingToShow();
    // While held, no new picture is begun (the one in hand is finished): a fade has the
    // processor to itself.
    void hold(bool held);
    // Asks the thread to end after the picture in hand, without waiting for it.
    void requestStop();

private:
    void run();
    void showRounds();
    bool prepare(const std::string& path);  // false when it was skipped
    // The remembered round: read at the start, brought up to the folder's pictures at each round
    // and written whenever a picture was taken since.
    std::optional<std::string> readRound(std::string& file);
    std::string openNamedFirst(std::string_view text, std::set<std::string>& tried);
    bool foundInFolder(const std::string& path) const;
    void loadRound(std::string file, const std::optional<std::string>& text, std::vector<uint64_t>& shownBefore,
                   uint64_t& avoidFirst);
    std::vector<std::string> rememberedRound(std::vector<std::string> pictures, bool newRound,
                                             const std::set<std::string>& tried, bool& partial);
    bool takenThisRound(const std::string& path);
    std::vector<std::string> nextPaths() const;  // with the mutex held
    void saveRound(bool atEnd);
    uint64_t keyOf(const std::string& path) const;
    PreparedSlide still(const std::string& path);
    PreparedSlide animation(const std::string& path);
    PreparedSlide frames(const std::string& path, const ComposedFrames& composed);
    PicturePtr drawnFirst(const Picture& frame);
    void caption(PreparedSlide& slide);
    BackdropPtr backdropOf(const Picture& picture) const;
    bool pause(unsigned ms);  // false when stopping

    Platform& platform_;
    std::string folder_;
    slides::ScanOptions scan_;
    slides::ShowOrder order_;
    SlideTarget target_;
    size_t ahead_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable ready_;
    std::deque<PreparedSlide> slides_;
    std::vector<PicturePtr> released_;  // let go on the show's thread, never on this one
    std::atomic<bool> stopping_{false};
    bool empty_ = false;
    bool held_ = false;
    std::string lastPrepared_;
    bool shuffle_;
    std::string roundFile_;  // "" while the round is not remembered
    uint64_t folderKey_ = 0;
    slides::RememberedRound round_;
    std::optional<slides::RememberedRound> nextRound_;  // laid out, begins at its first picture taken
    size_t roundsBegun_ = 0;
    bool roundChanged_ = false;  // a picture was taken or the round laid out since the thread looked
    size_t unsavedTakes_ = 0;
    bool mergedUnsaved_ = false;
    bool loadingRound_ = false;  // the kept round is being read: pictures taken wait for it
    std::vector<uint64_t> takenWhileLoading_;
    std::vector<std::string> upcoming_;  // the paths the thread makes ready next
    bool merging_ = false;
    std::vector<uint64_t> takenWhileMerging_;
    std::mt19937_64 random_;
    std::thread worker_;
};

}  // namespace mv
