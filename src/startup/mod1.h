#pragma once
#include <string>

namespace mv {

struct App;

// The switch of a command line: trimmed, upper case, its first two characters.
std::string SwitchOf(const std::string& commandLine);
// Whether Main opens a window for this switch (the setup dialog, the show or the message);
// for any other it ends at once.
bool SwitchOpensWindow(const std::string& sw);
// The entry procedure: changes to the program's directory and dispatches on the switch.
void Main(App& app);
// Ends the process when another instance already shows a saver window.
void CheckPrevInstance(App& app);
// Restores the cursor and unloads the saver window; harmless when entered again.
void EndSaver(App& app);
// The system asked the process to end (a termination signal): the show and any dialog close as
// if their windows were closed, and nothing is shown afterwards.
void EndOnRequest(App& app);

}  // namespace mv
