// The report's pages as text: whole pages against the files in tests/print/pages, single lines
// and page breaks here.

#include "ReportPageFiles.h"
#include "TestRecords.h"

#include "print/PrintImage.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

#ifndef MV53_PAGES_DIR
#error "MV53_PAGES_DIR must name the folder of the expected pages"
#endif

namespace {

using mv53::test::ClearedRecords;

const char* const kDate = "1/2/2026";

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

TPrtImg Report(const TMVmem& mem, TPrintSelection selection, TServiceReport factory = TServiceReport::None,
               std::string file = "C:\\radio\\fleet.m53", char decimalPoint = '.')
{
    TPrtImg report({&mem, std::move(file), kDate, decimalPoint});
    report.MakeReport(selection, factory);
    return report;
}

const TPrintSelection kChannelOnly{false, false, true};
const TPrintSelection kAll{true, true, true};

// Common values other than those of cleared records.
TMVmem CommonRecords()
{
    return ClearedRecords([](TMVmem& m) {
        m.Opt().SetEncryptUnit(1);
        m.Opt().SetTunerUnit(1);
        TFactoryOpt& f = m.FactoryOpt();
        f.SetSerialNo("A1234567");
        f.SetCwPitch(4);
        f.SetRxRange(1);
        f.SetKeyFunc(0, 4);
        f.SetKeyFunc(2, 99);
        f.SetDataMode(3);
        f.SetRttyShift(2);
        f.SetRttyFreqDisp(1);
        f.SetPktOffset(5);
        f.SetPktTone(0);
        m.Hard().SetHail(2);
        m.Hard().SetLampMode(5);
        m.PwrSave().SetHoldTime(3);
        m.PwrSave().SetSaveTime(9);
        m.Misc().SetBeep(0);
        m.Misc().SetVoxDelay(4);
        m.Misc().SetVoxGain(45);
        m.Sys().SetSpSelect(2);
        m.Sys().SetTot(3);
    });
}

// Two channels of every kind of value; a channel not in use is not printed, whatever it holds.
TMVmem ChannelRecords()
{
    return ClearedRecords([](TMVmem& m) {
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
        b.SetEncryptOn(1);
        b.SetEncryptCode(2);
        b.SetSelcallOn(1);
        m.Channels().Items(99).SetTag("GHOST");
    });
}

TMVmem SelcallRecords()
{
    return ClearedRecords([](TMVmem& m) {
        m.Opt().SetSelcallUnit(1);
        TCmmSel& s = m.Sel();
        s.SetKillSystem(1);
        s.SetKillId("4711");
        s.SetAllCall(1);
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
}

// Alignment values 101 to 151, with choices, a signed value and the carrier offsets in Hz.
TMVmem AlignmentRecords()
{
    TMVmem m = CommonRecords();
    TAlignment& a = m.Alignment();
    for (int pos = 1; pos <= 51; ++pos)
        a.SetValues(pos, pos + 100);
    a.SetValues(3, 2);      // DTCXO: "3:Black"
    a.SetValues(10, 1);     // CW PTT: "ON"
    a.SetValues(6, -125);
    a.SetValues(49, -150);
    a.SetValues(50, 37);
    return m;
}

TMVmem TempCorrectRecords()
{
    return ClearedRecords([](TMVmem& m) {
        for (int r = 0; r < 44; ++r)
            for (int j = 0; j < 9; ++j)
                m.TmpCorrect().Rows(r).SetValues(j, (r % 2 ? -1 : 1) * (r * 10 + j));
    });
}

// ---- whole pages ------------------------------------------------------------------------------

TEST(ReportPages, PagesAsTheFilesHoldThem)
{
    TMVmem common = CommonRecords(), channels = ChannelRecords(), selcall = SelcallRecords(),
           alignment = AlignmentRecords(), temp = TempCorrectRecords(), all500 = ClearedRecords(), none = ClearedRecords();
    for (int k = 1; k <= 500; ++k)
        UseChannel(all500, k, "T" + std::to_string(k));

    // The tuner report prints the tuner window's copies by channel number, not the records' tables.
    TMVmem tuner = ClearedRecords();
    UseChannel(tuner, 250, "LOW");
    TChannel& tune = UseChannel(tuner, 251, "TUNE");
    SetFreq(tune.RxFreq(), 12, 0, 0);
    SetFreq(tune.TxFreq(), 13, 5, 1);
    tune.SetTxOff(1);   // the tuner table shows the frequency even so
    tuner.AntTuner1().Entries(0).SetTuneL(55);
    TAntTuner0 t0;
    TAntTuner1 t1;
    t0.Entries(249).SetTuneL(9);
    TTuneData& d = t1.Entries(0);
    d.SetTuneReset(1);
    d.SetTuneTrans(1);
    d.SetTuneMidC(2);
    d.SetTuneTopC(3);
    d.SetTuneL(127);
    TPrtImg tunerReport({&tuner, "a.m53", kDate, '.', &t0, &t1});
    tunerReport.MakeReport(kAll, TServiceReport::AntTuner);

    // Each job puts the title lines on its own first page, whatever came before; without a
    // channel in use the channel section is its title alone.
    TPrtImg twoJobs({&none, "a.m53", kDate, '.'});
    twoJobs.MakeReport(kAll, TServiceReport::TempCorrect);
    twoJobs.MakeReport(kChannelOnly, {});

    const struct {
        const char* file;
        TPrtImg report;
        int pages, page;
    } cases[] = {
        {"channel-data.txt", Report(channels, kChannelOnly), 1, 0},
        {"common-data.txt", Report(common, {true, false, false}), 1, 0},
        {"selcall-common.txt", Report(selcall, {true, true, false}), 2, 1},   // no title after COMMON DATA
        {"channel-page-3.txt", Report(all500, {true, false, true}), 9, 2},    // the column header again
        {"factory-data.txt", Report(alignment, kAll, TServiceReport::Alignment), 2, 0},
        {"alignment-data.txt", Report(alignment, kAll, TServiceReport::Alignment), 2, 1},
        {"temp-correction.txt", Report(temp, kAll, TServiceReport::TempCorrect), 1, 0},
        {"antenna-tuner.txt", tunerReport, 1, 0},
        {"second-job.txt", twoJobs, 2, 1},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(c.report.PageCount(), c.pages) << c.file;
        EXPECT_TRUE(mv53::test::SamePageFile(MV53_PAGES_DIR, c.file, c.report.Page(c.page).Text()));
    }
}

// ---- single lines -----------------------------------------------------------------------------

TEST(ReportPages, NumbersWithAFractionTakeTheDecimalSeparatorGiven)
{
    TMVmem m = CommonRecords();
    m.Sel().SetPreamble(0);
    UseChannel(m, 1);
    SetFreq(m.Channels().Items(0).RxFreq(), 29, 99999, 5);
    const TPrtImg r = Report(m, {true, true, true}, {}, "x.m53", ',');
    const std::string all = r.Text();
    for (const char* line : {"Save hold Time:         6,5 sec", "TOT:                    1,5 min", "Preamble:             1,0 sec",
                             "001   CH         29,99999   5,00000"})
        EXPECT_NE(all.find(line), std::string::npos) << line;
    EXPECT_EQ(all.find("6.5"), std::string::npos);
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

}  // namespace
