#pragma once
// The console the program was started from.

namespace mv53::platform {

// Whether standard error is a terminal (a person watches it) rather than a file or a pipe.
bool StandardErrorIsTerminal();
// Whether standard output is a terminal (progress bars are drawn only there).
bool StandardOutputIsTerminal();

// From now on Ctrl-C and the request to terminate (SIGINT and SIGTERM; on Windows the console's
// Ctrl-C and Ctrl-Break) no longer end the process but are noted for StopRequested, so that a
// command can stop its work in order. A second one ends the process as before.
void CatchStopRequests();
// Whether such a request came since CatchStopRequests. Safe from any thread.
bool StopRequested();

} // namespace mv53::platform
