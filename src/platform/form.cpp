#include "form.h"

#include <algorithm>
#include <cmath>

#include "platform.h"

namespace mv {

Form::Form(Platform& platform, std::string caption) : platform_(platform), caption_(std::move(caption)) {}

Form::~Form() = default;

void Form::setDesign(BorderStyle border, ScaleMode mode, int32_t backColor, long left, long top, long width, long height) {
    borderStyle_ = border;
    scaleMode_ = mode;
    backColor_ = backColor;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
}

void Form::Load() {
    if (loaded_) return;
    host_ = platform_.createWindow(*this);
    loaded_ = true;
    platform_.formLoaded(*this);
    Form_Load();
}

void Form::Show() {
    if (!loaded_) Load();
    // Form_Load may have unloaded the form again; showing then would resurrect a dead window.
    if (!loaded_ || !host_) return;
    visible_ = true;
    host_->show();
}

void Form::Unload() {
    if (!loaded_ || unloading_) return;
    unloading_ = true;
    int16_t cancel = 0;
    Form_Unload(cancel);
    unloading_ = false;
    if (cancel != 0 || !loaded_) return;
    loaded_ = false;
    visible_ = false;
    host_.reset();
    backing_ = Bitmap{};
    platform_.formUnloaded(*this);
}

void Form::setCaption(const std::string& c) {
    caption_ = c;
    syncHost();
}

void Form::setWindowState(WindowState s) {
    windowState_ = s;
    syncHost();
}

void Form::Move(long left, long top) {
    left_ = left;
    top_ = top;
    syncHost();
}

void Form::Move(long left, long top, long width, long height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    syncHost();
}

double Form::ScaleWidth() const {
    const double px = host_ ? host_->clientWidthPx() : width_ / platform_.twipsPerPixelX();
    return scaleMode_ == ScaleMode::Pixels ? px : px * platform_.twipsPerPixelX();
}

double Form::ScaleHeight() const {
    const double px = host_ ? host_->clientHeightPx() : height_ / platform_.twipsPerPixelY();
    return scaleMode_ == ScaleMode::Pixels ? px : px * platform_.twipsPerPixelY();
}

void Form::PaintPicture(const PictureImage& image, double x, double y, double w, double h) {
    if (!host_) return;  // painting an unloaded window has nowhere to go
    if (!image.picture) throw PlatformError(ErrInvalidPicture, "Invalid picture");
    const int cw = host_->clientWidthPx();
    const int ch = host_->clientHeightPx();
    if (backing_.width != cw || backing_.height != ch) backing_.resize(cw, ch, colorToPixel(backColor_));
    image.picture->stretchTo(backing_, static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y)),
                             static_cast<int>(std::lround(w)), static_cast<int>(std::lround(h)), image.backColor);
    host_->present();
}

}  // namespace mv
