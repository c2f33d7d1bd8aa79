#pragma once
// Finds a slideshow's pictures in a folder: the files whose names or first bytes say they are
// pictures the show reads, hidden files and folders left out, subfolders entered when asked. Links are
// followed, but no folder is entered twice, so a link loop ends.
#include <atomic>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace mv::slides {

inline constexpr size_t kMaxPictures = 100000;

struct ScanOptions {
    bool subfolders = false;
    size_t limit = kMaxPictures;
    // Name endings (lower case, without the dot) read beside the ones every build knows.
    std::vector<std::string> moreSuffixes;
};

struct ScanResult {
    std::vector<std::string> pictures;  // full paths, in the order found
    bool truncated = false;            // more pictures than the limit were there
    bool stopped = false;              // the stop flag ended the scan early
};

// Whether a file name ends in one of the picture suffixes, in any case.
bool NamesPicture(const std::string& name, const std::vector<std::string>& moreSuffixes);

// Whether `path` names a folder (following links).
bool IsFolder(const std::string& path);

// Scans `folder`. `found` is called with each picture as it is found (it may be null); `stop`,
// when given and set, ends the scan between two entries. A folder that cannot be read is
// skipped: the scan never throws for what it finds on disk.
ScanResult ScanFolder(const std::string& folder, const ScanOptions& options,
                      const std::function<void(const std::string&)>& found = {},
                      const std::atomic<bool>* stop = nullptr);

}  // namespace mv::slides
