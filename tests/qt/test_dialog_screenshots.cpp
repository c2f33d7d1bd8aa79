// Saves a picture of each tab when MV_SCREENSHOT_DIR names a folder, for a person to look at.
#include <QDir>
#include <QPixmap>

#include "dialog_fixture.h"

using mv::test::QtDialogTest;

TEST_F(QtDialogTest, EachTabRendersItsOwnControls) {
    const QByteArray dir = qgetenv("MV_SCREENSHOT_DIR");
    for (int tab = 0; tab < dlg.SSTab1.Tabs(); ++tab) {
        dlg.SSTab1.setTab(tab);
        QApplication::processEvents();
        const QPixmap shot = window->grab();
        EXPECT_EQ(shot.size(), window->size());
        if (!dir.isEmpty()) shot.save(QDir(QString::fromLocal8Bit(dir)).filePath(QString("tab%1.png").arg(tab)));
    }
}
