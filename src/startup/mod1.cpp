#include "startup/mod1.h"

#include <cctype>

#include "platform/modes.h"

#include "saver/frmMain.h"
#include "settings/number_text.h"
#include "setup/frmSetup2.h"
#include "startup/app.h"
#include "startup/hosted.h"

namespace mv {

namespace {

// Input queued behind the first ending event calls EndSaver again while the first call is
// still processing events; only the outermost call may show the cursor and unload, or the
// display count would end higher than it started.
thread_local int endSaverDepth = 0;

}  // namespace

std::string SwitchOf(const std::string& commandLine) {
    std::string s = TrimBlanks(commandLine);
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s.substr(0, 2);
}

bool SwitchOpensWindow(const std::string& sw) { return sw == "/C" || sw.empty() || sw == "/S" || sw == "/A"; }

void Main(App& app) {
    Platform& p = app.platform;
    // A host's options come first; without them the two-character switch decides.
    if (p.canHost()) {
        if (auto hosted = ParseHostedRequest(p.argumentList(), p.environment("XSCREENSAVER_WINDOW"))) {
            RunHosted(app, *hosted);
            return;
        }
    }
    p.setCurrentDirectory(p.programDirectory());
    const std::string sw = SwitchOf(p.commandLine());
    if (sw == "/C") {
        app.setupForm->Show();
    } else if (sw.empty() || sw == "/S") {
        CheckPrevInstance(app);
        p.showCursor(false);
        p.doEvents();
        app.mainForm->Load();
    } else if (sw == "/P") {
        p.terminate();
    } else if (sw == "/A") {
        p.messageBox(std::string("Password Protection not available with this") + " screen saver", 64, "Error");
    }
}

void CheckPrevInstance(App& app) {
    Platform& p = app.platform;
    if (!p.prevInstance()) return;
    if (p.findWindow(frmMain::kCaption)) p.terminate();
    // Setting the title touches the window, which loads it.
    app.mainForm->setCaption(frmMain::kCaption);
    app.mainForm->Load();
}

void EndOnRequest(App& app) {
    app.endRequested = true;
    // A later load of the saver window (one still to come from Main) shows nothing.
    app.saverUnloaded = true;
    continueStep([&] { app.mainForm->AnimationTimer.setEnabled(false); });
    // The setup dialog's unload ends the process itself; the saver window's stops a split in
    // progress at its next event check, which deletes the scratch file.
    if (app.setupForm->Loaded()) app.setupForm->Unload();
    app.mainForm->Unload();
}

void EndSaver(App& app) {
    if (endSaverDepth > 0 || !app.mainForm->Loaded()) return;
    struct Depth {
        Depth() { ++endSaverDepth; }
        ~Depth() { --endSaverDepth; }
    } depth;
    Platform& p = app.platform;
    p.showCursor(true);
    p.doEvents();
    app.mainForm->Unload();
}

}  // namespace mv
