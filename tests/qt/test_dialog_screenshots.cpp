// What the dialog paints, read back from its pixels rather than from the font metrics the
// backend lays it out with, so a fault in those metrics cannot hide itself.
#include <QImage>
#include <QLabel>
#include <QPixmap>

#include <filesystem>
#include <map>

#include "dialog_fixture.h"
#include "platform/qt/qt_dialog_fonts.h"

using mv::test::QtDialogTest;
using mv::test::seenPart;

namespace {

// The smallest rectangle holding every pixel that stands out from the picture's commonest colour.
QRect inkOf(const QImage& image) {
    std::map<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) ++counts[image.pixel(x, y)];
    QRgb background = 0;
    int most = -1;
    for (const auto& [colour, n] : counts)
        if (n > most) background = colour, most = n;
    QRect ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            const int d = std::abs(qRed(p) - qRed(background)) + std::abs(qGreen(p) - qGreen(background)) +
                          std::abs(qBlue(p) - qBlue(background));
            if (d > 96) ink |= QRect(x, y, 1, 1);
        }
    return ink;
}

}  // namespace

TEST_F(QtDialogTest, EachTabPaintsItsOwnPageWithNoCaptionCutOff) {
    const qreal scale = window->devicePixelRatio();
    std::vector<QImage> pages;
    for (int tab = 0; tab < dlg.SSTab1.Tabs(); ++tab) {
        dlg.SSTab1.setTab(tab);
        QApplication::processEvents();
        const QPixmap shot = window->grab();
        // The whole dialog in the screen's own pixels, not its size in device-independent ones.
        EXPECT_TRUE(shot.size() == window->size() * scale)
            << "tab " << tab << ": " << shot.width() << "x" << shot.height() << " at scale " << scale;
        pages.push_back(shot.toImage());

        for (QLabel* label : window->findChildren<QLabel*>()) {
            if (!label->isVisibleTo(window) || label->text().isEmpty()) continue;
            const QRect seen = seenPart(label, window);
            if (seen.isEmpty()) continue;  // beyond its container's edge: never on the screen
            const std::string name = label->objectName().toStdString();
            EXPECT_TRUE(seen.size() == label->size()) << name << " is cut by its container: " << seen.width() << "x"
                                                       << seen.height() << " of " << label->width() << "x"
                                                       << label->height() << " seen";
            QImage own(label->size() * scale, QImage::Format_RGB32);
            own.setDevicePixelRatio(scale);
            own.fill(label->palette().color(label->backgroundRole()));
            label->render(&own);
            const QRect ink = inkOf(own);
            ASSERT_FALSE(ink.isEmpty()) << name << " paints no text";
            // Text cut off at the label's edge leaves its ink on the last row or column.
            EXPECT_LT(ink.right(), own.width() - 1) << name << " ink " << ink.right() << " of " << own.width();
            EXPECT_LT(ink.bottom(), own.height() - 1) << name << " ink " << ink.bottom() << " of " << own.height();
        }
    }
    for (size_t a = 0; a < pages.size(); ++a)
        for (size_t b = a + 1; b < pages.size(); ++b) EXPECT_NE(pages[a], pages[b]) << "tabs " << a << " and " << b;
}

TEST_F(QtDialogTest, TheLineBesideFolderShowsEachOfItsTextsWhole) {
    mv::test::TempDir dir;
    std::filesystem::create_directories(dir.path() / "Holiday 2023 in Brittany");
    dlg.SSTab1.setTab(5);
    auto* label = w<QLabel>("LabelFolder");
    const qreal scale = window->devicePixelRatio();
    for (const std::string& line :
         {std::string(mv::kSinglePictureLine), std::string(mv::kNothingChosenLine),
          mv::FolderLine(dir.file("Holiday 2023 in Brittany")), mv::FolderLine(dir.file("DSC_Photos_Summer_2023.jpg"))}) {
        dlg.LabelFolder.setCaption(line);
        QApplication::processEvents();
        ASSERT_EQ(label->text().toStdString(), line);
        EXPECT_TRUE(mv::qt::textFits(label->text(), label->font(), label->contentsRect().width(),
                                     label->contentsRect().height(), true))
            << line;
        QImage own(label->size() * scale, QImage::Format_RGB32);
        own.setDevicePixelRatio(scale);
        own.fill(label->palette().color(label->backgroundRole()));
        label->render(&own);
        const QRect ink = inkOf(own);
        EXPECT_LT(ink.right(), own.width() - 1) << line;
        EXPECT_LT(ink.bottom(), own.height() - 1) << line;
    }
}
