#include "platform/win32/win_file_dialog.h"

#include <commdlg.h>
#include <cderr.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <vector>

#include "platform/error.h"
#include "platform/win32/win_text.h"

namespace mv::win32 {

std::wstring fileDialogFilter(const std::string& filter) {
    std::wstring w = widen(filter);
    std::wstring out;
    if (w.find(L'|') == std::wstring::npos) {
        if (!w.empty()) out = w + L'\0' + w + L'\0';
    } else {
        for (wchar_t c : w) out += c == L'|' ? L'\0' : c;
        out += L'\0';
    }
    out += L'\0';
    return out;
}

std::string knownFolder(const KNOWNFOLDERID& id) {
    PWSTR path = nullptr;
    std::string folder;
    if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path)) && path) folder = narrow(path);
    CoTaskMemFree(path);
    return folder;
}

bool isFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(widen(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string showOpenDialog(HWND owner, const OpenFileRequest& request) {
    std::vector<wchar_t> name(32768, L'\0');
    const std::wstring start = widen(request.fileName);
    if (start.size() < name.size()) start.copy(name.data(), start.size());
    const std::wstring filter = fileDialogFilter(request.filter);
    // Without a remembered name the dialog would start in the current folder, the program's.
    const std::wstring startFolder = widen(request.startFolder);
    std::wstring ext = widen(request.defaultExt);
    if (!ext.empty() && ext[0] == L'.') ext.erase(0, 1);

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.size() > 1 ? filter.c_str() : nullptr;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = name.data();
    ofn.nMaxFile = static_cast<DWORD>(name.size());
    ofn.lpstrDefExt = ext.empty() ? nullptr : ext.c_str();
    ofn.lpstrInitialDir = start.empty() && !startFolder.empty() ? startFolder.c_str() : nullptr;
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    BOOL chosen = GetOpenFileNameW(&ofn);
    if (!chosen && CommDlgExtendedError() == FNERR_INVALIDFILENAME) {
        // A remembered name the dialog cannot start from: start from nothing instead.
        name.assign(name.size(), L'\0');
        chosen = GetOpenFileNameW(&ofn);
    }
    if (!chosen) {
        if (CommDlgExtendedError() == 0) throw PlatformError(ErrCancel, "Cancel was selected.");
        throw PlatformError(ErrBadFileName, "The file dialog failed");
    }
    return narrow(name.data());
}

namespace {
int CALLBACK startAt(HWND window, UINT message, LPARAM, LPARAM start) {
    if (message == BFFM_INITIALIZED && start) SendMessageW(window, BFFM_SETSELECTIONW, TRUE, start);
    return 0;
}
}  // namespace

namespace {

// The older tree of folders, for a system without the item dialog.
std::string browseForFolder(HWND owner, const std::wstring& first) {
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.lpszTitle = L"Folder of pictures";
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    info.lpfn = startAt;
    info.lParam = first.empty() ? 0 : reinterpret_cast<LPARAM>(first.c_str());
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&info);
    std::string path;
    if (chosen) {
        std::vector<wchar_t> name(32768, L'\0');
        if (SHGetPathFromIDListEx(chosen, name.data(), static_cast<DWORD>(name.size()), GPFIDL_DEFAULT)) path = narrow(name.data());
        CoTaskMemFree(chosen);
    }
    return path;
}

// The file dialog in its folder-picking form: the chooser users know from every other program,
// and one that opens in a given folder. False when the system has none.
bool pickFolder(HWND owner, const std::wstring& first, std::string& path) {
    IFileOpenDialog* dialog = nullptr;
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&dialog)))) return false;
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_NOCHANGEDIR | FOS_PATHMUSTEXIST);
    dialog->SetTitle(L"Folder of pictures");
    IShellItem* folder = nullptr;
    if (!first.empty() && SUCCEEDED(SHCreateItemFromParsingName(first.c_str(), nullptr, IID_PPV_ARGS(&folder)))) {
        dialog->SetFolder(folder);
        folder->Release();
    }
    IShellItem* chosen = nullptr;
    if (SUCCEEDED(dialog->Show(owner)) && SUCCEEDED(dialog->GetResult(&chosen))) {
        PWSTR name = nullptr;
        if (SUCCEEDED(chosen->GetDisplayName(SIGDN_FILESYSPATH, &name)) && name) path = narrow(name);
        CoTaskMemFree(name);
        chosen->Release();
    }
    dialog->Release();
    return true;
}

}  // namespace

std::string showFolderDialog(HWND owner, const std::string& start) {
    // The choosers are COM objects of the calling thread.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    const std::wstring first = widen(start);
    std::string path;
    if (!pickFolder(owner, first, path)) path = browseForFolder(owner, first);
    if (SUCCEEDED(com)) CoUninitialize();
    if (path.empty()) throw PlatformError(ErrCancel, "Cancel was selected.");
    return path;
}

}  // namespace mv::win32
