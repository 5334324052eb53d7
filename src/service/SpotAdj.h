#pragma once
// TSpotAdjSender: the live adjustment of the alignment window (Spot-ADJ) without widgets. It
// owns its serial port, sends each changed alignment value to the radio as AdjustValue frames
// and keeps them at least 150 ms apart, which the radio needs to take a value over.
//
// The window drives it: Open when Spot-ADJ is pressed (false: the port could not be opened, and
// the window says why and returns to normal), ValueChanged for every change of a value, Close when Spot-ADJ
// is raised (the window then writes the whole factory area).
//
// Spacing: a change while the last send is less than 150 ms old is kept as pending (the latest
// value per control); when the interval ends the oldest pending control is sent with its latest
// value, so the radio always ends on the values the technician sees.
//
// Frames, each 37 bytes handed to the port one byte at a time, then 10 ms and one reply byte
// read with the port's receive time-out (the reply is not acted on):
//   01 04 <address hi lo> <value> 00..00 <sum>    AdjustValue, one per live byte
//   01 05 00 00 00..00 06                          AdjustEnd after the CLAR and carrier offsets
// A carrier offset of -1500 Hz (held -150 = 0xFF6A): 0xFF to 0xE138, 0x6A to 0xE139, AdjustEnd.

#include "state/U_Global.h"
#include "link/CommX.h"

#include <QObject>
#include <QTimer>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace mv53 {

class TSpotAdjSender final : public QObject {
    Q_OBJECT
public:
    static constexpr int kSendIntervalMs = 150;
    static constexpr int kReplyDelayMs = 10;

    explicit TSpotAdjSender(const TProgramState& state, QObject* parent = nullptr);
    ~TSpotAdjSender() override;

    // Talks over this device instead of the port ComPortNo + 1.
    void SetDevicePath(std::string path) { m_devicePath = std::move(path); }

    // Opens the port (9600 baud, 8 data bits, no parity, 1 stop bit, no handshake) and
    // starts the first interval. False, with the port closed again and the reason in failure
    // when one is given, when it cannot be opened.
    bool Open(std::string* failure = nullptr);
    // Closes the port; pending values are dropped (the whole-area write carries them).
    void Close();
    bool IsOpen() const;

    // A value changed: tag of its control and the value as the record holds it (carrier
    // offsets in 10 Hz). Sent now when the interval is over, else kept as pending.
    void ValueChanged(int tag, int heldValue);

    bool SendReady() const { return m_intervalOver && !m_sending; }
    bool HasPending() const { return !m_pending.empty(); }
    TCommX& CommX() { return m_comm; }

Q_SIGNALS:
    // One frame was handed to the port (AdjustEnd: address 0, value 0, end set).
    void FrameSent(uint16_t address, uint8_t value, bool end);

private:
    void IntervalEnded();
    void Pump();
    void SendValue(int tag, int heldValue);
    void SendAdjustEnd();
    bool SendFrame(uint16_t command, uint16_t address, uint8_t value);

    const TProgramState& m_state;
    TCommX m_comm;
    QTimer m_timer;
    std::string m_devicePath;
    bool m_intervalOver = false;
    bool m_sending = false;
    std::vector<std::pair<int, int>> m_pending;   // tag and latest held value, oldest first
};

}  // namespace mv53
