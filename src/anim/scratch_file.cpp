#include "scratch_file.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "../platform/platform.h"

namespace mv {
namespace {

constexpr const char* kScratchName = "tmp.gif";

// Tries the file itself: opening an existing one for update, or creating and removing it.
bool canWriteHere() {
    std::error_code ec;
    const bool existed = std::filesystem::exists(kScratchName, ec);
    std::FILE* f = std::fopen(kScratchName, existed ? "r+b" : "wb");
    if (!f) return false;
    std::fclose(f);
    if (!existed) std::filesystem::remove(kScratchName, ec);
    return true;
}

}  // namespace

std::string scratchGifPath(Platform& platform) {
    if (canWriteHere()) return kScratchName;
    const auto dir = platform.userScratchDirectory();
    const auto path = std::filesystem::path(std::u8string(dir.begin(), dir.end())) / kScratchName;
    const auto text = path.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace mv
