// The "Show" tab: how the picture meets the shape of the screen and the monitors, and how the
// pictures of a folder take turns.
#include <initializer_list>

#include "settings/number_text.h"
#include "settings/slideshow_text.h"
#include "setup/frmSetup2.h"

namespace mv {

namespace {

constexpr int kShowTab = 5;

// Clicking a box of a group chooses it: the others are cleared, and a chosen one stays chosen.
void choose(CheckBox& clicked, std::initializer_list<CheckBox*> group) {
    if (clicked.Value() == 0) {
        bool another = false;
        for (CheckBox* box : group) another = another || (box != &clicked && box->Value() != 0);
        if (!another) clicked.setValue(1);
        return;
    }
    for (CheckBox* box : group)
        if (box != &clicked) box->setValue(0);
}

}  // namespace

void frmSetup2::BindPlacementOptions() {
    // What the store holds when it names no placement, until Form_Load shows what it does.
    OptStretch.setValue(1);
    OptEach.setValue(1);
    for (CheckBox* box : {&OptStretch, &OptFit, &OptFill})
        box->onClick = [this, box] { choose(*box, {&OptStretch, &OptFit, &OptFill}); };
    for (CheckBox* box : {&OptEach, &OptSpan, &OptDifferent})
        box->onClick = [this, box] { choose(*box, {&OptEach, &OptSpan, &OptDifferent}); };
    // The "File" box may have changed, or what it names, since the line was last brought up.
    SSTab1.onClick = [this] {
        if (SSTab1.Tab() == kShowTab) ShowFolderLine();
    };
}

void frmSetup2::ShowFolderLine() { LabelFolder.setCaption(FolderLine(txFile.Text())); }

void frmSetup2::ShowPlacement(const PlacementSetting& setting) {
    const PicturePlacement p = setting.placement;
    (p == PicturePlacement::Fit ? OptFit : p == PicturePlacement::Fill ? OptFill : OptStretch).setValue(1);
    const Monitors m = setting.monitors;
    (m == Monitors::Span ? OptSpan : m == Monitors::Different ? OptDifferent : OptEach).setValue(1);
}

PlacementSetting frmSetup2::ChosenPlacement() const {
    PlacementSetting s;
    if (OptFit.Value()) s.placement = PicturePlacement::Fit;
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
SlideshowSetting frmSetup2::ChosenSlideshow() const {
    SlideshowSetting s;
    s.intervalSeconds = IntervalFromText(TxtInterval.Text());
    s.shuffle = ChkShuffle.Value() != 0;
    s.fade = ChkFade.Value() != 0;
    s.subfolders = ChkSubfolders.Value() != 0;
    return s;
}

}  // namespace mv
