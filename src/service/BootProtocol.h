#pragma once
// The words of the microcontroller's serial boot mode and of the boot program that the firmware
// writer loads into it: protocol bytes, bit rates, the boot program's announced length and the
// bit-rate command. The exchange that uses them is TFirmwareWriter (RadioFSW.h).

#include "service/U_FileAccessFSW.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace mv53::fw {

inline constexpr std::size_t kBootProgramSize = 2142;

namespace boot {

// Bit-rate synchronisation: the PC sends kSyncBurst bytes kSync at each rate in turn until the
// boot mode answers kSync.
inline constexpr Byte kSync = 0x00;
inline constexpr int kSyncBurst = 8;
inline constexpr std::array<int, 4> kSyncRates{19200, 9600, 4800, 2400};

inline constexpr Byte kEnter = 0x55;     // boot mode entry
inline constexpr Byte kEntered = 0xAA;   // its answer; also: the boot program runs
inline constexpr Byte kAck = 0x06;
inline constexpr Byte kRefuse = 0x07;    // the bit-rate command is refused
inline constexpr Byte kFlow = 0x11;      // block request; the PC sends it back before the block
inline constexpr Byte kCmdBitRate = 0x53;     // "S"
inline constexpr Byte kCmdWrite = 0x57;       // "W"
inline constexpr Byte kCmdChecksum = 0x43;    // "C", answered by the flash sum
inline constexpr int kChecksumSize = 4;

// The boot program's length as the boot mode expects it before the program: two bytes, high first.
inline constexpr std::array<Byte, 2> kBootLength{static_cast<Byte>(kBootProgramSize >> 8),
                                                 static_cast<Byte>(kBootProgramSize & 0xFF)};

// The write command of each processor type: the HD64F2134ATF20 is written as one area whose
// header ends with kAreaHeaderEnd, the HD64F2134FA20 area by area.
inline constexpr std::array<Byte, 3> kWriteCommandATF20{kCmdWrite, 0x00, 0x8B};
inline constexpr std::array<Byte, 2> kWriteCommandFA20{kCmdWrite, 0x00};
inline constexpr Byte kAreaHeaderEnd = 0x00;

// The bit rate of the write phase, after the boot program accepted the bit-rate command.
inline constexpr int kWriteRateATF20 = 38400;
inline constexpr int kWriteRateFA20 = 9600;
// The write-phase rates that the firmware window's display lists.
inline constexpr std::array<int, 3> kWriteRateChoices{9600, 19200, 38400};
constexpr int WriteRate(TCpuType cpu) { return cpu == TCpuType::HD64F2134ATF20 ? kWriteRateATF20 : kWriteRateFA20; }

// The bit-rate command: kCmdBitRate, the new rate (32 bits, high byte first), a second 32-bit
// field that the boot program reads for each processor type, and three fixed bytes.
inline constexpr std::uint32_t kRateFieldATF20 = 0x4D6C;
inline constexpr std::uint32_t kRateFieldFA20 = 0x0FA0;
inline constexpr std::array<Byte, 3> kRateCommandEnd{0x01, 0x00, 0x01};
inline constexpr std::size_t kRateCommandSize = 12;

constexpr std::array<Byte, kRateCommandSize> BitRateCommand(TCpuType cpu)
{
    const std::uint32_t rate = static_cast<std::uint32_t>(WriteRate(cpu));
    const std::uint32_t field = cpu == TCpuType::HD64F2134ATF20 ? kRateFieldATF20 : kRateFieldFA20;
    std::array<Byte, kRateCommandSize> command{};
    command[0] = kCmdBitRate;
    for (int i = 0; i < 4; ++i) {
        command[static_cast<std::size_t>(1 + i)] = static_cast<Byte>(rate >> (24 - 8 * i));
        command[static_cast<std::size_t>(5 + i)] = static_cast<Byte>(field >> (24 - 8 * i));
    }
    for (std::size_t i = 0; i < kRateCommandEnd.size(); ++i)
        command[9 + i] = kRateCommandEnd[i];
    return command;
}

}  // namespace boot
}  // namespace mv53::fw
