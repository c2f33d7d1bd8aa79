#pragma once
#include <functional>

namespace mv::qt {

// Takes SIGTERM, SIGINT and SIGHUP from the first moment of the process on. Until endOnSignals
// is called nothing has been shown or written yet, so such a signal ends the process at once
// with status 0.
void catchEndSignals();

// From now on SIGTERM, SIGINT and SIGHUP become a call of onEnd on the event loop (also inside a
// pending-event call in the middle of a split), so the program ends the way closing its window
// ends it. Should it still run shortly after (something busy for long between two event checks),
// or should a second such signal come, the process deletes its scratch files and exits with
// status 0 at once.
void endOnSignals(std::function<void()> onEnd);

}  // namespace mv::qt
