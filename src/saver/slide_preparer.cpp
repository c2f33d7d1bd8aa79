#include "saver/slide_preparer.h"

#include <chrono>
#include <exception>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>

#include "anim/drawn_frame.h"
#include "anim/frame_ranges.h"
#include "anim/frame_store.h"
#include "anim/gif_split.h"
#include "anim/played_frames.h"
#include "caption/caption_says.h"
#include "saver/captions_overlay.h"
#include "platform/error.h"
#include "platform/files/file_io.h"
#include "platform/picture/load_picture.h"
#include "platform/platform.h"
#include "platform/ui/controls/control_array.h"
#include "platform/ui/controls/picturebox.h"
#include "settings/number_text.h"

namespace mv {

namespace {

std::filesystem::path pathOf(const std::string& utf8) { return std::filesystem::path(std::u8string(utf8.begin(), utf8.end())); }

bool namesGif(const std::string& path) {
    if (path.size() < 4) return false;
    std::string end = path.substr(path.size() - 4);
    for (char& c : end) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return end == ".gif";
}

std::vector<anim::DrawSize> placedSizes(const SlideTarget& t, int picW, int picH) {
    std::vector<anim::DrawSize> sizes;
    for (const PixelRect& area : SlideAreas(t).areas) {
        const PixelRect placed = PlacePicture(picW, picH, area, t.placement);
        const anim::DrawSize size{placed.width, placed.height};
        if (std::find(sizes.begin(), sizes.end(), size) == sizes.end()) sizes.push_back(size);
    }
    return sizes;
}

std::string stampOf(const std::string& path) {
    std::error_code timeError, sizeError;
    const auto written = std::filesystem::last_write_time(pathOf(path), timeError).time_since_epoch().count();
    const uintmax_t size = std::filesystem::file_size(pathOf(path), sizeError);
    return timeError || sizeError ? std::string() : std::to_string(written) + ":" + std::to_string(size);
}

std::string reasonOf(const std::exception& e) {
    if (auto* pe = dynamic_cast<const PlatformError*>(&e)) {
        if (pe->number() == ErrFileNotFound) return "no such file";
        if (pe->number() == ErrInvalidPicture) return "not a picture Marvoscope can read";
        if (pe->number() == ErrOutOfMemory) return "too big";
    }
    return e.what();
}

}  // namespace

ShownAreas SlideAreas(const SlideTarget& t) {
    ShownAreas shown{{}, t.placement};
    const PixelRect desk = BoundingRect(t.surfaces);
    for (const PixelRect& s : t.surfaces)
        shown.areas.push_back(t.monitors == Monitors::Span ? desk : PixelRect{0, 0, s.width, s.height});
    return shown;
}

SlidePreparer::SlidePreparer(Platform& platform, std::string folder, slides::ScanOptions scan, bool shuffle,
                             SlideTarget target, size_t ahead)
    : platform_(platform),
      folder_(std::move(folder)),
      scan_(std::move(scan)),
      order_(shuffle, std::random_device{}()),
      target_(std::move(target)),
      ahead_(ahead < 1 ? 1 : ahead),
      shuffle_(shuffle),
      random_(std::random_device{}()) {
    loadingRound_ = shuffle_;
    worker_ = std::thread([this] { run(); });
}

SlidePreparer::~SlidePreparer() {
    requestStop();
    if (worker_.joinable()) worker_.join();
}

void SlidePreparer::requestStop() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
}

void SlidePreparer::hold(bool held) {
    {
        std::lock_guard lock(mutex_);
        held_ = held;
    }
    wake_.notify_all();
    ready_.notify_all();
}

std::optional<PreparedSlide> SlidePreparer::take() {
    std::vector<PicturePtr> released;
    std::optional<PreparedSlide> slide;
    {
        std::lock_guard lock(mutex_);
        released.swap(released_);
        if (!slides_.empty()) {
            slide = std::move(slides_.front());
            slides_.pop_front();
            // Shown from now: a picture made ready but never taken is still to come next time.
            if (!roundFile_.empty()) {
                const uint64_t key = keyOf(slide->path);
                if (slides::TakePicture(round_, nextRound_, key)) {
                    ++roundsBegun_;
                    takenWhileMerging_.clear();  // those were the round before's
                }
                if (merging_) takenWhileMerging_.push_back(key);
                roundChanged_ = true;
                ++unsavedTakes_;
            } else if (loadingRound_) {
                // Opened by name before the kept round was read: it joins the round once it is.
                takenWhileLoading_.push_back(keyOf(slide->path));
            }
        }
    }
    wake_.notify_all();
    return slide;
}

void SlidePreparer::waitReady(unsigned ms) {
    std::unique_lock lock(mutex_);
    ready_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return !slides_.empty() || empty_ || held_; });
}

bool SlidePreparer::nothingToShow() {
    std::lock_guard lock(mutex_);
    return empty_ && slides_.empty();
}

bool SlidePreparer::pause(unsigned ms) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    std::unique_lock lock(mutex_);
    while (wake_.wait_until(lock, until, [this] { return stopping_ || roundChanged_; }) && !stopping_) {
        lock.unlock();
        saveRound(false);
        lock.lock();
    }
    return !stopping_;
}

void SlidePreparer::run() {
    showRounds();
    saveRound(true);  // what was taken last, however the show ended
}

uint64_t SlidePreparer::keyOf(const std::string& path) const { return slides::PictureKey(folder_, path); }

std::optional<std::string> SlidePreparer::readRound(std::string& file) {
    folderKey_ = slides::FolderKey(folder_, scan_.subfolders);
    try {
        const std::u8string text = (pathOf(platform_.userCacheDirectory()) / slides::RoundFileName(folderKey_)).u8string();
        file.assign(text.begin(), text.end());
    } catch (const std::exception&) {
        return std::nullopt;  // no cache folder: every run shuffles anew
    }
    return files::readSmallFile(file, slides::kMaxRoundTextBytes);
}

std::string SlidePreparer::openNamedFirst(std::string_view text, std::set<std::string>& tried) {
    const std::optional<slides::RoundHead> head = slides::ParseRoundHead(text, folderKey_);
    if (!head) return {};
    const uint64_t avoid = head->shown == 0 ? head->before : 0;
    {
        // Named again if the show ends before its round is laid out.
        std::lock_guard lock(mutex_);
        for (const std::string& relative : head->next) upcoming_.push_back(slides::PathInFolder(folder_, relative));
    }
    for (const std::string& relative : head->next) {
        if (stopping_) break;
        // The file is read like any input: only a picture the scan would find here now is opened.
        if (!slides::PlainRelativePath(relative, scan_.subfolders) ||
            !slides::NamesPicture(relative.substr(relative.rfind('/') + 1), scan_.moreSuffixes))
            continue;
        const std::string path = slides::PathInFolder(folder_, relative);
        if (keyOf(path) == avoid || !foundInFolder(path)) continue;
        tried.insert(path);
        if (prepare(path)) return path;
    }
    return {};
}

// A plain file, or a link to one, not hidden nor in a hidden folder: as the scan finds pictures.
bool SlidePreparer::foundInFolder(const std::string& path) const {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(pathOf(path), ec) || ec) return false;
    for (std::filesystem::path p = pathOf(path); p.u8string().size() > folder_.size(); p = p.parent_path()) {
        const std::u8string text = p.u8string();
        if (files::markedHidden(std::string(text.begin(), text.end()))) return false;
        if (!p.has_parent_path() || p.parent_path() == p) break;
    }
    return true;
}

void SlidePreparer::loadRound(std::string file, const std::optional<std::string>& text,
                              std::vector<uint64_t>& shownBefore, uint64_t& avoidFirst) {
    // A damaged or foreign file is as none, and is replaced at the first picture taken.
    std::optional<slides::RememberedRound> remembered = text ? slides::ParseRound(*text, folderKey_) : std::nullopt;
    if (remembered && !remembered->complete()) {
        // Sorted before the lock is taken: the show may be taking the first picture meanwhile.
        const auto shownEnd = remembered->order.begin() + static_cast<std::ptrdiff_t>(remembered->shown);
        shownBefore.assign(remembered->order.begin(), shownEnd);
        std::sort(shownBefore.begin(), shownBefore.end());
    }
    std::lock_guard lock(mutex_);
    loadingRound_ = false;
    if (file.empty()) {
        takenWhileLoading_.clear();
        return;
    }
    roundFile_ = std::move(file);
    if (remembered && remembered->complete()) {
        round_.before = avoidFirst = remembered->lastShown();
    } else if (remembered) {
        round_ = std::move(*remembered);
        avoidFirst = round_.shown == 0 ? round_.before : 0;
    }
    for (const uint64_t key : takenWhileLoading_) {
        if (slides::TakePicture(round_, nextRound_, key)) ++roundsBegun_;
        roundChanged_ = true;
        ++unsavedTakes_;
    }
    takenWhileLoading_.clear();
}

std::vector<std::string> SlidePreparer::rememberedRound(std::vector<std::string> pictures, bool newRound,
                                                        const std::set<std::string>& tried, bool& partial) {
    std::vector<slides::KeyedPicture> keyed;
    keyed.reserve(pictures.size());
    for (std::string& p : pictures) keyed.push_back({keyOf(p), std::move(p)});
    slides::RememberedRound base;
    size_t begun = 0;
    {
        std::lock_guard lock(mutex_);
        if (!newRound) base = round_;
        begun = roundsBegun_;
        merging_ = true;
        takenWhileMerging_.clear();
    }
    partial = base.shown > 0;
    slides::MergedRound merged = slides::MergeRound(base, partial ? keyed : std::move(keyed), random_);
    const auto untried = [&](const slides::MergedRound& m) {
        return std::any_of(m.toCome.begin(), m.toCome.end(), [&](const std::string& p) { return !tried.count(p); });
    };
    if (partial && !untried(merged)) {
        // The remembered round has nothing left here.
        merged = slides::MergeRound({}, std::move(keyed), random_);
        partial = false;
        newRound = true;
    }
    std::lock_guard lock(mutex_);
    merging_ = false;
    roundChanged_ = true;
    mergedUnsaved_ = true;
    if (newRound && roundsBegun_ == begun) {
        // The round on screen goes on until the pictures made ready for it are shown.
        nextRound_ = std::move(merged.round);
        return std::move(merged.toCome);
    }
    round_.order = std::move(merged.round.order);
    round_.shown = merged.round.shown;
    for (const uint64_t key : takenWhileMerging_) round_.markShown(key);
    return std::move(merged.toCome);
}

bool SlidePreparer::takenThisRound(const std::string& path) {
    if (roundFile_.empty()) return false;
    const uint64_t key = keyOf(path);
    std::lock_guard lock(mutex_);
    return (nextRound_ ? *nextRound_ : round_).wasShown(key);
}

std::vector<std::string> SlidePreparer::nextPaths() const {
    // Those made ready and not taken come first, then those the thread goes on with; each still to
    // come in the round (near its front: a picture that failed stays to come).
    const size_t shown = std::min(round_.shown, round_.order.size());
    const auto from = round_.order.begin() + static_cast<std::ptrdiff_t>(shown);
    const auto to = round_.order.begin() + static_cast<std::ptrdiff_t>(std::min(round_.order.size(), shown + 256));
    std::vector<std::string> next;
    const auto consider = [&](const std::string& path) {
        if (next.size() == slides::kMaxNextPaths || std::find(from, to, keyOf(path)) == to) return;
        std::string relative = slides::RelativePath(folder_, path);
        if (std::find(next.begin(), next.end(), relative) == next.end()) next.push_back(std::move(relative));
    };
    for (const PreparedSlide& slide : slides_) consider(slide.path);
    for (const std::string& path : upcoming_) consider(path);
    return next;
}

void SlidePreparer::saveRound(bool atEnd) {
    // A round of thousands of pictures (its text hundreds of KB) is written at every eighth
    // picture and when the show ends, not at every one: a crash shows at most seven again.
    constexpr size_t kWriteEachUpTo = 4000, kWriteEvery = 8;
    std::string text, file;
    {
        std::lock_guard lock(mutex_);
        roundChanged_ = false;
        if (roundFile_.empty() || (unsavedTakes_ == 0 && !mergedUnsaved_)) return;
        if (!atEnd && round_.order.size() > kWriteEachUpTo && unsavedTakes_ < kWriteEvery) return;
        text = slides::RoundText(round_, folderKey_, nextPaths());
        file = roundFile_;
        unsavedTakes_ = 0;
        mergedUnsaved_ = false;
    }
    // One that cannot be written leaves the round unremembered, nothing worse.
    files::replaceFile(file, text);
}

void SlidePreparer::showRounds() {
    bool anyShown = false;
    bool first = true;
    std::string firstPath;
    std::set<std::string> triedFirst;  // tried while the first scan looked for a picture
    bool toldTruncated = false;  // said once, not every round
    bool toldNone = false;       // that the folder holds no picture now: once until it does again
    // Pictures of the remembered round shown in earlier runs (sorted), and the one not to begin with.
    std::vector<uint64_t> shownBefore;
    uint64_t avoidFirst = 0;
    if (shuffle_) {
        std::string file;
        const std::optional<std::string> kept = readRound(file);
        // The first picture to come, named at the head of the kept round, is opened before the
        // round's keys are read and the folder scanned.
        if (kept) firstPath = openNamedFirst(*kept, triedFirst);
        loadRound(std::move(file), kept, shownBefore, avoidFirst);
    }
    for (;;) {
        // A round: the folder as it is now, every picture once.
        slides::ScanResult found;
        if (first) {
            // The first readable picture still to come is made ready while the scan goes on.
            found = slides::ScanFolder(folder_, scan_, [&](const std::string& path) {
                if (!firstPath.empty() || stopping_) return;
                if (!roundFile_.empty()) {
                    const uint64_t key = keyOf(path);
                    if (key == avoidFirst || std::binary_search(shownBefore.begin(), shownBefore.end(), key)) return;
                }
                triedFirst.insert(path);
                if (prepare(path)) firstPath = path;
            }, &stopping_);
        } else {
            found = slides::ScanFolder(folder_, scan_, {}, &stopping_);
        }
        if (stopping_) return;
        if (found.truncated && !toldTruncated) {
            toldTruncated = true;
            platform_.report("Marvoscope: more than " + std::to_string(scan_.limit) + " pictures in " + folder_ +
                             "; the first " + std::to_string(scan_.limit) + " are shown");
        }
        if (anyShown && found.pictures.empty() && !toldNone)
            platform_.report("Marvoscope: no picture in " + folder_ +
                             " now (gone, emptied or no folder); the picture on screen stays");
        toldNone = found.pictures.empty();
        std::vector<std::string> round;
        bool partial = false;  // the rest of a round begun earlier
        if (!roundFile_.empty()) {
            anyShown = anyShown || (first && !firstPath.empty());
            round = rememberedRound(std::move(found.pictures), !first, triedFirst, partial);
            if (first) std::erase_if(round, [&](const std::string& p) { return triedFirst.count(p) > 0; });
        } else if (first && !firstPath.empty()) {
            anyShown = true;
            // A file that failed then is not tried again this round.
            for (auto& p : found.pictures)
                if (!triedFirst.count(p)) round.push_back(std::move(p));
            round = order_.nextRound(std::move(round), firstPath);
        } else {
            round = order_.nextRound(std::move(found.pictures), lastPrepared_);
        }
        first = false;
        bool shownThisRound = false;
        std::deque<std::string> queue(std::make_move_iterator(round.begin()), std::make_move_iterator(round.end()));
        while (!queue.empty()) {
            std::string path = std::move(queue.front());
            queue.pop_front();
            // Files skipped at the round's start may leave the picture shown last first after
            // all: it goes to the round's end instead.
            if (!shownThisRound && path == lastPrepared_ && !queue.empty()) {
                queue.push_back(std::move(path));
                continue;
            }
            for (;;) {
                std::unique_lock lock(mutex_);
                wake_.wait(lock, [this] { return stopping_ || roundChanged_ || (slides_.size() < ahead_ && !held_); });
                if (stopping_ || !roundChanged_) break;
                lock.unlock();
                saveRound(false);
            }
            if (stopping_) return;
            // Taken on another monitor since the round was laid out.
            if (takenThisRound(path)) continue;
            if (!roundFile_.empty()) {
                std::lock_guard lock(mutex_);
                upcoming_.assign(1, path);
                for (size_t i = 0; i < queue.size() && upcoming_.size() < slides::kMaxNextPaths; ++i)
                    upcoming_.push_back(queue[i]);
            }
            if (prepare(path)) shownThisRound = true;
        }
        // Those left of a round begun earlier would not show: the next round, at once, has all.
        if (!shownThisRound && partial) continue;
        anyShown = anyShown || shownThisRound;
        if (!anyShown) {
            {
                std::lock_guard lock(mutex_);
                empty_ = true;
            }
            ready_.notify_all();
        }
        // A round that showed nothing waits before it looks again, rather than spin.
        if (!shownThisRound && !pause(2000)) return;
    }
}

bool SlidePreparer::prepare(const std::string& path) {
    try {
        std::string stamp = stampOf(path);
        PreparedSlide slide = namesGif(path) ? animation(path) : still(path);
        slide.stamp = std::move(stamp);
        caption(slide);
        {
            std::lock_guard lock(mutex_);
            slides_.push_back(std::move(slide));
            lastPrepared_ = path;
            empty_ = false;
        }
        ready_.notify_all();
        return true;
    } catch (const std::exception& e) {
        if (!stopping_) platform_.report("Marvoscope: skipped " + path + ": " + reasonOf(e));
        return false;
    }
}

PreparedSlide SlidePreparer::still(const std::string& path) {
    std::error_code ec;
    const uintmax_t size = std::filesystem::file_size(pathOf(path), ec);
    if (ec) throw PlatformError(ErrFileNotFound, "File not found");
    if (size < kMinStillBytes) throw PlatformError(ErrInvalidPicture, "Invalid picture");
    // Decoded for the areas it is placed on, as a single picture is: a photo far larger than
    // the monitors is read at a fraction of its size. One whose data ends early is passed over.
    // A still that drifts is read as large as its largest framing.
    ShownAreas areas = SlideAreas(target_);
    const bool moves = target_.motion && PlacementMoves(target_.placement);
    if (moves) areas.areas = MotionDecodeAreas(areas.areas, areas.placement);
    LoadedPicture loaded = LoadPictureOrFrames(platform_, path, areas, DamagedPicture::Refuse);
    if (loaded.animation) return frames(path, *loaded.animation);
    PicturePtr picture = std::move(loaded.still);
    picture->prepare();
    // Drawn now at its placed size on every monitor, its painting at the change is a copy; the
    // decoded picture itself is let go here. A still that moves is painted from its motion's
    // pictures: only its size is kept.
    auto drawn = std::make_shared<const anim::DrawnFrame>(
        *picture, moves ? std::vector<anim::DrawSize>{} : placedSizes(target_, picture->width(), picture->height()),
        target_.backColor);
    PreparedSlide slide{path, {}, {std::move(drawn)}, {}, nullptr, backdropOf(*picture), {}, {}};
    if (moves) {
        slide.motion = std::make_shared<PictureMotion>(target_.placement, target_.backColor, slide.backdrop,
                                                       target_.motionSeconds, target_.motionSeed++);
        std::vector<PixelSize> sizes;
        for (const PixelRect& s : target_.surfaces) sizes.push_back({s.width, s.height});
        slide.motion->prepare(*picture, SlideAreas(target_).areas, sizes);
    }
    return slide;
}

// An APNG's or animated WebP's frames, played as a GIF's are; its first frame composed now.
PreparedSlide SlidePreparer::frames(const std::string& path, const ComposedFrames& composed) {
    PreparedSlide slide{path, {}, composed.frames, {}, nullptr, nullptr, {}, {}};
    slide.loops = composed.loops;
    for (long ms : composed.delaysMs) slide.delaysMs.push_back(anim::PlayedDelayMs(ms));
    slide.frames.front()->prepare();
    slide.firstDrawn = drawnFirst(*slide.frames.front());
    slide.backdrop = backdropOf(*slide.frames.front());
    return slide;
}

// The caption is drawn with the picture, so that showing it costs nothing more at the change.
void SlidePreparer::caption(PreparedSlide& slide) {
    if (target_.caption.empty() || slide.frames.empty() || !slide.frames.front()) return;
    slide.caption = CaptionSays(target_.caption, ReadPhotoFacts(slide.path), [&](const CalendarDay& d) {
        return platform_.formatDate(target_.datePattern, d.year, d.month, d.day);
    });
    const Picture& first = *slide.frames.front();
    slide.captionLabels = MakeCaptionLabels(platform_, slide.caption, first.width(), first.height(), SlideAreas(target_));
}

// Without the drawing (too little memory for it), the change draws the frame itself.
PicturePtr SlidePreparer::drawnFirst(const Picture& frame) {
    try {
        return std::make_shared<const anim::DrawnFrame>(frame, placedSizes(target_, frame.width(), frame.height()),
                                                        target_.backColor);
    } catch (const std::exception&) {
        return nullptr;
    }
}

BackdropPtr SlidePreparer::backdropOf(const Picture& picture) const {
    if (target_.placement != PicturePlacement::Blur) return nullptr;
    return MakeBackdrop(picture, SlideAreas(target_).areas, target_.backColor);
}

// The GIF cut as a single one is, its scratch file included; its frames' data stays in the file.
PreparedSlide SlidePreparer::animation(const std::string& path) {
    std::error_code ec;
    const uintmax_t size = std::filesystem::file_size(pathOf(path), ec);
    if (ec) throw PlatformError(ErrFileNotFound, "File not found");
    if (size > static_cast<uintmax_t>(kMaxPictureFileBytes)) throw PlatformError(ErrInvalidPicture, "Invalid picture");
    std::vector<uint8_t> data(static_cast<size_t>(size));
    {
        std::ifstream in(pathOf(path), std::ios::binary);
        if (!in.read(reinterpret_cast<char*>(data.data()), static_cast<std::streamsize>(data.size())))
            throw PlatformError(ErrFileNotFound, "File not found");
    }
    anim::SourceBytes bytes;
    bytes.assign(data);
    data = {};
    const std::string absolute = [&] {
        const auto text = std::filesystem::absolute(pathOf(path), ec).u8string();
        return ec ? std::string() : std::string(text.begin(), text.end());
    }();
    ControlArray<PictureBox> frames("slide");
    PreparedSlide slide{path, {}, {}, {}, nullptr, nullptr, {}, {}};
    auto keep = [&] {
        for (int k = 0; k < frames.Count(); ++k) {
            slide.frames.push_back(frames(k).Picture());
            slide.delaysMs.push_back(ParseInt32(frames(k).Tag));
        }
    };
    try {
        anim::FrameRanges ranges(bytes);
        anim::FrameStore store(platform_, bytes, frames, ranges.prefixLength(), absolute);
        if (!store.storeAll(ranges, [this] { return !stopping_.load(); }))
            throw PlatformError(ErrInvalidPicture, "Stopped");
        if (!frames(0).Picture()) throw PlatformError(ErrInvalidPicture, "Invalid picture");
        keep();
        slide.firstDrawn = drawnFirst(*slide.frames.front());
        slide.backdrop = backdropOf(*slide.frames.front());
    } catch (...) {
        std::lock_guard lock(mutex_);
        for (int k = 0; k < frames.Count(); ++k)
            if (frames(k).Picture()) released_.push_back(frames(k).Picture());
        throw;
    }
    return slide;
}

}  // namespace mv
