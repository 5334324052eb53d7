#pragma once
// The radio's serial port as every controller that talks to the radio chooses it: the number
// ComPortNo + 1 (COM1 when ComPortNo is out of range), or a device path that overrides it; and
// the words that name the port and an open failure in messages.

#include "link/CommX.h"
#include "state/U_Global.h"

#include <string>

namespace mv53 {

// Points comm at the radio's port; an empty devicePath uses the number.
void SelectRadioPort(TCustomCommX& comm, const TProgramState& state, const std::string& devicePath);
// The device path when one is given, else "COMn (/dev/...)".
std::string RadioPortText(const TCustomCommX& comm, const std::string& devicePath);
// The line settings of a talk with the radio; always 8 data bits, no parity, no flow control.
struct TRadioLine {
    int bitRate;
    TCommStopBits stopBits;
};
// The clone protocol's line; the boot protocol speaks the same at its own bit rates.
inline constexpr TRadioLine kCloneLine{9600, csb2};
constexpr TRadioLine BootLine(int bitRate) { return {bitRate, csb2}; }
// Spot-ADJ's line: the port component's defaults.
inline constexpr TRadioLine kSpotAdjLine{9600, csb1};

// Opens the radio's port with the line settings. Returns an empty text, or the open failure in
// the words of OpenFailureDetail with the port closed again.
std::string OpenRadioPort(TCustomCommX& comm, const TProgramState& state, const std::string& devicePath,
                          const TRadioLine& line);
// "Cannot open <port>: " and why, in words the person at the radio can act on.
std::string OpenFailureDetail(const std::string& portText, const TCustomCommX& comm, const ECommError& e);

}  // namespace mv53
