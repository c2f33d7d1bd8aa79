#include "ini_store.h"

#include <cstdlib>

#include "../platform/error.h"

#ifndef _WIN32
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace mv {

namespace {

// A store larger than this is not ours: reading it would only waste memory.
constexpr long long kMaxStoreBytes = 16 * 1024 * 1024;

const char* hexDigits = "0123456789ABCDEF";

std::string trimSpace(const std::string& s) {
    const auto b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t\r") - b + 1);
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

#ifndef _WIN32
// NotAStore: what is there can never be read as a store (too large, not a regular file, no
// permission). Failed: the read broke off for a reason that may pass (no descriptors left, an
// I/O error), so the store itself may be fine and must not be set aside.
enum class ReadResult { Ok, Missing, NotAStore, Failed };

ReadResult readWhole(const std::string& path, std::string& out) {
    // Non-blocking, so that a FIFO in the store's place is refused instead of waited on.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        if (errno == ENOENT) return ReadResult::Missing;
        const bool notAStore = errno == EACCES || errno == EPERM || errno == ELOOP || errno == ENXIO ||
                               errno == EISDIR || errno == EOVERFLOW;
        return notAStore ? ReadResult::NotAStore : ReadResult::Failed;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        ::close(fd);
        return ReadResult::Failed;
    }
    if (!S_ISREG(st.st_mode) || st.st_size > kMaxStoreBytes) {
        ::close(fd);
        return ReadResult::NotAStore;
    }
    out.clear();
    char buf[8192];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) { ::close(fd); return ReadResult::Failed; }
        if (n == 0) break;
        out.append(buf, static_cast<size_t>(n));
        if (static_cast<off_t>(out.size()) > kMaxStoreBytes) { ::close(fd); return ReadResult::NotAStore; }
    }
    ::close(fd);
    return ReadResult::Ok;
}

void makeDirectories(const std::string& dir) {
    std::string partial;
    size_t pos = 0;
    while (pos != std::string::npos) {
        pos = dir.find('/', pos + 1);
        partial = dir.substr(0, pos);
        if (partial.empty()) continue;
        if (::mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST)
            throw PlatformError(ErrFileAccess, "Cannot create " + partial);
    }
}

bool writeAll(int fd, const std::string& data) {
    size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// Holds an exclusive flock on "<store>.lock" for one read-modify-write of the store, so that
// two processes saving at once cannot both read the old store and each write back a copy
// without the other's value. The lock file stays in place: removing it would let a third
// process lock a new file while a second still waits on the old one.
class StoreLock {
public:
    explicit StoreLock(const std::string& storePath) {
        const std::string path = storePath + ".lock";
        fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY, 0600);
        if (fd_ < 0) throw PlatformError(ErrFileAccess, "Cannot lock " + storePath);
        while (::flock(fd_, LOCK_EX) != 0) {
            if (errno == EINTR) continue;
            ::close(fd_);
            throw PlatformError(ErrFileAccess, "Cannot lock " + storePath);
        }
    }
    ~StoreLock() { ::close(fd_); }  // closing the last descriptor releases the lock
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;

private:
    int fd_ = -1;
};

// Moves a store that cannot be read as one out of the way, to "<store>.bak" or, when that
// name is taken by an earlier one, the first free "<store>.bak.N": an earlier kept file may
// hold the only copy of settings worth recovering by hand, so none is ever replaced.
void keepAside(const std::string& path) {
    for (int n = 1; n <= 1000; ++n) {
        std::string target = path + ".bak";
        if (n > 1) target.append(".").append(std::to_string(n));
        struct stat st {};
        if (::lstat(target.c_str(), &st) == 0) continue;
        if (errno != ENOENT) break;
        // Under the store's lock no other save chooses a name at the same time.
        if (::rename(path.c_str(), target.c_str()) == 0) return;
        break;
    }
    throw PlatformError(ErrFileAccess, "Cannot read " + path);
}

#endif

}  // namespace

namespace ini {

std::string escape(const std::string& text, bool isName) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const bool edgeBlank = c == ' ' && (i == 0 || i + 1 == text.size());
        const bool nameSpecial = isName && (c == '=' || c == '[' || c == ']' || c == ';' || c == '#');
        if (c == '\\') {
            out += "\\\\";
        } else if (c < 0x20 || c == 0x7F || edgeBlank || nameSpecial) {
            out += "\\x";
            out.push_back(hexDigits[c >> 4]);
            out.push_back(hexDigits[c & 0xF]);
        } else {
            out.push_back(static_cast<char>(c));
        }
    }
    return out;
}

std::string unescape(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 >= text.size()) { out.push_back(text[i]); continue; }
        const char n = text[i + 1];
        if (n == '\\') { out.push_back('\\'); ++i; continue; }
        if (n == 'x' && i + 3 < text.size() && hexValue(text[i + 2]) >= 0 && hexValue(text[i + 3]) >= 0) {
            out.push_back(static_cast<char>(hexValue(text[i + 2]) * 16 + hexValue(text[i + 3])));
            i += 3;
            continue;
        }
        out.push_back('\\');  // not an escape we write: keep it as it stands
    }
    return out;
}

Document parse(const std::string& text) {
    Document doc;
    Section* current = nullptr;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = trimSpace(text.substr(start, end - start));
        start = end + 1;
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        if (line[0] == '[') {
            if (line.back() != ']') { current = nullptr; continue; }
            const std::string name = unescape(line.substr(1, line.size() - 2));
            current = nullptr;
            for (auto& s : doc)
                if (s.name == name) current = &s;
            if (!current) current = &doc.emplace_back(Section{name, {}});
            continue;
        }
        const auto eq = line.find('=');
        if (!current || eq == std::string::npos) continue;
        const std::string key = unescape(trimSpace(line.substr(0, eq)));
        const std::string value = unescape(trimSpace(line.substr(eq + 1)));
        bool replaced = false;
        for (auto& [k, v] : current->entries)
            if (k == key) { v = value; replaced = true; }
        if (!replaced) current->entries.emplace_back(key, value);
    }
    return doc;
}

std::string format(const Document& doc) {
    std::string out;
    for (const auto& s : doc) {
        if (!out.empty()) out += "\n";
        out += '[';
        out += escape(s.name, true);
        out += "]\n";
        for (const auto& [k, v] : s.entries) {
            out += escape(k, true);
            out += '=';
            out += escape(v, false);
            out += '\n';
        }
    }
    return out;
}

}  // namespace ini

#ifndef _WIN32
std::string IniStore::fileFor(const std::string& app) const {
    std::string name;
    for (char c : app) name.push_back(c == '/' || c == '\0' ? '_' : c);
    if (name.empty() || name == "." || name == "..") name = "_" + name;
    return directory_ + "/" + name + ".ini";
}

// Reading takes no lock: a save never changes the store in place but renames a complete new
// file over it, so a reader sees either the old store or the new one, never a mixture. A
// shared lock would also need the lock file, which a read-only configuration cannot create.
std::string IniStore::GetSetting(const std::string& app, const std::string& section, const std::string& key) {
    std::string text;
    if (readWhole(fileFor(app), text) != ReadResult::Ok) return {};
    for (const auto& s : ini::parse(text)) {
        if (s.name != section) continue;
        for (const auto& [k, v] : s.entries)
            if (k == key) return v;
    }
    return {};
}

void IniStore::SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                           const std::string& value) {
    const std::string path = fileFor(app);
    makeDirectories(directory_);
    const StoreLock lock(path);
    std::string text;
    // A store that can never be read as one is kept aside whole, and this save starts a fresh
    // one: the value is saved and nothing is lost. A read that may only have broken off this
    // time fails the save instead, leaving the store as it is.
    const ReadResult read = readWhole(path, text);
    if (read == ReadResult::Failed) throw PlatformError(ErrFileAccess, "Cannot read " + path);
    if (read == ReadResult::NotAStore) {
        keepAside(path);
        text.clear();
    }
    ini::Document doc = ini::parse(text);
    ini::Section* target = nullptr;
    for (auto& s : doc)
        if (s.name == section) target = &s;
    if (!target) target = &doc.emplace_back(ini::Section{section, {}});
    bool replaced = false;
    for (auto& [k, v] : target->entries)
        if (k == key) { v = value; replaced = true; }
    if (!replaced) target->entries.emplace_back(key, value);

    std::string temp = path + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) throw PlatformError(ErrFileAccess, "Cannot write " + path);
    const bool written = writeAll(fd, ini::format(doc)) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        throw PlatformError(ErrFileAccess, "Cannot write " + path);
    }
    // Make the rename itself survive a crash of the machine.
    if (const int dirFd = ::open(directory_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
}

std::string defaultConfigDirectory() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/') return xdg;
    const char* home = std::getenv("HOME");
    if (!home || home[0] != '/') {
        const passwd* pw = ::getpwuid(::getuid());
        home = pw && pw->pw_dir ? pw->pw_dir : "/tmp";
    }
    return std::string(home) + "/.config";
}

#endif

}  // namespace mv
