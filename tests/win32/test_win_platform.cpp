// The Win32 platform with real windows, timers and the message loop.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <shlobj.h>

#include "platform/error.h"
#include "platform/files/file_io.h"
#include "platform/picture/load_picture.h"
#include "platform/win32/win_text.h"
#include "support/fake_platform.h"
#include "win_test_forms.h"

using namespace mv;
using test::RecordingForm;
using test::TestWinPlatform;

namespace {

constexpr LPARAM at(int x, int y) { return MAKELPARAM(x, y); }

class WinWindows : public ::testing::Test {
protected:
    void SetUp() override {
        form.setWindowState(WindowState::Maximized);
        form.Load();
        hwnd = test::windowTitled(form.Caption());
        if (!hwnd) GTEST_SKIP() << "no window system to create windows on";
    }
    TestWinPlatform platform;
    RecordingForm form{platform, "MarvoscopeTestWindow " + std::to_string(GetCurrentProcessId())};
    HWND hwnd = nullptr;
};

}  // namespace

TEST(WinProcess, ASecondInstanceSeesTheFirstThroughItsMutex) {
    const std::wstring name = test::uniqueName(L"Local\\MarvoscopeTest-");
    win32::WinPlatform first(L"", name, L"Software\\MarvoscopeTest-unused");
    EXPECT_FALSE(first.prevInstance());
    win32::WinPlatform second(L"", name, L"Software\\MarvoscopeTest-unused");
    EXPECT_TRUE(second.prevInstance());
}

TEST(WinProcess, CommandLineArrivesAsUtf8AndNonLatinFoldersWork) {
    win32::WinPlatform p(L"/c:1234 Ä", test::uniqueName(L"Local\\MarvoscopeTest-"), L"Software\\MarvoscopeTest-unused");
    EXPECT_EQ(p.commandLine(), "/c:1234 \xC3\x84");
    EXPECT_FALSE(p.programDirectory().empty());

    test::TempDir dir;
    const auto folder = dir.path() / std::filesystem::path(u8"Картинки");
    std::filesystem::create_directory(folder);
    const auto bmp = test::makeBmp(3, 2, 0x000000FF);
    std::ofstream(folder / "red.bmp", std::ios::binary).write(reinterpret_cast<const char*>(bmp.data()), bmp.size());

    const auto before = std::filesystem::current_path();
    const auto u8folder = folder.u8string();
    p.setCurrentDirectory(std::string(u8folder.begin(), u8folder.end()));
    auto picture = LoadPicture(p, "red.bmp");  // relative to the new current directory
    std::filesystem::current_path(before);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->width(), 3);
    EXPECT_THROW(p.setCurrentDirectory(std::string(u8folder.begin(), u8folder.end()) + "\\missing"), PlatformError);
}

TEST(WinProcess, TheFileDialogsStartFoldersAreTheUsersKnownFolders) {
    win32::WinPlatform platform(L"", test::uniqueName(L"Local\\MarvoscopeTest-"), L"Software\\MarvoscopeTest-unused");
    const std::string pictures = platform.picturesFolder(), home = platform.homeFolder();
    ASSERT_FALSE(home.empty());
    EXPECT_TRUE(platform.folderExists(home));
    // Pictures is a folder of its own, not the program's: a browse never starts beside the .scr.
    EXPECT_NE(pictures, home);
    char program[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    EXPECT_NE(pictures, std::filesystem::path(program).parent_path().string());
    const test::TempDir dir;
    EXPECT_TRUE(platform.folderExists(dir.path().string()));
    EXPECT_FALSE(platform.folderExists(dir.write("a.gif", std::string("GIF89a"))));
    EXPECT_FALSE(platform.folderExists(dir.file("missing")));
}

TEST_F(WinWindows, MaximisedBareWindowCoversTheScreenAndIsFoundByTitle) {
    EXPECT_EQ(form.host()->clientWidthPx(), platform.screenWidthPx());
    EXPECT_EQ(form.host()->clientHeightPx(), platform.screenHeightPx());
    EXPECT_TRUE(platform.findWindow(form.Caption()));
    EXPECT_FALSE(platform.findWindow(form.Caption() + " "));
    form.Unload();
    EXPECT_FALSE(platform.findWindow(form.Caption()));
    EXPECT_FALSE(platform.anyFormLoaded());
}

TEST_F(WinWindows, MouseAndKeysReachTheHandlersInThePlatformOrderWithPixelPositions) {
    SendMessageW(hwnd, WM_MOUSEMOVE, 0, at(30, 40));
    SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at(5, 6));
    SendMessageW(hwnd, WM_LBUTTONUP, 0, at(5, 6));
    SendMessageW(hwnd, WM_RBUTTONDOWN, MK_RBUTTON, at(7, 8));
    SendMessageW(hwnd, WM_RBUTTONUP, 0, at(7, 8));
    SendMessageW(hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
    SendMessageW(hwnd, WM_CHAR, 'a', 0);
    const std::vector<std::string> want = {"move 0 30,40", "down 1 5,6", "up 1 5,6",  "click", "down 2 7,8",
                                           "up 2 7,8",     "click",      "keydown 27", "keypress 97"};
    EXPECT_EQ(form.events, want);
}

TEST_F(WinWindows, DoubleClickGivesOneClickAndOneDoubleClick) {
    SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at(1, 1));
    SendMessageW(hwnd, WM_LBUTTONUP, 0, at(1, 1));
    SendMessageW(hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, at(1, 1));
    SendMessageW(hwnd, WM_LBUTTONUP, 0, at(1, 1));
    const std::vector<std::string> want = {"down 1 1,1", "up 1 1,1", "click", "dblclick", "up 1 1,1"};
    EXPECT_EQ(form.events, want);
}

TEST_F(WinWindows, AHandlerMayUnloadItsOwnWindowAndCloseRequestsUnload) {
    form.unloadOnClick = true;
    SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at(1, 1));
    SendMessageW(hwnd, WM_LBUTTONUP, 0, at(1, 1));
    EXPECT_FALSE(form.Loaded());
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(form.events.back(), "unload");

    RecordingForm other(platform, "MarvoscopeTestOther " + std::to_string(GetCurrentProcessId()));
    other.Load();
    HWND h = test::windowTitled(other.Caption());
    ASSERT_TRUE(h);
    PostMessageW(h, WM_CLOSE, 0, 0);
    EXPECT_EQ(platform.run(), 0);  // returns once no form is left
    EXPECT_FALSE(other.Loaded());
}

TEST_F(WinWindows, DoEventsRunsQueuedInputBeforeReturning) {
    PostMessageW(hwnd, WM_KEYDOWN, 'Q', 0);
    EXPECT_TRUE(form.events.empty());
    platform.doEvents();
    ASSERT_FALSE(form.events.empty());
    EXPECT_EQ(form.events.front(), "keydown 81");
}

TEST_F(WinWindows, TimersTickThroughTheMessageQueueUntilStopped) {
    int ticks = 0;
    auto timer = platform.createTimer([&] { ++ticks; });
    timer->start(15);
    for (int i = 0; i < 500 && ticks < 2; ++i) {
        platform.doEvents();
        Sleep(10);
    }
    EXPECT_GE(ticks, 2);
    timer->stop();
    const int stopped = ticks;
    for (int i = 0; i < 10; ++i) {
        platform.doEvents();
        Sleep(10);
    }
    EXPECT_EQ(ticks, stopped);
}

TEST(WinLoop, RunReturnsAtOnceWhenNoWindowIsLoaded) {
    TestWinPlatform platform;
    EXPECT_EQ(platform.run(), 0);
}

// What a show keeps between runs lies in the user's local application data, and a file there is
// replaced whole, with nothing left beside it.
TEST(WinProcess, TheCacheFolderIsLocalDataAndItsFilesAreReplacedWhole) {
    win32::WinPlatform platform(L"", test::uniqueName(L"Local\\MarvoscopeTest-"), L"Software\\MarvoscopeTest-unused");
    PWSTR base = nullptr;
    ASSERT_TRUE(SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &base)));
    const auto local = std::filesystem::path(base).u8string();
    CoTaskMemFree(base);
    const std::string cache = platform.userCacheDirectory();
    EXPECT_EQ(cache, std::string(local.begin(), local.end()) + "\\Marvoscope");
    const std::string name = "test-" + std::to_string(GetCurrentProcessId()) + ".txt";
    const std::string file = cache + "\\" + name;
    ASSERT_TRUE(files::replaceFile(file, "old"));
    EXPECT_TRUE(files::replaceFile(file, std::string(5000, 'n')));
    EXPECT_EQ(files::readSmallFile(file, 5000), std::string(5000, 'n'));
    EXPECT_FALSE(files::readSmallFile(file, 4999));
    EXPECT_FALSE(files::readSmallFile(file + ".missing", 5000));
    size_t beside = 0;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(local) / "Marvoscope"))
        beside += entry.path().filename().string().rfind("test-" + std::to_string(GetCurrentProcessId()), 0) == 0;
    EXPECT_EQ(beside, 1u);
    std::filesystem::remove(std::filesystem::path(local) / "Marvoscope" / name);
}
