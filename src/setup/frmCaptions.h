#pragma once
// The small dialog "Captions and bars", opened from the setup dialog's "Show" tab: the words of
// the caption, the clock, what lies beside a whole picture, and whether stills drift. OK hands
// the choice back to the dialog that opened it, which saves it with its other settings; Cancel,
// Escape and the close box drop it.
#include <functional>
#include <memory>

#include "platform/ui/controls/checkbox.h"
#include "platform/ui/controls/commandbutton.h"
#include "platform/ui/controls/frame.h"
#include "platform/ui/form.h"
#include "platform/ui/layout.h"
#include "setup/caption_choice.h"

namespace mv {

class frmCaptions : public Form {
public:
    static constexpr const char* kCaption = "Captions and bars";

    frmCaptions(Platform& platform, std::function<void(const CaptionChoice&)> onOK);
    ~frmCaptions() override;

    const Layout* layout() const override { return layout_.get(); }

    // Shows `current`, centred over `over`, until OK or Cancel.
    void Open(const CaptionChoice& current, const Form& over);

    Frame FrameWritten{"FrameWritten"};
    CheckBox ChkDate{"ChkDate"};
    CheckBox ChkPlace{"ChkPlace"};
    CheckBox ChkFolder{"ChkFolder"};
    CheckBox ChkName{"ChkName"};
    CheckBox ChkClock{"ChkClock"};
    Frame FrameWhole{"FrameWhole"};
    CheckBox OptColorBars{"OptColorBars"};
    CheckBox OptBlurBars{"OptBlurBars"};
    Frame FrameMotion{"FrameMotion"};
    CheckBox ChkMotion{"ChkMotion"};
    CommandButton CmdOK{"CmdOK"};
    CommandButton CmdCancel{"CmdCancel"};

    void Form_Load() override;
    void CmdOK_Click();
    void CmdCancel_Click();

private:
    std::unique_ptr<Layout> makeLayout();
    CaptionChoice Chosen() const;

    std::function<void(const CaptionChoice&)> onOK_;
    std::unique_ptr<Layout> layout_;
    CaptionChoice current_;
    long overLeft_ = 0, overTop_ = 0, overWidth_ = 0, overHeight_ = 0;
};

}  // namespace mv
