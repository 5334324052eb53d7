#pragma once
// The KT-4680 clone protocol as the radio sees it: the memory layout in 32-byte blocks, the
// radio addresses of the writable areas, and the frames that travel on the line.
//
// Line: 9600 baud, 8 data bits, no parity, 2 stop bits. The PC always speaks first.
//
// Command frame, PC to radio, 37 bytes:
//   0-1  command, high byte first        2-3  address or parameter, high byte first
//   4-35 data (zero when unused)          36   low 8 bits of the sum of bytes 0..35
//
// Commands and the radio's answers:
//   0x0000 Identify     param 0x1000   -> 16 bytes: firmware version (2), "kt468h", 8 more
//   0x0001 ReadAll                     -> the upload stream below
//   0x0002 WriteBegin   0x00C6 user data, 0x0008 factory area, 0x0006 tuner tables -> Y / N
//   0x0003 WriteBlock   radio address, 32 data bytes                               -> Y / N
//   0x0004 WriteEnd     0x0002 / 0x0001                                            -> nothing
//   0x0109 ReadSerial                  -> the 8 serial number bytes of the memory
//   0x0104 AdjustValue  live address, byte 4 = the value                           -> Y
//   0x0105 AdjustEnd                                                               -> nothing
// Y is 0x59, N is 0x4E.
//
// Upload stream, every frame acknowledged by the PC with one byte 0x59 before the next:
//   channel frame, 35 bytes: block number (2, high first), 32 block bytes, checksum of 0..33;
//     any number of them for blocks below 500, then one with block number >= 500 ends them;
//   area frame, 33 bytes: 32 block bytes, checksum of 0..31; exactly 60, blocks 500..559.
//
// Example, upload of a memory with channel 1 in use:
//   PC  00 00 10 00 <32 x 00> 10                radio  01 2A 6B 74 34 36 38 68 <8 bytes>
//   PC  00 01 00 00 <32 x 00> 01                radio  00 00 A5 ... <checksum>    (block 0)
//   PC  59                                      radio  01 F4 ... <checksum>       (end)
//   PC  59                                      radio  <block 500> <checksum>
//   ... 59 / <block 501> ... 59 / <block 559>, PC 59.
// Example, download of the factory area:
//   PC  00 02 00 08 ... 0A   radio 59;   PC 00 03 0C 00 <32 bytes> <sum>   radio 59;  ...
//   PC  00 03 0D E0 <32 bytes> <sum>     radio 59;   PC 00 04 00 01 ... 05  (no answer)

#include "model/U_Const.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace mv53::radiosim {

// Byte, BlockNo, kBlockSize, kBlockCount, kChannelBlockCount and BlockOffset are the model's.
using RadioAddress = std::uint16_t;    // address of a block as the WriteBlock command names it
using Command = std::uint16_t;

inline constexpr std::size_t kMemorySize = static_cast<std::size_t>(kImageSize);
using Memory = std::array<Byte, kMemorySize>;    // the same bytes as TText::Bytes

inline constexpr BlockNo kEndBlockDefault = 0x01F4;

inline constexpr std::size_t kCommandFrameSize = 37;
inline constexpr std::size_t kChannelFrameSize = 35;
inline constexpr std::size_t kAreaFrameSize = 33;
inline constexpr std::size_t kIdentifyReplySize = 16;
inline constexpr std::size_t kSerialReplySize = 8;

inline constexpr Byte kAccept = 0x59;
inline constexpr Byte kRefuse = 0x4E;

inline constexpr std::size_t kSerialOffset = 17414;
inline constexpr std::string_view kTextId = "kt468h";

namespace cmd {
inline constexpr Command Identify = 0x0000;
inline constexpr Command ReadAll = 0x0001;
inline constexpr Command WriteBegin = 0x0002;
inline constexpr Command WriteBlock = 0x0003;
inline constexpr Command WriteEnd = 0x0004;
inline constexpr Command AdjustValue = 0x0104;
inline constexpr Command AdjustEnd = 0x0105;
inline constexpr Command ReadSerial = 0x0109;
}  // namespace cmd

// The WriteBegin parameters and the part of the memory that each opens for WriteBlock.
enum class WriteArea : std::uint16_t {
    None = 0,
    UserData = 0x00C6,    // channels, common area, both tuner tables
    Factory = 0x0008,     // serial number, alignment, temperature correction, factory options
    Tuner = 0x0006,       // both tuner tables
};

// The memory block that a WriteBlock address names, or nothing for an address that is not the
// start of a block of one of the writable areas.
std::optional<BlockNo> BlockOfAddress(RadioAddress address);
// The WriteBlock address of a block (0..559).
RadioAddress AddressOfBlock(BlockNo block);
// Whether WriteBegin with this area allows a WriteBlock to the block.
bool AreaContains(WriteArea area, BlockNo block);

// Low 8 bits of the sum of the bytes.
Byte Checksum(const Byte* data, std::size_t count);

// A complete 37-byte command frame with its checksum; data may be shorter than 32 bytes.
std::array<Byte, kCommandFrameSize> MakeCommandFrame(Command command, std::uint16_t address,
                                                     const std::vector<Byte>& data = {});

}  // namespace mv53::radiosim
