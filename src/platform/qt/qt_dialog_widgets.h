#pragma once
// Widgets that show the dialog control models Qt has no direct counterpart for.
#include <QFrame>
#include <QLabel>
#include <QTabBar>
#include <QWidget>

#include "platform/platform.h"
#include "platform/ui/controls/label.h"
#include "platform/ui/controls/line.h"
#include "platform/ui/controls/picturebox.h"
#include "platform/ui/controls/shape.h"

namespace mv::qt {

// A label that wraps at word boundaries and passes mouse presses and releases to its model.
class ModelLabel : public QLabel {
public:
    ModelLabel(Label& model, Platform& platform, QWidget* parent);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    Label& model_;
    Platform& platform_;
};

// A titled frame drawn as an etched rectangle with its title set into the top edge; the
// controls it contains are placed from its outer corner and clipped at its edges.
class FrameBox : public QWidget {
public:
    explicit FrameBox(QWidget* parent);
    const QString& title() const { return title_; }
    void setTitle(const QString& title);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString title_;
};

// A picture box showing its background colour inside a sunken border.
class ColorBox : public QFrame {
public:
    ColorBox(PictureBox& model, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    PictureBox& model_;
};

// A filled rectangle with a one-pixel border.
class ShapeWidget : public QWidget {
public:
    ShapeWidget(Shape& model, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Shape& model_;
};

// A straight line between two points of its container, drawn in a widget just covering it.
class LineWidget : public QWidget {
public:
    LineWidget(Line& model, QPoint from, QPoint to, int width, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Line& model_;
    QPoint from_, to_;  // in the widget's own coordinates
    int width_;
};

// A row of equally wide tabs of a fixed height, filling the strip's width.
class TabRow : public QTabBar {
public:
    TabRow(int tabHeight, QWidget* parent);

protected:
    QSize tabSizeHint(int index) const override;
    QSize minimumTabSizeHint(int index) const override { return tabSizeHint(index); }

private:
    int tabHeight_;
};

}  // namespace mv::qt
