#include "setup/frmCaptions.h"

#include <algorithm>
#include <utility>

#include "setup/option_group.h"

namespace mv {

namespace {

constexpr int32_t kButtonFace = static_cast<int32_t>(0x8000000F);
constexpr long kClientWidth = 4200, kClientHeight = 2880;

bool says(const std::vector<CaptionWord>& words, CaptionWord w) {
    return std::find(words.begin(), words.end(), w) != words.end();
}

}  // namespace

frmCaptions::frmCaptions(Platform& platform, std::function<void(const CaptionChoice&)> onOK)
    : Form(platform, kCaption), onOK_(std::move(onOK)) {
    setDesign(BorderStyle::FixedDialog, ScaleMode::Twips, kButtonFace, 0, 0, kClientWidth, kClientHeight);
    layout_ = makeLayout();
    applyDesign(*layout_);
    CmdOK.onClick = [this] { CmdOK_Click(); };
    CmdCancel.onClick = [this] { CmdCancel_Click(); };
    for (CheckBox* box : {&OptColorBars, &OptBlurBars})
        box->onClick = [this, box] { ChooseInGroup(*box, {&OptColorBars, &OptBlurBars}); };
}

frmCaptions::~frmCaptions() = default;

void frmCaptions::Open(const CaptionChoice& current, const Form& over) {
    current_ = current;
    overLeft_ = over.Left();
    overTop_ = over.Top();
    overWidth_ = over.Width();
    overHeight_ = over.Height();
    Show();
}

void frmCaptions::Form_Load() {
    Move(overLeft_ + (overWidth_ - Width()) / 2, overTop_ + (overHeight_ - Height()) / 2);
    ChkDate.setValue(says(current_.words, CaptionWord::Date) ? 1 : 0);
    ChkPlace.setValue(says(current_.words, CaptionWord::Place) ? 1 : 0);
    ChkFolder.setValue(says(current_.words, CaptionWord::Folder) ? 1 : 0);
    ChkName.setValue(says(current_.words, CaptionWord::Name) ? 1 : 0);
    ChkClock.setValue(current_.clock ? 1 : 0);
    (current_.blurBars ? OptBlurBars : OptColorBars).setValue(1);
    ChkMotion.setValue(current_.motion ? 1 : 0);
}

CaptionChoice frmCaptions::Chosen() const {
    std::vector<CaptionWord> ticked;
    if (ChkDate.Value()) ticked.push_back(CaptionWord::Date);
    if (ChkPlace.Value()) ticked.push_back(CaptionWord::Place);
    if (ChkFolder.Value()) ticked.push_back(CaptionWord::Folder);
    if (ChkName.Value()) ticked.push_back(CaptionWord::Name);
    CaptionChoice c;
    c.words = OrderCaptionWords(current_.words, ticked);
    c.clock = ChkClock.Value() != 0;
    c.blurBars = OptBlurBars.Value() != 0;
    c.motion = ChkMotion.Value() != 0;
    return c;
}

void frmCaptions::CmdOK_Click() {
    const CaptionChoice chosen = Chosen();
    Unload();
    if (onOK_) onOK_(chosen);
}

void frmCaptions::CmdCancel_Click() { Unload(); }

}  // namespace mv
