// The serial port component's line settings: the properties, and how they reach an open device.

#include "link/CommLine.h"
#include "link/CommTransmit.h"

namespace pf = mv53::platform;
using namespace mv53::comm;

int TCustomCommX::CharTimeMs(int bitRate)
{
    const int charsPerSecond = bitRate / 10;
    return (charsPerSecond > 0 ? 1000 / charsPerSecond : 1000) + 1;
}

void TCustomCommX::UpdateCharMicros()
{
    const int bits = 1 + m_charSize + (m_parityBit == cpbNone ? 0 : 1) + (m_stopBit == csb1 ? 1 : 2);
    m_charMicros = m_bitRate > 0 ? static_cast<int>(1000000LL * bits / m_bitRate) : 1000000;
}

void TCustomCommX::ApplyLine(const char* message)
{
    if (const int err = m_device->SetLineSettings(m_dcb); err != 0)
        Raise(message, err);
}

void TCustomCommX::ApplyTimeouts()
{
    // Read: interval without limit, no multiplier, total TimeOutReceive; write: total TimeOutTrans.
    const pf::Timeouts timeouts{m_timeOutReceive, m_timeOutTrans};
    if (const int err = m_device->SetTimeouts(timeouts); err != 0)
        Raise(kCommTimeOutError, err);
}

void TCustomCommX::ApplyQueueSizes()
{
    if (const int err = m_device->SetQueueSizes(m_bufLenReceive, m_bufLenTrans); err != 0)
        Raise(kCommBufferError, err);
}

void TCustomCommX::ApplyFlowCtrl()
{
    m_dcb.xonLimit = m_bufLenReceive / 4;
    m_dcb.xoffLimit = m_bufLenReceive / 4;
    m_dcb.flags = FlowFlags(m_flowCtrl);
    ApplyLine(kCommFlowCtrlError);
}

void TCustomCommX::SetPortNo(int value)
{
    m_portNo = value;
    if (IsOpen()) {
        Close();
        Open();
    }
}

void TCustomCommX::SetDevicePath(std::string value)
{
    m_devicePath = std::move(value);
    if (IsOpen()) {
        Close();
        Open();
    }
}

void TCustomCommX::SetBitRate(int value)
{
    m_bitRate = value;
    UpdateCharMicros();
    if (!IsOpen())
        return;
    if (m_transThread)
        m_transThread->m_charTime = CharTimeMs(value);
    m_dcb.baudRate = value;
    ApplyLine(kCommBitRateError);
}

void TCustomCommX::SetCharSize(int value)
{
    m_charSize = value;
    UpdateCharMicros();
    if (!IsOpen())
        return;
    m_dcb.dataBits = value;
    ApplyLine(kCommCharSizeError);
}

void TCustomCommX::SetParityBit(TCommParityBits value)
{
    m_parityBit = value;
    UpdateCharMicros();
    if (!IsOpen())
        return;
    m_dcb.parity = ToParity(value);
    ApplyLine(kCommParityError);
}

void TCustomCommX::SetStopBit(TCommStopBits value)
{
    m_stopBit = value;
    UpdateCharMicros();
    if (!IsOpen())
        return;
    m_dcb.stopBits = ToStopBits(value);
    ApplyLine(kCommStopBitError);
}

void TCustomCommX::SetFlowCtrl(TCommFlowCtrls value)
{
    m_flowCtrl = value;
    if (!IsOpen())
        return;
    if (m_transThread)
        m_transThread->m_flowCtrl = value;
    ApplyFlowCtrl();
}

void TCustomCommX::SetTimeOutTrans(int value)
{
    m_timeOutTrans = value;
    if (!IsOpen())
        return;
    if (m_transThread)
        m_transThread->m_timeOut = value;
    ApplyTimeouts();
}

void TCustomCommX::SetTimeOutReceive(int value)
{
    m_timeOutReceive = value;
    if (IsOpen())
        ApplyTimeouts();
}

void TCustomCommX::SetXonChar(char value)
{
    m_xonChar = value;
    if (!IsOpen())
        return;
    m_dcb.xonChar = static_cast<uint8_t>(value);
    ApplyLine(kCommXonCharError);
}

void TCustomCommX::SetXoffChar(char value)
{
    m_xoffChar = value;
    if (!IsOpen())
        return;
    m_dcb.xoffChar = static_cast<uint8_t>(value);
    ApplyLine(kCommXoffCharError);
}

void TCustomCommX::SetBufLenTrans(int value)
{
    m_bufLenTrans = value;
    if (IsOpen())
        ApplyQueueSizes();
}

void TCustomCommX::SetBufLenReceive(int value)
{
    m_bufLenReceive = value;
    if (!IsOpen())
        return;
    ApplyQueueSizes();
    ApplyFlowCtrl();
}
