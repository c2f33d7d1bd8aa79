#pragma once
// The full-screen saver window: shows the stored picture until the user stirs.
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "anim/frame_prefetch.h"
#include "saver/captions_overlay.h"
#include "saver/slide_fade.h"
#include "saver/slide_preparer.h"
#include "settings/settings.h"
#include "platform/ui/controls/control_array.h"
#include "platform/ui/controls/picturebox.h"
#include "platform/ui/controls/textbox.h"
#include "platform/ui/controls/timer.h"
#include "platform/ui/form.h"
#include "platform/picture/frames/composed_frames.h"

namespace mv {

struct App;

class frmMain : public Form {
public:
    static constexpr const char* kCaption = "Marvoscope";

    explicit frmMain(App& app);

    App& app() const { return app_; }

    // Controls; all hidden: they hold data, the picture reaches the screen by painting.
    TextBox txFile{"txFile"};
    PictureBox Picture1{"Picture1"};
    ControlArray<PictureBox> AnimatedGIF{"AnimatedGIF"};
    Timer AnimationTimer;
    // A folder's slideshow: the change to the next picture, and the steps of a fade.
    Timer SlideTimer;
    Timer FadeTimer;
    // With a different picture on each monitor: the changes of the monitors but the first.
    Timer OthersTimer;
    // The clock's minute, and the caption's move to another corner on a picture that stays.
    Timer CaptionTimer;
    // The frames of a still that drifts.
    Timer MotionTimer;

    // Animation counters shared by the frame splitter and the timer.
    int32_t currentFrame = 0;
    int32_t lastFrame = 0;
    // Last tolerated pointer position; (0, 0) means none yet.
    float lastX = 0;
    float lastY = 0;

    void Form_Load() override;
    void Form_Unload(int16_t& cancel) override;
    void Form_Click() override;
    void Form_DblClick() override;
    void Form_KeyDown(int16_t keyCode, int16_t shift) override;
    void Form_KeyPress(int16_t keyAscii) override;
    void Form_MouseDown(int16_t button, int16_t shift, float x, float y) override;
    void Form_MouseMove(int16_t button, int16_t shift, float x, float y) override;

    // Frame animation tick.
    void AnimationTimer_Timer();
    void SlideTimer_Timer();
    void FadeTimer_Timer();
    void OthersTimer_Timer();
    void CaptionTimer_Timer();
    void MotionTimer_Timer();
    // Whether the show is a folder's slideshow.
    bool slideshow() const { return slides_ != nullptr; }
    // Cuts a GIF file into frames, stores them in xImgArray and starts the animation.
    void LoadAniGif(const std::string& xFile, ControlArray<PictureBox>& xImgArray);
    // Stores an APNG's or animated WebP's frames in xImgArray and starts the animation.
    void LoadFrames(const ComposedFrames& composed, ControlArray<PictureBox>& xImgArray);
    // Stops decoding frames ahead on the second thread; what it decoded stays cached. After it,
    // no thread but this one reads the picture file.
    void stopDecodingAhead() { prefetch_.stop(); }
    // Waits until the second thread has drawn or decoded all it may ahead of the frame on screen.
    void waitForFramesAhead() { prefetch_.waitIdle(); }
    // Whether the animation's frames are drawn on the second thread, too large to be stretched
    // between two inputs.
    bool framesDrawnAhead() const { return prefetch_.drawing(); }
    // Waits (a few seconds at most) until a slideshow's next picture is ready on the second thread.
    void waitForNextSlide() {
        if (slides_) slides_->waitReady(5000);
    }

private:
    template <class Run>
    void displayOrSetup(Run&& run);
    // displayOrSetup with every step in continue mode.
    void displayOrSetupContinuing();
    void openSetup();
    // Captions and the clock (frmMain_captions.cpp).
    void startCaptions();
    void captionPicture(const std::string& path);
    void captionSlide(const PreparedSlide& slide);
    void armCaptionTimer();
    void showCursor(bool show);
    // Stills that drift (frmMain_motion.cpp).
    void startMotion();
    bool stillsMove() const;
    // The drift of a still about to be shown over `periodSeconds`, its pictures made now; null
    // when stills do not move.
    PictureMotionPtr makeMotion(const Picture& picture, const BackdropPtr& backdrop, double periodSeconds);
    void traceMotion(PictureMotion& motion) const;
    // The frame clock runs while a surface shows a moving still, and only then.
    void armMotion();
    std::shared_ptr<const RgbPicture> motionFrame(const PictureImage& image, size_t surface, int w, int h,
                                                  CaptionsOverlay* captions, size_t captionOf = 0) const;
    void moveFade();
    bool splitFrames(const std::string& xFile, ControlArray<PictureBox>& xImgArray);
    // `firstDrawn`: frame 0 drawn already at the window's placed sizes (a slideshow's next GIF).
    // `plays`: how often the whole animation plays before its last frame stays; 0 for ever.
    void startAnimation(ControlArray<PictureBox>& xImgArray, PicturePtr firstDrawn = nullptr, int plays = 0);
    // The sizes a paint of the whole window has on each surface.
    std::vector<anim::DrawSize> drawSizes() const;
    // Picture1's image, or its drawing made ahead when there is one: the same pixels on screen.
    PictureImage paintable() const;
    // The backdrop that fills the bars beside `picture` on this window, when they are blurred.
    BackdropPtr backdropFor(const PicturePtr& picture) const;

    // The slideshow of a folder (frmMain_slides.cpp).
    void startSlideshow(const std::string& folder);
    SlideTarget slideTarget() const;
    // `fadedInto`: the fade into it showed it already.
    void showSlide(PreparedSlide slide, bool fadedInto = false);
    void changeSlide();
    void startFade(PreparedSlide& next);  // takes `next` only once the fade has begun
    void endSlideshow();

    anim::FramePrefetch prefetch_;
    std::unique_ptr<CaptionsOverlay> captions_;  // null without captions and clock
    std::string datePattern_;
    int minutesOnCorner_ = 0;
    bool slideCaptioned_ = false;  // the fade into the slide on its way set its caption
    PlacementSetting placed_;
    std::unique_ptr<SlidePreparer> slides_;
    // How long until each monitor but the first changes, with a different picture on each,
    // counted in the ticks of OthersTimer; and the interval it was last started with.
    std::vector<long> othersLeftMs_;
    long othersArmedMs_ = 0;
    void armOthers();
    long slideIntervalMs_ = 10000;
    bool slideFade_ = true;
    int loopsLeft_ = 0;  // whole loops the animation on screen plays before the change
    // Plays left of an animation whose file counts them (0: for ever); once they are over, its
    // last frame stays while the ticks still count the loops a slideshow waits for.
    int playsLeft_ = 0;
    bool playsOver_ = false;
    std::string shownPath_, shownStamp_;  // the picture on the first monitor
    struct {
        std::shared_ptr<const FadePicture::Pictures> from, to;
        std::optional<PreparedSlide> next;
        std::chrono::steady_clock::time_point start;
        int steps = 0;
        // With moving stills: what each monitor showed and what it is to show, each frame drawn
        // anew with the caption each had.
        std::vector<PictureImage> fromImages;
        PictureImage toImage;
        std::shared_ptr<CaptionsOverlay> fromCaptions, toCaptions;
    } fade_;
    // A drawing of Picture1's picture (`of`) at the window's size, made away from the paint.
    struct {
        PicturePtr of, drawing;
    } drawn_;
    // What fills the bars of the picture on screen; an animation keeps its first frame's.
    BackdropPtr backdrop_;
    // The drift of the still on screen (the first monitor's, or the one spanning them all).
    PictureMotionPtr stillMotion_;
    MotionSetting motion_;
    double motionPeriod_ = 10.0;
    uint64_t motionSeed_ = 0;
    std::string motionLog_;  // where each drift begun is written down; "" for nowhere
    std::chrono::milliseconds motionWallOffset_{0};  // from the steady clock to the wall clock

    App& app_;
};

}  // namespace mv
