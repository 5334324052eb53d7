#include "link/CloneFrames.h"

#include "model/U_E2prom.h"

#include <cstdio>
#include <cstring>

namespace mv53::clone {

bool IsTransferKind(TTransferKind kind)
{
    switch (kind) {
    case TTransferKind::Upload:
    case TTransferKind::UserData:
    case TTransferKind::Factory:
    case TTransferKind::AntTuner:
    case TTransferKind::ReadSerial:
        return true;
    }
    return false;
}

Byte Checksum(const Byte* data, std::size_t n)
{
    unsigned sum = 0;
    for (std::size_t i = 0; i < n; ++i)
        sum += data[i];
    return static_cast<Byte>(sum & 0xFFu);
}

TFrame BuildFrame(TCommand command, uint16_t parameter, const Byte* data)
{
    TFrame frame{};
    const auto cmd = static_cast<uint16_t>(command);
    frame[0] = static_cast<Byte>(cmd >> 8);
    frame[1] = static_cast<Byte>(cmd & 0xFFu);
    frame[2] = static_cast<Byte>(parameter >> 8);
    frame[3] = static_cast<Byte>(parameter & 0xFFu);
    if (data != nullptr)
        std::memcpy(frame.data() + 4, data, kBlockSize);
    frame[36] = Checksum(frame.data(), 36);
    return frame;
}

TFrame BuildWriteBlock(TRadioAddress address, const Byte* block)
{
    return BuildFrame(TCommand::WriteBlock, address, block);
}

uint16_t WriteBeginParameter(TTransferKind kind)
{
    switch (kind) {
    case TTransferKind::UserData: return 0x00C6;
    case TTransferKind::Factory: return 0x0008;
    case TTransferKind::AntTuner: return 0x0006;
    default: return 0;
    }
}

uint16_t WriteEndParameter(TTransferKind kind)
{
    return kind == TTransferKind::UserData ? 0x0002 : 0x0001;
}

int ProgressMax(TTransferKind kind)
{
    switch (kind) {
    case TTransferKind::Upload: return kLastBlock;
    case TTransferKind::UserData: return AreaEnd(kTunerArea1) - 1;
    case TTransferKind::Factory: return kFactoryArea.blocks - 1;
    case TTransferKind::AntTuner: return kTuner1ProgressBase + kTunerArea1.blocks - 1;
    case TTransferKind::ReadSerial: return 1;
    }
    return 1;
}

bool IsOurRadio(const Byte* reply16)
{
    return std::memcmp(reply16 + 2, kTextId, 6) == 0;
}

std::string FirmwareVersionText(const Byte* reply16)
{
    char text[8];
    std::snprintf(text, sizeof text, "%2.2x%2.2x", reply16[0], reply16[1]);
    return text;
}

std::string ReplyTextId(const Byte* reply16)
{
    std::string id;
    for (int i = 2; i < 8; ++i) {
        const Byte c = reply16[i];
        if (c >= 0x20 && c < 0x7F) {
            id += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            id += hex;
        }
    }
    return id;
}

std::string SerialReplyText(const Byte* reply8)
{
    return SerialFromBytes(reply8, kSerialReplySize);
}

}  // namespace mv53::clone
