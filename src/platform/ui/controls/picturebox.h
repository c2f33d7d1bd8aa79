#pragma once
#include "platform/picture/backdrop.h"
#include "platform/picture/motion/picture_motion.h"
#include "platform/picture/picture.h"
#include "platform/ui/controls/control.h"

namespace mv {

// What a picture box displays: its picture drawn over its background colour, at the
// picture's own size. Painting it stretched shows the whole picture.
struct PictureImage {
    PicturePtr picture;
    int32_t backColor = 0;
    // What fills the bars beside the picture placed whole; null: the background colour.
    BackdropPtr backdrop;
    // A still that drifts: painted at its framing of the moment, from the pictures this holds.
    PictureMotionPtr motion = nullptr;
};

class PictureBox : public Control {
public:
    using Control::Control;

    const PicturePtr& Picture() const { return picture_; }
    void setPicture(PicturePtr p) { picture_ = std::move(p); notify(); }
    // Non-zero while a picture is present.
    uintptr_t pictureHandle() const { return reinterpret_cast<uintptr_t>(picture_.get()); }

    int32_t BackColor() const { return backColor_; }
    void setBackColor(int32_t c) { if (c != backColor_) { backColor_ = c; notify(); } }

    PictureImage Image() const { return {picture_, backColor_, nullptr}; }

    std::string Tag;

    // The design state that a new element of a control array copies.
    void copyDesignFrom(const PictureBox& other) {
        setVisible(false);
        backColor_ = other.backColor_;
    }

private:
    PicturePtr picture_;
    int32_t backColor_ = 0x00FFFFFF;
};

}  // namespace mv
