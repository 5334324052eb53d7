// mv53 new / export / import, diff, csv-export / csv-import and firmware-info, run as a process on
// files in a temporary folder, and the JSON form of the records in process.

#include "RecordsJson.h"
#include "RunProcess.h"
#include "TestRecords.h"

#include "model/Decimal.h"
#include "model/MVmem.h"
#include "model/Text.h"
#include "model/U_Const.h"
#include "model/U_E2prom.h"
#include "model/U_FileAccess.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
namespace mv53::test {
namespace {

using namespace mv53::cli;
using RunResult = ProcessResult;

class CliFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_scratch.Ok());
        m_dir = m_scratch.Root();
    }

    std::string Path(const std::string& name) const { return m_scratch.Path(name); }

    // Runs mv53 with args; asUser: as that user id instead of the test's user.
    RunResult Run(const std::vector<std::string>& args, int asUser = -1)
    {
        return asUser < 0 ? RunProcess(MV53_EXE, args) : RunProcessAs(asUser, MV53_EXE, args);
    }

    ScratchDir m_scratch;
    std::string m_dir;
};

TEST_F(CliFile, NewWritesTheClearedRecordsAndRecordsSurviveImportAndExport)
{
    RunResult r = Run({"new", Path("new.m53")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(ReadFile(Path("new.m53")) == DataFileBytes(ClearedRecords()));

    // Random records (selcall ids of 0 to 4 digits among them), frequencies of few and of all
    // five decimals, and the two flags set that the decoder does not read.
    TMVmem sample;
    RandomRecords random(3);
    random.Fill(sample);
    for (const auto& [channel, freq] : {std::pair{0, 7.053}, std::pair{1, 29.99999}}) {
        sample.Channels().Items(channel).SetStatus(mv53::kChannelUsed);
        sample.Channels().Items(channel).RxFreq().FromFloat(freq);
    }
    sample.Sel().SetSelFlag(1);
    sample.Alignment().SetValues(51, 1);
    WriteFile(Path("in.json"), FormatJson(RecordsToJson(sample)));

    r = Run({"import", Path("in.json"), Path("a.m53")});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string a = ReadFile(Path("a.m53"));
    ASSERT_TRUE(a == DataFileBytes(sample));
    // The flags that DecodeImage does not read are in the file, and export reports them.
    EXPECT_EQ(a[static_cast<size_t>(mv53::kSelFlagOffset)], 1);
    EXPECT_EQ(a[static_cast<size_t>(mv53::kLcdTestOffset)], 1);

    r = Run({"export", Path("a.m53"), "-o", Path("out.json")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.out.empty());
    const std::string exported = ReadFile(Path("out.json"));
    EXPECT_NE(exported.find("\"RxFreq\":7.053,"), std::string::npos);
    EXPECT_NE(exported.find("\"RxFreq\":29.99999,"), std::string::npos);
    EXPECT_EQ(Json::parse(exported), RecordsToJson(sample));
    EXPECT_EQ(Run({"export", Path("a.m53")}).out, exported);   // without -o: the same on standard output

    r = Run({"import", Path("out.json"), Path("b.m53")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(ReadFile(Path("b.m53")) == a);
}

TEST_F(CliFile, ImportStartsFromANewDocument)
{
    WriteFile(Path("in.json"), R"({"Misc": {"VoxGain": 50}})");
    const RunResult r = Run({"import", Path("in.json"), Path("a.m53")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(ReadFile(Path("a.m53")) == DataFileBytes(ClearedRecords([](TMVmem& m) { m.Misc().SetVoxGain(50); })));
}

TEST_F(CliFile, ImportWarnsOfFrequenciesOutsideTheRadiosRangeAndKeepsThem)
{
    // A data file may hold 0.5 to 30 MHz either way; the radio transmits from 1.6 MHz (3 MHz
    // with the narrow range) and receives from 0.5 MHz (3 MHz with the narrow range).
    const TMVmem records = ClearedRecords([](TMVmem& m) {
        for (int i : {2, 6, 8, 9}) {
            m.Channels().Items(i).SetStatus(mv53::kChannelUsed);
            m.Channels().Items(i).RxFreq().FromFloat(7.0);
            m.Channels().Items(i).TxFreq().FromFloat(7.0);
        }
        m.Channels().Items(2).TxFreq().FromFloat(0.6);
        m.Channels().Items(6).RxFreq().FromFloat(2.5);
        m.Channels().Items(8).TxFreq().FromFloat(0.6);   // receive-only: its transmit frequency is unused
        m.Channels().Items(8).SetTxOff(1);
        m.Channels().Items(9).TxFreq().FromFloat(30.0);
        m.Channels().Items(11).TxFreq().FromFloat(0.6);   // empty channel
        m.FactoryOpt().SetRxRange(1);
    });
    WriteFile(Path("in.json"), FormatJson(RecordsToJson(records)));
    const RunResult r = Run({"import", Path("in.json"), Path("a.m53")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err,
              "warning: CH-003 transmit frequency 0.60000 MHz is outside the radio's range 1.6-30 MHz\n"
              "warning: CH-007 receive frequency 2.50000 MHz is outside the radio's range 3-30 MHz\n");
    EXPECT_TRUE(ReadFile(Path("a.m53")) == DataFileBytes(records));
}

// Each bad input is refused with a message naming the field; the target file is not created,
// and an existing one keeps its content.
TEST_F(CliFile, RefusedInputWritesNothing)
{
    const Json valid = RecordsToJson(ClearedRecords());
    struct Case {
        std::string input;
        std::string message;
    };
    const auto with = [&](const std::function<void(Json&)>& change) {
        Json j = valid;
        change(j);
        return j.dump();
    };
    const std::vector<Case> cases = {
        {with([](Json& j) { j["Hard"]["Hail"] = "2"; }), "Hard.Hail: expected an integer, got \"2\""},
        {with([](Json& j) { j["Sys"]["NoiseBlankr"] = 1; }), "Sys: unknown key \"NoiseBlankr\""},
        {"{\"Misc\": {\"VoxGain\": 5,}}", "in.json: not valid JSON: parse error at line 1, column 24"},
        {"", "in.json: not valid JSON: parse error at line 1, column 1"},
    };
    const std::string oldContent = "old content";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        WriteFile(Path("in.json"), c.input);
        fs::remove(Path("new.m53"));
        RunResult r = Run({"import", Path("in.json"), Path("new.m53")});
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(Path("new.m53") + " was not written."), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(Path("new.m53")));

        WriteFile(Path("old.m53"), oldContent);
        r = Run({"import", Path("in.json"), Path("old.m53")});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(ReadFile(Path("old.m53")), oldContent);
    }
}

TEST_F(CliFile, ExportRepairsTheUndecodedFlagsSoThatImportTakesThemBack)
{
    const std::string cleared = DataFileBytes(ClearedRecords());
    for (const int byte : {0, 1, 2, 0x80, 0xFF}) {
        SCOPED_TRACE(byte);
        const int repaired = byte <= 1 ? byte : 0;
        std::string bytes = cleared;
        bytes[17882] = static_cast<char>(byte);   // the LCD test flag, alignment position 51
        bytes[17926] = static_cast<char>(byte);   // the selcall flag
        WriteFile(Path("in.m53"), bytes);
        RunResult r = Run({"export", Path("in.m53"), "-o", Path("in.json")});
        ASSERT_EQ(r.status, 0) << r.err;
        const Json json = Json::parse(ReadFile(Path("in.json")));
        EXPECT_EQ(json["Sel"]["SelFlag"], repaired);
        EXPECT_EQ(json["Alignment"]["Values"][50], repaired);
        r = Run({"import", Path("in.json"), Path("out.m53")});
        ASSERT_EQ(r.status, 0) << r.err;
        const std::string out = ReadFile(Path("out.m53"));
        ASSERT_EQ(out.size(), 17927u);
        EXPECT_EQ(static_cast<unsigned char>(out[17882]), repaired);
        EXPECT_EQ(static_cast<unsigned char>(out[17926]), repaired);
    }
}

// Every failure: status 1, nothing on standard output, the message and its reason on standard
// error, no file written.
TEST_F(CliFile, FileErrorsEndWithStatusOneAndTheReasonBelowTheMessage)
{
    fs::create_directory(Path("folder"));
    ASSERT_EQ(Run({"new", Path("good.m53")}).status, 0);
    ASSERT_EQ(Run({"export", Path("good.m53"), "-o", Path("good.json")}).status, 0);
    WriteFile(Path("short.m53"), std::string(17926, '\0'));
    const std::string folder = Path("folder");
    const std::string notWritten = Path("x.m53") + " was not written.\n";
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"import", folder, Path("x.m53")}, "Cannot read the JSON file " + folder + "\nIs a directory\n" + notWritten},
        {{"import", Path("none.json"), Path("x.m53")}, "Cannot read the JSON file " + Path("none.json") + "\nNo such file or directory\n" + notWritten},
        {{"import", Path("good.json"), folder}, "File write error  File Name = " + folder + "\nIs a directory\n"},
        {{"export", folder}, "File read error  File Name = " + folder + "\nIs a directory\n"},
        {{"export", Path("missing.m53")}, "File read error  File Name = " + Path("missing.m53") + "\nNo such file or directory\n"},
        {{"export", Path("short.m53"), "-o", Path("out.json")}, "The file cannot be opened.\r\nThe file format is not correct.\n"},
        {{"export", Path("good.m53"), "-o", folder}, "Cannot write the JSON file " + folder + "\nIs a directory\n"},
        {{"new", folder}, "File write error  File Name = " + folder + "\nIs a directory\n"},
        {{"new", Path("no-folder/x.m53")},
         "File write error  File Name = " + Path("no-folder/x.m53") + "\nNo such file or directory\n"},
        {{"new"}, "mv53 new: missing FILE\nusage: mv53 new FILE\n"},
        {{"export", "a.m53", "-o"}, "mv53 export: -o needs a value\nusage: mv53 export FILE [-o OUT.json]\n"},
        {{"import", "in.json"}, "mv53 import: missing FILE\nusage: mv53 import IN.json FILE\n"},
    };
    for (const auto& [args, err] : cases) {
        SCOPED_TRACE(args.size() > 1 ? args[0] + " " + args[1] : args[0]);
        const RunResult r = Run(args);
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(r.out.empty()) << r.out;
        EXPECT_EQ(r.err, err);
    }
    EXPECT_FALSE(fs::exists(Path("x.m53")));
    EXPECT_FALSE(fs::exists(Path("out.json")));

    if (::geteuid() == 0) {
        // A file the user may not read.
        ::chmod(m_dir.c_str(), 0755);
        ::chmod(Path("good.json").c_str(), 0600);
        const RunResult r = Run({"import", Path("good.json"), Path("folder/y.m53")}, kOtherUserId);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, "Cannot read the JSON file " + Path("good.json") + "\nPermission denied\n" +
                             Path("folder/y.m53") + " was not written.\n");
    }
}

// mv53 run with a command line it cannot take: it says what it did not understand, on standard
// error, and ends with status 1 before anything is done.
TEST(CliArguments, UnknownCommandsAndWaitsThatAreNoWholeNumberAreRefused)
{
    const auto flashWaiting = [](const std::string& seconds) {
        return std::vector<std::string>{"flash", "--port", "/dev/null", "fw.mot", "--cpu", "HD64F2134ATF20",
                                        "--boot", "boot.bin", "--wait", seconds};
    };
    const std::string waitRefused = "mv53 flash: --wait takes a whole number of seconds from 1, not ";
    const struct {
        std::vector<std::string> args;
        std::string err;   // the start of standard error
    } cases[] = {
        {{}, "usage: mv53 <command> [arguments]\n"},
        {{"frobnicate"}, "mv53: unknown command 'frobnicate'\nusage: mv53 <command> [arguments]\n"},
        {flashWaiting("0"), waitRefused + "0\nusage: mv53 flash --port"},
        {flashWaiting("1.5"), waitRefused + "1.5\nusage: mv53 flash --port"},
        {flashWaiting("ten"), waitRefused + "ten\nusage: mv53 flash --port"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        const auto result = RunProcess(MV53_EXE, c.args);
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err.substr(0, c.err.size()), c.err);
        EXPECT_EQ(result.out, "");
    }
}

// Every command names the argument it did not understand, then gives its usage; nothing else
// happens (no file is read or written, no port opened).
TEST_F(CliFile, EveryCommandNamesTheArgumentItDidNotUnderstand)
{
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"new", "a.m53", "b.m53"}, "unexpected argument b.m53"},
        {{"export", "a.m53", "--bogus"}, "unknown option --bogus"},
        {{"upload", "--port", "COM1", "--force", "a.m53"}, "unknown option --force"},
        {{"download", "--port=COM1", "--port=COM2", "a.m53"}, "--port given twice"},
        {{"report", "a.m53", "--text", "--sections", "common,foo"}, "unknown section foo"},
        {{"flash", "f.sfl", "--cpu", "HD64F2134FA20", "--bogus"}, "unknown option --bogus"},
        {{"serial-write", "--port", "COM1", "--year", "2026", "--month", "3", "--lot", "1"}, "missing --number"},
    };
    for (const auto& [args, problem] : cases) {
        SCOPED_TRACE(problem);
        const RunResult r = Run(args);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err.rfind("mv53 " + args[0] + ": " + problem + "\nusage: mv53 " + args[0] + " ", 0), 0u) << r.err;
    }
}

// A file that reads but does not look like a data file (here a picture) is exported and
// reported with a warning.
TEST_F(CliFile, ExportAndReportWarnOfAFileThatIsNoDataFile)
{
    const std::string photo = Path("photo.m53");
    WriteFile(photo, PictureFileBytes());
    for (const auto& args : std::vector<std::vector<std::string>>{{"export", photo}, {"report", photo, "--text"}}) {
        const RunResult r = Run(args);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err, "warning: " + photo + " does not look like a KT-4680 data file: it does not begin with the model id \"kt468h\"\n");
        EXPECT_FALSE(r.out.empty());
    }
}

// ---- diff ----

// Old records: channels 1 and 2 in use, 2 receive-only. Each case changes a copy into the new
// records, or patches a byte of the new file that no record field holds.
void OldRecords(TMVmem& m)
{
    for (int i : {0, 1}) {
        TChannel& ch = m.Channels().Items(i);
        ch.SetStatus(mv53::kChannelUsed);
        ch.RxFreq().FromFloat(7.05);
        ch.TxFreq().FromFloat(7.05);
    }
    m.Channels().Items(1).SetTag("ALPHA");
    m.Channels().Items(1).SetTxOff(1);
}

class CliDiff : public CliFile {
protected:
    std::string Write(const std::string& name, const TMVmem& mem, int patchAt = -1, char patch = 0)
    {
        std::string bytes(reinterpret_cast<const char*>(EncodedImage(mem, false).Data()), TText::Size());
        if (patchAt >= 0)
            bytes[static_cast<size_t>(patchAt)] = patch;
        return m_scratch.Write(name, bytes);
    }
};

TEST_F(CliDiff, OneLinePerDifferenceSettingsFirstThenChannelsInNumberOrder)
{
    constexpr int kSpareOfChannel1 = mv53::ChannelOffset(0) + 26;   // 0x0020: no field shows it
    const struct {
        const char* name;
        void (*edit)(TMVmem&);
        int patchAt;
        std::string lines;
    } cases[] = {
        {"equal", [](TMVmem&) {}, -1, ""},
        {"frequency", [](TMVmem& m) { m.Channels().Items(0).RxFreq().FromFloat(7.06); }, -1,
         "channel 1: Receive: 7.05000 -> 7.06000\n"},
        {"transmitter off", [](TMVmem& m) { m.Channels().Items(0).SetTxOff(1); }, -1,
         "channel 1: Transmit: 7.05000 -> TX OFF\n"},
        {"frequency behind TX OFF", [](TMVmem& m) { m.Channels().Items(1).TxFreq().FromFloat(7.06); }, -1,
         "Other bytes: 0x002E-0x002F: C1 E8 -> C5 D0\n"},
        {"tag", [](TMVmem& m) { m.Channels().Items(1).SetTag("BRAVO"); }, -1, "channel 2: TAG: ALPHA -> BRAVO\n"},
        {"added and removed", [](TMVmem& m) {
             m.Channels().Items(0).SetStatus(mv53::kChannelEmpty);
             m.Channels().Items(499).SetStatus(mv53::kChannelUsed);
         }, -1, "channel 1: removed\nchannel 500: added\n"},
        {"setting", [](TMVmem& m) { m.A1A().SetCwDelay(1); }, -1, "A1A(CW)Function: CW Delay: 500 ms -> 1000 ms\n"},
        {"unshown byte", [](TMVmem&) {}, kSpareOfChannel1, "Other bytes: 0x0020: FF -> 01\n"},
        {"in order", [](TMVmem& m) {
             m.Channels().Items(1).SetMode(3);
             m.TelNumbers().Numbers(2).SetNumber("");
             m.FactoryOpt().SetKeyFunc(1, 1);
         }, kSpareOfChannel1,
         "Key Function: B Switch: N/A -> SELCALL\nTelephone Numbr: Telephone Number 3: 0000000000000000 -> "
         "---------------\nOther bytes: 0x0020: FF -> 01\nchannel 2: Mode: J3E(USB) -> A3E\n"},
    };
    const std::string old = Write("old.m53", ClearedRecords(OldRecords));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const RunResult r = Run({"diff", old, Write("new.m53", ClearedRecords([&](TMVmem& m) {
            OldRecords(m);
            c.edit(m);
        }), c.patchAt, 1)});
        EXPECT_EQ(r.out, c.lines);
        EXPECT_EQ(r.status, c.lines.empty() ? 0 : 1) << r.err;
        EXPECT_EQ(r.err, "");
    }
}

TEST_F(CliDiff, AFileThatIsMissingOrNoDataFileFailsWithItsReason)
{
    const std::string good = Write("good.m53", ClearedRecords());
    const std::string picture = m_scratch.Write("picture.m53", PictureFileBytes());
    const std::string missing = Path("missing.m53");
    const struct {
        std::string a, b, err;
    } cases[] = {
        {good, missing, "File read error  File Name = " + missing + "\nNo such file or directory\n"},
        {picture, good, "mv53 diff: " + picture + ": not a data file: "},
    };
    for (const auto& c : cases) {
        const RunResult r = Run({"diff", c.a, c.b});
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.err.substr(0, c.err.size()), c.err);
        EXPECT_EQ(r.out, "");
    }
}

// ---- csv-export and csv-import ----

class CliCsv : public CliFile {};

TEST_F(CliCsv, ImportKeepsTheSettingsOrMakesANewDocumentAndRefusesABadFile)
{
    const TMVmem settings = ClearedRecords([](TMVmem& m) { m.Misc().SetVoxGain(77); });
    const std::string file = m_scratch.Write("a.m53", DataFileBytes(settings));
    const std::string csv = m_scratch.Write("in.csv", "Chn;TAG\r\n2;ship\r\n");

    ASSERT_EQ(Run({"csv-import", csv, file}).status, 0);
    ASSERT_EQ(Run({"csv-import", csv, Path("new.m53")}).status, 0);
    for (const auto& [path, voxGain] : {std::pair{file, 77}, std::pair{Path("new.m53"), ClearedRecords().Misc().VoxGain()}}) {
        TMVmem mem;
        TText image;
        ASSERT_TRUE(ReadDataFile(path, mem, image));
        EXPECT_EQ(mem.Misc().VoxGain(), voxGain);
        EXPECT_EQ(mem.Channels().Items(1).Tag(), "SHIP");
        EXPECT_EQ(mem.Channels().Items(0).Status(), mv53::kChannelEmpty);
    }
    const RunResult out = Run({"csv-export", file});
    EXPECT_EQ(out.status, 0);
    EXPECT_EQ(out.out, "Chn,TAG,Receive,Transmit,Mode,Pwr,Shift,Encryption,Selcall,Tune\r\n"
                       "002,SHIP,3.00000,3.00000,J3E(USB),High,OFF,OFF,OFF,OFF\r\n");

    const std::string before = ReadFile(file);
    const RunResult bad = Run({"csv-import", m_scratch.Write("bad.csv", "TAG,Receive\nA,40\n"), file});
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.err, Path("bad.csv") + ": line 2, column 2: CH-001 receive frequency 40.00000 MHz is outside the "
                                         "radio's range 0.5-30 MHz\n" + file + " was not written.\n");
    EXPECT_EQ(ReadFile(file), before);
    EXPECT_EQ(Run({"csv-export", file, "-o", Path("x/y.csv")}).status, 1);
}

// ---- firmware-info ----

// mv53 firmware-info on firmware files: the exact lines scripts read, and the refusals with
// their exit status and message.
class CliFirmware : public CliFile {
protected:
    std::string Write(const std::string& name, const std::string& bytes) const { return m_scratch.Write(name, bytes); }
    // mv53 firmware-info with the arguments, split at spaces.
    RunResult Run(const std::string& arguments)
    {
        std::vector<std::string> args{"firmware-info"};
        std::istringstream words(arguments);
        for (std::string word; words >> word;)
            args.push_back(word);
        return CliFile::Run(args);
    }
};

TEST_F(CliFirmware, PrintsHeaderAreasProgressAndChecksumOfAnSrecCatFile)
{
    // 0x20 bytes at 0x0000, 0x10 bytes at 0x1000, 4 bytes at 0x9000, from srec_cat's generator.
    const std::string file = Path("KT468ABC_V0100.SFL");
    const std::string made = "srec_cat -generate 0 0x20 -constant 0x11 -generate 0x1000 0x1010 -constant 0x22 "
                             "-generate 0x9000 0x9004 -constant 0x33 -o " + file + " -motorola >/dev/null 2>&1";
    ASSERT_EQ(std::system(made.c_str()), 0);
    const std::string records = ReadFile(file);
    Write("KT468ABC_V0100.SFL", "KT-4680 firmware\r\nfor the test\r\n" + records);

    // 0x01fe0000 - 0x34 * 0xFF + 0x20 * 0x11 + 0x10 * 0x22 + 4 * 0x33
    const RunResult fa20 = Run(file + " --cpu HD64F2134FA20");
    EXPECT_EQ(fa20.status, 0) << fa20.err;
    EXPECT_EQ(fa20.out, "header: KT-4680 firmware\n"
                        "header: for the test\n"
                        "scrambled: no\n"
                        "area 0: start 0x00000 length 64\n"
                        "area 1: none\n"
                        "area 2: start 0x01000 length 64\n"
                        "area 3: none\n"
                        "area 4: none\n"
                        "outside areas: 4 bytes, first line 6 address 0x09000\n"
                        "progress max: 576\n"
                        "CHECKSUM\n"
                        "        01fdd140 (PC)\n");
    const RunResult atf20 = Run("--cpu=HD64F2134ATF20 " + file);
    EXPECT_EQ(atf20.status, 0) << atf20.err;
    EXPECT_NE(atf20.out.find("scrambled: no\narea 0: start 0x00000 length 36992\noutside areas: none\nprogress max: 288\n"),
              std::string::npos)
        << atf20.out;
}

TEST_F(CliFirmware, ScrambledFileNeedsAKeyOfExactly43Bytes)
{
    std::string key(43, '\0');
    for (std::size_t i = 0; i < key.size(); ++i)
        key[i] = static_cast<char>(0x30 + i);
    std::string plain = "S1070000DEADBEEFC0";
    std::string scrambled = "VS";
    std::size_t pos = 0;
    for (const char c : std::string("030000FC") + "\r\n" + plain + "\r\nS9030000FC\r\n") {
        if (c == '\r' || c == '\n') {
            scrambled += c;
            continue;
        }
        scrambled += static_cast<char>(static_cast<unsigned char>(c) + static_cast<unsigned char>(key[pos]));
        pos = (pos + 1) % 43;
    }
    const std::string file = Write("KT468XYZ_V0200.SFL", "Scrambled\r\n" + scrambled);
    Write("good.key", key);
    Write("short.key", key.substr(0, 42));
    Write("long.key", key + "x");

    const RunResult ok = Run(file + " --cpu HD64F2134ATF20 --key " + Path("good.key"));
    EXPECT_EQ(ok.status, 0) << ok.err;
    EXPECT_EQ(ok.out.substr(0, ok.out.find("CHECKSUM")),
              "header: Scrambled\nscrambled: yes\narea 0: start 0x00000 length 128\noutside areas: none\nprogress max: 0\n");

    const struct Case {
        const char* name;
        std::string arguments;
        const char* message;
    } cases[] = {
        {"no key", file + " --cpu HD64F2134ATF20", "line 2: the file is scrambled and no unscrambling key is set"},
        {"short key", file + " --cpu HD64F2134ATF20 --key " + Path("short.key"), "holds 42 bytes; it must hold exactly 43"},
        {"long key", file + " --cpu HD64F2134ATF20 --key " + Path("long.key"), "holds more than 43 bytes"},
        {"missing key", file + " --cpu HD64F2134ATF20 --key " + Path("none.key"), "cannot be read"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const RunResult r = Run(c.arguments);
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(r.out.empty()) << r.out;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
}

TEST_F(CliFirmware, RefusesFilesThatCannotBeWrittenWhole)
{
    const struct Case {
        const char* name;
        std::string fileName;
        std::string text;
        const char* message;
    } cases[] = {
        {"record checksum", "KT468ABC_V0100.SFL", "S0030000FC\nS1070000DEADBEEFBD\n", "line 2: checksum byte BD"},
        {"address past 128 KiB", "KT468ABC_V0100.SFL", "S0030000FC\nS20801FFFE00000000F9\nS9030000FC\n",
         "line 2: the record's bytes 0x1FFFE-0x20001 lie outside 0x00000-0x1FFFF"},
        {"cut off after a record", "KT468ABC_V0100.SFL", "S0030000FC\nS1070000DEADBEEFC0\n",
         "line 2: the file ends here without a termination record"},
        {"no record header", "KT468ABC_V0100.SFL", "only text\n", "no record header line"},
        {"name", "FIRMWARE.SFL", "S0030000FC\nS1070000DEADBEEFC0\n", "does not begin with KT468"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = Write(c.fileName, c.text);
        const RunResult r = Run(file + " --cpu HD64F2134FA20");
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(r.out.empty()) << r.out;
        EXPECT_EQ(r.err.rfind("The firmware file cannot be written.\n" + file + ": ", 0), 0u) << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        std::filesystem::remove(file);
    }
    EXPECT_EQ(Run("KT468ABC_V0100.SFL --cpu HD64F2134").status, 1);
}

// ---- The records as JSON ----

// The JSON form of the records, in process: frequency texts, missing keys and the refusals of
// values that do not fit their fields.
// A frequency as FormatJson writes it, without the final line break.
std::string FrequencyText(double mhz)
{
    TDecimal freq;
    freq.FromFloat(mhz);
    std::string text = FormatJson(FrequencyToJson(freq));
    text.pop_back();
    return text;
}

// The messages of reading json into cleared records, one a line.
std::string Refusals(const Json& json)
{
    TMVmem mem = ClearedRecords();
    std::vector<std::string> errors;
    const bool accepted = RecordsFromJson(json, mem, errors);
    EXPECT_EQ(accepted, errors.empty());
    std::string out;
    for (const auto& e : errors)
        out += e + "\n";
    return out;
}


// Frequencies the image can hold (units of 10 Hz), as DecodeImage makes them, are written as
// their own decimal text and read back to the same TDecimal: every 7th step of the range (7 is
// prime to 10, so all endings of the fraction occur) and every step near both ends.
TEST(RecordsJsonFrequency, StepsOfTenHertzAreWrittenAsTheirDecimal)
{
    int failures = 0;
    const auto next = [](int units) { return units < 51000 || units >= 2999000 ? units + 1 : units + 7; };
    for (int units = 50000; units <= 3000000 && failures < 5; units = next(units)) {
        const std::string text = FrequencyText(units / 100000.0);
        std::string fraction = std::to_string(100000 + units % 100000).substr(1);
        while (fraction.size() > 1 && fraction.back() == '0')
            fraction.pop_back();
        TDecimal freq;
        freq.FromFloat(units / 100000.0);
        TDecimal back;
        back.FromFloat(Json::parse(text).get<double>());
        if (text != std::to_string(units / 100000) + "." + fraction || !back.Equals(freq)) {
            ADD_FAILURE() << units << " written as " << text;
            ++failures;
        }
    }
    EXPECT_EQ(FrequencyText(7.053), "7.053");
    EXPECT_EQ(FrequencyText(30.0), "30.0");
}

TEST(RecordsJsonFrequency, RangeDigitsAndType)
{
    Json json = RecordsToJson(ClearedRecords());
    auto& ch = json["Channels"][7];
    ch["RxFreq"] = 30;   // an integer is a number of MHz as well
    ch["TxFreq"] = 0.5;
    EXPECT_EQ(Refusals(json), "");

    ch["RxFreq"] = 30.00001;
    ch["TxFreq"] = 0.49999;
    EXPECT_EQ(Refusals(json), "Channels[7].RxFreq: 30.00001 is out of range 0.5..30.0\n"
                              "Channels[7].TxFreq: 0.49999 is out of range 0.5..30.0\n");
    ch["RxFreq"] = 7.123456;
    ch["TxFreq"] = 7.05300000000001;   // 15 significant digits, not a whole number of 10 Hz
    EXPECT_EQ(Refusals(json), "Channels[7].RxFreq: 7.123456 has more than 5 fraction digits\n"
                              "Channels[7].TxFreq: 7.05300000000001 has more than 5 fraction digits\n");
    ch["RxFreq"] = "7.053";
    ch["TxFreq"] = nullptr;
    EXPECT_EQ(Refusals(json), "Channels[7].RxFreq: expected a number of MHz, got \"7.053\"\n"
                              "Channels[7].TxFreq: expected a number of MHz, got null\n");
}

TEST(RecordsJsonRead, MissingKeysKeepTheValuesHeld)
{
    TMVmem mem = ClearedRecords();
    std::vector<std::string> errors;
    ASSERT_TRUE(RecordsFromJson(Json::parse(R"({"Hard": {"LampMode": 4}, "FactoryOpt": {}})"), mem, errors));
    EXPECT_TRUE(SameRecords(mem, ClearedRecords([](TMVmem& m) { m.Hard().SetLampMode(4); })));
    EXPECT_EQ(mem.FwVersion(), "----");
}

TEST(RecordsJsonRead, EveryRefusalNamesItsField)
{
    Json json = RecordsToJson(ClearedRecords());
    json["Channels"][3]["Mode"] = 7;
    json["Channels"][4]["Power"] = 1.0;
    json["Channels"][5]["Status"] = 0;
    json["Channels"][6]["Tag"] = "abc";
    json["Channels"][7]["Tag"] = "ABCDEFGHI";
    json["Channels"][8]["Mdoe"] = 1;
    json["Channels"][9]["EncryptCode"] = 16;
    json["Sel"]["KillId"] = "1234567";
    json["Sel"]["SelfId"] = "12a4";
    json["TelNumbers"]["Numbers"][2] = std::string(17, '1');
    json["AntTuner1"]["Entries"][249]["TuneL"] = 512;
    json["Alignment"]["Values"][0] = -1;      // position 1 is an unsigned byte
    json["Alignment"]["Values"][5] = -129;    // position 6 a signed byte
    json["Alignment"]["Values"][48] = 32768;  // position 49 a signed 16-bit number
    json["TmpCorrect"]["Rows"][43][8] = -129;
    json["TmpCorrect"]["Rows"][2] = Json::array({1, 2, 3});
    json["FactoryOpt"]["KeyFunc"] = Json::array({0, 14});
    json["FactoryOpt"]["SerialNo"] = "1B3F0A99";
    json["Comport"] = 5;
    json["Extra"] = true;

    EXPECT_EQ(Refusals(json),
              "Channels[3].Mode: 7 is out of range 0..4\n"
              "Channels[4].Power: expected an integer, got 1.0\n"
              "Channels[5].Status: 0 is neither 165 (0xA5, in use) nor 255 (0xFF, empty)\n"
              "Channels[6].Tag: \"abc\" has a character outside codes 32..95 (blank, digits, upper-case letters, punctuation)\n"
              "Channels[7].Tag: \"ABCDEFGHI\" is longer than 8 characters\n"
              "Channels[8]: unknown key \"Mdoe\"\n"
              "Channels[9].EncryptCode: 16 is out of range 0..15\n"
              "Comport: expected an object, got 5\n"
              "Sel.KillId: \"1234567\" is not 8 digits long\n"
              "Sel.SelfId: \"12a4\" is not made of the digits 0..9\n"
              "TelNumbers.Numbers[2]: \"11111111111111111\" is longer than 16 digits\n"
              "AntTuner1.Entries[249].TuneL: 512 is out of range 0..511\n"
              "Alignment.Values[0]: -1 is out of range 0..255\n"
              "Alignment.Values[5]: -129 is out of range -128..127\n"
              "Alignment.Values[48]: 32768 is out of range -32768..32767\n"
              "TmpCorrect.Rows[2]: expected an array of 9 items, got 3 items\n"
              "TmpCorrect.Rows[43][8]: -129 is out of range -128..127\n"
              "FactoryOpt.KeyFunc: expected an array of 3 items, got 2 items\n"
              "FactoryOpt.SerialNo: \"1B3F0A99\" is not a serial number (hexadecimal digits, the second one 0, C..N or *)\n"
              "(top level): unknown key \"Extra\"\n");
    EXPECT_EQ(Refusals(Json::array()), "(top level): expected an object, got an array\n");
}

TEST(RecordsJsonRead, LimitsOfTheFieldsAreAccepted)
{
    Json json = RecordsToJson(ClearedRecords());
    json["Channels"][0]["Tag"] = "@[\\]^_ !";   // codes 64, 91..95, 32, 33
    json["Channels"][1]["Tag"] = "";
    json["Channels"][2]["Status"] = 0xA5;
    json["TelNumbers"]["Numbers"][0] = "";
    json["TelNumbers"]["Numbers"][1] = std::string(16, '9');
    json["FactoryOpt"]["SerialNo"] = "F*FFFFFF";
    json["FactoryOpt"]["PktOffset"] = 300;
    json["FwVersion"] = "0A1F";
    json["Alignment"]["Values"][49] = -32768;
    json["TmpCorrect"]["Rows"][0][0] = 127;
    EXPECT_EQ(Refusals(json), "");
}

// ---- Saving over an existing file, as another user than its owner ----

struct SaveCase {
    const char* name;
    bool folderWritable;            // by the other user
    int fileOwner;                  // 0: root
    unsigned fileMode;
    bool secondName;                // a hard link beside it
    int saver;                      // -1: the test's own user (root)
    bool saved;                     // else "File write error" and the file untouched
};

class SaveOverExisting : public CliFile, public ::testing::WithParamInterface<SaveCase> {};

TEST_P(SaveOverExisting, KeepsWhatTheUserMayNotChange)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to act as a second user";
    const SaveCase& c = GetParam();
    const std::string folder = Path("data");
    fs::create_directory(folder);
    ::chmod(m_dir.c_str(), 0755);
    ::chmod(folder.c_str(), c.folderWritable ? 0777 : 0755);
    const std::string file = folder + "/radio.m53";
    const std::string old(17927, 'o');
    WriteFile(file, old);
    ASSERT_EQ(::chown(file.c_str(), static_cast<uid_t>(c.fileOwner), static_cast<gid_t>(c.fileOwner)), 0);
    ASSERT_EQ(::chmod(file.c_str(), c.fileMode), 0);
    if (c.secondName)
        fs::create_hard_link(file, folder + "/other-name.m53");

    const RunResult r = Run({"new", file}, c.saver);
    const std::string expected = c.saved ? DataFileBytes(ClearedRecords()) : old;
    EXPECT_EQ(r.status, c.saved ? 0 : 1) << r.err;
    if (!c.saved) {
        EXPECT_EQ(r.err, "File write error  File Name = " + file + "\nPermission denied\n");
    }
    EXPECT_TRUE(ReadFile(file) == expected);
    if (c.secondName) {
        EXPECT_TRUE(ReadFile(folder + "/other-name.m53") == expected);
    }
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, static_cast<uid_t>(c.fileOwner));
    EXPECT_EQ(st.st_gid, static_cast<gid_t>(c.fileOwner));
    EXPECT_EQ(st.st_mode & 07777, c.fileMode);
    EXPECT_EQ(fs::hard_link_count(file), c.secondName ? 2u : 1u);
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), c.secondName ? 2 : 1);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SaveOverExisting,
    ::testing::Values(
        // name, folder writable, owner, mode, hard link, saver, saved
        SaveCase{"ReadOnlyFileInAWritableFolder", true, 0, 0644, false, kOtherUserId, false},
        SaveCase{"WritableFileInAReadOnlyFolder", false, kOtherUserId, 0640, false, kOtherUserId, true},
        SaveCase{"FileWithASecondName", true, kOtherUserId, 0644, true, kOtherUserId, true},
        SaveCase{"AnotherUsersFileSavedByRoot", true, kOtherUserId, 0640, false, -1, true},
        SaveCase{"GroupWritableFileOfAnotherOwner", true, 0, 0666, false, kOtherUserId, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CliFile, AFileTheUserMayNotReadIsAReadErrorWithTheReason)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to act as a second user";
    ::chmod(m_dir.c_str(), 0755);
    const std::string file = Path("private.m53");
    WriteFile(file, DataFileBytes(ClearedRecords()));
    ASSERT_EQ(::chmod(file.c_str(), 0600), 0);
    const RunResult r = Run({"export", file}, kOtherUserId);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "File read error  File Name = " + file + "\nPermission denied\n");
}

}  // namespace
}  // namespace mv53::test
