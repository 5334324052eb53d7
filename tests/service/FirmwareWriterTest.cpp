// The writing procedure over a real serial component and pseudo-terminal against the
// simulator's boot mode: the flash the radio is left with, the rounds it went through, the
// lamps, texts and boxes the window would show, and the failures of every step.

#include "FirmwareTestFiles.h"
#include "platform/SerialDevicePosix.h"
#include "service/FirmwareSupply.h"
#include "service/RadioFSW.h"
#include "RadioSimulator.h"
#include "ScriptedPrompt.h"

#include <gtest/gtest.h>

#include <QTimer>

namespace sim = mv53::radiosim;

// The write commands the radio logged, compared whole.
namespace mv53::radiosim {
bool operator==(const BootLog::Area& a, const BootLog::Area& b)
{ return a.start == b.start && a.length == b.length && a.finished == b.finished; }
}  // namespace mv53::radiosim
using namespace mv53;
using namespace std::chrono_literals;

namespace {

// A radio in boot mode and a writer on its port, with the lamps, bars and last text it showed.
struct Session {
    sim::RadioSimulator radio;
    TProgramState state;
    TFirmwareWriter writer{state};
    std::vector<TLamp> lamps;
    std::vector<bool> bars;
    std::string status;
    int bootMax = -1;

    Session(sim::BootCpu cpu, unsigned rate, sim::BootFaults faults = {})
    {
        radio.SetBootMode(true);
        radio.SetBootBehaviour({.rate = rate, .cpu = cpu, .flashFill = 0x3C});
        radio.SetBootFaults(faults);
        EXPECT_TRUE(radio.Start()) << radio.LastError();
        writer.SetDevicePath(radio.DevicePath());
        QObject::connect(&writer, &TFirmwareWriter::LampChanged, [this](TLamp lamp) { lamps.push_back(lamp); });
        QObject::connect(&writer, &TFirmwareWriter::StatusChanged, [this](const std::string& t) {
            if (t != kFswNowWriting)
                status = t;
            // The technician follows the text: the radio is switched off and on in boot mode.
            if (t == kFswNoAcknowledgement)
                radio.PowerCycle();
        });
        QObject::connect(&writer, &TFirmwareWriter::BarsVisible, [this](bool v) { bars.push_back(v); });
        QObject::connect(&writer, &TFirmwareWriter::BootProgress, [this](int p) { bootMax = std::max(bootMax, p); });
    }
};

class FirmwareWriter : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_job.bootProgram.resize(fw::kBootProgramSize);
        for (std::size_t i = 0; i < m_job.bootProgram.size(); ++i)
            m_job.bootProgram[i] = static_cast<fw::Byte>(i * 31 + 7);
    }
    // Records of 32 random bytes covering [from, to).
    std::string Records(std::uint32_t from, std::uint32_t to)
    {
        std::string text;
        for (std::uint32_t a = from; a < to; a += 32) {
            std::vector<fw::Byte> data(std::min<std::uint32_t>(32, to - a));
            for (auto& b : data)
                b = static_cast<fw::Byte>(m_rng());
            text += test::Record(2, a, data) + "\r\n";
        }
        return text;
    }
    void File(const std::string& body, fw::TCpuType cpu = fw::TCpuType::HD64F2134ATF20)
    {
        m_job.filePath = m_dir.Write("KT468TST_V0100.SFL", "Test firmware\r\nS0030000FC\r\n" + body + "S9030000FC\r\n");
        m_job.cpu = cpu;
    }
    // The answers to the next boxes, none shown yet.
    void Answers(std::deque<PromptAnswer> answers) { m_prompt.shown.clear(); m_prompt.answers = std::move(answers); }
    // Runs the job: what it returns and the outcome agree on success.
    TFirmwareOutcome Run(TFirmwareWriter& writer)
    {
        const bool succeeded = writer.Run(m_job);
        EXPECT_EQ(succeeded, writer.Result().outcome == TFirmwareOutcome::Success) << writer.Result().detail;
        return writer.Result().outcome;
    }
    // The radio's flash holds the file's bytes in every written area and 0xFF elsewhere.
    void ExpectFlashWritten(const sim::RadioSimulator& radio)
    {
        fw::TFirmwareImage image;
        fw::TReadError error;
        ASSERT_TRUE(fw::ReadFirmwareFile(m_job.filePath, m_job.cpu, nullptr, image, error));
        const auto flash = radio.Flash();
        std::vector<bool> written(flash.size(), false);
        for (const auto& area : image.areas)
            for (std::uint32_t a = area.start; area.used && a < area.start + area.length; ++a)
                written[a] = true;
        std::size_t wrong = 0;
        for (std::size_t a = 0; a < flash.size(); ++a)
            wrong += flash[a] != (written[a] ? image.bytes[a] : 0xFF);
        EXPECT_EQ(wrong, 0u);
    }

    test::ScratchDir m_dir;
    std::mt19937 m_rng{1};
    test::ScriptedPrompt m_prompt;
    ScopedPrompt m_scoped{m_prompt};
    TFirmwareJob m_job;
};

TEST_F(FirmwareWriter, WritesATF20RadioFoundAt9600AfterThe19200Window)
{
    File(Records(0x0000, 0x0900) + Records(0x1F000, 0x1F040));
    Session s(sim::BootCpu::HD64F2134ATF20, 9600);
    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(Run(s.writer), TFirmwareOutcome::Success);
    EXPECT_GE(std::chrono::steady_clock::now() - started, 2s);   // the 19200 window ran out first

    const TFirmwareResult& r = s.writer.Result();
    EXPECT_TRUE(r.checksumMatch);
    EXPECT_EQ(s.status, r.pcText + r.cpuText + "\r\n" + r.verdict + kFswCompleted);
    EXPECT_EQ(s.status.rfind("CHECKSUM\r\n        ", 0), 0u);
    EXPECT_EQ(r.pcText.substr(18), r.cpuText.substr(10, 8) + " (PC)");
    EXPECT_EQ(m_prompt.texts(), std::vector<std::string>{kFswOkQuestion});
    EXPECT_EQ(s.lamps, (std::vector<TLamp>{TLamp::Red, TLamp::Green}));
    EXPECT_EQ(s.bars, (std::vector<bool>{true, false}));
    EXPECT_EQ(s.bootMax, 2141);

    const sim::BootLog log = s.radio.GetBootLog();
    EXPECT_EQ(log.rounds, 1);
    EXPECT_EQ(log.program, m_job.bootProgram);
    // One area, up to the block of the highest byte.
    EXPECT_EQ(log.areas, (std::vector<sim::BootLog::Area>{{0, 0x1F080, true}}));
    EXPECT_EQ(log.rate, 38400u);
    ExpectFlashWritten(s.radio);
}

TEST_F(FirmwareWriter, WritesFA20AreasWithRecordsOnlyAndJudgesTheFlashSum)
{
    // Areas 0, 2 and 4 hold records; a record at 0x9000 lies outside every area.
    File(Records(0x0000, 0x0100) + Records(0x1000, 0x1400) + Records(0x9000, 0x9020) + Records(0xE000, 0xE0C0),
         fw::TCpuType::HD64F2134FA20);
    Session s(sim::BootCpu::HD64F2134FA20, 19200);
    m_prompt.answers = {PromptAnswer::Yes};
    ASSERT_EQ(Run(s.writer), TFirmwareOutcome::Success);
    EXPECT_EQ(m_prompt.texts(), (std::vector<std::string>{kFswUnwrittenQuestion, kFswOkQuestion}));

    const TFirmwareResult& r = s.writer.Result();
    // The PC checksum counts the record at 0x9000, the radio cannot: the verdict compares
    // with what the flash should hold, and says why the PC sum differs.
    EXPECT_NE(r.pcText.substr(18, 8), r.cpuText.substr(10, 8));
    EXPECT_TRUE(r.checksumMatch);
    EXPECT_NE(r.verdict.find("(The PC sum " + r.pcText.substr(18, 8)), std::string::npos) << r.verdict;
    const sim::BootLog log = s.radio.GetBootLog();
    EXPECT_EQ(log.areas, (std::vector<sim::BootLog::Area>{{0x0000, 0x100, true}, {0x1000, 0x400, true}, {0xE000, 0xC0, true}}));
    EXPECT_EQ(log.rate, 9600u);
    ExpectFlashWritten(s.radio);
}

// The simulator keeps its state across the port's close, as the radio does: only a restart of
// the radio, which the failure step asks for, lets the next round write.
TEST_F(FirmwareWriter, BrokenBootProgramLoadAsksToRestartTheRadioThenWrites)
{
    const std::tuple<const char*, sim::BootFaults, const char*> cases[] = {
        {"wrong echo of byte 100", {.wrongEchoAt = 100, .rounds = 1}, "byte 101 of 2142 came back as "},
        {"no AA after the boot program", {.noStartAck = true, .rounds = 1}, "no AA after its last byte"},
    };
    File(Records(0x0000, 0x0080), fw::TCpuType::HD64F2134FA20);
    for (const auto& [name, faults, part] : cases) {
        SCOPED_TRACE(name);
        Session s(sim::BootCpu::HD64F2134FA20, 19200, faults);
        Answers({PromptAnswer::Ok});
        EXPECT_EQ(Run(s.writer), TFirmwareOutcome::Success);
        EXPECT_EQ(s.radio.GetBootLog().rounds, 2);
        ASSERT_EQ(m_prompt.texts(), (std::vector<std::string>{kFswProblemOnComPort, kFswOkQuestion}));
        EXPECT_NE(m_prompt.shown[0].detail.find(part), std::string::npos) << m_prompt.shown[0].detail;
        if (faults.wrongEchoAt >= 0) {
            EXPECT_EQ(s.bars, (std::vector<bool>{true, false, true, false}));
        }
        ExpectFlashWritten(s.radio);
    }
}

TEST_F(FirmwareWriter, FailuresShowTheNoAcknowledgementTextAndAskAboutTheComPort)
{
    const std::tuple<const char*, sim::BootCpu, sim::BootFaults, const char*> cases[] = {
        {"bit rate refused", sim::BootCpu::HD64F2134ATF20, {.refuseBitRate = true}, "refused the bit-rate command"},
        {"bad final answer", sim::BootCpu::HD64F2134ATF20, {.badFinalAnswer = true}, "did not acknowledge"},
        {"FA20 area 2 refused", sim::BootCpu::HD64F2134FA20, {.refuseWrite = 1},
         "did not accept the write command for area 2"},
    };
    const std::string records = Records(0x0000, 0x0100) + Records(0x1000, 0x1100);
    for (const auto& [name, cpu, faults, part] : cases) {
        SCOPED_TRACE(name);
        File(records, cpu == sim::BootCpu::HD64F2134ATF20 ? fw::TCpuType::HD64F2134ATF20 : fw::TCpuType::HD64F2134FA20);
        Session s(cpu, 19200, faults);
        Answers({PromptAnswer::Ok, PromptAnswer::Cancel});   // one retry, then give up
        EXPECT_EQ(Run(s.writer), TFirmwareOutcome::Failed);
        ASSERT_EQ(m_prompt.texts(), std::vector<std::string>(2, kFswProblemOnComPort));
        for (const auto& shown : m_prompt.shown) {
            EXPECT_EQ(shown.buttons, PromptButtons::OkCancel);
            EXPECT_NE(shown.detail.find(part), std::string::npos) << shown.detail;
            EXPECT_NE(shown.detail.find(kFswRestartRadio), std::string::npos) << shown.detail;
        }
        // Given up with the boot program loaded: the firmware must be written again.
        EXPECT_EQ(s.status, std::string(kFswNoAcknowledgement) + "\r\n" + kFswFirmwareIncomplete);
        EXPECT_EQ(s.radio.GetBootLog().rounds, 2);
        EXPECT_EQ(s.lamps, (std::vector<TLamp>{TLamp::Red, TLamp::Yellow, TLamp::Red, TLamp::Yellow, TLamp::Green}));
    }
}

// Every step of a round that the radio can leave unfinished names that step; once the radio
// entered its boot mode the detail asks for a restart, once the boot program ran the firmware
// is called incomplete.
TEST_F(FirmwareWriter, EachStepThatFailsIsNamedInTheDetail)
{
    // hangUpAfter: bytes the radio sends before it vanishes; -1: never
    const std::tuple<const char*, sim::BootFaults, long long, const char*, bool, bool> cases[] = {
        {"silent boot mode", {.silent = true}, -1,
         "did not answer the bit-rate synchronisation at 19200, 9600, 4800 or 2400 bit/s.", false, false},
        {"no AA to 55", {.noEnterAck = true}, -1, "did not answer 55 with AA", false, false},
        {"length not echoed", {.noLengthEcho = true}, -1, "did not echo the boot program's length 08 5E.", true, false},
        {"byte not echoed", {.noEchoAt = 100}, -1, "byte 101 of 2142 was not echoed.", true, false},
        {"vanished in the boot program", {}, 1000, "disappeared.", true, false},
        {"one-area write refused", {.refuseWrite = 0}, -1, "did not accept the write command.", true, true},
        {"no request for the third block", {.lastBlockAsked = 1}, -1, "did not ask for the block at 0x00100.", true, true},
    };
    File(Records(0x0000, 0x0400));
    for (const auto& [name, faults, hangUpAfter, part, entered, loaded] : cases) {
        SCOPED_TRACE(name);
        Session s(sim::BootCpu::HD64F2134ATF20, 19200, faults);
        sim::Faults vanish;
        vanish.hangUpAfterBytes = hangUpAfter;
        s.radio.SetFaults(vanish);
        Answers({PromptAnswer::Cancel});
        EXPECT_EQ(Run(s.writer), TFirmwareOutcome::Failed);
        ASSERT_EQ(m_prompt.texts(), std::vector<std::string>{kFswProblemOnComPort});
        const std::string& detail = m_prompt.shown[0].detail;
        EXPECT_NE(detail.find(part), std::string::npos) << detail;
        EXPECT_EQ(detail.find(kFswRestartRadio) != std::string::npos, entered) << detail;
        EXPECT_EQ(s.status.find(kFswFirmwareIncomplete) != std::string::npos, loaded) << s.status;
        EXPECT_FALSE(s.writer.CommX().IsOpen());
    }
}

TEST_F(FirmwareWriter, PortThatCannotBeOpenedAsksEachRoundWithTheReason)
{
    File(Records(0x0000, 0x0100));
    TProgramState state;
    TFirmwareWriter writer(state);
    writer.SetDevicePath(m_dir.Path("no-such-port"));
    m_prompt.answers = {PromptAnswer::Ok, PromptAnswer::Ok, PromptAnswer::Cancel};
    EXPECT_EQ(Run(writer), TFirmwareOutcome::Failed);
    ASSERT_EQ(m_prompt.texts(), std::vector<std::string>(3, kFswProblemOnComPort));
    for (const auto& shown : m_prompt.shown)
        EXPECT_NE(shown.detail.find("Cannot open"), std::string::npos) << shown.detail;
}

// The platform's device, refusing one bit rate as some adapters do, or whose driver throws.
class RateRefusingDevice final : public platform::SerialDevicePosix {
public:
    explicit RateRefusingDevice(bool throws) : m_throws(throws) {}
    int SetLineSettings(const platform::LineSettings& line) override
    {
        if (line.baudRate == 9600 && m_throws && !std::exchange(m_thrown, true))
            throw std::runtime_error("driver fault");
        return line.baudRate == 9600 && !m_throws ? EINVAL : SerialDevicePosix::SetLineSettings(line);
    }

private:
    const bool m_throws;
    bool m_thrown = false;   // once: closing restores the settings at 9600
};

TEST_F(FirmwareWriter, PortThatRefusesABitRateEndsInTheFailureStepWithTheReason)
{
    File(Records(0x0000, 0x0100));
    for (const bool throws : {false, true}) {
        SCOPED_TRACE(throws ? "throws" : "refuses");
        Session s(sim::BootCpu::HD64F2134ATF20, 4800);   // 9600 is tried after the 19200 window
        s.writer.CommX().SetDeviceMaker([throws] { return std::make_unique<RateRefusingDevice>(throws); });
        m_prompt.shown.clear();
        EXPECT_EQ(Run(s.writer), TFirmwareOutcome::Failed);
        ASSERT_EQ(m_prompt.texts(), std::vector<std::string>{kFswProblemOnComPort});
        EXPECT_NE(m_prompt.shown[0].detail.find(throws ? "Unexpected failure: driver fault" : kCommBitRateError),
                  std::string::npos) << m_prompt.shown[0].detail;
        EXPECT_EQ(s.status, kFswNoAcknowledgement);
        EXPECT_FALSE(s.writer.CommX().IsOpen());
    }
}

TEST_F(FirmwareWriter, CancelEndsGreenWithoutADialogAndSaysWhenTheFirmwareIsIncomplete)
{
    File(Records(0x0000, 0x0800));
    for (const bool duringWrite : {false, true}) {
        SCOPED_TRACE(duringWrite ? "write phase" : "handshake");
        Session s(sim::BootCpu::HD64F2134ATF20, 19200, {.silent = !duringWrite});
        if (duringWrite)
            QObject::connect(&s.writer, &TFirmwareWriter::WriteProgress, [&s](int block) {
                if (block == 3)
                    s.writer.Cancel();
            });
        else
            QTimer::singleShot(300, &s.writer, [&s] { s.writer.Cancel(); });
        EXPECT_EQ(Run(s.writer), TFirmwareOutcome::Cancelled);
        EXPECT_EQ(s.lamps.back(), TLamp::Green);
        EXPECT_TRUE(s.bars.empty() || !s.bars.back());
        EXPECT_EQ(s.status, CancelledText(duringWrite));
        EXPECT_TRUE(m_prompt.shown.empty());
        EXPECT_FALSE(s.writer.CommX().IsOpen());
        EXPECT_EQ(s.radio.GetBootLog().areas.size(), duringWrite ? 1u : 0u);   // and not finished
    }
}

TEST_F(FirmwareWriter, FileThatCannotBeWrittenWholeNeverReachesTheRadio)
{
    File(Records(0x0000, 0x0100) + test::Record(1, 0x0200, {1, 2, 3}).substr(0, 12) + "\r\n");
    Session s(sim::BootCpu::HD64F2134ATF20, 19200);
    EXPECT_EQ(Run(s.writer), TFirmwareOutcome::Refused);
    ASSERT_EQ(m_prompt.texts(), std::vector<std::string>{fw::kFileRefused});
    EXPECT_NE(m_prompt.shown[0].detail.find("line 11: "), std::string::npos) << m_prompt.shown[0].detail;
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(s.radio.BytesReceived(), 0u);

    m_job.bootProgram.pop_back();
    EXPECT_EQ(Run(s.writer), TFirmwareOutcome::Refused);
    EXPECT_EQ(s.radio.BytesReceived(), 0u);
}

TEST_F(FirmwareWriter, UnconfirmedWritesGiveTheirVerdictBeforeTheCompletionTextAndNoGreenLamp)
{
    const std::tuple<const char*, sim::BootFaults, const char*> cases[] = {
        {"a block stored damaged", {.corruptBlock = 3}, fw::kVerdictMismatch},
        {"no answer to C", {.noChecksum = true}, fw::kVerdictNoChecksum},
    };
    File(Records(0x0000, 0x0400));
    for (const auto& [name, faults, verdict] : cases) {
        SCOPED_TRACE(name);
        Session s(sim::BootCpu::HD64F2134ATF20, 19200, faults);
        EXPECT_EQ(Run(s.writer), TFirmwareOutcome::Failed);
        const TFirmwareResult& r = s.writer.Result();
        EXPECT_EQ(r.verdict.rfind(verdict, 0), 0u) << r.verdict;
        EXPECT_EQ(s.status, r.pcText + r.cpuText + "\r\n" + r.verdict + kFswCompleted);
        EXPECT_EQ(s.lamps.back(), TLamp::Yellow);
    }
}

}  // namespace
