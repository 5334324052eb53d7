#pragma once
// The clone protocol's controller: runs one Upload (the radio's whole memory into the records
// and the radio image) or one Download (an area of the image into the radio) over its own
// serial port, reports progress through a signal and ends with the transfer's message. No
// widgets: the clone window and the command line both drive it.

#include "state/U_Global.h"
#include "link/CloneFrames.h"
#include "link/CommX.h"
#include "link/RadioReceiver.h"

#include <QObject>

#include <memory>
#include <string>

namespace mv53 {

inline constexpr const char* kUploadCompleted = "Upload is completed";
inline constexpr const char* kUploadError = "Upload error";
inline constexpr const char* kChecksumError = "Checksum error";
inline constexpr const char* kDownloadCompleted = "Download is completed";
inline constexpr const char* kDownloadError = "Download error";

// The pauses and the silence of a transfer, in ms. The defaults suit the radio; a device that
// answers from memory needs no pauses (the fuzz harness and tests shorten them).
struct TClonePacing {
    int openSettleMs = 100;      // after Open, before the first frame
    int identifyGapMs = 10;      // between two tries of Identify
    int userDataEndMs = 2000;    // the radio stores the user data after WriteEnd
    int beforeCloseMs = 200;     // after a download, before the port is closed
    int lastAckMs = 100;         // after the upload's last acknowledge, so that it is sent
    int silenceMs = TRadioReceiver::kSilenceMs;   // no answer after this long
};

enum class TTransferOutcome { NotRun, Success, Error, ChecksumError };

struct TTransferResult {
    TTransferOutcome outcome = TTransferOutcome::NotRun;
    std::string detail;         // why it failed, in words for the person at the radio
    std::string fwVersion;      // firmware version text of the identify reply
    std::string readSerialNo;   // serial number the radio reported (factory area and serial read); empty if none
    bool Ok() const { return outcome == TTransferOutcome::Success; }
};

class TCloneTransfer final : public QObject {
    Q_OBJECT
public:
    explicit TCloneTransfer(TProgramState& state, QObject* parent = nullptr);
    ~TCloneTransfer() override;

    // Talks over this device instead of the port ComPortNo + 1.
    void SetDevicePath(std::string path) { m_devicePath = std::move(path); }
    void SetPacing(const TClonePacing& pacing);

    // Runs the request's transfer, closes the port and shows the message (a success within a
    // chain is not announced). Returns true when the transfer succeeded.
    bool Run(const TTransferRequest& request);
    const TTransferResult& Result() const { return m_result; }

    // The highest progress position of a kind (the bar runs from 0).
    static int ProgressMax(TTransferKind kind);

    TCommX& CommX() { return m_comm; }

Q_SIGNALS:
    void ProgressChanged(int position);

private:
    using Byte = mv53::Byte;

    bool StartConnection();
    TTransferOutcome Upload();
    bool Download(clone::TTransferKind kind);
    bool ReadSerialNumber(std::string& serial);
    bool SendFrame(const clone::TFrame& frame);
    bool SendAcknowledged(const clone::TFrame& frame, bool byteWise, const std::string& what);
    bool SendBlocks(const clone::TArea& area, int progressBase);
    bool SendAck();
    void Progress(int position);
    bool Fail(std::string detail);
    std::string PortText() const;
    std::string SilenceDetail(const std::string& what) const;
    std::string EndVanishedDetail() const;

    TProgramState& m_state;
    TCommX m_comm;
    TRadioReceiver m_rx;
    TClonePacing m_pacing;
    std::string m_devicePath;
    TTransferResult m_result;
};

}  // namespace mv53
