#include "platform/win32/win_dialog_windowless.h"

#include <algorithm>

#include "platform/ui/controls/label.h"
#include "platform/ui/controls/line.h"
#include "platform/ui/controls/shape.h"
#include "platform/ui/text_wrap.h"
#include "platform/win32/win_colors.h"
#include "platform/win32/win_dialog_fonts.h"
#include "platform/win32/win_input.h"
#include "platform/win32/win_text.h"

namespace mv::win32 {
namespace {

class WindowlessNode : public ControlNode {
public:
    using ControlNode::ControlNode;

    // Its container repaints the place, with a margin for a wide pen.
    void refresh() override {
        if (!item_.control) return;
        RECT r = rect();
        InflateRect(&r, 4, 4);
        if (surface()) InvalidateRect(surface(), &r, FALSE);
    }
};

class LabelNode : public WindowlessNode {
public:
    using WindowlessNode::WindowlessNode;

    void create() override {
        const RECT r = rect();
        site_.fonts().fit(row_, widen(item_.caption), r.right - r.left, r.bottom - r.top, true);
    }

    void paint(HDC dc) const override {
        const auto* label = static_cast<const Label*>(item_.control);
        const std::wstring text = widen(label ? label->Caption() : item_.caption);
        const RECT r = rect();
        HGDIOBJ old = SelectObject(dc, site_.fonts().of(row_));
        SetTextColor(dc, toColorRef(label ? label->ForeColor() : item_.foreColor, COLOR_BTNTEXT));
        TEXTMETRICW tm{};
        GetTextMetricsW(dc, &tm);
        const auto measure = [dc](const std::wstring& s) { return textWidth(dc, s); };
        // Clipped to the label, as a label never draws outside itself.
        const int saved = SaveDC(dc);
        IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
        int y = r.top;
        for (const auto& line : wrapText(text, r.right - r.left, measure)) {
            if (y >= r.bottom) break;
            TextOutW(dc, r.left, y, line.c_str(), static_cast<int>(line.size()));
            y += tm.tmHeight;
        }
        RestoreDC(dc, saved);
        SelectObject(dc, old);
    }

    bool hits(POINT p) const override {
        const Control* c = item_.control;
        if (!c || !c->Visible()) return false;
        const RECT r = rect();
        return PtInRect(&r, p);
    }

    void mouse(bool down, Buttons button, POINT p) override {
        auto* label = static_cast<Label*>(item_.control);
        const RECT r = rect();
        input::labelButton(*label, site_.platform(), down, button, modifiers(), p.x - r.left, p.y - r.top);
    }
};

class ShapeNode : public WindowlessNode {
public:
    using WindowlessNode::WindowlessNode;

    void paint(HDC dc) const override {
        const auto* shape = static_cast<const Shape*>(item_.control);
        const RECT r = rect();
        HBRUSH fill = CreateSolidBrush(toColorRef(shape ? shape->FillColor() : item_.backColor, COLOR_WINDOW));
        HPEN pen = CreatePen(PS_SOLID, 1, toColorRef(shape ? shape->BorderColor() : item_.borderColor, COLOR_WINDOWTEXT));
        HGDIOBJ oldBrush = SelectObject(dc, fill), oldPen = SelectObject(dc, pen);
        Rectangle(dc, r.left, r.top, r.right, r.bottom);
        SelectObject(dc, oldBrush);
        SelectObject(dc, oldPen);
        DeleteObject(fill);
        DeleteObject(pen);
    }
};

class LineNode : public WindowlessNode {
public:
    using WindowlessNode::WindowlessNode;

    void paint(HDC dc) const override {
        const auto* line = static_cast<const Line*>(item_.control);
        const RECT r = rect();
        const int width = std::max(1, line ? line->BorderWidth : item_.borderWidth);
        HPEN pen = CreatePen(PS_SOLID, width, toColorRef(line ? line->BorderColor() : item_.borderColor, COLOR_WINDOWTEXT));
        HGDIOBJ old = SelectObject(dc, pen);
        MoveToEx(dc, r.left, r.top, nullptr);
        LineTo(dc, r.right, r.bottom);
        SelectObject(dc, old);
        DeleteObject(pen);
    }
};

}  // namespace

std::unique_ptr<ControlNode> makeLabelNode(DialogSite& site, const LayoutItem& item, size_t row) {
    return std::make_unique<LabelNode>(site, item, row);
}

std::unique_ptr<ControlNode> makeShapeNode(DialogSite& site, const LayoutItem& item, size_t row) {
    return std::make_unique<ShapeNode>(site, item, row);
}

std::unique_ptr<ControlNode> makeLineNode(DialogSite& site, const LayoutItem& item, size_t row) {
    return std::make_unique<LineNode>(site, item, row);
}

}  // namespace mv::win32
