#include "model/Decimal.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace {

constexpr int kMaxFractionDigits = 9;    // the most that fit a 32-bit Fraction
constexpr int kMaxPadding = 400;         // beyond this a fraction no longer changes a double

// Decimal digits of a non-negative number.
std::string DigitText(int64_t value)
{
    char buf[24];
    auto res = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, res.ptr);
}

void StripTrailingZeros(std::string& s)
{
    while (!s.empty() && s.back() == '0')
        s.pop_back();
}

// Splits the fixed text "int.frac" (or "int") of a non-negative magnitude.
void SplitFixed(const std::string& text, std::string& intText, std::string& fracText)
{
    size_t dot = text.find('.');
    intText = text.substr(0, dot);
    fracText = dot == std::string::npos ? std::string() : text.substr(dot + 1);
}

// The fraction as digits, zero-padded on the left to digits characters.
std::string FractionText(int32_t fraction, int32_t digits)
{
    std::string f = DigitText(fraction);
    int32_t pad = std::min(digits, kMaxPadding);
    if (static_cast<int32_t>(f.size()) < pad)
        f.insert(0, static_cast<size_t>(pad) - f.size(), '0');
    return f;
}

}  // namespace

bool TDecimal::Equals(const TDecimal& other) const { return *this == other; }

void TDecimal::FromFloat(double value)
{
    m_sign = 1;
    m_intPart = 0;
    m_fraction = 0;
    m_digits = 0;
    if (value == 0.0 || std::isnan(value))
        return;
    if (value < 0)
        m_sign = -1;
    double mag = std::fabs(value);
    constexpr double kIntLimit = 2147483648.0;   // 2^31: the integer part must stay below it
    if (!(mag < kIntLimit)) {
        m_intPart = std::numeric_limits<int32_t>::max();
        return;
    }

    // 15 significant digits as in "%.15g", but always written in fixed notation.
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, mag, std::chars_format::scientific, 14);
    std::string sci(buf, res.ptr);            // d.ddddddddddddddde[+-]XX
    size_t ePos = sci.find('e');
    std::string mantissa = sci.substr(0, 1) + sci.substr(2, ePos - 2);
    int exponent = 0;
    std::from_chars(sci.data() + ePos + 1 + (sci[ePos + 1] == '+' ? 1 : 0), sci.data() + sci.size(), exponent);
    StripTrailingZeros(mantissa);
    if (mantissa.empty())
        mantissa = "0";

    std::string intText;
    std::string fracText;
    if (exponent >= 0) {
        size_t intLen = static_cast<size_t>(exponent) + 1;
        if (mantissa.size() < intLen)
            mantissa.append(intLen - mantissa.size(), '0');
        intText = mantissa.substr(0, intLen);
        fracText = mantissa.substr(intLen);
    } else {
        intText = "0";
        fracText = std::string(static_cast<size_t>(-exponent - 1), '0') + mantissa;
    }
    if (fracText.size() > static_cast<size_t>(kMaxFractionDigits)) {
        // Too many digits for a 32-bit Fraction: round to the most it can hold.
        res = std::to_chars(buf, buf + sizeof buf, mag, std::chars_format::fixed, kMaxFractionDigits);
        SplitFixed(std::string(buf, res.ptr), intText, fracText);
        StripTrailingZeros(fracText);
    }

    int64_t intPart = 0;
    std::from_chars(intText.data(), intText.data() + intText.size(), intPart);
    if (intPart > std::numeric_limits<int32_t>::max()) {
        m_intPart = std::numeric_limits<int32_t>::max();
        return;
    }
    m_intPart = static_cast<int32_t>(intPart);
    if (!fracText.empty()) {
        m_digits = static_cast<int32_t>(fracText.size());
        int32_t fraction = 0;
        std::from_chars(fracText.data(), fracText.data() + fracText.size(), fraction);
        m_fraction = fraction;
    }
}

double TDecimal::ToFloat() const
{
    if (m_fraction < 0)
        return 0.0;   // "3.-5" is not a number
    std::string text = DigitText(m_intPart) + "." + FractionText(m_fraction, m_digits);
    double value = 0.0;
    auto res = std::from_chars(text.data(), text.data() + text.size(), value);
    if (res.ec != std::errc() || res.ptr != text.data() + text.size())
        return 0.0;
    return value * m_sign;
}

int32_t TDecimal::ToScaled(int n) const
{
    if (m_fraction < 0)
        return 0;   // the parts do not form a number
    n = std::clamp(n, 0, 18);
    const std::string f = FractionText(m_fraction, m_digits);
    const size_t want = static_cast<size_t>(n);

    // Integer part followed by exactly n fraction digits: padded with zeros, or rounded
    // half up when the number has more fraction digits than n.
    constexpr int64_t kSaturated = int64_t{1} << 40;   // far beyond the 32-bit range
    int64_t acc = m_intPart < 0 ? -int64_t{m_intPart} : int64_t{m_intPart};
    for (size_t i = 0; i < want && acc < kSaturated; ++i)
        acc = acc * 10 + (i < f.size() ? f[i] - '0' : 0);
    if (f.size() > want && f[want] >= '5')
        ++acc;
    acc = std::min(acc, kSaturated);

    int64_t sign = (m_sign > 0) - (m_sign < 0);
    if (m_intPart < 0)
        sign = -sign;
    int64_t value = acc * sign;
    value = std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max());
    return static_cast<int32_t>(value);
}
