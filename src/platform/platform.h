#pragma once
// Everything a backend provides, in one place: the process and shell services (Platform), the
// native window of a form (WindowHost), the clock of a timer (TimerDriver) and the per-user
// settings store. Qt implements it on Linux, Win32 on Windows; tests use a scripted double.
// Failures throw PlatformError.
#include <cstdint>
#include <functional>
#include <memory>
#include <memory_resource>
#include <string>
#include <utility>
#include <vector>

#include "platform/error.h"
#include "platform/picture/decode_size.h"
#include "platform/picture/frames/frame_source.h"
#include "platform/picture/motion/moving_scene.h"

namespace mv {

class Form;
class Picture;
using PicturePtr = std::shared_ptr<const Picture>;

// A part of a window that shows the form on its own: one per monitor that a full-screen window
// covers. Device pixels, in one coordinate space for the whole desktop.
struct Surface {
    int x = 0, y = 0, width = 0, height = 0;
};

// The backend's native window for one loaded form. It reads the form's properties, shows the
// form's backing picture and feeds input back by calling the form's handlers. Destroying it
// closes the native window; that must be safe while one of its own events is being handled.
class WindowHost {
public:
    virtual ~WindowHost() = default;
    virtual void show() = 0;
    // Caption, bounds, window state or visibility of the form changed.
    virtual void sync() = 0;
    // The inner size in device pixels; for a window on several monitors, the primary one's.
    virtual int clientWidthPx() const = 0;
    virtual int clientHeightPx() const = 0;
    // The surfaces, the primary monitor's first. A window on one monitor has one: its client area.
    virtual std::vector<Surface> surfaces() const { return {{0, 0, clientWidthPx(), clientHeightPx()}}; }
    // The form painted into its backing pictures; repaint each surface from its own.
    virtual void present() = 0;
    // Where the backing pictures' pixels are to be kept so that present() shows them without
    // copying them; null for ordinary memory.
    virtual std::pmr::memory_resource* pixelMemory() { return nullptr; }
    // Shows one frame of a moving picture on a surface, the display doing the scaling, in
    // place of that surface's backing picture; false where this window cannot (the core then
    // draws the frame into the backing and presents it). The surface keeps showing the last
    // frame given until the next one or the next present().
    virtual bool showMoving(size_t /*surface*/, const MovingScene& /*scene*/) { return false; }
    // How often a second the monitors show a new picture: moving pictures are drawn no faster.
    virtual double refreshRate() const { return 60.0; }
};

// The backend's clock for one timer: fires tick() every `ms` milliseconds until stopped.
class TimerDriver {
public:
    virtual ~TimerDriver() = default;
    virtual void start(unsigned ms) = 0;  // (re)starts the count
    virtual void stop() = 0;
};

// The per-user store of named text values, addressed by application, section and key.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // The stored text, or "" when the value (or its section or application) does not exist.
    virtual std::string GetSetting(const std::string& app, const std::string& section, const std::string& key) = 0;
    // Creates or replaces one value; throws PlatformError when the store cannot be written.
    virtual void SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                             const std::string& value) = 0;
    // Saves several values of one section. A store that can replace them all at once does, so
    // that a failure leaves every one as it was; this default saves them one by one.
    using Values = std::vector<std::pair<std::string, std::string>>;
    virtual void SaveSettings(const std::string& app, const std::string& section, const Values& values) {
        for (const auto& [key, value] : values) SaveSetting(app, section, key, value);
    }
    // Where the values of `app` are kept, as a user would look for them: a file or a key.
    virtual std::string location(const std::string& app) const = 0;
};


// A line of text as the system draws it: how much of each pixel the glyphs cover, 0 to 255,
// row by row.
struct TextCoverage {
    int width = 0, height = 0;
    std::vector<uint8_t> alpha;
};

struct OpenFileRequest {
    std::string filter;      // e.g. "*.bmp;*.jpg;*.gif"
    std::string defaultExt;  // added to a typed name that has none
    std::string fileName;    // the file chosen last; the dialog starts there
    std::string startFolder;  // where the dialog starts when there is no file chosen last
};

class Platform {
public:
    virtual ~Platform() = default;

    // Process.
    virtual std::string programDirectory() = 0;
    virtual void setCurrentDirectory(const std::string& dir) = 0;
    // The process's current directory; "" where the platform does not say.
    virtual std::string workingDirectory() { return {}; }
    virtual std::string commandLine() = 0;  // the arguments only, without the program name
    // The same arguments one by one; by default commandLine() cut at blanks.
    virtual std::vector<std::string> argumentList();
    // An environment variable's value, "" when it is not set.
    virtual std::string environment(const std::string& name);
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

    // Decodes a still picture's bytes of any type but GIF and PNG, which the portable readers take.
    // Throws ErrInvalidPicture for anything it cannot read or that is too large.
    virtual PicturePtr decodeStill(const std::vector<uint8_t>& bytes) = 0;
    // Name endings (lower case, no dot) of the further picture types decodeStill reads, beyond
    // BMP, JPG, JPEG, GIF and PNG.
    virtual std::vector<std::string> morePictureSuffixes() { return {}; }
    // The same, but a decoder that reaches a smaller size cheaply may decode the picture smaller
    // than stored, never below `floor` of its stored size (see decode_size.h). By default whole.
    virtual PicturePtr decodeStillAtLeast(const std::vector<uint8_t>& bytes, const DecodeFloor& /*floor*/) {
        return decodeStill(bytes);
    }
    // An animated picture the platform's own libraries read (an animated WebP), its frames
    // decoded when asked; null when the bytes are no animation it reads (APNG is read by the
    // portable PNG reader). The canvas is checked against the size guard before anything is
    // decoded. Throws ErrInvalidPicture for one it recognises but cannot read.
    virtual FrameSourcePtr openFrames(const std::vector<uint8_t>& /*bytes*/) { return nullptr; }

    virtual SettingsStore& settings() = 0;

    // Text drawn over pictures. One line in the system's user-interface font at `pixelSize`
    // pixels (the font's em), on any thread; empty where the platform draws no text.
    virtual TextCoverage drawText(const std::string& /*utf8*/, int /*pixelSize*/) { return {}; }
    // The user's long date form as a pattern of the letters d, M, y and quoted text ("dddd, d
    // MMMM yyyy"), and a date written in such a pattern in the user's language; the defaults
    // are English.
    virtual std::string longDatePattern() { return "dddd, d MMMM yyyy"; }
    virtual std::string formatDate(const std::string& pattern, int year, int month, int day);
    // The user's short time form, in the letters h (12 hours), H (24 hours), m, s and the
    // platform's own mark of the half day, and a time written in such a pattern.
    virtual std::string shortTimePattern() { return "HH:mm"; }
    virtual std::string formatTime(const std::string& pattern, int hour, int minute);

    // A private per-user directory for scratch files (created with owner-only access).
    virtual std::string userScratchDirectory() = 0;
    // A private per-user directory for what the program keeps between runs but may lose, such as
    // a slideshow's round (created with owner-only access). Throws PlatformError when there is none.
    virtual std::string userCacheDirectory() = 0;

    // Hosted mode: whether painted windows can be drawn inside a window another program owns,
    // and, once asked, every painted window created afterwards is (0: the screen's root window).
    virtual bool canHost() { return false; }
    virtual void hostIn(uint64_t /*window*/) {}
    // The same on a Wayland layer surface of every output, above the windows or below them.
    virtual void hostOnLayer(bool /*overlay*/) {}
    // One line for the user on the error output.
    virtual void report(const std::string& line);

    // Opens an address with the user's web browser; failures are not reported.
    virtual void shellOpen(const std::string& url) = 0;
    // Modal file-open dialog; returns the chosen path, throws ErrCancel when cancelled.
    virtual std::string showOpen(const OpenFileRequest& request) = 0;
    // Modal folder chooser starting at `start` (may be empty); returns the chosen folder, throws
    // ErrCancel when cancelled. A platform without one always cancels.
    virtual std::string showFolder(const std::string& /*start*/) { throw PlatformError(ErrCancel, "Cancel was selected."); }
    // The user's folders a file dialog may start in; "" where the system names none.
    virtual std::string picturesFolder() { return ""; }
    virtual std::string homeFolder() { return ""; }
    virtual bool folderExists(const std::string& /*path*/) { return false; }
};

}  // namespace mv
