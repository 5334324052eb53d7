#pragma once
// The serial port component's receive thread: waits for line events, gathers a reply that
// arrives byte by byte, and hands each event to the owner's thread; it also runs echoed sending.

#include "link/CommNotices.h"
#include "platform/SerialDevice.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>

// The receive thread: waits for line events and hands them to the owner's thread, one at a time.
class TCommReceiveThread {
public:
    TCommReceiveThread(TCustomCommX& owner, mv53::platform::SerialDevice& device, uint64_t session)
        : m_owner(owner), m_device(device), m_session(session)
    {
    }
    ~TCommReceiveThread() { Terminate(); Join(); }

    void Start() { m_thread = std::thread([this] { Run(); }); }
    void Join()
    {
        if (m_thread.joinable())
            m_thread.join();
    }
    void Terminate()
    {
        m_terminated = true;
        m_gate->Abandon();
        m_device.WakeEventWaiter();
    }
    void AbandonNotices() { m_gate->Abandon(); }

private:
    void Run();
    unsigned Gather();
    bool EchoPending() const;
    // Runs the pending echoed transfer and reports its end; false when the thread must end.
    bool RunEcho();
    bool WriteEchoByte(uint8_t byte, int writeTimeOutMs, TEchoEnd& end);
    bool ReadEcho(int silenceMs, uint8_t& byte, TEchoEnd& end);

    TCustomCommX& m_owner;
    mv53::platform::SerialDevice& m_device;
    const uint64_t m_session;
    std::shared_ptr<TCommNoticeGate> m_gate = std::make_shared<TCommNoticeGate>();
    std::atomic<bool> m_terminated{false};
    std::thread m_thread;
};
