#pragma once
// A shuffled round kept between runs of the show: which pictures of a folder were shown this
// round and in what order the rest come, so that a show started many times a day goes through
// the whole folder before any picture comes again. A picture is known by a short hash of its
// path relative to the folder, not by its name, to keep the round's text small; two pictures
// whose hashes meet (in about one folder of 100,000 pictures in 900) share one place in the round.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace mv::slides {

// Larger than the text of a round of kMaxPictures: a file beyond it is not the program's.
inline constexpr size_t kMaxRoundTextBytes = 1 << 20;
// The pictures to come named in full at the head of a round's text, so that a show can open the
// first of them at once instead of scanning the folder for one it has not shown.
inline constexpr size_t kMaxNextPaths = 8;
inline constexpr size_t kMaxNextPathBytes = 1024;

// The key of a picture: 42 bits of a hash of its path relative to the folder.
uint64_t PictureKey(std::string_view relativePath);
// The key of the picture at `path` in `folder`: PictureKey(RelativePath(folder, path)) without
// making the relative path.
uint64_t PictureKey(std::string_view folder, std::string_view path);
// `path` relative to `folder`, with '/' between names: the part a key is made of.
std::string RelativePath(const std::string& folder, const std::string& path);
// The key of a shown folder: its absolute path and whether its subfolders are shown.
uint64_t FolderKey(const std::string& folder, bool subfolders);
// The name of the file that keeps a folder's round.
std::string RoundFileName(uint64_t folderKey);

struct RememberedRound {
    std::vector<uint64_t> order;  // the round's pictures: the shown ones first, then those to come
    size_t shown = 0;             // how many of `order` were shown
    uint64_t before = 0;          // the picture that ended the round before, 0 for none

    bool complete() const { return shown >= order.size(); }
    bool wasShown(uint64_t key) const;
    // The picture is shown now: it joins the shown ones, wherever it was (or if it was not there).
    void markShown(uint64_t key);
    // The key shown last, 0 for none.
    uint64_t lastShown() const { return shown > 0 && shown <= order.size() ? order[shown - 1] : 0; }
};

// The picture `key` is taken to be shown. One shown already this round, or any once the round is
// through, begins the next: `next` when the show laid one out (it is used up), else an empty
// one. True when a round began.
bool TakePicture(RememberedRound& round, std::optional<RememberedRound>& next, uint64_t key);

// The round as text, for the folder with key `folderKey`; `next`: the relative paths of the
// first pictures to come (at most kMaxNextPaths are kept, longer or unsafe ones are left out).
std::string RoundText(const RememberedRound& round, uint64_t folderKey, const std::vector<std::string>& next = {});
// The round from its text; nothing when the text is damaged, another folder's or not a round.
std::optional<RememberedRound> ParseRound(std::string_view text, uint64_t folderKey);

// What a round's text says before its keys, checked on its own: read in a fraction of the time
// the keys of a large round take.
struct RoundHead {
    size_t count = 0;  // pictures in the round
    size_t shown = 0;
    uint64_t before = 0;
    std::vector<std::string> next;  // relative paths of the first pictures to come
};
std::optional<RoundHead> ParseRoundHead(std::string_view text, uint64_t folderKey);

// Whether a relative path read back could be one a scan of the folder gave: no way up or out of
// the folder (no "..", no root, no drive, no hidden name), and no subfolder unless they are shown.
bool PlainRelativePath(std::string_view relative, bool subfolders);
// The path a scan of `folder` gives for the picture at `relative`.
std::string PathInFolder(const std::string& folder, std::string_view relative);

struct KeyedPicture {
    uint64_t key;
    std::string path;
};

struct MergedRound {
    RememberedRound round;             // the remembered round brought up to the folder's content
    std::vector<std::string> toCome;   // the paths still to show this round, in their order
};

// The round `memory` continued over the folder's pictures as found now: pictures no longer
// there leave it, those shown stay shown, those to come keep their order and the new ones join
// them, each at a random place. An empty memory makes a fresh shuffled round.
MergedRound MergeRound(const RememberedRound& memory, std::vector<KeyedPicture> found, std::mt19937_64& random);

}  // namespace mv::slides
