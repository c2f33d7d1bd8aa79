#pragma once
// The Win32 backend: every operating-system service the program uses, on plain Win32.
#include <functional>
#include <map>
#include <set>
#include <string>

#include "platform/platform.h"
#include "platform/win32/win_registry_settings.h"

struct tagMSG;
struct HWND__;

namespace mv::win32 {

class WinPlatform : public Platform {
public:
    // commandLine: the arguments without the program name, as wWinMain receives them.
    // instanceName: the named mutex that marks a running instance.
    WinPlatform(std::wstring commandLine, std::wstring instanceName = L"Local\\Marvoscope.scr.instance",
                std::wstring settingsRoot = RegistrySettings::kDefaultRoot);
    ~WinPlatform() override;

    std::string programDirectory() override;
    void setCurrentDirectory(const std::string& dir) override;
    std::string commandLine() override;
    bool prevInstance() override { return prevInstance_; }
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
    std::vector<std::string> morePictureSuffixes() override;
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
    std::string picturesFolder() override;
    std::string homeFolder() override;
    bool folderExists(const std::string& path) override;

    // Runs the message loop until no form is loaded; returns the exit status.
    int run();
    bool anyFormLoaded() const { return !loaded_.empty(); }

    // An open dialog window and its keyboard handler, tried on the messages for the dialog and
    // its controls before the system's dialog navigation; it returns whether it took one.
    using KeyHandler = std::function<bool(const tagMSG&)>;
    void addDialog(HWND__* dialog, KeyHandler onKey) { dialogs_[dialog] = std::move(onKey); }
    void removeDialog(HWND__* dialog) { dialogs_.erase(dialog); }
    // A dialog already open, which a modal one belongs to; null when none is.
    HWND__* openDialog() const { return dialogs_.empty() ? nullptr : dialogs_.begin()->first; }

private:
    // Delivers one message, letting a dialog handle its keyboard navigation first.
    void dispatch(tagMSG& msg);

    std::wstring commandLine_;
    void* instanceMutex_ = nullptr;
    bool prevInstance_ = false;
    RegistrySettings settings_;
    std::set<Form*> loaded_;
    std::map<HWND__*, KeyHandler> dialogs_;
};

}  // namespace mv::win32
