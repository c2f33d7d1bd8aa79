#include <QApplication>

#include <clocale>
#include <string>
#include <vector>

#include "platform/qt/qt_icon.h"
#include "platform/qt/qt_input.h"
#include "platform/qt/qt_platform.h"
#include "startup/app.h"
#include "startup/mod1.h"

int main(int argc, char** argv) {
    // Qt removes the options it knows from argv; the switch is read from the untouched list.
    std::vector<std::string> arguments(argv + 1, argv + argc);
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    std::setlocale(LC_ALL, "");
    mv::qt::installAppIcon();

    mv::qt::QtPlatform platform(std::move(arguments));
    mv::App app(platform);
    try {
        mv::Main(app);
        // The process lives while one of its windows is loaded.
        if (platform.loadedForms() > 0) QApplication::exec();
    } catch (const std::exception& e) {
        mv::qt::untrapped(e.what());
    }
    return 0;
}
