#include "service/SpotAdj.h"

#include "link/CloneFrames.h"
#include "link/RadioPort.h"
#include "service/AlignmentTags.h"

#include <algorithm>
#include <array>

#include <QEventLoop>

namespace mv53 {

TSpotAdjSender::TSpotAdjSender(const TProgramState& state, QObject* parent) : QObject(parent), m_state(state)
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(kSendIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &TSpotAdjSender::IntervalEnded);
}

TSpotAdjSender::~TSpotAdjSender() { Close(); }

bool TSpotAdjSender::IsOpen() const { return m_comm.IsOpen(); }

bool TSpotAdjSender::Open(std::string* failure)
{
    m_pending.clear();
    m_intervalOver = false;
    m_timer.start();
    if (std::string why = OpenRadioPort(m_comm, m_state, m_devicePath, kSpotAdjLine); !why.empty()) {
        Close();
        if (failure)
            *failure = std::move(why);
        return false;
    }
    return true;
}

void TSpotAdjSender::Close()
{
    m_timer.stop();
    m_pending.clear();
    m_intervalOver = false;
    m_comm.Close();
}

void TSpotAdjSender::ValueChanged(int tag, int heldValue)
{
    if (!IsOpen() || alignment::Position(tag) < 1 || alignment::Position(tag) > 50)
        return;
    const bool ready = SendReady();
    auto it = std::find_if(m_pending.begin(), m_pending.end(), [tag](const auto& p) { return p.first == tag; });
    if (it != m_pending.end())
        it->second = heldValue;
    else
        m_pending.emplace_back(tag, heldValue);
    if (ready) {
        Pump();
    } else if (alignment::NeedsAdjustEnd(tag) && !m_sending) {
        // The radio gets its AdjustEnd for every change of these values, sent or not.
        SendAdjustEnd();
    }
}

void TSpotAdjSender::IntervalEnded()
{
    m_intervalOver = true;
    Pump();
}

void TSpotAdjSender::Pump()
{
    // A send reads its reply while the application processes messages: the interval may end
    // and values may change meanwhile; the loop picks them up once the send is done.
    while (IsOpen() && m_intervalOver && !m_sending && !m_pending.empty()) {
        const auto [tag, value] = m_pending.front();
        m_pending.erase(m_pending.begin());
        m_intervalOver = false;
        m_timer.start();
        m_sending = true;
        SendValue(tag, value);
        m_sending = false;
    }
}

void TSpotAdjSender::SendValue(int tag, int heldValue)
{
    for (const alignment::TLiveByte& live : alignment::LiveBytes(tag, heldValue))
        if (!SendFrame(static_cast<uint16_t>(clone::TCommand::AdjustValue), live.address, live.value))
            return;
    if (alignment::NeedsAdjustEnd(tag))
        SendAdjustEnd();
}

void TSpotAdjSender::SendAdjustEnd()
{
    const clone::TFrame frame = clone::BuildFrame(clone::TCommand::AdjustEnd, 0);
    for (Byte b : frame)
        if (!m_comm.WriteChar(b))
            return;
    Q_EMIT FrameSent(0, 0, true);
}

bool TSpotAdjSender::SendFrame(uint16_t command, uint16_t address, uint8_t value)
{
    std::array<Byte, kBlockSize> data{};
    data[0] = value;
    const clone::TFrame frame = clone::BuildFrame(static_cast<clone::TCommand>(command), address, data.data());
    for (Byte b : frame)
        if (!m_comm.WriteChar(b))
            return false;
    Q_EMIT FrameSent(address, value, false);
    {
        QEventLoop pause;
        QTimer::singleShot(kReplyDelayMs, Qt::PreciseTimer, &pause, &QEventLoop::quit);
        pause.exec();
    }
    if (!IsOpen())
        return false;
    Byte reply = 0;
    // The reply ("Y" when accepted) is read and not acted on; a missing one costs the port's
    // receive time-out. A vanished device ends the read at once.
    return m_comm.Read(&reply, 1) >= 0 && IsOpen();
}

}  // namespace mv53
