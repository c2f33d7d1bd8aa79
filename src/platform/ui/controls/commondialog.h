#pragma once
#include <string>

namespace mv {

class Platform;

// The file-dialog component: keeps its properties between uses, so a second ShowOpen starts
// from the file chosen by the first.
class CommonDialog {
public:
    CommonDialog(std::string name, Platform& platform) : name_(std::move(name)), platform_(platform) {}

    const std::string& name() const { return name_; }

    std::string Filter;
    std::string DefaultExt;
    std::string FileName;
    std::string InitDir;  // where the dialog starts while FileName is empty

    // Shows the modal file-open dialog and sets FileName to the chosen path; throws
    // PlatformError(ErrCancel) when the user cancels, leaving FileName as it was.
    void ShowOpen();

private:
    std::string name_;
    Platform& platform_;
};

}  // namespace mv
