// The "Show" tab: how the picture meets the shape of the screen and the monitors, and how the
// pictures of a folder take turns.
#include <initializer_list>

#include "platform/platform.h"
#include "settings/number_text.h"
#include "settings/slideshow_text.h"
#include "setup/frmSetup2.h"
#include "setup/option_group.h"
#include "startup/app.h"

namespace mv {

namespace {

constexpr int kShowTab = 5;

}  // namespace

void frmSetup2::BindPlacementOptions() {
    // What the store holds when it names no placement, until Form_Load shows what it does.
    OptStretch.setValue(1);
    OptEach.setValue(1);
    for (CheckBox* box : {&OptStretch, &OptFit, &OptFill})
        box->onClick = [this, box] { ChooseInGroup(*box, {&OptStretch, &OptFit, &OptFill}); };
    for (CheckBox* box : {&OptEach, &OptSpan, &OptDifferent})
        box->onClick = [this, box] { ChooseInGroup(*box, {&OptEach, &OptSpan, &OptDifferent}); };
    // The "File" box may have changed, or what it names, since the line was last brought up.
    SSTab1.onClick = [this] {
        if (SSTab1.Tab() == kShowTab) ShowFolderLine();
    };
}

void frmSetup2::ShowFolderLine() { LabelFolder.setCaption(FolderLine(txFile.Text())); }

void frmSetup2::ShowPlacement(const PlacementSetting& setting) {
    const PicturePlacement p = setting.placement;
    // A whole picture on a blurred copy is "Whole picture" here, its bars chosen in the small dialog.
    const bool whole = p == PicturePlacement::Fit || p == PicturePlacement::Blur;
    captions_.blurBars = p == PicturePlacement::Blur;
    (whole ? OptFit : p == PicturePlacement::Fill ? OptFill : OptStretch).setValue(1);
    const Monitors m = setting.monitors;
    (m == Monitors::Span ? OptSpan : m == Monitors::Different ? OptDifferent : OptEach).setValue(1);
}

PlacementSetting frmSetup2::ChosenPlacement() const {
    PlacementSetting s;
    if (OptFit.Value()) s.placement = captions_.blurBars ? PicturePlacement::Blur : PicturePlacement::Fit;
    if (OptFill.Value()) s.placement = PicturePlacement::Fill;
    if (OptSpan.Value()) s.monitors = Monitors::Span;
    if (OptDifferent.Value()) s.monitors = Monitors::Different;
    return s;
}

void frmSetup2::ShowSlideshow(const SlideshowSetting& setting) {
    TxtInterval.setText(IntText(setting.intervalSeconds));
    ChkShuffle.setValue(setting.shuffle ? 1 : 0);
    ChkFade.setValue(setting.fade ? 1 : 0);
    ChkSubfolders.setValue(setting.subfolders ? 1 : 0);
}

// The interval is kept in range when saved, not while typed: a field that corrected "1" to "2"
// at the first key would turn a typed 120 into 220.
void frmSetup2::ShowCaption(const CaptionSetting& setting) {
    captions_.words = setting.words;
    captions_.clock = setting.clock;
}

void frmSetup2::CmdCaptions_Click() {
    if (!captionsForm_)
        captionsForm_ = std::make_unique<frmCaptions>(app_.platform, [this](const CaptionChoice& c) { TakeCaptions(c); });
    captionsForm_->Open(captions_, *this);
}

void frmSetup2::TakeCaptions(const CaptionChoice& chosen) {
    // Asking for a blurred copy asks for a whole picture to lie on it.
    if (chosen.blurBars && !captions_.blurBars) OptFit.setValue(1);
    captions_ = chosen;
}

SlideshowSetting frmSetup2::ChosenSlideshow() const {
    SlideshowSetting s;
    s.intervalSeconds = IntervalFromText(TxtInterval.Text());
    s.shuffle = ChkShuffle.Value() != 0;
    s.fade = ChkFade.Value() != 0;
    s.subfolders = ChkSubfolders.Value() != 0;
    return s;
}

}  // namespace mv
