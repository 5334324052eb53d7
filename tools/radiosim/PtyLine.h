#pragma once
// The radio's end of a pseudo-terminal: the master (raw, non-blocking), a slave descriptor of
// our own that keeps the master from seeing a hang-up between the PC's sessions, and a watch
// that tells when the PC closes its side.

#include <string>

namespace mv53::radiosim {

struct PtyLine {
    int master = -1;
    int slave = -1;
    int watch = -1;     // inotify descriptor, -1 when the system gives none
    std::string path;   // the slave's path, for the PC side
};

// False with the reason in error.
bool OpenPtyLine(PtyLine& line, std::string& error);
// After the watch fired: reads its events and lets the PC open the port again (a PC side that
// opened it exclusively leaves the flag on the terminal, since our slave keeps it open).
void TakePcClose(const PtyLine& line);

}  // namespace mv53::radiosim
