#pragma once
// The radio's side of the clone protocol without any transport: bytes from the PC go in,
// the radio's answer bytes come out. Single-threaded; RadioSimulator guards it with a lock.

#include "CloneProtocol.h"
#include "LiveAdjust.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace mv53::radiosim {

// How a sound radio answers; the defaults are those of a KT-4680.
struct Behaviour {
    std::array<Byte, 2> firmware {0x01, 0x2A};   // identify reply bytes 0-1
    std::string textId {kTextId};                 // identify reply bytes 2-7 (cut or padded with 0)
    // Blocks (below 500) sent as channel frames, in this order; without it the channels in use
    // (status byte 0xA5) are sent in ascending order.
    std::optional<std::vector<BlockNo>> channelOrder;
    // Block number of the frame that ends the channels; values below 500 are sent as 500.
    std::uint16_t endBlock = kEndBlockDefault;
};

// The kinds of reply that stray bytes can follow (a bit set).
enum ReplyKind : unsigned {
    kIdentifyReply = 1u << 0,
    kReplyByte = 1u << 1,      // the 0x59 / 0x4E answer to a command
    kSerialReply = 1u << 2,
    kUploadFrame = 1u << 3,
    kAnyReply = kIdentifyReply | kReplyByte | kSerialReply | kUploadFrame,
};

// Faults a test can ask for. Frame and block numbers count from 0.
struct Faults {
    bool silent = false;              // receive and log, but answer nothing at all
    bool refuseWriteBegin = false;    // answer WriteBegin with 0x4E
    int refuseWriteBlock = -1;        // answer the WriteBlock with this index after WriteBegin with 0x4E
    bool keepSerial = false;          // accept the block of the serial number but keep the number held
    int badChecksumFrame = -1;        // upload frame (index in the stream) sent with a wrong checksum
    int twoFramesAt = -1;             // upload frame followed at once by the next one, without waiting
    std::vector<Byte> strayBytes;     // sent after every reply of the kinds in strayAfter
    unsigned strayAfter = kAnyReply;
    // Close the line once this many bytes have been sent in total (0: when the PC first sends).
    long long hangUpAfterBytes = -1;
    // Close the line as soon as a command frame with this command has arrived (-1: never).
    int hangUpOnCommand = -1;
    // Hold back answer number lateAnswer (counting every answer from 0 since the faults were
    // set: identify reply, reply byte, serial reply, upload frame) until lateBy has passed
    // since the PC's byte that asked for it arrived (-1: none).
    int lateAnswer = -1;
    std::chrono::milliseconds lateBy {0};
};

// One command frame as received, in order; frames with a wrong checksum are kept and marked.
struct ReceivedFrame {
    Command command = 0;
    std::uint16_t address = 0;
    std::array<Byte, kBlockSize> data {};
    bool checksumOk = true;
};

class CloneEngine final {
public:
    explicit CloneEngine(const Memory& memory);

    // One byte from the PC; the answer, if any, is appended to out.
    void Receive(Byte byte, std::vector<Byte>& out);
    // Bytes of an incomplete command frame are waiting.
    bool HasPartialFrame() const { return !m_frame.empty(); }
    // The line was quiet too long inside a frame: the bytes so far are dropped.
    void DropPartialFrame() { m_frame.clear(); }

    Memory& Mem() { return m_memory; }
    const Memory& Mem() const { return m_memory; }
    Behaviour& Behave() { return m_behaviour; }
    const Behaviour& Behave() const { return m_behaviour; }
    Faults& Fault() { return m_faults; }
    const Faults& Fault() const { return m_faults; }
    std::vector<ReceivedFrame>& Frames() { return m_frames; }
    const std::vector<ReceivedFrame>& Frames() const { return m_frames; }
    std::vector<AdjustEntry>& Adjustments() { return m_adjustments; }
    const std::vector<AdjustEntry>& Adjustments() const { return m_adjustments; }
    std::size_t AcksReceived() const { return m_acks; }
    bool Uploading() const { return m_streaming; }

private:
    void HandleFrame(std::vector<Byte>& out);
    void Reply(Byte answer, std::vector<Byte>& out);
    void Stray(ReplyKind kind, std::vector<Byte>& out);
    void StartUpload(std::vector<Byte>& out);
    void SendStreamFrame(std::vector<Byte>& out);
    void Identify(std::vector<Byte>& out);
    void WriteBlock(const ReceivedFrame& frame, std::vector<Byte>& out);
    void BeginWrite(std::uint16_t parameter, std::vector<Byte>& out);

    Memory m_memory;
    Behaviour m_behaviour;
    Faults m_faults;
    std::vector<ReceivedFrame> m_frames;
    std::vector<AdjustEntry> m_adjustments;

    std::vector<Byte> m_frame;                  // command frame being received
    bool m_streaming = false;                   // an upload stream waits for the PC's 0x59
    std::vector<std::vector<Byte>> m_stream;    // its frames, built at ReadAll
    std::size_t m_nextFrame = 0;
    std::size_t m_acks = 0;
    WriteArea m_openArea = WriteArea::None;
    int m_writeBlockIndex = 0;                  // WriteBlock frames since WriteBegin
};

}  // namespace mv53::radiosim
