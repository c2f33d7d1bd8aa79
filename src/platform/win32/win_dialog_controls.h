#pragma once
// The rows of a dialog built from a layout table, one small class per control kind: each makes
// its row's native window (the windowless kinds make none), shows its model there, hands the
// user's input on to the model and paints what the row draws itself.
#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "platform/ui/dialog_geometry.h"
#include "platform/ui/form_input.h"
#include "platform/ui/layout.h"

namespace mv {
class Platform;
}

namespace mv::win32 {

class DialogFonts;

// The class of the dialog's own plain windows: the dialog itself, the tab pages, frames and
// picture boxes. They paint the windowless rows placed on them and pass their children's
// notifications to the dialog.
inline constexpr wchar_t kSurfaceClass[] = L"MarvoscopeSurface";

// What a row asks of the dialog it lies in.
class DialogSite {
public:
    virtual ~DialogSite() = default;
    virtual const Units& units() const = 0;
    virtual DialogFonts& fonts() = 0;
    virtual Platform& platform() = 0;
    // The row's child window at the row's place on its surface, in the row's font.
    virtual HWND makeChild(size_t row, const wchar_t* cls, DWORD style, DWORD exStyle,
                           const std::wstring& text = {}) = 0;
    // A page of a tab strip row: a plain surface over the strip's display area.
    virtual HWND makePage(size_t strip, HWND parent, const RECT& area) = 0;
    // The colour a surface's background is filled with.
    virtual COLORREF surfaceColor(HWND surface) const = 0;

    // Set while the program writes into the native controls: their echoes are not the user's input.
    bool syncing = false;
};

// Where a row goes: the window it is placed on (or painted on), and the pixel offset of its
// container's origin on that window.
struct Placement {
    HWND surface = nullptr;
    int dx = 0, dy = 0;
};

class ControlNode {
public:
    ControlNode(DialogSite& site, const LayoutItem& item, size_t row) : site_(site), item_(item), row_(row) {}
    virtual ~ControlNode() = default;
    ControlNode(const ControlNode&) = delete;
    ControlNode& operator=(const ControlNode&) = delete;

    const LayoutItem& item() const { return item_; }
    HWND window() const { return hwnd_; }  // null for a windowless row
    HWND surface() const { return place_.surface; }
    void place(const Placement& placement) { place_ = placement; }
    // The row's rectangle in its surface's pixels.
    RECT rect() const;

    // Makes the row's native side, once it is placed.
    virtual void create() {}
    // Brings the native side up to date with the model.
    virtual void refresh() = 0;
    // A notification from the row's window (WM_COMMAND, WM_HSCROLL, WM_VSCROLL or WM_NOTIFY);
    // only called for a row with a model.
    virtual void command(UINT /*msg*/, WPARAM /*wp*/, LPARAM /*lp*/) {}
    // Draws what the row draws itself: a windowless row on its surface, beneath the windowed
    // controls there; a container the decoration of its own window, beneath its contents.
    virtual void paint(HDC /*dc*/) const {}
    // Where a row this one contains goes; a null surface leaves it on the dialog's client area.
    virtual Placement placementOf(const LayoutItem& /*content*/) const { return {hwnd_}; }
    // A colour of the row's own that its window is filled with.
    virtual std::optional<COLORREF> backColor() const { return std::nullopt; }
    // Whether the mouse at p (surface pixels) is over this row for its clicks.
    virtual bool hits(POINT /*p*/) const { return false; }
    // A press (or the release of a press) that hits() gave to this row. May close the dialog.
    virtual void mouse(bool /*down*/, Buttons /*button*/, POINT /*p*/) {}
    // The Tab key has just moved the focus here.
    virtual void tabbedInto() {}

protected:
    DialogSite& site_;
    const LayoutItem& item_;
    const size_t row_;
    HWND hwnd_ = nullptr;
    Placement place_;
};

std::unique_ptr<ControlNode> makeControlNode(DialogSite& site, const LayoutItem& item, size_t row);

}  // namespace mv::win32
