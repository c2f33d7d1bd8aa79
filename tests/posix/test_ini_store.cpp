#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
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

// Saves killed at any moment leave the store whole, and no temporary file lasts beyond the
// next save: neither this program's nor the randomly named ones of earlier versions.
TEST(IniStore, InterruptedSavesLeaveNoTemporaryFilesBehind) {
    test::TempDir tmp;
    IniStore store(tmp.path().string());
    store.SaveSettings(kApp, "Settings", {{"AniFile", "/a.jpg"}, {"Mousesens", "5"}});
    tmp.write("Marvoscope 1.0 Demo.ini.Ab12Cd", std::string("left by an earlier version"));
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
                                            "Marvoscope 1.0 Demo.ini.notes"}));
    EXPECT_EQ(store.GetSetting(kApp, "Settings", "Mousesens"), "8");
}
