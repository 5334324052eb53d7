#include "print/PrintImage.h"

#include "model/U_Const.h"
#include "model/U_InputFilter.h"

#include <cstdarg>
#include <cstdio>
#include <string>
#include <utility>

namespace {

// printf into a string of any length.
__attribute__((format(printf, 1, 2))) std::string Sf(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text(n > 0 ? static_cast<size_t>(n) : 0, '\0');
    if (n > 0)
        std::vsnprintf(text.data(), text.size() + 1, format, args);
    va_end(args);
    return text;
}

// Item index of option list `list`; the empty text outside the list.
std::string L(int list, int32_t index) { return ValText(list, index); }
const char* C(const std::string& s) { return s.c_str(); }

const char* const kTitleLine = "********** Alderwave Comms KT-4680 Series **********";
const char* const kMarketText = "-ALDERWAVECOMMS-";

const char* const kCommonTitle =
    "***********************************    COMMON DATA    ***********************************";
const char* const kSelcallTitle =
    "***********************************   SELCALL COMMON  ***********************************";
const char* const kChannelTitle =
    "***********************************    CHANNEL DATA   ***********************************";
const char* const kFactoryTitle =
    "***********************************   FACTORY DATA   ***********************************";
const char* const kAlignmentTitle =
    "*********************************    ALIGNMENT DATA    *********************************";
const char* const kTempTitle =
    "******************************    TEMP. CORRECTION DATA    ******************************";
const char* const kTunerTitle =
    "****************************    ANTENNA TUNER SETTING DATA    ****************************";

const std::string kDashes(80, '-');
const char* const kChannelHeader[3] = {
    "                     FREQUENCY                               Encrypt Sel   Tune ",
    "Chn     TAG      Receive   Transmit     Mode     Pwr   Shift   Code  call  Mode ", kDashes.c_str()};
const char* const kTunerHeader[3] = {
    "                     FREQUENCY                                                  ",
    "Chn     TAG      Receive   Transmit    Reset  Thru   Trans  Mid-C  Top-C    L   ", kDashes.c_str()};

// The alignment report's lines for positions 1..50; "%s" lines print a choice text.
const char* const kAlignmentLines[50] = {
    "Volt Warning 1:       %d", "Volt Warning 2:       %d", "DTCXO Select:         %s", "SQL Tight Data:       %d",
    "SQL Level:            %d", "CLAR Vol Offset:      %d", "Rx Gain:              %d", "Over Heat 1:          %d",
    "Over Heat 2:          %d", "CW PTT Send:          %s", "SSB Po Hi 00-10:      %d", "SSB Po Hi 10-20:      %d",
    "SSB Po Hi 20-30:      %d", "SSB Po Lo 00-10:      %d", "SSB Po Lo 10-20:      %d", "SSB Po Lo 20-30:      %d",
    "AM Po Hi 00-10:       %d", "AM Po Hi 10-20:       %d", "AM Po Hi 20-30:       %d", "AM Po Lo 00-10:       %d",
    "AM Po Lo 10-20:       %d", "AM Po Lo 20-30:       %d", "Reverse ALC:          %d", "SSB TXG Hi 00-04:     %d",
    "SSB TXG Hi 04-06:     %d", "SSB TXG Hi 06-09:     %d", "SSB TXG Hi 09-13:     %d", "SSB TXG Hi 13-20:     %d",
    "SSB TXG Hi 20-30:     %d", "SSB TXG Lo 00-04:     %d", "SSB TXG Lo 04-06:     %d", "SSB TXG Lo 06-09:     %d",
    "SSB TXG Lo 09-13:     %d", "SSB TXG Lo 13-20:     %d", "SSB TXG Lo 20-30:     %d", "AM TXG Hi 00-04:      %d",
    "AM TXG Hi 04-06:      %d", "AM TXG Hi 06-09:      %d", "AM TXG Hi 09-13:      %d", "AM TXG Hi 13-20:      %d",
    "AM TXG Hi 20-30:      %d", "AM TXG Lo 00-04:      %d", "AM TXG Lo 04-06:      %d", "AM TXG Lo 06-09:      %d",
    "AM TXG Lo 09-13:      %d", "AM TXG Lo 13-20:      %d", "AM TXG Lo 20-30:      %d", "Hi SWR Check:         %d",
    "LSB Carrier Offset:   %d", "USB Carrier Offset:   %d",
};
constexpr int kDtcxoPosition = 3;
constexpr int kCwPttPosition = 10;
constexpr int kLsbOffsetPosition = 49;
constexpr int kUsbOffsetPosition = 50;

const char* const kTempLabels[44] = {
    "DTCXO1:          ", "DTCXO2:          ", "DTCXO3:          ", "DTCXO4:          ", "Rx Gain:         ",
    "SSB Po Hi 00-10: ", "SSB Po Hi 10-20: ", "SSB Po Hi 20-30: ", "SSB Po Lo 00-10: ", "SSB Po Lo 10-20: ",
    "SSB Po Lo 20-30: ", "AM Po Hi 00-10:  ", "AM Po Hi 10-20:  ", "AM Po Hi 20-30:  ", "AM Po Lo 00-10:  ",
    "AM Po Lo 10-20:  ", "AM Po Lo 20-30:  ", "REV 00-10:       ", "REV 10-20:       ", "REV 20-30:       ",
    "SSB TXG Hi 00-04:", "SSB TXG Hi 04-06:", "SSB TXG Hi 06-09:", "SSB TXG Hi 09-13:", "SSB TXG Hi 13-20:",
    "SSB TXG Hi 20-30:", "SSB TXG Lo 00-04:", "SSB TXG Lo 04-06:", "SSB TXG Lo 06-09:", "SSB TXG Lo 09-13:",
    "SSB TXG Lo 13-20:", "SSB TXG Lo 20-30:", "AM TXG Hi 00-04: ", "AM TXG Hi 04-06: ", "AM TXG Hi 06-09: ",
    "AM TXG Hi 09-13: ", "AM TXG Hi 13-20: ", "AM TXG Hi 20-30: ", "AM TXG Lo 00-04: ", "AM TXG Lo 04-06: ",
    "AM TXG Lo 06-09: ", "AM TXG Lo 09-13: ", "AM TXG Lo 13-20: ", "AM TXG Lo 20-30: ",
};

template <size_t N>
std::string Choice(const char* const (&texts)[N], int32_t index)
{
    return index >= 0 && static_cast<size_t>(index) < N ? texts[index] : "";
}

// The characters as UTF-8.
std::string EncodeReportText(std::u32string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char32_t c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

}  // namespace

// ---- page -------------------------------------------------------------------------------------

std::u32string DecodeReportText(std::string_view utf8)
{
    static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};   // by sequence length
    std::u32string out;
    out.reserve(utf8.size());
    size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
        char32_t c = length == 1 ? lead : lead & (0x7F >> length);
        bool ok = length > 0 && i + length <= utf8.size();
        for (size_t k = 1; ok && k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            ok = (next & 0xC0) == 0x80;
            c = (c << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not characters either.
        ok = ok && c >= kSmallest[length] && c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
        out += ok ? c : U'\uFFFD';
        i += ok ? length : 1;
    }
    return out;
}

void TReportPage::Write(int line, int indent, std::string_view text)
{
    if (line < 0)
        return;
    if (static_cast<size_t>(line) >= m_lines.size())
        m_lines.resize(static_cast<size_t>(line) + 1);
    std::string& stored = m_lines[static_cast<size_t>(line)];
    const std::u32string chars = DecodeReportText(text);
    std::u32string row = DecodeReportText(stored);
    const size_t start = static_cast<size_t>(kLeftMargin + (indent > 0 ? indent : 0));
    if (row.size() < start + chars.size())
        row.resize(start + chars.size(), U' ');
    for (size_t i = 0; i < chars.size(); ++i)
        if (chars[i] != U' ')
            row[start + i] = chars[i];
    stored = EncodeReportText(row);
}

std::string TReportPage::Text() const
{
    std::string out;
    for (size_t i = 0; i < m_lines.size(); ++i) {
        if (i > 0)
            out += '\n';
        const std::string& row = m_lines[i];
        const size_t end = row.find_last_not_of(' ');
        if (end != std::string::npos)
            out.append(row, 0, end + 1);
    }
    return out;
}

// ---- helpers ----------------------------------------------------------------------------------

std::string ReportFileName(const std::string& path)
{
    const size_t cut = path.find_last_of("\\/:");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string ReportDate(int year, int month, int day, char separator)
{
    return Sf("%d%c%d%c%04d", month, separator, day, separator, year);
}

// ---- the report -------------------------------------------------------------------------------

TPrtImg::TPrtImg(TReportSource source) : m_source(std::move(source)) {}

std::string TPrtImg::Text() const
{
    std::string out;
    for (size_t i = 0; i < m_pages.size(); ++i) {
        if (i > 0)
            out += "\f\n";
        out += m_pages[i].Text();
    }
    return out;
}

std::string TPrtImg::Fraction(double value, int digits) const
{
    // Not printf: the C library would take the decimal point of the process's locale.
    std::string text = mv53::FormatFixed(value, digits);
    for (char& c : text)
        if (c == '.')
            c = m_source.DecimalPoint;
    return text;
}

// "%2.5f" of a frequency in MHz, from its exact decimal digits.
std::string TPrtImg::Frequency(const TDecimal& mhz) const
{
    const int32_t scaled = mhz.ToScaled(5);
    const int32_t magnitude = scaled < 0 ? -scaled : scaled;
    return Sf("%s%d%c%05d", scaled < 0 ? "-" : "", magnitude / 100000, m_source.DecimalPoint, magnitude % 100000);
}

int TPrtImg::StartPage()
{
    m_pages.emplace_back();
    TReportPage& page = Current();
    page.Write(0, 65, m_source.Date + Sf("  Page %d", PageCount()));
    if (m_titlePrinted)
        return 2;
    page.Write(2, 10, kTitleLine);
    page.Write(4, 2, "File Name:  " + ReportFileName(m_source.FileName));
    m_titlePrinted = true;
    return 6;
}

void TPrtImg::MakeReport(const TPrintSelection& selection, TServiceReport factory)
{
    switch (factory) {
    case TServiceReport::None:
        if (selection.Common)
            CommonData();
        if (selection.Selcall)
            SelcallCommon();
        if (selection.ChannelData)
            ChannelData();
        break;
    case TServiceReport::Alignment:
        FactoryData();
        AlignmentData();
        break;
    case TServiceReport::TempCorrect:
        TempCorrectionData();
        break;
    case TServiceReport::AntTuner:
        AntennaTunerData();
        break;
    }
    // The title belongs to the first page of each job.
    m_titlePrinted = false;
}

void TPrtImg::CommonData()
{
    const TMVmem& m = *m_source.Mem;
    const TFactoryOpt& f = m.FactoryOpt();
    const int T = StartPage() + 2;
    TReportPage& p = Current();
    p.Write(T, 0, kCommonTitle);
    p.Write(T + 2, 2, "Marketing                                     Option");
    p.Write(T + 3, 7, Sf("Market Application:   %-20s    Encryption Unit:        %s ", kMarketText,
                         C(L(kListEncryptUnit, m.Opt().EncryptUnit()))));
    p.Write(T + 4, 7, Sf("Serial Number:        %-20s    Selcall Unit:           %s ", C(f.SerialNo()),
                         C(L(kListSelcallUnit, m.Opt().SelcallUnit()))));
    p.Write(T + 5, 7, Sf("                      %-20s    Tuner Unit:             %s ", " ", C(L(kListTunerUnit, m.Opt().TunerUnit()))));
    p.Write(T + 7, 2, "A1A(CW) Function");
    p.Write(T + 8, 7, Sf("CW Delay:               %s", C(Sf("%d%s", (m.A1A().CwDelay() + 1) * 500, " ms"))));
    p.Write(T + 9, 7, Sf("CW Pitch:               %s", C(Sf("%d%s", f.CwPitch() * 100 + 400, " Hz"))));
    p.Write(T + 11, 2, "Hardware");
    p.Write(T + 12, 7, Sf("HAIL:                   %s", C(L(kListHail, m.Hard().Hail()))));
    p.Write(T + 13, 7, Sf("LAMP Mode:              %s", C(L(kListLampMode, m.Hard().LampMode()))));
    p.Write(T + 14, 7, Sf("RX Freq. Range:         %s", f.RxRange() != 0 ? "3-30 MHz" : "0.5-30 MHz"));
    p.Write(T + 15, 7, Sf("TX Freq. Range:         %s", f.TxRange() != 0 ? "3-30 MHz" : "1.6-30 MHz"));
    p.Write(T + 17, 2, "Power Saving");
    p.Write(T + 18, 7, Sf("Save hold Time:         %s", C(Fraction(m.PwrSave().HoldTime() * 0.5 + 5.0, 1) + " sec")));
    p.Write(T + 19, 7, Sf("Save Time:              %s", C(L(kListSaveTime, m.PwrSave().SaveTime()))));
    p.Write(T + 21, 2, "Key Function");
    p.Write(T + 22, 7, Sf("A Switch:               %s", C(KeyFuncName(f.KeyFunc(0)))));
    p.Write(T + 23, 7, Sf("B Switch:               %s", C(KeyFuncName(f.KeyFunc(1)))));
    p.Write(T + 24, 7, Sf("C Switch:               %s", C(KeyFuncName(f.KeyFunc(2)))));
    p.Write(T + 26, 2, "Miscellaneous Parameters");
    p.Write(T + 27, 7, Sf("Beep:                   %s", C(L(kListBeep, m.Misc().Beep()))));
    p.Write(T + 28, 7, Sf("Vox Delay:              %s", C(L(kListVoxDelay, m.Misc().VoxDelay()))));
    p.Write(T + 29, 7, Sf("Vox Gain:               %s", m.Misc().VoxGain() != 0 ? C(Sf("%d", m.Misc().VoxGain())) : "OFF"));
    p.Write(T + 31, 2, "System");
    p.Write(T + 32, 7, Sf("DATA MODE:              %s", C(L(kListDataMode, f.DataMode()))));
    p.Write(T + 33, 7, Sf("Noise Blanker:          %s", C(L(kListNoiseBlanker, m.Sys().NoiseBlanker()))));
    p.Write(T + 34, 7, Sf("RTTY Shift:             %s", C(L(kListRttyShift, f.RttyShift()))));
    p.Write(T + 35, 7, Sf("RTTY Freq. Display:     %s", C(L(kListRttyFreqDisp, f.RttyFreqDisp()))));
    p.Write(T + 36, 7, Sf("PKT Freq. Offset:       %3d%s", f.PktOffset() * 10, " Hz"));
    p.Write(T + 37, 7, Sf("PKT Tone:               %s", C(L(kListPktTone, f.PktTone()))));
    p.Write(T + 38, 7, Sf("SP Select:              %s", C(L(kListSpSelect, m.Sys().SpSelect()))));
    p.Write(T + 39, 7, Sf("TOT:                    %s", m.Sys().Tot() != 0 ? C(Fraction(m.Sys().Tot() * 0.5, 1) + " min") : "OFF"));
}

void TPrtImg::SelcallCommon()
{
    const TMVmem& m = *m_source.Mem;
    const TCmmSel& s = m.Sel();
    const int T = StartPage() + 2;
    TReportPage& p = Current();
    p.Write(T, 0, kSelcallTitle);
    p.Write(T + 2, 2, "Selcall");
    p.Write(T + 3, 7, Sf("Selcall:              %s", C(L(kListSelcallUnit, m.Opt().SelcallUnit()))));
    p.Write(T + 4, 7, Sf("Kill System:          %s", C(L(kListKillSystem, s.KillSystem()))));
    p.Write(T + 5, 7, Sf("Kill System ID:       %s", C(s.KillId())));
    p.Write(T + 6, 7, Sf("All Call:             %s", C(L(kListAllCall, s.AllCall()))));
    p.Write(T + 7, 7, Sf("Group Call:           %s", C(L(kListGroupCall, s.GroupCall()))));
    p.Write(T + 8, 7, Sf("Sub Group Call:       %s", C(L(kListSubGroupCall, s.SubGroupCall()))));
    p.Write(T + 9, 7, Sf("Preamble:             %s", C(Fraction(s.Preamble() * 0.5 + 1.0, 1) + " sec")));
    p.Write(T + 10, 7, Sf("Power Save:           %s", C(L(kListSelPowerSave, s.SelPowerSave()))));
    p.Write(T + 11, 7, Sf("Hold Time:            %s", C(Fraction((s.SelHoldTime() + 1) * 0.5, 1) + " min")));
    p.Write(T + 12, 7, Sf("Self ID:              %s", C(s.SelfId())));
    p.Write(T + 14, 2, "TX ID");
    p.Write(T + 15, 7, "TX ID");
    for (int k = 1; k <= TCmmSel::kTxIdCount; ++k)
        p.Write(T + 16 + k, 6, Sf(" %s  %-4s", C(Sf("%3d", k)), C(s.TxIds(k - 1).TxId())));
    p.Write(T + 29, 2, "Telephone Number");
    p.Write(T + 30, 7, Sf("Tel Call Type:        %s", C(L(kListTelCallType, m.TelNumbers().TelCallType()))));
    p.Write(T + 32, 7, "Telephone Number");
    for (int k = 1; k <= TCmmTelNumbers::kNumberCount; ++k)
        p.Write(T + 32 + k, 6, Sf(" %s  %-s ", C(Sf("%3d", k)), C(m.TelNumbers().Numbers(k - 1).Number())));
}

template <typename Row>
void TPrtImg::ChannelTable(const char* title, const char* const (&header)[3], Row row)
{
    const TChannels& channels = m_source.Mem->Channels();
    int H = StartPage();
    Current().Write(H + 2, 0, title);
    int line = H + 4;
    bool wantHeader = true;
    for (int k = 1; k <= TChannels::kCount; ++k) {
        if (line >= kLastLine) {
            H = StartPage();
            line = H + 1;
            wantHeader = true;
        }
        const TChannel& ch = channels.Items(k - 1);
        if (ch.Status() != mv53::kChannelUsed)
            continue;
        if (wantHeader) {
            for (int i = 0; i < 3; ++i)
                Current().Write(line + i, 6, header[i]);
            line += 3;
        }
        Current().Write(line, 6, row(k, ch));
        line += 1;
        wantHeader = false;
    }
}

void TPrtImg::ChannelData()
{
    ChannelTable(kChannelTitle, kChannelHeader, [this](int k, const TChannel& ch) {
        const std::string encrypt = ch.EncryptOn() != 0 ? L(kListEncryptCode, ch.EncryptCode() + 1) : std::string("OFF");
        return Sf("%s   %-8s   %8s  %8s   %-8s   %-4s   %-3s    %-3s   %-3s   %-3s", C(Sf("%3.3d", k)), C(ch.Tag()),
                  C(Frequency(ch.RxFreq())), ch.TxOff() != 0 ? "TX OFF" : C(Frequency(ch.TxFreq())),
                  C(L(kListMode, ch.Mode())), C(L(kListPower, ch.Power())), C(L(kListShiftOn, ch.ShiftOn())), C(encrypt),
                  C(L(kListSelcallOn, ch.SelcallOn())), C(L(kListTuneMode, ch.TuneMode())));
    });
}

void TPrtImg::AntennaTunerData()
{
    const TAntTuner0& set0 = m_source.Tuner0 ? *m_source.Tuner0 : m_source.Mem->AntTuner0();
    const TAntTuner1& set1 = m_source.Tuner1 ? *m_source.Tuner1 : m_source.Mem->AntTuner1();
    ChannelTable(kTunerTitle, kTunerHeader, [&](int k, const TChannel& ch) {
        const TTuneData& t = k <= TAntTunerTable::kCount ? set0.Entries(k - 1) : set1.Entries(k - 1 - TAntTunerTable::kCount);
        return Sf("%s   %-8s   %8s  %8s      %1d      %1d      %1d      %1d      %1d     %3d", C(Sf("%3.3d", k)),
                  C(ch.Tag()), C(Frequency(ch.RxFreq())), C(Frequency(ch.TxFreq())), t.TuneReset(), t.TuneThru(),
                  t.TuneTrans(), t.TuneMidC(), t.TuneTopC(), t.TuneL());
    });
}

void TPrtImg::FactoryData()
{
    const TMVmem& m = *m_source.Mem;
    const TFactoryOpt& f = m.FactoryOpt();
    const int T = StartPage() + 2;
    TReportPage& p = Current();
    p.Write(T, 0, kFactoryTitle);
    p.Write(T + 2, 2, "A1A(CW) Function");
    p.Write(T + 3, 7, Sf("CW Pitch:               %s", C(Sf("%d%s", f.CwPitch() * 100 + 400, " Hz"))));
    p.Write(T + 5, 2, "Hardware");
    p.Write(T + 6, 7, Sf("RX Freq. Range:         %s", f.RxRange() != 0 ? "3-30 MHz" : "0.5-30 MHz"));
    p.Write(T + 7, 7, Sf("TX Freq. Range:         %s", f.TxRange() != 0 ? "3-30 MHz" : "1.6-30 MHz"));
    p.Write(T + 9, 2, "System");
    p.Write(T + 10, 7, Sf("DATA MODE:              %s", C(L(kListDataMode, f.DataMode()))));
    p.Write(T + 11, 7, Sf("RTTY Shift:             %s", C(L(kListRttyShift, f.RttyShift()))));
    p.Write(T + 12, 7, Sf("RTTY Freq. Display:     %s", C(L(kListRttyFreqDisp, f.RttyFreqDisp()))));
    p.Write(T + 13, 7, Sf("PKT Freq. Offset:       %3d%s", f.PktOffset() * 10, " Hz"));
    p.Write(T + 14, 7, Sf("PKT Tone:               %s", C(L(kListPktTone, f.PktTone()))));
    p.Write(T + 16, 2, "Key Function");
    p.Write(T + 17, 7, Sf("A Switch:               %s", C(KeyFuncName(f.KeyFunc(0)))));
    p.Write(T + 18, 7, Sf("B Switch:               %s", C(KeyFuncName(f.KeyFunc(1)))));
    p.Write(T + 19, 7, Sf("C Switch:               %s", C(KeyFuncName(f.KeyFunc(2)))));
}

void TPrtImg::AlignmentData()
{
    const TMVmem& m = *m_source.Mem;
    const TAlignment& a = m.Alignment();
    const int T = StartPage() + 2;
    TReportPage& p = Current();
    p.Write(T, 0, kAlignmentTitle);
    p.Write(T + 2, 2, "Alignment               Data");
    p.Write(T + 3, 7, Sf("Serial ID No:         %s", C(m.FactoryOpt().SerialNo())));
    for (int pos = 1; pos <= 50; ++pos) {
        const char* format = kAlignmentLines[pos - 1];
        const int32_t v = a.Values(pos);
        std::string text;
        if (pos == kDtcxoPosition)
            text = Sf(format, C(Choice(kDtcxoSelTexts, v)));
        else if (pos == kCwPttPosition)
            text = Sf(format, C(Choice(kCwPttSendTexts, v)));
        else if (pos == kLsbOffsetPosition || pos == kUsbOffsetPosition)
            text = Sf(format, v * 10);
        else
            text = Sf(format, v);
        p.Write(T + 3 + pos, 7, text);
    }
}

void TPrtImg::TempCorrectionData()
{
    const TTmpCorrect& table = m_source.Mem->TmpCorrect();
    const int T = StartPage() + 2;
    TReportPage& p = Current();
    p.Write(T, 0, kTempTitle);
    p.Write(T + 2, 2, "Temp. Correction                                   Data");
    p.Write(T + 3, 2, "                      -30.0  -18.7   -7.5   +3.7  +15.0  +26.2  +37.5  +48.7  +60.0");
    for (int r = 0; r < TTmpCorrect::kCount; ++r) {
        p.Write(T + 5 + r, 4, kTempLabels[r]);
        for (int j = 0; j < TCorrectData::kCount; ++j)
            p.Write(T + 5 + r, 25 + 7 * j, Sf("%4d", table.Rows(r).Values(j)));
    }
}
