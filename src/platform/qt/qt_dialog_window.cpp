#include "qt_dialog_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <algorithm>
#include <cmath>

#include "platform/controls/checkbox.h"
#include "platform/controls/commandbutton.h"
#include "platform/controls/frame.h"
#include "platform/controls/scrollbar.h"
#include "platform/controls/tabstrip.h"
#include "platform/controls/textbox.h"
#include "platform/platform.h"
#include "qt_colors.h"
#include "qt_dialog_fonts.h"
#include "qt_dialog_widgets.h"
#include "qt_hand_cursor.h"

namespace mv::qt {

namespace {

void setColor(QWidget* w, QPalette::ColorRole role, int32_t color, QPalette::ColorRole fallback) {
    QPalette pal = w->palette();
    pal.setColor(role, toQColor(color, pal, fallback));
    w->setPalette(pal);
}

// Keeps a widget's visibility and enabled state with its model's.
void syncCommon(QWidget* w, const Control& c) {
    w->setEnabled(c.Enabled());
    w->setVisible(c.Visible());
}

}  // namespace

DialogWindow::DialogWindow(Form& form)
    : QWidget(nullptr), form_(form), scale_{form.platform().twipsPerPixelX(), form.platform().twipsPerPixelY()} {
    setObjectName(QString::fromStdString(form.Caption()));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFont(dialogFont());
    const Layout& layout = *form.layout();
    setFixedSize(scale_.x(layout.clientWidth), scale_.y(layout.clientHeight));
    setColor(this, QPalette::Window, layout.backColor, QPalette::Window);
    setAutoFillBackground(true);
    build(layout);
    syncFromForm();
}

DialogWindow::~DialogWindow() = default;

QRect DialogWindow::pixels(const LayoutItem& item) const {
    const dialog::PixelRect r = dialog::rectOf(item, scale_);
    return QRect(r.left, r.top, r.width, r.height);
}

QWidget* DialogWindow::widget(const std::string& name) const {
    auto it = widgets_.find(name);
    return it == widgets_.end() ? nullptr : it->second;
}

QWidget* DialogWindow::parentFor(const LayoutItem& item) const {
    if (item.container.empty()) return const_cast<DialogWindow*>(this);
    auto pages = pages_.find(item.container);
    if (pages != pages_.end() && item.page >= 0 && item.page < static_cast<int>(pages->second.size()))
        return pages->second[static_cast<size_t>(item.page)];
    QWidget* container = widget(item.container);
    return container ? container : const_cast<DialogWindow*>(this);
}

QFont DialogWindow::fontFor(const LayoutItem& item) const {
    QFont f = font();
    if (!item.font.family.empty()) f.setFamily(QString::fromStdString(item.font.family));
    if (item.font.pointSize > 0) f.setPointSizeF(item.font.pointSize);
    f.setBold(item.font.bold);
    return f;
}

void DialogWindow::build(const Layout& layout) {
    for (const auto& item : layout.items) {
        QWidget* parent = parentFor(item);
        QWidget* w = makeWidget(item, parent);
        if (!w) continue;
        w->setObjectName(QString::fromStdString(item.name));
        widgets_[item.name] = w;
    }
    for (auto it = layout.items.rbegin(); it != layout.items.rend(); ++it)
        if (QWidget* w = dialog::isWindowless(it->kind) ? widget(it->name) : nullptr) w->lower();
    for (size_t i : dialog::tabOrder(layout)) {
        const std::string& name = layout.items[i].name;
        const auto target = focusTargets_.find(name);
        QWidget* w = target != focusTargets_.end() ? target->second : widget(name);
        if (w && w->focusPolicy() != Qt::NoFocus) tabOrder_.push_back(w);
    }
    for (size_t i = 1; i < tabOrder_.size(); ++i) QWidget::setTabOrder(tabOrder_[i - 1], tabOrder_[i]);
}

QWidget* DialogWindow::makeWidget(const LayoutItem& item, QWidget* parent) {
    const QRect r = pixels(item);
    const QFont font = fontFor(item);
    Control* model = item.control;
    QWidget* made = nullptr;
    std::function<void()> refresh;

    switch (item.kind) {
        case ControlKind::TabStrip: {
            auto* strip = new QWidget(parent);
            strip->setGeometry(r);
            strip->setFont(font);
            bindTabStrip(item, strip);
            return strip;
        }
        case ControlKind::CommandButton: {
            auto& m = *static_cast<CommandButton*>(model);
            auto* b = new QPushButton(parent);
            b->setAutoDefault(false);
            b->setDefault(false);
            b->setFocusPolicy(Qt::StrongFocus);
            b->setGeometry(r);
            b->setFont(fittingFont(font, QString::fromStdString(item.caption), r.width() - 8, r.height() - 2, false));
            QObject::connect(b, &QPushButton::clicked, b, [&m] { m.press(); });
            refresh = [b, &m] {
                b->setText(QString::fromStdString(m.Caption()));
                syncCommon(b, m);
            };
            made = b;
            break;
        }
        case ControlKind::Label: {
            auto& m = *static_cast<Label*>(model);
            auto* l = new ModelLabel(m, form_.platform(), parent);
            l->setGeometry(r);
            l->setFont(fittingFont(font, QString::fromStdString(item.caption), r.width(), r.height(), true));
            if (item.flags & kHandCursor) l->setCursor(handQCursor());
            refresh = [l, &m] {
                l->setText(QString::fromStdString(m.Caption()));
                setColor(l, QPalette::WindowText, m.ForeColor(), QPalette::WindowText);
                syncCommon(l, m);
            };
            made = l;
            break;
        }
        case ControlKind::Frame: {
            auto& m = *static_cast<Frame*>(model);
            auto* g = new FrameBox(parent);
            g->setGeometry(r);
            g->setFont(fittingFont(font, QString::fromStdString(item.caption), r.width() - 20, r.height(), false));
            g->setFocusPolicy(Qt::NoFocus);
            refresh = [g, &m] {
                g->setTitle(QString::fromStdString(m.Caption()));
                syncCommon(g, m);
            };
            made = g;
            break;
        }
        case ControlKind::TextBox: {
            auto& m = *static_cast<TextBox*>(model);
            auto* e = new QLineEdit(parent);
            e->setGeometry(r);
            e->setFont(font);
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
            refresh = [e, &m] {
                const QString text = QString::fromStdString(m.Text());
                if (e->text() != text) e->setText(text);
                syncCommon(e, m);
            };
            made = e;
            break;
        }
        case ControlKind::PictureBox: {
            auto& m = *static_cast<PictureBox*>(model);
            auto* box = new ColorBox(m, parent);
            box->setGeometry(r);
            refresh = [box, &m] {
                box->update();
                syncCommon(box, m);
            };
            made = box;
            break;
        }
        case ControlKind::HScrollBar:
        case ControlKind::VScrollBar: {
            auto& m = *static_cast<ScrollBar*>(model);
            auto* s = new QScrollBar(item.kind == ControlKind::HScrollBar ? Qt::Horizontal : Qt::Vertical, parent);
            s->setGeometry(r);
            s->setFocusPolicy(Qt::StrongFocus);
            // The position changes when a drag ends, not while the thumb moves.
            s->setTracking(false);
            QObject::connect(s, &QScrollBar::valueChanged, s, [&m](int v) {
                if (v != m.Value()) m.setValue(v);
            });
            refresh = [s, &m] {
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
            made = s;
            break;
        }
        case ControlKind::Shape: {
            auto& m = *static_cast<Shape*>(model);
            auto* sh = new ShapeWidget(m, parent);
            sh->setGeometry(r);
            refresh = [sh, &m] {
                sh->update();
                syncCommon(sh, m);
            };
            made = sh;
            break;
        }
        case ControlKind::Line: {
            auto& m = *static_cast<Line*>(model);
            const QPoint from(scale_.x(item.left), scale_.y(item.top)), to(scale_.x(item.left + item.width), scale_.y(item.top + item.height));
            auto* ln = new LineWidget(m, from, to, item.borderWidth, parent);
            refresh = [ln, &m] {
                ln->update();
                syncCommon(ln, m);
            };
            made = ln;
            break;
        }
        case ControlKind::CheckBox: {
            auto& m = *static_cast<CheckBox*>(model);
            auto* c = new QCheckBox(parent);
            c->setGeometry(r);
            c->setFont(font);
            c->setFocusPolicy(Qt::StrongFocus);
            QObject::connect(c, &QCheckBox::toggled, c, [&m](bool on) { m.setValue(on ? 1 : 0); });
            refresh = [c, &m] {
                const QSignalBlocker quiet(c);
                c->setText(QString::fromStdString(m.Caption()));
                c->setChecked(m.Value() != 0);
                syncCommon(c, m);
            };
            made = c;
            break;
        }
    }
    if (!made) return nullptr;
    if (item.foreColor != kDefaultColor && item.kind == ControlKind::PictureBox)
        setColor(made, QPalette::WindowText, item.foreColor, QPalette::WindowText);
    if (model && refresh) {
        refresh();
        // A model may outlive its window (which Qt deletes later); then it has nothing to update.
        model->observer = [alive = QPointer<QWidget>(made), refresh](Control&) {
            if (alive) refresh();
        };
    }
    return made;
}

void DialogWindow::bindTabStrip(const LayoutItem& item, QWidget* strip) {
    auto& m = *static_cast<TabStrip*>(item.control);
    const QRect area(0, 0, strip->width(), strip->height());
    const int rowHeight = std::max(1, scale_.y(item.tabHeight));

    auto* pageFrame = new QFrame(strip);
    pageFrame->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    pageFrame->setGeometry(0, rowHeight - 1, area.width(), area.height() - rowHeight + 1);
    setColor(pageFrame, QPalette::Window, item.backColor, QPalette::Window);

    // Each page covers the whole strip, so its controls are placed from the strip's corner.
    auto& pages = pages_[item.name];
    for (int i = 0; i < static_cast<int>(item.tabs.size()); ++i) {
        auto* page = new QWidget(strip);
        page->setObjectName(QString::fromStdString(item.name + ".page" + std::to_string(i)));
        page->setGeometry(area);
        page->setVisible(false);
        pages.push_back(page);
    }

    auto* row = new TabRow(rowHeight, strip);
    row->setObjectName(QString::fromStdString(item.name + ".tabs"));
    row->setGeometry(0, 0, area.width(), rowHeight);
    row->setFocusPolicy(Qt::StrongFocus);
    int widest = 0;
    for (const auto& caption : item.tabs) {
        row->addTab(QString::fromStdString(caption));
        widest = std::max(widest, row->fontMetrics().horizontalAdvance(QString::fromStdString(caption)));
    }
    const int tabWidth = area.width() / std::max<int>(1, static_cast<int>(item.tabs.size()));
    QFont tabFont = strip->font();
    for (const auto& caption : item.tabs)
        tabFont = fittingFont(tabFont, QString::fromStdString(caption), tabWidth - 8, rowHeight, false);
    row->setFont(tabFont);
    row->raise();
    QObject::connect(row, &QTabBar::currentChanged, row, [&m](int index) {
        if (index >= 0 && index != m.Tab()) m.setTab(index);
    });

    std::vector<QWidget*> pageList = pages;
    auto refresh = [row, pageList, strip, &m] {
        {
            const QSignalBlocker quiet(row);
            row->setCurrentIndex(m.Tab());
        }
        for (int i = 0; i < static_cast<int>(pageList.size()); ++i) pageList[static_cast<size_t>(i)]->setVisible(i == m.Tab());
        strip->setVisible(m.Visible());
        strip->setEnabled(m.Enabled());
    };
    refresh();
    m.observer = [alive = QPointer<QWidget>(strip), refresh](Control&) {
        if (alive) refresh();
    };
    focusTargets_[item.name] = row;
}

void DialogWindow::focusFirst() {
    for (QWidget* w : tabOrder_)
        if (w->isVisibleTo(this) && w->isEnabled()) {
            w->setFocus(Qt::OtherFocusReason);
            return;
        }
}

void DialogWindow::syncFromForm() {
    setWindowTitle(QString::fromStdString(form_.Caption()));
    move(scale_.x(form_.Left()), scale_.y(form_.Top()));
}

void DialogWindow::closeEvent(QCloseEvent* event) {
    // The form decides: unloading it closes this window (and here ends the program).
    event->ignore();
    form_.requestClose();
}

}  // namespace mv::qt
