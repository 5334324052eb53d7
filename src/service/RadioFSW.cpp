#include "service/RadioFSW.h"

#include "link/RadioPort.h"
#include "model/Prompt.h"
#include "service/BootProtocol.h"
#include "service/FirmwareSupply.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>

namespace mv53 {

using namespace fw;
using namespace fw::boot;

namespace {

template <std::size_t N>
std::vector<Byte> Bytes(const std::array<Byte, N>& bytes)
{
    return {bytes.begin(), bytes.end()};
}

// "08 5E"
template <std::size_t N>
std::string HexBytes(const std::array<Byte, N>& bytes)
{
    std::string text;
    for (const Byte b : bytes) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02X", static_cast<unsigned>(b));
        text += (text.empty() ? "" : " ") + std::string(hex);
    }
    return text;
}

// "19200, 9600, 4800 or 2400"
std::string SyncRatesText()
{
    std::string text;
    for (std::size_t i = 0; i < kSyncRates.size(); ++i)
        text += (i == 0 ? "" : i + 1 == kSyncRates.size() ? " or " : ", ") + std::to_string(kSyncRates[i]);
    return text;
}

void PutBigEndian(std::vector<Byte>& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<Byte>(value >> shift));
}

}  // namespace

TFirmwareWriter::TFirmwareWriter(TProgramState& state, QObject* parent)
    : QObject(parent), m_state(state), m_rx(state)
{
    m_rx.Attach(m_comm);
    m_window.setSingleShot(true);
    m_window.setTimerType(Qt::PreciseTimer);
    connect(&m_window, &QTimer::timeout, this, [this] { m_windowEnded = true; });
    m_askRetry = [this](const std::string& detail) {
        if (m_retryPlace)
            Prompt().PlaceNextMessage(m_retryPlace->first, m_retryPlace->second);
        return Prompt().Message(kFswProblemOnComPort, PromptIcon::Error, PromptButtons::OkCancel, detail) ==
               PromptAnswer::Ok;
    };
    m_confirm = [] { Prompt().Message(kFswOkQuestion, PromptIcon::Confirmation, PromptButtons::Ok, {}); };
    m_askUnwritten = [](const std::vector<std::string>& warnings) {
        std::string detail;
        for (const std::string& line : warnings)
            detail += (detail.empty() ? "" : "\r\n") + line;
        return Prompt().Message(kFswUnwrittenQuestion, PromptIcon::Warning, PromptButtons::YesNo, detail) ==
               PromptAnswer::Yes;
    };
}

TFirmwareWriter::~TFirmwareWriter() { ClosePort(); }

std::string TFirmwareWriter::PortText() const
{
    return RadioPortText(m_comm, m_devicePath);
}

void TFirmwareWriter::Fail(std::string detail)
{
    if (m_result.detail.empty())
        m_result.detail = std::move(detail);
}

bool TFirmwareWriter::OpenPort(int bitRate)
{
    if (std::string failure = OpenRadioPort(m_comm, m_state, m_devicePath, BootLine(bitRate)); !failure.empty()) {
        Fail(std::move(failure));
        return false;
    }
    m_rx.ClearHangUp();
    return true;
}

void TFirmwareWriter::ClosePort()
{
    m_rx.StopTimeout();
    m_window.stop();
    if (m_comm.IsOpen())
        m_comm.Close();
}

bool TFirmwareWriter::Send(const std::vector<Byte>& bytes)
{
    if (!m_comm.Write(bytes.data(), static_cast<int>(bytes.size()))) {
        Fail("The port " + PortText() + " no longer accepts data.");
        return false;
    }
    return true;
}

bool TFirmwareWriter::Exchange(const std::vector<Byte>& bytes, int n)
{
    m_rx.ResetCount();
    if (!Send(bytes))
        return false;
    m_rx.StartTimeout();
    if (m_rx.Wait(n))
        return true;
    if (m_rx.HungUp())
        Fail("The device " + PortText() + " disappeared.");
    return false;
}

TEchoEnd TFirmwareWriter::SendBootProgram(const std::vector<Byte>& program)
{
    if (m_stop)
        return TEchoEnd::Stopped;
    // The port's receive thread sends each byte and checks its echo: a byte costs no trip
    // through this thread, which only shows the progress now and then.
    QEventLoop loop;
    QTimer tick;
    int shown = 0;
    const auto show = [&] {
        const int echoed = m_comm.EchoedCount();
        if (echoed > shown) {
            shown = echoed;
            Q_EMIT BootProgress(echoed - 1);
        }
        if (!m_comm.IsOpen())
            loop.quit();
    };
    connect(&tick, &QTimer::timeout, &loop, show);
    connect(&m_comm, &TCustomCommX::OnEchoEnd, &loop, &QEventLoop::quit);
    if (!m_comm.StartEchoed(program, TRadioReceiver::kSilenceMs))
        return TEchoEnd::LineFailed;
    tick.start(kProgressTickMs);
    loop.exec();
    tick.stop();
    show();
    const TEchoResult result = m_comm.EchoResult();
    if (m_comm.EchoRunning()) {
        m_comm.StopEchoed();
        return TEchoEnd::Stopped;
    }
    if (result.end == TEchoEnd::HungUp)
        Fail("The device " + PortText() + " disappeared.");
    return m_stop ? TEchoEnd::Stopped : result.end;
}

bool TFirmwareWriter::Handshake()
{
    if (!OpenPort(kSyncRates[0]))
        return false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(m_handshakeLimitMs);
    const auto late = [&] { return m_handshakeLimitMs > 0 && std::chrono::steady_clock::now() >= deadline; };
    const std::string noRadio = m_handshakeLimitMs > 0
        ? "No radio in boot mode answered on " + PortText() + "."
        : "The radio did not answer the bit-rate synchronisation at " + SyncRatesText() + " bit/s.";
    bool found = false;
    do {
        for (const int rate : kSyncRates) {
            m_comm.SetBitRate(rate);
            m_windowEnded = false;
            m_window.start(kHandshakeWindowMs);
            while (!m_windowEnded && !found) {
                const bool answered = Exchange(std::vector<Byte>(kSyncBurst, kSync), 1);
                if (m_stop || m_rx.HungUp() || !m_result.detail.empty() || late()) {
                    Fail(m_stop ? "Cancelled." : m_rx.HungUp() ? "The device " + PortText() + " disappeared." : noRadio);
                    ClosePort();
                    return false;
                }
                if (!answered && Count() == 0)
                    continue;
                // The radio answers at this rate: go on here until it sends 00.
                m_window.stop();
                found = At(0) == kSync;
            }
            if (found)
                break;
        }
    } while (!found && m_handshakeLimitMs > 0 && !late());
    if (!found) {
        Fail(noRadio);
        ClosePort();
        return false;
    }
    m_rx.ResetCount();
    if (!Send({kEnter})) {
        ClosePort();
        return false;
    }
    m_rx.Sleep(kEntryPauseMs);
    m_rx.StartTimeout();
    const bool answered = m_rx.Wait(1);
    if (!answered || m_stop || Count() != 1 || At(0) != kEntered) {
        Fail(m_stop ? "Cancelled." : "The radio did not answer 55 with AA to enter its boot mode.");
        ClosePort();
        return false;
    }
    return true;
}

std::string CancelledText(bool bootLoaded)
{
    return bootLoaded ? std::string(kFswCancelled) + "\r\n" + kFswFirmwareIncomplete : std::string(kFswCancelled);
}

bool TFirmwareWriter::Run(const TFirmwareJob& job)
{
    m_stop = false;
    m_result = {};
    m_acceptedWarnings.clear();
    Q_EMIT StatusChanged(kFswNowWriting);
    if (job.bootProgram.size() != kBootProgramSize) {
        m_result.outcome = TFirmwareOutcome::Refused;
        m_result.detail = "The boot program must hold exactly " + std::to_string(kBootProgramSize) + " bytes.";
        return false;
    }
    while (!m_stop) {
        m_result.detail.clear();
        m_entered = false;
        Round round = Round::Failure;
        // Whatever breaks inside a round (a port that refuses a setting raises ECommError) ends
        // in the failure step with its reason: the radio may be in boot mode, the port is closed.
        try {
            round = RunRound(job);
        } catch (const ECommError& e) {
            Fail("The port " + PortText() + " failed: " + e.what() + (e.Detail().empty() ? "" : " (" + e.Detail() + ")"));
        } catch (const std::exception& e) {
            Fail(std::string("Unexpected failure: ") + e.what());
        }
        if (round == Round::Success)
            return m_result.outcome == TFirmwareOutcome::Success;
        if (m_result.outcome == TFirmwareOutcome::Refused || !FailureStep())
            return false;
    }
    if (m_result.outcome == TFirmwareOutcome::NotRun)
        m_result.outcome = TFirmwareOutcome::Cancelled;
    return false;
}

void TFirmwareWriter::Finish(TLamp lamp, const std::string& status)
{
    SetLamp(lamp);
    if (!status.empty())
        Q_EMIT StatusChanged(status);
    Q_EMIT CloseRequested();
}

bool TFirmwareWriter::FailureStep()
{
    ClosePort();
    Q_EMIT BarsVisible(false);
    if (m_stop) {
        m_result.outcome = TFirmwareOutcome::Cancelled;
        Finish(TLamp::Green, CancelledText(m_result.bootLoaded));
        return false;
    }
    if (m_entered)
        m_result.detail += std::string(m_result.detail.empty() ? "" : " ") + kFswRestartRadio;
    SetLamp(TLamp::Yellow);
    Q_EMIT StatusChanged(kFswNoAcknowledgement);
    if (!m_askRetry(m_result.detail)) {
        m_stop = true;
        m_result.outcome = TFirmwareOutcome::Failed;
        Finish(TLamp::Green, m_result.bootLoaded ? std::string(kFswNoAcknowledgement) + "\r\n" + kFswFirmwareIncomplete
                                                 : std::string());
        return false;
    }
    Q_EMIT StatusChanged(kFswNowWriting);
    return true;
}

bool TFirmwareWriter::CheckFile(const TFirmwareJob& job)
{
    // The whole file is read and checked before the radio is touched.
    TReadError readError;
    if (!ReadFirmwareFile(job.filePath, job.cpu, job.key ? &*job.key : nullptr, m_image, readError)) {
        m_result.outcome = TFirmwareOutcome::Refused;
        m_result.detail = job.filePath + ": " + readError.Text();
        SetLamp(TLamp::Yellow);
        ShowError(kFileRefused, m_result.detail);
        return false;
    }
    const std::vector<std::string> warnings = UnwrittenWarnings(m_image);
    if (warnings.empty() || warnings == m_acceptedWarnings)
        return true;
    if (!m_askUnwritten(warnings)) {
        m_result.outcome = TFirmwareOutcome::Refused;
        m_result.detail = warnings.front();
        Finish(TLamp::Green, kFswCancelled);
        return false;
    }
    m_acceptedWarnings = warnings;
    return true;
}

bool TFirmwareWriter::StartBootProgram(const std::vector<Byte>& program)
{
    const int last = static_cast<int>(kBootProgramSize) - 1;
    Q_EMIT BootRange(last);
    Q_EMIT WriteRange(last);
    Q_EMIT BootProgress(0);
    Q_EMIT WriteProgress(0);
    Q_EMIT BarsVisible(true);
    m_rx.ResetCount();
    const TEchoEnd loaded = SendBootProgram(program);
    if (loaded != TEchoEnd::Echoed) {
        const TEchoResult echo = m_comm.EchoResult();
        const std::string at = "byte " + std::to_string(echo.echoed + 1) + " of " + std::to_string(program.size());
        if (m_stop) {
            Fail("Cancelled.");
        } else if (loaded == TEchoEnd::WrongEcho) {
            char got[8];
            std::snprintf(got, sizeof got, "%02X", static_cast<unsigned>(echo.wrongByte & 0xFF));
            Fail("The boot program did not arrive whole: " + at + " came back as " + got + ".");
        } else {
            Fail("The boot program did not arrive whole: " + at + " was not echoed.");
        }
        return false;
    }
    // The boot program runs: AA follows the last echo.
    m_rx.StartTimeout();
    if (!m_rx.Wait(1) || At(std::min(Count(), TReceiveBuffer::kSize) - 1) != kEntered) {
        Fail("The boot program did not report that it runs (no AA after its last byte).");
        return false;
    }
    m_result.bootLoaded = true;
    return true;
}

TFirmwareWriter::Round TFirmwareWriter::RunRound(const TFirmwareJob& job)
{
    if (!CheckFile(job))
        return Round::Failure;
    SetLamp(TLamp::Red);
    if (!Handshake())
        return Round::Failure;
    m_entered = true;

    // Boot program length, echoed.
    const int lengthSize = static_cast<int>(kBootLength.size());
    if (!Exchange(Bytes(kBootLength), lengthSize) || Count() != lengthSize || At(0) != kBootLength[0] ||
        At(1) != kBootLength[1]) {
        Fail("The radio did not echo the boot program's length " + HexBytes(kBootLength) + ".");
        return Round::Failure;
    }
    // Boot program, byte by byte with echo.
    if (!StartBootProgram(job.bootProgram))
        return Round::Failure;

    // Bit rate of the write phase.
    const bool answered = Exchange(Bytes(BitRateCommand(job.cpu)), 1);
    if (answered && At(0) == kAck) {
        ClosePort();
        if (!OpenPort(WriteRate(job.cpu)))
            return Round::Failure;
        Exchange({kAck}, 1);
    } else if (answered && At(0) == kRefuse) {
        Fail("The radio refused the bit-rate command (07).");
        return Round::Failure;
    } else if (m_rx.HungUp()) {
        return Round::Failure;
    }

    Q_EMIT WriteRange(m_image.progressMax);
    Q_EMIT WriteProgress(0);
    const bool written = job.cpu == TCpuType::HD64F2134ATF20 ? WriteATF20() : WriteFA20();
    if (!written) {
        if (m_stop)
            Fail("Cancelled.");
        return Round::Failure;
    }
    m_result.finalAck = true;

    // The radio's own checksum against what its flash should hold.
    m_result.pcText = PcChecksumText(m_image.Sum());
    TVerdict verdict = TVerdict::NoChecksum;
    std::uint32_t cpuSum = 0;
    if (Exchange({kCmdChecksum}, kChecksumSize) && Count() == kChecksumSize) {
        const Byte sum[4] = {At(0), At(1), At(2), At(3)};
        m_result.checksumRead = true;
        m_result.cpuText = CpuChecksumText(sum);
        cpuSum = CpuChecksumValue(sum);
        verdict = cpuSum == m_image.ExpectedFlashSum() ? TVerdict::Match : TVerdict::Differs;
    }
    m_result.checksumMatch = verdict == TVerdict::Match;
    m_result.verdict = VerdictText(verdict, cpuSum, m_image);
    m_result.outcome = m_result.checksumMatch ? TFirmwareOutcome::Success : TFirmwareOutcome::Failed;
    if (!m_result.checksumRead)
        m_result.detail = "The radio did not send its checksum.";

    Q_EMIT BarsVisible(false);
    // Green only when the radio confirmed what it holds.
    Finish(m_result.checksumMatch ? TLamp::Green : TLamp::Yellow,
           m_result.pcText + m_result.cpuText + "\r\n" + m_result.verdict + kFswCompleted);
    m_confirm();
    ClosePort();
    m_stop = true;
    return Round::Success;
}

bool TFirmwareWriter::WriteBlocks(const TWriteArea& area, std::uint8_t& sum)
{
    const std::uint32_t block = BlockSize(m_image.cpu);
    for (std::uint32_t offset = 0; offset < area.length; offset += block) {
        // The radio asks for each block with 11 (provoked by the header or the last block).
        m_rx.StartTimeout();
        if (!m_rx.Wait(1) || At(0) != kFlow) {
            Fail("The radio did not ask for the block at 0x" + [&] {
                char text[8];
                std::snprintf(text, sizeof text, "%05X", static_cast<unsigned>(area.start + offset));
                return std::string(text);
            }() + ".");
            return false;
        }
        std::vector<Byte> bytes(block + 1);
        bytes[0] = kFlow;
        const auto from = m_image.bytes.begin() + area.start + offset;
        std::copy(from, from + block, bytes.begin() + 1);
        for (std::size_t i = 1; i < bytes.size(); ++i)
            sum = static_cast<std::uint8_t>(sum + bytes[i]);
        m_rx.ResetCount();
        if (!Send(bytes))
            return false;
        Q_EMIT WriteProgress(static_cast<int>((area.start + offset) / block));
        if (m_stop)
            return false;
    }
    return true;
}

bool TFirmwareWriter::FinishArea(std::uint8_t sum)
{
    m_rx.StartTimeout();
    if (!m_rx.Wait(1) || At(0) != kFlow)
        return false;
    return Exchange({kFlow, static_cast<Byte>(~sum)}, 1) && At(0) == kAck;
}

bool TFirmwareWriter::WriteATF20()
{
    const TWriteArea& area = m_image.areas.at(0);
    if (!Exchange(Bytes(kWriteCommandATF20), 1) || At(0) != kAck) {
        Fail("The radio did not accept the write command.");
        return false;
    }
    bool acknowledged = false;
    if (!WriteArea(area, true, acknowledged))
        return false;
    if (!acknowledged) {
        Fail("The radio did not acknowledge the written area.");
        return false;
    }
    return true;
}

bool TFirmwareWriter::WriteArea(const TWriteArea& area, bool trailingZero, bool& acknowledged)
{
    std::vector<Byte> head;
    PutBigEndian(head, area.start);
    PutBigEndian(head, area.length);
    if (trailingZero)
        head.push_back(kAreaHeaderEnd);
    m_rx.ResetCount();
    if (!Send(head))
        return false;
    std::uint8_t sum = 0;
    if (!WriteBlocks(area, sum))
        return false;
    acknowledged = FinishArea(sum);
    return true;
}

bool TFirmwareWriter::WriteFA20()
{
    // Every area that is written must end with the radio's acknowledge: one refused area
    // leaves the radio without part of its program.
    for (std::size_t i = 0; i < m_image.areas.size(); ++i) {
        const TWriteArea& area = m_image.areas[i];
        if (!area.used)
            continue;
        if (!Exchange(Bytes(kWriteCommandFA20), 1) || At(0) != kAck) {
            Fail("The radio did not accept the write command for area " + std::to_string(i) + ".");
            return false;
        }
        bool acknowledged = false;
        if (!WriteArea(area, false, acknowledged))
            return false;
        if (!acknowledged) {
            Fail("The radio did not acknowledge area " + std::to_string(i) + ".");
            return false;
        }
    }
    return true;
}

}  // namespace mv53
