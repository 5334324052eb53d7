#pragma once
// The serial port component's line settings: the flag words of each flow control and the
// component's parity and stop-bit choices in the platform's terms.

#include "link/CommX.h"

#include <cstdint>

namespace mv53::comm {

namespace pf = mv53::platform;

// Flag words of the line settings block.
inline constexpr uint32_t kFlagsRtsCts = pf::kLineBinary | pf::kLineParityCheck | pf::kLineCtsOutFlow |
                                         pf::kLineDtrOn | pf::kLineRtsHandshake; // 0x2017
inline constexpr uint32_t kFlagsDtrDsr = pf::kLineBinary | pf::kLineParityCheck | pf::kLineDsrOutFlow |
                                         pf::kLineDtrHandshake | pf::kLineRtsOn; // 0x102B
inline constexpr uint32_t kFlagsXonXoff = pf::kLineBinary | pf::kLineParityCheck | pf::kLineDtrOn |
                                          pf::kLineXonXoffOut | pf::kLineXonXoffIn | pf::kLineRtsOn; // 0x1313
inline constexpr uint32_t kFlagsHalfHigh = pf::kLineBinary | pf::kLineParityCheck | pf::kLineDtrOn; // 0x0013
inline constexpr uint32_t kFlagsPlain = pf::kLineBinary | pf::kLineParityCheck | pf::kLineDtrOn |
                                        pf::kLineRtsOn; // 0x1013
// After Open: DTR and RTS on, no handshake, no parity check. At Close: DTR dropped.
inline constexpr uint32_t kFlagsOpen = pf::kLineBinary | pf::kLineDtrOn | pf::kLineRtsOn; // 0x1011
inline constexpr uint32_t kFlagsClose = pf::kLineBinary | pf::kLineRtsOn;                 // 0x1001
static_assert(kFlagsRtsCts == 0x2017 && kFlagsDtrDsr == 0x102B && kFlagsXonXoff == 0x1313 &&
              kFlagsHalfHigh == 0x0013 && kFlagsPlain == 0x1013 && kFlagsOpen == 0x1011 &&
              kFlagsClose == 0x1001);

inline uint32_t FlowFlags(TCommFlowCtrls flow)
{
    switch (flow) {
    case cfcRtsCts: return kFlagsRtsCts;
    case cfcDtrDsr: return kFlagsDtrDsr;
    case cfcXonXoff: return kFlagsXonXoff;
    case cfcHalfHigh: return kFlagsHalfHigh;
    case cfcHalfLow:
    case cfcNone: break;
    }
    return kFlagsPlain;
}

inline pf::Parity ToParity(TCommParityBits p)
{
    switch (p) {
    case cpbOdd: return pf::Parity::Odd;
    case cpbEven: return pf::Parity::Even;
    case cpbNone: break;
    }
    return pf::Parity::None;
}

inline pf::StopBits ToStopBits(TCommStopBits s)
{
    switch (s) {
    case csb1p5: return pf::StopBits::OnePointFive;
    case csb2: return pf::StopBits::Two;
    case csb1: break;
    }
    return pf::StopBits::One;
}

}  // namespace mv53::comm
