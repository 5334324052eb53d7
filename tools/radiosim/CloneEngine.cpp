#include "CloneEngine.h"

#include <algorithm>

namespace mv53::radiosim {

CloneEngine::CloneEngine(const Memory& memory) : m_memory(memory)
{
    m_frame.reserve(kCommandFrameSize);
}

void CloneEngine::Receive(Byte byte, std::vector<Byte>& out)
{
    if (m_streaming) {
        if (byte == kAccept) {
            ++m_acks;
            if (m_nextFrame < m_stream.size())
                SendStreamFrame(out);
            else
                m_streaming = false;
            return;
        }
        // Anything but an acknowledge ends the upload; the byte starts a new command frame.
        m_streaming = false;
    }
    m_frame.push_back(byte);
    if (m_frame.size() == kCommandFrameSize) {
        HandleFrame(out);
        m_frame.clear();
    }
}

void CloneEngine::HandleFrame(std::vector<Byte>& out)
{
    ReceivedFrame frame;
    frame.command = static_cast<Command>(m_frame[0] << 8 | m_frame[1]);
    frame.address = static_cast<std::uint16_t>(m_frame[2] << 8 | m_frame[3]);
    std::copy_n(m_frame.begin() + 4, kBlockSize, frame.data.begin());
    frame.checksumOk = Checksum(m_frame.data(), 36) == m_frame[36];
    m_frames.push_back(frame);
    // A damaged frame gets no answer; the PC times out and repeats or gives up.
    if (!frame.checksumOk)
        return;

    switch (frame.command) {
    case cmd::Identify:
        Identify(out);
        break;
    case cmd::ReadAll:
        StartUpload(out);
        break;
    case cmd::WriteBegin:
        BeginWrite(frame.address, out);
        break;
    case cmd::WriteBlock:
        WriteBlock(frame, out);
        break;
    case cmd::WriteEnd:
        m_openArea = WriteArea::None;
        break;
    case cmd::ReadSerial:
        if (!m_faults.silent) {
            out.insert(out.end(), m_memory.begin() + kSerialOffset,
                       m_memory.begin() + kSerialOffset + kSerialReplySize);
            Stray(kSerialReply, out);
        }
        break;
    case cmd::AdjustValue:
        m_adjustments.push_back({frame.address, frame.data[0], false, std::chrono::steady_clock::now()});
        Reply(ApplyAdjustValue(m_memory, frame.address, frame.data[0]), out);
        break;
    case cmd::AdjustEnd:
        m_adjustments.push_back({frame.address, 0, true, std::chrono::steady_clock::now()});
        break;
    default:
        break;
    }
}

void CloneEngine::Reply(Byte answer, std::vector<Byte>& out)
{
    if (m_faults.silent)
        return;
    out.push_back(answer);
    Stray(kReplyByte, out);
}

void CloneEngine::Stray(ReplyKind kind, std::vector<Byte>& out)
{
    if ((m_faults.strayAfter & kind) != 0)
        out.insert(out.end(), m_faults.strayBytes.begin(), m_faults.strayBytes.end());
}

void CloneEngine::Identify(std::vector<Byte>& out)
{
    if (m_faults.silent)
        return;
    std::array<Byte, kIdentifyReplySize> reply {};
    reply[0] = m_behaviour.firmware[0];
    reply[1] = m_behaviour.firmware[1];
    for (std::size_t i = 0; i < 6 && i < m_behaviour.textId.size(); ++i)
        reply[2 + i] = static_cast<Byte>(m_behaviour.textId[i]);
    out.insert(out.end(), reply.begin(), reply.end());
    Stray(kIdentifyReply, out);
}

void CloneEngine::StartUpload(std::vector<Byte>& out)
{
    if (m_faults.silent)
        return;
    m_stream.clear();
    auto channelFrame = [&](BlockNo number, const Byte* data) {
        std::vector<Byte> f(kChannelFrameSize);
        f[0] = static_cast<Byte>(number >> 8);
        f[1] = static_cast<Byte>(number & 0xFF);
        std::copy_n(data, kBlockSize, f.begin() + 2);
        f[34] = Checksum(f.data(), 34);
        m_stream.push_back(std::move(f));
    };

    std::vector<BlockNo> blocks;
    if (m_behaviour.channelOrder) {
        blocks = *m_behaviour.channelOrder;
    } else {
        for (BlockNo b = 0; b < kChannelBlockCount; ++b)
            if (m_memory[BlockOffset(b)] == kChannelUsed)
                blocks.push_back(b);
    }
    for (BlockNo b : blocks) {
        if (b >= 0 && b < kChannelBlockCount)
            channelFrame(b, m_memory.data() + BlockOffset(b));
    }
    const std::array<Byte, kBlockSize> endData {};
    channelFrame(std::max<BlockNo>(m_behaviour.endBlock, kChannelBlockCount), endData.data());

    for (BlockNo b = kChannelBlockCount; b < kBlockCount; ++b) {
        std::vector<Byte> f(kAreaFrameSize);
        std::copy_n(m_memory.data() + BlockOffset(b), kBlockSize, f.begin());
        f[32] = Checksum(f.data(), 32);
        m_stream.push_back(std::move(f));
    }
    m_nextFrame = 0;
    m_streaming = true;
    SendStreamFrame(out);
}

void CloneEngine::SendStreamFrame(std::vector<Byte>& out)
{
    const auto sendOne = [&] {
        const std::size_t index = m_nextFrame++;
        std::vector<Byte> f = m_stream[index];
        if (static_cast<long long>(index) == m_faults.badChecksumFrame)
            f.back() = static_cast<Byte>(f.back() + 1);
        out.insert(out.end(), f.begin(), f.end());
        Stray(kUploadFrame, out);
        return index;
    };
    const std::size_t sent = sendOne();
    if (static_cast<long long>(sent) == m_faults.twoFramesAt && m_nextFrame < m_stream.size())
        sendOne();
}

void CloneEngine::BeginWrite(std::uint16_t parameter, std::vector<Byte>& out)
{
    m_openArea = WriteArea::None;
    m_writeBlockIndex = 0;
    const auto area = static_cast<WriteArea>(parameter);
    const bool known = area == WriteArea::UserData || area == WriteArea::Factory || area == WriteArea::Tuner;
    if (!known || m_faults.refuseWriteBegin) {
        Reply(kRefuse, out);
        return;
    }
    m_openArea = area;
    // A user-data download sends only the channels in use, so every channel starts empty:
    // reading the radio back then gives exactly what was written.
    if (area == WriteArea::UserData) {
        for (BlockNo b = 0; b < kChannelBlockCount; ++b)
            m_memory[BlockOffset(b)] = kChannelEmpty;
    }
    Reply(kAccept, out);
}

void CloneEngine::WriteBlock(const ReceivedFrame& frame, std::vector<Byte>& out)
{
    const int index = m_writeBlockIndex++;
    const std::optional<BlockNo> block = BlockOfAddress(frame.address);
    if (!block || !AreaContains(m_openArea, *block) || index == m_faults.refuseWriteBlock) {
        Reply(kRefuse, out);
        return;
    }
    std::array<Byte, kSerialReplySize> serial;
    std::copy_n(m_memory.begin() + kSerialOffset, kSerialReplySize, serial.begin());
    std::copy(frame.data.begin(), frame.data.end(), m_memory.begin() + BlockOffset(*block));
    if (m_faults.keepSerial)
        std::copy(serial.begin(), serial.end(), m_memory.begin() + kSerialOffset);
    Reply(kAccept, out);
}

}  // namespace mv53::radiosim
