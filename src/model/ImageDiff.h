#pragma once
// The comparison of two radio images (old and new): what a user would see change, setting by
// setting and channel by channel, in the words and the value texts of the dialogs and the grid.
//
// Settings come first, in the order of the "Common" and "Selcall" dialogs and of the fields in
// each (the selcall unit, which both "Option" and "Selcall Common" show, once, under "Option").
// Then come the image bytes that no dialog or grid cell shows but that differ (the model id, the
// spare bytes of a channel, the contents of a channel that is empty in both, the padding of a
// tag, the print choice, the alignment, temperature correction and antenna tuner tables, and a
// value that the repair on reading makes look the same): section "Other bytes", one line for
// each run of up to 16 such bytes, named by the image offset of its first (and last) byte, the
// values in hexadecimal. So two images that differ never compare as equal. Last come the
// channels in number order: a channel put in use is "added", a channel cleared "removed" (no
// field lines for either), and a channel in use in both gives a line for each grid column
// whose text differs.
//
// The images are read as a data file is read: decoded and repaired, as the windows would show
// them after opening the file.

#include "model/Text.h"

#include <string>
#include <vector>

namespace mv53 {

inline constexpr const char* kOtherBytesSection = "Other bytes";

enum class TDifferenceKind { Setting, ChannelField, ChannelAdded, ChannelRemoved };

struct TImageDifference {
    TDifferenceKind Kind = TDifferenceKind::Setting;
    std::string Section;   // a setting's dialog caption, or kOtherBytesSection
    std::string Field;     // a setting's label (without "&") or image offsets; a channel's column
    int Channel = 0;       // the channel number 1..500 of the channel kinds
    std::string Old;
    std::string New;

    bool operator==(const TImageDifference&) const = default;
};

std::vector<TImageDifference> CompareImages(const TText& oldImage, const TText& newImage);

// One difference as a line: "SECTION: FIELD: OLD -> NEW", "channel N: COLUMN: OLD -> NEW",
// "channel N: added", "channel N: removed".
std::string DifferenceLine(const TImageDifference& difference);

}  // namespace mv53
