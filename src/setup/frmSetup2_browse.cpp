// Picking the picture: a file with the platform's file-open dialog, or a folder of pictures with
// its folder chooser.
#include "setup/frmSetup2.h"

#include <filesystem>

#include "platform/modes.h"
#include "settings/number_text.h"
#include "startup/app.h"

namespace mv {

namespace {

// The folder of an absolute path as the system writes paths; "" for a relative one, which
// would resolve against the program's own folder.
std::string folderOf(const std::string& path) {
    const std::filesystem::path p(std::u8string(path.begin(), path.end()));
    if (path.empty() || !p.is_absolute()) return "";
    const auto folder = p.parent_path().u8string();
    return std::string(folder.begin(), folder.end());
}

// Where the first browse starts: the folder of the path in the box, else the user's Pictures,
// else home. Never the program's own folder (the current one), where no pictures are kept.
std::string StartFolder(Platform& p, const std::string& typedPath) {
    for (const std::string& folder : {folderOf(typedPath), p.picturesFolder()})
        if (!folder.empty() && p.folderExists(folder)) return folder;
    return p.homeFolder();
}

}  // namespace

void frmSetup2::Command5_Click() {
    continueStep([&] { CommonDialog1.Filter = "*.bmp;*.jpg;*.gif"; });
    continueStep([&] { CommonDialog1.DefaultExt = "gif"; });
    // Once a file was chosen the dialog starts from it, as it always did.
    continueStep([&] {
        if (CommonDialog1.FileName.empty()) CommonDialog1.InitDir = StartFolder(app_.platform, txFile.Text());
    });
    const int error = continueStepError([&] { CommonDialog1.ShowOpen(); });
    if (error == ErrCancel) return;
    continueStep([&] { txFile.setText(CommonDialog1.FileName); });
}

void frmSetup2::CmdFolder_Click() {
    const std::string typed = TrimBlanks(txFile.Text());
    std::string folder;
    const int error = continueStepError([&] {
        Platform& p = app_.platform;
        folder = p.showFolder(!typed.empty() && p.folderExists(typed) ? typed : StartFolder(p, typed));
    });
    if (error != 0) return;
    continueStep([&] { txFile.setText(folder); });
    continueStep([&] { ShowFolderLine(); });
}

}  // namespace mv
