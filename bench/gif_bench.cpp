// Animated GIF benchmark: splitting and decoding against giflib, peak memory of a long GIF,
// and the CPU cost of painting one frame full screen. Generates its own input files.
#include <gif_lib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "anim/frame_ranges.h"
#include "platform/picture/gif/gif_format.h"
#include "platform/picture/gif/gif_lzw.h"
#include "saver/frmMain.h"
#include "startup/app.h"
#include "support/fake_platform.h"
#include "support/gif_writer.h"

namespace fs = std::filesystem;
using namespace mv;

namespace {

constexpr int kWidth = 1280, kHeight = 720;

double cpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

double wallSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// A 6 x 7 x 6 colour cube and four greys.
std::vector<uint32_t> cubePalette() {
    std::vector<uint32_t> p;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 7; ++g)
            for (int b = 0; b < 6; ++b) p.push_back(static_cast<uint32_t>(r * 51) << 16 | static_cast<uint32_t>(g * 42) << 8 | static_cast<uint32_t>(b * 51));
    for (int i = 0; i < 4; ++i) p.push_back(static_cast<uint32_t>(40 + i * 50) * 0x010101u);
    return p;
}

// Moving dithered gradients, a bouncing disc and a patch of noise: content that compresses
// like a real animation rather than like a single colour. With a still background only the
// disc moves.
std::vector<uint8_t> frameContent(int t, bool stillBackground = false) {
    static const int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    std::vector<uint8_t> px(static_cast<size_t>(kWidth) * kHeight);
    const int cx = 200 + static_cast<int>(400 * (1 + std::sin(t * 0.05))), cy = 360 + static_cast<int>(200 * std::cos(t * 0.07));
    const int bt = stillBackground ? 0 : t;
    uint32_t noise = 0x9E3779B9u * static_cast<uint32_t>(bt + 1);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const int d = bayer[y & 3][x & 3];
            int r = ((x + 3 * bt) % kWidth) * 5 * 16 / kWidth, g = y * 6 * 16 / kHeight, b = ((x + y + 5 * bt) % 512) * 5 * 16 / 512;
            const int dx = x - cx, dy = y - cy;
            if (dx * dx + dy * dy < 120 * 120) { r = 5 * 16; g = 6 * 16 - (dx * dx + dy * dy) / 400; b = 1 * 16; }
            const int ri = std::min(5, (r + d) / 16), gi = std::min(6, std::max(0, (g + d) / 16)), bi = std::min(5, (b + d) / 16);
            uint8_t idx = static_cast<uint8_t>(ri * 42 + gi * 6 + bi);
            if (x > 900 && x < 1100 && y > 500 && y < 680) {
                noise = noise * 1664525u + 1013904223u;
                idx = static_cast<uint8_t>(noise >> 24) % 252;
            }
            px[static_cast<size_t>(y) * kWidth + x] = idx;
        }
    return px;
}

// With `optimised`, the background stands still and every frame after the first holds only the
// rectangle that changed, as optimising encoders write it.
void writeAnimation(const std::string& path, int frames, bool optimised = false) {
    test::GifPlan plan;
    plan.width = kWidth;
    plan.height = kHeight;
    plan.globalPalette = cubePalette();
    std::FILE* out = std::fopen(path.c_str(), "wb");
    // Written frame by frame so the generator itself stays small.
    bool first = true;
    std::vector<uint8_t> previous;
    for (int t = 0; t < frames; ++t) {
        plan.frames.clear();
        test::GifFramePlan f;
        f.width = kWidth;
        f.height = kHeight;
        f.indices = frameContent(t, optimised);
        f.delayCs = 4;
        if (optimised && !previous.empty()) {
            const auto full = f.indices;
            int x0 = kWidth, y0 = kHeight, x1 = 0, y1 = 0;
            for (int y = 0; y < kHeight; ++y)
                for (int x = 0; x < kWidth; ++x)
                    if (full[static_cast<size_t>(y) * kWidth + x] != previous[static_cast<size_t>(y) * kWidth + x]) {
                        x0 = std::min(x0, x); x1 = std::max(x1, x + 1);
                        y0 = std::min(y0, y); y1 = std::max(y1, y + 1);
                    }
            if (x0 >= x1) { x0 = y0 = 0; x1 = y1 = 1; }
            f.left = x0; f.top = y0; f.width = x1 - x0; f.height = y1 - y0;
            f.indices.clear();
            for (int y = y0; y < y1; ++y)
                f.indices.insert(f.indices.end(), full.begin() + y * kWidth + x0, full.begin() + y * kWidth + x1);
            previous = full;
        } else if (optimised) {
            previous = f.indices;
        }
        plan.frames.push_back(std::move(f));
        plan.loopExtension = first;
        plan.trailer = t == frames - 1;
        auto bytes = test::writeGif(plan);
        size_t from = 0;
        if (!first) from = 13 + 3 * 256;  // header and table once
        std::fwrite(bytes.data() + from, 1, bytes.size() - from, out);
        first = false;
    }
    std::fclose(out);
}

struct SplitResult {
    double cpu = 0, wall = 0;
    int frames = 0;
};

// One saver window on a scripted platform, as the show would have it.
struct Show {
    test::FakePlatform platform;
    App app{platform};
    Show(int w, int h) {
        platform.screenW = w;
        platform.screenH = h;
        app.saverUnloaded = true;
        app.mainForm->Load();
        app.saverUnloaded = false;
    }
    frmMain& form() { return *app.mainForm; }
};

SplitResult splitAndDecode(Show& show, const std::string& path) {
    SplitResult r;
    const double c0 = cpuSeconds(), w0 = wallSeconds();
    show.form().LoadAniGif(path, show.form().AnimatedGIF);
    r.cpu = cpuSeconds() - c0;
    r.wall = wallSeconds() - w0;
    r.frames = show.form().AnimatedGIF.Count();
    return r;
}

// giflib's whole-file read, then every frame composed to 32-bit pixels (one canvas reused,
// so that giflib is not charged for holding 4 bytes a pixel of every frame).
SplitResult giflibSlurp(const std::string& path) {
    SplitResult r;
    const double c0 = cpuSeconds(), w0 = wallSeconds();
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    if (!gif || DGifSlurp(gif) != GIF_OK) {
        std::fprintf(stderr, "giflib failed on %s\n", path.c_str());
        return r;
    }
    std::vector<uint32_t> canvas(static_cast<size_t>(gif->SWidth) * gif->SHeight);
    uint64_t checksum = 0;
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& img = gif->SavedImages[i];
        const ColorMapObject* map = img.ImageDesc.ColorMap ? img.ImageDesc.ColorMap : gif->SColorMap;
        uint32_t pal[256] = {};
        for (int c = 0; map && c < map->ColorCount && c < 256; ++c)
            pal[c] = 0xFF000000u | map->Colors[c].Red << 16 | map->Colors[c].Green << 8 | map->Colors[c].Blue;
        for (int y = 0; y < img.ImageDesc.Height && y + img.ImageDesc.Top < gif->SHeight; ++y)
            for (int x = 0; x < img.ImageDesc.Width && x + img.ImageDesc.Left < gif->SWidth; ++x)
                canvas[static_cast<size_t>(y + img.ImageDesc.Top) * gif->SWidth + x + img.ImageDesc.Left] =
                    pal[img.RasterBits[static_cast<size_t>(y) * img.ImageDesc.Width + x]];
        checksum += canvas[static_cast<size_t>(i) % canvas.size()];
    }
    r.frames = gif->ImageCount;
    DGifCloseFile(gif, &error);
    r.cpu = cpuSeconds() - c0;
    r.wall = wallSeconds() - w0;
    if (checksum == 1) std::puts("");  // keeps the conversion from being optimised away
    return r;
}

// CPU time of the animation's ticks, each setting the next interval and painting a frame
// (decoding it again when the small cache no longer holds it).
double cpuPerPaintedFrame(Show& show, int ticks) {
    auto& form = show.form();
    int painted = 0;
    const int before = static_cast<test::FakeWindowHost*>(form.host())->presents;
    const double c0 = cpuSeconds();
    for (int i = 0; i < ticks; ++i) show.platform.advance(form.AnimationTimer.Interval());
    const double cpu = cpuSeconds() - c0;
    painted = static_cast<test::FakeWindowHost*>(form.host())->presents - before;
    return painted > 0 ? cpu / painted : 0;
}

long childPeakKb(const std::string& self, const std::string& mode, const std::string& path) {
    const pid_t pid = fork();
    if (pid == 0) {
        execl(self.c_str(), self.c_str(), mode.c_str(), path.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    return usage.ru_maxrss;
}

// Every frame of a GIF file decoded to palette indices by our reader (each frame's bytes cut
// out as the splitter cuts them, parsed and LZW-decoded from memory) and by giflib's DGifSlurp,
// in the same process; output megapixels per CPU second.
void lzwThroughput(const std::string& path) {
    std::vector<uint8_t> file(fs::file_size(path));
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (!in || std::fread(file.data(), 1, file.size(), in) != file.size()) return;
    std::fclose(in);
    anim::SourceBytes bytes;
    bytes.assign(file);
    anim::FrameRanges ranges(bytes);
    std::vector<anim::Chunk> chunks;
    while (auto c = ranges.next()) chunks.push_back(*c);
    if (auto last = ranges.last()) chunks.push_back(*last);
    const size_t prefix = ranges.prefixLength();
    double ours = 0, pixels = 0;
    std::vector<uint8_t> frame, out;
    for (const auto& c : chunks) {
        frame.assign(file.begin(), file.begin() + static_cast<long>(prefix));
        frame.insert(frame.end(), file.begin() + static_cast<long>(c.from), file.begin() + static_cast<long>(c.to));
        const double c0 = cpuSeconds();
        const gif::GifImage img = gif::parseGif(frame.data(), frame.size());
        out.resize(static_cast<size_t>(img.width) * static_cast<size_t>(img.height));
        pixels += static_cast<double>(gif::lzwDecode(img.lzw.data(), img.lzw.size(), img.minCodeSize, out.data(), out.size()));
        ours += cpuSeconds() - c0;
    }
    const double c0 = cpuSeconds();
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    double theirPixels = 0;
    if (gif && DGifSlurp(gif) == GIF_OK)
        for (int i = 0; i < gif->ImageCount; ++i)
            theirPixels += static_cast<double>(gif->SavedImages[i].ImageDesc.Width) * gif->SavedImages[i].ImageDesc.Height;
    const double theirs = cpuSeconds() - c0;
    if (gif) DGifCloseFile(gif, &error);
    std::printf("  %s (%.0f MB, %zu frames): ours %.0f Mpx/s, giflib %.0f Mpx/s, ratio %.2f\n", fs::path(path).filename().c_str(),
                static_cast<double>(file.size()) / 1048576.0, chunks.size(), pixels / ours / 1e6, theirPixels / theirs / 1e6,
                (pixels / ours) / (theirPixels / theirs));
}

int childMode(const std::string& mode, const std::string& path) {
    if (mode.rfind("--write=", 0) == 0) {  // --write=N path: only generate an N-frame file
        writeAnimation(path, std::stoi(mode.substr(8)));
        return 0;
    }
    if (mode == "--split") {
        Show show(1920, 1080);
        splitAndDecode(show, path);
        cpuPerPaintedFrame(show, 700);  // play one full cycle as well
        return show.form().AnimatedGIF.Count() > 1 ? 0 : 1;
    }
    return giflibSlurp(path).frames > 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::string(argv[1]) == "--lzw") {  // --lzw FILE...: decoding speed on given GIFs
        std::printf("Decoding every frame to palette indices, ours against giflib:\n");
        for (int i = 2; i < argc; ++i) lzwThroughput(argv[i]);
        return 0;
    }
    if (argc == 3) return childMode(argv[1], argv[2]);
    char dirTemplate[] = "/tmp/marvoscope-bench-XXXXXX";
    if (!mkdtemp(dirTemplate)) return 1;
    const fs::path dir = dirTemplate;
    fs::current_path(dir);  // the split writes its scratch file here
    const std::string self = fs::read_symlink("/proc/self/exe").string();

    std::printf("Generating 1280x720 animations in %s ...\n", dir.c_str());
    const std::string small = (dir / "anim100.gif").string(), large = (dir / "anim675.gif").string();
    writeAnimation(small, 100);
    writeAnimation(large, 675);
    const double smallMb = static_cast<double>(fs::file_size(small)) / 1048576.0;
    const double largeMb = static_cast<double>(fs::file_size(large)) / 1048576.0;
    std::printf("  100 frames: %.1f MB, 675 frames: %.1f MB\n\n", smallMb, largeMb);

    std::printf("Split and decode (CPU seconds; giflib = DGifSlurp + RGBA conversion, same process)\n");
    for (const auto& [path, label] : {std::pair{small, "100 frames"}, std::pair{large, "675 frames"}}) {
        SplitResult ours, theirs;
        {
            Show show(1920, 1080);
            ours = splitAndDecode(show, path);
        }
        theirs = giflibSlurp(path);
        std::printf("  %s: split+decode %.3f s (wall %.3f, %d frames), giflib %.3f s (wall %.3f, %d frames), ratio %.2f\n",
                    label, ours.cpu, ours.wall, ours.frames, theirs.cpu, theirs.wall, theirs.frames,
                    theirs.cpu > 0 ? ours.cpu / theirs.cpu : 0.0);
    }

    const long splitPeak = childPeakKb(self, "--split", large);
    const long giflibPeak = childPeakKb(self, "--giflib", large);
    std::printf("\nPeak resident memory, 675 frames (%.1f MB file), each in its own process:\n", largeMb);
    std::printf("  split, decode and one play cycle: %.1f MB (%.2f of the file's size)\n", splitPeak / 1024.0,
                splitPeak / 1024.0 / largeMb);
    std::printf("  giflib DGifSlurp + RGBA:          %.1f MB\n", giflibPeak / 1024.0);

    const std::string optimised = (dir / "optimised100.gif").string();
    writeAnimation(optimised, 100, true);
    std::printf("\nCPU time per painted frame (tick: interval, decode unless cached, compose, stretch)\n");
    for (const auto& [w, h] : {std::pair{1920, 1080}, std::pair{3840, 2160}}) {
        Show show(w, h), showOptimised(w, h);
        splitAndDecode(show, small);
        splitAndDecode(showOptimised, optimised);
        const double perFrame = cpuPerPaintedFrame(show, 300);
        const double perOptimised = cpuPerPaintedFrame(showOptimised, 300);
        std::printf("  %dx%d: full frames %.2f ms; optimised (%.1f MB, changed rectangles only) %.2f ms, ratio %.2f\n", w,
                    h, perFrame * 1000.0, static_cast<double>(fs::file_size(optimised)) / 1048576.0,
                    perOptimised * 1000.0, perFrame > 0 ? perOptimised / perFrame : 0.0);
    }
    fs::current_path("/");
    fs::remove_all(dir);
    return 0;
}
