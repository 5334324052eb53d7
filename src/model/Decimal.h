#pragma once
// TDecimal: a signed decimal number held as sign, integer part and fraction digits; the
// channel frequencies in MHz. The value is Sign x (IntPart + Fraction / 10^Digits).

#include <cstdint>

class TDecimal {
public:
    TDecimal() = default;

    int32_t Sign() const { return m_sign; }
    int32_t IntPart() const { return m_intPart; }
    int32_t Fraction() const { return m_fraction; }
    int32_t Digits() const { return m_digits; }
    void SetSign(int32_t v) { m_sign = v; }
    void SetIntPart(int32_t v) { m_intPart = v; }
    void SetFraction(int32_t v) { m_fraction = v; }
    void SetDigits(int32_t v) { m_digits = v; }

    void Assign(const TDecimal& source) { *this = source; }
    // All four parts equal (3.5 held as 3/5/1 differs from 3/50/2).
    bool Equals(const TDecimal& other) const;
    bool operator==(const TDecimal&) const = default;

    // From the shortest decimal text of value (15 significant digits, never exponent form).
    // 0, NaN give +1/0/0/0. More than 9 fraction digits are rounded to 9 so that Fraction
    // fits; a magnitude beyond the integer part's range is held as the largest integer part.
    void FromFloat(double value);
    // The value as a double; 0.0 when the parts do not form a number (a negative fraction).
    double ToFloat() const;
    // The value times 10^n as an integer. A number with more than n fraction digits is rounded
    // to n digits; a result outside the 32-bit range is held at the nearest bound.
    int32_t ToScaled(int n) const;

private:
    int32_t m_sign = 1;
    int32_t m_intPart = 0;
    int32_t m_fraction = 0;
    int32_t m_digits = 0;
};
