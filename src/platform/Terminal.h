#pragma once
// Whether the command line's standard output is a terminal (progress bars are drawn only there).

namespace mv53::platform {

bool StandardOutputIsTerminal();

}  // namespace mv53::platform
