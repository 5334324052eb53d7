// Option tables, TDecimal, the text helpers and key filters, and the radio's frequency ranges.

#include "model/Decimal.h"
#include "model/FreqRange.h"
#include "model/U_Const.h"
#include "model/U_InputFilter.h"

#include <gtest/gtest.h>

#include <clocale>
#include <limits>
#include <locale>
#include <set>
#include <string>

namespace {

TDecimal Dec(int32_t sign, int32_t intPart, int32_t fraction, int32_t digits)
{
    TDecimal d;
    d.SetSign(sign);
    d.SetIntPart(intPart);
    d.SetFraction(fraction);
    d.SetDigits(digits);
    return d;
}

void ExpectParts(const TDecimal& d, int32_t sign, int32_t intPart, int32_t fraction, int32_t digits)
{
    EXPECT_EQ(d.Sign(), sign);
    EXPECT_EQ(d.IntPart(), intPart);
    EXPECT_EQ(d.Fraction(), fraction);
    EXPECT_EQ(d.Digits(), digits);
}

TDecimal FromFloat(double v)
{
    TDecimal d;
    d.FromFloat(v);
    return d;
}

}  // namespace

// The shortest decimal digits; tiny values (general format would write "1e-05") held as fraction
// digits, more than 9 fraction digits (beyond a 32-bit fraction) rounded to 9, huge values held
// at the bound.
TEST(Decimal, FromFloatKeepsTheShortestDecimalDigitsWithoutExponentOrOverflow)
{
    const std::pair<double, TDecimal> cases[] = {
        {0.0, Dec(1, 0, 0, 0)},           {-2.25, Dec(-1, 2, 25, 2)},        {3.5, Dec(1, 3, 5, 1)},
        {1.6, Dec(1, 1, 6, 1)},           {7.0025, Dec(1, 7, 25, 4)},        {30.0, Dec(1, 30, 0, 0)},
        {2999999 / 100000.0, Dec(1, 29, 99999, 5)},                         {0.00001, Dec(1, 0, 1, 5)},
        {1 / 100000.0, Dec(1, 0, 1, 5)},  {3.14159265358979, Dec(1, 3, 141592654, 9)},
        {1e-12, Dec(1, 0, 0, 0)},         {1e300, Dec(1, 2147483647, 0, 0)}, {-1e300, Dec(-1, 2147483647, 0, 0)},
        {std::numeric_limits<double>::quiet_NaN(), Dec(1, 0, 0, 0)},        {42949.67295, Dec(1, 42949, 67295, 5)},
    };
    for (const auto& [value, parts] : cases) {
        SCOPED_TRACE(value);
        ExpectParts(FromFloat(value), parts.Sign(), parts.IntPart(), parts.Fraction(), parts.Digits());
    }
    EXPECT_DOUBLE_EQ(FromFloat(-2.25).ToFloat(), -2.25);
    EXPECT_FALSE(Dec(1, 3, 5, 1).Equals(Dec(1, 3, 50, 2)));
}

// Malformed parts among them: more fraction digits than asked for are rounded (not scaled ten
// times too large), results beyond 32 bits held at the bound, a negative fraction is no number,
// and huge digit counts cost nothing.
TEST(Decimal, ToScaledAndToFloat)
{
    const struct Case {
        TDecimal d;
        int32_t digits;
        int32_t scaled;
        double value;
    } cases[] = {
        {Dec(1, 30, 0, 0), 5, 3000000, 30.0},           {Dec(1, 29, 99999, 5), 5, 2999999, 29.99999},
        {Dec(1, 0, 5, 1), 5, 50000, 0.5},               {Dec(-1, 7, 25, 4), 5, -700250, -7.0025},
        {Dec(1, 7, 25, 4), 0, 7, 7.0025},               {Dec(1, 29, 999994, 6), 5, 2999999, 29.999994},
        {Dec(1, 29, 999995, 6), 5, 3000000, 29.999995}, {Dec(1, 2147483647, 0, 0), 5, 2147483647, 2147483647.0},
        {Dec(-1, 2147483647, 0, 0), 5, -2147483647 - 1, -2147483647.0},
        {Dec(1, 30, 0, 0), 1000, 2147483647, 30.0},     {Dec(1, 3, -5, 1), 5, 0, 0.0},
        {Dec(1, 3, 5, 2000000000), 5, 300000, 3.0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.d.ToScaled(c.digits), c.scaled) << c.value;
        EXPECT_DOUBLE_EQ(c.d.ToFloat(), c.value);
    }
}

TEST(KeyFilters, AcceptedCharactersOverAllCodes)
{
    for (int code = 0; code < 256; ++code) {
        const char c = static_cast<char>(code);
        const bool bs = code == 8;
        const bool digit = c >= '0' && c <= '9';
        const char upper = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
        char k = c;
        EXPECT_EQ(IsDigitKey(k), bs || digit) << code;
        EXPECT_EQ(k, (bs || digit) ? c : '\0');
        k = c;
        const bool signedOk = bs || digit || c == '+' || c == '-';
        EXPECT_EQ(IsSignedKey(k), signedOk) << code;
        EXPECT_EQ(k, signedOk ? c : '\0');
        k = c;
        const bool tagOk = bs || (static_cast<unsigned char>(upper) >= 32 && static_cast<unsigned char>(upper) <= 95);
        EXPECT_EQ(IsTagKey(k), tagOk) << code;
        EXPECT_EQ(k, tagOk ? upper : '\0');
        k = c;
        const bool serialOk = bs || digit || (upper >= 'A' && upper <= 'N');
        EXPECT_EQ(IsSerialKey(k), serialOk) << code;
        EXPECT_EQ(k, serialOk ? upper : '\0');
        k = c;
        EXPECT_EQ(IsFreqKey(k), bs || digit || c == '.' || c == ',') << code;
        EXPECT_EQ(k, c);
    }
    char enter = kEnterKey;
    SwallowEnter(enter);
    EXPECT_EQ(enter, '\0');
    char other = 'x';
    SwallowEnter(other);
    EXPECT_EQ(other, 'x');
}

// Text in, text out: each helper over a few typical and malformed texts.
TEST(TextHelpers, NumberDigitTagAndFrequencyTexts)
{
    using Case = std::pair<const char*, const char*>;
    const auto check = [](const auto& convert, std::initializer_list<Case> cases) {
        for (const auto& [in, out] : cases)
            EXPECT_EQ(convert(in), out) << '"' << in << '"';
    };
    check([](const char* t) { return std::to_string(TextToInt(t)); },
          {{"42", "42"}, {" -7 ", "-7"}, {"+5", "5"}, {"1.5", "0"}, {"2147483648", "0"}, {"+-1", "0"}, {"", "0"}});
    check([](const char* t) { return mv53::FormatFixed(TextToFloat(t), 1); },
          {{"2.5", "2.5"}, {" -1e2 ", "-100.0"}, {"2,5", "0.0"}, {"inf", "0.0"}, {"nan", "0.0"}, {"1e999", "0.0"},
           {".", "0.0"}});
    check(DigitsOnly, {{" 0123 ", "0123"}, {"12a", ""}, {"1\b2", ""}});
    check(DigitsOrDashes, {{"----", "----"}, {"x", "----"}, {"", "----"}, {"77", "77"}});
    check(FormatSigned, {{"+0", "0"}, {"1-2", "0"}, {"abc", "0"}, {"-300", "-300"}, {" 12 ", "+12"}, {"-", "0"},
                         {"99999999999", "0"}});
    check(NormalizeTag, {{"ch-1~", "CH-1 "}, {"a\tb\x80", "A B "}});
    check(FormatTag, {{"AB", "AB      "}, {"abcdefghij", "ABCDEFGHIJ"}});

    struct Freq {
        const char* text;
        int column, range;
        const char* out;
    };
    for (const Freq& f : {Freq{"0,3", kRxFreqColumn, 0, "0.50000"}, {"0,3", kRxFreqColumn, 1, "3.00000"},
                          {"1", kTxFreqColumn, 0, "1.60000"}, {"12.3456789", kRxFreqColumn, 0, "12.34568"},
                          {"7", kRxFreqColumn, 0, "7.00000"}, {"45", kTxFreqColumn, 0, "30.00000"},
                          {"", kRxFreqColumn, 0, "0.50000"}, {".", kTxFreqColumn, 0, "1.60000"},
                          {"1,2.5", 0, 0, "1.25000"}, {" 2 MHz", 0, 0, "2.00000"}, {"0.1", 0, 0, "0.10000"},
                          {"0.1", 99, 0, "0.10000"}, {"-5", kRxFreqColumn, 0, "5.00000"}})
        EXPECT_EQ(FormatFreq(f.text, f.column, f.range), f.out) << f.text << " column " << f.column;
    // Huge or malformed texts.
    EXPECT_EQ(FormatFreq(std::string(5000, '9'), kRxFreqColumn, 0), "30.00000");
    EXPECT_EQ(FormatFreq("0." + std::string(5000, '0') + "1", kRxFreqColumn, 0), "0.50000");
    EXPECT_EQ(FormatFreq(std::string(1000, '.'), kTxFreqColumn, 0), "1.60000");
    EXPECT_EQ(FormatFreq(std::string("\0\xff\x80", 3), 0, 0), "0.00000");
}

TEST(TextHelpers, NumberTextsIgnoreTheUserLocale)
{
    const char* previous = std::setlocale(LC_ALL, nullptr);
    const std::string saved = previous ? previous : "C";
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
        GTEST_SKIP() << "locale de_DE.UTF-8 is not installed";
    const std::locale savedGlobal = std::locale::global(std::locale("de_DE.UTF-8"));

    EXPECT_EQ(FormatFreq("12,5", kRxFreqColumn, 0), "12.50000");
    EXPECT_EQ(FormatFreq("12.5", kRxFreqColumn, 0), "12.50000");
    EXPECT_EQ(mv53::FormatFixed(1.5, 5), "1.50000");
    EXPECT_DOUBLE_EQ(TextToFloat("1.5"), 1.5);
    EXPECT_EQ(TextToFloat("1,5"), 0.0);
    EXPECT_EQ(FormatSigned("1234"), "+1234");
    ExpectParts(FromFloat(2.25), 1, 2, 25, 2);
    EXPECT_DOUBLE_EQ(Dec(1, 2, 25, 2).ToFloat(), 2.25);
    EXPECT_EQ(Dec(1, 2, 25, 2).ToScaled(5), 225000);

    std::locale::global(savedGlobal);
    std::setlocale(LC_ALL, saved.c_str());
}

TEST(FreqRange, EdgesOfEachRangeIn10HzSteps)
{
    struct Case {
        bool transmit;
        int32_t narrow;   // RxRange or TxRange
        double inside[2];
        double outside[2];
    };
    const Case cases[] = {
        {false, 0, {0.5, 30.0}, {0.49999, 30.00001}}, {false, 1, {3.0, 30.0}, {2.99999, 30.00001}},
        {true, 0, {1.6, 30.0}, {1.59999, 30.00001}},  {true, 1, {3.0, 30.0}, {2.99999, 30.00001}},
    };
    for (const Case& c : cases) {
        TFactoryOpt factory;
        // The other direction's switch is set the other way: it must not matter.
        factory.SetTxRange(c.transmit ? c.narrow : 1 - c.narrow);
        factory.SetRxRange(c.transmit ? 1 - c.narrow : c.narrow);
        for (int k = 0; k < 2; ++k) {
            SCOPED_TRACE(testing::Message() << c.transmit << c.narrow << " " << c.inside[k] << " " << c.outside[k]);
            EXPECT_TRUE(mv53::ChannelFreqInRange(FromFloat(c.inside[k]), c.transmit, factory));
            EXPECT_FALSE(mv53::ChannelFreqInRange(FromFloat(c.outside[k]), c.transmit, factory));
        }
    }
}
