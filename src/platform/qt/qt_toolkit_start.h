#pragma once
// Qt reports a toolkit that cannot start (no display, a platform plug-in that cannot load) with a
// fatal message that blames the installation and aborts. While the application object is being
// made, such a failure becomes one line that names the real cause, and exit status 1.
namespace mv::qt {

// Before the application object: failures from here on are explained. Messages of a start that
// goes well are held back and printed by toolkitStarted.
void explainToolkitFailures();

// Once the application object exists: messages go their ordinary way again.
void toolkitStarted();

}  // namespace mv::qt
