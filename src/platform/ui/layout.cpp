#include "platform/ui/layout.h"

#include <utility>

#include "platform/ui/controls/checkbox.h"
#include "platform/ui/controls/commandbutton.h"
#include "platform/ui/controls/frame.h"
#include "platform/ui/controls/label.h"
#include "platform/ui/controls/line.h"
#include "platform/ui/controls/picturebox.h"
#include "platform/ui/controls/scrollbar.h"
#include "platform/ui/controls/shape.h"
#include "platform/ui/controls/tabstrip.h"
#include "platform/ui/controls/textbox.h"

namespace mv {

LayoutItem layoutRow(ControlKind kind, Control& control, const std::string& container, long left, long top, long width,
                     long height, int tabIndex, std::string caption) {
    LayoutItem i;
    i.kind = kind;
    i.control = &control;
    i.name = control.name();
    i.container = container;
    i.left = left;
    i.top = top;
    i.width = width;
    i.height = height;
    i.tabIndex = tabIndex;
    i.caption = std::move(caption);
    return i;
}

const LayoutItem* Layout::find(const std::string& name) const {
    for (const auto& item : items)
        if (item.name == name) return &item;
    return nullptr;
}

int Layout::pageOf(const LayoutItem& item) const {
    const LayoutItem* at = &item;
    // Containers nest a few levels at most; the bound guards against a table naming itself.
    for (size_t depth = 0; at && depth <= items.size(); ++depth) {
        if (at->page >= 0) return at->page;
        if (at->container.empty()) return -1;
        at = find(at->container);
    }
    return -1;
}

void applyDesign(const Layout& layout) {
    for (const auto& item : layout.items) {
        Control* c = item.control;
        if (!c) continue;
        c->setVisible((item.flags & kHidden) == 0);
        switch (item.kind) {
            case ControlKind::TabStrip:
                static_cast<TabStrip*>(c)->setTabCaptions(item.tabs);
                break;
            case ControlKind::CommandButton:
                static_cast<CommandButton*>(c)->setCaption(item.caption);
                break;
            case ControlKind::Label: {
                auto* label = static_cast<Label*>(c);
                label->setCaption(item.caption);
                if (item.foreColor != kDefaultColor) label->setForeColor(item.foreColor);
                break;
            }
            case ControlKind::Frame:
                static_cast<Frame*>(c)->setCaption(item.caption);
                break;
            case ControlKind::TextBox: {
                auto* box = static_cast<TextBox*>(c);
                box->setText(item.caption);
                box->MaxLength = item.maxLength;
                break;
            }
            case ControlKind::PictureBox:
                if (item.backColor != kDefaultColor) static_cast<PictureBox*>(c)->setBackColor(item.backColor);
                break;
            case ControlKind::HScrollBar:
            case ControlKind::VScrollBar: {
                auto* bar = static_cast<ScrollBar*>(c);
                bar->setRange(item.scroll.min, item.scroll.max);
                bar->setSteps(item.scroll.smallChange, item.scroll.largeChange);
                bar->setValue(item.scroll.value);
                break;
            }
            case ControlKind::Shape: {
                auto* shape = static_cast<Shape*>(c);
                if (item.backColor != kDefaultColor) shape->setFillColor(item.backColor);
                if (item.borderColor != kDefaultColor) shape->setBorderColor(item.borderColor);
                break;
            }
            case ControlKind::Line: {
                auto* line = static_cast<Line*>(c);
                if (item.borderColor != kDefaultColor) line->setBorderColor(item.borderColor);
                line->BorderWidth = item.borderWidth;
                break;
            }
            case ControlKind::CheckBox:
                static_cast<CheckBox*>(c)->setCaption(item.caption);
                break;
        }
    }
}

}  // namespace mv
