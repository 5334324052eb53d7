#include "RecordsJson.h"

#include "model/Decimal.h"
#include "model/MVmem.h"
#include "model/U_Const.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <span>

namespace mv53::cli {

namespace {

// The refused values of one read, each with the path of its field.
class Errors {
public:
    explicit Errors(std::vector<std::string>& out) : m_out(out) {}
    void Add(const std::string& path, const std::string& what) { m_out.push_back(path + ": " + what); }

private:
    std::vector<std::string>& m_out;
};

// A number with a fraction as the shortest text that reads back to the same double, with at
// least one fraction digit ("3.0"). The library's own writer may give a longer text that reads
// back as well (0.5361900000000001 for 0.53619), which would not read as a frequency of 10 Hz steps.
std::string FloatText(double v)
{
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, v);
    std::string text(buf, res.ptr);
    if (text.find_first_of(".eEn") == std::string::npos)
        text += ".0";
    return text;
}

// Compact text of a value: the library's, except for numbers with a fraction.
void Compact(const Json& j, std::string& out)
{
    if (j.is_number_float()) {
        out += FloatText(j.get<double>());
    } else if (j.is_object()) {
        out += "{";
        const char* separator = "";
        for (const auto& [key, value] : j.items()) {
            out += separator + Json(key).dump(-1, ' ', false, Json::error_handler_t::replace) + ":";
            Compact(value, out);
            separator = ",";
        }
        out += "}";
    } else if (j.is_array()) {
        out += "[";
        const char* separator = "";
        for (const auto& item : j) {
            out += separator;
            Compact(item, out);
            separator = ",";
        }
        out += "]";
    } else {
        out += j.dump(-1, ' ', false, Json::error_handler_t::replace);
    }
}

// A value as it appears in a message: scalars as written, containers by their kind.
std::string Describe(const Json& j)
{
    if (j.is_structured())
        return std::string("an ") + (j.is_array() ? "array" : "object");
    std::string text;
    Compact(j, text);
    if (text.size() > 40)
        text = text.substr(0, 37) + "...";
    return text;
}

std::string Range(int64_t lo, int64_t hi) { return std::to_string(lo) + ".." + std::to_string(hi); }

// An integer field within lo..hi; apply stores it.
template <typename Apply>
void TakeInt(const Json& j, int64_t lo, int64_t hi, Errors& e, const std::string& path, Apply apply)
{
    if (!j.is_number_integer()) {
        e.Add(path, "expected an integer, got " + Describe(j));
        return;
    }
    const bool tooBig = j.is_number_unsigned() && j.get<uint64_t>() > static_cast<uint64_t>(INT64_MAX);
    const int64_t v = tooBig ? INT64_MAX : j.get<int64_t>();
    if (tooBig || v < lo || v > hi) {
        e.Add(path, Describe(j) + " is out of range " + Range(lo, hi));
        return;
    }
    apply(static_cast<int32_t>(v));
}

// A text field; check returns what is wrong with the text, or the empty text.
template <typename Check, typename Apply>
void TakeText(const Json& j, Errors& e, const std::string& path, Check check, Apply apply)
{
    if (!j.is_string()) {
        e.Add(path, "expected a string, got " + Describe(j));
        return;
    }
    const auto& text = j.get_ref<const std::string&>();
    if (std::string what = check(text); !what.empty()) {
        e.Add(path, Describe(j) + " " + what);
        return;
    }
    apply(text);
}

// Frequencies: 0.5..30.0 MHz with at most 5 fraction digits (the image holds units of 10 Hz).
constexpr double kMinFreq = 0.5;
constexpr double kMaxFreq = 30.0;
constexpr int kFreqDigits = 5;
constexpr double kFreqScale = 100000.0;

void TakeFrequency(const Json& j, TDecimal& target, Errors& e, const std::string& path)
{
    if (!j.is_number()) {
        e.Add(path, "expected a number of MHz, got " + Describe(j));
        return;
    }
    const double mhz = j.get<double>();
    if (!(mhz >= kMinFreq && mhz <= kMaxFreq)) {
        e.Add(path, Describe(j) + " is out of range 0.5..30.0");
        return;
    }
    // A text with at most 5 fraction digits reads as the double nearest to a whole number of
    // 10 Hz units, and dividing that number by 100000 gives the same double again.
    const double units = std::round(mhz * kFreqScale);
    TDecimal value;
    value.FromFloat(mhz);
    if (units / kFreqScale != mhz || value.Digits() > kFreqDigits) {
        e.Add(path, Describe(j) + " has more than 5 fraction digits");
        return;
    }
    target.Assign(value);
}

// Checks that j is an array of exactly n items and hands each to take(item, path, index).
template <typename Take>
void TakeArray(const Json& j, size_t n, Errors& e, const std::string& path, Take take)
{
    if (!j.is_array() || j.size() != n) {
        const std::string got = j.is_array() ? std::to_string(j.size()) + " items" : Describe(j);
        e.Add(path, "expected an array of " + std::to_string(n) + " items, got " + got);
        return;
    }
    for (size_t i = 0; i < n; ++i)
        take(j[i], path + "[" + std::to_string(i) + "]", static_cast<int>(i));
}

// Text rules of the fields.
std::string CheckDigits(const std::string& text, size_t minLength, size_t maxLength)
{
    for (char c : text)
        if (c < '0' || c > '9')
            return "is not made of the digits 0..9";
    if (text.size() < minLength || text.size() > maxLength)
        return minLength == maxLength ? "is not " + std::to_string(minLength) + " digits long"
                                      : "is longer than " + std::to_string(maxLength) + " digits";
    return {};
}

std::string CheckTag(const std::string& text)
{
    if (text.size() > 8)
        return "is longer than 8 characters";
    for (char c : text) {
        const auto code = static_cast<unsigned char>(c);
        if (code < 32 || code > 95)
            return "has a character outside codes 32..95 (blank, digits, upper-case letters, punctuation)";
    }
    return {};
}

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

// Serial numbers: first character a hexadecimal digit, second "0", "C".."N" or "*", the other six
// hexadecimal digits, upper case.
std::string CheckSerial(const std::string& text)
{
    if (text.size() != 8)
        return "is not 8 characters long";
    const char second = text[1];
    bool ok = IsHexDigit(text[0]) && (second == '0' || second == '*' || (second >= 'C' && second <= 'N'));
    for (size_t i = 2; i < 8; ++i)
        ok = ok && IsHexDigit(text[i]);
    return ok ? std::string() : "is not a serial number (hexadecimal digits, the second one 0, C..N or *)";
}

std::string CheckFwVersion(const std::string& text)
{
    if (text == "----")
        return {};
    bool ok = text.size() == 4;
    for (char c : text)
        ok = ok && IsHexDigit(c);
    return ok ? std::string() : "is not \"----\" or 4 hexadecimal digits";
}

// One field of a record R: how it is written and how it is read back.
template <typename R>
struct Field {
    const char* name;
    Json (*get)(const R& r);
    void (*set)(R& r, const Json& j, Errors& e, const std::string& path);
};

#define MV53_INT_FIELD(R, F, LO, HI)                                                             \
    Field<R>                                                                                     \
    {                                                                                            \
        #F, [](const R& r) { return Json(r.F()); },                                             \
            [](R& r, const Json& j, Errors& e, const std::string& path) {                        \
                TakeInt(j, LO, HI, e, path, [&r](int32_t v) { r.Set##F(v); });                   \
            }                                                                                    \
    }

#define MV53_TEXT_FIELD(R, F, CHECK)                                                             \
    Field<R>                                                                                     \
    {                                                                                            \
        #F, [](const R& r) { return Json(r.F()); },                                             \
            [](R& r, const Json& j, Errors& e, const std::string& path) {                        \
                TakeText(j, e, path, CHECK, [&r](const std::string& v) { r.Set##F(v); });        \
            }                                                                                    \
    }

#define MV53_FREQ_FIELD(R, F)                                                                    \
    Field<R>                                                                                     \
    {                                                                                            \
        #F, [](const R& r) { return FrequencyToJson(r.F()); },                                  \
            [](R& r, const Json& j, Errors& e, const std::string& path) { TakeFrequency(j, r.F(), e, path); } \
    }

template <typename R>
Json WriteRecord(const R& r, std::span<const Field<R>> fields)
{
    Json out = Json::object();
    for (const auto& f : fields)
        out[f.name] = f.get(r);
    return out;
}

template <typename R>
void ReadRecord(const Json& j, R& r, std::span<const Field<R>> fields, Errors& e, const std::string& path)
{
    if (!j.is_object()) {
        e.Add(path, "expected an object, got " + Describe(j));
        return;
    }
    for (const auto& [key, value] : j.items()) {
        const Field<R>* field = nullptr;
        for (const auto& f : fields)
            if (key == f.name)
                field = &f;
        if (field)
            field->set(r, value, e, path.empty() ? key : path + "." + key);
        else
            e.Add(path.empty() ? "(top level)" : path, "unknown key \"" + key + "\"");
    }
}

std::string SelfIdCheck(const std::string& t) { return CheckDigits(t, 4, 4); }
std::string KillIdCheck(const std::string& t) { return CheckDigits(t, 8, 8); }
// Up to 4: the image reader drops trailing blank digit bytes, so a short ID is what such a file holds.
std::string TxIdCheck(const std::string& t) { return CheckDigits(t, 0, 4); }
std::string NumberCheck(const std::string& t) { return CheckDigits(t, 0, 16); }

constexpr int64_t kByteMax = 255;

const Field<TChannel> kChannelFields[] = {
    {"Status", [](const TChannel& r) { return Json(r.Status()); },
     [](TChannel& r, const Json& j, Errors& e, const std::string& path) {
         TakeInt(j, 0, kByteMax, e, path, [&](int32_t v) {
             if (v == kChannelUsed || v == kChannelEmpty)
                 r.SetStatus(v);
             else
                 e.Add(path, std::to_string(v) + " is neither 165 (0xA5, in use) nor 255 (0xFF, empty)");
         });
     }},
    MV53_INT_FIELD(TChannel, Mode, 0, 4),
    MV53_FREQ_FIELD(TChannel, RxFreq),
    MV53_FREQ_FIELD(TChannel, TxFreq),
    MV53_TEXT_FIELD(TChannel, Tag, CheckTag),
    MV53_INT_FIELD(TChannel, Power, 0, 1),
    MV53_INT_FIELD(TChannel, Spare19, 0, kByteMax),
    MV53_INT_FIELD(TChannel, SelcallOn, 0, 1),
    MV53_INT_FIELD(TChannel, EncryptOn, 0, 1),
    MV53_INT_FIELD(TChannel, EncryptCode, 0, 15),
    MV53_INT_FIELD(TChannel, TuneMode, 0, 1),
    MV53_INT_FIELD(TChannel, ShiftOn, 0, 1),
    MV53_INT_FIELD(TChannel, TxOff, 0, 1),
    MV53_INT_FIELD(TChannel, Spare26, 0, kByteMax),
    MV53_INT_FIELD(TChannel, Spare27, 0, kByteMax),
    MV53_INT_FIELD(TChannel, Spare28, 0, kByteMax),
    MV53_INT_FIELD(TChannel, Spare29, 0, kByteMax),
    MV53_INT_FIELD(TChannel, Spare30, 0, kByteMax),
    MV53_INT_FIELD(TChannel, Spare31, 0, kByteMax),
};

const Field<TComport> kComportFields[] = {MV53_INT_FIELD(TComport, Value, 0, kByteMax)};

const Field<TCmmA1A> kA1AFields[] = {MV53_INT_FIELD(TCmmA1A, CwDelay, 0, 4)};

const Field<TCmmHard> kHardFields[] = {
    MV53_INT_FIELD(TCmmHard, Hail, 0, 2),
    MV53_INT_FIELD(TCmmHard, LampMode, 0, 5),
};

const Field<TCmmPwrSave> kPwrSaveFields[] = {
    MV53_INT_FIELD(TCmmPwrSave, HoldTime, 0, 50),
    MV53_INT_FIELD(TCmmPwrSave, SaveTime, 0, 9),
};

const Field<TCmmMisc> kMiscFields[] = {
    MV53_INT_FIELD(TCmmMisc, Beep, 0, 1),
    MV53_INT_FIELD(TCmmMisc, VoxDelay, 0, 4),
    MV53_INT_FIELD(TCmmMisc, VoxGain, 0, 100),
};

const Field<TCmmSys> kSysFields[] = {
    MV53_INT_FIELD(TCmmSys, NoiseBlanker, 0, 1),
    MV53_INT_FIELD(TCmmSys, SpSelect, 0, 2),
    MV53_INT_FIELD(TCmmSys, Tot, 0, 20),
};

const Field<TCmmOpt> kOptFields[] = {
    MV53_INT_FIELD(TCmmOpt, EncryptUnit, 0, 1),
    MV53_INT_FIELD(TCmmOpt, SelcallUnit, 0, 1),
    MV53_INT_FIELD(TCmmOpt, TunerUnit, 0, 1),
};

constexpr int kTxIdCount = TCmmSel::kTxIdCount;
constexpr int kTelNumberCount = TCmmTelNumbers::kNumberCount;

const Field<TCmmSel> kSelFields[] = {
    MV53_INT_FIELD(TCmmSel, SelFlag, 0, 1),
    MV53_INT_FIELD(TCmmSel, KillSystem, 0, 1),
    MV53_TEXT_FIELD(TCmmSel, KillId, KillIdCheck),
    MV53_INT_FIELD(TCmmSel, AllCall, 0, 1),
    MV53_INT_FIELD(TCmmSel, GroupCall, 0, 1),
    MV53_INT_FIELD(TCmmSel, SubGroupCall, 0, 1),
    MV53_INT_FIELD(TCmmSel, Preamble, 0, 18),
    MV53_INT_FIELD(TCmmSel, SelPowerSave, 0, 9),
    MV53_INT_FIELD(TCmmSel, SelHoldTime, 0, 19),
    MV53_TEXT_FIELD(TCmmSel, SelfId, SelfIdCheck),
    {"TxIds",
     [](const TCmmSel& r) {
         Json out = Json::array();
         for (int i = 0; i < kTxIdCount; ++i)
             out.push_back(r.TxIds(i).TxId());
         return out;
     },
     [](TCmmSel& r, const Json& j, Errors& e, const std::string& path) {
         TakeArray(j, kTxIdCount, e, path, [&](const Json& item, const std::string& p, int i) {
             TakeText(item, e, p, TxIdCheck, [&](const std::string& v) { r.TxIds(i).SetTxId(v); });
         });
     }},
};

const Field<TCmmTelNumbers> kTelNumbersFields[] = {
    MV53_INT_FIELD(TCmmTelNumbers, TelCallType, 0, 2),
    {"Numbers",
     [](const TCmmTelNumbers& r) {
         Json out = Json::array();
         for (int i = 0; i < kTelNumberCount; ++i)
             out.push_back(r.Numbers(i).Number());
         return out;
     },
     [](TCmmTelNumbers& r, const Json& j, Errors& e, const std::string& path) {
         TakeArray(j, kTelNumberCount, e, path, [&](const Json& item, const std::string& p, int i) {
             TakeText(item, e, p, NumberCheck, [&](const std::string& v) { r.Numbers(i).SetNumber(v); });
         });
     }},
};

const Field<TTuneData> kTuneFields[] = {
    MV53_INT_FIELD(TTuneData, TuneReset, 0, 1),
    MV53_INT_FIELD(TTuneData, TuneThru, 0, 1),
    MV53_INT_FIELD(TTuneData, TuneTrans, 0, 3),
    MV53_INT_FIELD(TTuneData, TuneMidC, 0, 3),
    MV53_INT_FIELD(TTuneData, TuneTopC, 0, 1),
    MV53_INT_FIELD(TTuneData, TuneL, 0, 511),
};

constexpr int kTunerEntries = TAntTunerTable::kCount;

template <typename Tuner>
const Field<Tuner> kTunerFields[] = {
    {"Entries",
     [](const Tuner& r) {
         Json out = Json::array();
         for (int k = 0; k < kTunerEntries; ++k)
             out.push_back(WriteRecord<TTuneData>(r.Entries(k), kTuneFields));
         return out;
     },
     [](Tuner& r, const Json& j, Errors& e, const std::string& path) {
         TakeArray(j, kTunerEntries, e, path, [&](const Json& item, const std::string& p, int k) {
             ReadRecord<TTuneData>(item, r.Entries(k), kTuneFields, e, p);
         });
     }},
};

// Alignment positions 1..51 as the image stores them: one unsigned byte each, position 6 a signed
// byte, the carrier offsets 49 and 50 signed 16-bit numbers.
constexpr int kAlignmentCount = TAlignment::kLast;

void AlignmentRange(int position, int64_t& lo, int64_t& hi)
{
    lo = 0;
    hi = kByteMax;
    if (position == 6) {
        lo = INT8_MIN;
        hi = INT8_MAX;
    } else if (position == 49 || position == 50) {
        lo = INT16_MIN;
        hi = INT16_MAX;
    }
}

const Field<TAlignment> kAlignmentFields[] = {
    {"Values",
     [](const TAlignment& r) {
         Json out = Json::array();
         for (int p = 1; p <= kAlignmentCount; ++p)
             out.push_back(r.Values(p));
         return out;
     },
     [](TAlignment& r, const Json& j, Errors& e, const std::string& path) {
         TakeArray(j, kAlignmentCount, e, path, [&](const Json& item, const std::string& p, int i) {
             int64_t lo = 0;
             int64_t hi = 0;
             AlignmentRange(i + 1, lo, hi);
             TakeInt(item, lo, hi, e, p, [&](int32_t v) { r.SetValues(i + 1, v); });
         });
     }},
};

constexpr int kCorrectRows = TTmpCorrect::kCount;
constexpr int kCorrectColumns = TCorrectData::kCount;

const Field<TTmpCorrect> kTmpCorrectFields[] = {
    {"Rows",
     [](const TTmpCorrect& r) {
         Json out = Json::array();
         for (int row = 0; row < kCorrectRows; ++row) {
             Json values = Json::array();
             for (int c = 0; c < kCorrectColumns; ++c)
                 values.push_back(r.Rows(row).Values(c));
             out.push_back(std::move(values));
         }
         return out;
     },
     [](TTmpCorrect& r, const Json& j, Errors& e, const std::string& path) {
         TakeArray(j, kCorrectRows, e, path, [&](const Json& row, const std::string& rowPath, int ri) {
             TakeArray(row, kCorrectColumns, e, rowPath, [&](const Json& item, const std::string& p, int c) {
                 TakeInt(item, INT8_MIN, INT8_MAX, e, p, [&](int32_t v) { r.Rows(ri).SetValues(c, v); });
             });
         });
     }},
};

constexpr int kKeyCount = TFactoryOpt::kKeyFuncCount;
constexpr int kMaxKeyCode = 13;

const Field<TFactoryOpt> kFactoryOptFields[] = {
    MV53_INT_FIELD(TFactoryOpt, CwPitch, 0, 6),
    MV53_INT_FIELD(TFactoryOpt, RxRange, 0, 1),
    MV53_INT_FIELD(TFactoryOpt, TxRange, 0, 1),
    {"KeyFunc",
     [](const TFactoryOpt& r) {
         Json out = Json::array();
         for (int k = 0; k < kKeyCount; ++k)
             out.push_back(r.KeyFunc(k));
         return out;
     },
     [](TFactoryOpt& r, const Json& j, Errors& e, const std::string& path) {
         TakeArray(j, kKeyCount, e, path, [&](const Json& item, const std::string& p, int k) {
             TakeInt(item, 0, kMaxKeyCode, e, p, [&](int32_t v) { r.SetKeyFunc(k, v); });
         });
     }},
    MV53_TEXT_FIELD(TFactoryOpt, SerialNo, CheckSerial),
    MV53_INT_FIELD(TFactoryOpt, DataMode, 0, 3),
    MV53_INT_FIELD(TFactoryOpt, RttyShift, 0, 2),
    MV53_INT_FIELD(TFactoryOpt, RttyFreqDisp, 0, 1),
    MV53_INT_FIELD(TFactoryOpt, PktOffset, -300, 300),
    MV53_INT_FIELD(TFactoryOpt, PktTone, 0, 3),
};

constexpr int kChannelCount = TChannels::kCount;

// A record of the container as a field of TMVmem.
#define MV53_RECORD_FIELD(F, TYPE, FIELDS)                                                       \
    Field<TMVmem>                                                                                \
    {                                                                                            \
        #F, [](const TMVmem& m) { return WriteRecord<TYPE>(m.F(), FIELDS); },                   \
            [](TMVmem& m, const Json& j, Errors& e, const std::string& path) {                   \
                ReadRecord<TYPE>(j, m.F(), FIELDS, e, path);                                     \
            }                                                                                    \
    }

const Field<TMVmem> kMemFields[] = {
    MV53_TEXT_FIELD(TMVmem, FwVersion, CheckFwVersion),
    {"Channels",
     [](const TMVmem& m) {
         Json out = Json::array();
         for (int i = 0; i < kChannelCount; ++i)
             out.push_back(WriteRecord<TChannel>(m.Channels().Items(i), kChannelFields));
         return out;
     },
     [](TMVmem& m, const Json& j, Errors& e, const std::string& path) {
         TakeArray(j, kChannelCount, e, path, [&](const Json& item, const std::string& p, int i) {
             ReadRecord<TChannel>(item, m.Channels().Items(i), kChannelFields, e, p);
         });
     }},
    MV53_RECORD_FIELD(Comport, TComport, kComportFields),
    MV53_RECORD_FIELD(A1A, TCmmA1A, kA1AFields),
    MV53_RECORD_FIELD(Hard, TCmmHard, kHardFields),
    MV53_RECORD_FIELD(PwrSave, TCmmPwrSave, kPwrSaveFields),
    MV53_RECORD_FIELD(Misc, TCmmMisc, kMiscFields),
    MV53_RECORD_FIELD(Sys, TCmmSys, kSysFields),
    MV53_RECORD_FIELD(Opt, TCmmOpt, kOptFields),
    MV53_RECORD_FIELD(Sel, TCmmSel, kSelFields),
    MV53_RECORD_FIELD(TelNumbers, TCmmTelNumbers, kTelNumbersFields),
    MV53_RECORD_FIELD(AntTuner0, TAntTuner0, kTunerFields<TAntTuner0>),
    MV53_RECORD_FIELD(AntTuner1, TAntTuner1, kTunerFields<TAntTuner1>),
    MV53_RECORD_FIELD(Alignment, TAlignment, kAlignmentFields),
    MV53_RECORD_FIELD(TmpCorrect, TTmpCorrect, kTmpCorrectFields),
    MV53_RECORD_FIELD(FactoryOpt, TFactoryOpt, kFactoryOptFields),
};

void Format(const Json& j, int indent, std::string& out)
{
    const auto pad = [&out](int n) { out.append(static_cast<size_t>(n), ' '); };
    if (j.is_object() && !j.empty()) {
        out += "{\n";
        size_t n = 0;
        for (const auto& [key, value] : j.items()) {
            pad(indent + 2);
            out += Json(key).dump(-1, ' ', false, Json::error_handler_t::replace) + ": ";
            Format(value, indent + 2, out);
            out += ++n < j.size() ? ",\n" : "\n";
        }
        pad(indent);
        out += "}";
    } else if (j.is_array() && !j.empty() && j.front().is_structured()) {
        out += "[\n";
        for (size_t i = 0; i < j.size(); ++i) {
            pad(indent + 2);
            Compact(j[i], out);
            out += i + 1 < j.size() ? ",\n" : "\n";
        }
        pad(indent);
        out += "]";
    } else {
        Compact(j, out);
    }
}

}  // namespace

Json FrequencyToJson(const TDecimal& freq)
{
    // The double nearest to the decimal; FormatJson writes it as its shortest text, which for a
    // number of at most 15 significant digits is the decimal itself.
    return Json(freq.ToFloat());
}

Json RecordsToJson(const TMVmem& mem) { return WriteRecord<TMVmem>(mem, kMemFields); }

bool RecordsFromJson(const Json& json, TMVmem& mem, std::vector<std::string>& errors)
{
    const size_t before = errors.size();
    Errors e(errors);
    if (!json.is_object())
        e.Add("(top level)", "expected an object, got " + Describe(json));
    else
        ReadRecord<TMVmem>(json, mem, kMemFields, e, "");
    return errors.size() == before;
}

std::string FormatJson(const Json& json)
{
    std::string out;
    Format(json, 0, out);
    out += "\n";
    return out;
}

}  // namespace mv53::cli
