#pragma once
// What the show writes over its pictures: each picture's caption and the clock, in opposite
// corners of what is seen of the picture, drawn into every paint of it. Labels are made once
// per text and size, most of them ahead on the second thread with the picture.
#include <cstddef>
#include <string>
#include <vector>

#include "caption/caption_label.h"
#include "caption/caption_layout.h"
#include "platform/picture/bitmap.h"
#include "platform/picture/placement.h"
#include "settings/settings.h"

namespace mv {

class Platform;

class CaptionsOverlay {
public:
    CaptionsOverlay(Platform& platform, CaptionSetting setting);
    // The pattern the clock is written in (see ClockPattern).
    void setClockPattern(std::string pattern) { clockPattern_ = std::move(pattern); }

    bool any() const { return setting_.any(); }
    bool clock() const { return setting_.clock; }
    const std::vector<CaptionWord>& words() const { return setting_.words; }

    // The caption of the picture on one surface; surface 0's goes for a paint that all share.
    void setCaption(size_t surface, std::string text, std::vector<KeyedCaptionLabel> made = {});
    // The clock's time now; whether it changed.
    bool updateClock();
    // The caption moves to the next corner, and the clock with it.
    void turnCorner() { corner_ = NextCorner(corner_); }
    // While off, nothing is drawn (a fade blends pictures that have their captions already).
    void setDrawing(bool on) { drawing_ = on; }

    // Draws over one surface's paint: `placed` is where its picture landed in `area`.
    void draw(Bitmap& surface, size_t index, const PixelRect& area, const PixelRect& placed);

private:
    CaptionLabelPtr labelFor(const std::string& text, int pixelSize, int maxWidth);

    Platform& platform_;
    CaptionSetting setting_;
    std::vector<std::string> captions_;  // by surface
    std::string clockText_;
    std::string clockPattern_ = "HH:mm";
    Corner corner_ = Corner::BottomLeft;
    bool drawing_ = true;
    std::vector<KeyedCaptionLabel> labels_;  // the latest first
};

// The labels a caption needs over `areas` of a picW x picH picture placed as `placement`: made
// ahead where the picture is.
std::vector<KeyedCaptionLabel> MakeCaptionLabels(Platform& platform, const std::string& text, int picW, int picH,
                                                 const ShownAreas& areas);

}  // namespace mv
