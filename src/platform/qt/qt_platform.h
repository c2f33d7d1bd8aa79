#pragma once
// The Linux platform: Qt 6 windows and events, INI settings, per-user locks for the
// single-instance rule.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/posix/ini_store.h"

namespace mv::qt {

class InstanceLock;

class QtPlatform : public Platform {
public:
    // arguments: the command-line arguments without the program name.
    explicit QtPlatform(std::vector<std::string> arguments);
    ~QtPlatform() override;

    std::string programDirectory() override;
    void setCurrentDirectory(const std::string& dir) override;
    std::string workingDirectory() override;
    std::string commandLine() override { return commandLine_; }
    std::vector<std::string> argumentList() override { return arguments_; }
    bool canHost() override { return true; }
    void hostIn(uint64_t window) override;
    void hostOnLayer(bool overlay) override;
    bool prevInstance() override;
    bool findWindow(const std::string& title) override;
    void doEvents() override;
    int messageBox(const std::string& text, int buttonsAndIcon, const std::string& title) override;
    [[noreturn]] void terminate() override;
    int showCursor(bool show) override;
    int screenWidthPx() override;
    int screenHeightPx() override;
    double twipsPerPixelX() override;
    double twipsPerPixelY() override;
    std::unique_ptr<WindowHost> createWindow(Form& form) override;
    void formLoaded(Form& form) override;
    void formUnloaded(Form& form) override;
    std::unique_ptr<TimerDriver> createTimer(std::function<void()> tick) override;
    PicturePtr decodeStill(const std::vector<uint8_t>& bytes) override;
    PicturePtr decodeStillAtLeast(const std::vector<uint8_t>& bytes, const DecodeFloor& floor) override;
    FrameSourcePtr openFrames(const std::vector<uint8_t>& bytes) override;
    SettingsStore& settings() override { return settings_; }
    TextCoverage drawText(const std::string& utf8, int pixelSize) override;
    std::string longDatePattern() override;
    std::string formatDate(const std::string& pattern, int year, int month, int day) override;
    std::string shortTimePattern() override;
    std::string formatTime(const std::string& pattern, int hour, int minute) override;
    std::string userScratchDirectory() override;
    std::string userCacheDirectory() override;
    void shellOpen(const std::string& url) override;
    std::string showOpen(const OpenFileRequest& request) override;
    std::string showFolder(const std::string& start) override;
    std::vector<std::string> morePictureSuffixes() override;
    std::string picturesFolder() override;
    std::string homeFolder() override;
    bool folderExists(const std::string& path) override;

    int loadedForms() const { return loadedForms_; }
    int cursorCount() const { return cursorCount_; }

private:
    std::string lockDirectory();

    std::vector<std::string> arguments_;
    std::string commandLine_;
    std::optional<uint64_t> hostedWindow_;
    std::optional<bool> layerOverlay_;  // on Wayland layer surfaces: true above the windows
    IniStore settings_;
    int cursorCount_ = 0;
    bool cursorHidden_ = false;
    int loadedForms_ = 0;
    std::string lockDir_;
    std::unique_ptr<InstanceLock> instance_;
};

}  // namespace mv::qt
