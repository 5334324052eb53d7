#pragma once
// The edits of the channel list as a whole: insert, delete, move, sort and fill. Each works on
// the records, and a channel's own data in the other records (its antenna tuner entry) moves
// with it. An edit that is refused changes nothing and says why.

#include "model/MVmem.h"

#include <string>
#include <vector>

namespace mv53 {

// The names of the edits as the undo history and the menus show them.
inline constexpr const char* kInsertChannelStep = "Insert Channel";
inline constexpr const char* kDeleteChannelStep = "Delete Channel";
inline constexpr const char* kMoveUpStep = "Move Up";
inline constexpr const char* kMoveDownStep = "Move Down";
inline constexpr const char* kSortStep = "Sort";
inline constexpr const char* kFillStep = "Fill";
inline constexpr const char* kPasteStep = "Paste";
inline constexpr const char* kImportChannelsStep = "Import Channels";
// The grid's own edits: a typed cell, a value stepped or picked, a channel put in use or emptied.
inline constexpr const char* kTypingStep = "Typing";
inline constexpr const char* kValueStep = "Change Value";
inline constexpr const char* kUseChannelStep = "Use Channel";
inline constexpr const char* kEmptyChannelStep = "Empty Channel";

inline constexpr const char* kInsertRefused =
    "Channel 500 is in use. Inserting a channel would push it out of the list.";

// The antenna tuner entry of channel index 0..499: channels 1..250 in table 0, 251..500 in table 1.
TTuneData& ChannelTuneEntry(TAntTuner0& set0, TAntTuner1& set1, int channel);
const TTuneData& ChannelTuneEntry(const TAntTuner0& set0, const TAntTuner1& set1, int channel);

// A new empty channel at channel, moving it and those below one down. Refused (the message,
// nothing changed) while the last channel is in use.
std::string InsertChannel(TMVmem& mem, int channel);

// Removes the channels (indexes, any order) and moves the rest up; new empty channels fill the end.
void DeleteChannels(TMVmem& mem, const std::vector<int>& channels);

// Swaps each of the channels with its neighbour above (up) or below; the indexes follow them.
// False, with nothing changed, when one of them is already at that end of the list.
bool MoveChannels(TMVmem& mem, std::vector<int>& channels, bool up);

enum class TSortKey { Receive, Transmit, Tag };

// Sorts the channels at the given indexes among themselves (all 500 when none are given):
// used channels by the key ascending, in their old order where the key is equal ("TX OFF" after
// every transmit frequency), empty channels last.
void SortChannels(TMVmem& mem, std::vector<int> channels, TSortKey key);

struct TFillRequest {
    double StartMHz = 0.0;
    double StepKHz = 0.0;      // may be negative
    bool CopyFirst = false;    // mode, power and the option columns from the first channel
};

// Writes receive and transmit frequencies (the transmit frequency of a receive-only channel
// stays off) down the channels in the order given, each channel put in use. Each value passes
// the typing rules and the radio's range; the first that does not stops the fill with the
// message naming the channel, and nothing is changed.
std::string FillChannels(TMVmem& mem, const std::vector<int>& channels, const TFillRequest& fill);

}  // namespace mv53
