#include "BootEngine.h"

#include <algorithm>

namespace mv53::radiosim {

namespace {
constexpr BootByte kSync = 0x00;
constexpr BootByte kEnter = 0x55;
constexpr BootByte kEntered = 0xAA;
constexpr BootByte kAck = 0x06;
constexpr BootByte kRefuse = 0x07;
constexpr BootByte kFlow = 0x11;
constexpr BootByte kCmdBitRate = 0x53;
constexpr BootByte kCmdWrite = 0x57;
constexpr BootByte kCmdChecksum = 0x43;

std::uint32_t BigEndian(const BootByte* p)
{
    return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
           static_cast<std::uint32_t>(p[2]) << 8 | p[3];
}

// The bit-rate commands the boot program takes (the eleven bytes after 53).
bool KnownBitRateCommand(const std::vector<BootByte>& c)
{
    static const std::vector<BootByte> known[] = {
        {0x00, 0x00, 0x96, 0x00, 0x00, 0x00, 0x4D, 0x6C, 0x01, 0x00, 0x01},
        {0x00, 0x00, 0x25, 0x80, 0x00, 0x00, 0x0F, 0xA0, 0x01, 0x00, 0x01},
    };
    return std::find(std::begin(known), std::end(known), c) != std::end(known);
}
}  // namespace

BootEngine::BootEngine() : m_flash(kFlashSize, m_behaviour.flashFill) {}

void BootEngine::FillFlash(BootByte value) { std::fill(m_flash.begin(), m_flash.end(), value); }

void BootEngine::Reset()
{
    m_state = State::Sync;
    m_rate = 0;
    m_zeros = 0;
    m_synced = false;
    m_collect.clear();
    m_erased = false;
}

void BootEngine::Receive(BootByte byte, unsigned lineRate, std::vector<BootByte>& out)
{
    const unsigned rate = m_state == State::AwaitRate ? m_newRate : (m_rate != 0 ? m_rate : m_behaviour.rate);
    m_log.rate = rate;
    if (lineRate != rate)
        return;                                    // noise at a wrong bit rate
    std::vector<BootByte> answer;
    switch (m_state) {
    case State::Sync:
        if (byte == kSync) {
            if (++m_zeros % 8 == 0) {
                m_synced = true;
                m_log.syncRates.push_back(lineRate);
                answer.push_back(kSync);
            }
        } else if (byte == kEnter && m_synced && !(FaultActive() && m_faults.noEnterAck)) {
            ++m_log.rounds;
            m_writes = 0;
            answer.push_back(kEntered);
            m_state = State::Length;
            m_collect.clear();
        } else {
            m_zeros = 0;
        }
        break;
    case State::Length:
        if (!(FaultActive() && m_faults.noLengthEcho))
            answer.push_back(byte);
        m_collect.push_back(byte);
        if (m_collect.size() == 2) {
            const bool ok = m_collect[0] == 0x08 && m_collect[1] == 0x5E;
            m_collect.clear();
            m_state = ok ? State::Program : State::Sync;
        }
        break;
    case State::Program: {
        const long index = static_cast<long>(m_collect.size());
        m_collect.push_back(byte);
        if (!(FaultActive() && index == m_faults.noEchoAt))
            answer.push_back(FaultActive() && index == m_faults.wrongEchoAt ? static_cast<BootByte>(~byte) : byte);
        if (m_collect.size() == kProgramSize) {
            m_log.program = m_collect;
            m_collect.clear();
            m_state = State::Command;
            m_erased = false;
            if (!(FaultActive() && m_faults.noStartAck))
                answer.push_back(kEntered);
        }
        break;
    }
    default:
        Command(byte, answer);
        break;
    }
    if (!m_faults.silent)
        out.insert(out.end(), answer.begin(), answer.end());
}

void BootEngine::Command(BootByte byte, std::vector<BootByte>& out)
{
    const std::uint32_t blockSize = m_behaviour.cpu == BootCpu::HD64F2134ATF20 ? 128 : 64;
    switch (m_state) {
    case State::Command:
        m_collect.clear();
        if (byte == kCmdBitRate) {
            m_state = State::BitRate;
            m_expect = 11;
        } else if (byte == kCmdWrite) {
            m_state = State::WriteHead;
            m_expect = m_behaviour.cpu == BootCpu::HD64F2134ATF20 ? 2 : 1;
        } else if (byte == kCmdChecksum) {
            ++m_log.checksumRequests;
            if (FaultActive() && m_faults.noChecksum)
                break;
            std::uint32_t sum = 0;
            for (const BootByte b : m_flash)
                sum += b;
            for (int shift = 24; shift >= 0; shift -= 8)
                out.push_back(static_cast<BootByte>(sum >> shift));
        }
        break;
    case State::BitRate:
        m_collect.push_back(byte);
        if (m_collect.size() == m_expect) {
            m_state = State::Command;
            if ((FaultActive() && m_faults.refuseBitRate) || !KnownBitRateCommand(m_collect)) {
                out.push_back(kRefuse);
            } else {
                m_newRate = BigEndian(m_collect.data());
                m_state = State::AwaitRate;
                out.push_back(kAck);
            }
            m_collect.clear();
        }
        break;
    case State::AwaitRate:
        if (byte == kAck) {
            m_rate = m_newRate;
            m_state = State::Command;
            out.push_back(kAck);
        }
        break;
    case State::WriteHead:
        m_collect.push_back(byte);
        if (m_expect == 2 || m_expect == 1) {
            // The command's own bytes: 00 (and 8B for the ATF20), answered with 06.
            const bool atf = m_behaviour.cpu == BootCpu::HD64F2134ATF20;
            if (m_collect.size() < m_expect)
                break;
            const bool ok = atf ? (m_collect[0] == 0x00 && m_collect[1] == 0x8B) : m_collect[0] == 0x00;
            m_collect.clear();
            if (!ok) {
                m_state = State::Command;
                break;
            }
            const long write = m_writes++;
            if (FaultActive() && write == m_faults.refuseWrite) {
                m_state = State::Command;
                out.push_back(kRefuse);
                break;
            }
            out.push_back(kAck);
            m_expect = atf ? 9 : 8;
            break;
        }
        if (m_collect.size() == m_expect)
            StartArea(out);
        break;
    case State::Block:
        if (!m_blockStarted) {
            if (byte != kFlow) {
                m_state = State::Command;
                break;
            }
            m_blockStarted = true;
            m_collect.clear();
            break;
        }
        m_collect.push_back(byte);
        m_sum = static_cast<std::uint8_t>(m_sum + byte);
        if (m_collect.size() == blockSize) {
            const std::uint32_t at = m_areaStart + m_block * blockSize;
            std::copy(m_collect.begin(), m_collect.end(), m_flash.begin() + at);
            if (FaultActive() && static_cast<long>(m_block) == m_faults.corruptBlock)
                m_flash[at] = static_cast<BootByte>(m_flash[at] ^ 0x01);
            ++m_block;
            m_blockStarted = false;
            if (FaultActive() && static_cast<long>(m_block) > m_faults.lastBlockAsked && m_faults.lastBlockAsked >= 0)
                break;
            out.push_back(kFlow);
            if (m_block * blockSize >= m_areaLength)
                m_state = State::Final;
        }
        break;
    case State::Final:
        if (!m_blockStarted) {
            if (byte != kFlow) {
                m_state = State::Command;
                break;
            }
            m_blockStarted = true;
            break;
        }
        m_blockStarted = false;
        m_state = State::Command;
        if (byte == static_cast<BootByte>(~m_sum) && !(FaultActive() && m_faults.badFinalAnswer)) {
            out.push_back(kAck);
            m_log.areas.back().finished = true;
        } else {
            out.push_back(kRefuse);
        }
        break;
    default:
        break;
    }
}

void BootEngine::StartArea(std::vector<BootByte>& out)
{
    const std::uint32_t blockSize = m_behaviour.cpu == BootCpu::HD64F2134ATF20 ? 128 : 64;
    m_areaStart = BigEndian(m_collect.data());
    m_areaLength = BigEndian(m_collect.data() + 4);
    // The HD64F2134ATF20's header ends with 00.
    const bool ninthByte = m_collect.size() < 9 || m_collect[8] == 0x00;
    m_collect.clear();
    m_log.areas.push_back({m_areaStart, m_areaLength, false});
    if (!ninthByte || m_areaLength == 0 || m_areaLength % blockSize != 0 || m_areaStart % blockSize != 0 ||
        m_areaStart >= kFlashSize || m_areaLength > kFlashSize - m_areaStart) {
        m_state = State::Command;
        out.push_back(kRefuse);
        return;
    }
    if (!m_erased) {
        // The boot program erases the whole flash before its first write.
        FillFlash(0xFF);
        m_erased = true;
    }
    m_block = 0;
    m_sum = 0;
    m_blockStarted = false;
    m_state = State::Block;
    out.push_back(kFlow);
}

}  // namespace mv53::radiosim
