#pragma once
// Text helpers and key filters that the grid and the dialogs apply to typed input. Key filters
// take the typed character by reference and return whether it is accepted; most replace a
// rejected character by the null character. Number texts always use "." whatever the locale.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

inline constexpr char kBackspaceKey = 8;
inline constexpr char kEnterKey = 13;

// Decimal value of Text (blanks around it allowed); 0 when it is not a valid 32-bit integer.
int32_t TextToInt(const std::string& Text);
// Value of Text (blanks around it allowed, "." as decimal point); 0.0 when it is not a number.
double TextToFloat(const std::string& Text);

bool IsDigitKey(char& Key);    // "0".."9"
bool IsSignedKey(char& Key);   // "0".."9", "+", "-"
bool IsTagKey(char& Key);      // upper-cased; codes 32..95
bool IsSerialKey(char& Key);   // upper-cased; "0".."9", "A".."N"
bool IsFreqKey(char& Key);     // ".", ",", "0".."9"; never changes Key

// Text without surrounding blanks when every character is a digit, else the empty text.
std::string DigitsOnly(const std::string& Text);
// "----" for "----" or for a text DigitsOnly empties; else DigitsOnly(Text).
std::string DigitsOrDashes(const std::string& Text);
// "+12", "0", "-5"; "0" for anything that is not a signed integer.
std::string FormatSigned(const std::string& Text);
// Upper case, characters IsTagKey rejects become blanks; same length.
std::string NormalizeTag(const std::string& Text);
// NormalizeTag padded with blanks to the tag column's width (8); longer texts are kept whole.
std::string FormatTag(const std::string& Text);
// A typed frequency in MHz as "%2.5f", limited to 30.0 and, by the column's edit kind, below:
// receive 0.5 (rxRange 0) or 3.0 (rxRange not 0), transmit 1.6, other columns none.
std::string FormatFreq(const std::string& Text, int Column, int32_t RxRange);
// A typed Enter becomes the null character.
void SwallowEnter(char& Key);

namespace mv53 {

// value with `digits` fraction digits and "." as decimal point, at least 2 characters wide,
// like "%2.5f" in the C locale.
std::string FormatFixed(double value, int digits);
// A decimal or exponent number text with "." (optional sign; no blanks, no inf/nan).
std::optional<double> ParseDouble(std::string_view text);
// An optional sign and decimal digits, within the 32-bit range.
std::optional<int32_t> ParseInt(std::string_view text);
// Text without leading and trailing blanks.
std::string TrimBlanks(std::string_view text);

}  // namespace mv53
