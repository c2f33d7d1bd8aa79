#include "platform/qt/qt_dialog_widgets.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "platform/qt/qt_colors.h"
#include "platform/qt/qt_input.h"

namespace mv::qt {

ModelLabel::ModelLabel(Label& model, Platform& platform, QWidget* parent)
    : QLabel(parent), model_(model), platform_(platform) {
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setContentsMargins(0, 0, 0, 0);
    setMargin(0);
    setIndent(0);
}

void ModelLabel::mousePressEvent(QMouseEvent* e) {
    const QPointF p = devicePosition(*e, *this);
    input::labelButton(model_, platform_, true, buttonsOf(e->button()), modifiersOf(e->modifiers()), p.x(), p.y());
    e->accept();
}

void ModelLabel::mouseReleaseEvent(QMouseEvent* e) {
    const QPointF p = devicePosition(*e, *this);
    input::labelButton(model_, platform_, false, buttonsOf(e->button()), modifiersOf(e->modifiers()), p.x(), p.y());
    e->accept();
}

FrameBox::FrameBox(QWidget* parent) : QWidget(parent) {}

void FrameBox::setTitle(const QString& title) {
    title_ = title;
    update();
}

void FrameBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QFontMetrics fm(font());
    const QRect edge = rect().adjusted(0, fm.height() / 2, -2, -2);
    p.setPen(palette().color(QPalette::Dark));
    p.drawRect(edge);
    p.setPen(palette().color(QPalette::Light));
    p.drawRect(edge.translated(1, 1));
    if (title_.isEmpty()) return;
    const QRect text(8, 0, fm.horizontalAdvance(title_) + 4, fm.height());
    p.fillRect(text, palette().color(QPalette::Window));
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(text, Qt::AlignCenter | Qt::TextSingleLine, title_);
}

ColorBox::ColorBox(PictureBox& model, QWidget* parent) : QFrame(parent), model_(model) {
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
}

void ColorBox::paintEvent(QPaintEvent* e) {
    {
        QPainter p(this);
        p.fillRect(rect(), toQColor(model_.BackColor(), palette(), QPalette::Window));
    }
    QFrame::paintEvent(e);
}

ShapeWidget::ShapeWidget(Shape& model, QWidget* parent) : QWidget(parent), model_(model) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ShapeWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), toQColor(model_.FillColor(), palette(), QPalette::Window));
    p.setPen(toQColor(model_.BorderColor(), palette(), QPalette::WindowText));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

LineWidget::LineWidget(Line& model, QPoint from, QPoint to, int width, QWidget* parent)
    : QWidget(parent), model_(model), width_(std::max(1, width)) {
    const int pad = width_;
    const QRect box = QRect(from, to).normalized().adjusted(-pad, -pad, pad, pad);
    setGeometry(box);
    from_ = from - box.topLeft();
    to_ = to - box.topLeft();
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void LineWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(QPen(toQColor(model_.BorderColor(), palette(), QPalette::WindowText), width_, Qt::SolidLine,
                  Qt::FlatCap));
    p.drawLine(from_, to_);
}

TabRow::TabRow(int tabHeight, QWidget* parent) : QTabBar(parent), tabHeight_(tabHeight) {
    setExpanding(true);
    setUsesScrollButtons(false);
    setElideMode(Qt::ElideNone);
    setDrawBase(false);
}

QSize TabRow::tabSizeHint(int index) const {
    const int n = std::max(1, count());
    const int w = width() / n + (index < width() % n ? 1 : 0);
    return QSize(std::max(w, 1), tabHeight_);
}

}  // namespace mv::qt
