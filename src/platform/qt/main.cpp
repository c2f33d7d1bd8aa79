#include <QAccessible>
#include <QApplication>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/posix/held_files_now.h"
#include "platform/posix/heap.h"
#include "platform/qt/qt_end_signals.h"
#include "platform/qt/qt_heif_decoder.h"
#include "platform/qt/qt_icon.h"
#include "platform/qt/qt_input.h"
#include "platform/qt/qt_platform.h"
#include "platform/qt/qt_toolkit_start.h"
#include "platform/qt/qt_wayland_display.h"
#include "startup/app.h"
#include "startup/cli_options.h"
#include "startup/hosted.h"
#include "startup/mod1.h"

namespace {

// Hosted mode runs on X11 (XWayland included), or on Wayland layer surfaces. The exit status,
// after saying why, when it cannot; 0 when it can.
int prepareHosted(const mv::HostedRequest& request) {
    if (!request.error.empty()) {
        std::fprintf(stderr, "marvoscope: %s\n", request.error.c_str());
        return 2;
    }
    if (request.layer != mv::HostedLayer::None) {
        // Never an ordinary window instead: without layer surfaces there is no show.
        try {
            mv::qt::WaylandDisplay::connect();
        } catch (const mv::PlatformError& e) {
            std::fprintf(stderr, "marvoscope: %s\n", e.what());
            return 1;
        }
        // The toolkit draws nothing on screen itself; the surfaces are the program's own.
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        return 0;
    }
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) {
        std::fprintf(stderr, "marvoscope: --root and --window-id need an X display, and DISPLAY is not set\n");
        return 1;
    }
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    return 0;
}

// A host may end its saver the moment it has started it: the signals are taken before even the
// libraries' own start-up code runs.
void catchEarly(int, char**, char**) { mv::qt::catchEndSignals(); }
[[gnu::section(".preinit_array"), gnu::used]] void (*const catchEarlyEntry)(int, char**, char**) = catchEarly;

}  // namespace

int main(int argc, char** argv) {
    mv::posix::keepFrameBuffersInHeap();
    // Qt removes the options it knows from argv; the switch is read from the untouched list.
    std::vector<std::string> arguments(argv + 1, argv + argc);
    if (const auto answer = mv::AnswerCommandLine(arguments, mv::CliSystem::Posix)) {
        std::fputs(answer->out.c_str(), stdout);
        std::fputs(answer->err.c_str(), stderr);
        return answer->status;
    }
    const char* envWindow = std::getenv("XSCREENSAVER_WINDOW");
    const auto hosted = mv::ParseHostedRequest(arguments, envWindow ? envWindow : "");
    if (hosted) {
        if (const int status = prepareHosted(*hosted)) return status;
    }
    // libheif loads its plugins once and not thread-safely: before the toolkit starts threads.
    mv::qt::startHeif();
    mv::qt::explainToolkitFailures();
    QApplication application(argc, argv);
    mv::qt::toolkitStarted();
    // The accessibility bridge starts its bus thread when the first window is shown. By then a
    // large animation may hold all the memory there is, the thread cannot start, and Qt waits for
    // it forever: it is started now, while memory is plentiful.
    QAccessible::isActive();
    QApplication::setQuitOnLastWindowClosed(false);
    std::setlocale(LC_ALL, "");
    mv::qt::installAppIcon();
    // Qt ends the process itself when the X connection breaks: no scratch file stays behind.
    std::atexit([] { mv::files::removeHeldFilesNow(); });

    mv::qt::QtPlatform platform(std::move(arguments));
    mv::App app(platform);
    mv::qt::endOnSignals([&app] {
        mv::EndOnRequest(app);
        QCoreApplication::quit();
    });
    try {
        mv::Main(app);
        // The process lives while one of its windows is loaded.
        if (platform.loadedForms() > 0 && !app.endRequested) QApplication::exec();
    } catch (const std::exception& e) {
        mv::qt::untrapped(e.what());
    }
    mv::qt::stopHeif();
    return 0;
}
