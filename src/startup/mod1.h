#pragma once

namespace mv {

struct App;

// The entry procedure: changes to the program's directory and dispatches on the switch.
void Main(App& app);
// Ends the process when another instance already shows a saver window.
void CheckPrevInstance(App& app);
// Restores the cursor and unloads the saver window; harmless when entered again.
void EndSaver(App& app);

}  // namespace mv
