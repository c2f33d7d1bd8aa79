// The PNG reader's cost on a few files, each decoded in a child process of its own: the time
// to a picture or a refusal, and how far the child's peak resident memory rose meanwhile.
//   png_bench [runs, default 3]   (the best times of the runs; the peak of the first)
// Beside the time on the clock, the child's processor time, which a busy machine disturbs less.
// Files: a 72-byte header of 11585 x 11585 RGBA (8 and 16 bits) over 600 zero bytes of data;
// 8000 x 8000 RGBA of zeros at zlib's best compression (about 249 KB); 4000 x 3000 RGB of a
// noisy gradient at zlib's default, as a photo is stored.
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "platform/error.h"
#include "platform/picture/png_decoder.h"

namespace {

using Bytes = std::vector<uint8_t>;

void bigEndian(Bytes& out, uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<uint8_t>(v >> s));
}

void chunk(Bytes& out, const char* type, const Bytes& data) {
    bigEndian(out, static_cast<uint32_t>(data.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    bigEndian(out, static_cast<uint32_t>(crc32(0, out.data() + start, static_cast<uInt>(out.size() - start))));
}

// The filtered rows, made a row at a time by `row` (filter byte included), deflated as they come.
Bytes png(uint32_t w, uint32_t h, int depth, int colorType, int level, size_t rowBytes,
          const std::function<void(uint32_t y, Bytes& row)>& row) {
    Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}, header, idat;
    bigEndian(header, w);
    bigEndian(header, h);
    header.insert(header.end(), {static_cast<uint8_t>(depth), static_cast<uint8_t>(colorType), 0, 0, 0});
    chunk(out, "IHDR", header);
    z_stream z{};
    deflateInit(&z, level);
    Bytes line(rowBytes), buffer(1 << 16);
    for (uint32_t y = 0; y < h; ++y) {
        row(y, line);
        z.next_in = line.data();
        z.avail_in = static_cast<uInt>(line.size());
        const int flush = y + 1 == h ? Z_FINISH : Z_NO_FLUSH;
        do {
            z.next_out = buffer.data();
            z.avail_out = static_cast<uInt>(buffer.size());
            deflate(&z, flush);
            idat.insert(idat.end(), buffer.data(), z.next_out);
        } while (z.avail_out == 0);
    }
    deflateEnd(&z);
    chunk(out, "IDAT", idat);
    chunk(out, "IEND", {});
    return out;
}

// A header that promises a large picture, over a few hundred zero bytes of data.
Bytes hostile(int depth) {
    Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}, header;
    bigEndian(header, 11585);
    bigEndian(header, 11585);
    header.insert(header.end(), {static_cast<uint8_t>(depth), 6, 0, 0, 0});
    chunk(out, "IHDR", header);
    Bytes zeros(600), idat(64);
    uLongf size = idat.size();
    compress2(idat.data(), &size, zeros.data(), zeros.size(), 9);
    idat.resize(size);
    chunk(out, "IDAT", idat);
    chunk(out, "IEND", {});
    return out;
}

long peakKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    return 0;
}

struct Outcome {
    double ms, cpuMs;
    long peakRiseKiB;
    int width, height;  // 0 x 0: refused
};

Outcome decodeInChild(const Bytes& file) {
    int fds[2];
    if (::pipe(fds) != 0) std::exit(2);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        Outcome o{};
        const long before = peakKiB();
        const auto t0 = std::chrono::steady_clock::now();
        timespec c0{}, c1{};
        ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &c0);
        try {
            const mv::PicturePtr picture = mv::decodePng(file);
            o.width = picture->width();
            o.height = picture->height();
        } catch (const mv::PlatformError&) {
        }
        o.ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
        ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &c1);
        o.cpuMs = (c1.tv_sec - c0.tv_sec) * 1e3 + (c1.tv_nsec - c0.tv_nsec) / 1e6;
        o.peakRiseKiB = peakKiB() - before;
        (void)!::write(fds[1], &o, sizeof o);
        ::_exit(0);
    }
    ::close(fds[1]);
    Outcome o{};
    if (::read(fds[0], &o, sizeof o) != static_cast<ssize_t>(sizeof o)) o.ms = -1;
    ::close(fds[0]);
    ::waitpid(pid, nullptr, 0);
    return o;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 3;
    const struct {
        const char* name;
        Bytes file;
    } cases[] = {
        {"11585x11585 RGBA 8-bit, 600 B of data", hostile(8)},
        {"11585x11585 RGBA 16-bit, 600 B of data", hostile(16)},
        {"8000x8000 RGBA zeros, zlib -9", png(8000, 8000, 8, 6, 9, 1 + 8000 * 4, [](uint32_t, Bytes& row) {
             std::fill(row.begin(), row.end(), uint8_t{0});
         })},
        {"4000x3000 RGB noisy gradient, zlib -6", png(4000, 3000, 8, 2, 6, 1 + 4000 * 3, [](uint32_t y, Bytes& row) {
             static uint32_t seed = 1;
             row[0] = 1;  // Sub: the differences of a gradient are small
             for (size_t i = 1; i < row.size(); ++i) {
                 seed = seed * 1103515245u + 12345u;
                 row[i] = static_cast<uint8_t>((i % 3 == 1 ? (y & 1) : 0) + ((seed >> 16) % 5) - 2);
             }
         })},
    };
    std::printf("%-42s %10s %10s %10s %12s  %s\n", "file", "bytes", "best ms", "cpu ms", "peak rise MB", "outcome");
    for (const auto& c : cases) {
        Outcome best{};
        for (int r = 0; r < runs; ++r) {
            const Outcome o = decodeInChild(c.file);
            if (r == 0) best = o;
            else best.ms = std::min(best.ms, o.ms), best.cpuMs = std::min(best.cpuMs, o.cpuMs);
        }
        std::printf("%-42s %10zu %10.1f %10.1f %12.1f  %s\n", c.name, c.file.size(), best.ms, best.cpuMs,
                    best.peakRiseKiB / 1024.0,
                    best.width ? (std::to_string(best.width) + "x" + std::to_string(best.height)).c_str() : "refused");
    }
    return 0;
}
