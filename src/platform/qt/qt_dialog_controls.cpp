#include "platform/qt/qt_dialog_controls.h"

#include <QCheckBox>
#include <QRadioButton>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <algorithm>

#include "platform/qt/qt_colors.h"
#include "platform/qt/qt_dialog_fonts.h"
#include "platform/qt/qt_dialog_widgets.h"
#include "platform/qt/qt_hand_cursor.h"
#include "platform/ui/controls/checkbox.h"
#include "platform/ui/controls/commandbutton.h"
#include "platform/ui/controls/frame.h"
#include "platform/ui/controls/scrollbar.h"
#include "platform/ui/controls/textbox.h"

namespace mv::qt {

void setColor(QWidget* w, QPalette::ColorRole role, int32_t color, QPalette::ColorRole fallback) {
    QPalette pal = w->palette();
    pal.setColor(role, toQColor(color, pal, fallback));
    w->setPalette(pal);
}

void syncCommon(QWidget* w, const Control& c) {
    w->setEnabled(c.Enabled());
    w->setVisible(c.Visible());
}

namespace {

Built makeButton(const ControlContext& c) {
    auto& m = *static_cast<CommandButton*>(c.item.control);
    auto* b = new QPushButton(c.parent);
    b->setAutoDefault(false);
    b->setDefault(false);
    b->setFocusPolicy(Qt::StrongFocus);
    b->setGeometry(c.rect);
    b->setFont(fittingFont(c.font, QString::fromStdString(c.item.caption), c.rect.width() - 8, c.rect.height() - 2, false));
    QObject::connect(b, &QPushButton::clicked, b, [&m] { m.press(); });
    std::function<void()> refresh = [b, &m] {
        b->setText(QString::fromStdString(m.Caption()));
        syncCommon(b, m);
    };
    return {b, refresh};
}

Built makeLabel(const ControlContext& c) {
    auto& m = *static_cast<Label*>(c.item.control);
    auto* l = new ModelLabel(m, c.platform, c.parent);
    l->setGeometry(c.rect);
    l->setFont(fittingFont(c.font, QString::fromStdString(c.item.caption), c.rect.width(), c.rect.height(), true));
    if (c.item.flags & kHandCursor) l->setCursor(handQCursor());
    std::function<void()> refresh = [l, &m] {
        l->setText(QString::fromStdString(m.Caption()));
        setColor(l, QPalette::WindowText, m.ForeColor(), QPalette::WindowText);
        syncCommon(l, m);
    };
    return {l, refresh};
}

Built makeFrame(const ControlContext& c) {
    auto& m = *static_cast<Frame*>(c.item.control);
    auto* g = new FrameBox(c.parent);
    g->setGeometry(c.rect);
    g->setFont(fittingFont(c.font, QString::fromStdString(c.item.caption), c.rect.width() - 20, c.rect.height(), false));
    g->setFocusPolicy(Qt::NoFocus);
    std::function<void()> refresh = [g, &m] {
        g->setTitle(QString::fromStdString(m.Caption()));
        syncCommon(g, m);
    };
    return {g, refresh};
}

Built makeTextBox(const ControlContext& c) {
    auto& m = *static_cast<TextBox*>(c.item.control);
    auto* e = new QLineEdit(c.parent);
    e->setGeometry(c.rect);
    e->setFont(c.font);
    e->setTextMargins(1, 0, 1, 0);
    // The typing limit is the model's: code may still set longer texts.
    QObject::connect(e, &QLineEdit::textEdited, e, [e, &m](const QString& typed) {
        const QString before = QString::fromStdString(m.Text());
        if (m.MaxLength > 0 && typed.size() > m.MaxLength && typed.size() > before.size()) {
            e->setText(before);
            return;
        }
        m.setText(typed.toStdString());
    });
    std::function<void()> refresh = [e, &m] {
        const QString text = QString::fromStdString(m.Text());
        if (e->text() != text) e->setText(text);
        syncCommon(e, m);
    };
    return {e, refresh};
}

Built makePictureBox(const ControlContext& c) {
    auto& m = *static_cast<PictureBox*>(c.item.control);
    auto* box = new ColorBox(m, c.parent);
    box->setGeometry(c.rect);
    std::function<void()> refresh = [box, &m] {
        box->update();
        syncCommon(box, m);
    };
    return {box, refresh};
}

Built makeScrollBar(const ControlContext& c) {
    auto& m = *static_cast<ScrollBar*>(c.item.control);
    auto* s = new QScrollBar(c.item.kind == ControlKind::HScrollBar ? Qt::Horizontal : Qt::Vertical, c.parent);
    s->setGeometry(c.rect);
    s->setFocusPolicy(Qt::StrongFocus);
    // The position changes when a drag ends, not while the thumb moves.
    s->setTracking(false);
    QObject::connect(s, &QScrollBar::valueChanged, s, [&m](int v) {
        if (v != m.Value()) m.setValue(v);
    });
    std::function<void()> refresh = [s, &m] {
        const QSignalBlocker quiet(s);
        const bool reversed = m.Min() > m.Max();
        s->setRange(std::min(m.Min(), m.Max()), std::max(m.Min(), m.Max()));
        s->setInvertedAppearance(reversed);
        s->setInvertedControls(reversed);
        s->setSingleStep(m.SmallChange());
        s->setPageStep(m.LargeChange());
        s->setValue(m.Value());
        syncCommon(s, m);
    };
    return {s, refresh};
}

Built makeShape(const ControlContext& c) {
    auto& m = *static_cast<Shape*>(c.item.control);
    auto* sh = new ShapeWidget(m, c.parent);
    sh->setGeometry(c.rect);
    std::function<void()> refresh = [sh, &m] {
        sh->update();
        syncCommon(sh, m);
    };
    return {sh, refresh};
}

Built makeLine(const ControlContext& c) {
    auto& m = *static_cast<Line*>(c.item.control);
    const QPoint from(c.units.pixelsX(c.item.left), c.units.pixelsY(c.item.top));
    const QPoint to(c.units.pixelsX(c.item.left + c.item.width), c.units.pixelsY(c.item.top + c.item.height));
    auto* ln = new LineWidget(m, from, to, c.item.borderWidth, c.parent);
    std::function<void()> refresh = [ln, &m] {
        ln->update();
        syncCommon(ln, m);
    };
    return {ln, refresh};
}

Built makeCheckBox(const ControlContext& c) {
    auto& m = *static_cast<CheckBox*>(c.item.control);
    // An option button leaves its group to the model, which keeps one of them chosen.
    QAbstractButton* box = nullptr;
    if (c.item.flags & kOptionButton) {
        auto* option = new QRadioButton(c.parent);
        option->setAutoExclusive(false);
        box = option;
    } else {
        box = new QCheckBox(c.parent);
    }
    box->setGeometry(c.rect);
    box->setFont(c.font);
    box->setFocusPolicy(Qt::StrongFocus);
    QObject::connect(box, &QAbstractButton::toggled, box, [&m](bool on) { m.setValue(on ? 1 : 0); });
    std::function<void()> refresh = [box, &m] {
        const QSignalBlocker quiet(box);
        box->setText(QString::fromStdString(m.Caption()));
        box->setChecked(m.Value() != 0);
        syncCommon(box, m);
    };
    return {box, refresh};
}

}  // namespace

ControlMaker controlMaker(ControlKind kind) {
    switch (kind) {
        case ControlKind::TabStrip: return nullptr;
        case ControlKind::CommandButton: return makeButton;
        case ControlKind::Label: return makeLabel;
        case ControlKind::Frame: return makeFrame;
        case ControlKind::TextBox: return makeTextBox;
        case ControlKind::PictureBox: return makePictureBox;
        case ControlKind::HScrollBar:
        case ControlKind::VScrollBar: return makeScrollBar;
        case ControlKind::Shape: return makeShape;
        case ControlKind::Line: return makeLine;
        case ControlKind::CheckBox: return makeCheckBox;
    }
    return nullptr;
}

}  // namespace mv::qt
