#pragma once
// Waiting for the radio: the receive handler that fills the shared receive buffer, the
// one-second silence timer and the wait loops, which block in the event loop until bytes or
// the time-out arrive. Used by every window that talks to the radio.

#include "state/U_Global.h"

#include <QObject>
#include <QTimer>

class QEventLoop;
class TCustomCommX;

namespace mv53 {

class TRadioReceiver final : public QObject {
    Q_OBJECT
public:
    static constexpr int kSilenceMs = 1000;

    explicit TRadioReceiver(TProgramState& state, QObject* parent = nullptr);

    // Routes the port's received data and hang-up into this receiver.
    void Attach(TCustomCommX& comm);

    // The receive handler: reads receiveSize bytes into the shared buffer (bytes past its end
    // are counted, not stored), clears TimedOut and restarts the silence timer.
    void CommXReceive(TCustomCommX* sender, int receiveSize);

    // Sets count to 0.
    void ResetCount();
    // The silence after which a wait gives up (kSilenceMs unless set).
    void SetSilenceMs(int ms) { m_waitSilenceMs = ms; }
    // Clears TimedOut and starts the silence timer.
    void StartTimeout() { StartTimeout(m_waitSilenceMs); }
    void StartTimeout(int ms);
    void StopTimeout();
    bool TimeoutActive() const { return m_timer.isActive(); }

    // wait(n): returns true when count reached n before the silence time-out fired and the
    // device is still there. The silence timer is stopped afterwards.
    bool Wait(int n);
    // Waits for the reply byte and gives it (-1 when none came).
    int WaitReply();

    // Lets the application process its messages for ms milliseconds (the UI keeps painting
    // and received data keeps being stored). Ends early, with false, when the device vanishes.
    bool Sleep(int ms);
    // Processes the messages waiting now, without blocking.
    static void ProcessMessages();

    // The device vanished (cable pulled, pseudo-terminal closed): every wait fails at once.
    bool HungUp() const;
    void ClearHangUp() { m_hungUp = false; }

private:
    void TimerTick();
    void HangUp();
    void RestartTimer(int ms);

    TProgramState& m_state;
    TCustomCommX* m_comm = nullptr;
    QTimer m_timer;
    bool m_hungUp = false;
    int m_silenceMs = kSilenceMs;          // the silence that the running timer measures
    int m_waitSilenceMs = kSilenceMs;      // the silence of StartTimeout, Wait and each arrival
    QEventLoop* m_sleepLoop = nullptr;  // the Sleep in progress, ended by a hang-up
};

}  // namespace mv53
