#include "model/U_InputFilter.h"

#include "model/U_Const.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace {

constexpr double kMaxFreq = 30.0;
constexpr double kMinRxFreq = 0.5;
constexpr double kMinRxFreqRange1 = 3.0;
constexpr double kMinTxFreq = 1.6;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// ASCII upper case, independent of the locale.
char ToUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Runs a key filter over one character of a text. Backspace is a typing key, never text.
template <typename Filter>
bool PassesFilter(char c, Filter filter, char* result = nullptr)
{
    if (c == kBackspaceKey)
        return false;
    bool ok = filter(c);
    if (result)
        *result = c;
    return ok;
}

bool Reject(char& Key)
{
    Key = 0;
    return false;
}

// Decimal exponent of the magnitude of a number text that from_chars found out of range:
// above 0 means too large (infinity), below means too small (zero).
long MagnitudeOf(std::string_view text)
{
    size_t ePos = text.find_first_of("eE");
    std::string_view mantissa = text.substr(0, ePos);
    long exponent = 0;
    if (ePos != std::string_view::npos) {
        std::string_view e = text.substr(ePos + 1);
        bool neg = !e.empty() && e[0] == '-';
        if (!e.empty() && (e[0] == '-' || e[0] == '+'))
            e.remove_prefix(1);
        for (char c : e) {
            exponent = std::min(exponent * 10 + (c - '0'), 1000000L);
        }
        if (neg)
            exponent = -exponent;
    }
    size_t dot = mantissa.find('.');
    std::string_view intDigits = mantissa.substr(0, dot);
    size_t firstNonZero = intDigits.find_first_not_of('0');
    if (firstNonZero != std::string_view::npos)
        return exponent + static_cast<long>(intDigits.size() - firstNonZero);
    std::string_view frac = dot == std::string_view::npos ? std::string_view() : mantissa.substr(dot + 1);
    size_t lead = frac.find_first_not_of('0');
    return exponent - static_cast<long>(lead == std::string_view::npos ? frac.size() : lead);
}

}  // namespace

namespace mv53 {

std::string TrimBlanks(std::string_view text)
{
    size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    size_t last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

std::optional<int32_t> ParseInt(std::string_view text)
{
    if (!text.empty() && text[0] == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text[0] == '-')
            return std::nullopt;
    }
    int32_t value = 0;
    auto res = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || res.ec != std::errc() || res.ptr != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<double> ParseDouble(std::string_view text)
{
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    // Digits, one point and an exponent only: no blanks, no signs here, no "inf" or "nan".
    if (text.empty() || text.find_first_not_of("0123456789.eE+-") != std::string_view::npos)
        return std::nullopt;
    if (text[0] == '+' || text[0] == '-')
        return std::nullopt;
    double value = 0.0;
    auto res = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    if (res.ptr != text.data() + text.size())
        return std::nullopt;
    if (res.ec == std::errc::result_out_of_range)
        value = MagnitudeOf(text) > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    else if (res.ec != std::errc())
        return std::nullopt;
    return negative ? -value : value;
}

std::string FormatFixed(double value, int digits)
{
    digits = std::clamp(digits, 0, 30);
    char buf[400];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, digits);
    std::string text = res.ec == std::errc() ? std::string(buf, res.ptr) : std::string();
    if (text.size() < 2)
        text.insert(0, 2 - text.size(), ' ');
    return text;
}

}  // namespace mv53

int32_t TextToInt(const std::string& Text)
{
    return mv53::ParseInt(mv53::TrimBlanks(Text)).value_or(0);
}

double TextToFloat(const std::string& Text)
{
    std::optional<double> value = mv53::ParseDouble(mv53::TrimBlanks(Text));
    if (!value || !std::isfinite(*value))
        return 0.0;
    return *value;
}

bool IsDigitKey(char& Key)
{
    if (Key == kBackspaceKey || IsDigit(Key))
        return true;
    return Reject(Key);
}

bool IsSignedKey(char& Key)
{
    if (Key == kBackspaceKey || IsDigit(Key) || Key == '+' || Key == '-')
        return true;
    return Reject(Key);
}

bool IsTagKey(char& Key)
{
    Key = ToUpper(Key);
    const auto code = static_cast<unsigned char>(Key);
    if (Key == kBackspaceKey || (code >= 32 && code <= 95))
        return true;
    return Reject(Key);
}

bool IsSerialKey(char& Key)
{
    Key = ToUpper(Key);
    if (Key == kBackspaceKey || IsDigit(Key) || (Key >= 'A' && Key <= 'N'))
        return true;
    return Reject(Key);
}

bool IsFreqKey(char& Key)
{
    return Key == kBackspaceKey || Key == '.' || Key == ',' || IsDigit(Key);
}

std::string DigitsOnly(const std::string& Text)
{
    std::string trimmed = mv53::TrimBlanks(Text);
    for (char c : trimmed)
        if (!PassesFilter(c, IsDigitKey))
            return {};
    return trimmed;
}

std::string DigitsOrDashes(const std::string& Text)
{
    static const std::string kDashes = "----";
    if (Text == kDashes)
        return kDashes;
    std::string digits = DigitsOnly(Text);
    return digits.empty() ? kDashes : digits;
}

std::string FormatSigned(const std::string& Text)
{
    std::string text = mv53::TrimBlanks(Text);
    for (char c : text)
        if (!PassesFilter(c, IsSignedKey)) {
            text.clear();
            break;
        }
    if (text.size() > 1 && text.find_first_of("+-", 1) != std::string::npos)
        return "0";
    std::optional<int32_t> value = mv53::ParseInt(text);
    if (!value)
        return "0";
    char buf[16];
    auto res = std::to_chars(buf, buf + sizeof buf, *value);
    std::string digits(buf, res.ptr);
    return *value > 0 ? "+" + digits : digits;
}

std::string NormalizeTag(const std::string& Text)
{
    std::string out = Text;
    for (char& c : out) {
        char upper = c;
        if (!PassesFilter(c, IsTagKey, &upper))
            upper = ' ';
        c = upper;
    }
    return out;
}

std::string FormatTag(const std::string& Text)
{
    std::string tag = NormalizeTag(Text);
    const auto width = static_cast<size_t>(ChannelColumns()[kTagColumn].EditParam);
    if (tag.size() < width)
        tag.append(width - tag.size(), ' ');
    return tag;
}

std::string FormatFreq(const std::string& Text, int Column, int32_t RxRange)
{
    // Digits and the first decimal mark ("," or "."), read as ".".
    std::string kept;
    bool havePoint = false;
    for (char c : Text) {
        if (!PassesFilter(c, IsFreqKey))
            continue;
        if (c == '.' || c == ',') {
            if (havePoint)
                continue;
            havePoint = true;
            c = '.';
        }
        kept.push_back(c);
    }
    double value = mv53::ParseDouble(mv53::TrimBlanks(kept)).value_or(0.0);
    if (std::isnan(value))
        value = 0.0;
    if (value > kMaxFreq)
        value = kMaxFreq;

    const int32_t kind = (Column >= 0 && Column < kChannelColumnCount) ? ChannelColumns()[static_cast<size_t>(Column)].EditKind : kEditNone;
    if (kind == kEditRxFreq) {
        const double low = RxRange == 0 ? kMinRxFreq : kMinRxFreqRange1;
        if (value < low)
            value = low;
    } else if (kind == kEditTxFreq) {
        if (value < kMinTxFreq)
            value = kMinTxFreq;
    }
    return mv53::FormatFixed(value, 5);
}

void SwallowEnter(char& Key)
{
    if (Key == kEnterKey)
        Key = 0;
}
