// The serial port component over a pseudo-terminal; Upload and Download over it against the
// in-process radio simulator: the bytes on the wire (the simulator's frame log), the records and
// image left behind, the messages shown, and the port closed afterwards; failures at the steps
// the simulator does not reach easily; the clone window without a radio: Cancel, Escape and
// closing; and COM port discovery and the Configure dialog.

#include "link/CloneProtocol.h"
#include "link/ConfigComPort.h"
#include "link/Radio.h"
#include "link/U_ComRS.h"
#include "model/U_E2prom.h"
#include "platform/PortMap.h"
#include "RadioSimulator.h"
#include "RunProcess.h"
#include "TestPty.h"
#include "ReplyDevice.h"
#include "ScriptedPrompt.h"
#include "TestRecords.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <functional>
#include <filesystem>
#include <numeric>
#include <string>
#include <thread>
#include <vector>

// Designated initializers name only the faults that matter; GCC 12 would warn of the rest.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace sim = mv53::radiosim;
using mv53::TCloneTransfer;
using mv53::TTransferOutcome;
using namespace std::chrono_literals;

namespace {

using namespace sim::cmd;

// The radio's memory: a few channels in use, its own serial number, recognisable area bytes.
sim::Memory radioMemory(const std::vector<int>& channelsInUse, const std::string& serial = "6E000042")
{
    const TMVmem mem = mv53::test::ClearedRecords([&](TMVmem& m) {
        for (int i : channelsInUse) {
            m.Channels().Items(i).SetStatus(mv53::kChannelUsed);
            m.Channels().Items(i).SetTag("R" + std::to_string(i));
        }
        m.FactoryOpt().SetSerialNo(serial);
        m.Misc().SetBeep(0);
    });
    return mv53::test::EncodedImage(mem, true).Raw();
}

sim::Faults silentRadio() { return {.silent = true}; }
sim::Faults hangUpAfter(long long bytes) { return {.hangUpAfterBytes = bytes}; }

// One command frame of the log, for comparing: command and address.
struct Sent {
    sim::Command command;
    uint16_t address;
    bool operator==(const Sent&) const = default;
};

void PrintTo(const Sent& s, std::ostream* out) { *out << std::hex << '{' << s.command << ' ' << s.address << '}'; }

std::vector<Sent> sentFrames(const sim::RadioSimulator& radio)
{
    std::vector<Sent> out;
    for (const auto& f : radio.Frames()) {
        EXPECT_TRUE(f.checksumOk);
        out.push_back({f.command, f.address});
    }
    return out;
}

std::vector<Sent> blocksTo(uint16_t first, int count)
{
    std::vector<Sent> out;
    for (int k = 0; k < count; ++k)
        out.push_back({WriteBlock, static_cast<uint16_t>(first + 32 * k)});
    return out;
}

std::vector<Sent> operator+(std::vector<Sent> a, const std::vector<Sent>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

bool sameBlocks(const sim::Memory& radio, const TText& pc, int firstBlock, int count)
{
    const auto from = static_cast<size_t>(mv53::BlockOffset(firstBlock));
    return std::memcmp(radio.data() + from, pc.Data() + from, static_cast<size_t>(32 * count)) == 0;
}

class CloneTransfer : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(radio.Start()) << radio.LastError(); }
    void TearDown() override { radio.Stop(); }

    // One transfer as a fresh clone window would run it, over the simulator's device.
    bool run(TTransferKind kind, const std::function<void(TCloneTransfer&)>& prepare = {})
    {
        TCloneTransfer transfer(state);
        transfer.SetDevicePath(radio.DevicePath());
        QObject::connect(&transfer, &TCloneTransfer::ProgressChanged, [this](int p) { progress.push_back(p); });
        if (prepare)
            prepare(transfer);
        const bool ok = transfer.Run({.Kind = kind, .InChain = inChain});
        result = transfer.Result();
        portClosed = !transfer.CommX().IsOpen();
        return ok;
    }

    void expectMessage(const std::string& text)
    {
        ASSERT_EQ(prompt.texts(), std::vector<std::string>{text});
        if (text.find("error") != std::string::npos) {
            EXPECT_EQ(prompt.shown[0].icon, mv53::PromptIcon::Error);
            EXPECT_FALSE(prompt.shown[0].detail.empty());
        } else {
            EXPECT_EQ(prompt.shown[0].icon, mv53::PromptIcon::Information);
        }
    }

    // The records and image before a transfer that must not change them.
    void remember()
    {
        state.CurrentText[1000] = 0x5A;
        state.CurrentMem.SetFwVersion("----");
        textBefore.Assign(state.CurrentText);
        memBefore.Assign(state.CurrentMem);
    }
    void expectUnchanged()
    {
        EXPECT_TRUE(state.CurrentText.Equals(textBefore));
        EXPECT_EQ(state.CurrentMem.FwVersion(), "----");
        EXPECT_TRUE(state.CurrentMem.Channels().Equals(memBefore.Channels()));
        EXPECT_TRUE(state.CurrentMem.FactoryOpt().Equals(memBefore.FactoryOpt()));
    }

    mv53::test::ScriptedPrompt prompt;
    mv53::ScopedPrompt scoped{prompt};
    sim::RadioSimulator radio{radioMemory({0, 7, 499})};
    TProgramState state;
    mv53::TTransferResult result;
    std::vector<int> progress;
    bool inChain = false;   // the transfers run as steps of a chain (success is not announced)
    bool portClosed = false;
    TText textBefore;
    TMVmem memBefore;
};

// ---- Upload ----

// The radio sends the channels in use in any order, then the end block and the areas: the
// channels sent and blocks 500..559 become the radio's; the text id, the last byte and every
// channel not sent (channels 0 and 7 are in use in the radio) keep the fresh image's bytes.
TEST_F(CloneTransfer, UploadReplacesRecordsAndImageWithTheChannelFramesSentUntilTheEndBlock)
{
    const TText fresh;
    const std::pair<std::vector<mv53::BlockNo>, uint16_t> streams[] = {
        {{0, 7, 499}, 0x01F4}, {{499, 3}, 0x01F4}, {{499, 3}, 0xFFFF}, {{}, 0x01F4}};
    for (const auto& [order, endBlock] : streams) {
        SCOPED_TRACE(testing::Message() << order.size() << " channels, end " << endBlock);
        radio.SetBehaviour({.channelOrder = order, .endBlock = endBlock});
        radio.ClearLogs();
        prompt.shown.clear();
        const size_t acksBefore = radio.AcksReceived();
        ASSERT_TRUE(run(TTransferKind::Upload));
        expectMessage("Upload is completed");
        EXPECT_TRUE(portClosed);
        EXPECT_EQ(sentFrames(radio), (std::vector<Sent>{{Identify, 0x1000}, {ReadAll, 0}}));
        EXPECT_EQ(radio.AcksReceived() - acksBefore, order.size() + 1u + 60u);   // channels, end frame, areas
        const sim::Memory memory = radio.GetMemory();
        for (int ch = 0; ch < 500; ++ch) {
            const bool sent = std::find(order.begin(), order.end(), ch) != order.end();
            ASSERT_TRUE(sameBlocks(sent ? memory : fresh.Raw(), state.CurrentText, ch, 1)) << ch;
        }
        for (const int ch : {0, 7})   // in use in the radio: in the records only when sent
            EXPECT_EQ(state.CurrentMem.Channels().Items(ch).Tag() == "R" + std::to_string(ch), std::ranges::count(order, ch) == 1) << ch;
        EXPECT_TRUE(sameBlocks(memory, state.CurrentText, 500, 60));
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(state.CurrentText.Data()), 6), "kt468h");
        EXPECT_EQ(state.CurrentText[mv53::kImageSize - 1], fresh[mv53::kImageSize - 1]);
        EXPECT_EQ(state.CurrentMem.FwVersion(), "012a");
        EXPECT_EQ(result.fwVersion, "012a");
        EXPECT_EQ(state.CurrentMem.FactoryOpt().SerialNo(), "6E000042");
        EXPECT_EQ(progress.back(), 559);
    }
}

TEST_F(CloneTransfer, UploadInAChainIsSilentUntilItFails)
{
    inChain = true;
    ASSERT_TRUE(run(TTransferKind::Upload));
    EXPECT_TRUE(prompt.texts().empty());

    radio.SetFaults(silentRadio());
    EXPECT_FALSE(run(TTransferKind::Upload));
    expectMessage("Upload error");
}

struct UploadFailure {
    const char* name;
    sim::Faults faults;
    sim::Behaviour behaviour;
    const char* message;
    const char* detailPart;
    int identifyFrames;   // Identify frames sent (three attempts when the radio is not found)
};

class UploadFailures : public CloneTransfer, public ::testing::WithParamInterface<UploadFailure> {};

TEST_P(UploadFailures, LeaveRecordsAndImageUntouched)
{
    const UploadFailure& c = GetParam();
    radio.SetFaults(c.faults);
    radio.SetBehaviour(c.behaviour);
    remember();
    inChain = true;
    EXPECT_FALSE(run(TTransferKind::Upload));
    expectMessage(c.message);
    EXPECT_NE(prompt.shown[0].detail.find(c.detailPart), std::string::npos)
        << prompt.shown[0].detail << " radio hung up: " << radio.HungUp() << " sent " << radio.BytesSent();
    EXPECT_TRUE(portClosed);
    expectUnchanged();
    int identify = 0;
    for (const auto& f : sentFrames(radio))
        identify += f.command == Identify;
    EXPECT_EQ(identify, c.identifyFrames);
}

INSTANTIATE_TEST_SUITE_P(
    Table, UploadFailures,
    ::testing::Values(
        UploadFailure{"NoAnswer", silentRadio(), {}, "Upload error", "No answer from the radio", 3},
        UploadFailure{"WrongTextId", {}, {.textId = "kt999x"}, "Upload error", "not a KT-4680 radio (it answered \"kt999x\")", 3},
        UploadFailure{"TwoChannelFramesBeforeTheAck", {.twoFramesAt = 0}, {}, "Upload error", "more data", 1},
        UploadFailure{"TwoAreaFramesBeforeTheAck", {.twoFramesAt = 4 + 10}, {}, "Upload error", "more data", 1},
        UploadFailure{"ChannelFrameChecksum", {.badChecksumFrame = 1}, {}, "Checksum error", "checksum", 1},
        UploadFailure{"AreaFrameChecksum", {.badChecksumFrame = 4 + 59}, {}, "Checksum error", "Block 559", 1},
        UploadFailure{"HangUpInTheChannelPart", hangUpAfter(16 + 35 * 2 + 10), {}, "Upload error", "disappeared", 1},
        UploadFailure{"HangUpInTheAreaPart", hangUpAfter(16 + 35 * 4 + 33 * 20), {}, "Upload error", "disappeared", 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CloneTransfer, PortThatCannotBeOpenedGivesTheReason)
{
    remember();
    {
        // Another program holds the port.
        TCommX other;
        other.SetDevicePath(radio.DevicePath());
        other.Open();
        EXPECT_FALSE(run(TTransferKind::Upload));
        other.Close();
    }
    expectMessage("Upload error");
    EXPECT_NE(prompt.shown[0].detail.find("in use by another program"), std::string::npos) << prompt.shown[0].detail;
    EXPECT_TRUE(radio.Frames().empty());
    expectUnchanged();
}

TEST_F(CloneTransfer, ComPortNumberChoosesTheBoundDevice)
{
    mv53::platform::PortMap::ClearBindings();
    mv53::platform::PortMap::Bind(5, radio.DevicePath());
    mv53::platform::PortMap::Bind(1, radio.DevicePath());
    for (const int comPortNo : {4, 300, -1}) {   // COM5; out of range: COM1
        state.ComPortNo = comPortNo;
        TCloneTransfer transfer(state);
        EXPECT_TRUE(transfer.Run({.Kind = TTransferKind::ReadSerial})) << comPortNo;
        EXPECT_EQ(transfer.CommX().PortNo(), comPortNo == 4 ? 5 : 1);
    }
    mv53::platform::PortMap::ClearBindings();
}

// ---- Download ----

TEST_F(CloneTransfer, UserDataSendsTheChannelsInUseAndEncodesTheRecordsFirst)
{
    ClearRecords(state.CurrentMem);
    state.CurrentMem.Misc().SetBeep(0);
    for (int i : {2, 10, 499}) {
        state.CurrentMem.Channels().Items(i).SetStatus(mv53::kChannelUsed);
        state.CurrentMem.Channels().Items(i).SetTag("PC" + std::to_string(i));
    }
    ASSERT_TRUE(run(TTransferKind::UserData));
    expectMessage("Download is completed");
    EXPECT_TRUE(portClosed);
    const auto expected = std::vector<Sent>{{Identify, 0x1000}, {WriteBegin, 0x00C6}, {WriteBlock, 0xC040},
                                            {WriteBlock, 0xC140}, {WriteBlock, 0xC000 + 32 * 499}} +
                          blocksTo(0xFE80, 12) + blocksTo(0x0400, 16) + blocksTo(0x0800, 16) +
                          std::vector<Sent>{{WriteEnd, 0x0002}};
    EXPECT_EQ(sentFrames(radio), expected);
    const sim::Memory memory = radio.GetMemory();
    for (int b : {2, 10, 499})
        EXPECT_TRUE(sameBlocks(memory, state.CurrentText, b, 1)) << b;
    EXPECT_TRUE(sameBlocks(memory, state.CurrentText, 500, 44));
    // The block bytes on the wire are the encoded records.
    EXPECT_EQ(std::memcmp(radio.Frames()[3].data.data(), state.CurrentText.Block(10), 32), 0);
    EXPECT_EQ(progress.back(), 543);
}

// A refusal or a vanished radio ends the download with its reason, also in a chain where success
// is silent. The radio stores the data after WriteEnd: a device gone before the port closes may
// not have, whatever was acknowledged before.
struct DownloadFailure {
    const char* name;
    TTransferKind kind;
    sim::Faults faults;
    bool chain;
    const char* detailPart;
    std::vector<Sent> frames;   // all that was sent; empty: up to WriteEnd or the hang-up
};

class DownloadFailures : public CloneTransfer, public ::testing::WithParamInterface<DownloadFailure> {};

TEST_P(DownloadFailures, EndWithTheReason)
{
    const DownloadFailure& c = GetParam();
    radio.SetFaults(c.faults);
    inChain = c.chain;
    EXPECT_FALSE(run(c.kind));
    expectMessage("Download error");
    EXPECT_NE(prompt.shown[0].detail.find(c.detailPart), std::string::npos) << prompt.shown[0].detail;
    EXPECT_EQ(result.outcome, TTransferOutcome::Error);
    EXPECT_TRUE(portClosed);
    const bool vanishAtEnd = c.faults.hangUpOnCommand == WriteEnd;
    EXPECT_EQ(radio.HungUp(), c.frames.empty());
    if (!c.frames.empty()) {
        EXPECT_EQ(sentFrames(radio), c.frames);
    } else {
        ASSERT_FALSE(radio.Frames().empty());
        EXPECT_EQ(radio.Frames().back().command == WriteEnd, vanishAtEnd);
    }
}

const std::vector<Sent> kFactoryStart{{Identify, 0x1000}, {ReadSerial, 0}, {WriteBegin, 0x0008}};

INSTANTIATE_TEST_SUITE_P(
    Table, DownloadFailures,
    ::testing::Values(
        DownloadFailure{"RefusedWriteBegin", TTransferKind::UserData, {.refuseWriteBegin = true}, false, "refused",
                        {{Identify, 0x1000}, {WriteBegin, 0x00C6}}},
        DownloadFailure{"RefusedBlock", TTransferKind::Factory, {.refuseWriteBlock = 5}, true, "0x0CA0", kFactoryStart + blocksTo(0x0C00, 6)},
        // the identify reply, WriteBegin and 2 block acknowledges
        DownloadFailure{"HangUpInTheBlocks", TTransferKind::AntTuner, hangUpAfter(16 + 1 + 3), false, "disappeared", {}},
        DownloadFailure{"VanishedAfterUserData", TTransferKind::UserData, {.hangUpOnCommand = WriteEnd}, false, "disappeared after the end of the write", {}},
        DownloadFailure{"VanishedAfterUserDataInAChain", TTransferKind::UserData, {.hangUpOnCommand = WriteEnd}, true, "disappeared after the end", {}},
        DownloadFailure{"VanishedAfterFactory", TTransferKind::Factory, {.hangUpOnCommand = WriteEnd}, false, "disappeared after the end", {}},
        DownloadFailure{"VanishedAfterFactoryInAChain", TTransferKind::Factory, {.hangUpOnCommand = WriteEnd}, true, "disappeared after the end", {}},
        DownloadFailure{"VanishedAfterTuner", TTransferKind::AntTuner, {.hangUpOnCommand = WriteEnd}, false, "disappeared after the end", {}},
        DownloadFailure{"VanishedAfterTunerInAChain", TTransferKind::AntTuner, {.hangUpOnCommand = WriteEnd}, true, "disappeared after the end", {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CloneTransfer, ReplyBegunJustBeforeTheSecondOfSilenceEndsIsTaken)
{
    // At the line rate a channel frame takes about 40 ms: begun 970 ms after the PC's
    // acknowledge, it is still arriving when the second of silence since that acknowledge is
    // over, and only the end of it reaches the PC in one notice.
    radio.SetPacing(true);
    const sim::Faults f{.lateAnswer = 2, .lateBy = 970ms};   // identify reply, first channel frame, then this one
    constexpr int kAttempts = 3;
    for (int attempt = 1;; ++attempt) {
        radio.SetFaults(f);
        prompt.shown.clear();
        const bool ok = run(TTransferKind::Upload);
        const auto gap = radio.LateAnswerGap();
        ASSERT_TRUE(gap.has_value());
        // A loaded machine can hold the simulator or the program up by tens of milliseconds: a
        // fault fails every attempt, and a simulator late past the second itself tried nothing.
        if (!ok && attempt < kAttempts)
            continue;
        if (!ok && *gap >= 990ms)
            GTEST_SKIP() << "the simulator answered only after " << gap->count() / 1000000 << " ms";
        EXPECT_TRUE(ok) << result.detail << " (answer began after " << gap->count() / 1000000 << " ms)";
        expectMessage("Upload is completed");
        EXPECT_EQ(state.CurrentMem.Channels().Items(7).Tag(), "R7");
        break;
    }
}

// The factory area is written with the radio's own serial number, read first; in serial mode
// with the records' one, and the radio's is not asked for.
TEST_F(CloneTransfer, FactoryAreaKeepsTheRadiosOwnSerialNumberButInSerialMode)
{
    for (const bool serialMode : {false, true}) {
        SCOPED_TRACE(serialMode);
        radio.ClearLogs();
        prompt.shown.clear();
        state.SerialMode = serialMode;
        state.CurrentMem.FactoryOpt().SetSerialNo(serialMode ? "7C120003" : "00000000");
        state.CurrentMem.FactoryOpt().SetCwPitch(3);
        ASSERT_TRUE(run(TTransferKind::Factory));
        expectMessage("Download is completed");
        const auto readSerial = serialMode ? std::vector<Sent>{} : std::vector<Sent>{{ReadSerial, 0}};
        EXPECT_EQ(sentFrames(radio), (std::vector<Sent>{{Identify, 0x1000}} + readSerial + std::vector<Sent>{{WriteBegin, 0x0008}} +
                                      blocksTo(0x0C00, 16) + std::vector<Sent>{{WriteEnd, 0x0001}}));
        const std::string serial = serialMode ? "7C120003" : "6E000042";
        EXPECT_EQ(state.CurrentMem.FactoryOpt().SerialNo(), serial);
        EXPECT_EQ(result.readSerialNo, serialMode ? "" : serial);
        TText written;
        written.Raw() = radio.GetMemory();
        EXPECT_TRUE(sameBlocks(written.Raw(), state.CurrentText, 544, 16));
        EXPECT_EQ(GetSerial(written, BytesField(mv53::kSerialOffset, 8)), serial);
    }
}

TEST_F(CloneTransfer, MissingSerialReplyIsNoError)
{
    // The radio answers Identify, ignores ReadSerial, and answers again from WriteBegin on.
    ClearRecords(state.CurrentMem);
    std::thread unmute;
    ASSERT_TRUE(run(TTransferKind::Factory, [&](TCloneTransfer& transfer) {
        QObject::connect(&transfer.CommX(), &TCustomCommX::OnReceive, [&] {
            if (!radio.GetFaults().silent && radio.Frames().size() == 1) {
                radio.SetFaults(silentRadio());
                unmute = std::thread([&] {
                    radio.WaitForFrames(2, 5s);
                    radio.SetFaults({});
                });
            }
        });
    }));
    unmute.join();
    expectMessage("Download is completed");
    EXPECT_EQ(state.CurrentMem.FactoryOpt().SerialNo(), "00000000");
    EXPECT_TRUE(result.readSerialNo.empty());
    EXPECT_EQ(sentFrames(radio).size(), 3u + 16u + 1u);
}

TEST_F(CloneTransfer, AntennaTunerSendsBothTablesSilentlyInAChain)
{
    inChain = true;
    ASSERT_TRUE(run(TTransferKind::AntTuner));
    EXPECT_TRUE(prompt.texts().empty());
    EXPECT_EQ(sentFrames(radio), (std::vector<Sent>{{Identify, 0x1000}, {WriteBegin, 0x0006}} +
                                  blocksTo(0x0400, 16) + blocksTo(0x0800, 16) + std::vector<Sent>{{WriteEnd, 0x0001}}));
    EXPECT_EQ(progress.back(), 31);
}

// ---- Through the clone window ----

TEST_F(CloneTransfer, SerialNumberReadThroughTheWindow)
{
    mv53::platform::PortMap::ClearBindings();
    mv53::platform::PortMap::Bind(3, radio.DevicePath());
    state.ComPortNo = 2;
    state.CurrentMem.FactoryOpt().SetSerialNo("11111111");
    std::string serial = "stale";
    const TTransferRequest read{.Kind = TTransferKind::ReadSerial, .AutoStart = true, .InChain = true};
    EXPECT_TRUE(RunCloneWindow(state, read, nullptr, &serial));
    EXPECT_EQ(serial, "6E000042");
    EXPECT_EQ(state.CurrentMem.FactoryOpt().SerialNo(), "11111111");
    EXPECT_EQ(sentFrames(radio), (std::vector<Sent>{{Identify, 0x1000}, {ReadSerial, 0}}));
    EXPECT_TRUE(prompt.texts().empty());
    mv53::platform::PortMap::ClearBindings();
}

// ---- The serial port component ----

// Over a pseudo-terminal whose master plays the far end: bytes both ways, chunking, line
// settings, reopening, waits that keep events flowing, and a far end that goes away in the
// middle.
using mv53::test::TestPattern;
using mv53::test::TestPty;

// Event waits: the limit only keeps a broken build from hanging.
constexpr int kWaitLimitMs = 20000;

// Records the chunks that Write hands to the transmit thread.
class ChunkRecorder final : public TCustomCommX {
public:
    std::vector<int> chunks;

protected:
    void ChunkHandedOver(int size) override { chunks.push_back(size); }
};

// Collects what OnReceive announces, read the way the clone window reads it.
struct Collector {
    std::vector<uint8_t> bytes;
    std::vector<int> sizes;

    void Attach(TCustomCommX& comm)
    {
        QObject::connect(&comm, &TCustomCommX::OnReceive, &comm,
                         [this](TCustomCommX* sender, int size) {
                             sizes.push_back(size);
                             std::vector<uint8_t> buffer(static_cast<std::size_t>(size) + 1);
                             const int n = sender->Read(buffer.data(), size);
                             if (n > 0)
                                 bytes.insert(bytes.end(), buffer.begin(), buffer.begin() + n);
                         });
    }
};

std::string ThrownMessage(const std::function<void()>& action, std::string* detail = nullptr)
{
    try {
        action();
    } catch (const ECommError& e) {
        if (detail)
            *detail = e.Detail();
        return e.what();
    }
    return {};
}

class CommXTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_pty.Ok()); }
    void OpenOnPty(TCustomCommX& comm)
    {
        comm.SetDevicePath(m_pty.Path());
        comm.Open();
    }
    TestPty m_pty;
};

TEST(CommX, ClosedPortRefusesQuietly)
{
    // Rates below 10 bit/s must not divide by zero.
    EXPECT_GT(TCustomCommX::CharTimeMs(0), 0);
    EXPECT_GT(TCustomCommX::CharTimeMs(5), 0);
    TCommX comm;
    uint8_t buffer[4] = {1, 2, 3, 4};
    EXPECT_TRUE(comm.Write(buffer, 0));
    EXPECT_FALSE(comm.Write(buffer, 4));
    EXPECT_FALSE(comm.WriteChar(0x55));
    EXPECT_EQ(comm.Read(buffer, 4), -1);
    comm.Close();
    // Assigning a setting while closed does not open the port.
    comm.SetPortNo(4);
    EXPECT_FALSE(comm.IsOpen());
}

TEST_F(CommXTest, OpenFailuresRaise)
{
    TCommX comm;
    comm.SetDevicePath("/dev/mv53-no-such-port");
    std::string detail;
    EXPECT_EQ(ThrownMessage([&] { comm.Open(); }, &detail), kCommOpenError);
    EXPECT_NE(detail.find("/dev/mv53-no-such-port"), std::string::npos);
    EXPECT_NE(detail.find("no such port"), std::string::npos) << detail;
    EXPECT_FALSE(comm.IsOpen());

    OpenOnPty(comm);
    EXPECT_TRUE(comm.IsOpen());
    EXPECT_GE(comm.Handle(), 0);
    EXPECT_EQ(ThrownMessage([&] { comm.Open(); }), kCommAlreadyOpen);
    EXPECT_TRUE(comm.IsOpen());

    // A second component cannot take the same port.
    TCommX other;
    other.SetDevicePath(m_pty.Path());
    EXPECT_EQ(ThrownMessage([&] { other.Open(); }, &detail), kCommOpenError);
    EXPECT_NE(detail.find("in use"), std::string::npos) << detail;

    // A refused setting during Open closes the port again.
    comm.Close();
    comm.SetBitRate(12345);
    EXPECT_EQ(ThrownMessage([&] { comm.Open(); }), kCommBitRateError);
    EXPECT_FALSE(comm.IsOpen());
    comm.SetBitRate(9600);
    comm.Open();
    EXPECT_TRUE(comm.IsOpen());
}

TEST_F(CommXTest, LineSettingsReachTheLine)
{
    TCommX comm;
    comm.SetBitRate(19200);
    comm.SetStopBit(csb2);
    OpenOnPty(comm);
    termios master = m_pty.MasterSettings();
    EXPECT_EQ(cfgetospeed(&master), B19200);
    EXPECT_TRUE(master.c_cflag & CSTOPB);
    // The default RTS/CTS flow control is not in force after Open ...
    EXPECT_FALSE(m_pty.SlaveSettings().c_cflag & CRTSCTS);
    // ... until FlowCtrl is assigned on the open port.
    comm.SetFlowCtrl(cfcRtsCts);
    EXPECT_TRUE(m_pty.SlaveSettings().c_cflag & CRTSCTS);
    comm.SetFlowCtrl(cfcXonXoff);
    termios slave = m_pty.SlaveSettings();
    EXPECT_FALSE(slave.c_cflag & CRTSCTS);
    EXPECT_TRUE(slave.c_iflag & IXON);
    EXPECT_TRUE(slave.c_iflag & IXOFF);
    comm.SetXonChar(0x01);
    EXPECT_EQ(m_pty.SlaveSettings().c_cc[VSTART], 0x01);
    comm.SetFlowCtrl(cfcNone);

    comm.SetBitRate(1200);
    comm.SetStopBit(csb1);
    master = m_pty.MasterSettings();
    EXPECT_EQ(cfgetospeed(&master), B1200);
    EXPECT_FALSE(master.c_cflag & CSTOPB);

    // A refused value raises, stays stored, and leaves the port open.
    EXPECT_EQ(ThrownMessage([&] { comm.SetBitRate(12345); }), kCommBitRateError);
    EXPECT_EQ(comm.BitRate(), 12345);
    EXPECT_TRUE(comm.IsOpen());
    EXPECT_EQ(ThrownMessage([&] { comm.SetCharSize(9); }), kCommCharSizeError);
}

// Close from inside a handler does not deadlock; Close while a notice waits to be handled does
// not wait for it and drops it.
TEST_F(CommXTest, CloseFromAHandlerOrWhileANoticeWaits)
{
    for (const bool inHandler : {true, false}) {
        SCOPED_TRACE(inHandler ? "in the handler" : "while the notice waits");
        TCommX comm;
        int calls = 0;
        QObject::connect(&comm, &TCustomCommX::OnReceive, &comm, [&](TCustomCommX* sender, int) {
            ++calls;
            if (inHandler)
                sender->Close();
        });
        OpenOnPty(comm);
        ASSERT_TRUE(m_pty.WriteAll({0x42}));
        if (inHandler) {
            ASSERT_TRUE(QTest::qWaitFor([&] { return !comm.IsOpen(); }, kWaitLimitMs));
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));   // the receive thread now waits
            comm.Close();
            QTest::qWait(50);
        }
        EXPECT_EQ(calls, inHandler ? 1 : 0);
    }
}

TEST_F(CommXTest, CloseDuringAWaitEndsTheWait)
{
    TCommX comm;
    comm.SetTimeOutReceive(10000);
    OpenOnPty(comm);
    QTimer::singleShot(20, &comm, [&] { comm.Close(); });
    uint8_t buffer[10];
    EXPECT_EQ(comm.Read(buffer, 10), -1);

    // The far end does not read: Write waits with a full queue until Close ends it.
    comm.Open();
    const auto out = TestPattern(1 << 20);
    QTimer::singleShot(200, &comm, [&] { comm.Close(); });
    EXPECT_FALSE(comm.Write(out.data(), static_cast<int>(out.size())));
    EXPECT_FALSE(comm.IsOpen());
}

TEST_F(CommXTest, FarEndGoingAwayEndsWithOneHangUp)
{
    TCommX comm;
    int hangUps = 0;
    QObject::connect(&comm, &TCustomCommX::OnHangUp, &comm, [&](TCustomCommX*) { ++hangUps; });
    comm.SetTimeOutTrans(0); // writes wait without limit
    OpenOnPty(comm);
    // More than the far end takes without reading, so the transmit thread waits for room.
    const auto out = TestPattern(60000);
    ASSERT_TRUE(comm.Write(out.data(), static_cast<int>(out.size())));

    m_pty.CloseMaster();
    ASSERT_TRUE(QTest::qWaitFor([&] { return hangUps > 0; }, kWaitLimitMs));
    EXPECT_TRUE(comm.HungUp());
    EXPECT_FALSE(comm.Write(out.data(), 10));
    uint8_t buffer[4];
    EXPECT_EQ(comm.Read(buffer, 4), -1);
    comm.Close();
    EXPECT_FALSE(comm.IsOpen());
    QTest::qWait(50);
    EXPECT_EQ(hangUps, 1);
}

TEST_F(CommXTest, WriteGivesUpOnALineThatTakesNothing)
{
    ChunkRecorder comm;
    comm.SetTimeOutTrans(200);
    OpenOnPty(comm);
    // The far end never reads: after the queue fills, the line takes no byte any more.
    const auto out = TestPattern(1 << 20);
    EXPECT_FALSE(comm.Write(out.data(), static_cast<int>(out.size())));
    const int handed = std::accumulate(comm.chunks.begin(), comm.chunks.end(), 0);
    EXPECT_LT(handed, static_cast<int>(out.size()));
    // Close completes although the queued bytes can never be sent.
    comm.Close();
    EXPECT_FALSE(comm.IsOpen());
}

// The far end of an echoed transfer: takes bytes one at a time and answers each, until it has
// answered `answers` bytes; the answer to byte `wrongAt` is altered. Returns what it took.
std::vector<uint8_t> EchoBytes(const TestPty& pty, std::size_t answers, std::size_t wrongAt = SIZE_MAX)
{
    std::vector<uint8_t> taken;
    while (taken.size() < answers) {
        const auto b = pty.ReadBytes(1);
        if (b.size() != 1)
            break;
        taken.push_back(b[0]);
        const uint8_t answer = taken.size() - 1 == wrongAt ? static_cast<uint8_t>(b[0] ^ 0x5A) : b[0];
        pty.WriteAll({answer});
    }
    return taken;
}

TEST_F(CommXTest, EchoedSendingSendsAByteOnlyAfterTheLastCameBack)
{
    TCommX comm;
    Collector in;
    in.Attach(comm);
    int ends = 0;
    QObject::connect(&comm, &TCustomCommX::OnEchoEnd, &comm, [&](TCustomCommX*) { ++ends; });
    OpenOnPty(comm);
    const auto out = TestPattern(300);
    const auto run = [&](std::size_t answers, std::size_t wrongAt, int silenceMs) {
        ends = 0;
        std::vector<uint8_t> taken;
        std::thread farEnd([&] { taken = EchoBytes(m_pty, answers, wrongAt); });
        EXPECT_TRUE(comm.StartEchoed(out, silenceMs));
        EXPECT_FALSE(comm.StartEchoed(out, silenceMs));   // one at a time
        EXPECT_TRUE(QTest::qWaitFor([&] { return ends > 0; }, kWaitLimitMs));
        farEnd.join();
        return taken;
    };

    // Every echo right; what comes after the last is reported as received bytes.
    auto taken = run(out.size(), SIZE_MAX, 1000);
    EXPECT_EQ(taken, out);
    EXPECT_EQ(comm.EchoResult().end, TEchoEnd::Echoed);
    EXPECT_EQ(comm.EchoResult().echoed, static_cast<int>(out.size()));
    EXPECT_EQ(comm.EchoedCount(), static_cast<int>(out.size()));
    EXPECT_TRUE(in.bytes.empty());
    ASSERT_TRUE(m_pty.WriteAll({0xAA}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !in.bytes.empty(); }, kWaitLimitMs));
    EXPECT_EQ(in.bytes, std::vector<uint8_t>{0xAA});

    // A wrong echo of byte 100: nothing after it is sent.
    taken = run(101, 100, 1000);
    EXPECT_EQ(taken, std::vector<uint8_t>(out.begin(), out.begin() + 101));
    EXPECT_EQ(comm.EchoResult().end, TEchoEnd::WrongEcho);
    EXPECT_EQ(comm.EchoResult().echoed, 100);
    EXPECT_EQ(comm.EchoResult().wrongByte, out[100] ^ 0x5A);
    EXPECT_TRUE(m_pty.ReadBytes(1, 300).empty());

    // No echo at all: silence ends it after one byte.
    const auto started = std::chrono::steady_clock::now();
    taken = run(0, SIZE_MAX, 200);
    EXPECT_EQ(comm.EchoResult().end, TEchoEnd::Silence);
    EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(200));
    EXPECT_EQ(m_pty.ReadBytes(2, 300), std::vector<uint8_t>{out[0]});

    // Stopped while it waits for an echo: no further byte.
    ends = 0;
    ASSERT_TRUE(comm.StartEchoed(out, 10000));
    EXPECT_EQ(m_pty.ReadBytes(1), std::vector<uint8_t>{out[0]});
    comm.StopEchoed();
    EXPECT_TRUE(QTest::qWaitFor([&] { return ends > 0; }, 2000));
    EXPECT_EQ(comm.EchoResult().end, TEchoEnd::Stopped);
    EXPECT_TRUE(m_pty.ReadBytes(1, 300).empty());
    EXPECT_EQ(ends, 1);

    // The far end goes away in the middle.
    int hangUps = 0;
    QObject::connect(&comm, &TCustomCommX::OnHangUp, &comm, [&](TCustomCommX*) { ++hangUps; });
    ends = 0;
    ASSERT_TRUE(comm.StartEchoed(out, 10000));
    EXPECT_EQ(EchoBytes(m_pty, 5).size(), 5u);
    EXPECT_EQ(m_pty.ReadBytes(1), std::vector<uint8_t>{out[5]});   // the fifth echo was taken
    m_pty.CloseMaster();
    EXPECT_TRUE(QTest::qWaitFor([&] { return ends > 0 && hangUps > 0; }, 5000));
    EXPECT_EQ(comm.EchoResult().end, TEchoEnd::HungUp);
    EXPECT_EQ(comm.EchoResult().echoed, 5);
    EXPECT_FALSE(comm.StartEchoed(out, 1000));
}

// ---- Failures at the steps the simulator does not reach easily ----

// Against a device in memory that plays the radio's replies: each names its cause and leaves the
// records as they were.
namespace faults {

using namespace mv53;
using mv53::fuzz::Bytes;
using mv53::fuzz::ReplyScript;

Bytes Identify()
{
    Bytes reply{0x01, 0x2A, 'k', 't', '4', '6', '8', 'h'};
    reply.resize(clone::kIdentifyReplySize);
    return reply;
}

Bytes ChannelFrame(int block, std::size_t extra = 0)
{
    Bytes frame{static_cast<uint8_t>(block >> 8), static_cast<uint8_t>(block)};
    frame.resize(clone::kChannelFrameSize - 1);
    frame.push_back(clone::Checksum(frame.data(), frame.size()));
    frame.resize(frame.size() + extra);
    return frame;
}

const Bytes kYes{clone::kAck};
const Bytes kSilence{};

struct Case {
    const char* name;
    TTransferKind kind;
    std::deque<Bytes> replies;
    std::string detail;
    std::size_t questionsTaken = SIZE_MAX;
    int settingsError = 0;
};

TEST(CloneFaults, EachFailureNamesItsCauseAndLeavesTheRecords)
{
    const std::string noAnswer = "): check that the radio is switched on and the cable is plugged in.";
    const Case cases[] = {
        {"vanished during identification", TTransferKind::Upload, {},
         "The device mem disappeared during the transfer (identification)."},
        {"vanished while the serial number is read", TTransferKind::Factory, {Identify()},
         "The device mem disappeared during the transfer (serial number)."},
        {"vanished during the user data channels", TTransferKind::UserData, {Identify(), kYes},
         "The device mem disappeared during the transfer (channel 1 (address 0xC000))."},
        {"vanished during the factory blocks", TTransferKind::Factory, {Identify(), Bytes(8, '7'), kYes},
         "The device mem disappeared during the transfer (the block at address 0x0C00)."},
        {"refused after the serial number was read", TTransferKind::Factory, {Identify(), Bytes(8, '7'), {clone::kNak}},
         "The radio refused the start of the write (WriteBegin 0x0008)."},
        {"answer other than accept or refuse", TTransferKind::AntTuner, {Identify(), {0x41}},
         "The radio answered the start of the write (WriteBegin 0x0006) with 0x0041 instead of accepting it."},
        {"a stray byte after a channel frame", TTransferKind::Upload, {Identify(), ChannelFrame(7, 1)},
         "The radio sent more data than one channel frame (36 bytes)."},
        {"silent after a channel frame", TTransferKind::Upload, {Identify(), ChannelFrame(7), kSilence},
         "No answer from the radio on mem (channel data" + noAnswer},
        {"silent before a block's acknowledge", TTransferKind::AntTuner, {Identify(), kYes, kYes, kSilence},
         "No answer from the radio on mem (the block at address 0x0420" + noAnswer},
        {"a line that takes no more bytes", TTransferKind::AntTuner, {Identify(), kYes},
         "The port mem no longer accepts data.", 2},
        {"a line setting refused at the opening", TTransferKind::Upload, {},
         "Cannot open mem: mem: Invalid argument", SIZE_MAX, EINVAL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TProgramState state;
        ClearRecords(state.CurrentMem);
        state.CurrentMem.Channels().Items(0).SetStatus(kChannelUsed);
        state.CurrentMem.FactoryOpt().SetSerialNo("6E000042");
        EncodeImage(state.CurrentText, state.CurrentMem, true);
        const TText image = state.CurrentText;
        auto script = std::make_shared<ReplyScript>(ReplyScript{c.replies, {}, c.settingsError, c.questionsTaken});
        test::ScriptedPrompt prompt;
        ScopedPrompt scoped(prompt);
        TCloneTransfer transfer(state);
        fuzz::UseReplyDevice(transfer, script, 300);
        transfer.CommX().SetTimeOutTrans(200);
        TTransferRequest request;
        request.Kind = c.kind;

        EXPECT_FALSE(transfer.Run(request));
        EXPECT_EQ(transfer.Result().detail, c.detail);
        ASSERT_EQ(prompt.shown.size(), 1u);
        EXPECT_EQ(prompt.shown[0].icon, PromptIcon::Error);
        EXPECT_EQ(state.CurrentMem.FactoryOpt().SerialNo(), "6E000042");
        EXPECT_TRUE(state.CurrentText.Equals(image));
    }
}

}  // namespace faults

// ---- The clone window without a radio ----

TEST(RadioWindow, CancelBeforeTheTransferEndsWithoutTouchingAnything)
{
    mv53::test::ScriptedPrompt prompt;
    mv53::ScopedPrompt scoped(prompt);
    TProgramState state;
    state.ComPortNo = 300;   // would fall back to COM1 if anything were opened
    state.CurrentText[100] = 0x42;
    // Cancel clicked, or Escape, which acts as Cancel while Cancel can be clicked.
    for (const bool escape : {false, true}) {
        QTimer::singleShot(0, [escape] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* frm = qobject_cast<TfrmRadio*>(w); frm && frm->isVisible())
                    escape ? QTest::keyClick(frm, Qt::Key_Escape) : frm->btnCancel->click();
        });
        EXPECT_FALSE(RunCloneWindow(state, {.Kind = escape ? TTransferKind::UserData : TTransferKind::Upload}, nullptr));
        EXPECT_TRUE(prompt.texts().empty());
        EXPECT_EQ(state.CurrentText[100], 0x42);
    }
}

TEST(RadioWindow, CannotBeClosedUntilDone)
{
    TProgramState state;
    TfrmRadio frm(state, {.Kind = TTransferKind::UserData});
    frm.show();
    QCloseEvent refused;
    QApplication::sendEvent(&frm, &refused);
    EXPECT_FALSE(refused.isAccepted());
    EXPECT_FALSE(frm.Done());
    frm.btnCancel->click();
    EXPECT_TRUE(frm.Done());
    QCloseEvent allowed;
    QApplication::sendEvent(&frm, &allowed);
    EXPECT_TRUE(allowed.isAccepted());
}

TEST(RadioWindow, AutoStartHidesOkAndCancel)
{
    TProgramState state;
    TfrmRadio frm(state, {.Kind = TTransferKind::Factory, .AutoStart = true});
    frm.show();
    EXPECT_FALSE(frm.btnOk->isVisible());
    EXPECT_FALSE(frm.btnCancel->isVisible());
    EXPECT_TRUE(frm.btnHelp->isVisible());
    EXPECT_TRUE(frm.Timer1.isActive());
    // Escape cannot stop a transfer that starts by itself.
    QTest::keyClick(&frm, Qt::Key_Escape);
    EXPECT_TRUE(frm.isVisible());
    frm.Timer1.stop();
}

// ---- COM port discovery and the Configure dialog, over an injected port enumeration ----

using mv53::TComPortInfo;

TComPortInfo port(const std::string& name, const std::string& device, const std::string& description = "USB Serial",
                  const std::string& driver = "ftdi_sio")
{
    return TComPortInfo{name, device, description, "", driver, "", ""};
}

std::vector<std::string> listOf(const std::vector<TComPortInfo>& ports)
{
    std::vector<std::string> list{"stale entry"};
    mv53::BuildComPortList(ports, list);
    return list;
}

std::vector<int> enabledButtons(const TfrmConfig& dlg)
{
    std::vector<int> out;
    for (int n = 1; n <= kConfigPortCount; ++n)
        if (dlg.rbtnCom[static_cast<size_t>(n - 1)]->isEnabled())
            out.push_back(n);
    return out;
}

// The list sorted by number (not by text), modems and names that are no ports left out, the
// USB cable marked.
TEST(ComPortList, SortsFiltersAndMarksTheCable)
{
    const struct Case {
        const char* name;
        std::vector<TComPortInfo> ports;
        std::vector<std::string> list;
    } cases[] = {
        {"none", {}, {}},
        {"by number", {port("COM10", "/dev/ttyUSB1"), port("COM9", "/dev/ttyUSB0"), port("COM2", "/dev/ttyS1")},
         {"COM2", "COM9", "COM10"}},
        {"no ports",
         {port("COM4", "/dev/ttyS3", "PCI Modem (COM4)"), port("COM5", "/dev/ttyModem0", ""), port("COM6", "/dev/ttyUSB2"),
          port("com7", "/dev/ttyUSB3"),   // "COM" is compared case-sensitively
          port("COMx", "/dev/ttyUSB4"),   // not a number: skipped, the rest still listed
          port("COM", "/dev/ttyUSB5"), port("COM1", "/dev/ttyS0")},
         {"COM1", "COM6"}},
        {"cable",
         {port("COM2", "/dev/ttyACM0", "UXC-40", "cdc_acm"),
          port("COM3", "/dev/ttyACM1", "", ""),   // driver unknown: the ttyACM name counts
          port("COM4", "/dev/ttyUSB0", "", "ftdi_sio")},
         {"COM2   (UXC-40)", "COM3   (UXC-40)", "COM4"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(listOf(c.ports), c.list) << c.name;
    EXPECT_EQ(mv53::PortNameOfEntry("COM2   (UXC-40)"), "COM2");
    EXPECT_EQ(mv53::PortNameOfEntry("COM4"), "COM4");
}

TEST(ComPortList, PresentBoundDevicesAreListed)
{
    // A pseudo-terminal never shows up in the system's enumeration; a binding to an existing
    // device makes it a port, a binding to a missing device does not.
    mv53::platform::PortMap::ClearBindings();
    mv53::platform::PortMap::Bind(7, "/dev/null");
    mv53::platform::PortMap::Bind(8, "/dev/mv53-no-such-device");
    const auto ports = mv53::SystemComPorts();
    mv53::platform::PortMap::ClearBindings();
    bool com7 = false;
    for (const auto& p : ports) {
        EXPECT_NE(p.name, "COM8");
        if (p.name == "COM7") {
            com7 = true;
            EXPECT_EQ(p.device, "/dev/null");
        }
    }
    EXPECT_TRUE(com7);
}

TEST(ConfigDialog, EnablesPresentPortsIncludingTheCable)
{
    const auto previous = mv53::SetComPortEnumerator([] {
        return std::vector{port("COM1", "/dev/ttyS0"), port("COM3", "/dev/ttyACM0", "UXC-40", "cdc_acm"), port("COM12", "/dev/ttyUSB0"),
                           port("COM4", "/dev/ttyS3", "Modem"), port("COM25", "/dev/ttyUSB9")};
    });
    TfrmConfig dlg(2);
    mv53::SetComPortEnumerator(previous);
    EXPECT_EQ(enabledButtons(dlg), (std::vector<int>{1, 3, 12}));
    EXPECT_EQ(dlg.rbtnCom[0]->text(), QStringLiteral("COM&1"));
    EXPECT_EQ(dlg.rbtnCom[2]->text(), QStringLiteral("COM&3   (UXC-40)"));
    EXPECT_EQ(dlg.rbtnCom[9]->text(), QStringLiteral("COM1&0"));
    EXPECT_EQ(dlg.rbtnCom[2]->toolTip(), QStringLiteral("/dev/ttyACM0"));
    EXPECT_EQ(dlg.DeviceOf(12), "/dev/ttyUSB0");
    EXPECT_TRUE(dlg.rbtnCom[2]->isChecked());
    EXPECT_TRUE(dlg.lblDevice->text().contains(QStringLiteral("/dev/ttyACM0")));
}

TEST(ConfigDialog, ChosenPortIsBoundToTheAdapterAndShownByItsMakerAndSerial)
{
    using mv53::platform::PortMap;
    // An adapter as a device file, and the stable link udev makes for it.
    const mv53::test::ScratchDir dir;
    const auto at = [&](const char* name) { return dir.Path(name); };
    dir.Write("ttyUSB1", "");
    std::filesystem::create_directory(at("by-id"));
    const std::string link = at("by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
    std::filesystem::create_symlink(at("ttyUSB1"), link);
    qputenv("MV53_SERIAL_BY_ID", QByteArray::fromStdString(at("by-id")));
    PortMap::ClearBindings();
    PortMap::SetDiscovery([&] { return std::vector<std::string>{at("ttyUSB1")}; });

    TfrmConfig dlg(5);
    ASSERT_EQ(enabledButtons(dlg), (std::vector<int>{1}));
    EXPECT_EQ(dlg.rbtnCom[0]->text(), QStringLiteral("COM&1  FTDI FT232R USB UART A50285BI"));
    const QString tip = dlg.rbtnCom[0]->toolTip();
    for (const std::string& part : {std::string("FTDI FT232R USB UART A50285BI"), link, at("ttyUSB1")})
        EXPECT_TRUE(tip.contains(QString::fromStdString(part))) << tip.toStdString();
    dlg.show();
    QTest::mouseClick(dlg.rbtnCom[0], Qt::LeftButton);
    QTest::mouseClick(dlg.btnOk, Qt::LeftButton);
    EXPECT_EQ(dlg.ComPortNo(), 0);
    EXPECT_EQ(PortMap::Binding(1), link);
    PortMap::SetDiscovery({});
    PortMap::ClearBindings();
    qunsetenv("MV53_SERIAL_BY_ID");
}

}  // namespace
