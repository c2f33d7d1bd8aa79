// Stills that drift: the pan and zoom made for each still as it comes, the frame clock that
// moves it at the monitors' pace, and the fade between two moving pictures.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/modes.h"
#include "platform/picture/motion/draw_moving.h"
#include "platform/platform.h"
#include "saver/frmMain.h"
#include "startup/app.h"

namespace mv {

namespace {

std::string rectText(const RectD& r) {
    std::ostringstream out;
    out.precision(2);
    out << std::fixed << r.x << ',' << r.y << ',' << r.w << ',' << r.h;
    return out.str();
}

}  // namespace

void frmMain::startMotion() {
    motion_ = ReadMotion(app_);
    if (!motion_.on) return;
    Platform& p = platform();
    setDrawMotion(p.environment("MARVOSCOPE_DRAW_MOTION") == "1");
    motionLog_ = p.environment("MARVOSCOPE_MOTION_LOG");
    continueStep([&] { motionPeriod_ = ReadSlideshow(app_).intervalSeconds; });
    motionSeed_ = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    // Once, so that drifts begun together are written at the same moment.
    motionWallOffset_ = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::system_clock::now().time_since_epoch() - PictureMotion::Clock::now().time_since_epoch());
}

bool frmMain::stillsMove() const { return motion_.on && PlacementMoves(placed_.placement); }

PictureMotionPtr frmMain::makeMotion(const Picture& picture, const BackdropPtr& backdrop, double periodSeconds) {
    if (!stillsMove()) return nullptr;
    auto motion = std::make_shared<PictureMotion>(placed_.placement, Picture1.BackColor(), backdrop, periodSeconds,
                                                  motionSeed_++);
    const ShownAreas shown = shownAreas(0, 0, ScaleWidth(), ScaleHeight());
    std::vector<PixelSize> sizes;
    if (WindowHost* h = host())
        for (const Surface& s : h->surfaces()) sizes.push_back({s.width, s.height});
    motion->prepare(picture, shown.areas, sizes);
    traceMotion(*motion);
    return motion;
}

void frmMain::traceMotion(PictureMotion& motion) const {
    if (motionLog_.empty()) return;
    motion.onDrift([path = motionLog_, offset = motionWallOffset_](size_t surface, PictureMotion::Clock::time_point start,
                                                                   double period, PixelSize picture, const RectD& from,
                                                                   const RectD& to) {
        // On the wall clock, so that a screenshot's time can be matched to it.
        const long long ms =
            (std::chrono::duration_cast<std::chrono::milliseconds>(start.time_since_epoch()) + offset).count();
        std::ofstream out(std::filesystem::path(std::u8string(path.begin(), path.end())), std::ios::app | std::ios::binary);
        out << "drift surface=" << surface << " start_ms=" << ms << " period_ms=" << std::llround(period * 1000)
            << " picture=" << picture.width << 'x' << picture.height << " from=" << rectText(from) << " to=" << rectText(to)
            << '\n';
    });
}

void frmMain::armMotion() {
    if (!motion_.on || !Loaded() || !moving()) {
        MotionTimer.setEnabled(false);
        return;
    }
    const double refresh = host() ? host()->refreshRate() : 60.0;
    const double rate = std::clamp(std::min<double>(refresh > 1.0 ? refresh : 60.0, motion_.framesPerSecond), 1.0, 60.0);
    // Rounded down: never fewer frames than the monitor shows.
    MotionTimer.setInterval(std::max(1L, static_cast<long>(1000.0 / rate)));
    if (!MotionTimer.Enabled()) MotionTimer.setEnabled(true);
}

void frmMain::MotionTimer_Timer() {
    // A fade paints both moving pictures itself.
    if (fade_.next || !Loaded()) return;
    if (!continueStep([&] { repaintMoving(); })) MotionTimer.setEnabled(false);
}

std::shared_ptr<const RgbPicture> frmMain::motionFrame(const PictureImage& image, size_t surface, int w, int h,
                                                       CaptionsOverlay* captions, size_t captionOf) const {
    const PixelRect area{0, 0, w, h};
    const PixelRect placed = PlacePicture(image.picture->width(), image.picture->height(), area, placed_.placement);
    Bitmap pixels;
    pixels.resize(w, h);
    DrawMovingScene(pixels, image.motion->scene(surface, area, placed, {w, h}, PictureMotion::Clock::now()));
    if (captions) captions->draw(pixels, captionOf, area, placed);
    return std::make_shared<const RgbPicture>(std::move(pixels));
}

// Each step of a fade blends the two pictures as they are now: both go on moving.
void frmMain::moveFade() {
    if (!fade_.from || !fade_.to) return;
    const bool fromMoves = std::any_of(fade_.fromImages.begin(), fade_.fromImages.end(), [](const PictureImage& i) { return i.motion != nullptr; });
    if (!fromMoves && !fade_.toImage.motion) return;
    auto from = std::make_shared<FadePicture::Pictures>(*fade_.from);
    auto to = std::make_shared<FadePicture::Pictures>(*fade_.to);
    for (size_t i = 0; i < from->size() && i < to->size(); ++i) {
        const int w = (*from)[i]->width(), h = (*from)[i]->height();
        if (i < fade_.fromImages.size() && fade_.fromImages[i].motion && fade_.fromImages[i].picture)
            (*from)[i] = motionFrame(fade_.fromImages[i], i, w, h, fade_.fromCaptions.get(), i);
        if (fade_.toImage.motion) (*to)[i] = motionFrame(fade_.toImage, i, w, h, fade_.toCaptions.get());
    }
    fade_.from = std::move(from);
    fade_.to = std::move(to);
}

}  // namespace mv
