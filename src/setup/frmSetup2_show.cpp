// The "Show" tab: how the picture meets the shape of the screen and the monitors.
#include <initializer_list>
#include <utility>

#include "setup/frmSetup2.h"

namespace mv {

namespace {

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
    for (CheckBox* box : {&OptEach, &OptSpan}) box->onClick = [this, box] { choose(*box, {&OptEach, &OptSpan}); };
}

void frmSetup2::ShowPlacement(const PlacementSetting& setting) {
    const PicturePlacement p = setting.placement;
    (p == PicturePlacement::Fit ? OptFit : p == PicturePlacement::Fill ? OptFill : OptStretch).setValue(1);
    // A different picture on each monitor is chosen in the store; neither box then shows it, and
    // it stays until one of them is clicked.
    auto each = std::move(OptEach.onClick), span = std::move(OptSpan.onClick);
    OptEach.setValue(setting.monitors == Monitors::Each ? 1 : 0);
    OptSpan.setValue(setting.monitors == Monitors::Span ? 1 : 0);
    OptEach.onClick = std::move(each);
    OptSpan.onClick = std::move(span);
}

PlacementSetting frmSetup2::ChosenPlacement() const {
    PlacementSetting s;
    if (OptFit.Value()) s.placement = PicturePlacement::Fit;
    if (OptFill.Value()) s.placement = PicturePlacement::Fill;
    if (OptSpan.Value()) s.monitors = Monitors::Span;
    if (!OptEach.Value() && !OptSpan.Value()) s.monitors = Monitors::Different;
    return s;
}

}  // namespace mv
