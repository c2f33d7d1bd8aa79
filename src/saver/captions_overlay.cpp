#include "saver/captions_overlay.h"

#include <algorithm>
#include <ctime>

#include "platform/platform.h"

namespace mv {

namespace {

// Enough for the captions of a few monitors' pictures and the clock at their sizes.
constexpr size_t kKeptLabels = 16;

struct LabelSpot {
    PixelRect seen;
    int pixelSize = 0, maxWidth = 0;
};

LabelSpot spotOf(const PixelRect& area, const PixelRect& placed) {
    const PixelRect seen = SeenPart(placed, area);
    return {seen, CaptionPixelSize(seen), CaptionMaxWidth(seen)};
}

}  // namespace

CaptionsOverlay::CaptionsOverlay(Platform& platform, CaptionSetting setting)
    : platform_(platform), setting_(std::move(setting)) {}

void CaptionsOverlay::setCaption(size_t surface, std::string text, std::vector<KeyedCaptionLabel> made) {
    if (captions_.size() <= surface) captions_.resize(surface + 1);
    captions_[surface] = std::move(text);
    for (auto& label : made) labels_.insert(labels_.begin(), std::move(label));
    if (labels_.size() > kKeptLabels) labels_.resize(kKeptLabels);
}

bool CaptionsOverlay::updateClock() {
    if (!setting_.clock) return false;
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
#ifdef _WIN32
    localtime_s(&tm, &now);
#else
    localtime_r(&now, &tm);
#endif
    std::string text = platform_.formatTime(clockPattern_, tm.tm_hour, tm.tm_min);
    if (text == clockText_) return false;
    clockText_ = std::move(text);
    return true;
}

CaptionLabelPtr CaptionsOverlay::labelFor(const std::string& text, int pixelSize, int maxWidth) {
    const CaptionLabelKey key{text, pixelSize, maxWidth};
    const auto found = std::find_if(labels_.begin(), labels_.end(), [&](const KeyedCaptionLabel& l) { return l.key == key; });
    if (found != labels_.end()) return found->label;
    auto label = std::make_shared<const CaptionLabel>(FitCaptionLabel(platform_, text, pixelSize, maxWidth));
    labels_.insert(labels_.begin(), {key, label});
    if (labels_.size() > kKeptLabels) labels_.resize(kKeptLabels);
    return label;
}

void CaptionsOverlay::draw(Bitmap& surface, size_t index, const PixelRect& area, const PixelRect& placed) {
    if (!drawing_ || !any()) return;
    const LabelSpot spot = spotOf(area, placed);
    if (spot.seen.width <= 0 || spot.seen.height <= 0) return;
    const std::string& caption = index < captions_.size() && !captions_[index].empty() ? captions_[index]
                                 : captions_.empty()                                  ? std::string()
                                                                                      : captions_[0];
    if (!caption.empty()) {
        const CaptionLabelPtr label = labelFor(caption, spot.pixelSize, spot.maxWidth);
        const PixelPoint at = CaptionPosition(spot.seen, label->width, label->height, corner_);
        DrawCaptionLabel(surface, *label, at.x, at.y);
    }
    if (setting_.clock && !clockText_.empty()) {
        const CaptionLabelPtr label = labelFor(clockText_, spot.pixelSize, spot.maxWidth);
        const PixelPoint at = CaptionPosition(spot.seen, label->width, label->height, OppositeCorner(corner_));
        DrawCaptionLabel(surface, *label, at.x, at.y);
    }
}

std::vector<KeyedCaptionLabel> MakeCaptionLabels(Platform& platform, const std::string& text, int picW, int picH,
                                                 const ShownAreas& areas) {
    std::vector<KeyedCaptionLabel> made;
    if (text.empty()) return made;
    for (const PixelRect& area : areas.areas) {
        const LabelSpot spot = spotOf(area, PlacePicture(picW, picH, area, areas.placement));
        if (spot.seen.width <= 0 || spot.seen.height <= 0) continue;
        const CaptionLabelKey key{text, spot.pixelSize, spot.maxWidth};
        if (std::any_of(made.begin(), made.end(), [&](const KeyedCaptionLabel& l) { return l.key == key; })) continue;
        made.push_back({key, std::make_shared<const CaptionLabel>(FitCaptionLabel(platform, text, spot.pixelSize, spot.maxWidth))});
    }
    return made;
}

}  // namespace mv
