#include "link/CloneProtocol.h"

#include "link/RadioPort.h"
#include "model/Prompt.h"
#include "model/U_E2prom.h"

#include <cstdio>
#include <cstring>

namespace mv53 {

using namespace clone;

namespace {

constexpr int kIdentifyAttempts = 3;

std::string hex4(unsigned value)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%04X", value & 0xFFFFu);
    return text;
}

}  // namespace

TCloneTransfer::TCloneTransfer(TProgramState& state, QObject* parent)
    : QObject(parent), m_state(state), m_rx(state)
{
    m_rx.Attach(m_comm);
}

TCloneTransfer::~TCloneTransfer()
{
    if (m_comm.IsOpen())
        m_comm.Close();
}

void TCloneTransfer::SetPacing(const TClonePacing& pacing)
{
    m_pacing = pacing;
    m_rx.SetSilenceMs(pacing.silenceMs);
}

int TCloneTransfer::ProgressMax(TTransferKind kind)
{
    return IsTransferKind(kind) ? clone::ProgressMax(kind) : 1;
}

void TCloneTransfer::Progress(int position) { Q_EMIT ProgressChanged(position); }

bool TCloneTransfer::Fail(std::string detail)
{
    if (m_result.detail.empty())
        m_result.detail = std::move(detail);
    return false;
}

std::string TCloneTransfer::PortText() const
{
    return RadioPortText(m_comm, m_devicePath);
}

std::string TCloneTransfer::SilenceDetail(const std::string& what) const
{
    if (m_rx.HungUp())
        return "The device " + PortText() + " disappeared during the transfer (" + what + ").";
    return "No answer from the radio on " + PortText() + " (" + what + "): " +
           "check that the radio is switched on and the cable is plugged in.";
}

bool TCloneTransfer::SendFrame(const TFrame& frame)
{
    if (!m_comm.Write(frame.data(), kFrameSize))
        return Fail("The port " + PortText() + " no longer accepts data.");
    return true;
}

bool TCloneTransfer::SendAck()
{
    if (!m_comm.WriteChar(kAck))
        return Fail("The port " + PortText() + " no longer accepts data.");
    return true;
}

bool TCloneTransfer::StartConnection()
{
    if (std::string failure = OpenRadioPort(m_comm, m_state, m_devicePath, kCloneLine); !failure.empty())
        return Fail(std::move(failure));
    m_rx.ClearHangUp();
    m_rx.Sleep(m_pacing.openSettleMs);

    const TFrame identify = BuildFrame(TCommand::Identify, 0x1000);
    bool answered = false;
    std::string lastId;
    for (int attempt = 0; attempt < kIdentifyAttempts; ++attempt) {
        if (attempt > 0)
            m_rx.Sleep(m_pacing.identifyGapMs);
        m_rx.ResetCount();
        if (!SendFrame(identify))
            return false;
        m_rx.StartTimeout();
        if (m_rx.Wait(kIdentifyReplySize)) {
            const Byte* reply = m_state.RxBuffer.bytes.data();
            if (IsOurRadio(reply)) {
                m_result.fwVersion = FirmwareVersionText(reply);
                return true;
            }
            answered = true;
            lastId = ReplyTextId(reply);
        }
        if (m_rx.HungUp())
            break;
    }
    if (m_rx.HungUp())
        return Fail(SilenceDetail("identification"));
    if (answered)
        return Fail("The device on " + PortText() + " is not a KT-4680 radio (it answered \"" + lastId + "\").");
    return Fail(SilenceDetail("identification"));
}

TTransferOutcome TCloneTransfer::Upload()
{
    if (!StartConnection())
        return TTransferOutcome::Error;

    // Everything is received into fresh objects; the program's records and image are only
    // replaced when the whole memory has arrived.
    auto text = std::make_unique<TText>();
    auto mem = std::make_unique<TMVmem>();
    ClearRecords(*mem);

    m_rx.ResetCount();
    const TFrame readAll = BuildFrame(TCommand::ReadAll, 0);
    if (!m_comm.Write(readAll.data(), kFrameSize)) {
        Fail("The port " + PortText() + " did not accept the read command.");
        return TTransferOutcome::Error;
    }
    m_rx.StartTimeout();

    const auto& rx = m_state.RxBuffer;
    // Channel part: frames of channel blocks in any order, ended by a block number past them.
    int blockNo = 0;
    do {
        if (!m_rx.Wait(kChannelFrameSize)) {
            Fail(SilenceDetail("channel data"));
            return TTransferOutcome::Error;
        }
        if (rx.count > kChannelFrameSize) {
            Fail("The radio sent more data than one channel frame (" + std::to_string(rx.count) + " bytes).");
            return TTransferOutcome::Error;
        }
        if (rx.bytes[kChannelFrameSize - 1] != Checksum(rx.bytes.data(), kChannelFrameSize - 1)) {
            Fail("A channel frame arrived with a wrong checksum.");
            return TTransferOutcome::ChecksumError;
        }
        blockNo = (rx.bytes[0] << 8) | rx.bytes[1];
        if (blockNo < kChannelBlocks) {
            std::memcpy(text->Data() + BlockOffset(blockNo), rx.bytes.data() + 2, kBlockSize);
            Progress(blockNo + 1);
        }
        m_rx.ResetCount();
        m_rx.StartTimeout();
        if (!SendAck())
            return TTransferOutcome::Error;
    } while (blockNo < kChannelBlocks);

    // Area part: the blocks after the channels, in order.
    for (BlockNo b = kFirstAreaBlock; b <= kLastBlock; ++b) {
        if (!m_rx.Wait(kAreaFrameSize)) {
            Fail(SilenceDetail("block " + std::to_string(b)));
            return TTransferOutcome::Error;
        }
        if (rx.count > kAreaFrameSize) {
            Fail("The radio sent more data than one block (" + std::to_string(rx.count) + " bytes).");
            return TTransferOutcome::Error;
        }
        if (rx.bytes[kAreaFrameSize - 1] != Checksum(rx.bytes.data(), kAreaFrameSize - 1)) {
            Fail("Block " + std::to_string(b) + " arrived with a wrong checksum.");
            return TTransferOutcome::ChecksumError;
        }
        std::memcpy(text->Data() + BlockOffset(b), rx.bytes.data(), kBlockSize);
        Progress(b);
        m_rx.ResetCount();
        m_rx.StartTimeout();
        if (!SendAck())
            return TTransferOutcome::Error;
    }
    m_rx.StopTimeout();

    DecodeImage(*text, *mem);
    CheckRecords(*mem);
    m_state.CurrentMem.Assign(*mem);
    m_state.CurrentText.Assign(*text);
    m_state.CurrentMem.SetFwVersion(m_result.fwVersion);
    return TTransferOutcome::Success;
}

bool TCloneTransfer::ReadSerialNumber(std::string& serial)
{
    m_rx.ResetCount();
    if (!SendFrame(BuildFrame(TCommand::ReadSerial, 0)))
        return false;
    m_rx.StartTimeout();
    if (!m_rx.Wait(kSerialReplySize))
        return false;
    serial = SerialReplyText(m_state.RxBuffer.bytes.data());
    return true;
}

bool TCloneTransfer::SendAcknowledged(const TFrame& frame, bool byteWise, const std::string& what)
{
    m_rx.ResetCount();
    if (byteWise) {
        // WriteBlock frames go to the port one byte at a time.
        for (Byte b : frame)
            if (!m_comm.WriteChar(b))
                return Fail("The port " + PortText() + " no longer accepts data.");
    } else if (!SendFrame(frame)) {
        return false;
    }
    m_rx.StartTimeout();
    const int reply = m_rx.WaitReply();
    if (reply == kAck)
        return true;
    if (reply < 0)
        return Fail(SilenceDetail(what));
    if (reply == kNak)
        return Fail("The radio refused " + what + ".");
    return Fail("The radio answered " + what + " with " + hex4(static_cast<unsigned>(reply)) +
                " instead of accepting it.");
}

bool TCloneTransfer::SendBlocks(const TArea& area, int progressBase)
{
    for (int k = 0; k < area.blocks; ++k) {
        const TRadioAddress address = AreaAddress(area, k);
        const TFrame frame = BuildWriteBlock(address, m_state.CurrentText.Data() + BlockOffset(area.firstBlock + k));
        if (!SendAcknowledged(frame, true, "the block at address " + hex4(address)))
            return false;
        Progress(progressBase + k);
    }
    return true;
}

bool TCloneTransfer::Download(TTransferKind kind)
{
    if (!StartConnection())
        return false;

    if (kind == TTransferKind::Factory && !m_state.SerialMode) {
        // The factory area is written back with the radio's own serial number.
        std::string serial;
        if (ReadSerialNumber(serial)) {
            m_result.readSerialNo = serial;
            m_state.CurrentMem.FactoryOpt().SetSerialNo(serial);
        } else if (!m_result.detail.empty()) {
            return false;
        }
    } else if (kind == TTransferKind::ReadSerial) {
        Progress(1);
        std::string serial;
        if (ReadSerialNumber(serial))
            m_result.readSerialNo = serial;
        else if (!m_result.detail.empty())
            return false;
    }
    if (m_rx.HungUp())
        return Fail(SilenceDetail("serial number"));

    EncodeImage(m_state.CurrentText, m_state.CurrentMem, true);

    if (kind == TTransferKind::ReadSerial)
        return true;

    const TFrame begin = BuildFrame(TCommand::WriteBegin, WriteBeginParameter(kind));
    if (!SendAcknowledged(begin, false, "the start of the write (WriteBegin " + hex4(WriteBeginParameter(kind)) + ")"))
        return false;

    switch (kind) {
    case TTransferKind::UserData:
        for (int i = 0; i < kChannelBlocks; ++i) {
            TRadioReceiver::ProcessMessages();
            if (m_state.CurrentText.Data()[BlockOffset(i)] == kChannelInUse) {
                const TRadioAddress address = AreaAddress(kChannelArea, i);
                const TFrame frame = BuildWriteBlock(address, m_state.CurrentText.Data() + BlockOffset(i));
                if (!SendAcknowledged(frame, true, "channel " + std::to_string(i + 1) + " (address " + hex4(address) + ")"))
                    return false;
            }
            Progress(i + 1);
        }
        for (const TArea& area : {kCommonArea, kTunerArea0, kTunerArea1})
            if (!SendBlocks(area, kUserDataProgressBase + area.firstBlock))
                return false;
        break;
    case TTransferKind::Factory:
        if (!SendBlocks(kFactoryArea, kFactoryProgressBase))
            return false;
        break;
    case TTransferKind::AntTuner:
        if (!SendBlocks(kTunerArea0, kTuner0ProgressBase) || !SendBlocks(kTunerArea1, kTuner1ProgressBase))
            return false;
        break;
    default:
        break;
    }

    if (!SendFrame(BuildFrame(TCommand::WriteEnd, WriteEndParameter(kind))))
        return false;
    // The radio stores what it received after WriteEnd; a device that vanishes before the port
    // is closed may not have, so the waits up to the close watch for that too.
    if (kind == TTransferKind::UserData && !m_rx.Sleep(m_pacing.userDataEndMs))
        return Fail(EndVanishedDetail());
    return true;
}

std::string TCloneTransfer::EndVanishedDetail() const
{
    return "The device " + PortText() + " disappeared after the end of the write (WriteEnd): " +
           "the radio may not have stored the data.";
}

bool TCloneTransfer::Run(const TTransferRequest& request)
{
    const TTransferKind kind = request.Kind;
    m_result = TTransferResult{};
    if (!IsTransferKind(kind)) {
        m_result.outcome = TTransferOutcome::Error;
        m_result.detail = "Unknown transfer kind " + std::to_string(static_cast<int>(kind)) + ".";
        ShowError(kDownloadError, m_result.detail);
        return false;
    }

    if (kind == TTransferKind::Upload) {
        m_result.outcome = Upload();
        m_rx.StopTimeout();
        // Close purges what the transmit thread has not written yet, and the radio should see
        // the last acknowledge.
        if (m_result.outcome == TTransferOutcome::Success)
            m_rx.Sleep(m_pacing.lastAckMs);
        m_comm.Close();
        switch (m_result.outcome) {
        case TTransferOutcome::Success:
            if (!request.InChain)
                ShowInformation(kUploadCompleted);
            break;
        case TTransferOutcome::ChecksumError:
            ShowError(kChecksumError, m_result.detail);
            break;
        default:
            ShowError(kUploadError, m_result.detail);
            break;
        }
        return m_result.Ok();
    }

    // The factory area is written with the serial number read from the radio; a download that
    // fails leaves the records (and the image made of them) with their own.
    const std::string serialBefore = m_state.CurrentMem.FactoryOpt().SerialNo();
    bool ok = Download(kind);
    m_result.outcome = ok ? TTransferOutcome::Success : TTransferOutcome::Error;
    m_rx.StopTimeout();
    if (m_comm.IsOpen()) {
        if (!m_rx.Sleep(m_pacing.beforeCloseMs) && ok && kind != TTransferKind::ReadSerial) {
            ok = Fail(EndVanishedDetail());
            m_result.outcome = TTransferOutcome::Error;
        }
        m_comm.Close();
    }
    if (ok) {
        if (!request.InChain)
            ShowInformation(kDownloadCompleted);
    } else {
        if (m_state.CurrentMem.FactoryOpt().SerialNo() != serialBefore) {
            m_state.CurrentMem.FactoryOpt().SetSerialNo(serialBefore);
            EncodeImage(m_state.CurrentText, m_state.CurrentMem, true);
        }
        ShowError(kDownloadError, m_result.detail);
    }
    return ok;
}

}  // namespace mv53
