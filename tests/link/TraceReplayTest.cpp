// Serial traces end to end: mv53 records its talk with the simulator, radiosim --replay plays
// the radio's side of the trace back, and the program meets the same radio again. Traces of
// failures kept under traces/ give the program's failure texts without the radio.

#include "RunProcess.h"
#include "SimRadio.h"

#include "platform/SerialTrace.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

using namespace mv53::test;
using mv53::platform::TraceEvent;
using mv53::platform::TraceKind;

namespace {

class TraceReplay : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.Ok()); }

    ProcessResult Mv53(const std::vector<std::string>& args, const std::vector<std::string>& env = {})
    {
        return RunProcess(MV53_CLI_PATH, args, {env, {}});
    }
    // radiosim --replay TRACE, once it has named its device.
    std::unique_ptr<Process> Replay(const std::string& trace, std::string& device)
    {
        auto process = std::make_unique<Process>(MV53_RADIOSIM_PATH, std::vector<std::string>{"--replay", trace});
        device = process->ReadLine();
        EXPECT_FALSE(device.empty()) << process->Finish(5000).err;
        return process;
    }
    std::vector<TraceEvent> Events(const std::string& trace)
    {
        std::vector<TraceEvent> events;
        std::string error;
        EXPECT_TRUE(mv53::platform::ReadSerialTrace(ReadFile(trace), events, error)) << error;
        return events;
    }

    ScratchDir dir;
};

TEST_F(TraceReplay, ARecordedUploadReplaysToTheSameFileAndAnotherExchangeIsNamedWhereItParts)
{
    TMVmem records = ClearedRecords([](TMVmem& mem) {
        mem.Channels().Items(6).SetStatus(mv53::kChannelUsed);
        mem.Channels().Items(6).SetTag("TRACE");
    });
    auto radio = StartedRadio(RadioMemory(records));
    const std::string trace = dir.Path("upload.trace");
    ProcessResult r = Mv53({"upload", "--port", radio->DevicePath(), "--trace", trace, dir.Path("live.m53")});
    ASSERT_EQ(r.status, 0) << r.err;
    radio.reset();
    const std::vector<TraceEvent> events = Events(trace);
    ASSERT_GE(events.size(), 4u);
    EXPECT_EQ(events[0].kind, TraceKind::Open);
    EXPECT_EQ(events[1].text, "9600 8N2");
    EXPECT_EQ(events.back().kind, TraceKind::Close);

    std::string device;
    auto replay = Replay(trace, device);
    r = Mv53({"upload", "--port", device, dir.Path("replayed.m53")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFile(dir.Path("replayed.m53")), ReadFile(dir.Path("live.m53")));
    ProcessResult played = replay->Finish(10000);
    EXPECT_EQ(played.status, 0) << played.err;

    // A download (without its backup read) identifies the radio as an upload does, then asks
    // to write: the replay names the trace's second question and what the program sent instead.
    replay = Replay(trace, device);
    Mv53({"download", "--no-backup", "--port", device, dir.Path("live.m53")});
    played = replay->Finish(10000);
    EXPECT_EQ(played.status, 1);
    const auto tx = std::ranges::find(std::ranges::find(events, TraceKind::Tx, &TraceEvent::kind) + 1, events.end(),
                                      TraceKind::Tx, &TraceEvent::kind);
    EXPECT_NE(played.err.find("radiosim: the program parted from the trace at line " + std::to_string(tx->line) +
                              ": the trace has tx 00 01 00 00 00 00 00 00 00 00 00 00 00 00 00 00 ..., the program "
                              "sent 00 02 00 C6"),
              std::string::npos)
        << played.err;
}

// MV53_TRACE records the whole download chain, one open and close for each transfer; the
// replay follows the program through the four sessions (backup read, user data, read-back,
// factory area).
TEST_F(TraceReplay, TheWholeRunIsRecordedAndReplayedAcrossReopenedPorts)
{
    auto radio = StartedRadio();
    const std::string file = dir.Write("in.m53", DataFileBytes(ClearedRecords()));
    const std::string trace = dir.Path("run.trace");
    ProcessResult r = Mv53({"download", "--port", radio->DevicePath(), file}, {"MV53_TRACE=" + trace});
    ASSERT_EQ(r.status, 0) << r.err;
    radio.reset();
    const std::vector<TraceEvent> events = Events(trace);
    EXPECT_EQ(std::ranges::count(events, TraceKind::Open, &TraceEvent::kind), 4);
    EXPECT_EQ(std::ranges::count(events, TraceKind::Close, &TraceEvent::kind), 4);

    std::string device;
    auto replay = Replay(trace, device);
    r = Mv53({"download", "--port", device, file});
    EXPECT_EQ(r.status, 0) << r.err;
    const ProcessResult played = replay->Finish(20000);
    EXPECT_EQ(played.status, 0) << played.err;

    // A trace file that cannot be written stops the command before the port is opened.
    radio = StartedRadio();
    r = Mv53({"upload", "--port", radio->DevicePath(), "--trace", dir.Path("none/x.trace"), dir.Path("x.m53")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot write the serial trace " + dir.Path("none/x.trace")), std::string::npos) << r.err;
    EXPECT_EQ(radio->BytesReceived(), 0u);
}

// Recorded failures, replayed: the program ends with the text it gives with the radio.
TEST_F(TraceReplay, RecordedFailuresGiveTheProgramsFailureTexts)
{
    const struct {
        const char* trace;
        const char* text;
    } rows[] = {
        {"silent-after-first-block.trace", "Upload error\nNo answer from the radio on "},
        {"wrong-checksum.trace", "Checksum error\nBlock 500 arrived with a wrong checksum.\n"},
        {"hangup-mid-transfer.trace", "disappeared during the transfer (block 504)."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.trace);
        std::string device;
        auto replay = Replay(std::string(MV53_TRACE_DIR) + "/" + row.trace, device);
        const ProcessResult r = Mv53({"upload", "--port", device, dir.Path("x.m53")});
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find(row.text), std::string::npos) << r.err;
        const ProcessResult played = replay->Finish(20000);
        EXPECT_EQ(played.status, 0) << played.err;
    }
}

}  // namespace
