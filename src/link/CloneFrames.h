#pragma once
// The clone protocol's frames, checksums and memory areas: the byte work of Upload and
// Download, kept apart from the port and the windows so that it can be checked on its own.
//
// Line: 9600 baud, 8 data bits, no parity, 2 stop bits, no handshake. The PC always speaks
// first and the radio answers every frame.
//
// Command frame, PC to radio, 37 bytes:
//   [0..1] command, high byte first   [2..3] address or parameter, high byte first
//   [4..35] data (zero when the command carries none)
//   [36] checksum: low 8 bits of the sum of bytes 0..35
// Reply byte, radio to PC: 0x59 ('Y') accepted, 0x4E ('N') refused; only the first byte after
// a frame counts, and any other value is taken as no reply.
//
// Upload (the radio's whole memory to the PC):
//   PC    00 00 10 00 00…00 10            Identify
//   radio 01 2A 'k' 't' '4' '6' '8' 'h' + 8 bytes   firmware "012a", text id "kt468h"
//   PC    00 01 00 00 00…00 01            ReadAll
//   radio 00 07 <32 bytes of block 7> cs  channel frame (35 bytes): block < 500
//   PC    59                              … one channel frame per acknowledge, any order …
//   radio 01 F4 <32 bytes> cs             block number >= 500 ends the channel part
//   PC    59
//   radio <32 bytes of block 500> cs      area frame (33 bytes), blocks 500..559 in order
//   PC    59                              … 60 area frames in all, each acknowledged
//
// Download of the user data (kind 1):
//   PC    00 00 10 00 …                   Identify → 16-byte reply as above
//   PC    00 02 00 C6 00…00 C8            WriteBegin 0x00C6 → radio 59
//   PC    00 03 C0 00 <block 0> cs        WriteBlock for each channel in use → 59
//   PC    00 03 FE 80 <block 500> cs      … the 12 common blocks (0xFE80..0xFFE0),
//                                         16 of tuner area 0 (0x0400..), 16 of area 1 (0x0800..)
//   PC    00 04 00 02 00…00 06            WriteEnd 0x0002 (no answer awaited)
// Kind 2 (factory area) reads the serial number first (ReadSerial 01 09 → 8 bytes), then
// WriteBegin 0x0008, the 16 factory blocks at 0x0C00.., WriteEnd 0x0001. Kind 3 (antenna
// tuner) sends WriteBegin 0x0006, the 32 tuner blocks, WriteEnd 0x0001.

#include "model/U_Const.h"
#include "state/TransferKind.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace mv53::clone {

// Image bytes (Byte), blocks (BlockNo) and BlockOffset(b) = 6 + 32 * b come from the model.
using TRadioAddress = uint16_t;   // address of a block in the radio's memory

inline constexpr int kFrameSize = 37;
inline constexpr int kIdentifyReplySize = 16;
inline constexpr int kSerialReplySize = 8;
inline constexpr int kChannelFrameSize = 35;   // block number, 32 bytes, checksum
inline constexpr int kAreaFrameSize = 33;      // 32 bytes, checksum
// Block numbering and the text id are the image's own (model constants).
inline constexpr BlockNo kChannelBlocks = kChannelBlockCount;
inline constexpr BlockNo kFirstAreaBlock = kChannelBlockCount;
inline constexpr BlockNo kLastBlock = kBlockCount - 1;
inline constexpr Byte kAck = 0x59;
inline constexpr Byte kNak = 0x4E;
inline constexpr Byte kChannelInUse = kChannelUsed;   // first byte of a channel block in use
inline constexpr const char* kTextId = kModelTextId;

using TFrame = std::array<Byte, kFrameSize>;

enum class TCommand : uint16_t {
    Identify = 0x0000,
    ReadAll = 0x0001,
    WriteBegin = 0x0002,
    WriteBlock = 0x0003,
    WriteEnd = 0x0004,
    AdjustValue = 0x0104,
    AdjustEnd = 0x0105,
    ReadSerial = 0x0109,
};

using ::TTransferKind;

bool IsTransferKind(TTransferKind kind);

// Low 8 bits of the sum of n bytes.
Byte Checksum(const Byte* data, std::size_t n);

// A command frame with its checksum; data (32 bytes) may be null for commands without data.
TFrame BuildFrame(TCommand command, uint16_t parameter, const Byte* data = nullptr);
// The WriteBlock frame of one image block to a radio address.
TFrame BuildWriteBlock(TRadioAddress address, const Byte* block);

// One contiguous run of image blocks that a download sends to consecutive radio addresses.
struct TArea {
    BlockNo firstBlock;
    int blocks;
    TRadioAddress address;   // radio address of the first block; block k at address + 32 * k
};

inline constexpr TArea kChannelArea{0, kChannelBlockCount, 0xC000};
inline constexpr TArea kCommonArea{kCommonFirstBlock, kCommonBlockCount, 0xFE80};
inline constexpr TArea kTunerArea0{kTuner0FirstBlock, kTunerBlockCount, 0x0400};
inline constexpr TArea kTunerArea1{kTuner1FirstBlock, kTunerBlockCount, 0x0800};
inline constexpr TArea kFactoryArea{kFactoryFirstBlock, kFactoryBlockCount, 0x0C00};

constexpr BlockNo AreaEnd(const TArea& area) { return area.firstBlock + area.blocks; }

// Where the progress bar stands for block k of an area: a user data download counts the image's
// block numbers (channel i as i + 1, then each area's own blocks), the factory download counts
// from 1, and the tuner download counts area 0 from 1 and area 1 from its block count on.
inline constexpr int kUserDataProgressBase = 0;   // plus the area's first block
inline constexpr int kFactoryProgressBase = 1;
inline constexpr int kTuner0ProgressBase = 1;
inline constexpr int kTuner1ProgressBase = kTunerBlockCount;

constexpr TRadioAddress AreaAddress(const TArea& area, int k)
{
    return static_cast<TRadioAddress>(area.address + kBlockSize * k);
}

// WriteBegin and WriteEnd parameters of the download kinds (none for Upload and ReadSerial).
uint16_t WriteBeginParameter(TTransferKind kind);
uint16_t WriteEndParameter(TTransferKind kind);

// The highest position of the progress bar of a transfer kind (it runs from 0).
int ProgressMax(TTransferKind kind);

// The identify reply: text id check and firmware version ("%2.2x%2.2x" of bytes 0 and 1).
bool IsOurRadio(const Byte* reply16);
std::string FirmwareVersionText(const Byte* reply16);
// The text id of a reply, printable, for messages ("kt468h", or what came instead).
std::string ReplyTextId(const Byte* reply16);

// The 8-byte serial reply as serial number text, with the image's serial number rule.
std::string SerialReplyText(const Byte* reply8);

}  // namespace mv53::clone
