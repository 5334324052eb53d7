// Upload and Download over a real serial component and pseudo-terminal against the in-process
// radio simulator: the bytes on the wire (the simulator's frame log), the records and image
// left behind, the messages shown, and the port closed afterwards; failures at the steps the
// simulator does not reach easily; and the clone window without a radio: Cancel, Escape and
// closing.

#include "link/CloneProtocol.h"
#include "link/Radio.h"
#include "model/U_E2prom.h"
#include "platform/PortMap.h"
#include "RadioSimulator.h"
#include "ReplyDevice.h"
#include "ScriptedPrompt.h"
#include "TestRecords.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
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
        // A simulator held up past the second itself (a loaded machine) has tried nothing.
        if (!ok && *gap >= 990ms) {
            if (attempt < kAttempts)
                continue;
            GTEST_SKIP() << "the simulator answered only after " << gap->count() / 1000000 << " ms";
        }
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

}  // namespace
