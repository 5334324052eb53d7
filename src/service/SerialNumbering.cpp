#include "service/SerialNumbering.h"

#include "model/U_InputFilter.h"

#include <cstdio>

namespace mv53::serialw {

namespace {

int NumberOf(const std::string& text) { return TextToInt(DigitsOnly(text)); }

// The decimal text with leading zeros, of which only the last `digits` characters remain.
std::string Digits(int value, int digits)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%0*d", digits, value);
    const std::string text = buf;
    return text.substr(text.size() - static_cast<std::size_t>(digits));
}

}  // namespace

std::string NormalizeYear(const std::string& text)
{
    int n = NumberOf(text);
    if (n < 1000)
        n += 2000;
    return Digits(n, 4);
}

std::string NormalizeMonth(const std::string& text)
{
    int n = NumberOf(text);
    if (n < 1)
        n = 1;
    if (n > 12)
        n = 12;
    return Digits(n, 2);
}

std::string NormalizeLot(const std::string& text)
{
    int n = NumberOf(text);
    if (n > 99)
        n = 1;
    return Digits(n, 2);
}

std::string NormalizeNumber(const std::string& text)
{
    int n = NumberOf(text);
    if (n > 9999)
        n = 1;
    return Digits(n, 4);
}

TSerialFields Normalized(const TSerialFields& fields)
{
    return {NormalizeYear(fields.Year), NormalizeMonth(fields.Month), NormalizeLot(fields.Lot),
            NormalizeNumber(fields.Number)};
}

std::string NextSerialNumber(const TSerialFields& fields)
{
    std::string serial;
    serial += fields.Year.empty() ? '0' : fields.Year.back();
    serial += static_cast<char>(66 + TextToInt(fields.Month));
    serial += fields.Lot;
    serial += fields.Number;
    return serial;
}

void Advance(TSerialFields& fields)
{
    int number = TextToInt(fields.Number);
    int lot = TextToInt(fields.Lot);
    if (number >= 9999) {
        number = 1;
        lot = lot >= 99 ? 0 : lot + 1;
    } else {
        ++number;
    }
    fields.Lot = Digits(lot, 2);
    fields.Number = Digits(number, 4);
}

}  // namespace mv53::serialw
