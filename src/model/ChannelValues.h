#pragma once
// The rules that turn a channel column's text into the channel's values: the grid's cells (texts
// already normalised as typing leaves them) and texts from elsewhere (a CSV file, a fill), which
// must pass the typing rules and the radio's frequency range unchanged or are refused with the
// reason.

#include "model/MVmemSub.h"

#include <string>

namespace mv53 {

// A frequency cell's text (a number in MHz) into target.
void SetFrequencyText(TDecimal& target, const std::string& text);
// Index of text among an option list's filled entries, -1 when it is none of them exactly.
int32_t OptionEntryOf(int32_t list, const std::string& text);
// The entry after text in an option list, the first after the last one or after none of them
// (a double-click on an option cell steps through the list).
std::string NextOptionText(int32_t list, const std::string& text);

// A cell text of column 1..9 as the grid holds it into the channel: the tag as it is, a
// frequency read as a number, the index of an option text in the column's list ("OFF" or a code
// in the encryption column). The Transmit column's text is taken only while the transmitter is
// on; a receive frequency does not reach the transmit frequency here (see ApplyReceiveText).
void StoreCellText(TChannel& ch, int column, const std::string& text);

// After a new receive text: the transmit frequency takes it, normalised as a transmit
// frequency, and that text is returned (the grid shows it while the transmitter is on).
std::string ApplyReceiveText(TChannel& ch, const std::string& receiveText, int32_t rxRange);

// The columns whose cell takes typed text: the tag and the two frequencies.
bool IsTypedColumn(int column);
// Whether a typed character may enter column's cell of ch; an accepted key takes the form the
// cell shows (tag letters in upper case). A receive-only channel's transmit cell shows "TX OFF"
// and admits any key but Escape and the blank.
bool AcceptCellKey(const TChannel& ch, int column, char& key);
// A typed cell text in the form the cell shows: the tag padded to its width, a frequency as
// "%2.5f" inside the typing limits; "TX OFF" of a receive-only channel and other columns as given.
std::string NormalizeCellText(const TChannel& ch, int column, const std::string& text, int32_t rxRange);
// A frequency cell's text (not "TX OFF") whose value lies outside the radio's range.
bool CellFreqOutOfRange(int column, const std::string& text, const TFactoryOpt& factory);

// A text for column 1..9 from outside the grid, checked as typing checks it, and stored:
// a tag of at most 8 characters the tag keys admit (upper-cased, padded as typing pads it);
// a frequency of the frequency keys inside the radio's range for its direction (a receive
// frequency sets the transmit frequency too, as typing does); "TX OFF" in the Transmit column;
// exactly one of the column's option texts. Returns why the text is refused, naming the
// channel by its index (the channel is then unchanged), or the empty text.
std::string TakeCellText(TChannel& ch, int index, int column, const std::string& text, const TFactoryOpt& factory);

}  // namespace mv53
