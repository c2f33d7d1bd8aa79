// The Qt backend on the offscreen platform: still decoding limits, the cursor count, the
// single-instance locks, the private scratch directory and the saver window's input and paint.
#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QWidget>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "dialog_fixture.h"
#include "platform/error.h"
#include "platform/qt/qt_instance_lock.h"
#include "platform/qt/qt_platform.h"
#include "platform/qt/qt_still_decoder.h"
#include "platform/qt/qt_user_dirs.h"
#include "support/fake_platform.h"

using namespace mv;
namespace fs = std::filesystem;

namespace {

QApplication& backendApp() { return test::qtApp(); }

std::vector<uint8_t> encode(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, 95);
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

int errorOf(const std::vector<uint8_t>& bytes) {
    try {
        qt::decodeStill(bytes);
    } catch (const PlatformError& e) {
        return e.number();
    }
    return 0;
}

// Points every per-user place at a temporary directory for the lifetime of a test.
class PrivateEnvironment {
public:
    PrivateEnvironment() {
        for (const char* name : {"XDG_RUNTIME_DIR", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "HOME", "TMPDIR"}) {
            const char* v = std::getenv(name);
            saved_.push_back({name, v ? std::optional<std::string>(v) : std::nullopt});
        }
        fs::create_directories(tmp.path() / "run");
        ::chmod((tmp.path() / "run").c_str(), 0700);
        ::setenv("XDG_RUNTIME_DIR", (tmp.path() / "run").c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (tmp.path() / "config").c_str(), 1);
        ::setenv("XDG_CACHE_HOME", (tmp.path() / "cache").c_str(), 1);
        ::setenv("HOME", tmp.path().c_str(), 1);
    }
    ~PrivateEnvironment() {
        for (const auto& [name, value] : saved_) {
            if (value) ::setenv(name.c_str(), value->c_str(), 1);
            else ::unsetenv(name.c_str());
        }
    }
    test::TempDir tmp;

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

// A borderless painted window like the saver, recording the handlers the backend calls.
class RecordingForm : public Form {
public:
    explicit RecordingForm(Platform& p) : Form(p, "Recorder") {
        setDesign(BorderStyle::None, ScaleMode::Pixels, 0x000000, 0, 0, 3000, 3000);
        setWindowState(WindowState::Maximized);
    }
    void Form_Click() override { log += "Click "; }
    void Form_DblClick() override { log += "DblClick "; }
    void Form_KeyDown(int16_t code, int16_t shift) override {
        log += "KeyDown(" + std::to_string(code) + "," + std::to_string(shift) + ") ";
        if (unloadOnKey) Unload();
    }
    void Form_KeyPress(int16_t ascii) override { log += "KeyPress(" + std::to_string(ascii) + ") "; }
    void Form_MouseDown(int16_t button, int16_t, float x, float y) override {
        log += "MouseDown(" + std::to_string(button) + "," + std::to_string(int(x)) + "," + std::to_string(int(y)) + ") ";
        if (unloadOnMouseDown) Unload();
    }
    void Form_MouseUp(int16_t, int16_t, float, float) override { log += "MouseUp "; }
    void Form_MouseMove(int16_t, int16_t, float x, float y) override {
        log += "MouseMove(" + std::to_string(int(x)) + "," + std::to_string(int(y)) + ") ";
    }
    std::string log;
    bool unloadOnKey = false;
    bool unloadOnMouseDown = false;
};

QWidget* windowTitled(const QString& title) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->windowTitle() == title && w->isVisible()) return w;
    return nullptr;
}

void mouse(QWidget* w, QEvent::Type type, QPointF pos, Qt::MouseButton button) {
    QMouseEvent e(type, pos, w->mapToGlobal(pos), button, type == QEvent::MouseButtonRelease ? Qt::NoButton : button,
                  Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

}  // namespace

TEST(QtStillDecoder, DecodesJpgAndBmpIntoOpaquePixels) {
    backendApp();
    QImage source(64, 48, QImage::Format_RGB32);
    source.fill(QColor(250, 10, 10));
    for (const char* format : {"JPG", "BMP"}) {
        const PicturePtr picture = qt::decodeStill(encode(source, format));
        ASSERT_TRUE(picture) << format;
        EXPECT_EQ(picture->width(), 64);
        EXPECT_EQ(picture->height(), 48);
        const auto* rgb = dynamic_cast<const RgbPicture*>(picture.get());
        ASSERT_TRUE(rgb);
        const uint32_t p = rgb->pixels().row(20)[30];
        EXPECT_EQ(p >> 24, 0xFFu) << format;
        EXPECT_GT((p >> 16) & 0xFF, 230u) << format;
        EXPECT_LT(p & 0xFF, 30u) << format;
    }
}

TEST(QtStillDecoder, RefusesUnreadableAndEmptyFiles) {
    backendApp();
    EXPECT_EQ(errorOf({}), ErrInvalidPicture);
    EXPECT_EQ(errorOf(std::vector<uint8_t>(5000, 0x41)), ErrInvalidPicture);
    auto truncated = encode(QImage(32, 32, QImage::Format_RGB32), "BMP");
    truncated.resize(20);
    EXPECT_EQ(errorOf(truncated), ErrInvalidPicture);
}

TEST(QtStillDecoder, RefusesAbsurdSizesBeforeDecoding) {
    backendApp();
    // A BMP header claiming 60000 x 60000 pixels, 24 bits, with almost no data behind it.
    auto bmp = test::makeBmp(2, 2, 0xFF);
    auto put32 = [&](size_t o, uint32_t v) { for (int i = 0; i < 4; ++i) bmp[o + i] = static_cast<uint8_t>(v >> (8 * i)); };
    put32(18, 60000);
    put32(22, 60000);
    EXPECT_EQ(errorOf(bmp), ErrInvalidPicture);

    // A JPG whose frame header says 60000 x 60000.
    QImage small(16, 16, QImage::Format_RGB32);
    small.fill(Qt::green);
    auto jpg = encode(small, "JPG");
    bool patched = false;
    for (size_t i = 0; i + 8 < jpg.size(); ++i) {
        if (jpg[i] == 0xFF && (jpg[i + 1] == 0xC0 || jpg[i + 1] == 0xC2)) {
            jpg[i + 5] = 60000 >> 8; jpg[i + 6] = 60000 & 0xFF;
            jpg[i + 7] = 60000 >> 8; jpg[i + 8] = 60000 & 0xFF;
            patched = true;
            break;
        }
    }
    ASSERT_TRUE(patched);
    EXPECT_EQ(errorOf(jpg), ErrInvalidPicture);
}

TEST(QtPlatform, CursorIsHiddenWhileTheCountIsNegative) {
    backendApp();
    PrivateEnvironment env;
    qt::QtPlatform platform({});
    EXPECT_EQ(platform.showCursor(false), -1);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::BlankCursor);
    EXPECT_EQ(platform.showCursor(false), -2);
    EXPECT_EQ(platform.showCursor(true), -1);
    EXPECT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(platform.showCursor(true), 0);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(platform.showCursor(true), 1);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(platform.showCursor(false), 0);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(QtPlatform, CommandLineAndScreenInTwips) {
    backendApp();
    PrivateEnvironment env;
    qt::QtPlatform platform({"/p", "1234"});
    EXPECT_EQ(platform.commandLine(), "/p 1234");
    QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(platform.screenWidthPx(), screen->geometry().width());
    EXPECT_DOUBLE_EQ(platform.twipsPerPixelX(), 1440.0 / screen->logicalDotsPerInchX());
    EXPECT_EQ(platform.settings().GetSetting("Marvoscope 1.0 Demo", "Settings", "AniFile"), "");
    platform.settings().SaveSetting("Marvoscope 1.0 Demo", "Settings", "AniFile", "x");
    EXPECT_TRUE(fs::exists(env.tmp.path() / "config" / "Marvoscope 1.0 Demo.ini"));
}

TEST(InstanceLocks, TitlesAreFoundWhileTheirWindowExists) {
    test::TempDir dir;
    EXPECT_FALSE(qt::titleHeld(dir.path().string(), ":0", "Marvoscope"));
    {
        qt::TitleLock lock(dir.path().string(), ":0");
        lock.hold("Marvoscope");
        EXPECT_TRUE(qt::titleHeld(dir.path().string(), ":0", "Marvoscope"));
        EXPECT_FALSE(qt::titleHeld(dir.path().string(), ":1", "Marvoscope"));  // another session
        EXPECT_FALSE(qt::titleHeld(dir.path().string(), ":0", "Make a Marvoscope"));
        lock.hold("Renamed");
        EXPECT_FALSE(qt::titleHeld(dir.path().string(), ":0", "Marvoscope"));
        EXPECT_TRUE(qt::titleHeld(dir.path().string(), ":0", "Renamed"));
    }
    EXPECT_FALSE(qt::titleHeld(dir.path().string(), ":0", "Renamed"));
}

TEST(InstanceLocks, AnInstanceSeesOthersButNotItself) {
    test::TempDir dir;
    auto first = std::make_unique<qt::InstanceLock>(dir.path().string(), ":0");
    EXPECT_FALSE(first->others());
    EXPECT_FALSE(first->others());  // asking does not lose its own membership
    {
        qt::InstanceLock second(dir.path().string(), ":0");
        EXPECT_TRUE(first->others());
        EXPECT_TRUE(second.others());
        qt::InstanceLock elsewhere(dir.path().string(), ":5");
        EXPECT_FALSE(elsewhere.others());
    }
    EXPECT_FALSE(first->others());
}

TEST(ScratchDirectory, CreatedPrivateAndRefusedWhenUnsafe) {
    PrivateEnvironment env;
    const std::string dir = qt::userScratchDirectory();
    EXPECT_EQ(dir, (env.tmp.path() / "run" / "marvoscope").string());
    struct stat st {};
    ASSERT_EQ(::stat(dir.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    ::chmod(dir.c_str(), 0755);
    EXPECT_THROW(qt::userScratchDirectory(), PlatformError);
    fs::remove(dir);
    fs::create_directory(env.tmp.path() / "elsewhere");
    ::chmod((env.tmp.path() / "elsewhere").c_str(), 0700);
    fs::create_directory_symlink(env.tmp.path() / "elsewhere", dir);
    EXPECT_THROW(qt::userScratchDirectory(), PlatformError);
    fs::remove(dir);

    ::unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(qt::userScratchDirectory(), (env.tmp.path() / "cache" / "marvoscope").string());

    // No usable home, cache or runtime folder (paths under a plain file, which not even root
    // can create): a folder of the user's own in the temporary folder, checked the same way.
    env.tmp.write("file", std::string("not a folder"));
    const std::string nowhere = (env.tmp.path() / "file" / "x").string();
    for (const char* name : {"XDG_RUNTIME_DIR", "XDG_CACHE_HOME", "HOME"}) ::setenv(name, nowhere.c_str(), 1);
    fs::create_directory(env.tmp.path() / "shared");
    ::setenv("TMPDIR", (env.tmp.path() / "shared").c_str(), 1);
    const std::string own = (env.tmp.path() / "shared" / ("marvoscope-" + std::to_string(::getuid()))).string();
    EXPECT_EQ(qt::userScratchDirectory(), own);
    ASSERT_EQ(::stat(own.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    ::chmod(own.c_str(), 0777);
    EXPECT_THROW(qt::userScratchDirectory(), PlatformError);
}

TEST(QtSaverWindow, CoversTheScreenPaintsTheBackingAndFeedsInputInOrder) {
    backendApp();
    PrivateEnvironment env;
    qt::QtPlatform platform({});
    RecordingForm form(platform);
    form.Show();
    QWidget* w = windowTitled("Recorder");
    ASSERT_NE(w, nullptr);
    QApplication::processEvents();
    EXPECT_EQ(w->geometry(), QGuiApplication::primaryScreen()->geometry());
    EXPECT_EQ(platform.loadedForms(), 1);
    EXPECT_TRUE(platform.findWindow("Recorder"));

    // What the form paints is what the window shows.
    auto picture = std::make_shared<RgbPicture>([] {
        Bitmap b;
        b.resize(2, 2, 0xFF00FF00u);
        return b;
    }());
    form.PaintPicture(PictureImage{picture, 0, nullptr}, 0, 0, form.ScaleWidth(), form.ScaleHeight());
    const QImage shown = w->grab().toImage();
    EXPECT_EQ(shown.pixel(5, 5) & 0xFFFFFFu, 0x00FF00u);
    EXPECT_EQ(shown.pixel(shown.width() - 3, shown.height() - 3) & 0xFFFFFFu, 0x00FF00u);

    mouse(w, QEvent::MouseButtonPress, {12, 34}, Qt::RightButton);
    mouse(w, QEvent::MouseButtonRelease, {12, 34}, Qt::RightButton);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::ShiftModifier, "A");
    QApplication::sendEvent(w, &press);
    QKeyEvent shift(QEvent::KeyPress, Qt::Key_Shift, Qt::NoModifier);  // as X reports it: state before the press
    QApplication::sendEvent(w, &shift);
    QMouseEvent move(QEvent::MouseMove, QPointF(7, 9), w->mapToGlobal(QPointF(7, 9)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(w, &move);
    EXPECT_EQ(form.log, "MouseDown(2,12,34) MouseUp Click KeyDown(65,1) KeyPress(65) KeyDown(16,1) MouseMove(7,9) ");
    form.Unload();
    EXPECT_EQ(platform.loadedForms(), 0);
    EXPECT_FALSE(platform.findWindow("Recorder"));
}

TEST(QtSaverWindow, UnloadingInsideItsOwnEventStopsThatEvent) {
    backendApp();
    PrivateEnvironment env;
    qt::QtPlatform platform({});
    RecordingForm form(platform);
    form.unloadOnKey = true;
    form.Show();
    QWidget* w = windowTitled("Recorder");
    ASSERT_NE(w, nullptr);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_B, Qt::NoModifier, "b");
    QApplication::sendEvent(w, &press);
    // The key press of the same key never reaches the unloaded form.
    EXPECT_EQ(form.log, "KeyDown(66,0) ");
    EXPECT_FALSE(form.Loaded());
    QKeyEvent late(QEvent::KeyPress, Qt::Key_C, Qt::NoModifier, "c");
    if (QWidget* still = windowTitled("Recorder")) QApplication::sendEvent(still, &late);
    QApplication::processEvents();
    EXPECT_EQ(form.log, "KeyDown(66,0) ");
    EXPECT_EQ(windowTitled("Recorder"), nullptr);

    RecordingForm second(platform);
    second.unloadOnMouseDown = true;
    second.Show();
    QWidget* w2 = windowTitled("Recorder");
    ASSERT_NE(w2, nullptr);
    mouse(w2, QEvent::MouseButtonPress, {1, 1}, Qt::LeftButton);
    mouse(w2, QEvent::MouseButtonRelease, {1, 1}, Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_EQ(second.log, "MouseDown(1,1,1) ");
}

TEST(InstanceLocks, SessionsAreKeyedOnTheDisplay) {
    const char* old = std::getenv("DISPLAY");
    const std::string saved = old ? old : "";
    ::setenv("DISPLAY", ":7.0", 1);
    const std::string screen0 = qt::sessionKey();
    ::setenv("DISPLAY", ":7", 1);
    EXPECT_EQ(qt::sessionKey(), screen0);
    for (const char* same : {"unix:7", "unix:7.0"}) {
        ::setenv("DISPLAY", same, 1);
        EXPECT_EQ(qt::sessionKey(), screen0) << same;
    }
    ::setenv("DISPLAY", ":8", 1);
    EXPECT_NE(qt::sessionKey(), screen0);
    ::setenv("DISPLAY", "host/../x:1", 1);
    EXPECT_EQ(qt::sessionKey().find('/'), std::string::npos);
    if (old) ::setenv("DISPLAY", saved.c_str(), 1); else ::unsetenv("DISPLAY");
}
