#pragma once
// The records as JSON, for the export and import commands.
//
// Layout: one object keyed by the TMVmem field names (FwVersion, Channels, Comport, A1A, Hard,
// PwrSave, Misc, Sys, Opt, Sel, TelNumbers, AntTuner0, AntTuner1, Alignment, TmpCorrect,
// FactoryOpt); each record is an object keyed by its own field names. Choices are their stored
// item indexes, texts are strings as held, frequencies are numbers in MHz. Lists are arrays of
// their exact length: Channels 500 objects, Sel.TxIds and TelNumbers.Numbers 10 strings,
// AntTuner0/1.Entries 250 objects, Alignment.Values 51 integers (position 1 first),
// TmpCorrect.Rows 44 arrays of 9 integers, FactoryOpt.KeyFunc 3 codes.
//
// Reading checks every value against its field's type and range and refuses unknown keys;
// a key that is missing leaves the record's field as it was.

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

class TMVmem;
class TDecimal;

namespace mv53::cli {

// Keys keep the order of the records' fields.
using Json = nlohmann::ordered_json;

Json RecordsToJson(const TMVmem& mem);

// Fills mem from json. Every refused value adds one message that starts with the path of its
// field ("Channels[3].Mode: 7 is out of range 0..4"; array positions count from 0).
// True when nothing was refused; mem may be partly filled otherwise.
bool RecordsFromJson(const Json& json, TMVmem& mem, std::vector<std::string>& errors);

// A frequency as a JSON number: the double nearest to it.
Json FrequencyToJson(const TDecimal& freq);

// The text of json with one record field or one list item per line; list items that are
// records or rows stay on one line each, so that a channel reads as one line. Numbers with a
// fraction are written as the shortest text that reads back to the same double, so a
// frequency reads as its own decimal (7.053, 29.99999, never 7.0529999999).
std::string FormatJson(const Json& json);

}  // namespace mv53::cli
