#include "anim/scratch_file.h"

#include <filesystem>

#include "platform/error.h"
#include "platform/files/held_file.h"
#include "platform/modes.h"
#include "platform/platform.h"

#ifdef _WIN32
#include <process.h>
#define getpid _getpid
#else
#include <unistd.h>
#endif

namespace mv {

namespace {
constexpr const char* kScratchName = "tmp.gif";

std::string join(const std::string& dir, const std::string& name) {
    const auto path = std::filesystem::path(std::u8string(dir.begin(), dir.end())) / name;
    const auto text = path.u8string();
    return std::string(text.begin(), text.end());
}

void holdPrivateScratchGif(Platform& platform, files::HeldFile& file) {
    const auto dir = platform.userScratchDirectory();
    if (file.tryHold(join(dir, kScratchName))) return;
    if (file.tryHold(join(dir, "tmp-" + std::to_string(getpid()) + ".gif"))) return;
    throw PlatformError(ErrFileAccess, "No scratch file can be written");
}

}  // namespace

void holdScratchGif(Platform& platform, files::HeldFile& file) {
    // An installed program's folder belongs to the package manager, even to root: a frame file
    // that a kill -9 leaves there would outlive the package's removal.
    if (files::folderIsPrivate(".") && !files::folderIsSystems(".") && file.tryHold(kScratchName)) return;
    holdPrivateScratchGif(platform, file);
}

void writeScratchGif(Platform& platform, files::HeldFile& file, const std::function<void(files::HeldFile&)>& write) {
    holdScratchGif(platform, file);
    if (file.path() != kScratchName) {
        write(file);
        return;
    }
    // A full disk under the program's folder takes the name but not the bytes; the private
    // folder usually lies on another.
    if (continueStep([&] { write(file); })) return;
    file.release();
    holdPrivateScratchGif(platform, file);
    write(file);
}

}  // namespace mv
