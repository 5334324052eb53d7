#pragma once
// Finding a channel by its tag or a frequency, as the main window's find bar asks.

#include "model/MVmemSub.h"

#include <string>

namespace mv53 {

// The next channel in use after channel (index), wrapping round to it last, whose tag holds
// the text (blanks at the ends and case ignored) or, when the text reads as a frequency in MHz,
// whose receive or transmit frequency is that value. -1 when none matches or the text is blank.
int FindChannel(const TChannels& channels, const std::string& text, int after);

}  // namespace mv53
