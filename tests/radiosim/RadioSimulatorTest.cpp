// The simulator driven from a raw pseudo-terminal client, as the PC side would drive a radio.

#include "PtyClient.h"
#include "RadioSimulator.h"
#include "TestPty.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <numeric>

#include <sys/ioctl.h>
#include <sys/wait.h>

// Designated initializers name only the faults that matter; GCC 12 would warn of the rest.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

using namespace mv53::radiosim;
using mv53::radiosim::test::PtyClient;
using mv53::BlockNo;
using mv53::BlockOffset;
using mv53::Byte;
using namespace std::chrono_literals;

namespace {

constexpr auto kWait = 3000ms;

std::vector<Byte> Bytes(std::initializer_list<int> values)
{
    std::vector<Byte> out;
    for (int v : values)
        out.push_back(static_cast<Byte>(v));
    return out;
}

std::vector<Byte> BlockPattern(Byte seed)
{
    std::vector<Byte> data(32);
    std::iota(data.begin(), data.end(), seed);
    return data;
}

// A memory with a recognisable pattern in every block and the given channels in use.
Memory PatternMemory(std::initializer_list<BlockNo> used)
{
    Memory m = DefaultMemory();
    for (BlockNo b = 0; b < mv53::kBlockCount; ++b) {
        const auto data = BlockPattern(static_cast<Byte>(b * 7));
        std::copy(data.begin(), data.end(), m.begin() + BlockOffset(b));
        if (b < mv53::kChannelBlockCount)
            m[static_cast<std::size_t>(BlockOffset(b))] = mv53::kChannelEmpty;
    }
    for (BlockNo b : used)
        m[static_cast<std::size_t>(BlockOffset(b))] = mv53::kChannelUsed;
    return m;
}

std::vector<Byte> BlockOf(const Memory& m, BlockNo b)
{
    return {m.begin() + BlockOffset(b), m.begin() + BlockOffset(b) + 32};
}

class RadioSimulatorTest : public ::testing::Test {
protected:
    void StartWith(const Memory& memory)
    {
        m_radio = std::make_unique<RadioSimulator>(memory);
        ASSERT_TRUE(m_radio->Start()) << m_radio->LastError();
        m_pc = std::make_unique<PtyClient>(m_radio->DevicePath());
        ASSERT_TRUE(m_pc->IsOpen());
    }
    void SetUp() override { StartWith(DefaultMemory()); }

    // Sends a frame and returns the answer byte (or nothing), once the radio has handled it.
    std::vector<Byte> Exchange(Command command, std::uint16_t address, const std::vector<Byte>& data = {})
    {
        const std::size_t before = m_radio->Frames().size();
        EXPECT_TRUE(m_pc->SendFrame(command, address, data));
        EXPECT_TRUE(m_radio->WaitForFrames(before + 1, kWait));
        return m_pc->Read(1, 200ms);
    }

    // Reads the whole upload stream, acknowledging every frame; returns the channel block
    // numbers in the order received (the end frame included) and the 60 area blocks.
    void Upload(std::vector<int>& channelNumbers, std::vector<std::vector<Byte>>& areas)
    {
        ASSERT_TRUE(m_pc->SendFrame(cmd::ReadAll, 0));
        for (;;) {
            const auto f = m_pc->Read(kChannelFrameSize);
            ASSERT_EQ(f.size(), kChannelFrameSize);
            EXPECT_EQ(f[34], Checksum(f.data(), 34));
            const int number = f[0] << 8 | f[1];
            channelNumbers.push_back(number);
            if (number < 500) {
                EXPECT_EQ(std::vector<Byte>(f.begin() + 2, f.begin() + 34), BlockOf(m_radio->GetMemory(), number));
            }
            ASSERT_TRUE(m_pc->SendByte(kAccept));
            if (number >= 500)
                break;
        }
        for (int i = 0; i < 60; ++i) {
            const auto f = m_pc->Read(kAreaFrameSize);
            ASSERT_EQ(f.size(), kAreaFrameSize);
            EXPECT_EQ(f[32], Checksum(f.data(), 32));
            areas.emplace_back(f.begin(), f.begin() + 32);
            ASSERT_TRUE(m_pc->SendByte(kAccept));
        }
    }

    std::vector<RadioAddress> WrittenAddresses() const
    {
        std::vector<RadioAddress> out;
        for (const ReceivedFrame& f : m_radio->Frames())
            if (f.command == cmd::WriteBlock)
                out.push_back(f.address);
        return out;
    }

    std::unique_ptr<RadioSimulator> m_radio;
    std::unique_ptr<PtyClient> m_pc;
};

TEST(ClonePlumbing, AddressesMapToTheirBlocks)
{
    // The areas' first and last addresses; the address of each block maps back to it.
    EXPECT_EQ(BlockOfAddress(0xFEE0), 503);          // common area block 3
    EXPECT_EQ(BlockOfAddress(0x05E0), 527);
    EXPECT_EQ(BlockOfAddress(0x0DE0), 559);
    EXPECT_FALSE(BlockOfAddress(0x0600));            // between the tuner tables
    EXPECT_FALSE(BlockOfAddress(0x0E00));            // after the factory area
    EXPECT_FALSE(BlockOfAddress(0xC001));            // not the start of a block
    for (BlockNo b = 0; b < mv53::kBlockCount; ++b)
        EXPECT_EQ(BlockOfAddress(AddressOfBlock(b)), b);
    EXPECT_TRUE(AreaContains(WriteArea::UserData, 511));
    EXPECT_FALSE(AreaContains(WriteArea::UserData, 544));
    EXPECT_FALSE(AreaContains(WriteArea::Tuner, 0));
    EXPECT_TRUE(AreaContains(WriteArea::Tuner, 543));
    EXPECT_FALSE(AreaContains(WriteArea::Factory, 543));
}

TEST(ClonePlumbing, ByteTimeFollowsTheLineSettings)
{
    // 9600 8N2: 11 bits; 9600 8N1: 10 bits; 7 data bits with parity and one stop: 10 bits.
    EXPECT_EQ(ByteTime(CS8 | CSTOPB, 9600), std::chrono::nanoseconds(1'145'833));
    EXPECT_EQ(ByteTime(CS8, 9600), std::chrono::nanoseconds(1'041'666));
    EXPECT_EQ(ByteTime(CS7 | PARENB, 9600), std::chrono::nanoseconds(1'041'666));
    EXPECT_EQ(ByteTime(CS8, 0), std::chrono::nanoseconds(0));
}

TEST_F(RadioSimulatorTest, IdentifyGivesFirmwareAndTextId)
{
    ASSERT_TRUE(m_pc->SendFrame(cmd::Identify, 0x1000));
    auto reply = m_pc->Read(kIdentifyReplySize);
    ASSERT_EQ(reply.size(), kIdentifyReplySize);
    EXPECT_EQ(reply[0], 0x01);
    EXPECT_EQ(reply[1], 0x2A);
    EXPECT_EQ(std::string(reply.begin() + 2, reply.begin() + 8), "kt468h");
    EXPECT_TRUE(m_pc->ReadExtra().empty());

    m_radio->SetBehaviour({.firmware = {0x02, 0x10}, .textId = "kt999x"});
    m_radio->SetPacing(true);   // bytes at the line's real speed
    ASSERT_TRUE(m_pc->SendFrame(cmd::Identify, 0x1000));
    reply = m_pc->Read(kIdentifyReplySize);
    ASSERT_EQ(reply.size(), kIdentifyReplySize);
    EXPECT_EQ(reply[1], 0x10);
    EXPECT_EQ(std::string(reply.begin() + 2, reply.begin() + 8), "kt999x");
}

TEST_F(RadioSimulatorTest, UploadSendsChannelsInUseThenEndFrameThenSixtyAreas)
{
    const Memory memory = PatternMemory({0, 7, 499});
    m_radio->SetMemory(memory);
    std::vector<int> numbers;
    std::vector<std::vector<Byte>> areas;
    Upload(numbers, areas);
    EXPECT_EQ(numbers, (std::vector<int> {0, 7, 499, 0x01F4}));
    ASSERT_EQ(areas.size(), 60u);
    for (int i = 0; i < 60; ++i)
        EXPECT_EQ(areas[static_cast<std::size_t>(i)], BlockOf(memory, 500 + i)) << "area block " << 500 + i;
    EXPECT_TRUE(m_radio->WaitForAcks(64, kWait));
    EXPECT_TRUE(m_pc->ReadExtra().empty());
}

TEST_F(RadioSimulatorTest, UploadWaitsForEachAcknowledge)
{
    m_radio->SetMemory(PatternMemory({3}));
    ASSERT_TRUE(m_pc->SendFrame(cmd::ReadAll, 0));
    ASSERT_EQ(m_pc->Read(kChannelFrameSize).size(), kChannelFrameSize);
    EXPECT_TRUE(m_pc->ReadExtra().empty());
    ASSERT_TRUE(m_pc->SendByte(kAccept));
    const auto end = m_pc->Read(kChannelFrameSize);
    ASSERT_EQ(end.size(), kChannelFrameSize);
    EXPECT_EQ(end[0] << 8 | end[1], 0x01F4);
    EXPECT_TRUE(m_pc->ReadExtra().empty());

    // Anything but the acknowledge ends the stream; the radio then takes commands again.
    ASSERT_TRUE(m_pc->SendFrame(cmd::Identify, 0x1000));
    EXPECT_EQ(m_pc->Read(kIdentifyReplySize).size(), kIdentifyReplySize);
}

TEST_F(RadioSimulatorTest, UserDataWriteEmptiesChannelsAndLandsBlocks)
{
    m_radio->SetMemory(PatternMemory({1, 2, 3}));
    EXPECT_EQ(Exchange(cmd::WriteBegin, 0x00C6), Bytes({kAccept}));
    const Memory cleared = m_radio->GetMemory();
    for (BlockNo b = 0; b < mv53::kChannelBlockCount; ++b)
        ASSERT_EQ(cleared[static_cast<std::size_t>(BlockOffset(b))], mv53::kChannelEmpty) << b;

    auto channel = BlockPattern(0x40);
    channel[0] = mv53::kChannelUsed;
    EXPECT_EQ(Exchange(cmd::WriteBlock, 0xC000 + 32 * 5, channel), Bytes({kAccept}));
    EXPECT_EQ(Exchange(cmd::WriteBlock, 0xFEE0, BlockPattern(0x50)), Bytes({kAccept}));
    EXPECT_EQ(Exchange(cmd::WriteBlock, 0x05E0, BlockPattern(0x60)), Bytes({kAccept}));
    EXPECT_EQ(Exchange(cmd::WriteBlock, 0x0800, BlockPattern(0x70)), Bytes({kAccept}));
    // The factory area and addresses inside a block are not part of a user-data write.
    EXPECT_EQ(Exchange(cmd::WriteBlock, 0x0C00, BlockPattern(0x80)), Bytes({kRefuse}));
    EXPECT_EQ(Exchange(cmd::WriteBlock, 0xC010, BlockPattern(0x80)), Bytes({kRefuse}));
    EXPECT_TRUE(Exchange(cmd::WriteEnd, 0x0002).empty());
    EXPECT_EQ(Exchange(cmd::WriteBlock, 0xC000, channel), Bytes({kRefuse}));   // closed again

    const Memory m = m_radio->GetMemory();
    EXPECT_EQ(BlockOf(m, 5), channel);
    EXPECT_EQ(BlockOf(m, 503), BlockPattern(0x50));
    EXPECT_EQ(BlockOf(m, 527), BlockPattern(0x60));
    EXPECT_EQ(BlockOf(m, 528), BlockPattern(0x70));
    EXPECT_EQ(BlockOf(m, 544), BlockOf(cleared, 544));
    EXPECT_EQ(m[static_cast<std::size_t>(BlockOffset(1))], mv53::kChannelEmpty);
    EXPECT_EQ(WrittenAddresses(), (std::vector<RadioAddress> {0xC0A0, 0xFEE0, 0x05E0, 0x0800, 0x0C00, 0xC010, 0xC000}));

    // Read back: only the channel that was written is in use.
    std::vector<int> numbers;
    std::vector<std::vector<Byte>> areas;
    Upload(numbers, areas);
    EXPECT_EQ(numbers, (std::vector<int> {5, 0x01F4}));
}

TEST_F(RadioSimulatorTest, FactoryAndTunerWritesKeepToTheirAreas)
{
    const Memory before = PatternMemory({0});
    m_radio->SetMemory(before);
    EXPECT_EQ(Exchange(cmd::WriteBlock, 0x0C00, BlockPattern(1)), Bytes({kRefuse}));   // no WriteBegin
    EXPECT_EQ(Exchange(cmd::WriteBegin, 0x0008), Bytes({kAccept}));
    EXPECT_EQ(Exchange(cmd::WriteBlock, 0x0DE0, BlockPattern(2)), Bytes({kAccept}));
    EXPECT_EQ(Exchange(cmd::WriteBlock, 0x0400, BlockPattern(3)), Bytes({kRefuse}));
    EXPECT_TRUE(Exchange(cmd::WriteEnd, 0x0001).empty());
    EXPECT_EQ(Exchange(cmd::WriteBegin, 0x0006), Bytes({kAccept}));
    EXPECT_EQ(Exchange(cmd::WriteBlock, 0x09E0, BlockPattern(4)), Bytes({kAccept}));
    EXPECT_EQ(Exchange(cmd::WriteBlock, 0xC000, BlockPattern(5)), Bytes({kRefuse}));
    EXPECT_EQ(Exchange(cmd::WriteBlock, 0xFE80, BlockPattern(5)), Bytes({kRefuse}));
    EXPECT_TRUE(Exchange(cmd::WriteEnd, 0x0001).empty());
    EXPECT_EQ(Exchange(cmd::WriteBegin, 0x0007), Bytes({kRefuse}));   // unknown kind

    const Memory m = m_radio->GetMemory();
    EXPECT_EQ(BlockOf(m, 559), BlockPattern(2));
    EXPECT_EQ(BlockOf(m, 543), BlockPattern(4));
    EXPECT_EQ(BlockOf(m, 512), BlockOf(before, 512));
    EXPECT_EQ(BlockOf(m, 0), BlockOf(before, 0));   // channels untouched outside a user-data write
}

TEST_F(RadioSimulatorTest, StrayBytesFollowTheChosenReplies)
{
    m_radio->SetFaults({.strayBytes = Bytes({0xAA, 0x55}), .strayAfter = kReplyByte | kUploadFrame});
    ASSERT_TRUE(m_pc->SendFrame(cmd::Identify, 0x1000));
    EXPECT_EQ(m_pc->Read(100, 150ms).size(), kIdentifyReplySize);
    ASSERT_TRUE(m_pc->SendFrame(cmd::WriteBegin, 0x0006));
    EXPECT_EQ(m_pc->Read(100, 150ms), Bytes({kAccept, 0xAA, 0x55}));
    ASSERT_TRUE(m_pc->SendFrame(cmd::ReadAll, 0));
    const auto frame = m_pc->Read(100, 150ms);
    ASSERT_EQ(frame.size(), kChannelFrameSize + 2);
    EXPECT_EQ(frame[kChannelFrameSize], 0xAA);
}

TEST_F(RadioSimulatorTest, DamagedCommandFramesGetNoAnswer)
{
    auto frame = MakeCommandFrame(cmd::Identify, 0x1000);
    frame[36] ^= 0x01;
    ASSERT_TRUE(m_pc->Send(frame.data(), frame.size()));
    ASSERT_TRUE(m_radio->WaitForFrames(1, kWait));
    EXPECT_TRUE(m_pc->ReadExtra().empty());
    EXPECT_FALSE(m_radio->Frames().at(0).checksumOk);

    // Leading garbage, then silence: the partial frame is dropped and the next one is whole.
    m_radio->SetFrameGap(20ms);
    ASSERT_TRUE(m_pc->Send(Bytes({1, 2, 3})));
    ASSERT_TRUE(m_radio->WaitForBytesReceived(40, kWait));
    std::this_thread::sleep_for(100ms);
    ASSERT_TRUE(m_pc->SendFrame(cmd::Identify, 0x1000));
    EXPECT_EQ(m_pc->Read(kIdentifyReplySize).size(), kIdentifyReplySize);
    ASSERT_EQ(m_radio->Frames().size(), 2u);
    EXPECT_TRUE(m_radio->Frames().at(1).checksumOk);
}

TEST_F(RadioSimulatorTest, HangUpAfterSomeBytes)
{
    const std::string path = m_radio->DevicePath();
    m_radio->SetFaults({.hangUpAfterBytes = 20});
    ASSERT_TRUE(m_pc->SendFrame(cmd::Identify, 0x1000));
    EXPECT_EQ(m_pc->Read(kIdentifyReplySize).size(), kIdentifyReplySize);
    ASSERT_TRUE(m_pc->SendFrame(cmd::ReadAll, 0));
    const auto partial = m_pc->Read(kChannelFrameSize);
    EXPECT_EQ(partial.size(), 4u);   // exactly 20 bytes in all, then the line is gone
    EXPECT_TRUE(m_pc->LineFailed());
    EXPECT_TRUE(m_radio->WaitForHangUp(kWait));
    EXPECT_EQ(m_radio->BytesSent(), 20u);
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(RadioSimulatorTest, HangUpAtZeroBytesWhenFirstSpokenTo)
{
    m_radio->SetFaults({.hangUpAfterBytes = 0});
    ASSERT_TRUE(m_pc->SendFrame(cmd::Identify, 0x1000));
    EXPECT_TRUE(m_radio->WaitForHangUp(kWait));
    EXPECT_TRUE(m_pc->Read(1).empty());
    EXPECT_TRUE(m_pc->LineFailed());
}

TEST_F(RadioSimulatorTest, ReadSerialAndAdjustLog)
{
    Memory m = DefaultMemory();
    const auto serial = Bytes({1, 1, 3, 15, 0, 10, 9, 9});
    std::copy(serial.begin(), serial.end(), m.begin() + kSerialOffset);
    m_radio->SetMemory(m);
    ASSERT_TRUE(m_pc->SendFrame(cmd::ReadSerial, 0));
    EXPECT_EQ(m_pc->Read(kSerialReplySize), serial);

    EXPECT_EQ(Exchange(cmd::AdjustValue, 0xE138, Bytes({0xFF})), Bytes({kAccept}));
    EXPECT_EQ(Exchange(cmd::AdjustValue, 0xE139, Bytes({0x6A})), Bytes({kAccept}));
    EXPECT_TRUE(Exchange(cmd::AdjustEnd, 0).empty());
    const std::vector<AdjustEntry> expected {{0xE138, 0xFF, false}, {0xE139, 0x6A, false}, {0, 0, true}};
    const std::vector<AdjustEntry> log = m_radio->Adjustments();
    EXPECT_EQ(log, expected);
    ASSERT_EQ(log.size(), 3u);
    EXPECT_LE(log[0].time, log[1].time);
    EXPECT_LE(log[1].time, log[2].time);
    EXPECT_GT(log[0].time.time_since_epoch().count(), 0);
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
        EXPECT_EQ(Exchange(cmd::AdjustValue, c.address, Bytes({c.value})), Bytes({c.reply})) << c.address;
        Memory after = m_radio->GetMemory();
        if (c.offset >= 0) {
            EXPECT_EQ(after[static_cast<std::size_t>(c.offset)], c.value) << c.address;
            after[static_cast<std::size_t>(c.offset)] = before[static_cast<std::size_t>(c.offset)];
        }
        EXPECT_TRUE(after == before) << "another byte changed at " << c.address;
    }
}

TEST_F(RadioSimulatorTest, PortCanBeReopenedAfterAnExclusiveSession)
{
    ASSERT_EQ(::ioctl(m_pc->Fd(), TIOCEXCL), 0);
    m_pc->Close();
    // The simulator clears the exclusive flag once it sees the close; wait for that.
    bool cleared = false;
    for (int i = 0; i < 300 && !cleared; ++i) {
        PtyClient probe(m_radio->DevicePath());
        int excl = 1;
        cleared = probe.IsOpen() && ::ioctl(probe.Fd(), TIOCGEXCL, &excl) == 0 && excl == 0;
        if (!cleared)
            std::this_thread::sleep_for(10ms);
    }
    EXPECT_TRUE(cleared);
}

TEST(RadioSimulatorDevice, AnswersOnAGivenDevicePath)
{
    // A pseudo-terminal of the test's own stands in for a serial port.
    mv53::test::TestPty line;
    ASSERT_TRUE(line.Ok());
    PtyClient port(PtyClient::Adopt {}, ::dup(line.Master()));
    RadioSimulator radio;
    ASSERT_TRUE(radio.StartOnDevice(line.Path())) << radio.LastError();
    EXPECT_EQ(radio.DevicePath(), line.Path());
    ASSERT_TRUE(port.SendFrame(cmd::Identify, 0x1000));
    const auto reply = port.Read(kIdentifyReplySize);
    ASSERT_EQ(reply.size(), kIdentifyReplySize);
    EXPECT_EQ(std::string(reply.begin() + 2, reply.begin() + 8), "kt468h");
}

TEST(RadioSimulatorMemory, FilesRoundTripAndShortFilesAreRefused)
{
    const auto dir = std::filesystem::temp_directory_path() / ("radiosim_test_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "radio.m53").string();

    RadioSimulator radio(PatternMemory({4}));
    ASSERT_TRUE(radio.SaveMemory(path));
    EXPECT_EQ(std::filesystem::file_size(path), kMemorySize);
    RadioSimulator other;
    ASSERT_TRUE(other.LoadMemory(path));
    EXPECT_EQ(other.GetMemory(), radio.GetMemory());

    std::filesystem::resize_file(path, kMemorySize + 100);   // longer: the first 17927 bytes count
    ASSERT_TRUE(other.LoadMemory(path));
    EXPECT_EQ(other.GetMemory(), radio.GetMemory());
    std::filesystem::resize_file(path, kMemorySize - 1);
    other.SetMemory(DefaultMemory());
    EXPECT_FALSE(other.LoadMemory(path));
    EXPECT_EQ(other.GetMemory(), DefaultMemory());
    EXPECT_FALSE(other.LoadMemory((dir / "missing.m53").string()));
    EXPECT_FALSE(other.SaveMemory((dir / "no" / "such" / "dir.m53").string()));
    std::filesystem::remove_all(dir);
}

// The program: prints the path, answers, and saves the memory when it is told to stop.
TEST(RadiosimProgram, ServesAPseudoTerminalAndSavesAtExit)
{
    const auto dir = std::filesystem::temp_directory_path() / ("radiosim_prog_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string image = (dir / "in.m53").string();
    const std::string saved = (dir / "out.m53").string();
    ASSERT_TRUE(WriteMemoryFile(image, PatternMemory({2})));

    int out[2];
    ASSERT_EQ(::pipe(out), 0);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::close(out[0]);
        ::close(out[1]);
        ::execl(RADIOSIM_PATH, RADIOSIM_PATH, "--image", image.c_str(), "--save", saved.c_str(),
                "--firmware", "0307", nullptr);
        ::_exit(127);
    }
    ::close(out[1]);
    std::string path;
    char c = 0;
    while (::read(out[0], &c, 1) == 1 && c != '\n')
        path += c;
    ::close(out[0]);
    ASSERT_FALSE(path.empty());
    {
        PtyClient pc(path);
        ASSERT_TRUE(pc.IsOpen());
        ASSERT_TRUE(pc.SendFrame(cmd::Identify, 0x1000));
        const auto reply = pc.Read(kIdentifyReplySize);
        ASSERT_EQ(reply.size(), kIdentifyReplySize);
        EXPECT_EQ(reply[0], 0x03);
        EXPECT_EQ(reply[1], 0x07);
        ASSERT_TRUE(pc.SendFrame(cmd::WriteBegin, 0x0008));
        EXPECT_EQ(pc.Read(1), Bytes({kAccept}));
        ASSERT_TRUE(pc.SendFrame(cmd::WriteBlock, 0x0C00, BlockPattern(0xC0)));
        EXPECT_EQ(pc.Read(1), Bytes({kAccept}));
    }
    ::kill(pid, SIGTERM);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    Memory m {};
    ASSERT_TRUE(ReadMemoryFile(saved, m));
    EXPECT_EQ(BlockOf(m, 544), BlockPattern(0xC0));
    EXPECT_EQ(m[static_cast<std::size_t>(BlockOffset(2))], mv53::kChannelUsed);
    std::filesystem::remove_all(dir);
}

}  // namespace
