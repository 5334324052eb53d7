#include "platform/Terminal.h"

#include <unistd.h>

namespace mv53::platform {

bool StandardOutputIsTerminal() { return ::isatty(STDOUT_FILENO) != 0; }

}  // namespace mv53::platform
