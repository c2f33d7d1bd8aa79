#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>

#include "dialog_fixture.h"

using namespace mv;
using mv::test::QtDialogTest;

namespace {
// Every widget the Tab key reaches in one round, starting from the focus.
std::vector<QWidget*> focusCycle(QWidget* window) {
    std::vector<QWidget*> seen;
    QWidget* start = QApplication::focusWidget();
    QWidget* at = start;
    for (int i = 0; i < 100; ++i) {
        at = at->nextInFocusChain();
        while (at != start && (!(at->focusPolicy() & Qt::TabFocus) || !at->isVisibleTo(window) || !at->isEnabled()))
            at = at->nextInFocusChain();
        if (at == start) break;
        seen.push_back(at);
    }
    return seen;
}
bool contains(const std::vector<QWidget*>& v, QWidget* w) { return std::find(v.begin(), v.end(), w) != v.end(); }
}  // namespace

TEST_F(QtDialogTest, OpensOnTheFileTabWithSaveAndCloseFocused) {
    EXPECT_EQ(QApplication::focusWidget(), w("Command1"));
    EXPECT_TRUE(w("txFile")->isVisible());
    EXPECT_TRUE(w("Command5")->isVisible());
    EXPECT_FALSE(w("Sensit")->isVisible());
    EXPECT_FALSE(w("HScroll1")->isVisible());
    EXPECT_FALSE(w("Label9")->isVisible());
    EXPECT_FALSE(w("Label2")->isVisible());
    EXPECT_EQ(w<QTabBar>("SSTab1.tabs")->currentIndex(), 0);
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_EQ(window->size(), QSize(325, 175));
    EXPECT_EQ(window->windowTitle(), "Make a Marvoscope");
}

TEST_F(QtDialogTest, SelectingATabShowsOnlyItsControlsAndOnlyTheyTakeTheFocus) {
    auto* tabs = w<QTabBar>("SSTab1.tabs");
    tabs->setCurrentIndex(2);
    QApplication::processEvents();
    EXPECT_EQ(dlg.SSTab1.Tab(), 2);
    EXPECT_TRUE(w("HScroll1")->isVisible());
    EXPECT_TRUE(w("Picture1")->isVisible());
    EXPECT_FALSE(w("Label2")->isVisible());
    EXPECT_FALSE(w("txFile")->isVisible());

    auto cycle = focusCycle(window);
    EXPECT_TRUE(contains(cycle, w("HScroll1")));
    EXPECT_TRUE(contains(cycle, w("HScroll3")));
    EXPECT_TRUE(contains(cycle, w("Command6")));
    EXPECT_FALSE(contains(cycle, w("txFile")));
    EXPECT_FALSE(contains(cycle, w("Sensit")));
    EXPECT_FALSE(contains(cycle, w("Text3")));

    // The delay group, though below its frame's edge, is in the round while "Mouse" is selected.
    dlg.SSTab1.setTab(1);
    QApplication::processEvents();
    EXPECT_EQ(tabs->currentIndex(), 1);
    cycle = focusCycle(window);
    EXPECT_TRUE(contains(cycle, w("Sensit")));
    EXPECT_TRUE(contains(cycle, w("Text3")));
    EXPECT_TRUE(contains(cycle, w("Command2")));
    EXPECT_FALSE(contains(cycle, w("HScroll1")));
    // Tab order: Save and Close first, then the strip, then the page in its design order.
    w("Command1")->setFocus();
    QApplication::processEvents();
    cycle = focusCycle(window);
    ASSERT_GE(cycle.size(), 3u);
    EXPECT_EQ(cycle[0], w("SSTab1.tabs"));
    EXPECT_EQ(cycle[1], w("Sensit"));
    EXPECT_EQ(cycle.back(), w("Command6"));
}

TEST_F(QtDialogTest, EscapeAndEnterDoNothingAndSpacePressesTheFocusedButton) {
    int saves = 0, closes = 0;
    dlg.Command1.onClick = [&] { ++saves; };
    dlg.Command6.onClick = [&] { ++closes; };
    for (auto* b : window->findChildren<QPushButton*>()) {
        EXPECT_FALSE(b->isDefault()) << b->objectName().toStdString();
        EXPECT_FALSE(b->autoDefault()) << b->objectName().toStdString();
    }
    QWidget* focus = QApplication::focusWidget();
    key(focus, Qt::Key_Escape);
    key(focus, Qt::Key_Return, "\r");
    key(focus, Qt::Key_Enter, "\r");
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(dlg.Loaded());
    EXPECT_EQ(saves, 0);
    key(focus, Qt::Key_Space, " ");
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(closes, 0);
}

TEST_F(QtDialogTest, SensitivityFieldTakesTwoTypedCharactersAndKeepsItsRange) {
    dlg.SSTab1.setTab(1);
    auto* field = w<QLineEdit>("Sensit");
    field->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(field->text(), "1");  // a fresh user's 0 raised to 1
    field->selectAll();
    type("4");
    EXPECT_EQ(field->text(), "4");
    type("5");
    EXPECT_EQ(field->text(), "30");
    EXPECT_EQ(dlg.Sensit.Text(), "30");

    field->selectAll();
    type("12");
    type("3");
    EXPECT_EQ(field->text(), "12");
    EXPECT_EQ(dlg.Sensit.Text(), "12");

    key(field, Qt::Key_Backspace);
    key(field, Qt::Key_Backspace);
    EXPECT_EQ(dlg.Sensit.Text(), "1");
    EXPECT_EQ(field->text(), "1");

    // Code is not held to the typing limit.
    dlg.Sensit.setText("1.0");
    EXPECT_EQ(field->text(), "1.0");
}

TEST_F(QtDialogTest, ColourSlidersStepByTenAndTwentyAndFollowADragOnlyOnRelease) {
    dlg.SSTab1.setTab(2);
    auto* red = w<QScrollBar>("HScroll1");
    red->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(red->minimum(), 0);
    EXPECT_EQ(red->maximum(), 255);
    key(red, Qt::Key_Right);
    EXPECT_EQ(dlg.HScroll1.Value(), 10);
    EXPECT_EQ(app.bgColor, 10);
    red->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QApplication::processEvents();
    EXPECT_EQ(dlg.HScroll1.Value(), 30);
    EXPECT_EQ(dlg.Picture1.BackColor(), 30);

    auto* blue = w<QScrollBar>("HScroll3");
    blue->setSliderDown(true);
    blue->setSliderPosition(200);
    QApplication::processEvents();
    EXPECT_EQ(dlg.HScroll3.Value(), 0);
    EXPECT_EQ(dlg.Picture1.BackColor(), 30);
    blue->setSliderDown(false);
    QApplication::processEvents();
    EXPECT_EQ(dlg.HScroll3.Value(), 200);
    EXPECT_EQ(app.bgColor, 30 + 200 * 65536);
    EXPECT_EQ(dlg.Label2.Caption(), std::to_string(30 + 200 * 65536));

    // The swatch paints the mixed colour.
    const QImage shot = w("Picture1")->grab().toImage();
    EXPECT_EQ(shot.pixelColor(shot.width() / 2, shot.height() / 2), QColor(30, 0, 200));
}

TEST_F(QtDialogTest, ClicksReachEveryVisibleControlThroughTheLabelsAroundIt) {
    // The "Browse" button sits inside the width of the label beside it.
    const char* const controls[][2] = {{"0", "Command5"}, {"0", "txFile"}, {"1", "Sensit"}, {"2", "HScroll1"},
                                       {"2", "HScroll3"}, {"2", "Picture1"}, {"3", "Label9"}, {"3", "Label14"},
                                       {"0", "Command1"}, {"0", "Command6"}};
    for (const auto& [tab, name] : controls) {
        dlg.SSTab1.setTab(std::atoi(tab));
        QApplication::processEvents();
        QWidget* target = w(name);
        const QPoint centre = target->mapTo(window, target->rect().center());
        QWidget* hit = window->childAt(centre);
        EXPECT_TRUE(hit == target || target->isAncestorOf(hit)) << name << " is covered by "
                                                                << (hit ? hit->objectName().toStdString() : "nothing");
    }
}

namespace {
// The dialog with its unload recorded and refused, so the test process lives on.
class RecordingSetup : public frmSetup2 {
public:
    using frmSetup2::frmSetup2;
    void Form_Unload(int16_t& cancel) override {
        ++unloads;
        cancel = 1;
    }
    int unloads = 0;
};
}  // namespace

TEST(QtDialogClose, TheCloseBoxUnloadsTheFormAndSavesNothing) {
    mv::test::qtApp();
    mv::test::QtDialogPlatform platform;
    App app(platform);
    RecordingSetup dialog(app);
    dialog.Show();
    QWidget* window = qt::dialogWidget(dialog.host());
    ASSERT_NE(window, nullptr);
    window->close();
    QApplication::processEvents();
    EXPECT_EQ(dialog.unloads, 1);
    EXPECT_TRUE(dialog.Loaded());
    EXPECT_TRUE(platform.store.saveOrder.empty());
}
