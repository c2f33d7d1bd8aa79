#include "platform/qt/qt_dialog_window.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QFrame>
#include <QPointer>
#include <QSignalBlocker>
#include <algorithm>

#include "platform/platform.h"
#include "platform/qt/qt_dialog_controls.h"
#include "platform/qt/qt_dialog_fonts.h"
#include "platform/qt/qt_dialog_widgets.h"
#include "platform/ui/controls/tabstrip.h"

namespace mv::qt {

DialogWindow::DialogWindow(Form& form)
    : QWidget(nullptr), form_(form), units_(Units::of(form.platform())) {
    setObjectName(QString::fromStdString(form.Caption()));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFont(dialogFont());
    const Layout& layout = *form.layout();
    if (layout.modal) setWindowModality(Qt::ApplicationModal);
    setFixedSize(units_.pixelsX(layout.clientWidth), units_.pixelsY(layout.clientHeight));
    setColor(this, QPalette::Window, layout.backColor, QPalette::Window);
    setAutoFillBackground(true);
    build(layout);
    syncFromForm();
}

DialogWindow::~DialogWindow() = default;

QRect DialogWindow::pixels(const LayoutItem& item) const {
    const dialog::PixelRect r = dialog::rectOf(item, units_);
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
    if (item.kind == ControlKind::TabStrip) {
        auto* strip = new QWidget(parent);
        strip->setGeometry(pixels(item));
        strip->setFont(fontFor(item));
        bindTabStrip(item, strip);
        return strip;
    }
    const ControlMaker make = controlMaker(item.kind);
    if (!make) return nullptr;
    const Built built = make({item, parent, pixels(item), fontFor(item), units_, form_.platform()});
    if (!built.widget) return nullptr;
    if (item.foreColor != kDefaultColor && item.kind == ControlKind::PictureBox)
        setColor(built.widget, QPalette::WindowText, item.foreColor, QPalette::WindowText);
    if (item.control && built.refresh) {
        built.refresh();
        // A model may outlive its window (which Qt deletes later); then it has nothing to update.
        item.control->observer = [alive = QPointer<QWidget>(built.widget), refresh = built.refresh](Control&) {
            if (alive) refresh();
        };
    }
    return built.widget;
}

void DialogWindow::bindTabStrip(const LayoutItem& item, QWidget* strip) {
    auto& m = *static_cast<TabStrip*>(item.control);
    const QRect area(0, 0, strip->width(), strip->height());
    const int rowHeight = std::max(1, units_.pixelsY(item.tabHeight));

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
    move(units_.pixelsX(form_.Left()), units_.pixelsY(form_.Top()));
}

void DialogWindow::keyPressEvent(QKeyEvent* event) {
    const Layout* layout = form_.layout();
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && layout && layout->modal) {
        form_.requestClose();
        return;
    }
    QWidget::keyPressEvent(event);
}

void DialogWindow::closeEvent(QCloseEvent* event) {
    // The form decides: unloading it closes this window (and here ends the program).
    event->ignore();
    form_.requestClose();
}

}  // namespace mv::qt
