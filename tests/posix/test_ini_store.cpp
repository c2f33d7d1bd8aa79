#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>

#include "platform/error.h"
#include "platform/posix/ini_store.h"
#include "support/fake_platform.h"

using namespace mv;
namespace fs = std::filesystem;

namespace {
constexpr const char* kApp = "Marvoscope 1.0 Demo";

std::string readText(const std::string& path) {
    const auto bytes = test::readFile(path);
    return std::string(bytes.begin(), bytes.end());
}
}  // namespace

TEST(IniStore, MissingStoreReadsAsEmptyAndFirstSaveCreatesDirectories) {
    test::TempDir tmp;
    IniStore store(tmp.file("deep/config"));
    EXPECT_EQ(store.GetSetting(kApp, "Settings", "AniFile"), "");
    store.SaveSetting(kApp, "Settings", "AniFile", "/pics/a.jpg");
    EXPECT_EQ(store.fileFor(kApp), tmp.file("deep/config") + "/Marvoscope 1.0 Demo.ini");
    EXPECT_EQ(readText(store.fileFor(kApp)), "[Settings]\nAniFile=/pics/a.jpg\n");
    EXPECT_EQ(store.GetSetting(kApp, "Settings", "AniFile"), "/pics/a.jpg");
    EXPECT_EQ(store.GetSetting(kApp, "Other", "AniFile"), "");
    EXPECT_EQ(store.GetSetting("Another App", "Settings", "AniFile"), "");
}

TEST(IniStore, SavesReplaceOneValueAndKeepTheRest) {
    test::TempDir tmp;
    IniStore store(tmp.path().string());
    store.SaveSetting(kApp, "Settings", "AniFile", "a");
    store.SaveSetting(kApp, "Settings", "Mousesens", "15");
    store.SaveSetting(kApp, "Other", "X", "1");
    store.SaveSetting(kApp, "Settings", "AniFile", "b");
    EXPECT_EQ(store.GetSetting(kApp, "Settings", "AniFile"), "b");
    EXPECT_EQ(store.GetSetting(kApp, "Settings", "Mousesens"), "15");
    EXPECT_EQ(store.GetSetting(kApp, "Other", "X"), "1");
    EXPECT_EQ(readText(store.fileFor(kApp)), "[Settings]\nAniFile=b\nMousesens=15\n\n[Other]\nX=1\n");
    // No temporary file is left behind: only the store and its lock file.
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(tmp.path())) names.insert(e.path().filename().string());
    EXPECT_EQ(names, (std::set<std::string>{"Marvoscope 1.0 Demo.ini", "Marvoscope 1.0 Demo.ini.lock"}));
}

// Setup dialogs of several processes saving at once: every save is whole, none loses another
// process's key, and a key they all write ends with one of their last values.
TEST(IniStore, ConcurrentSavesFromSeveralProcessesLoseNoValue) {
    test::TempDir tmp;
    constexpr int kProcesses = 4, kSaves = 20;
    std::vector<pid_t> children;
    for (int p = 0; p < kProcesses; ++p) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            int status = 0;
            try {
                IniStore store(tmp.path().string());
                for (int i = 1; i <= kSaves; ++i) {
                    store.SaveSetting(kApp, "Settings", "Key" + std::to_string(p), std::to_string(i));
                    store.SaveSetting(kApp, "Settings", "Shared", std::to_string(p) + "/" + std::to_string(i));
                }
            } catch (...) {
                status = 1;
            }
            ::_exit(status);
        }
        if (pid > 0) children.push_back(pid);
    }
    ASSERT_EQ(children.size(), size_t{kProcesses});
    for (const pid_t pid : children) {
        int status = -1;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    IniStore store(tmp.path().string());
    std::set<std::string> lastShared;
    for (int p = 0; p < kProcesses; ++p) {
        EXPECT_EQ(store.GetSetting(kApp, "Settings", "Key" + std::to_string(p)), std::to_string(kSaves)) << p;
        lastShared.insert(std::to_string(p) + "/" + std::to_string(kSaves));
    }
    EXPECT_EQ(lastShared.count(store.GetSetting(kApp, "Settings", "Shared")), 1u);
}

TEST(IniStore, EveryTextRoundTrips) {
    test::TempDir tmp;
    IniStore store(tmp.path().string());
    const std::string texts[] = {"  /pics/with blanks.jpg  ", "a=b", "line\nbreak\r\n", "tab\tin\t",
                                 "back\\slash\\x41", "[not a section]", ";not a comment", "#x", "\x01\x7f",
                                 "ünïcödé", std::string("nul\0byte", 8), ""};
    int i = 0;
    for (const auto& text : texts) {
        std::string key = "k";
        key += std::to_string(i++);
        store.SaveSetting(kApp, "Settings", key, text);
        EXPECT_EQ(store.GetSetting(kApp, "Settings", key), text) << key;
    }
    // Names too: keys and sections with the characters INI gives a meaning.
    store.SaveSetting(kApp, "Sec]tion=", "key=with[brackets];", "v");
    EXPECT_EQ(store.GetSetting(kApp, "Sec]tion=", "key=with[brackets];"), "v");
    EXPECT_EQ(store.GetSetting(kApp, "Settings", "k0"), texts[0]);
}

TEST(IniStore, DamagedStoreReadsAsMissingValues) {
    test::TempDir tmp;
    IniStore store(tmp.path().string());
    tmp.write("Marvoscope 1.0 Demo.ini", std::string("\x89PNG\r\n\x1a\n\0\0garbage=1\n[Settings\nAniFile\n", 30));
    EXPECT_EQ(store.GetSetting(kApp, "Settings", "AniFile"), "");
    EXPECT_EQ(store.GetSetting(kApp, "Settings", "garbage"), "");
    // A hand-edited store with blanks and CRLF line ends still reads.
    tmp.write("Marvoscope 1.0 Demo.ini", std::string("; edited\r\n [Settings] \r\n Mousesens = 12 \r\nBackColors=255\r\n"));
    EXPECT_EQ(store.GetSetting(kApp, "Settings", "Mousesens"), "12");
    EXPECT_EQ(store.GetSetting(kApp, "Settings", "BackColors"), "255");
    // The last of two equal keys wins, in the file as in the reader.
    tmp.write("Marvoscope 1.0 Demo.ini", std::string("[Settings]\nA=1\nA=2\n"));
    EXPECT_EQ(store.GetSetting(kApp, "Settings", "A"), "2");
}

// A store that cannot be read as one reads as missing values, without a wait or a large
// allocation; a save keeps it aside whole, under a name no earlier kept store holds, and
// starts a fresh store with the saved value.
TEST(IniStore, AStoreThatCannotBeReadIsKeptAsideAndTheSaveStartsAFreshOne) {
    struct Case {
        const char* what;
        bool earlierBackup;
        fs::file_type type;
        std::function<void(const std::string&)> make;
    };
    const Case cases[] = {
        {"over the size limit", false, fs::file_type::regular,
         [](const std::string& p) {
             std::ofstream(p) << "[Settings]\nAniFile=old\n";
             fs::resize_file(p, 16 * 1024 * 1024 + 1);
         }},
        {"a directory", true, fs::file_type::directory,
         [](const std::string& p) { fs::create_directories(p + "/inside"); }},
        {"a FIFO", true, fs::file_type::fifo, [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir tmp;
        IniStore store(tmp.path().string());
        const std::string path = store.fileFor(kApp);
        if (c.earlierBackup) tmp.write("Marvoscope 1.0 Demo.ini.bak", std::string("kept earlier"));
        c.make(path);
        EXPECT_EQ(store.GetSetting(kApp, "Settings", "AniFile"), "");
        store.SaveSetting(kApp, "Settings", "AniFile", "/pics/a.jpg");
        EXPECT_EQ(readText(path), "[Settings]\nAniFile=/pics/a.jpg\n");
        const std::string kept = path + (c.earlierBackup ? ".bak.2" : ".bak");
        EXPECT_EQ(fs::symlink_status(kept).type(), c.type);
        if (c.type == fs::file_type::regular) {
            EXPECT_EQ(fs::file_size(kept), 16u * 1024 * 1024 + 1);
        }
        if (c.type == fs::file_type::directory) {
            EXPECT_TRUE(fs::is_directory(kept + "/inside"));
        }
        if (c.earlierBackup) {
            EXPECT_EQ(readText(path + ".bak"), "kept earlier");
        }
    }
}

TEST(IniStore, UnwritableDirectoryFailsTheSaveAndKeepsTheOldStore) {
    if (::geteuid() == 0) GTEST_SKIP() << "root writes anywhere";
    test::TempDir tmp;
    IniStore store(tmp.path().string());
    store.SaveSetting(kApp, "Settings", "AniFile", "old");
    ::chmod(tmp.path().c_str(), 0500);
    EXPECT_THROW(store.SaveSetting(kApp, "Settings", "AniFile", "new"), PlatformError);
    ::chmod(tmp.path().c_str(), 0700);
    EXPECT_EQ(store.GetSetting(kApp, "Settings", "AniFile"), "old");
}

TEST(IniStore, AStoreDirectoryThatCannotBeCreatedFailsTheSave) {
    test::TempDir tmp;
    tmp.write("config", std::string("a file where the directory should be"));
    IniStore store(tmp.file("config"));
    EXPECT_THROW(store.SaveSetting(kApp, "Settings", "AniFile", "x"), PlatformError);
    EXPECT_EQ(store.GetSetting(kApp, "Settings", "AniFile"), "");
    EXPECT_EQ(readText(tmp.file("config")), "a file where the directory should be");
}

TEST(IniStore, AppNamesCannotLeaveTheDirectory) {
    test::TempDir tmp;
    IniStore store(tmp.file("cfg"));
    EXPECT_EQ(store.fileFor("../evil"), tmp.file("cfg") + "/.._evil.ini");
    EXPECT_EQ(store.fileFor(".."), tmp.file("cfg") + "/_...ini");
}

TEST(IniStore, DefaultDirectoryFollowsXdgConfigHome) {
    const char* oldXdg = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = oldXdg ? oldXdg : "";
    ::setenv("XDG_CONFIG_HOME", "/somewhere/cfg", 1);
    EXPECT_EQ(defaultConfigDirectory(), "/somewhere/cfg");
    ::setenv("XDG_CONFIG_HOME", "relative/cfg", 1);  // not absolute: ignored
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') {
        EXPECT_EQ(defaultConfigDirectory(), std::string(home) + "/.config");
    }
    if (oldXdg) ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1); else ::unsetenv("XDG_CONFIG_HOME");
}

// Files as people write them: read as the platform's INI reading reads them, and saved by
// changing only the lines that must change, every other byte kept.
TEST(IniStore, HandWrittenFilesReadAsWrittenAndASaveChangesOnlyItsLines) {
    struct Case {
        const char* what;
        std::string before;
        std::string aniFile, mouseSens;  // as read before the save
        std::string after;               // after saving AniFile=/n.jpg and Mousesens=9
    };
    const std::string bom = "\xEF\xBB\xBF";
    const Case cases[] = {
        {"byte-order mark and CRLF", bom + "[Settings]\r\nAniFile=/x.jpg\r\nMousesens=5\r\n", "/x.jpg", "5",
         bom + "[Settings]\r\nAniFile=/n.jpg\r\nMousesens=9\r\n"},
        {"CR line ends", "[Settings]\rMousesens=5\r", "", "5", "[Settings]\rMousesens=9\rAniFile=/n.jpg\r"},
        {"case and blanks in names", "[ settings ]\nANIFILE = /x.jpg\nmousesens=5\n", "/x.jpg", "5",
         "[ settings ]\nANIFILE = /n.jpg\nmousesens=9\n"},
        {"the last of equal keys and sections", "[Settings]\nMousesens=1\n[SETTINGS]\nMousesens=2\nMousesens=3\n", "", "3",
         "[Settings]\nMousesens=1\n[SETTINGS]\nMousesens=2\nMousesens=9\nAniFile=/n.jpg\n"},
        {"comments, strays, other sections, escapes and an unclosed header",
         "; mine\r\nstray=1\r\n\r\n[Other]\r\nx = 1 ; kept\r\nno equals sign\r\n\r\n[Settings]\r\n"
         "AniFile = C:\\pics\\x41 b.jpg  \r\n# note\r\n\r\n[unclosed\r\nMousesens=4\r\n",
         "C:\\picsA b.jpg", "",
         "; mine\r\nstray=1\r\n\r\n[Other]\r\nx = 1 ; kept\r\nno equals sign\r\n\r\n[Settings]\r\n"
         "AniFile = /n.jpg  \r\n# note\r\nMousesens=9\r\n\r\n[unclosed\r\nMousesens=4\r\n"},
        {"no line end at the end", "[Settings]\nAniFile=/x.jpg", "/x.jpg", "", "[Settings]\nAniFile=/n.jpg\nMousesens=9\n"},
        {"no section yet", "; only a comment", "", "", "; only a comment\n\n[Settings]\nAniFile=/n.jpg\nMousesens=9\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir tmp;
        IniStore store(tmp.path().string());
        tmp.write("Marvoscope 1.0 Demo.ini", c.before);
        EXPECT_EQ(store.GetSetting(kApp, "Settings", "AniFile"), c.aniFile);
        EXPECT_EQ(store.GetSetting(kApp, "Settings", "Mousesens"), c.mouseSens);
        store.SaveSettings(kApp, "Settings", {{"AniFile", "/n.jpg"}, {"Mousesens", "9"}});
        EXPECT_EQ(readText(store.fileFor(kApp)), c.after);
        EXPECT_EQ(store.GetSetting(kApp, "Settings", "Mousesens"), "9");
    }
}

// A store that is a link (as dot-file managers make) is saved where the link leads, under a
// lock there, and keeps its mode; a link that leads nowhere fails the save and stays as it is.
TEST(IniStore, ALinkedStoreIsSavedAtItsTargetAndADanglingLinkFails) {
    test::TempDir tmp;
    fs::create_directories(tmp.file("cfg"));
    fs::create_directories(tmp.file("dots/sub"));
    tmp.write("dots/sub/real.ini", std::string("; kept\n[Settings]\nMousesens=5\n"));
    ::chmod(tmp.file("dots/sub/real.ini").c_str(), 0644);
    fs::create_symlink("sub/real.ini", tmp.file("dots/hop.ini"));
    fs::create_symlink("../dots/hop.ini", tmp.file("cfg/Marvoscope 1.0 Demo.ini"));
    IniStore store(tmp.file("cfg"));
    store.SaveSettings(kApp, "Settings", {{"Mousesens", "9"}});
    EXPECT_TRUE(fs::is_symlink(tmp.file("cfg/Marvoscope 1.0 Demo.ini")));
    EXPECT_EQ(readText(tmp.file("dots/sub/real.ini")), "; kept\n[Settings]\nMousesens=9\n");
    EXPECT_EQ(fs::status(tmp.file("dots/sub/real.ini")).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
    EXPECT_TRUE(fs::exists(tmp.file("dots/sub/real.ini.lock")));
    EXPECT_EQ(store.GetSetting(kApp, "Settings", "Mousesens"), "9");

    fs::remove(tmp.file("dots/sub/real.ini"));
    EXPECT_THROW(store.SaveSettings(kApp, "Settings", {{"Mousesens", "1"}}), PlatformError);
    EXPECT_TRUE(fs::is_symlink(tmp.file("cfg/Marvoscope 1.0 Demo.ini")));
    EXPECT_FALSE(fs::exists(tmp.file("dots/sub/real.ini")));
}

// Saves killed at any moment leave the store whole and no temporary file behind, and they
// remove no file of the user's, however much its name looks like one a save might make.
TEST(IniStore, InterruptedSavesLeaveNoTemporaryFilesBehind) {
    test::TempDir tmp;
    IniStore store(tmp.path().string());
    store.SaveSettings(kApp, "Settings", {{"AniFile", "/a.jpg"}, {"Mousesens", "5"}});
    tmp.write("Marvoscope 1.0 Demo.ini.Ab12Cd", std::string("the user's own too"));
    tmp.write("Marvoscope 1.0 Demo.ini.notes", std::string("the user's own"));
    for (int run = 0; run < 40; ++run) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            IniStore child(tmp.path().string());
            for (int i = 0;; ++i) child.SaveSettings(kApp, "Settings", {{"AniFile", "/b" + std::to_string(i)}, {"Mousesens", "7"}});
        }
        ASSERT_GT(pid, 0);
        ::usleep(static_cast<useconds_t>(200 + run * 97 % 3000));
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        const std::string aniFile = store.GetSetting(kApp, "Settings", "AniFile");
        EXPECT_TRUE(aniFile == "/a.jpg" || aniFile.rfind("/b", 0) == 0) << aniFile;
    }
    store.SaveSettings(kApp, "Settings", {{"Mousesens", "8"}});
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(tmp.path())) names.insert(e.path().filename().string());
    EXPECT_EQ(names, (std::set<std::string>{"Marvoscope 1.0 Demo.ini", "Marvoscope 1.0 Demo.ini.lock",
                                            "Marvoscope 1.0 Demo.ini.notes", "Marvoscope 1.0 Demo.ini.Ab12Cd"}));
    EXPECT_EQ(store.GetSetting(kApp, "Settings", "Mousesens"), "8");
}

namespace {

// Every name in a folder with its file type, to show that a save changed nothing there.
std::map<std::string, fs::file_type> listing(const std::string& dir) {
    std::map<std::string, fs::file_type> out;
    for (const auto& e : fs::directory_iterator(dir)) out[e.path().filename().string()] = e.symlink_status().type();
    return out;
}

// Runs `body` in a child process (as the unprivileged user `uid` when the tests run as root)
// and returns its exit status: 0 when it went well, another number for the check that failed.
int inChild(uid_t uid, const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        int status = 90;
        try {
            if (::geteuid() == 0 && (::setgid(uid) != 0 || ::setuid(uid) != 0)) ::_exit(91);
            status = body();
        } catch (...) {
        }
        ::_exit(status);
    }
    int status = -1;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

// Copies people keep beside their settings, named like the files a save makes for itself,
// outlive every save: beside the store and beside the file a linked store leads to.
TEST(IniStore, ASaveRemovesNoFileItDidNotMake) {
    const std::vector<std::string> suffixes = {".backup", ".before", ".readme", ".2024q1", ".Ab12Cd", ".new", ".new-12"};
    for (const bool linked : {false, true}) {
        SCOPED_TRACE(linked ? "linked store" : "plain store");
        test::TempDir tmp;
        fs::create_directories(tmp.file("cfg"));
        fs::create_directories(tmp.file("dots"));
        IniStore store(tmp.file("cfg"));
        std::string path = store.fileFor(kApp);
        if (linked) {
            path = tmp.file("dots/marvoscope.ini");
            fs::create_symlink(path, store.fileFor(kApp));
        }
        std::ofstream(path) << "[Settings]\nAniFile=/old.jpg\n";
        for (const auto& s : suffixes) fs::copy_file(path, path + s);
        store.SaveSettings(kApp, "Settings", {{"AniFile", "/new.jpg"}, {"Mousesens", "4"}});
        store.SaveSettings(kApp, "Settings", {{"AniFile", "/newer.jpg"}});
        EXPECT_EQ(store.GetSetting(kApp, "Settings", "AniFile"), "/newer.jpg");
        for (const auto& s : suffixes) {
            ASSERT_TRUE(fs::is_regular_file(path + s)) << s;
            EXPECT_EQ(readText(path + s), "[Settings]\nAniFile=/old.jpg\n") << s;
        }
    }
}

// A store that is a link to a folder, a pipe, a device or a regular file that can never be a
// store fails the save, and nothing changes in either folder: nothing is moved aside beside
// the link's target, and no lock or new file appears there.
TEST(IniStore, ALinkToAnythingButAStoreFileFailsTheSaveAndChangesNothing) {
    struct Case {
        const char* what;
        std::function<bool(const std::string&)> make;  // false: cannot be made here
    };
    const Case cases[] = {
        {"a folder", [](const std::string& p) { return fs::create_directories(p + "/inside"); }},
        {"a pipe", [](const std::string& p) { return ::mkfifo(p.c_str(), 0600) == 0; }},
        {"a device", [](const std::string& p) { return ::mknod(p.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0; }},
        {"a file over the size limit",
         [](const std::string& p) {
             std::ofstream(p) << "[Settings]\nAniFile=old\n";
             fs::resize_file(p, 16 * 1024 * 1024 + 1);
             return true;
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir tmp;
        fs::create_directories(tmp.file("cfg"));
        fs::create_directories(tmp.file("Documents"));
        const std::string target = tmp.file("Documents/target");
        if (!c.make(target)) continue;  // device nodes need the right to make them
        IniStore store(tmp.file("cfg"));
        fs::create_symlink("../Documents/target", store.fileFor(kApp));
        const auto cfgBefore = listing(tmp.file("cfg")), docsBefore = listing(tmp.file("Documents"));
        EXPECT_THROW(store.SaveSettings(kApp, "Settings", {{"AniFile", "/a.jpg"}}), PlatformError);
        EXPECT_EQ(listing(tmp.file("cfg")), cfgBefore);
        EXPECT_EQ(listing(tmp.file("Documents")), docsBefore);
        EXPECT_EQ(fs::read_symlink(store.fileFor(kApp)), "../Documents/target");
        EXPECT_EQ(store.GetSetting(kApp, "Settings", "AniFile"), "");
    }
}

// A save whose store the reader would refuse as too large fails as an unwritable store does,
// and the store stays as it was; one that keeps it within the limit still goes through.
TEST(IniStore, ASaveThatWouldGrowTheStorePastTheReadLimitFailsAndChangesNothing) {
    test::TempDir tmp;
    IniStore store(tmp.path().string());
    const std::string path = store.fileFor(kApp);
    std::string text = "[Settings]\nAniFile=/pics/a.jpg\n;";
    text.append(16 * 1024 * 1024 - 20 - text.size(), 'x').append("\n");
    tmp.write("Marvoscope 1.0 Demo.ini", text);
    EXPECT_THROW(store.SaveSettings(kApp, "Settings", {{"AniFile", "/pics/a/much/longer/path/to/the/picture.jpg"}}),
                 PlatformError);
    EXPECT_THROW(store.SaveSettings(kApp, "Settings", {{"Mousesens", "15"}, {"BackColors", "16777215"}}), PlatformError);
    EXPECT_TRUE(readText(path) == text);  // not printed: 16 MB
    EXPECT_EQ(store.GetSetting(kApp, "Settings", "AniFile"), "/pics/a.jpg");
    EXPECT_EQ(listing(tmp.path().string()).count("Marvoscope 1.0 Demo.ini.bak"), 0u);
    store.SaveSettings(kApp, "Settings", {{"AniFile", "/b.jpg"}});
    EXPECT_EQ(store.GetSetting(kApp, "Settings", "AniFile"), "/b.jpg");
}

// The largest store the reader takes, a few values and then blank lines, reads with memory
// in proportion to the file (a few times its size), not to a copy of every one of its lines.
TEST(IniStore, AStoreOfManyLinesReadsItsValuesInMemoryLikeItsSize) {
    test::TempDir tmp;
    IniStore store(tmp.path().string());
    std::string text = "[Settings]\nAniFile=/pics/a.jpg\nMousesens=5\nBackColors=255\n";
    text.append(16 * 1024 * 1024 - text.size(), '\n');
    tmp.write("Marvoscope 1.0 Demo.ini", text);
    text.clear();
    text.shrink_to_fit();
    const auto peakKiB = [] {
        std::ifstream status("/proc/self/status");
        std::string line;
        while (std::getline(status, line))
            if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
        return 0L;
    };
    const int status = inChild(::geteuid(), [&] {
        const long before = peakKiB();
        if (store.GetSetting(kApp, "Settings", "AniFile") != "/pics/a.jpg") return 1;
        if (store.GetSetting(kApp, "Settings", "BackColors") != "255") return 2;
        if (store.GetSetting(kApp, "Settings", "Mousesens") != "5") return 3;
        return peakKiB() - before < 4 * 16 * 1024 ? 0 : 4;
    });
    EXPECT_EQ(status, 0);
}

// A lock file the user cannot even open, as a save run with another user's rights leaves it,
// does not stop the user's saves; where no lock at all can be had, the failure names the file
// to remove.
TEST(IniStore, ALockFileTheUserCannotOpenDoesNotStopTheSave) {
    test::TempDir tmp;
    constexpr uid_t kNobody = 65534;
    const uid_t user = ::geteuid() == 0 ? kNobody : ::geteuid();
    fs::create_directories(tmp.file("cfg"));
    ASSERT_EQ(::chown(tmp.file("cfg").c_str(), user, user), 0);
    IniStore store(tmp.file("cfg"));
    const std::string lock = store.fileFor(kApp) + ".lock";
    tmp.write("cfg/Marvoscope 1.0 Demo.ini.lock", std::string());
    // As root, a lock file of root's own; otherwise one without any permission.
    ASSERT_EQ(::chmod(lock.c_str(), ::geteuid() == 0 ? 0600 : 0), 0);
    const int status = inChild(user, [&] {
        if (::access(lock.c_str(), R_OK) == 0) return 1;  // the case needs a lock file this user cannot open
        store.SaveSettings(kApp, "Settings", {{"AniFile", "/a.jpg"}});
        if (store.GetSetting(kApp, "Settings", "AniFile") != "/a.jpg") return 2;
        // A folder the user may write but not read leaves no lock to take.
        ::chmod(tmp.file("cfg").c_str(), 0300);
        try {
            store.SaveSettings(kApp, "Settings", {{"AniFile", "/b.jpg"}});
            return 3;
        } catch (const PlatformError& e) {
            if (std::string(e.what()).find("remove " + lock) == std::string::npos) return 4;
        }
        ::chmod(tmp.file("cfg").c_str(), 0700);
        return store.GetSetting(kApp, "Settings", "AniFile") == "/a.jpg" ? 0 : 5;
    });
    EXPECT_EQ(status, 0);
}

// A setup dialog started with sudo saves into the user's folder: the store stays the user's,
// or becomes the folder owner's when it is new, so the user's next save can replace it.
TEST(IniStore, RootSavingKeepsTheStoreItsOwnersFile) {
    if (::geteuid() != 0) GTEST_SKIP() << "only root can save as another user";
    constexpr uid_t kNobody = 65534;
    test::TempDir tmp;
    fs::create_directories(tmp.file("cfg"));
    ASSERT_EQ(::chown(tmp.file("cfg").c_str(), kNobody, kNobody), 0);
    IniStore store(tmp.file("cfg"));
    const std::string path = store.fileFor(kApp);
    struct stat st {};
    store.SaveSettings(kApp, "Settings", {{"AniFile", "/new.jpg"}});
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, kNobody) << "a new store in the user's folder";
    store.SaveSettings(kApp, "Settings", {{"AniFile", "/again.jpg"}});
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, kNobody) << "a store the user had";
    EXPECT_EQ(inChild(kNobody, [&] {
                  store.SaveSettings(kApp, "Settings", {{"AniFile", "/mine.jpg"}});
                  return store.GetSetting(kApp, "Settings", "AniFile") == "/mine.jpg" ? 0 : 1;
              }),
              0);
    EXPECT_FALSE(fs::exists(path + ".bak"));
}

namespace {

// A tree where root's folder and file sit beside a home folder of the user `nobody`, as a
// user's settings folder under `sudo -E` and a system folder are.
struct RootAndUser {
    static constexpr uid_t kNobody = 65534;
    test::TempDir tmp;
    std::string rootDir = tmp.file("system");
    std::string rootFile = rootDir + "/passwd";
    std::string home = tmp.file("home");
    const std::string rootText = "[Settings]\nAniFile=root's own\n";

    RootAndUser() {
        fs::create_directories(rootDir);
        fs::create_directories(home);
        std::ofstream(rootFile) << rootText;
        ::chmod(rootDir.c_str(), 0755);
        ::chmod(tmp.path().c_str(), 0755);
        if (::chown(home.c_str(), kNobody, kNobody) != 0) ADD_FAILURE() << "chown";
    }
    // A link the user made: owned by the user.
    void userLink(const std::string& target, const std::string& at) const {
        fs::create_symlink(target, at);
        if (::lchown(at.c_str(), kNobody, kNobody) != 0) ADD_FAILURE() << "lchown";
    }
    ino_t rootInode() const {
        struct stat st {};
        ::stat(rootFile.c_str(), &st);
        return st.st_ino;
    }
};

}  // namespace

// Root saving into a user's settings folder (sudo -E) saves with the user's rights: a store
// linked to root's file, or a settings folder linked to root's folder, fails the save and
// leaves root's folder exactly as it was; the user's own links to the user's files still work.
TEST(IniStore, RootSavingIntoAUsersFolderCannotWriteWhatTheUserCannot) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root and another user";
    RootAndUser t;
    const ino_t inode = t.rootInode();
    const std::string cfg = t.home + "/cfg";
    ASSERT_EQ(::mkdir(cfg.c_str(), 0700), 0);
    ASSERT_EQ(::chown(cfg.c_str(), RootAndUser::kNobody, RootAndUser::kNobody), 0);
    IniStore linkedStore(cfg);
    t.userLink(t.rootFile, linkedStore.fileFor(kApp));
    EXPECT_THROW(linkedStore.SaveSettings(kApp, "Settings", {{"AniFile", "/a.jpg"}}), PlatformError);

    t.userLink(t.rootDir, t.home + "/linked-config");
    IniStore linkedFolder(t.home + "/linked-config");
    EXPECT_THROW(linkedFolder.SaveSettings(kApp, "Settings", {{"AniFile", "/a.jpg"}}), PlatformError);
    IniStore deeper(t.home + "/linked-config/new/folder");
    EXPECT_THROW(deeper.SaveSettings(kApp, "Settings", {{"AniFile", "/a.jpg"}}), PlatformError);

    EXPECT_EQ(readText(t.rootFile), t.rootText);
    EXPECT_EQ(t.rootInode(), inode);
    EXPECT_EQ(listing(t.rootDir), (std::map<std::string, fs::file_type>{{"passwd", fs::file_type::regular}}));

    // The user's own dot-file link, in a folder root made for the user earlier, still saves.
    fs::create_directories(t.home + "/dots");
    std::ofstream(t.home + "/dots/real.ini") << "[Settings]\nMousesens=5\n";
    ASSERT_EQ(::chown((t.home + "/dots").c_str(), RootAndUser::kNobody, RootAndUser::kNobody), 0);
    ASSERT_EQ(::chown((t.home + "/dots/real.ini").c_str(), RootAndUser::kNobody, RootAndUser::kNobody), 0);
    fs::remove(linkedStore.fileFor(kApp));
    t.userLink("../dots/real.ini", linkedStore.fileFor(kApp));
    linkedStore.SaveSettings(kApp, "Settings", {{"AniFile", "/b.jpg"}});
    EXPECT_EQ(linkedStore.GetSetting(kApp, "Settings", "AniFile"), "/b.jpg");
    struct stat st {};
    ASSERT_EQ(::stat((t.home + "/dots/real.ini").c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, RootAndUser::kNobody);
    EXPECT_EQ(::access(t.rootFile.c_str(), W_OK), 0) << "root's rights are back after the save";
}

// A user swapping their settings folder between a folder of their own and root's folder while
// root saves again and again never gets a file into root's folder.
TEST(IniStore, ARootSaveRacingAUserWhoSwapsTheFolderLeavesRootsFolderAlone) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root and another user";
    RootAndUser t;
    const std::string cfg = t.home + "/cfg";
    const std::string mineDir = t.home + "/mine", mineStore = mineDir + "/Marvoscope 1.0 Demo.ini";
    fs::create_directories(mineDir);
    std::ofstream(mineStore) << "[Settings]\nAniFile=the user's line\n";
    ASSERT_EQ(::chown(mineDir.c_str(), RootAndUser::kNobody, RootAndUser::kNobody), 0);
    ASSERT_EQ(::chown(mineStore.c_str(), RootAndUser::kNobody, RootAndUser::kNobody), 0);
    t.userLink("mine", cfg);
    const pid_t swapper = ::fork();
    if (swapper == 0) {
        if (::setgid(RootAndUser::kNobody) != 0 || ::setuid(RootAndUser::kNobody) != 0) ::_exit(91);
        const std::string mine = t.home + "/link-mine", theirs = t.home + "/link-root";
        for (;;) {
            ::symlink("mine", mine.c_str());
            ::rename(mine.c_str(), cfg.c_str());
            ::symlink(t.rootDir.c_str(), theirs.c_str());
            ::rename(theirs.c_str(), cfg.c_str());
        }
    }
    ASSERT_GT(swapper, 0);
    IniStore store(cfg);
    int saved = 0;
    for (int i = 0; i < 2000; ++i) {
        try {
            store.SaveSettings(kApp, "Settings", {{"AniFile", "/root/" + std::to_string(i)}});
            ++saved;
        } catch (const PlatformError&) {
        }
    }
    ::kill(swapper, SIGKILL);
    ::waitpid(swapper, nullptr, 0);
    EXPECT_EQ(readText(t.rootFile), t.rootText);
    EXPECT_EQ(listing(t.rootDir), (std::map<std::string, fs::file_type>{{"passwd", fs::file_type::regular}}));
    EXPECT_GT(saved, 0) << "the user's own folder takes root's saves";
}
