// The simulator driven byte by byte from the PC's end of the line, for what the clone transfers
// over the wire never show: the replies to frames the PC does not send, damaged frames, exact
// hang-ups, live values, the port left reusable, memory files and the program.

#include "RunProcess.h"
#include "SimProgram.h"
#include "SimRadio.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <numeric>
#include <thread>

#include <sys/ioctl.h>

// Designated initializers name only the faults that matter; GCC 12 would warn of the rest.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

using namespace mv53::radiosim;
using mv53::BlockNo;
using mv53::BlockOffset;
using mv53::Byte;
using mv53::test::SimPort;
using namespace std::chrono_literals;

namespace {

constexpr auto kWait = 3000ms;

std::vector<Byte> BlockPattern(Byte seed)
{
    std::vector<Byte> data(32);
    std::iota(data.begin(), data.end(), seed);
    return data;
}

std::vector<Byte> BlockOf(const Memory& m, BlockNo b)
{
    return {m.begin() + BlockOffset(b), m.begin() + BlockOffset(b) + 32};
}

class RadioSimulatorTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_pc.IsOpen()); }

    // Sends a frame and returns the answer byte (or nothing), once the radio has handled it.
    std::vector<Byte> Exchange(Command command, std::uint16_t address, const std::vector<Byte>& data = {})
    {
        const std::size_t before = m_radio->Frames().size();
        EXPECT_TRUE(m_pc.SendFrame(command, address, data));
        EXPECT_TRUE(m_radio->WaitForFrames(before + 1, kWait));
        return m_pc.Read(1, 200ms);
    }

    std::unique_ptr<RadioSimulator> m_radio = mv53::test::StartedRadio();
    SimPort m_pc{m_radio->DevicePath()};
};

TEST_F(RadioSimulatorTest, UploadWaitsForEachAcknowledge)
{
    m_radio->SetMemory(mv53::test::RadioMemory(mv53::test::ClearedRecords(
        [](TMVmem& m) { m.Channels().Items(3).SetStatus(mv53::kChannelUsed); })));
    ASSERT_TRUE(m_pc.SendFrame(cmd::ReadAll, 0));
    ASSERT_EQ(m_pc.Read(kChannelFrameSize).size(), kChannelFrameSize);
    EXPECT_TRUE(m_pc.ReadExtra().empty());
    ASSERT_TRUE(m_pc.SendByte(kAccept));
    const auto end = m_pc.Read(kChannelFrameSize);
    ASSERT_EQ(end.size(), kChannelFrameSize);
    EXPECT_EQ(end[0] << 8 | end[1], 0x01F4);
    EXPECT_TRUE(m_pc.ReadExtra().empty());

    // Anything but the acknowledge ends the stream; the radio then takes commands again.
    ASSERT_TRUE(m_pc.SendFrame(cmd::Identify, 0x1000));
    EXPECT_EQ(m_pc.Read(kIdentifyReplySize).size(), kIdentifyReplySize);
}

// Each write takes only the blocks of the area its WriteBegin opened; a refused block changes
// nothing, and WriteEnd closes the area again.
TEST_F(RadioSimulatorTest, WritesKeepToTheAreaTheirBeginOpened)
{
    const struct Step {
        Command command;
        std::uint16_t address;
        int reply;   // -1: none
    } steps[] = {
        {cmd::WriteBlock, 0x0C00, kRefuse},   // no WriteBegin
        {cmd::WriteBegin, 0x00C6, kAccept},   // user data
        {cmd::WriteBlock, 0xC0A0, kAccept}, {cmd::WriteBlock, 0x05E0, kAccept},
        {cmd::WriteBlock, 0x0C00, kRefuse},   // the factory area
        {cmd::WriteBlock, 0xC010, kRefuse},   // inside a block
        {cmd::WriteEnd, 0x0002, -1},
        {cmd::WriteBlock, 0xC000, kRefuse},   // closed again
        {cmd::WriteBegin, 0x0008, kAccept},   // factory area
        {cmd::WriteBlock, 0x0DE0, kAccept}, {cmd::WriteBlock, 0x0400, kRefuse},
        {cmd::WriteEnd, 0x0001, -1},
        {cmd::WriteBegin, 0x0006, kAccept},   // tuner tables
        {cmd::WriteBlock, 0x09E0, kAccept}, {cmd::WriteBlock, 0xC000, kRefuse}, {cmd::WriteBlock, 0xFE80, kRefuse},
        {cmd::WriteEnd, 0x0001, -1},
        {cmd::WriteBegin, 0x0007, kRefuse},   // unknown kind
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(::testing::Message() << std::hex << s.command << " " << s.address);
        const Memory before = m_radio->GetMemory();
        const auto data = BlockPattern(static_cast<Byte>(s.address));
        const auto reply = Exchange(s.command, s.address, s.command == cmd::WriteBlock ? data : std::vector<Byte>{});
        EXPECT_EQ(reply, s.reply < 0 ? std::vector<Byte>{} : std::vector<Byte>{static_cast<Byte>(s.reply)});
        const auto block = BlockOfAddress(s.address);
        if (s.command == cmd::WriteBlock) {
            EXPECT_TRUE(s.reply == kRefuse ? m_radio->GetMemory() == before : BlockOf(m_radio->GetMemory(), *block) == data);
        }
    }
}

TEST_F(RadioSimulatorTest, DamagedCommandFramesGetNoAnswer)
{
    auto frame = MakeCommandFrame(cmd::Identify, 0x1000);
    frame[36] ^= 0x01;
    ASSERT_TRUE(m_pc.Send(frame.data(), frame.size()));
    ASSERT_TRUE(m_radio->WaitForFrames(1, kWait));
    EXPECT_TRUE(m_pc.ReadExtra().empty());
    EXPECT_FALSE(m_radio->Frames().at(0).checksumOk);

    // Leading garbage, then silence: the partial frame is dropped and the next one is whole.
    m_radio->SetFrameGap(20ms);
    ASSERT_TRUE(m_pc.Send({1, 2, 3}));
    ASSERT_TRUE(m_radio->WaitForBytesReceived(40, kWait));
    std::this_thread::sleep_for(100ms);
    ASSERT_TRUE(m_pc.SendFrame(cmd::Identify, 0x1000));
    EXPECT_EQ(m_pc.Read(kIdentifyReplySize).size(), kIdentifyReplySize);
    ASSERT_EQ(m_radio->Frames().size(), 2u);
    EXPECT_TRUE(m_radio->Frames().at(1).checksumOk);
}

// The radio hangs up after exactly so many bytes sent: the PC's line fails and the device is gone.
TEST(RadioSimulatorHangUp, AfterExactlyTheBytesGiven)
{
    for (const long long bytes : {0LL, 20LL}) {
        SCOPED_TRACE(bytes);
        const auto radio = mv53::test::StartedRadio();
        const std::string path = radio->DevicePath();
        SimPort pc(path);
        radio->SetFaults({.hangUpAfterBytes = bytes});
        ASSERT_TRUE(pc.SendFrame(cmd::Identify, 0x1000));
        EXPECT_EQ(pc.Read(kIdentifyReplySize).size(), std::min<std::size_t>(kIdentifyReplySize, bytes));
        if (bytes > 0) {
            ASSERT_TRUE(pc.SendFrame(cmd::ReadAll, 0));
            EXPECT_EQ(pc.Read(kChannelFrameSize).size(), 4u);
        }
        EXPECT_TRUE(pc.LineFailed());
        EXPECT_TRUE(radio->WaitForHangUp(kWait));
        EXPECT_EQ(radio->BytesSent(), static_cast<std::size_t>(bytes));
        EXPECT_FALSE(std::filesystem::exists(path));
    }
}

// Live values land in the alignment bytes that the factory area carries, so a later upload or
// the memory shows what the radio holds; addresses outside the live range are refused.
TEST_F(RadioSimulatorTest, LiveValuesAreHeldInTheAlignmentBytes)
{
    struct Case {
        std::uint16_t address;
        Byte value;
        Byte reply;
        long offset;   // memory byte that changes, -1: none
    };
    const Case cases[] = {
        {0xE108, 0x11, kAccept, 17422},   // volt warning 1, first live address
        {0xE10D, 0x83, kAccept, 17427},   // CLAR offset (signed byte)
        {0xE13A, 0xFF, kAccept, 17472},   // USB carrier offset, high byte
        {0xE13B, 0x6A, kAccept, 17473},   // its low byte, the last live address
        {0xE107, 0x55, kRefuse, -1},
        {0xE13C, 0x55, kRefuse, -1},
    };
    for (const Case& c : cases) {
        const Memory before = m_radio->GetMemory();
        EXPECT_EQ(Exchange(cmd::AdjustValue, c.address, {c.value}), std::vector<Byte>{c.reply}) << c.address;
        Memory after = m_radio->GetMemory();
        if (c.offset >= 0) {
            EXPECT_EQ(after[static_cast<std::size_t>(c.offset)], c.value) << c.address;
            after[static_cast<std::size_t>(c.offset)] = before[static_cast<std::size_t>(c.offset)];
        }
        EXPECT_TRUE(after == before) << "another byte changed at " << c.address;
    }
}

// The program: prints the path, answers, and saves the memory when it is told to stop.
TEST(RadiosimProgram, ServesAPseudoTerminalAndSavesAtExit)
{
    const mv53::test::ScratchDir dir;
    ASSERT_TRUE(WriteMemoryFile(dir.Path("in.m53"), DefaultMemory()));
    mv53::test::SimProgram program;
    ASSERT_TRUE(program.Start({"--image", dir.Path("in.m53"), "--save", dir.Path("out.m53"), "--firmware", "0307"}));
    {
        SimPort pc(program.Device());
        ASSERT_TRUE(pc.SendFrame(cmd::Identify, 0x1000));
        const auto reply = pc.Read(kIdentifyReplySize);
        ASSERT_EQ(reply.size(), kIdentifyReplySize);
        EXPECT_EQ(reply[0], 0x03);
        EXPECT_EQ(reply[1], 0x07);
        ASSERT_TRUE(pc.SendFrame(cmd::WriteBegin, 0x0008));
        EXPECT_EQ(pc.Read(1), std::vector<Byte>{kAccept});
        ASSERT_TRUE(pc.SendFrame(cmd::WriteBlock, 0x0C00, BlockPattern(0xC0)));
        EXPECT_EQ(pc.Read(1), std::vector<Byte>{kAccept});
    }
    ASSERT_TRUE(program.Stop());
    Memory m{};
    ASSERT_TRUE(ReadMemoryFile(dir.Path("out.m53"), m));
    EXPECT_EQ(BlockOf(m, 544), BlockPattern(0xC0));
}

}  // namespace
