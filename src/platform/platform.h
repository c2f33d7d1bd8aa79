#pragma once
// The operating-system services the program uses. Backends implement this once: Qt on Linux,
// Win32 on Windows; tests use a scripted double. Failures throw PlatformError.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/timer.h"
#include "form.h"
#include "picture.h"
#include "settings_store.h"

namespace mv {

struct OpenFileRequest {
    std::string filter;      // e.g. "*.bmp;*.jpg;*.gif"
    std::string defaultExt;  // added to a typed name that has none
    std::string fileName;    // the file chosen last; the dialog starts there
};

class Platform {
public:
    virtual ~Platform() = default;

    // Process.
    virtual std::string programDirectory() = 0;
    virtual void setCurrentDirectory(const std::string& dir) = 0;
    virtual std::string commandLine() = 0;  // the arguments only, without the program name
    virtual bool prevInstance() = 0;        // another instance of this program is running
    // Whether a top-level window with exactly this title exists (FindWindowA with no class).
    virtual bool findWindow(const std::string& title) = 0;
    // Runs queued input, paint and timer events before returning.
    virtual void doEvents() = 0;
    // buttonsAndIcon uses the classic codes (64: OK button with the information icon).
    virtual int messageBox(const std::string& text, int buttonsAndIcon, const std::string& title) = 0;
    // Ends the process at once; no unload handler runs.
    [[noreturn]] virtual void terminate() = 0;

    // Cursor: hide lowers a display count, show raises it; the cursor shows while it is >= 0.
    virtual int showCursor(bool show) = 0;

    // Screen.
    virtual int screenWidthPx() = 0;
    virtual int screenHeightPx() = 0;
    virtual double twipsPerPixelX() = 0;  // 15 at 96 dpi
    virtual double twipsPerPixelY() = 0;

    // Windows and timers.
    virtual std::unique_ptr<WindowHost> createWindow(Form& form) = 0;
    virtual void formLoaded(Form& form) = 0;    // the process lives while a form is loaded
    virtual void formUnloaded(Form& form) = 0;
    virtual std::unique_ptr<TimerDriver> createTimer(std::function<void()> tick) = 0;

    // Decodes a BMP or JPG file's bytes (GIFs are decoded by the portable GIF reader).
    // Throws ErrInvalidPicture for anything it cannot read or that is too large.
    virtual PicturePtr decodeStill(const std::vector<uint8_t>& bytes) = 0;

    virtual SettingsStore& settings() = 0;

    // A private per-user directory for scratch files (created with owner-only access).
    virtual std::string userScratchDirectory() = 0;

    // Opens an address with the user's web browser; failures are not reported.
    virtual void shellOpen(const std::string& url) = 0;
    // Modal file-open dialog; returns the chosen path, throws ErrCancel when cancelled.
    virtual std::string showOpen(const OpenFileRequest& request) = 0;
};

}  // namespace mv
