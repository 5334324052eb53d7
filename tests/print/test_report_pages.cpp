// The report's pages as text, compared line for line with pages written out here.

#include "TestRecords.h"

#include "print/PrintImage.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

using mv53::test::ClearedRecords;

const char* const kDate = "1/2/2026";
const std::string kDashes(80, '-');

// A line as the page holds it: 5 blanks, the indent, the text; trailing blanks dropped.
std::string At(int indent, const std::string& text)
{
    std::string line = std::string(static_cast<size_t>(5 + indent), ' ') + text;
    line.erase(line.find_last_not_of(' ') + 1);
    return line.find_first_not_of(' ') == std::string::npos ? std::string() : line;
}

// Line n of a page without its trailing blanks.
std::string LineOf(const TReportPage& page, int n)
{
    std::string line = page.Lines().at(static_cast<size_t>(n));
    line.erase(line.find_last_not_of(' ') + 1);
    return line.find_first_not_of(' ') == std::string::npos ? std::string() : line;
}

// A page written as {line number, indent, text}; lines not named are empty.
struct L {
    int line;
    int indent;
    std::string text;
};
std::string Page(const std::vector<L>& writes)
{
    std::vector<std::string> lines;
    for (const L& w : writes) {
        if (static_cast<size_t>(w.line) >= lines.size())
            lines.resize(static_cast<size_t>(w.line) + 1);
        lines[static_cast<size_t>(w.line)] = At(w.indent, w.text);
    }
    std::string out;
    for (size_t i = 0; i < lines.size(); ++i)
        out += (i ? "\n" : "") + lines[i];
    return out;
}

std::vector<L> Header(int page, bool title, const std::string& fileName = "fleet.m53")
{
    std::vector<L> h{{0, 65, std::string(kDate) + "  Page " + std::to_string(page)}};
    if (title) {
        h.push_back({2, 10, "********** Alderwave Comms KT-4680 Series **********"});
        h.push_back({4, 2, "File Name:  " + fileName});
    }
    return h;
}

std::vector<L> operator+(std::vector<L> a, const std::vector<L>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

void SetFreq(TDecimal& d, int32_t intPart, int32_t fraction, int32_t digits)
{
    d.SetIntPart(intPart);
    d.SetFraction(fraction);
    d.SetDigits(digits);
}

// Channel k in use with the tag, mode 0 and 5 MHz both ways (cleared records: everything else off).
TChannel& UseChannel(TMVmem& m, int k, const std::string& tag = "CH")
{
    TChannel& ch = m.Channels().Items(k - 1);
    ch.SetStatus(mv53::kChannelUsed);
    ch.SetTag(tag);
    ch.SetMode(0);
    SetFreq(ch.RxFreq(), 5, 0, 0);
    SetFreq(ch.TxFreq(), 5, 0, 0);
    return ch;
}

TPrtImg Report(const TMVmem& mem, TPrintSelection selection, TServicePrintChoices factory = {},
               std::string file = "C:\\radio\\fleet.m53", char decimalPoint = '.')
{
    TPrtImg report({&mem, std::move(file), kDate, decimalPoint});
    report.MakeReport(selection, factory);
    return report;
}

const TPrintSelection kChannelOnly{false, false, true};
const TPrintSelection kCommonOnly{true, false, false};
const TPrintSelection kAll{true, true, true};

const std::string kChannelTitle =
    "***********************************    CHANNEL DATA   ***********************************";
const std::string kChannelHead1 =
    "                     FREQUENCY                               Encrypt Sel   Tune ";
const std::string kChannelHead2 =
    "Chn     TAG      Receive   Transmit     Mode     Pwr   Shift   Code  call  Mode ";

// ---- whole pages ------------------------------------------------------------------------------

TEST(ReportPages, ChannelDataAloneOpensWithTitleFileNameAndColumnHeader)
{
    TMVmem m = ClearedRecords([](TMVmem& m) {
        TChannel& a = UseChannel(m, 5, "BASE");
        SetFreq(a.RxFreq(), 2, 5, 1);
        SetFreq(a.TxFreq(), 2, 5, 1);
        a.SetPower(1);
        a.SetShiftOn(1);
        a.SetEncryptCode(7);   // not printed while encryption is off
        a.SetTuneMode(1);
        TChannel& b = UseChannel(m, 37, "HARBOUR");
        SetFreq(b.RxFreq(), 7, 12345, 5);
        SetFreq(b.TxFreq(), 9, 0, 0);
        b.SetTxOff(1);
        b.SetMode(1);
        b.SetPower(0);
        b.SetEncryptOn(1);
        b.SetEncryptCode(2);
        b.SetSelcallOn(1);
        // A channel not in use is not printed, whatever it holds.
        m.Channels().Items(99).SetTag("GHOST");
    });
    const TPrtImg r = Report(m, kChannelOnly);
    ASSERT_EQ(r.PageCount(), 1);
    EXPECT_EQ(r.Page(0).Text(),
              Page(Header(1, true) + std::vector<L>{
                                         {8, 0, kChannelTitle},
                                         {10, 6, kChannelHead1},
                                         {11, 6, kChannelHead2},
                                         {12, 6, kDashes},
                                         {13, 6, "005   BASE        2.50000   2.50000   J3E(LSB)   Low    ON     OFF   OFF   ON"},
                                         {14, 6, "037   HARBOUR     7.12345    TX OFF   J3E(USB)   High   OFF    03    ON    OFF"},
                                     }));
}

TMVmem CommonRecords()
{
    return ClearedRecords([](TMVmem& m) {
        m.Opt().SetEncryptUnit(1);
        m.Opt().SetSelcallUnit(0);
        m.Opt().SetTunerUnit(1);
        TFactoryOpt& f = m.FactoryOpt();
        f.SetSerialNo("A1234567");
        f.SetCwPitch(4);
        f.SetRxRange(1);
        f.SetTxRange(0);
        f.SetKeyFunc(0, 4);
        f.SetKeyFunc(1, 0);
        f.SetKeyFunc(2, 99);
        f.SetDataMode(3);
        f.SetRttyShift(2);
        f.SetRttyFreqDisp(1);
        f.SetPktOffset(5);
        f.SetPktTone(0);
        m.A1A().SetCwDelay(0);
        m.Hard().SetHail(2);
        m.Hard().SetLampMode(5);
        m.PwrSave().SetHoldTime(3);
        m.PwrSave().SetSaveTime(9);
        m.Misc().SetBeep(0);
        m.Misc().SetVoxDelay(4);
        m.Misc().SetVoxGain(45);
        m.Sys().SetNoiseBlanker(1);
        m.Sys().SetSpSelect(2);
        m.Sys().SetTot(3);
    });
}

TEST(ReportPages, CommonDataPage)
{
    const TPrtImg r = Report(CommonRecords(), kCommonOnly);
    ASSERT_EQ(r.PageCount(), 1);
    const int T = 8;
    EXPECT_EQ(r.Page(0).Text(),
              Page(Header(1, true) +
                   std::vector<L>{
                       {T, 0, "***********************************    COMMON DATA    ***********************************"},
                       {T + 2, 2, "Marketing                                     Option"},
                       {T + 3, 7, "Market Application:   -ALDERWAVECOMMS-        Encryption Unit:        ON"},
                       {T + 4, 7, "Serial Number:        A1234567                Selcall Unit:           OFF"},
                       {T + 5, 7, "                                              Tuner Unit:             ON"},
                       {T + 7, 2, "A1A(CW) Function"},
                       {T + 8, 7, "CW Delay:               500 ms"},
                       {T + 9, 7, "CW Pitch:               800 Hz"},
                       {T + 11, 2, "Hardware"},
                       {T + 12, 7, "HAIL:                   3"},
                       {T + 13, 7, "LAMP Mode:              Auto"},
                       {T + 14, 7, "RX Freq. Range:         3-30 MHz"},
                       {T + 15, 7, "TX Freq. Range:         1.6-30 MHz"},
                       {T + 17, 2, "Power Saving"},
                       {T + 18, 7, "Save hold Time:         6.5 sec"},
                       {T + 19, 7, "Save Time:              5.0 s"},
                       {T + 21, 2, "Key Function"},
                       {T + 22, 7, "A Switch:               Antenna Tuner"},
                       {T + 23, 7, "B Switch:               N/A"},
                       {T + 24, 7, "C Switch:"},
                       {T + 26, 2, "Miscellaneous Parameters"},
                       {T + 27, 7, "Beep:                   OFF"},
                       {T + 28, 7, "Vox Delay:              2500 ms"},
                       {T + 29, 7, "Vox Gain:               45"},
                       {T + 31, 2, "System"},
                       {T + 32, 7, "DATA MODE:              PKT-USB"},
                       {T + 33, 7, "Noise Blanker:          ON"},
                       {T + 34, 7, "RTTY Shift:             850 Hz"},
                       {T + 35, 7, "RTTY Freq. Display:     Carier"},
                       {T + 36, 7, "PKT Freq. Offset:        50 Hz"},
                       {T + 37, 7, "PKT Tone:               1170 Hz"},
                       {T + 38, 7, "SP Select:              SP MIC"},
                       {T + 39, 7, "TOT:                    1.5 min"},
                   }));
}

// One value changed from CommonRecords(): the line it shows.
struct ValueCase {
    const char* name;
    void (*edit)(TMVmem&);
    int line;   // relative to the section title
    const char* text;
};

TEST(ReportPages, CommonValuesAtTheirLimits)
{
    const ValueCase cases[] = {
        {"VoxGain 0 is OFF", [](TMVmem& m) { m.Misc().SetVoxGain(0); }, 29, "Vox Gain:               OFF"},
        {"Tot 0 is OFF", [](TMVmem& m) { m.Sys().SetTot(0); }, 39, "TOT:                    OFF"},
        {"Tot 1 is half a minute", [](TMVmem& m) { m.Sys().SetTot(1); }, 39, "TOT:                    0.5 min"},
        {"CwDelay 4", [](TMVmem& m) { m.A1A().SetCwDelay(4); }, 8, "CW Delay:               2500 ms"},
        {"PktOffset 0 right-aligned", [](TMVmem& m) { m.FactoryOpt().SetPktOffset(0); }, 36,
         "PKT Freq. Offset:         0 Hz"},
        {"PktOffset 60", [](TMVmem& m) { m.FactoryOpt().SetPktOffset(60); }, 36, "PKT Freq. Offset:       600 Hz"},
        {"list index beyond the list prints nothing", [](TMVmem& m) { m.Hard().SetHail(21); }, 12, "HAIL:"},
        {"negative list index prints nothing", [](TMVmem& m) { m.Misc().SetBeep(-1); }, 27, "Beep:"},
        {"RxRange 0", [](TMVmem& m) { m.FactoryOpt().SetRxRange(0); }, 14, "RX Freq. Range:         0.5-30 MHz"},
        {"TxRange 1", [](TMVmem& m) { m.FactoryOpt().SetTxRange(1); }, 15, "TX Freq. Range:         3-30 MHz"},
    };
    for (const ValueCase& c : cases) {
        TMVmem m = CommonRecords();
        c.edit(m);
        const TPrtImg r = Report(m, kCommonOnly);
        EXPECT_EQ(LineOf(r.Page(0), 8 + c.line), At(7, c.text)) << c.name;
    }
}

TEST(ReportPages, NumbersWithAFractionTakeTheDecimalSeparatorGiven)
{
    TMVmem m = CommonRecords();
    m.Sel().SetPreamble(0);
    UseChannel(m, 1);
    SetFreq(m.Channels().Items(0).RxFreq(), 29, 99999, 5);
    const TPrtImg r = Report(m, {true, true, true}, {}, "x.m53", ',');
    const std::string all = r.Text();
    EXPECT_NE(all.find("Save hold Time:         6,5 sec"), std::string::npos);
    EXPECT_NE(all.find("TOT:                    1,5 min"), std::string::npos);
    EXPECT_NE(all.find("Preamble:             1,0 sec"), std::string::npos);
    EXPECT_NE(all.find("001   CH         29,99999   5,00000"), std::string::npos);
    EXPECT_EQ(all.find("6.5"), std::string::npos);
}

TEST(ReportPages, SelcallCommonPage)
{
    TMVmem m = ClearedRecords([](TMVmem& m) {
        m.Opt().SetSelcallUnit(1);
        TCmmSel& s = m.Sel();
        s.SetKillSystem(1);
        s.SetKillId("4711");
        s.SetAllCall(1);
        s.SetGroupCall(0);
        s.SetSubGroupCall(1);
        s.SetPreamble(4);
        s.SetSelPowerSave(3);
        s.SetSelHoldTime(2);
        s.SetSelfId("1234");
        for (int i = 0; i < 10; ++i)
            s.TxIds(i).SetTxId(i == 9 ? "12" : std::to_string(1000 + i));
        m.TelNumbers().SetTelCallType(2);
        for (int i = 1; i < 10; ++i)
            m.TelNumbers().Numbers(i).SetNumber("");
        m.TelNumbers().Numbers(0).SetNumber("0123456789012345");
    });
    // SELCALL COMMON after COMMON DATA: no title lines on its page.
    const TPrtImg r = Report(m, {true, true, false});
    ASSERT_EQ(r.PageCount(), 2);
    const int T = 4;
    std::vector<L> expected = Header(2, false) + std::vector<L>{
        {T, 0, "***********************************   SELCALL COMMON  ***********************************"},
        {T + 2, 2, "Selcall"},
        {T + 3, 7, "Selcall:              ON"},
        {T + 4, 7, "Kill System:          ON"},
        {T + 5, 7, "Kill System ID:       4711"},
        {T + 6, 7, "All Call:             DISABLE"},
        {T + 7, 7, "Group Call:           ENABLE"},
        {T + 8, 7, "Sub Group Call:       DISABLE"},
        {T + 9, 7, "Preamble:             3.0 sec"},
        {T + 10, 7, "Power Save:            3 s"},
        {T + 11, 7, "Hold Time:            1.5 min"},
        {T + 12, 7, "Self ID:              1234"},
        {T + 14, 2, "TX ID"},
        {T + 15, 7, "TX ID"},
        {T + 29, 2, "Telephone Number"},
        {T + 30, 7, "Tel Call Type:        CODAN16"},
        {T + 32, 7, "Telephone Number"},
        {T + 33, 6, "   1  0123456789012345"},
    };
    for (int k = 1; k <= 9; ++k)
        expected.push_back({T + 16 + k, 6, "   " + std::to_string(k) + "  " + std::to_string(999 + k)});
    expected.push_back({T + 26, 6, "  10  12"});
    for (int k = 2; k <= 9; ++k)
        expected.push_back({T + 32 + k, 6, "   " + std::to_string(k)});
    expected.push_back({T + 42, 6, "  10"});
    EXPECT_EQ(r.Page(1).Text(), Page(expected));
}

// ---- pagination -------------------------------------------------------------------------------

// Rows of channel data on each page (-1: a page of another section).
std::vector<int> RowsPerPage(const TPrtImg& r)
{
    std::vector<int> rows;
    for (const TReportPage& p : r.Pages()) {
        const std::string text = p.Text();
        if (text.find("COMMON") != std::string::npos && text.find("CHANNEL DATA") == std::string::npos) {
            rows.push_back(-1);
            continue;
        }
        int n = 0;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);)
            if (line.size() > 14 && line.compare(0, 11, std::string(11, ' ')) == 0 && std::isdigit(static_cast<unsigned char>(line[11])) &&
                line.compare(14, 3, "   ") == 0)
                ++n;
        rows.push_back(n);
    }
    return rows;
}

TEST(ReportPages, ChannelPagesHold75Lines)
{
    struct Case {
        const char* name;
        TPrintSelection selection;
        int firstUsed, lastUsed;
        std::vector<int> rows;
    };
    const Case cases[] = {
        {"all 500 after both common sections", kAll, 1, 500, {-1, -1, 66, 69, 69, 69, 69, 69, 69, 20}},
        {"all 500 opening the job", kChannelOnly, 1, 500, {62, 69, 69, 69, 69, 69, 69, 24}},
        {"65 after COMMON DATA fill no page", {true, false, true}, 1, 65, {-1, 65}},
        {"66 after COMMON DATA: the next channel number breaks the page", {true, false, true}, 1, 66, {-1, 66, 0}},
        {"62 opening the job, then an empty page", kChannelOnly, 1, 62, {62, 0}},
        {"the last channel alone", kChannelOnly, 500, 500, {1}},
        {"66 used channels ending at 500 break no page", {true, false, true}, 435, 500, {-1, 66}},
    };
    for (const Case& c : cases) {
        TMVmem m = ClearedRecords();
        for (int k = c.firstUsed; k <= c.lastUsed; ++k)
            UseChannel(m, k);
        const TPrtImg r = Report(m, c.selection);
        EXPECT_EQ(RowsPerPage(r), c.rows) << c.name;
    }
}

TEST(ReportPages, FurtherChannelPagesRepeatTheColumnHeaderNotTheTitle)
{
    TMVmem m = ClearedRecords();
    for (int k = 1; k <= 500; ++k)
        UseChannel(m, k, "T" + std::to_string(k));
    const TPrtImg r = Report(m, {true, false, true});
    ASSERT_EQ(r.PageCount(), 9);
    // Page 3 (second channel page): header lines 3 to 5, rows of channels 67 to 135 at 6 to 74.
    const TReportPage& p = r.Page(2);
    std::vector<L> expected = Header(3, false) + std::vector<L>{{3, 6, kChannelHead1}, {4, 6, kChannelHead2}, {5, 6, kDashes}};
    char row[128];
    for (int k = 67; k <= 135; ++k) {
        std::snprintf(row, sizeof row, "%03d   %-8s    5.00000   5.00000   J3E(LSB)   High   OFF    OFF   OFF   OFF", k,
                      ("T" + std::to_string(k)).c_str());
        expected.push_back({6 + k - 67, 6, row});
    }
    EXPECT_EQ(p.Text(), Page(expected));
    EXPECT_EQ(r.Page(8).Lines().at(0), At(65, std::string(kDate) + "  Page 9"));
}

// ---- factory reports --------------------------------------------------------------------------

TEST(ReportPages, FactoryReportIsFactoryDataThenAlignmentDataOnItsOwnPage)
{
    TMVmem m = CommonRecords();
    TAlignment& a = m.Alignment();
    for (int pos = 1; pos <= 51; ++pos)
        a.SetValues(pos, pos + 100);
    a.SetValues(3, 2);      // DTCXO: "3:Black"
    a.SetValues(10, 1);     // CW PTT: "ON"
    a.SetValues(6, -125);
    a.SetValues(49, -150);  // carrier offsets print in Hz
    a.SetValues(50, 37);
    TServicePrintChoices f;
    f.Alignment = true;
    const TPrtImg r = Report(m, kAll, f);
    ASSERT_EQ(r.PageCount(), 2);
    const int T = 8;
    EXPECT_EQ(r.Page(0).Text(),
              Page(Header(1, true) + std::vector<L>{
                  {T, 0, "***********************************   FACTORY DATA   ***********************************"},
                  {T + 2, 2, "A1A(CW) Function"},
                  {T + 3, 7, "CW Pitch:               800 Hz"},
                  {T + 5, 2, "Hardware"},
                  {T + 6, 7, "RX Freq. Range:         3-30 MHz"},
                  {T + 7, 7, "TX Freq. Range:         1.6-30 MHz"},
                  {T + 9, 2, "System"},
                  {T + 10, 7, "DATA MODE:              PKT-USB"},
                  {T + 11, 7, "RTTY Shift:             850 Hz"},
                  {T + 12, 7, "RTTY Freq. Display:     Carier"},
                  {T + 13, 7, "PKT Freq. Offset:        50 Hz"},
                  {T + 14, 7, "PKT Tone:               1170 Hz"},
                  {T + 16, 2, "Key Function"},
                  {T + 17, 7, "A Switch:               Antenna Tuner"},
                  {T + 18, 7, "B Switch:               N/A"},
                  {T + 19, 7, "C Switch:"},
              }));
    const std::vector<std::string>& lines = r.Page(1).Lines();
    ASSERT_GE(lines.size(), 58u);
    EXPECT_EQ(lines[0], At(65, std::string(kDate) + "  Page 2"));
    EXPECT_TRUE(lines[2].empty() || lines[2].find_first_not_of(' ') == std::string::npos);
    const struct {
        int line;
        const char* text;
    } expected[] = {
        {4, "*********************************    ALIGNMENT DATA    *********************************"},
        {6, "  Alignment               Data"},
        {7, "       Serial ID No:         A1234567"},
        {8, "       Volt Warning 1:       101"},
        {10, "       DTCXO Select:         3:Black"},
        {13, "       CLAR Vol Offset:      -125"},
        {17, "       CW PTT Send:          ON"},
        {55, "       Hi SWR Check:         148"},
        {56, "       LSB Carrier Offset:   -1500"},
        {57, "       USB Carrier Offset:   370"},
    };
    for (const auto& e : expected)
        EXPECT_EQ(LineOf(r.Page(1), e.line), "     " + std::string(e.text)) << "line " << e.line;
    EXPECT_EQ(lines.size(), 58u) << "the LCD test flag (position 51) is not printed";
    // A choice outside its box prints the label alone.
    a.SetValues(3, 4);
    a.SetValues(10, -1);
    const TPrtImg outside = Report(m, kAll, f);
    EXPECT_EQ(LineOf(outside.Page(1), 10), At(7, "DTCXO Select:"));
    EXPECT_EQ(LineOf(outside.Page(1), 17), At(7, "CW PTT Send:"));
}

TEST(ReportPages, TempCorrectionValuesStandInTheirColumns)
{
    TMVmem m = ClearedRecords();
    for (int r = 0; r < 44; ++r)
        for (int j = 0; j < 9; ++j)
            m.TmpCorrect().Rows(r).SetValues(j, (r % 2 ? -1 : 1) * (r * 10 + j));
    TServicePrintChoices f;
    f.TempCorrect = true;
    const TPrtImg r = Report(m, kAll, f);
    ASSERT_EQ(r.PageCount(), 1);
    const auto& lines = r.Page(0).Lines();
    const int T = 8;
    EXPECT_EQ(LineOf(r.Page(0), T), At(0, "******************************    TEMP. CORRECTION DATA    ******************************"));
    EXPECT_EQ(LineOf(r.Page(0), T + 2), At(2, "Temp. Correction                                   Data"));
    EXPECT_EQ(LineOf(r.Page(0), T + 3),
              At(2, "                      -30.0  -18.7   -7.5   +3.7  +15.0  +26.2  +37.5  +48.7  +60.0"));
    EXPECT_EQ(LineOf(r.Page(0), T + 5), At(4, "DTCXO1:                 0      1      2      3      4      5      6      7      8"));
    EXPECT_EQ(LineOf(r.Page(0), T + 6), At(4, "DTCXO2:               -10    -11    -12    -13    -14    -15    -16    -17    -18"));
    EXPECT_EQ(LineOf(r.Page(0), T + 48), At(4, "AM TXG Lo 20-30:     -430   -431   -432   -433   -434   -435   -436   -437   -438"));
    EXPECT_EQ(lines.size(), static_cast<size_t>(T + 49));
}

TEST(ReportPages, TunerReportTakesTheTunerWindowsCopiesByChannelNumber)
{
    TMVmem m = ClearedRecords();
    UseChannel(m, 250, "LOW");
    UseChannel(m, 251, "TUNE");
    SetFreq(m.Channels().Items(250).RxFreq(), 12, 0, 0);
    SetFreq(m.Channels().Items(250).TxFreq(), 13, 5, 1);
    m.Channels().Items(250).SetTxOff(1);   // the tuner table shows the frequency even so
    TAntTuner0 t0;
    TAntTuner1 t1;
    t0.Entries(249).SetTuneL(9);
    TTuneData& d = t1.Entries(0);
    d.SetTuneReset(1);
    d.SetTuneTrans(1);
    d.SetTuneMidC(2);
    d.SetTuneTopC(3);
    d.SetTuneL(127);
    m.AntTuner1().Entries(0).SetTuneL(55);   // the records' own table is not the one printed
    TServicePrintChoices f;
    f.AntTuner = true;
    TPrtImg r({&m, "a.m53", kDate, '.', &t0, &t1});
    r.MakeReport(kAll, f);
    ASSERT_EQ(r.PageCount(), 1);
    EXPECT_EQ(r.Page(0).Text(),
              Page(Header(1, true, "a.m53") +
                   std::vector<L>{
                       {8, 0, "****************************    ANTENNA TUNER SETTING DATA    ****************************"},
                       {10, 6, "                     FREQUENCY"},
                       {11, 6, "Chn     TAG      Receive   Transmit    Reset  Thru   Trans  Mid-C  Top-C    L"},
                       {12, 6, kDashes},
                       {13, 6, "250   LOW         5.00000   5.00000      0      0      0      0      0       9"},
                       {14, 6, "251   TUNE       12.00000  13.50000      1      0      1      2      3     127"},
                   }));
}

// ---- the page grid and the header -------------------------------------------------------------

TEST(ReportPages, LaterWritesCoverEarlierOnesExceptWhereTheyHaveBlanks)
{
    TReportPage p;
    p.Write(1, 0, "ABCDEFGH");
    p.Write(1, 2, "x  y");
    p.Write(3, -4, "neg");   // a negative indent counts as none
    p.Write(4, 0, "caf\xc3\xa9.m53");
    p.Write(4, 8, "|");      // a column is a character: the bar follows the name
    EXPECT_EQ(p.Text(), "\n     ABxDEyGH\n\n     neg\n     caf\xc3\xa9.m53|");
}

TEST(ReportPages, TextsReadAsUtf8WithAnyOtherByteAsOneReplacementCharacter)
{
    // Well-formed; a stray byte; an overlong "/", a surrogate and a cut-short sequence.
    EXPECT_EQ(DecodeReportText("caf\xc3\xa9\xf0\x9f\x93\xbb|\xff|\xc0\xaf|\xed\xa0\x80|\xe2\x82"),
              U"caf\u00e9\U0001F4FB|\uFFFD|\uFFFD\uFFFD|\uFFFD\uFFFD\uFFFD|\uFFFD\uFFFD");
}

TEST(ReportPages, HeaderFileNameIsTheLastPartOfThePath)
{
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\radio\\fleet.m53", "fleet.m53"}, {"/home/ops/fleet.m53", "fleet.m53"}, {"A:fleet.m53", "fleet.m53"},
        {"<none>", "<none>"},                  {"dir/", ""},                         {"a\\b/c:d.x53", "d.x53"},
    };
    for (const auto& [path, name] : cases)
        EXPECT_EQ(ReportFileName(path), name) << path;
    EXPECT_EQ(ReportDate(2026, 1, 2), "1/2/2026");
    EXPECT_EQ(ReportDate(987, 12, 31, '.'), "12.31.0987");
}

TEST(ReportPages, AFactoryReportFollowedByAUserReportHasItsOwnTitle)
{
    // Each job puts the title lines on its own first page, whatever came before; without a
    // channel in use the channel section is its title alone.
    TMVmem m = ClearedRecords();
    TServicePrintChoices f;
    f.TempCorrect = true;
    TPrtImg r({&m, "a.m53", kDate, '.'});
    r.MakeReport(kAll, f);
    r.MakeReport(kChannelOnly, {});
    ASSERT_EQ(r.PageCount(), 2);
    EXPECT_EQ(r.Page(1).Text(), Page(Header(2, true, "a.m53") + std::vector<L>{{8, 0, kChannelTitle}}));
}

}  // namespace
