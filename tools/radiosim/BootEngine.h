#pragma once
// The radio's microcontroller in its serial boot mode, without any transport: bytes from the
// PC go in together with the bit rate of the line they came at, the answer bytes come out.
// Single-threaded; RadioSimulator guards it with a lock.
//
// Boot mode (at its own bit rate only; bytes at any other rate are noise and get no answer):
//   PC 00 x8           radio 00        (one 00 for every eight in a row)
//   PC 55              radio AA        (a round begins)
//   PC 08 5E           radio 08 5E     (length of the boot program, echoed)
//   PC <2142 bytes>    radio <echo of each byte>, then AA when the program runs
// Boot program:
//   PC 53 <rate:4> <4> <3>   radio 06, then listens at the new rate for 06 and answers 06;
//                            07 for any other command than 00 00 96 00 00 00 4D 6C 01 00 01
//                            (38400) or 00 00 25 80 00 00 0F A0 01 00 01 (9600)
//   PC 57 00 8B              radio 06   (HD64F2134ATF20)  PC <start:4> <length:4> 00
//   PC 57 00                 radio 06   (HD64F2134FA20)   PC <start:4> <length:4>
//     radio 07 for a header it cannot write (the ATF20's ninth byte not 00, a length that is
//     not whole blocks, past the flash); the first write of a round erases the whole flash (0xFF);
//     per block: radio 11, PC 11 <block bytes>; after the last: radio 11, PC 11 <~sum>, radio 06
//   PC 43                    radio <flash sum, 4 bytes, high first>
// Like the microcontroller, the boot mode does not notice the PC closing its port: a half-loaded
// boot program takes the next bytes, a running one goes on running. Only switching the radio off
// and on again (Reset) starts the boot mode over.

#include <array>
#include <cstdint>
#include <vector>

namespace mv53::radiosim {

using BootByte = std::uint8_t;

enum class BootCpu { HD64F2134ATF20, HD64F2134FA20 };

struct BootBehaviour {
    unsigned rate = 9600;                     // the bit rate the boot mode synchronises at
    BootCpu cpu = BootCpu::HD64F2134ATF20;
    BootByte flashFill = 0x5A;                // flash contents before the first erase
};

// Faults; rounds limits them to the first rounds (a round begins with 55 -> AA), -1: always.
struct BootFaults {
    bool silent = false;                      // answer nothing at all
    bool refuseBitRate = false;               // 07 to the bit-rate command
    bool noEnterAck = false;                  // no AA to 55: the radio stays out of its boot mode
    bool noLengthEcho = false;                // the boot program's length is not echoed
    long wrongEchoAt = -1;                    // boot program byte (from 0) echoed wrongly
    long noEchoAt = -1;                       // boot program byte (from 0) not echoed
    bool noStartAck = false;                  // no AA after the boot program
    bool badFinalAnswer = false;              // 07 instead of 06 after the area's checksum byte
    long corruptBlock = -1;                   // this block (index in its area) is stored damaged
    long lastBlockAsked = -1;                 // no request for the block after this one
    long refuseWrite = -1;                    // 07 to this write command of a round (from 0)
    bool noChecksum = false;                  // no answer to the checksum request
    int rounds = -1;
};

struct BootLog {
    int rounds = 0;                           // boot mode entries answered with AA
    std::vector<unsigned> syncRates;          // the line rate of each 00 answered
    std::vector<BootByte> program;            // the boot program last received
    struct Area {
        std::uint32_t start = 0;
        std::uint32_t length = 0;
        bool finished = false;                // the final 06 was sent
    };
    std::vector<Area> areas;                  // write commands, in order
    int checksumRequests = 0;
    unsigned rate = 0;                        // the bit rate the radio listens at now
};

class BootEngine final {
public:
    static constexpr std::size_t kFlashSize = 0x20000;
    static constexpr std::size_t kProgramSize = 2142;

    BootEngine();

    void Receive(BootByte byte, unsigned lineRate, std::vector<BootByte>& out);
    // Switched off and on again in boot mode: back to the synchronisation; the flash is kept.
    void Reset();

    BootBehaviour& Behave() { return m_behaviour; }
    BootFaults& Fault() { return m_faults; }
    const std::vector<BootByte>& Flash() const { return m_flash; }
    void FillFlash(BootByte value);
    const BootLog& Log() const { return m_log; }

private:
    enum class State { Sync, Length, Program, Command, BitRate, AwaitRate, WriteHead, Block, Final };

    bool FaultActive() const { return m_faults.rounds < 0 || m_log.rounds <= m_faults.rounds; }
    void Command(BootByte byte, std::vector<BootByte>& out);
    void StartArea(std::vector<BootByte>& out);

    BootBehaviour m_behaviour;
    BootFaults m_faults;
    BootLog m_log;
    std::vector<BootByte> m_flash;

    State m_state = State::Sync;
    unsigned m_rate = 0;                      // current listening rate; 0: the behaviour's
    int m_zeros = 0;
    bool m_synced = false;
    std::vector<BootByte> m_collect;          // bytes of the field being received
    std::size_t m_expect = 0;
    unsigned m_newRate = 0;
    bool m_erased = false;
    std::uint32_t m_areaStart = 0;
    std::uint32_t m_areaLength = 0;
    int m_writes = 0;                         // write commands in this round
    std::uint32_t m_block = 0;                // blocks received in the area
    bool m_blockStarted = false;
    std::uint8_t m_sum = 0;
};

}  // namespace mv53::radiosim
