#include "slideshow/remembered_round.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "slideshow/folder_scan.h"

namespace mv::slides {

namespace {

constexpr std::string_view kMagic = "Marvoscope round 2";
constexpr int kKeyBits = 42;
constexpr size_t kKeyChars = 7;  // six bits a character
constexpr size_t kKeysPerLine = 10;
constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
constexpr uint64_t kFnvBasis = 0xcbf29ce484222325ull;
constexpr uint64_t kFnvPrime = 0x100000001b3ull;

uint64_t fnv1a(std::string_view text, uint64_t hash = kFnvBasis) {
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= kFnvPrime;
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

uint64_t keyOfHash(uint64_t hash) {
    const uint64_t key = mixed(hash) >> (64 - kKeyBits);
    return key == 0 ? 1 : key;  // 0 stands for none
}

// The check of a text, eight bytes a step: the keys of a large round are checked in a fraction
// of the time a byte a step takes.
uint64_t checkOf(std::string_view text, uint64_t hash = kFnvBasis) {
    size_t at = 0;
    for (; at + 8 <= text.size(); at += 8) {
        uint64_t word = 0;
        std::memcpy(&word, text.data() + at, 8);
        hash = mixed(hash ^ word);
    }
    return mixed(fnv1a(text.substr(at), hash) ^ text.size());
}

constexpr std::array<int8_t, 256> kDigitValues = [] {
    std::array<int8_t, 256> values{};
    for (auto& v : values) v = -1;
    for (int i = 0; i < 64; ++i) values[static_cast<unsigned char>(kDigits[i])] = static_cast<int8_t>(i);
    return values;
}();

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

// A path on one line of the round's text: blanks, control bytes and '%' as %XX.
void appendEscaped(std::string& out, std::string_view path) {
    static const char kHex[] = "0123456789ABCDEF";
    for (const char c : path) {
        const auto b = static_cast<unsigned char>(c);
        if (b <= ' ' || b == '%' || b == 0x7f) {
            out += '%';
            out += kHex[b >> 4];
            out += kHex[b & 15];
        } else {
            out += c;
        }
    }
}

std::optional<std::string> unescaped(std::string_view line) {
    std::string path;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] != '%') {
            path += line[i];
            continue;
        }
        unsigned value = 0;
        if (i + 2 >= line.size() || !number(line.substr(i + 1, 2), 16, value)) return std::nullopt;
        path += static_cast<char>(value);
        i += 2;
    }
    return path;
}

// The next blank-separated word of `text`, taken off it.
std::string_view word(std::string_view& text) {
    const size_t end = std::min(text.find(' '), text.size());
    const std::string_view w = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    return w;
}

}  // namespace

uint64_t PictureKey(std::string_view relativePath) { return keyOfHash(fnv1a(relativePath)); }

uint64_t PictureKey(std::string_view folder, std::string_view path) {
    if (path.substr(0, folder.size()) == folder) path.remove_prefix(folder.size());
    uint64_t hash = kFnvBasis;
    bool leading = true;
    for (char c : path) {
        if (c == '\\') c = '/';
        if (leading && c == '/') continue;
        leading = false;
        hash ^= static_cast<unsigned char>(c);
        hash *= kFnvPrime;
    }
    return keyOfHash(hash);
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

bool PlainRelativePath(std::string_view relative, bool subfolders) {
    if (relative.empty() || relative.size() > kMaxNextPathBytes) return false;
    size_t names = 0;
    for (size_t from = 0; from <= relative.size(); ++names) {
        const size_t end = std::min(relative.find('/', from), relative.size());
        const std::string_view name = relative.substr(from, end - from);
        // Empty, "." and ".." start no name a scan gives, nor do hidden ones.
        if (name.empty() || name[0] == '.') return false;
        for (const char c : name)
            if (static_cast<unsigned char>(c) < ' ' || c == '\\' || c == ':') return false;
        from = end + 1;
    }
    return subfolders || names == 1;
}

std::string PathInFolder(const std::string& folder, std::string_view relative) {
    namespace fs = std::filesystem;
    // Name by name, as the scan joins them: with the system's own separator.
    fs::path path(std::u8string(folder.begin(), folder.end()));
    for (size_t from = 0; from <= relative.size();) {
        const size_t end = std::min(relative.find('/', from), relative.size());
        const std::string_view name = relative.substr(from, end - from);
        path /= fs::path(std::u8string(name.begin(), name.end()));
        from = end + 1;
    }
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::string RoundText(const RememberedRound& round, uint64_t folderKey, const std::vector<std::string>& next) {
    std::string nextLines;
    size_t nextCount = 0;
    for (const std::string& path : next) {
        if (nextCount == kMaxNextPaths) break;
        if (!PlainRelativePath(path, true)) continue;
        appendEscaped(nextLines, path);
        nextLines += '\n';
        ++nextCount;
    }
    std::string body;
    body.reserve(round.order.size() * kKeyChars + round.order.size() / kKeysPerLine + 1);
    for (size_t i = 0; i < round.order.size(); ++i) {
        uint64_t key = round.order[i];
        char digits[kKeyChars];
        for (size_t d = kKeyChars; d-- > 0; key >>= 6) digits[d] = kDigits[key & 63];
        body.append(digits, kKeyChars);
        if (i % kKeysPerLine == kKeysPerLine - 1 || i + 1 == round.order.size()) body += '\n';
    }
    const std::string fields = std::string(kMagic) + " " + hex16(folderKey) + " " + std::to_string(round.order.size()) +
                               " " + std::to_string(std::min(round.shown, round.order.size())) + " " +
                               hex16(round.before) + " " + std::to_string(nextCount);
    return fields + " " + hex16(checkOf(nextLines, checkOf(fields))) + " " + hex16(checkOf(body)) + "\n" + nextLines +
           body;
}

namespace {

struct ParsedHead {
    RoundHead head;
    std::string_view body;
    uint64_t bodyCheck = 0;
};

std::optional<ParsedHead> parseHead(std::string_view text, uint64_t folderKey) {
    if (text.size() > kMaxRoundTextBytes || text.substr(0, kMagic.size()) != kMagic) return std::nullopt;
    const size_t lineEnd = text.find('\n');
    if (lineEnd == std::string_view::npos || text[kMagic.size()] != ' ') return std::nullopt;
    std::string_view header = text.substr(kMagic.size() + 1, lineEnd - kMagic.size() - 1);
    ParsedHead parsed;
    RoundHead& head = parsed.head;
    uint64_t folder = 0, headCheck = 0;
    size_t nextCount = 0;
    if (!number(word(header), 16, folder) || folder != folderKey || !number(word(header), 10, head.count) ||
        !number(word(header), 10, head.shown) || !number(word(header), 16, head.before) ||
        !number(word(header), 10, nextCount))
        return std::nullopt;
    const std::string_view fields = text.substr(0, lineEnd - header.size() - 1);
    if (!number(word(header), 16, headCheck) || !number(word(header), 16, parsed.bodyCheck) || !header.empty())
        return std::nullopt;
    if (head.count > kMaxPictures || head.shown > head.count || nextCount > kMaxNextPaths) return std::nullopt;
    std::string_view rest = text.substr(lineEnd + 1);
    const std::string_view nextLines = rest;
    for (size_t i = 0; i < nextCount; ++i) {
        const size_t end = rest.find('\n');
        if (end == std::string_view::npos || end > 3 * kMaxNextPathBytes) return std::nullopt;
        std::optional<std::string> path = unescaped(rest.substr(0, end));
        if (!path || !PlainRelativePath(*path, true)) return std::nullopt;
        head.next.push_back(std::move(*path));
        rest.remove_prefix(end + 1);
    }
    if (checkOf(nextLines.substr(0, nextLines.size() - rest.size()), checkOf(fields)) != headCheck) return std::nullopt;
    parsed.body = rest;
    return parsed;
}

}  // namespace

std::optional<RoundHead> ParseRoundHead(std::string_view text, uint64_t folderKey) {
    std::optional<ParsedHead> parsed = parseHead(text, folderKey);
    if (!parsed) return std::nullopt;
    return std::move(parsed->head);
}

std::optional<RememberedRound> ParseRound(std::string_view text, uint64_t folderKey) {
    const std::optional<ParsedHead> parsed = parseHead(text, folderKey);
    if (!parsed) return std::nullopt;
    const size_t count = parsed->head.count;
    const std::string_view body = parsed->body;
    // Exactly the text RoundText writes: anything else was made elsewhere or damaged.
    const size_t lines = (count + kKeysPerLine - 1) / kKeysPerLine;
    if (body.size() != count * kKeyChars + lines || checkOf(body) != parsed->bodyCheck) return std::nullopt;
    RememberedRound round;
    round.order.resize(count);
    round.shown = parsed->head.shown;
    round.before = parsed->head.before;
    const char* at = body.data();
    for (size_t i = 0; i < count; ++i) {
        uint64_t key = 0;
        int bad = 0;
        for (size_t d = 0; d < kKeyChars; ++d) {
            const int v = kDigitValues[static_cast<unsigned char>(*at++)];
            bad |= v;
            key = key << 6 | static_cast<uint64_t>(v & 63);
        }
        if (bad < 0 || key == 0 || key >> kKeyBits != 0) return std::nullopt;
        round.order[i] = key;
        if ((i % kKeysPerLine == kKeysPerLine - 1 || i + 1 == count) && *at++ != '\n') return std::nullopt;
    }
    return round;
}

MergedRound MergeRound(const RememberedRound& memory, std::vector<KeyedPicture> found, std::mt19937_64& random) {
    // The folder's pictures in a table by key, sized once (a key is a hash: its low bits are its
    // place); pictures sharing a key are chained behind the first. Nothing is made a picture, so
    // a round of 100,000 merges in a few milliseconds.
    constexpr uint32_t kNone = UINT32_MAX;
    size_t slots = 16;
    while (slots < 2 * found.size()) slots *= 2;
    std::vector<uint32_t> table(slots, kNone);         // the first picture (in `found`) of each key
    std::vector<uint32_t> chain(found.size(), kNone);  // the next picture with the same key
    std::vector<uint32_t> firsts;                      // the first picture of each key, as found
    firsts.reserve(found.size());
    const auto slotOf = [&](uint64_t key) {
        size_t s = static_cast<size_t>(key) & (slots - 1);
        while (table[s] != kNone && found[table[s]].key != key) s = (s + 1) & (slots - 1);
        return s;
    };
    for (uint32_t i = 0; i < found.size(); ++i) {
        const size_t s = slotOf(found[i].key);
        if (table[s] == kNone) {
            table[s] = i;
            firsts.push_back(i);
            continue;
        }
        // A path named twice counts once.
        uint32_t last = table[s];
        bool twice = found[last].path == found[i].path;
        while (!twice && chain[last] != kNone) twice = found[last = chain[last]].path == found[i].path;
        if (!twice) chain[last] = i;
    }
    std::vector<bool> placed(found.size(), false);
    MergedRound merged;
    merged.round.before = memory.before;
    std::vector<uint32_t> remembered;  // the first picture of each remembered key to come
    const size_t shown = std::min(memory.shown, memory.order.size());
    for (size_t i = 0; i < memory.order.size(); ++i) {
        const uint64_t key = memory.order[i];
        const uint32_t at = table[slotOf(key)];
        if (at == kNone) continue;  // gone from the folder
        if (placed[at]) continue;   // named twice: the first place holds
        placed[at] = true;
        if (i < shown) {
            merged.round.order.push_back(key);
        } else {
            remembered.push_back(at);
        }
    }
    merged.round.shown = merged.round.order.size();
    std::vector<uint32_t> fresh;  // the first picture of each key the memory does not know
    for (const uint32_t at : firsts)
        if (!placed[at]) fresh.push_back(at);
    std::shuffle(fresh.begin(), fresh.end(), random);
    // Each new picture at a random place among those to come: a random interleaving of the two
    // lists, which keeps the remembered order.
    std::vector<uint32_t> toCome;
    toCome.reserve(remembered.size() + fresh.size());
    size_t r = 0, f = 0;
    while (r < remembered.size() || f < fresh.size()) {
        const size_t leftR = remembered.size() - r, leftF = fresh.size() - f;
        const bool takeFresh = std::uniform_int_distribution<size_t>(0, leftR + leftF - 1)(random) < leftF;
        toCome.push_back(takeFresh ? fresh[f++] : remembered[r++]);
    }
    merged.round.order.reserve(merged.round.order.size() + toCome.size());
    merged.toCome.reserve(found.size());
    for (const uint32_t at : toCome) {
        merged.round.order.push_back(found[at].key);
        for (uint32_t j = at; j != kNone; j = chain[j]) merged.toCome.push_back(std::move(found[j].path));
    }
    return merged;
}

}  // namespace mv::slides
