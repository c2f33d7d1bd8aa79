#include "platform/win32/win_platform.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdlib>
#include <vector>

#include "platform/error.h"
#include "platform/win32/win_caption_text.h"
#include "platform/win32/win_common.h"
#include "platform/win32/win_dialog_host.h"
#include "platform/win32/win_file_dialog.h"
#include "platform/win32/win_saver_host.h"
#include "platform/win32/win_still_decoder.h"
#include "platform/win32/win_text.h"
#include "platform/win32/win_timer.h"
#include "platform/win32/win_wic_formats.h"
#include "platform/win32/win_wic_still.h"

namespace mv::win32 {

WinPlatform::WinPlatform(std::wstring commandLine, std::wstring instanceName, std::wstring settingsRoot)
    : commandLine_(std::move(commandLine)), settings_(std::move(settingsRoot)) {
    // Every running instance holds the mutex for its whole life, whatever window it shows.
    instanceMutex_ = CreateMutexW(nullptr, FALSE, instanceName.c_str());
    prevInstance_ = instanceMutex_ && GetLastError() == ERROR_ALREADY_EXISTS;
}

WinPlatform::~WinPlatform() {
    if (instanceMutex_) CloseHandle(static_cast<HANDLE>(instanceMutex_));
}

std::string WinPlatform::programDirectory() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) throw PlatformError(ErrFileNotFound, "Cannot find the program file");
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    const auto slash = path.find_last_of(L"\\/");
    return narrow(slash == std::wstring::npos ? path : path.substr(0, slash));
}

void WinPlatform::setCurrentDirectory(const std::string& dir) {
    if (!SetCurrentDirectoryW(widen(dir).c_str())) throw PlatformError(ErrFileNotFound, "Path not found: " + dir);
}

std::string WinPlatform::commandLine() { return narrow(commandLine_); }

bool WinPlatform::findWindow(const std::string& title) { return FindWindowW(nullptr, widen(title).c_str()) != nullptr; }

void WinPlatform::dispatch(MSG& msg) {
    for (auto& [dialog, handler] : dialogs_) {
        if (msg.hwnd != dialog && !IsChild(dialog, msg.hwnd)) continue;
        const auto take = handler;  // the handler may close the dialog and drop itself
        if (take(msg)) return;
        break;
    }
    // The dialog navigation may close a dialog, which leaves the list: walk a copy.
    std::vector<HWND> open;
    for (const auto& entry : dialogs_) open.push_back(entry.first);
    for (HWND dialog : open)
        if (IsWindow(dialog) && IsDialogMessageW(dialog, &msg)) return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

void WinPlatform::doEvents() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // A quit request matters only while no form is loaded; then the loop below this
            // handler must still see it, so it goes back into the queue.
            if (!loaded_.empty()) continue;
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        dispatch(msg);
    }
}

int WinPlatform::run() {
    MSG msg;
    while (!loaded_.empty()) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1) return 1;
        if (got == 0) continue;  // a quit request from a moment when no form was loaded
        dispatch(msg);
    }
    return 0;
}

int WinPlatform::messageBox(const std::string& text, int buttonsAndIcon, const std::string& title) {
    return MessageBoxW(nullptr, widen(text).c_str(), widen(title).c_str(), static_cast<UINT>(buttonsAndIcon));
}

void WinPlatform::terminate() {
    // At once, as promised: no DLL detach runs either, so no library's shutdown can hold the
    // process back.
    TerminateProcess(GetCurrentProcess(), 0);
    ExitProcess(0);  // not reached
}

int WinPlatform::showCursor(bool show) { return ShowCursor(show ? TRUE : FALSE); }

int WinPlatform::screenWidthPx() { return GetSystemMetrics(SM_CXSCREEN); }
int WinPlatform::screenHeightPx() { return GetSystemMetrics(SM_CYSCREEN); }
double WinPlatform::twipsPerPixelX() { return 1440.0 / screenDpiX(); }
double WinPlatform::twipsPerPixelY() { return 1440.0 / screenDpiY(); }

std::unique_ptr<WindowHost> WinPlatform::createWindow(Form& form) {
    if (form.layout()) return makeDialogHost(form, *this);
    return makeFormHost(form, *this);
}

void WinPlatform::formLoaded(Form& form) { loaded_.insert(&form); }

void WinPlatform::formUnloaded(Form& form) {
    loaded_.erase(&form);
    if (loaded_.empty()) PostQuitMessage(0);  // wakes the loop so that it can end
}

std::unique_ptr<TimerDriver> WinPlatform::createTimer(std::function<void()> tick) { return makeTimer(std::move(tick)); }

PicturePtr WinPlatform::decodeStill(const std::vector<uint8_t>& bytes) { return decodeStillAtLeast(bytes, {}); }
PicturePtr WinPlatform::decodeStillAtLeast(const std::vector<uint8_t>& bytes, const DecodeFloor& floor) {
    // BMP and JPEG by the bundled decoder, read alike on every system; the rest by the system's codecs.
    return bundledDecoderReads(bytes) ? decodeStillStb(bytes, floor) : decodeStillWic(bytes, floor);
}

std::vector<std::string> WinPlatform::morePictureSuffixes() { return wicPictureSuffixes(); }

namespace {

// "Marvoscope" in the per-user local application data, which only its owner can reach.
std::string localAppFolder() {
    PWSTR base = nullptr;
    std::wstring dir;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_CREATE, nullptr, &base)) && base) dir = base;
    CoTaskMemFree(base);
    if (dir.empty()) {
        const wchar_t* env = _wgetenv(L"LOCALAPPDATA");
        if (!env || !*env) throw PlatformError(ErrFileNotFound, "No local application data folder");
        dir = env;
    }
    dir += L"\\Marvoscope";
    if (!CreateDirectoryW(dir.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        throw PlatformError(ErrFileAccess, "Cannot create " + narrow(dir));
    return narrow(dir);
}

}  // namespace

std::string WinPlatform::userScratchDirectory() { return localAppFolder(); }
// Beside the scratch files: the local application data is the per-machine cache Windows knows.
std::string WinPlatform::userCacheDirectory() { return localAppFolder(); }

void WinPlatform::shellOpen(const std::string& url) {
    ShellExecuteW(nullptr, L"open", widen(url).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

std::string WinPlatform::showFolder(const std::string& start) {
    HWND owner = dialogs_.empty() ? nullptr : dialogs_.begin()->first;
    return showFolderDialog(owner, start);
}

std::string WinPlatform::showOpen(const OpenFileRequest& request) {
    HWND owner = dialogs_.empty() ? nullptr : dialogs_.begin()->first;
    return showOpenDialog(owner, request);
}

std::string WinPlatform::picturesFolder() { return knownFolder(FOLDERID_Pictures); }
std::string WinPlatform::homeFolder() { return knownFolder(FOLDERID_Profile); }
bool WinPlatform::folderExists(const std::string& path) { return isFolder(path); }

TextCoverage WinPlatform::drawText(const std::string& utf8, int pixelSize) { return drawCaptionText(utf8, pixelSize); }
std::string WinPlatform::longDatePattern() { return localeLongDatePattern(); }
std::string WinPlatform::formatDate(const std::string& pattern, int year, int month, int day) {
    return localeDate(pattern, year, month, day);
}
std::string WinPlatform::shortTimePattern() { return localeShortTimePattern(); }
std::string WinPlatform::formatTime(const std::string& pattern, int hour, int minute) {
    return localeTime(pattern, hour, minute);
}

}  // namespace mv::win32
