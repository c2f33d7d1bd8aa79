#pragma once
// A dialog's design as plain data: one row per control, which a backend turns into native
// widgets. Positions and sizes are in twips from the top-left corner of the container.
#include <cstdint>
#include <string>
#include <vector>

namespace mv {

class Control;

enum class ControlKind { TabStrip, CommandButton, Label, Frame, TextBox, PictureBox, HScrollBar, VScrollBar, Shape, Line, CheckBox };

// Colour fields hold 0x00BBGGRR, a system colour 0x800000nn, or kDefaultColor (the kind's usual).
inline constexpr int32_t kDefaultColor = -1;
inline constexpr bool isSystemColor(int32_t c) {
    return c != kDefaultColor && (static_cast<uint32_t>(c) & 0xFFFFFF00u) == 0x80000000u;
}
inline constexpr int systemColorIndex(int32_t c) { return static_cast<int>(static_cast<uint32_t>(c) & 0xFFu); }
// The system colour indexes the dialogs use.
inline constexpr int kSysWindowText = 8;
inline constexpr int kSysButtonFace = 15;
inline constexpr int kSysButtonText = 18;

struct FontSpec {
    std::string family;    // empty: the platform's dialog font
    double pointSize = 0;  // 0: the dialog font's size
    bool bold = false;
};

enum LayoutFlag : unsigned {
    kHidden = 1u << 0,      // not shown at creation
    kHandCursor = 1u << 1,  // the pointing-hand cursor while the mouse is over it
    kOptionButton = 1u << 2,  // a check box drawn as an option button: one choice of a group
};

struct ScrollDesign {
    int min = 0, max = 0, smallChange = 1, largeChange = 1, value = 0;
};

struct LayoutItem {
    ControlKind kind = ControlKind::Label;
    std::string name;
    std::string container;  // empty: the window's client area
    int page = -1;          // a tab strip's child: the tab whose page holds it
    // Twips. A line runs from (left, top) to (left + width, top + height); either may be negative.
    long left = 0, top = 0, width = 0, height = 0;
    int tabIndex = -1;  // place in the keyboard tab order, lower first; -1: never takes the focus
    std::string caption;              // caption, or a text box's text
    std::vector<std::string> tabs;    // a tab strip's tab captions
    long tabHeight = 0;               // a tab strip's tab row height
    int32_t foreColor = kDefaultColor;
    int32_t backColor = kDefaultColor;  // a shape's fill colour
    int32_t borderColor = kDefaultColor;
    int borderWidth = 1;
    FontSpec font;
    unsigned flags = 0;
    int maxLength = 0;  // characters the user may type into a text box, 0 for no limit
    ScrollDesign scroll;
    Control* control = nullptr;  // the model this row shows
};

struct Layout {
    long clientWidth = 0, clientHeight = 0;  // twips
    int32_t backColor = kDefaultColor;
    // A dialog opened from another: the program's other windows take no input while it is open,
    // and Escape closes it as its close box does.
    bool modal = false;
    // Creation order: a container comes before its contents, and later rows lie above earlier
    // ones of the same container.
    std::vector<LayoutItem> items;

    const LayoutItem* find(const std::string& name) const;
    // The tab strip page a row lies on (through its containers), -1 when on none.
    int pageOf(const LayoutItem& item) const;
};

// One row of a design: a control with its container, place and size in twips, its place in
// the tab order (-1: none) and its caption; the other design values keep their defaults.
LayoutItem layoutRow(ControlKind kind, Control& control, const std::string& container, long left, long top, long width,
                     long height, int tabIndex, std::string caption = {});

// Puts every row's design values (captions, texts, colours, positions, visibility) into its
// model. Runs before any handler is attached, so no change event fires.
void applyDesign(const Layout& layout);

}  // namespace mv
