#include "platform/qt/qt_platform.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QImageReader>
#include <QMessageBox>
#include <QScreen>
#include <QUrl>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/qt/qt_caption_text.h"
#include "platform/qt/qt_dialog_host.h"
#include "platform/qt/qt_file_dialog.h"
#include "platform/qt/qt_hosted_host.h"
#include "platform/qt/qt_instance_lock.h"
#include "platform/qt/qt_layer_host.h"
#include "platform/qt/qt_saver_host.h"
#include "platform/qt/qt_still_decoder.h"
#include "platform/qt/qt_timer.h"
#include "platform/qt/qt_user_dirs.h"
#include "platform/qt/qt_webp_frames.h"
#include "platform/qt/qt_wayland_display.h"

namespace mv::qt {

namespace {

std::string joinArguments(const std::vector<std::string>& arguments) {
    std::string line;
    for (const auto& a : arguments) {
        if (!line.empty()) line += ' ';
        line += a;
    }
    return line;
}

// A window keeps its title lock for as long as it exists (see instance_lock.h).
class TitledHost : public WindowHost {
public:
    TitledHost(std::unique_ptr<WindowHost> inner, Form& form, const std::string& dir, const std::string& session)
        : inner_(std::move(inner)), form_(form), lock_(dir, session) {
        lock_.hold(form_.Caption());
    }
    void show() override { inner_->show(); }
    void sync() override {
        lock_.hold(form_.Caption());
        inner_->sync();
    }
    int clientWidthPx() const override { return inner_->clientWidthPx(); }
    int clientHeightPx() const override { return inner_->clientHeightPx(); }
    std::vector<Surface> surfaces() const override { return inner_->surfaces(); }
    void present() override { inner_->present(); }
    std::pmr::memory_resource* pixelMemory() override { return inner_->pixelMemory(); }
    bool showMoving(size_t surface, const MovingScene& scene) override { return inner_->showMoving(surface, scene); }
    double refreshRate() const override { return inner_->refreshRate(); }

private:
    std::unique_ptr<WindowHost> inner_;
    Form& form_;
    TitleLock lock_;
};

}  // namespace

QtPlatform::QtPlatform(std::vector<std::string> arguments)
    : arguments_(arguments), commandLine_(joinArguments(arguments)), settings_(defaultConfigDirectory()) {
    const std::string dir = lockDirectory();
    if (!dir.empty()) instance_ = std::make_unique<InstanceLock>(dir, sessionKey());
}

QtPlatform::~QtPlatform() = default;

std::string QtPlatform::lockDirectory() {
    if (lockDir_.empty()) {
        try {
            lockDir_ = qt::userScratchDirectory();
        } catch (const std::exception&) {
            // Without a private directory there is no safe place for locks: no instance is seen.
        }
    }
    return lockDir_;
}

std::string QtPlatform::programDirectory() { return QCoreApplication::applicationDirPath().toStdString(); }

void QtPlatform::setCurrentDirectory(const std::string& dir) {
    if (!QDir::setCurrent(QString::fromStdString(dir))) throw PlatformError(ErrFileNotFound, "Path not found: " + dir);
}

std::string QtPlatform::workingDirectory() {
    std::error_code error;
    const std::filesystem::path dir = std::filesystem::current_path(error);
    return error ? std::string() : dir.string();
}

bool QtPlatform::prevInstance() { return instance_ && instance_->others(); }

bool QtPlatform::findWindow(const std::string& title) {
    const std::string dir = lockDirectory();
    return !dir.empty() && titleHeld(dir, sessionKey(), title);
}

void QtPlatform::doEvents() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

int QtPlatform::messageBox(const std::string& text, int buttonsAndIcon, const std::string& title) {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (buttonsAndIcon & 0x70) {
        case 16: icon = QMessageBox::Critical; break;
        case 32: icon = QMessageBox::Question; break;
        case 48: icon = QMessageBox::Warning; break;
        case 64: icon = QMessageBox::Information; break;
        default: break;
    }
    QMessageBox box(icon, QString::fromStdString(title), QString::fromStdString(text), QMessageBox::Ok);
    box.exec();
    return 1;  // OK
}

void QtPlatform::terminate() {
    std::fflush(nullptr);
    std::_Exit(0);
}

int QtPlatform::showCursor(bool show) {
    cursorCount_ += show ? 1 : -1;
    const bool hide = cursorCount_ < 0;
    if (hide && !cursorHidden_) {
        QGuiApplication::setOverrideCursor(Qt::BlankCursor);
        cursorHidden_ = true;
    } else if (!hide && cursorHidden_) {
        QGuiApplication::restoreOverrideCursor();
        cursorHidden_ = false;
    }
    return cursorCount_;
}

int QtPlatform::screenWidthPx() {
    QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().width() : 0;
}

int QtPlatform::screenHeightPx() {
    QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().height() : 0;
}

double QtPlatform::twipsPerPixelX() {
    QScreen* s = QGuiApplication::primaryScreen();
    const double dpi = s ? s->logicalDotsPerInchX() : 96.0;
    return 1440.0 / (dpi > 0 ? dpi : 96.0);
}

double QtPlatform::twipsPerPixelY() {
    QScreen* s = QGuiApplication::primaryScreen();
    const double dpi = s ? s->logicalDotsPerInchY() : 96.0;
    return 1440.0 / (dpi > 0 ? dpi : 96.0);
}

void QtPlatform::hostIn(uint64_t window) {
    hostedWindow_ = window;
    // A hosted show takes no part in the single-instance rule: several run at once, beside a show.
    instance_.reset();
}

void QtPlatform::hostOnLayer(bool overlay) {
    layerOverlay_ = overlay;
    if (WaylandDisplay* display = WaylandDisplay::instance()) display->watch();
    // Backgrounds may run side by side (one per session, or one behind a locker); an overlay
    // keeps the single-instance rule of a show.
    if (!overlay) instance_.reset();
}

std::unique_ptr<WindowHost> QtPlatform::createWindow(Form& form) {
    if (hostedWindow_ && !form.layout()) return makeHostedHost(form, *hostedWindow_);
    if (layerOverlay_ && !form.layout()) {
        std::unique_ptr<WindowHost> host = makeLayerHost(form, *layerOverlay_);
        const std::string dir = lockDirectory();
        if (!*layerOverlay_ || dir.empty()) return host;
        return std::make_unique<TitledHost>(std::move(host), form, dir, sessionKey());
    }
    // A form with a design table is a dialog; any other is a painted full-screen window.
    std::unique_ptr<WindowHost> host = form.layout() ? makeDialogHost(form) : makeSaverHost(form);
    const std::string dir = lockDirectory();
    if (dir.empty()) return host;
    return std::make_unique<TitledHost>(std::move(host), form, dir, sessionKey());
}

void QtPlatform::formLoaded(Form&) { ++loadedForms_; }

void QtPlatform::formUnloaded(Form&) {
    if (--loadedForms_ <= 0) {
        loadedForms_ = 0;
        QCoreApplication::quit();
    }
}

std::unique_ptr<TimerDriver> QtPlatform::createTimer(std::function<void()> tick) { return makeTimer(std::move(tick)); }

PicturePtr QtPlatform::decodeStill(const std::vector<uint8_t>& bytes) { return qt::decodeStill(bytes); }
PicturePtr QtPlatform::decodeStillAtLeast(const std::vector<uint8_t>& bytes, const DecodeFloor& floor) {
    return qt::decodeStill(bytes, floor);
}
FrameSourcePtr QtPlatform::openFrames(const std::vector<uint8_t>& bytes) { return qt::openWebpFrames(bytes); }

std::string QtPlatform::userScratchDirectory() { return qt::userScratchDirectory(); }
std::string QtPlatform::userCacheDirectory() { return qt::userCacheDirectory(); }

void QtPlatform::shellOpen(const std::string& url) {
    QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
}

std::string QtPlatform::showOpen(const OpenFileRequest& request) { return showOpenDialog(request); }
std::string QtPlatform::picturesFolder() { return userPicturesFolder(); }
std::string QtPlatform::homeFolder() { return userHomeFolder(); }
bool QtPlatform::folderExists(const std::string& path) { return isFolder(path); }

std::string QtPlatform::showFolder(const std::string& start) { return showFolderDialog(start); }

std::vector<std::string> QtPlatform::morePictureSuffixes() {
    std::vector<std::string> suffixes;
    for (const QByteArray& format : QImageReader::supportedImageFormats()) suffixes.push_back(format.toLower().toStdString());
    // Read by their own libraries, whichever plugins Qt has.
    for (const char* own : {"heic", "heif", "avif", "jxl", "webp"})
        if (std::find(suffixes.begin(), suffixes.end(), own) == suffixes.end()) suffixes.emplace_back(own);
    return suffixes;
}

TextCoverage QtPlatform::drawText(const std::string& utf8, int pixelSize) { return drawCaptionText(utf8, pixelSize); }
std::string QtPlatform::longDatePattern() { return localeLongDatePattern(); }
std::string QtPlatform::formatDate(const std::string& pattern, int year, int month, int day) {
    return localeDate(pattern, year, month, day);
}
std::string QtPlatform::shortTimePattern() { return localeShortTimePattern(); }
std::string QtPlatform::formatTime(const std::string& pattern, int hour, int minute) {
    return localeTime(pattern, hour, minute);
}

}  // namespace mv::qt
