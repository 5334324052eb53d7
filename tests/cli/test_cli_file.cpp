// mv53 new / export / import, run as a process on files in a temporary folder.

#include "RecordsJson.h"
#include "TestRecords.h"

#include "model/MVmem.h"
#include "model/Text.h"
#include "model/U_E2prom.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#ifndef MV53_EXE
#error "MV53_EXE must name the mv53 executable"
#endif

namespace fs = std::filesystem;
using mv53::cli::FormatJson;
using mv53::cli::Json;
using mv53::cli::RecordsToJson;

namespace {

struct RunResult {
    int status = -1;
    std::string out;
    std::string err;
};

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

using mv53::test::ClearedRecords;

// What the program itself writes for records: a fresh image, then the encoding of a save.
std::string EncodedFile(const TMVmem& mem)
{
    const TText image = mv53::test::EncodedImage(mem, false);
    return {reinterpret_cast<const char*>(image.Data()), static_cast<size_t>(TText::Size())};
}

class CliFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "mv53-cli-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::string Path(const std::string& name) const { return (fs::path(m_dir) / name).string(); }

    // Runs mv53 with args (paths without quotes); standard output and error go to files.
    RunResult Run(const std::vector<std::string>& args)
    {
        std::string command = "'" MV53_EXE "'";
        for (const auto& a : args)
            command += " '" + a + "'";
        command += " >'" + Path(".stdout") + "' 2>'" + Path(".stderr") + "'";
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(Path(".stdout")), ReadFile(Path(".stderr"))};
    }

    std::string m_dir;
};

}  // namespace

TEST_F(CliFile, NewWritesTheClearedRecordsAndExportImportReproducesIt)
{
    RunResult r = Run({"new", Path("a.m53")});
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string bytes = ReadFile(Path("a.m53"));
    ASSERT_EQ(bytes.size(), 17927u);
    EXPECT_TRUE(bytes == EncodedFile(ClearedRecords()));

    const RunResult toStdout = Run({"export", Path("a.m53")});
    ASSERT_EQ(toStdout.status, 0) << toStdout.err;
    r = Run({"export", Path("a.m53"), "-o", Path("a.json")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.out.empty());
    EXPECT_EQ(ReadFile(Path("a.json")), toStdout.out);
    r = Run({"import", Path("a.json"), Path("b.m53")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(ReadFile(Path("b.m53")) == bytes);
}

TEST_F(CliFile, NonDefaultRecordsSurviveImportAndExport)
{
    // Random records (selcall ids of 0 to 4 digits among them), frequencies of few and of all
    // five decimals, and the two flags set that the decoder does not read.
    TMVmem sample;
    mv53::test::RandomRecords random(3);
    random.Fill(sample);
    for (const auto& [channel, freq] : {std::pair{0, 7.053}, std::pair{1, 29.99999}}) {
        sample.Channels().Items(channel).SetStatus(mv53::kChannelUsed);
        sample.Channels().Items(channel).RxFreq().FromFloat(freq);
    }
    sample.Sel().SetSelFlag(1);
    sample.Alignment().SetValues(51, 1);
    WriteFile(Path("in.json"), FormatJson(RecordsToJson(sample)));

    RunResult r = Run({"import", Path("in.json"), Path("a.m53")});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string a = ReadFile(Path("a.m53"));
    ASSERT_TRUE(a == EncodedFile(sample));
    // The flags that DecodeImage does not read are in the file, and export reports them.
    EXPECT_EQ(a[static_cast<size_t>(mv53::kSelFlagOffset)], 1);
    EXPECT_EQ(a[static_cast<size_t>(mv53::kLcdTestOffset)], 1);

    r = Run({"export", Path("a.m53"), "-o", Path("out.json")});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string exported = ReadFile(Path("out.json"));
    EXPECT_NE(exported.find("\"RxFreq\":7.053,"), std::string::npos);
    EXPECT_NE(exported.find("\"RxFreq\":29.99999,"), std::string::npos);
    EXPECT_EQ(Json::parse(exported), RecordsToJson(sample));

    r = Run({"import", Path("out.json"), Path("b.m53")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(ReadFile(Path("b.m53")) == a);
}

TEST_F(CliFile, ImportStartsFromANewDocument)
{
    WriteFile(Path("in.json"), R"({"Misc": {"VoxGain": 50}})");
    const RunResult r = Run({"import", Path("in.json"), Path("a.m53")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(ReadFile(Path("a.m53")) == EncodedFile(ClearedRecords([](TMVmem& m) { m.Misc().SetVoxGain(50); })));
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
    EXPECT_TRUE(ReadFile(Path("a.m53")) == EncodedFile(records));
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

    const RunResult missing = Run({"import", Path("none.json"), Path("new.m53")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("Cannot read the JSON file " + Path("none.json")), std::string::npos);
    EXPECT_FALSE(fs::exists(Path("new.m53")));
}

TEST_F(CliFile, ExportOfUnreadableFilesFails)
{
    WriteFile(Path("short.m53"), std::string(17926, '\0'));
    RunResult r = Run({"export", Path("short.m53"), "-o", Path("out.json")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "The file cannot be opened.\r\nThe file format is not correct.\n");
    EXPECT_FALSE(fs::exists(Path("out.json")));

    r = Run({"export", Path("missing.m53")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "File read error  File Name = " + Path("missing.m53") + "\n");
    EXPECT_TRUE(r.out.empty());
}

TEST_F(CliFile, BadUsagePrintsTheUsageLine)
{
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"new"}, "usage: mv53 new FILE\n"},
        {{"export"}, "usage: mv53 export FILE [-o OUT.json]\n"},
        {{"export", "a.m53", "-o"}, "usage: mv53 export FILE [-o OUT.json]\n"},
        {{"import", "in.json"}, "usage: mv53 import IN.json FILE\n"},
    };
    for (const auto& [args, usage] : cases) {
        const RunResult r = Run(args);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, usage);
    }
}
