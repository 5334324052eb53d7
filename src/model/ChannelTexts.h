#pragma once
// The texts of a channel as the channel grid shows them, cell by cell: the number, the tag,
// the frequencies in MHz with five decimals ("TX OFF" for a receive-only channel), and the
// entries of the option lists of the remaining columns.

#include "model/MVmemSub.h"

#include <string>

namespace mv53 {

inline constexpr const char* kTxOffText = "TX OFF";
inline constexpr const char* kEncryptOffText = "OFF";

// The text of column 0..9 of the channel grid for channel index (0..499) holding ch; the
// empty text for any other column.
std::string ChannelCellText(int index, const TChannel& ch, int column);

// The name of a grid column: its header's second line ("TAG", "Receive", "Transmit", "Mode"),
// after the first where the header has one beside the frequencies ("Encryption Code", "Tune Mode").
std::string ChannelColumnName(int column);

}  // namespace mv53
