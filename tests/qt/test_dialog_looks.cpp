#include <QCursor>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTimer>

#include "dialog_fixture.h"
#include "platform/qt/qt_dialog_fonts.h"
#include "platform/qt/qt_dialog_widgets.h"
#include "platform/qt/qt_file_dialog.h"
#include "platform/qt/qt_icon.h"
#include "platform/ui/hand_cursor.h"

using namespace mv;
using mv::test::QtDialogTest;

TEST_F(QtDialogTest, EveryCaptionIsShownExactly) {
    const Layout& layout = *dlg.layout();
    int checked = 0;
    for (const auto& row : layout.items) {
        QWidget* widget = window->findChild<QWidget*>(QString::fromStdString(row.name));
        ASSERT_NE(widget, nullptr) << row.name;
        // Label2 holds the loaded colour's number by now, LabelFolder what the empty "File" box
        // plays; every other caption is as designed.
        const std::string loaded = row.name == "Label2" ? "0" : row.name == "LabelFolder" ? kNothingChosenLine : row.caption;
        const QString want = QString::fromStdString(loaded);
        QString shown;
        if (auto* l = qobject_cast<QLabel*>(widget)) shown = l->text();
        else if (auto* b = qobject_cast<QPushButton*>(widget)) shown = b->text();
        else if (auto* g = dynamic_cast<qt::FrameBox*>(widget)) shown = g->title();
        else continue;
        EXPECT_EQ(shown, want) << row.name;
        ++checked;
    }
    EXPECT_GE(checked, 20);
    auto* tabs = w<QTabBar>("SSTab1.tabs");
    const auto& names = layout.find("SSTab1")->tabs;
    ASSERT_EQ(tabs->count(), static_cast<int>(names.size()));
    for (int i = 0; i < tabs->count(); ++i) EXPECT_EQ(tabs->tabText(i).toStdString(), names[static_cast<size_t>(i)]);
}

TEST_F(QtDialogTest, WrappingLabelsBreakIntoTheirLinesAndNothingVisibleIsClipped) {
    auto lines = [&](const char* name) {
        auto* l = w<QLabel>(name);
        return qt::wrappedLines(l->text(), l->font(), l->contentsRect().width());
    };
    EXPECT_EQ(lines("Label7"), (QStringList{"Mouse Sensitivity", "1 = Most Sensitive", "30 = Least Sensitive"}));
    EXPECT_EQ(lines("Label8"), (QStringList{"Background Color Selector", "For Transparent Images"}));

    // Hidden controls and those lying beyond their container's edge are exempt: they are never seen.
    for (const auto& row : dlg.layout()->items) {
        QWidget* widget = w(row.name.c_str());
        if ((row.flags & kHidden) || mv::test::seenPart(widget, window).isEmpty()) continue;
        const QRect box = widget->contentsRect();
        if (auto* l = qobject_cast<QLabel*>(widget)) {
            EXPECT_TRUE(qt::textFits(l->text(), l->font(), box.width(), box.height(), true)) << row.name;
        }
        if (auto* b = qobject_cast<QPushButton*>(widget)) {
            EXPECT_LE(b->fontMetrics().horizontalAdvance(b->text()) + 6, b->width()) << row.name;
        }
        if (auto* g = dynamic_cast<qt::FrameBox*>(widget)) {
            EXPECT_LE(g->fontMetrics().horizontalAdvance(g->title()) + 16, g->width()) << row.name;
        }
    }
    auto* tabs = w<QTabBar>("SSTab1.tabs");
    for (int i = 0; i < tabs->count(); ++i)
        EXPECT_LE(tabs->fontMetrics().horizontalAdvance(tabs->tabText(i)) + 4, tabs->tabRect(i).width()) << i;
    EXPECT_LE(tabs->tabRect(4).right(), tabs->width());
}

TEST_F(QtDialogTest, LinksUseTheHandAndOpenTheirAddressOnPress) {
    dlg.SSTab1.setTab(3);
    QApplication::processEvents();
    auto* link = w<QLabel>("Label9");
    const CursorPicture& hand = handCursor();
    EXPECT_EQ(link->cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(link->cursor().hotSpot(), QPoint(hand.hotX, hand.hotY));
    EXPECT_EQ(link->cursor().pixmap().size(), QSize(hand.image.width, hand.image.height));
    EXPECT_EQ(w<QLabel>("Label12")->cursor().shape(), Qt::ArrowCursor);
    const int32_t design = dlg.layout()->find("Label9")->foreColor;  // 0x00BBGGRR
    EXPECT_EQ(link->palette().color(QPalette::WindowText),
              QColor(design & 0xFF, (design >> 8) & 0xFF, (design >> 16) & 0xFF));

    mouse(link, QEvent::MouseButtonPress, Qt::RightButton);
    ASSERT_EQ(platform.opened.size(), 1u);
    EXPECT_EQ(platform.opened[0], std::string("http://") + kMakerHost);
    EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(0xFF, 0, 0));
    mouse(link, QEvent::MouseButtonRelease, Qt::RightButton);
    EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(0, 0, 0xFF));

    mouse(w("Label14"), QEvent::MouseButtonPress, Qt::LeftButton);
    ASSERT_EQ(platform.opened.size(), 2u);
    EXPECT_EQ(platform.opened[1], std::string("http://") + kImagesHost);
}

TEST(QtFileDialog, OffersUpperCaseExtensionsAndShowsTheFilterAsItIs) {
    mv::test::qtApp();
    const QString filter = qt::nameFilterFor("*.bmp;*.jpg;*.gif");
    EXPECT_TRUE(filter.startsWith("*.bmp;*.jpg;*.gif ("));
    QTemporaryDir dir;
    for (const char* name : {"a.bmp", "B.BMP", "c.jpg", "IMG_0001.JPG", "e.gif", "F.GIF", "notes.txt", "g.png"})
        QFile(dir.filePath(name)).open(QIODevice::WriteOnly);
    const QStringList patterns = qt::nameFilterFor("*.bmp;*.jpg;*.gif").section('(', 1).chopped(1).split(' ');
    QDir listing(dir.path(), {}, QDir::Name, QDir::Files | QDir::CaseSensitive);
    listing.setNameFilters(patterns);
    EXPECT_EQ(listing.entryList(),
              (QStringList{"B.BMP", "F.GIF", "IMG_0001.JPG", "a.bmp", "c.jpg", "e.gif"}));
}

TEST(QtFileDialog, CancelIsReportedAndTheDialogStartsAtTheLastFile) {
    mv::test::qtApp();
    QTemporaryDir dir;
    const QString last = dir.filePath("chosen.gif");
    QFile(last).open(QIODevice::WriteOnly);
    QString seenDir;
    QTimer::singleShot(0, [&] {
        if (auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            seenDir = d->directory().absolutePath();
            d->reject();
        }
    });
    try {
        qt::showOpenDialog({"*.bmp;*.jpg;*.gif", "gif", last.toStdString(), ""});
        ADD_FAILURE() << "a cancelled dialog returned";
    } catch (const PlatformError& e) {
        EXPECT_EQ(e.number(), ErrCancel);
    }
    EXPECT_EQ(seenDir, QDir(dir.path()).absolutePath());

    QTimer::singleShot(0, [&] {
        if (auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            d->selectFile(last);
            QMetaObject::invokeMethod(d, "accept");
        }
    });
    EXPECT_EQ(qt::showOpenDialog({"*.bmp;*.jpg;*.gif", "gif", last.toStdString(), ""}), last.toStdString());
}

TEST(QtFileDialog, WithNoLastFileStartsInTheGivenFolderNotTheCurrentOne) {
    mv::test::qtApp();
    QTemporaryDir dir;
    QString seenDir;
    QTimer::singleShot(0, [&] {
        if (auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            seenDir = d->directory().absolutePath();
            d->reject();
        }
    });
    EXPECT_THROW(qt::showOpenDialog({"*.bmp;*.jpg;*.gif", "gif", "", dir.path().toStdString()}), PlatformError);
    EXPECT_EQ(seenDir, QDir(dir.path()).absolutePath());
    EXPECT_NE(seenDir, QDir::currentPath());
}

TEST(QtFileDialog, PicturesFolderFollowsTheUsersDirsFile) {
    QTemporaryDir config;
    const bool hadConfig = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    QFile dirs(config.filePath("user-dirs.dirs"));
    ASSERT_TRUE(dirs.open(QIODevice::WriteOnly));
    dirs.write("XDG_PICTURES_DIR=\"$HOME/Bilder\"\n");
    dirs.close();
    EXPECT_EQ(qt::userPicturesFolder(), (QDir::homePath() + "/Bilder").toStdString());
    EXPECT_EQ(qt::userHomeFolder(), QDir::homePath().toStdString());
    EXPECT_TRUE(qt::isFolder(config.path().toStdString()));
    EXPECT_FALSE(qt::isFolder(dirs.fileName().toStdString()));
    if (hadConfig) qputenv("XDG_CONFIG_HOME", oldConfig);
    else qunsetenv("XDG_CONFIG_HOME");
}

TEST(QtIcon, CarriesBothImageSizes) {
    mv::test::qtApp();
    const QIcon icon = qt::appQIcon();
    const auto sizes = icon.availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(32, 32)));
    EXPECT_TRUE(sizes.contains(QSize(16, 16)));
}
