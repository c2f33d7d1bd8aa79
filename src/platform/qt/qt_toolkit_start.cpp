#include "platform/qt/qt_toolkit_start.h"

#include <QString>
#include <QtGlobal>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace mv::qt {

namespace {

std::vector<std::string> held;  // messages of the start, as Qt would have printed them
std::string cause;              // the first thing the platform plug-in said went wrong

std::string envOr(const char* name, const char* otherwise) {
    const char* value = std::getenv(name);
    return value && *value ? value : otherwise;
}

// The one line for a start that failed.
std::string whyNot(const std::string& fatal) {
    const std::string display = envOr("DISPLAY", "");
    const std::string platform = envOr("QT_QPA_PLATFORM", "");
    const bool wantsX = platform.empty() || platform.rfind("xcb", 0) == 0;
    const bool noX = cause.find("could not connect to display") != std::string::npos;
    if (display.empty() && (noX || (wantsX && envOr("WAYLAND_DISPLAY", "").empty())))
        return "cannot open the X display: DISPLAY is not set";
    if (noX) return "cannot open the X display '" + display + "'";
    if (!cause.empty()) return "cannot start the window system: " + cause;
    return "cannot start the window system: " + fatal.substr(0, fatal.find('\n'));
}

void onMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    const std::string text = message.toStdString();
    const std::string category = context.category ? context.category : "";
    if (type != QtFatalMsg) {
        if (cause.empty() && (type == QtWarningMsg || type == QtCriticalMsg) && category.rfind("qt.qpa", 0) == 0) cause = text;
        held.push_back(category.empty() || category == "default" ? text : category + ": " + text);
        return;
    }
    std::fprintf(stderr, "marvoscope: %s\n", whyNot(text).c_str());
    std::fflush(stderr);
    _exit(1);
}

}  // namespace

void explainToolkitFailures() { qInstallMessageHandler(onMessage); }

void toolkitStarted() {
    qInstallMessageHandler(nullptr);
    for (const std::string& line : held) std::fprintf(stderr, "%s\n", line.c_str());
    held.clear();
    cause.clear();
}

}  // namespace mv::qt
