#include "slideshow/remembered_round.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <system_error>

#include "slideshow/folder_scan.h"

namespace mv::slides {

namespace {

constexpr std::string_view kMagic = "Marvoscope round 1";
constexpr int kKeyBits = 42;
constexpr size_t kKeyChars = 7;  // six bits a character
constexpr size_t kKeysPerLine = 10;
constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

uint64_t fnv1a(std::string_view text, uint64_t hash = 0xcbf29ce484222325ull) {
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ull;
    }
    return hash;
}

// FNV's low bits change little between similar names; this spreads every bit over all.
uint64_t mixed(uint64_t h) {
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdull;
    h ^= h >> 33;
    h *= 0xc4ceb9fe1a85ec53ull;
    return h ^ (h >> 33);
}

int digitValue(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '-') return 62;
    if (c == '_') return 63;
    return -1;
}

std::string hex16(uint64_t value) {
    static const char kHex[] = "0123456789abcdef";
    std::string text(16, '0');
    for (int i = 15; i >= 0; --i, value >>= 4) text[static_cast<size_t>(i)] = kHex[value & 15];
    return text;
}

template <typename T>
bool number(std::string_view text, int base, T& out) {
    if (text.empty()) return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out, base);
    return error == std::errc() && end == text.data() + text.size();
}

// The next blank-separated word of `text`, taken off it.
std::string_view word(std::string_view& text) {
    const size_t end = std::min(text.find(' '), text.size());
    const std::string_view w = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    return w;
}

}  // namespace

uint64_t PictureKey(std::string_view relativePath) {
    const uint64_t key = mixed(fnv1a(relativePath)) >> (64 - kKeyBits);
    return key == 0 ? 1 : key;  // 0 stands for none
}

std::string RelativePath(const std::string& folder, const std::string& path) {
    std::string relative = path.compare(0, folder.size(), folder) == 0 ? path.substr(folder.size()) : path;
    std::replace(relative.begin(), relative.end(), '\\', '/');
    relative.erase(0, relative.find_first_not_of('/'));
    return relative;
}

uint64_t FolderKey(const std::string& folder, bool subfolders) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path absolute = fs::absolute(fs::path(std::u8string(folder.begin(), folder.end())), ec);
    if (ec) absolute = fs::path(std::u8string(folder.begin(), folder.end()));
    absolute = absolute.lexically_normal();
    // "/pictures/" and "/pictures" are one folder.
    if (!absolute.has_filename() && absolute.has_parent_path() && absolute != absolute.root_path())
        absolute = absolute.parent_path();
    const std::u8string text = absolute.u8string();
    return fnv1a(subfolders ? "+sub" : "-sub", mixed(fnv1a(std::string_view(reinterpret_cast<const char*>(text.data()), text.size()))));
}

std::string RoundFileName(uint64_t folderKey) { return "round-" + hex16(folderKey) + ".txt"; }

bool RememberedRound::wasShown(uint64_t key) const {
    const auto end = order.begin() + static_cast<std::ptrdiff_t>(std::min(shown, order.size()));
    return std::find(order.begin(), end, key) != end;
}

void RememberedRound::markShown(uint64_t key) {
    shown = std::min(shown, order.size());
    const auto from = order.begin() + static_cast<std::ptrdiff_t>(shown);
    const auto it = std::find(from, order.end(), key);
    if (it != order.end()) {
        std::rotate(from, it, it + 1);
        ++shown;
    } else if (!wasShown(key)) {
        order.insert(from, key);
        ++shown;
    }
}

bool TakePicture(RememberedRound& round, std::optional<RememberedRound>& next, uint64_t key) {
    // The show lays out the next round when it has made the last picture of this one ready, not
    // when that picture is shown: until then this round goes on.
    const bool begins = !round.order.empty() && (round.complete() || round.wasShown(key));
    if (begins) {
        const uint64_t last = round.lastShown();
        round = next ? std::move(*next) : RememberedRound{};
        next.reset();
        round.before = last;
    }
    round.markShown(key);
    return begins;
}

std::string RoundText(const RememberedRound& round, uint64_t folderKey) {
    std::string body;
    body.reserve(round.order.size() * kKeyChars + round.order.size() / kKeysPerLine + 1);
    for (size_t i = 0; i < round.order.size(); ++i) {
        uint64_t key = round.order[i];
        char digits[kKeyChars];
        for (size_t d = kKeyChars; d-- > 0; key >>= 6) digits[d] = kDigits[key & 63];
        body.append(digits, kKeyChars);
        if (i % kKeysPerLine == kKeysPerLine - 1 || i + 1 == round.order.size()) body += '\n';
    }
    return std::string(kMagic) + " " + hex16(folderKey) + " " + std::to_string(round.order.size()) + " " +
           std::to_string(std::min(round.shown, round.order.size())) + " " + hex16(round.before) + " " +
           hex16(fnv1a(body)) + "\n" + body;
}

std::optional<RememberedRound> ParseRound(std::string_view text, uint64_t folderKey) {
    if (text.size() > kMaxRoundTextBytes || text.substr(0, kMagic.size()) != kMagic) return std::nullopt;
    const size_t lineEnd = text.find('\n');
    if (lineEnd == std::string_view::npos || text[kMagic.size()] != ' ') return std::nullopt;
    std::string_view header = text.substr(kMagic.size() + 1, lineEnd - kMagic.size() - 1);
    const std::string_view body = text.substr(lineEnd + 1);
    uint64_t folder = 0, before = 0, check = 0;
    size_t count = 0, shown = 0;
    if (!number(word(header), 16, folder) || folder != folderKey || !number(word(header), 10, count) ||
        !number(word(header), 10, shown) || !number(word(header), 16, before) || !number(word(header), 16, check) ||
        !header.empty())
        return std::nullopt;
    if (count > kMaxPictures || shown > count || fnv1a(body) != check) return std::nullopt;
    // Exactly the text RoundText writes: anything else was made elsewhere or damaged.
    const size_t lines = (count + kKeysPerLine - 1) / kKeysPerLine;
    if (body.size() != count * kKeyChars + lines) return std::nullopt;
    RememberedRound round;
    round.order.reserve(count);
    round.shown = shown;
    round.before = before;
    size_t at = 0;
    for (size_t i = 0; i < count; ++i) {
        uint64_t key = 0;
        for (size_t d = 0; d < kKeyChars; ++d) {
            const int v = digitValue(body[at++]);
            if (v < 0) return std::nullopt;
            key = key << 6 | static_cast<uint64_t>(v);
        }
        if (key == 0 || key >> kKeyBits != 0) return std::nullopt;
        round.order.push_back(key);
        if (i % kKeysPerLine == kKeysPerLine - 1 || i + 1 == count) {
            if (body[at++] != '\n') return std::nullopt;
        }
    }
    return round;
}

MergedRound MergeRound(const RememberedRound& memory, std::vector<KeyedPicture> found, std::mt19937_64& random) {
    // Sorted by key, a remembered key finds its pictures by halving: a round of 100,000 merges
    // in a few milliseconds.
    std::sort(found.begin(), found.end(), [](const KeyedPicture& a, const KeyedPicture& b) {
        return a.key != b.key ? a.key < b.key : a.path < b.path;
    });
    found.erase(std::unique(found.begin(), found.end(),
                            [](const KeyedPicture& a, const KeyedPicture& b) { return a.path == b.path; }),
                found.end());
    std::vector<bool> placed(found.size(), false);
    MergedRound merged;
    merged.round.before = memory.before;
    std::vector<size_t> remembered;  // first index in `found` of each remembered key to come
    const size_t shown = std::min(memory.shown, memory.order.size());
    for (size_t i = 0; i < memory.order.size(); ++i) {
        const uint64_t key = memory.order[i];
        const auto first = std::lower_bound(found.begin(), found.end(), key,
                                            [](const KeyedPicture& p, uint64_t k) { return p.key < k; });
        if (first == found.end() || first->key != key) continue;  // gone from the folder
        const size_t at = static_cast<size_t>(first - found.begin());
        if (placed[at]) continue;  // named twice: the first place holds
        for (size_t j = at; j < found.size() && found[j].key == key; ++j) placed[j] = true;
        if (i < shown) {
            merged.round.order.push_back(key);
        } else {
            remembered.push_back(at);
        }
    }
    merged.round.shown = merged.round.order.size();
    std::vector<size_t> fresh;  // first index of each key the memory does not know
    for (size_t i = 0; i < found.size(); ++i)
        if (!placed[i] && (i == 0 || found[i - 1].key != found[i].key)) fresh.push_back(i);
    std::shuffle(fresh.begin(), fresh.end(), random);
    // Each new picture at a random place among those to come: a random interleaving of the two
    // lists, which keeps the remembered order.
    std::vector<size_t> toCome;
    toCome.reserve(remembered.size() + fresh.size());
    size_t r = 0, f = 0;
    while (r < remembered.size() || f < fresh.size()) {
        const size_t leftR = remembered.size() - r, leftF = fresh.size() - f;
        const bool takeFresh = std::uniform_int_distribution<size_t>(0, leftR + leftF - 1)(random) < leftF;
        toCome.push_back(takeFresh ? fresh[f++] : remembered[r++]);
    }
    for (const size_t at : toCome) {
        merged.round.order.push_back(found[at].key);
        for (size_t j = at; j < found.size() && found[j].key == found[at].key; ++j)
            merged.toCome.push_back(std::move(found[j].path));
    }
    return merged;
}

}  // namespace mv::slides
