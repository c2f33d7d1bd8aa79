#pragma once
// The full-screen saver window: shows the stored picture until the user stirs.
#include <cstdint>
#include <string>
#include <vector>

#include "anim/frame_prefetch.h"
#include "platform/ui/controls/control_array.h"
#include "platform/ui/controls/picturebox.h"
#include "platform/ui/controls/textbox.h"
#include "platform/ui/controls/timer.h"
#include "platform/ui/form.h"

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
    // Cuts a GIF file into frames, stores them in xImgArray and starts the animation.
    void LoadAniGif(const std::string& xFile, ControlArray<PictureBox>& xImgArray);
    // Stops decoding frames ahead on the second thread; what it decoded stays cached. After it,
    // no thread but this one reads the picture file.
    void stopDecodingAhead() { prefetch_.stop(); }
    // Waits until the second thread has drawn or decoded all it may ahead of the frame on screen.
    void waitForFramesAhead() { prefetch_.waitIdle(); }
    // Whether the animation's frames are drawn on the second thread, too large to be stretched
    // between two inputs.
    bool framesDrawnAhead() const { return prefetch_.drawing(); }

private:
    template <class Run>
    void displayOrSetup(Run&& run);
    void openSetup();
    void showCursor(bool show);
    bool splitFrames(const std::string& xFile, ControlArray<PictureBox>& xImgArray);
    void startAnimation(ControlArray<PictureBox>& xImgArray);
    // The sizes a paint of the whole window has on each surface.
    std::vector<anim::DrawSize> drawSizes() const;
    // Picture1's image, or its drawing made ahead when there is one: the same pixels on screen.
    PictureImage paintable() const;

    anim::FramePrefetch prefetch_;
    // A drawing of Picture1's picture (`of`) at the window's size, made away from the paint.
    struct {
        PicturePtr of, drawing;
    } drawn_;

    App& app_;
};

}  // namespace mv
