#pragma once
// The channel list as CSV, the way spreadsheets exchange it. Export: the header
// "Chn,TAG,Receive,Transmit,Mode,Pwr,Shift,Encryption,Selcall,Tune", then one line per channel
// in use in number order, each value as the grid shows it (a tag without its trailing blanks),
// UTF-8, CRLF line ends, a field quoted only when it holds a separator, a quote, a line end or
// blanks at its ends. Import takes what a spreadsheet writes: a byte order mark, CRLF or LF,
// quoted fields, ";" as separator when the header uses it, the columns in any order and any
// left out (a channel then keeps a new channel's value there).

#include "model/MVmemSub.h"

#include <string>

namespace mv53 {

// Before a file's name when it cannot be read or written; the system's reason follows.
inline constexpr const char* kCannotReadCsv = "Cannot read the CSV file ";
inline constexpr const char* kCannotWriteCsv = "Cannot write the CSV file ";

std::string ChannelsToCsv(const TChannels& channels);

// Reads the CSV text into channels: the channels it lists become used with its values, every
// other channel becomes a new empty one. Each field passes the typing rules and the radio's
// range; the first that does not gives false with "line L, column C: reason" in error, and
// channels is left as it was.
bool ChannelsFromCsv(const std::string& text, const TFactoryOpt& factory, TChannels& channels, std::string& error);

}  // namespace mv53
