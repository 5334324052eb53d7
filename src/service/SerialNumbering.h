#pragma once
// The serial numbers of the production line: year, month, lot and a running number make the
// next 8-character serial number; after each radio the running number advances. Plain C++.
//
//   year "2026", month "03", lot "00", number "0001"  ->  "6E000001"
//   (last digit of the year, the month as a letter "C".."N", the lot, the running number)

#include <string>

namespace mv53::serialw {

struct TSerialFields {
    std::string Year;     // 4 digits
    std::string Month;    // 2 digits, 01..12
    std::string Lot;      // 2 digits
    std::string Number;   // 4 digits
};

// The texts as leaving their edits leaves them: n := the number the trimmed text stands for
// (0 unless it is all digits); year below 1000 gets 2000 added; month kept within 1..12; a lot
// above 99 and a number above 9999 become 1. Shown with leading zeros, cut to the last 4 or 2
// characters.
std::string NormalizeYear(const std::string& text);
std::string NormalizeMonth(const std::string& text);
std::string NormalizeLot(const std::string& text);
std::string NormalizeNumber(const std::string& text);
TSerialFields Normalized(const TSerialFields& fields);

// The serial number the fields give.
std::string NextSerialNumber(const TSerialFields& fields);

// After a write: the number goes up by one; from 9999 on it starts again at 1 in the next lot
// (after lot 99, lot 00).
void Advance(TSerialFields& fields);

}  // namespace mv53::serialw
