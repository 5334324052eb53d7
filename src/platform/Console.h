#pragma once
// The console the program was started from.

namespace mv53::platform {

// Whether standard error is a terminal (a person watches it) rather than a file or a pipe.
bool StandardErrorIsTerminal();

} // namespace mv53::platform
