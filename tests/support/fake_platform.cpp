#include "fake_platform.h"

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <random>

#include "platform/picture/picture.h"
#include "platform/ui/form.h"

namespace fs = std::filesystem;

namespace mv::test {

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    std::random_device rd;
    const char* base = std::getenv("TMPDIR");
    fs::path root = base && *base ? fs::path(base) : fs::temp_directory_path();
    for (;;) {
        path_ = root / ("marvoscope-test-" + std::to_string(rd()) + "-" + std::to_string(counter++));
        std::error_code ec;
        if (fs::create_directory(path_, ec)) break;
    }
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

std::string TempDir::write(const std::string& name, const std::vector<uint8_t>& bytes) const {
    const auto p = path_ / name;
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return p.string();
}

std::string TempDir::write(const std::string& name, const std::string& text) const {
    return write(name, std::vector<uint8_t>(text.begin(), text.end()));
}

std::vector<uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

static std::string settingKey(const std::string& app, const std::string& section, const std::string& key) {
    return app + "|" + section + "|" + key;
}

std::string MemorySettings::GetSetting(const std::string& app, const std::string& section, const std::string& key) {
    auto it = values.find(settingKey(app, section, key));
    return it == values.end() ? std::string() : it->second;
}

void MemorySettings::SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                                 const std::string& value) {
    if (key == failOnKey) throw PlatformError(ErrFileAccess, "settings store not writable");
    values[settingKey(app, section, key)] = value;
    saveOrder.push_back(key);
}

std::string MemorySettings::get(const std::string& key) const {
    auto it = values.find(settingKey("Marvoscope 1.0 Demo", "Settings", key));
    return it == values.end() ? std::string("<missing>") : it->second;
}

void MemorySettings::set(const std::string& key, const std::string& value) {
    values[settingKey("Marvoscope 1.0 Demo", "Settings", key)] = value;
}

FakeWindowHost::FakeWindowHost(FakePlatform& p, Form& f) : platform(p), form(f) {}
FakeWindowHost::~FakeWindowHost() { platform.windowTitles.erase(form.Caption()); }

void FakeWindowHost::show() { shown = true; }

std::pmr::memory_resource* FakeWindowHost::pixelMemory() { return platform.pixelMemory; }

int FakeWindowHost::clientWidthPx() const {
    return form.windowState() == WindowState::Maximized ? platform.screenW
                                                        : static_cast<int>(form.Width() / 15);
}

std::vector<Surface> FakeWindowHost::surfaces() const {
    if (platform.monitors.empty() || form.windowState() != WindowState::Maximized) return WindowHost::surfaces();
    return platform.monitors;
}

int FakeWindowHost::clientHeightPx() const {
    return form.windowState() == WindowState::Maximized ? platform.screenH
                                                        : static_cast<int>(form.Height() / 15);
}

FakePlatform::FakePlatform() = default;
FakePlatform::~FakePlatform() {
    std::error_code ec;
    fs::current_path(startDirectory, ec);
    for (auto* t : timers) delete t;
}

void FakePlatform::setCurrentDirectory(const std::string& d) {
    currentDirectory = d;
    fs::current_path(d);
}

void FakePlatform::doEvents() {
    ++doEventsCalls;
    if (onDoEvents) onDoEvents();
    while (!pendingEvents.empty()) {
        auto event = std::move(pendingEvents.front());
        pendingEvents.pop_front();
        event();
    }
}

int FakePlatform::messageBox(const std::string& text, int code, const std::string& title) {
    messages.push_back(title + "|" + std::to_string(code) + "|" + text);
    return 1;
}

void FakePlatform::terminate() {
    terminated = true;
    throw ProcessTerminated{};
}

std::unique_ptr<WindowHost> FakePlatform::createWindow(Form& form) {
    windowTitles.insert(form.Caption());
    return std::make_unique<FakeWindowHost>(*this, form);
}

namespace {
class FakeTimer : public TimerDriver {
public:
    FakeTimer(FakePlatform& p, FakePlatform::TimerState* s) : platform(p), state(s) {}
    ~FakeTimer() override { state->running = false; state->tick = nullptr; }
    void start(unsigned ms) override {
        state->running = true;
        state->interval = ms;
        state->due = platform.clock + ms;
    }
    void stop() override { state->running = false; }
    FakePlatform& platform;
    FakePlatform::TimerState* state;
};
}  // namespace

std::unique_ptr<TimerDriver> FakePlatform::createTimer(std::function<void()> tick) {
    auto* state = new TimerState{std::move(tick)};
    timers.push_back(state);
    return std::make_unique<FakeTimer>(*this, state);
}

void FakePlatform::advance(long ms) {
    const long end = clock + ms;
    for (;;) {
        TimerState* next = nullptr;
        for (auto* t : timers)
            if (t->running && t->interval > 0 && t->due <= end && (!next || t->due < next->due)) next = t;
        if (!next) break;
        clock = next->due;
        next->due = clock + next->interval;  // a tick that sets a new interval restarts this
        if (next->tick) next->tick();
    }
    clock = end;
}

void FakePlatform::report(const std::string& line) {
    Platform::report(line);
    std::lock_guard lock(reportsMutex_);
    reports_.push_back(line);
}

std::vector<std::string> FakePlatform::reports() {
    std::lock_guard lock(reportsMutex_);
    return reports_;
}

PicturePtr FakePlatform::decodeStillAtLeast(const std::vector<uint8_t>& bytes, const DecodeFloor& floor) {
    PicturePtr picture = decodeStill(bytes);
    decodeFloors.push_back(floor(picture->width(), picture->height()));
    return picture;
}

PicturePtr FakePlatform::decodeStill(const std::vector<uint8_t>& b) {
    if (onDecode) onDecode();
    auto u32 = [&](size_t o) { return b[o] | b[o + 1] << 8 | b[o + 2] << 16 | static_cast<uint32_t>(b[o + 3]) << 24; };
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') throw PlatformError(ErrInvalidPicture, "Invalid picture");
    const int w = static_cast<int32_t>(u32(18)), h = static_cast<int32_t>(u32(22));
    const size_t offset = u32(10), stride = (static_cast<size_t>(w) * 3 + 3) & ~size_t(3);
    if (w <= 0 || h <= 0 || w > 10000 || h > 10000 || b[28] != 24 || offset + stride * h > b.size())
        throw PlatformError(ErrInvalidPicture, "Invalid picture");
    Bitmap bmp;
    bmp.resize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint8_t* p = &b[offset + stride * (h - 1 - y) + x * 3];
            bmp.row(y)[x] = 0xFF000000u | p[2] << 16 | p[1] << 8 | p[0];
        }
    return std::make_shared<RgbPicture>(std::move(bmp));
}

std::string FakePlatform::userScratchDirectory() {
    const auto p = dir.path() / "user-scratch";
    fs::create_directories(p);
    return p.string();
}

std::string FakePlatform::userCacheDirectory() {
    const auto p = dir.path() / "user-cache";
    fs::create_directories(p);
    return p.string();
}

std::string FakePlatform::showOpen(const OpenFileRequest& request) {
    openRequests.push_back(request);
    if (openAnswers.empty()) throw PlatformError(ErrCancel, "Cancel was selected.");
    auto answer = openAnswers.front();
    openAnswers.pop_front();
    return answer;
}

std::string FakePlatform::showFolder(const std::string& start) {
    folderStarts.push_back(start);
    if (folderAnswers.empty()) throw PlatformError(ErrCancel, "Cancel was selected.");
    auto answer = folderAnswers.front();
    folderAnswers.pop_front();
    return answer;
}

std::vector<uint8_t> makeBmp(int w, int h, int32_t color) {
    const size_t stride = (static_cast<size_t>(w) * 3 + 3) & ~size_t(3);
    const size_t size = 54 + stride * h;
    std::vector<uint8_t> b(size, 0);
    auto put32 = [&](size_t o, uint32_t v) { for (int i = 0; i < 4; ++i) b[o + i] = static_cast<uint8_t>(v >> (8 * i)); };
    b[0] = 'B'; b[1] = 'M';
    put32(2, static_cast<uint32_t>(size)); put32(10, 54); put32(14, 40);
    put32(18, static_cast<uint32_t>(w)); put32(22, static_cast<uint32_t>(h));
    b[26] = 1; b[28] = 24;
    put32(34, static_cast<uint32_t>(stride * h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = &b[54 + stride * y + x * 3];
            p[0] = static_cast<uint8_t>(color >> 16); p[1] = static_cast<uint8_t>(color >> 8); p[2] = static_cast<uint8_t>(color);
        }
    return b;
}

TextCoverage FakePlatform::drawText(const std::string& utf8, int pixelSize) {
    TextCoverage text;
    size_t chars = 0;
    for (unsigned char c : utf8) chars += (c & 0xC0) != 0x80;
    text.width = static_cast<int>(chars * pixelSize * 6 / 10);
    text.height = pixelSize * 12 / 10;
    text.alpha.assign(static_cast<size_t>(text.width) * text.height, 255);
    return text;
}

}  // namespace mv::test
