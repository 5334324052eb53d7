#pragma once
// The firmware writing procedure: puts the radio's microcontroller into its serial boot mode,
// loads the boot program and writes a firmware file's areas through it, over its own serial
// port. No widgets: the progress window and `mv53 flash` drive it and show what it reports.
//
// Exchange, PC on the left (every wait ends after 1000 ms of silence):
//   00 x8 at 19200, 9600, 4800, 2400 (2000 ms each until the radio answers)   <- 00
//   55                                   <- AA     boot mode entered
//   08 5E                                <- 08 5E  boot program length
//   <2142 bytes, one at a time>          <- each byte echoed, then AA (the program runs)
//   53 <rate:4> <4> <3>                  <- 06: port to the new rate, 06 -> <1 byte>; 07: refused
//   HD64F2134ATF20: 57 00 8B <- 06; 00 00 00 00 <length:4> 00
//   HD64F2134FA20, per area: 57 00 <- 06; <start:4> <length:4>
//     per block: <- 11; 11 <block>;   after the last: <- 11; 11 <~sum> <- 06
//   43                                   <- the radio's flash sum, 4 bytes
//
// The file is read and checked before every round, so the radio is never touched with a
// file that could not be written whole; a file that leaves data unwritten is written only
// after a question.
//
// Once the radio has answered 55 with AA it no longer listens for the synchronisation: the
// bytes of a new handshake would go into a half-loaded boot program, or to a boot program that
// runs. So every failure from there on ends in the failure step, which asks the technician to
// switch the radio off and on again in boot mode; none starts over silently.

#include "link/CommX.h"
#include "link/RadioReceiver.h"
#include "service/U_FileAccessFSW.h"
#include "state/U_Global.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace mv53 {

inline constexpr const char* kFswNowWriting = "Now writing...";
inline constexpr const char* kFswCompleted =
    "\r\nThe writing procedure is completed.  To terminate the writing procedure, follow the steps below.\r\n"
    " 1. Disconnect the DC cable from the radio.\r\n"
    " 2. Remove a short pin from J2020(PROG) at CNTL-UNIT.\r\n"
    " 3. Click on the OK button on the screen.";
inline constexpr const char* kFswNoAcknowledgement =
    "No acknowledgement from the radio.  Please do the following procedure again.\r\n"
    " 1. Disconnect the DC cable from the radio.\r\n"
    " 2. A short pin is inserted in J2020(PROG) at CNTL-UNIT.\r\n"
    " 3. Connect the KT-4680 and PC via PRG-4400.\r\n"
    " 4. Connect the DC cable to J3502 at PA-UNIT.\r\n"
    " 5. Turn on the KT-4680.\r\n"
    " 6. Click on the OK button on the screen.";
inline constexpr const char* kFswProblemOnComPort = "Problem on COM port";
inline constexpr const char* kFswOkQuestion = "Ok ?";
inline constexpr const char* kFswRestartRadio = "Switch the radio off and on again in boot mode before the next attempt.";
inline constexpr const char* kFswCancelled = "The writing procedure was cancelled.";
inline constexpr const char* kFswFirmwareIncomplete =
    "The radio's firmware is incomplete: write it again before the radio is used. "
    "The radio stays in boot mode until it is switched off.";
inline constexpr const char* kFswUnwrittenQuestion = "The radio will not get all of this firmware file. Write it anyway?";

enum class TLamp { Green, Red, Yellow };

enum class TFirmwareOutcome { NotRun, Success, Failed, Cancelled, Refused };

struct TFirmwareResult {
    TFirmwareOutcome outcome = TFirmwareOutcome::NotRun;
    std::string detail;            // why the last round failed, or why nothing was sent
    bool finalAck = false;         // the write phase ended with the radio's 06
    bool checksumRead = false;
    bool bootLoaded = false;       // a boot program ran in the radio: its firmware may be erased
    std::string pcText;            // "CHECKSUM\r\n        xxxxxxxx (PC)"
    std::string cpuText;           // "\r\n        xxxxxxxx (CPU)"
    bool checksumMatch = false;    // the radio's sum equals what its flash should hold
    std::string verdict;
};

// What the window says after a Cancel: that it was cancelled, and when a boot program was
// loaded that the firmware must be written again.
std::string CancelledText(bool bootLoaded);

struct TFirmwareJob {
    std::string filePath;
    fw::TCpuType cpu = fw::TCpuType::HD64F2134FA20;
    std::vector<fw::Byte> bootProgram;           // must hold 2142 bytes
    std::optional<fw::TKey> key;                 // for scrambled files
};

class TFirmwareWriter final : public QObject {
    Q_OBJECT
public:
    static constexpr int kHandshakeWindowMs = 2000;
    static constexpr int kEntryPauseMs = 100;
    // How often the boot program's progress is shown.
    static constexpr int kProgressTickMs = 50;

    explicit TFirmwareWriter(TProgramState& state, QObject* parent = nullptr);
    ~TFirmwareWriter() override;

    // Talks over this device instead of the port ComPortNo + 1.
    void SetDevicePath(std::string path) { m_devicePath = std::move(path); }
    // After a failed round: true starts over. Default: "Problem on COM port" with OK and Cancel.
    void SetRetryQuestion(std::function<bool(const std::string& detail)> ask) { m_askRetry = std::move(ask); }
    // Where the default question's box appears (top-left corner on the screen).
    void PlaceRetryQuestion(int x, int y) { m_retryPlace = std::make_pair(x, y); }
    // After success: the user confirms. Default: "Ok ?" with OK.
    void SetConfirmation(std::function<void()> confirm) { m_confirm = std::move(confirm); }
    // Before the first handshake of a file that leaves data unwritten (the lines of
    // fw::UnwrittenWarnings): true writes it. Default: the question with Yes and No.
    void SetUnwrittenQuestion(std::function<bool(const std::vector<std::string>& warnings)> ask)
    {
        m_askUnwritten = std::move(ask);
    }
    // Above 0: the handshake goes through the bit rates again and again until the radio
    // answers, for at most this long ("No radio in boot mode answered on PORT."). 0: each bit
    // rate once, as the window does.
    void SetHandshakeLimit(int ms) { m_handshakeLimitMs = ms; }

    // Runs the procedure until it succeeds, is cancelled or the user gives up. True on success
    // with the final acknowledge.
    bool Run(const TFirmwareJob& job);
    // The stop flag: the procedure ends at its next check; the boot program stops before its
    // next byte.
    void Cancel()
    {
        m_stop = true;
        m_comm.StopEchoed();
    }
    bool Stopped() const { return m_stop; }
    const TFirmwareResult& Result() const { return m_result; }

    TCommX& CommX() { return m_comm; }

Q_SIGNALS:
    void LampChanged(mv53::TLamp lamp);
    void StatusChanged(const std::string& text);       // the window's message label
    void BarsVisible(bool visible);
    void BootRange(int maximum);
    void BootProgress(int position);
    void WriteRange(int maximum);
    void WriteProgress(int position);
    void CloseRequested();                             // the progress window may close

private:
    using Byte = fw::Byte;
    enum class Round { Success, Failure };

    Round RunRound(const TFirmwareJob& job);
    // The file's checks before the radio is touched: false when it must not be written.
    bool CheckFile(const TFirmwareJob& job);
    // The failure step; true when the user starts over.
    bool FailureStep();
    void Finish(TLamp lamp, const std::string& status);
    // The boot program after its length: false (with the reason) unless every byte came back
    // and AA followed.
    bool StartBootProgram(const std::vector<Byte>& program);
    bool OpenPort(int bitRate);
    void ClosePort();
    bool Handshake();
    // Sends the boot program byte by byte, each echoed; Echoed when every byte came back.
    TEchoEnd SendBootProgram(const std::vector<Byte>& program);
    bool Send(const std::vector<Byte>& bytes);
    // Resets the count, sends, and waits for n bytes; false on silence or a vanished device.
    bool Exchange(const std::vector<Byte>& bytes, int n);
    int Count() const { return m_state.RxBuffer.count; }
    Byte At(int i) const { return m_state.RxBuffer.bytes[static_cast<std::size_t>(i)]; }
    bool WriteATF20();
    bool WriteFA20();
    // Sends an area's header (start and length, with a trailing 00 for the HD64F2134ATF20), its
    // blocks and its checksum; false when the exchange broke off.
    bool WriteArea(const fw::TWriteArea& area, bool trailingZero, bool& acknowledged);
    // Sends the blocks of one area after the header; false on a wrong or missing block request.
    bool WriteBlocks(const fw::TWriteArea& area, std::uint8_t& sum);
    // The last block request, the checksum and the radio's answer: true for its acknowledge.
    bool FinishArea(std::uint8_t sum);
    void SetLamp(TLamp lamp) { Q_EMIT LampChanged(lamp); }
    void Fail(std::string detail);
    std::string PortText() const;

    TProgramState& m_state;
    TCommX m_comm;
    TRadioReceiver m_rx;
    QTimer m_window;
    bool m_windowEnded = false;
    bool m_stop = false;
    std::string m_devicePath;
    std::function<bool(const std::string&)> m_askRetry;
    std::optional<std::pair<int, int>> m_retryPlace;
    std::function<void()> m_confirm;
    std::function<bool(const std::vector<std::string>&)> m_askUnwritten;
    std::vector<std::string> m_acceptedWarnings;
    int m_handshakeLimitMs = 0;
    bool m_entered = false;            // this round's handshake got AA: the radio needs a restart
    fw::TFirmwareImage m_image;
    TFirmwareResult m_result;
};

}  // namespace mv53
