#pragma once
// The scratch files this process holds, deleted from where no ordinary clean-up runs: a signal
// handler (async-signal-safe) or an exit handler after the display went away.
namespace mv::files {

void removeHeldFilesNow() noexcept;

}  // namespace mv::files
