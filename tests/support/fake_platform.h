#pragma once
// A scripted platform for unit tests: records what the program asks of the system, answers
// from fields the test sets, and runs timers on a virtual clock. Nothing touches the real
// user's settings or files: scratch and program directories are a fresh temporary folder.
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/error.h"
#include "platform/platform.h"

namespace mv::test {

// A temporary directory removed again with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    std::string write(const std::string& name, const std::vector<uint8_t>& bytes) const;
    std::string write(const std::string& name, const std::string& text) const;

private:
    std::filesystem::path path_;
};

std::vector<uint8_t> readFile(const std::string& path);

class MemorySettings : public SettingsStore {
public:
    std::string GetSetting(const std::string& app, const std::string& section, const std::string& key) override;
    void SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                     const std::string& value) override;
    std::string location(const std::string& app) const override {
        return where.empty() ? "/config/" + app + ".ini" : where;
    }
    std::string where;  // the location the store names, when not the default
    std::map<std::string, std::string> values;  // "app|section|key" -> text
    std::string failOnKey;                      // SaveSetting of this key throws
    std::vector<std::string> saveOrder;         // keys in the order they were saved
    std::string get(const std::string& key) const;  // convenience for the program's own section
    void set(const std::string& key, const std::string& value);
};

class FakePlatform;

class FakeWindowHost : public WindowHost {
public:
    FakeWindowHost(FakePlatform& platform, Form& form);
    ~FakeWindowHost() override;
    void show() override;
    void sync() override {}
    int clientWidthPx() const override;
    int clientHeightPx() const override;
    std::vector<Surface> surfaces() const override;
    void present() override { ++presents; }
    std::pmr::memory_resource* pixelMemory() override;
    // A display that scales moving pictures when `scalesMoving`; the frames it was given.
    bool showMoving(size_t surface, const MovingScene& scene) override {
        if (!scalesMoving) return false;
        movingShown.push_back({surface, scene});
        return true;
    }
    bool scalesMoving = false;
    std::vector<std::pair<size_t, MovingScene>> movingShown;

    FakePlatform& platform;
    Form& form;
    bool shown = false;
    int presents = 0;
};

class FakePlatform : public Platform {
public:
    FakePlatform();
    ~FakePlatform() override;

    std::string programDirectory() override { return dir.path().string(); }
    void setCurrentDirectory(const std::string& d) override;
    std::string workingDirectory() override { return callerDirectory; }
    std::string environment(const std::string& name) override {
        const auto it = env.find(name);
        return it != env.end() ? it->second : Platform::environment(name);
    }
    std::string commandLine() override { return arguments; }
    bool prevInstance() override { return otherInstance; }
    bool findWindow(const std::string& title) override { return windowTitles.count(title) > 0; }
    void hostOnLayer(bool overlay) override { layerOverlay = overlay; }
    void doEvents() override;
    int messageBox(const std::string& text, int code, const std::string& title) override;
    [[noreturn]] void terminate() override;
    int showCursor(bool show) override { cursorCount += show ? 1 : -1; return cursorCount; }
    int screenWidthPx() override { return screenW; }
    int screenHeightPx() override { return screenH; }
    double twipsPerPixelX() override { return 15.0; }
    double twipsPerPixelY() override { return 15.0; }
    std::unique_ptr<WindowHost> createWindow(Form& form) override;
    void formLoaded(Form& form) override { loadedForms.insert(&form); }
    void formUnloaded(Form& form) override { loadedForms.erase(&form); }
    std::unique_ptr<TimerDriver> createTimer(std::function<void()> tick) override;
    PicturePtr decodeStill(const std::vector<uint8_t>& bytes) override;
    // Decodes whole, and keeps the least size the loader allowed for the picture's size.
    PicturePtr decodeStillAtLeast(const std::vector<uint8_t>& bytes, const DecodeFloor& floor) override;
    std::vector<PixelSize> decodeFloors;
    std::function<void()> onDecode;  // runs before every still decode, on the decoding thread
    // The frames of an animated WebP, as a backend's library would give them; null by default.
    std::function<FrameSourcePtr(const std::vector<uint8_t>&)> frames;
    FrameSourcePtr openFrames(const std::vector<uint8_t>& bytes) override { return frames ? frames(bytes) : nullptr; }
    // Lines for the error output, from any thread.
    void report(const std::string& line) override;
    std::vector<std::string> reports();
    SettingsStore& settings() override { return store; }
    // Text as solid blocks: each character covers 0.6 x 1.2 of the pixel size.
    TextCoverage drawText(const std::string& utf8, int pixelSize) override;
    std::string userScratchDirectory() override;
    std::string userCacheDirectory() override;
    void shellOpen(const std::string& url) override { opened.push_back(url); }
    std::string showOpen(const OpenFileRequest& request) override;
    std::string showFolder(const std::string& start) override;
    std::string picturesFolder() override { return picturesDir; }
    std::string homeFolder() override { return homeDir; }
    bool folderExists(const std::string& path) override {
        std::error_code error;
        return std::filesystem::is_directory(std::filesystem::path(std::u8string(path.begin(), path.end())), error);
    }

    // Virtual clock: runs every timer tick due within the next `ms` milliseconds, in order.
    void advance(long ms);
    long now() const { return clock; }

    // Main changes to the program's (temporary) directory; the double puts the test's own
    // working directory back, so later tests never run in a directory that was removed.
    std::filesystem::path startDirectory = std::filesystem::current_path();
    // Scripted answers and records.
    TempDir dir;
    std::string arguments;
    bool otherInstance = false;
    std::optional<bool> layerOverlay;  // hosted on layer surfaces: true above the windows
    std::set<std::string> windowTitles;
    int screenW = 1280, screenH = 1024;
    // The monitors a maximised window covers, the primary one first; none: one of the screen's size.
    std::vector<Surface> monitors;
    std::pmr::memory_resource* pixelMemory = nullptr;  // what the windows keep their pictures in
    int cursorCount = 0;
    bool terminated = false;
    std::string currentDirectory;
    std::string callerDirectory;              // where the process was started
    std::map<std::string, std::string> env;  // set here, these hide the process's own variables
    std::vector<std::string> messages;  // "title|code|text"
    std::vector<std::string> opened;    // addresses given to the shell
    std::deque<std::string> openAnswers;  // showOpen returns these in turn; none left = cancel
    std::deque<std::string> folderAnswers;  // showFolder likewise
    std::vector<std::string> folderStarts;
    std::vector<OpenFileRequest> openRequests;
    std::string picturesDir, homeDir;  // the user's folders, which need not exist
    std::deque<std::function<void()>> pendingEvents;  // run by the next doEvents
    std::function<void()> onDoEvents;                  // runs inside every doEvents
    int doEventsCalls = 0;
    MemorySettings store;
    std::set<Form*> loadedForms;

    struct TimerState {
        std::function<void()> tick;
        bool running = false;
        unsigned interval = 0;
        long due = 0;
    };
    std::vector<TimerState*> timers;
    long clock = 0;
    std::mutex reportsMutex_;
    std::vector<std::string> reports_;
};

// A BMP of w x h pixels, 24 bits, every pixel the colour 0x00BBGGRR; what decodeStill reads.
std::vector<uint8_t> makeBmp(int w, int h, int32_t color);

}  // namespace mv::test
