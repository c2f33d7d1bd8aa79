// The saver window on a desktop of two monitors of different density (the offscreen platform
// with tests/qt/screens.json): every monitor shows the whole picture at its own device pixels,
// and the mouse is measured in one space across them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QWidget>

#include <cmath>
#include <string>
#include <vector>

#include "dialog_fixture.h"
#include "platform/qt/qt_platform.h"

using namespace mv;

namespace {


class MovesForm : public Form {
public:
    explicit MovesForm(Platform& p) : Form(p, "Screens") {
        setDesign(BorderStyle::None, ScaleMode::Pixels, 0, 0, 0, 3000, 3000);
        setWindowState(WindowState::Maximized);
    }
    void Form_MouseMove(int16_t, int16_t, float x, float y) override { moves.push_back({x, y}); }
    std::vector<std::pair<float, float>> moves;
};

void moveTo(QWidget* w, QPointF local) {
    QMouseEvent e(QEvent::MouseMove, local, w->mapToGlobal(local), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

}  // namespace

TEST(QtSaverScreens, EveryMonitorShowsTheWholePictureAtItsOwnDevicePixels) {
    test::qtApp();
    if (QGuiApplication::screens().size() < 2) GTEST_SKIP() << "needs the two-screen offscreen layout";
    qt::QtPlatform platform({});
    MovesForm form(platform);
    form.Show();
    QApplication::processEvents();
    std::vector<QWidget*> windows;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowTitle() == "Screens") windows.push_back(w);
    ASSERT_EQ(windows.size(), 2u);
    ASSERT_EQ(form.surfaceCount(), 0u);

    // Left half red, right half blue: each monitor shows both halves over its whole width.
    Bitmap halves;
    halves.resize(2, 1, 0xFFFF0000u);
    halves.row(0)[1] = 0xFF0000FFu;
    form.PaintPicture(PictureImage{std::make_shared<RgbPicture>(halves), 0, nullptr}, 0, 0, form.ScaleWidth(), form.ScaleHeight());
    ASSERT_EQ(form.surfaceCount(), 2u);
    for (QWidget* w : windows) {
        QScreen* screen = w->screen();
        EXPECT_EQ(w->geometry(), screen->geometry());
        const double dpr = screen->devicePixelRatio();
        const QImage shown = w->grab().toImage();
        SCOPED_TRACE(screen->name().toStdString());
        EXPECT_EQ(shown.width(), std::lround(screen->geometry().width() * dpr));
        EXPECT_EQ(shown.height(), std::lround(screen->geometry().height() * dpr));
        EXPECT_EQ(shown.pixel(2, shown.height() / 2) & 0xFFFFFFu, 0xFF0000u);
        EXPECT_EQ(shown.pixel(shown.width() - 3, shown.height() / 2) & 0xFFFFFFu, 0x0000FFu);
    }
    EXPECT_EQ(form.ScaleWidth(), 1920);

    // Across the seam from the left monitor onto the right one: a move of a pixel or two.
    QWidget* left = windows[0]->screen() == QGuiApplication::primaryScreen() ? windows[0] : windows[1];
    QWidget* right = left == windows[0] ? windows[1] : windows[0];
    moveTo(left, QPointF(left->width() - 1, 100));
    moveTo(right, QPointF(0, 100 / right->screen()->devicePixelRatio()));  // its pixels are smaller
    ASSERT_EQ(form.moves.size(), 2u);
    EXPECT_NEAR(form.moves[1].first - form.moves[0].first, 1.0, 1.0);
    EXPECT_NEAR(form.moves[1].second, 100.0, 1.0);
    form.Unload();
}
