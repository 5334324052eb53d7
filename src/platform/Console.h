#pragma once
// The console the program was started from.

namespace mv53::platform {

// Whether standard error is a terminal (a person watches it) rather than a file or a pipe.
bool StandardErrorIsTerminal();
// Whether standard output is a terminal (progress bars are drawn only there).
bool StandardOutputIsTerminal();

} // namespace mv53::platform
