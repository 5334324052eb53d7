// The writing procedure over a real serial component and pseudo-terminal against the
// simulator's boot mode: the flash the radio is left with, the rounds it went through, the
// lamps, texts and boxes the window would show, and the failures of every step.

#include "service/FirmwareSupply.h"
#include "service/RadioFSW.h"
#include "RadioSimulator.h"
#include "ScriptedPrompt.h"

#include <gtest/gtest.h>

#include <QTimer>

#include <filesystem>
#include <fstream>
#include <random>

namespace fs = std::filesystem;
namespace sim = mv53::radiosim;
using namespace mv53;
using namespace std::chrono_literals;

namespace {

std::string Record(int type, std::uint32_t address, const std::vector<fw::Byte>& data)
{
    const int addressBytes = type + 1;
    std::vector<fw::Byte> bytes{static_cast<fw::Byte>(addressBytes + data.size() + 1)};
    for (int i = addressBytes - 1; i >= 0; --i)
        bytes.push_back(static_cast<fw::Byte>(address >> (8 * i)));
    bytes.insert(bytes.end(), data.begin(), data.end());
    unsigned sum = 0;
    for (fw::Byte b : bytes)
        sum += b;
    bytes.push_back(static_cast<fw::Byte>(~sum));
    std::string line = "S" + std::to_string(type);
    char hex[3];
    for (fw::Byte b : bytes) {
        std::snprintf(hex, sizeof hex, "%02X", b);
        line += hex;
    }
    return line;
}

// Records of 32 random bytes covering [from, to).
std::string Records(std::uint32_t from, std::uint32_t to, std::mt19937& rng)
{
    std::string text;
    for (std::uint32_t a = from; a < to; a += 32) {
        std::vector<fw::Byte> data(std::min<std::uint32_t>(32, to - a));
        for (auto& b : data)
            b = static_cast<fw::Byte>(rng());
        text += Record(2, a, data) + "\r\n";
    }
    return text;
}

class FirmwareWriter : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::random_device rd;
        m_dir = fs::temp_directory_path() / ("mv53-fwwriter-" + std::to_string(rd()));
        fs::create_directories(m_dir);
        m_job.bootProgram.resize(fw::kBootProgramSize);
        for (std::size_t i = 0; i < m_job.bootProgram.size(); ++i)
            m_job.bootProgram[i] = static_cast<fw::Byte>(i * 31 + 7);
        m_scoped.emplace(m_prompt);
    }
    void TearDown() override
    {
        m_radio.Stop();
        fs::remove_all(m_dir);
    }

    void File(const std::string& body, fw::TCpuType cpu)
    {
        m_job.filePath = (m_dir / "KT468TST_V0100.SFL").string();
        std::ofstream(m_job.filePath, std::ios::binary) << "Test firmware\r\nS0030000FC\r\n" << body << "S9030000FC\r\n";
        m_job.cpu = cpu;
    }
    void StartRadio(sim::BootCpu cpu, unsigned rate, sim::BootFaults faults = {})
    {
        m_radio.SetBootMode(true);
        m_radio.SetBootBehaviour({.rate = rate, .cpu = cpu, .flashFill = 0x3C});
        m_radio.SetBootFaults(faults);
        ASSERT_TRUE(m_radio.Start()) << m_radio.LastError();
    }
    bool Run()
    {
        m_writer.SetDevicePath(m_radio.DevicePath());
        QObject::connect(&m_writer, &TFirmwareWriter::LampChanged, [this](TLamp lamp) { m_lamps.push_back(lamp); });
        QObject::connect(&m_writer, &TFirmwareWriter::StatusChanged, [this](const std::string& t) { m_status = t; });
        QObject::connect(&m_writer, &TFirmwareWriter::BarsVisible, [this](bool v) { m_bars.push_back(v); });
        QObject::connect(&m_writer, &TFirmwareWriter::BootProgress, [this](int p) { m_bootMax = std::max(m_bootMax, p); });
        return m_writer.Run(m_job);
    }
    // The radio's flash holds the file's bytes in every written area and 0xFF elsewhere.
    void ExpectFlashWritten()
    {
        fw::TFirmwareImage image;
        fw::TReadError error;
        ASSERT_TRUE(fw::ReadFirmwareFile(m_job.filePath, m_job.cpu, nullptr, image, error));
        const auto flash = m_radio.Flash();
        std::vector<bool> written(flash.size(), false);
        for (const auto& area : image.areas)
            for (std::uint32_t a = area.start; area.used && a < area.start + area.length; ++a)
                written[a] = true;
        std::size_t wrong = 0;
        for (std::size_t a = 0; a < flash.size(); ++a)
            wrong += flash[a] != (written[a] ? image.bytes[a] : 0xFF);
        EXPECT_EQ(wrong, 0u);
    }

    fs::path m_dir;
    test::ScriptedPrompt m_prompt;
    std::optional<ScopedPrompt> m_scoped;
    sim::RadioSimulator m_radio;
    TProgramState m_state;
    TFirmwareWriter m_writer{m_state};
    TFirmwareJob m_job;
    std::vector<TLamp> m_lamps;
    std::vector<bool> m_bars;
    std::string m_status;
    int m_bootMax = -1;
};

TEST_F(FirmwareWriter, WritesATF20RadioFoundAt9600AfterThe19200Window)
{
    std::mt19937 rng(1);
    File(Records(0x0000, 0x0900, rng) + Records(0x1F000, 0x1F040, rng), fw::TCpuType::HD64F2134ATF20);
    StartRadio(sim::BootCpu::HD64F2134ATF20, 9600);
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(Run()) << m_writer.Result().detail;
    EXPECT_GE(std::chrono::steady_clock::now() - started, 2s);   // the 19200 window ran out first

    const TFirmwareResult& r = m_writer.Result();
    EXPECT_EQ(r.outcome, TFirmwareOutcome::Success);
    EXPECT_TRUE(r.checksumMatch);
    const std::string expected = r.pcText + r.cpuText + kFswCompleted + "\r\n" + fw::kVerdictMatch;
    EXPECT_EQ(m_status, expected);
    EXPECT_EQ(m_status.rfind("CHECKSUM\r\n        ", 0), 0u);
    EXPECT_EQ(r.pcText.substr(18), r.cpuText.substr(10, 8) + " (PC)");
    EXPECT_EQ(m_prompt.texts(), std::vector<std::string>{kFswOkQuestion});
    EXPECT_EQ(m_lamps.front(), TLamp::Red);
    EXPECT_EQ(m_lamps.back(), TLamp::Green);
    EXPECT_EQ(m_bars, (std::vector<bool>{true, false}));
    EXPECT_EQ(m_bootMax, 2141);

    const sim::BootLog log = m_radio.GetBootLog();
    EXPECT_EQ(log.rounds, 1);
    EXPECT_EQ(log.program, m_job.bootProgram);
    ASSERT_EQ(log.areas.size(), 1u);
    EXPECT_EQ(log.areas[0].start, 0u);
    EXPECT_EQ(log.areas[0].length, 0x1F080u);     // up to the block of the highest byte
    EXPECT_TRUE(log.areas[0].finished);
    EXPECT_EQ(log.rate, 38400u);
    ExpectFlashWritten();
}

TEST_F(FirmwareWriter, WritesFA20AreasWithRecordsOnlyAndJudgesTheFlashSum)
{
    std::mt19937 rng(2);
    // Areas 0, 2 and 4 hold records; a record at 0x9000 lies outside every area.
    File(Records(0x0000, 0x0100, rng) + Records(0x1000, 0x1400, rng) + Records(0x9000, 0x9020, rng) +
             Records(0xE000, 0xE0C0, rng),
         fw::TCpuType::HD64F2134FA20);
    StartRadio(sim::BootCpu::HD64F2134FA20, 19200);
    ASSERT_TRUE(Run()) << m_writer.Result().detail;

    const TFirmwareResult& r = m_writer.Result();
    // The PC checksum counts the record at 0x9000, the radio cannot: the verdict compares
    // with what the flash should hold.
    EXPECT_NE(r.pcText.substr(18, 8), r.cpuText.substr(10, 8));
    EXPECT_TRUE(r.checksumMatch);
    const sim::BootLog log = m_radio.GetBootLog();
    ASSERT_EQ(log.areas.size(), 3u);
    EXPECT_EQ(log.areas[0].start, 0x0000u);
    EXPECT_EQ(log.areas[1].start, 0x1000u);
    EXPECT_EQ(log.areas[1].length, 0x400u);
    EXPECT_EQ(log.areas[2].start, 0xE000u);
    EXPECT_EQ(log.rate, 9600u);
    ExpectFlashWritten();
}

TEST_F(FirmwareWriter, SilentRestartsAfterAWrongEchoOrAMissingAAEndWritten)
{
    const struct Case {
        const char* name;
        sim::BootFaults faults;
    } cases[] = {
        {"wrong echo of byte 100", {.wrongEchoAt = 100, .rounds = 1}},
        {"no AA after the boot program", {.noStartAck = true, .rounds = 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sim::RadioSimulator radio;
        radio.SetBootMode(true);
        radio.SetBootBehaviour({.rate = 19200, .cpu = sim::BootCpu::HD64F2134FA20});
        radio.SetBootFaults(c.faults);
        ASSERT_TRUE(radio.Start());
        std::mt19937 rng(3);
        File(Records(0x0000, 0x0080, rng), fw::TCpuType::HD64F2134FA20);
        TProgramState state;
        TFirmwareWriter writer(state);
        writer.SetDevicePath(radio.DevicePath());
        std::vector<bool> bars;
        QObject::connect(&writer, &TFirmwareWriter::BarsVisible, [&](bool v) { bars.push_back(v); });
        m_prompt.shown.clear();
        EXPECT_TRUE(writer.Run(m_job)) << writer.Result().detail;
        EXPECT_EQ(radio.GetBootLog().rounds, 2);
        EXPECT_EQ(m_prompt.texts(), std::vector<std::string>{kFswOkQuestion});   // no "Problem on COM port"
        // Hidden after the broken round, shown again, hidden at the end.
        if (c.faults.wrongEchoAt >= 0) {
            EXPECT_EQ(bars, (std::vector<bool>{true, false, true, false}));
        }
        radio.Stop();
    }
}

TEST_F(FirmwareWriter, FailuresShowTheNoAcknowledgementTextAndAskAboutTheComPort)
{
    const struct Case {
        const char* name;
        sim::BootFaults faults;
        const char* detail;
    } cases[] = {
        {"bit rate refused", {.refuseBitRate = true}, "refused the bit-rate command"},
        {"bad final answer", {.badFinalAnswer = true}, "did not acknowledge"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sim::RadioSimulator radio;
        radio.SetBootMode(true);
        radio.SetBootBehaviour({.rate = 19200, .cpu = sim::BootCpu::HD64F2134ATF20});
        radio.SetBootFaults(c.faults);
        ASSERT_TRUE(radio.Start());
        std::mt19937 rng(4);
        File(Records(0x0000, 0x0100, rng), fw::TCpuType::HD64F2134ATF20);
        TProgramState state;
        TFirmwareWriter writer(state);
        writer.SetDevicePath(radio.DevicePath());
        std::vector<TLamp> lamps;
        std::string status;
        QObject::connect(&writer, &TFirmwareWriter::LampChanged, [&](TLamp l) { lamps.push_back(l); });
        QObject::connect(&writer, &TFirmwareWriter::StatusChanged, [&](const std::string& t) {
            if (t != kFswNowWriting)
                status = t;
        });
        m_prompt.shown.clear();
        m_prompt.answers = {PromptAnswer::Ok, PromptAnswer::Cancel};   // one retry, then give up
        EXPECT_FALSE(writer.Run(m_job));
        EXPECT_EQ(writer.Result().outcome, TFirmwareOutcome::Failed);
        EXPECT_EQ(status, kFswNoAcknowledgement);
        ASSERT_EQ(m_prompt.shown.size(), 2u);
        for (const auto& shown : m_prompt.shown) {
            EXPECT_EQ(shown.text, kFswProblemOnComPort);
            EXPECT_EQ(shown.buttons, PromptButtons::OkCancel);
            EXPECT_NE(shown.detail.find(c.detail), std::string::npos) << shown.detail;
        }
        EXPECT_EQ(radio.GetBootLog().rounds, 2);
        EXPECT_EQ(lamps, (std::vector<TLamp>{TLamp::Red, TLamp::Yellow, TLamp::Red, TLamp::Yellow, TLamp::Green}));
        radio.Stop();
    }
}

TEST_F(FirmwareWriter, PortThatCannotBeOpenedAsksEachRoundWithTheReason)
{
    std::mt19937 rng(8);
    File(Records(0x0000, 0x0100, rng), fw::TCpuType::HD64F2134ATF20);
    m_writer.SetDevicePath((m_dir / "no-such-port").string());
    m_prompt.answers = {PromptAnswer::Ok, PromptAnswer::Ok, PromptAnswer::Cancel};
    EXPECT_FALSE(m_writer.Run(m_job));
    EXPECT_EQ(m_writer.Result().outcome, TFirmwareOutcome::Failed);
    ASSERT_EQ(m_prompt.shown.size(), 3u);
    for (const auto& shown : m_prompt.shown) {
        EXPECT_EQ(shown.text, kFswProblemOnComPort);
        EXPECT_NE(shown.detail.find("Cannot open"), std::string::npos) << shown.detail;
    }
}

TEST_F(FirmwareWriter, CancelDuringTheHandshakeEndsGreenWithoutADialog)
{
    std::mt19937 rng(5);
    File(Records(0x0000, 0x0100, rng), fw::TCpuType::HD64F2134ATF20);
    StartRadio(sim::BootCpu::HD64F2134ATF20, 9600, {.silent = true});
    QTimer::singleShot(300, &m_writer, [this] { m_writer.Cancel(); });
    EXPECT_FALSE(Run());
    EXPECT_EQ(m_writer.Result().outcome, TFirmwareOutcome::Cancelled);
    EXPECT_EQ(m_lamps.back(), TLamp::Green);
    EXPECT_TRUE(m_prompt.shown.empty());
    EXPECT_FALSE(m_writer.CommX().IsOpen());
}

TEST_F(FirmwareWriter, FileThatCannotBeWrittenWholeNeverReachesTheRadio)
{
    std::mt19937 rng(6);
    File(Records(0x0000, 0x0100, rng) + Record(1, 0x0200, {1, 2, 3}).substr(0, 12) + "\r\n",
         fw::TCpuType::HD64F2134ATF20);
    StartRadio(sim::BootCpu::HD64F2134ATF20, 19200);
    EXPECT_FALSE(Run());
    EXPECT_EQ(m_writer.Result().outcome, TFirmwareOutcome::Refused);
    ASSERT_EQ(m_prompt.texts(), std::vector<std::string>{fw::kFileRefused});
    EXPECT_NE(m_prompt.shown[0].detail.find("line 11: "), std::string::npos) << m_prompt.shown[0].detail;
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(m_radio.BytesReceived(), 0u);

    m_job.bootProgram.pop_back();
    EXPECT_FALSE(m_writer.Run(m_job));
    EXPECT_EQ(m_writer.Result().outcome, TFirmwareOutcome::Refused);
    EXPECT_EQ(m_radio.BytesReceived(), 0u);
}

TEST_F(FirmwareWriter, FlashThatDiffersAfterWritingGivesTheWarningVerdict)
{
    std::mt19937 rng(7);
    File(Records(0x0000, 0x0400, rng), fw::TCpuType::HD64F2134ATF20);
    StartRadio(sim::BootCpu::HD64F2134ATF20, 19200, {.corruptBlock = 3});
    EXPECT_FALSE(Run());
    const TFirmwareResult& r = m_writer.Result();
    EXPECT_TRUE(r.finalAck);
    EXPECT_TRUE(r.checksumRead);
    EXPECT_FALSE(r.checksumMatch);
    EXPECT_EQ(r.outcome, TFirmwareOutcome::Failed);
    EXPECT_NE(m_status.find(fw::kVerdictMismatch), std::string::npos);
}

}  // namespace
