#include <gtest/gtest.h>

#include <memory_resource>

#include "platform/ui/controls/control_array.h"
#include "platform/ui/controls/picturebox.h"
#include "platform/ui/controls/timer.h"
#include "platform/picture/picture.h"
#include "platform/ui/form.h"
#include "support/fake_platform.h"

using namespace mv;

TEST(ControlArray, NewElementsAreHiddenCopiesAndIndexesAreChecked) {
    ControlArray<PictureBox> frames("AnimatedGIF");
    frames(0).setBackColor(0x123456);
    auto& one = frames.Load(1);
    EXPECT_FALSE(one.Visible());
    EXPECT_EQ(one.BackColor(), 0x123456);
    EXPECT_EQ(frames.Count(), 2);
    EXPECT_THROW(frames.Load(1), PlatformError);
    EXPECT_THROW(frames(2), PlatformError);
    EXPECT_THROW(frames(40000), PlatformError);
    EXPECT_THROW(frames.Unload(0), PlatformError);
    frames.Unload(1);
    EXPECT_EQ(frames.Count(), 1);
}

TEST(Timer, RefusesIntervalsOutsideSixteenBitsAndZeroNeverTicks) {
    test::FakePlatform platform;
    int ticks = 0;
    Timer timer(platform, [&] { ++ticks; }, 1000, false);
    EXPECT_THROW(timer.setInterval(65536), PlatformError);
    EXPECT_THROW(timer.setInterval(-1), PlatformError);
    EXPECT_EQ(timer.Interval(), 1000);
    timer.setEnabled(true);
    platform.advance(3500);
    EXPECT_EQ(ticks, 3);
    timer.setInterval(0);
    platform.advance(10000);
    EXPECT_EQ(ticks, 3);
    EXPECT_TRUE(timer.Enabled());
}

namespace {

// A painted window that records its handler calls; it can unload itself from one of them.
class RecordingForm : public Form {
public:
    RecordingForm(Platform& p, ScaleMode mode) : Form(p, "Recorder") { setDesign(BorderStyle::None, mode, 0, 0, 0, 3000, 3000); }
    void Form_Click() override { log += "click "; }
    void Form_DblClick() override { log += "dbl "; }
    void Form_MouseDown(int16_t b, int16_t s, float x, float y) override { log += entry("down", b, s, x, y); }
    void Form_MouseUp(int16_t b, int16_t s, float x, float y) override {
        log += entry("up", b, s, x, y);
        if (unloadOnUp) Unload();
    }
    void Form_KeyDown(int16_t code, int16_t s) override { log += "key" + std::to_string(code) + "/" + std::to_string(s) + " "; }
    void Form_KeyPress(int16_t c) override { log += "press" + std::to_string(c) + " "; }
    static std::string entry(const char* what, int16_t b, int16_t s, float x, float y) {
        return std::string(what) + std::to_string(b) + "/" + std::to_string(s) + "@" + std::to_string(static_cast<int>(x)) + "," +
               std::to_string(static_cast<int>(y)) + " ";
    }
    std::string log;
    bool unloadOnUp = false;
};

}  // namespace

// Clicks come from presses and releases in the core, the same for every backend: the release
// that ends a double click is no click, a release without a press is none, and a form closed
// by its MouseUp gets no Click.
TEST(FormInput, ClicksDoubleClicksMasksAndScaleUnits) {
    test::FakePlatform platform;
    RecordingForm pixels(platform, ScaleMode::Pixels), twips(platform, ScaleMode::Twips);
    pixels.Load();
    twips.Load();
    const Buttons left{true, false, false}, right{false, true, false};
    input::buttonDown(pixels, left, {true, false, true}, 10, 20);
    input::buttonUp(pixels, left, {}, 11, 21);
    input::doubleClick(pixels);
    input::buttonUp(pixels, left, {}, 11, 21);
    input::buttonUp(pixels, right, {}, 1, 1);
    EXPECT_EQ(pixels.log, "down1/5@10,20 up1/0@11,21 click dbl up1/0@11,21 up2/0@1,1 ");

    input::buttonDown(twips, right, {false, true, false}, 10, 20);
    EXPECT_EQ(twips.log, "down2/2@150,300 ");
    twips.unloadOnUp = true;
    twips.log.clear();
    input::buttonUp(twips, right, {}, 2, 2);
    EXPECT_EQ(twips.log, "up2/0@30,30 ");

    pixels.log.clear();
    input::keyDown(pixels, 65, {true, false, false}, 'A');
    input::keyDown(pixels, 16, {true, false, false});
    EXPECT_EQ(pixels.log, "key65/1 press65 key16/1 ");
}

// A backend shows the backing picture without copying it only when the picture lives in the
// memory the backend gave; it must go back there, not to the ordinary heap.
TEST(FormPaint, BackingPicturesLiveInTheMemoryTheHostGives) {
    struct Counting : std::pmr::memory_resource {
        size_t live = 0;
        void* do_allocate(size_t n, size_t a) override { live += n; return std::pmr::new_delete_resource()->allocate(n, a); }
        void do_deallocate(void* p, size_t n, size_t a) override { live -= n; std::pmr::new_delete_resource()->deallocate(p, n, a); }
        bool do_is_equal(const std::pmr::memory_resource& o) const noexcept override { return this == &o; }
    } memory;
    test::FakePlatform platform;
    platform.pixelMemory = &memory;
    RecordingForm form(platform, ScaleMode::Pixels);
    form.Load();
    Bitmap pixels;
    pixels.resize(4, 4, 0xFF112233u);
    form.PaintPicture({std::make_shared<RgbPicture>(pixels), 0, nullptr}, 0, 0, form.ScaleWidth(), form.ScaleHeight());
    const Bitmap& backing = form.backing();
    ASSERT_FALSE(backing.empty());
    EXPECT_EQ(backing.pixels.get_allocator().resource(), &memory);
    EXPECT_GE(memory.live, backing.pixels.size() * sizeof(uint32_t));
    EXPECT_EQ(backing.row(backing.height - 1)[backing.width - 1], 0xFF112233u);
    form.Unload();
    EXPECT_EQ(memory.live, 0u);
}
