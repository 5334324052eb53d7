#pragma once
// Service window tests: the program state with cleared records, a scripted prompt, a host whose
// downloads are recorded (or run through the real clone window against the simulator), and a
// clicker for the clone window's "&Ok".

#include "ScriptedPrompt.h"
#include "TestRecords.h"
#include "link/Radio.h"
#include "platform/PortMap.h"
#include "service/ServiceHost.h"
#include "service/ServiceWindow.h"
#include "SimRadio.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>
#include <vector>

namespace mv53::test {

// Clicks "&Ok" of every clone window that waits for the user, while it lives.
class CloneWindowClicker {
public:
    CloneWindowClicker()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* frm = qobject_cast<TfrmRadio*>(w);
                if (frm && frm->isVisible() && frm->btnOk->isVisible() && frm->btnOk->isEnabled()) {
                    ++windows;
                    frm->btnOk->click();
                }
            }
        });
        m_timer.start(20);
    }
    int windows = 0;

private:
    QTimer m_timer;
};

// How a service window is left without "&Write".
enum class Leave { CancelButton, Escape, CloseBox };
inline constexpr Leave kEveryWayOut[] = {Leave::CancelButton, Leave::Escape, Leave::CloseBox};

// Leaves frm that way; Escape is pressed in escapeIn.
inline void LeaveBy(TServiceWindow& frm, Leave how, QWidget* escapeIn)
{
    switch (how) {
    case Leave::CancelButton: frm.btnCancel->click(); break;
    case Leave::Escape: QTest::keyClick(escapeIn, Qt::Key_Escape); break;
    case Leave::CloseBox: frm.close(); break;
    }
}

// One transfer the host was asked for, with how it was to run.
struct HostCall {
    TTransferKind kind;
    bool autoStart;
    bool inChain;
    bool operator==(const HostCall&) const = default;
};

class ServiceWindowTest : public ::testing::Test {
protected:
    TProgramState state;
    ScriptedPrompt prompt;
    ScopedPrompt scoped{prompt};
    std::vector<HostCall> calls;
    // Set by StartRadio: transfers go through the clone window to the simulator.
    std::unique_ptr<radiosim::RadioSimulator> radio;
    std::unique_ptr<CloneWindowClicker> clicker;

    void SetUp() override
    {
        state.CurrentMem = ClearedRecords();
        EncodeImage(state.CurrentText, state.CurrentMem, true);
    }
    void TearDown() override
    {
        clicker.reset();
        platform::PortMap::ClearBindings();
    }

    // Every way out of a window with every answer to its closing question (-1: nothing changed,
    // 0: No, 1: Yes), each on fresh records: leave(how, answer) opens the window, changes it
    // unless answer < 0, leaves it that way and checks what the records hold. A change is never
    // left without the question; only Yes marks the records changed and writes the factory area.
    template <class LeaveFn>
    void LeaveEveryWay(LeaveFn leave)
    {
        for (Leave how : kEveryWayOut)
            for (int answer : {-1, 0, 1}) {
                SCOPED_TRACE(testing::Message() << "leave " << static_cast<int>(how) << " answer " << answer);
                Restart(answer == 1);
                leave(how, answer);
                EXPECT_EQ(prompt.texts(), answer < 0 ? std::vector<std::string>{}
                                                     : std::vector<std::string>{"Do you download data to the radio?"});
                EXPECT_EQ(state.Modified, answer == 1);
                EXPECT_EQ(calls, (answer == 1 ? std::vector<HostCall>{{TTransferKind::Factory, false, false}}
                                              : std::vector<HostCall>{}));
            }
    }

    // One more case of a loop: cleared records, nothing changed, downloaded or asked yet; the
    // closing question is answered Yes or No.
    void Restart(bool yes)
    {
        state.CurrentMem = ClearedRecords();
        state.Modified = false;
        calls.clear();
        prompt.shown.clear();
        prompt.answers = {yes ? PromptAnswer::Yes : PromptAnswer::No};
    }

    // A simulated radio on COM1 holding mem.
    void StartRadio(const TMVmem& mem)
    {
        radio = StartedRadio(RadioMemory(mem));
        platform::PortMap::Bind(1, radio->DevicePath());
        state.ComPortNo = 0;
        clicker = std::make_unique<CloneWindowClicker>();
    }

    // The radio gone as when its cable is pulled: COM1 names no device. (A stopped simulator's
    // terminal number can at once be another running test's, whose radio would answer.)
    void UnplugRadio()
    {
        radio->Stop();
        platform::PortMap::Bind(1, "/dev/mv53-unplugged");
    }

    // What the simulated radio holds, decoded.
    TMVmem RadioRecords() const { return RecordsOf(radio->GetMemory()); }

    TServiceHost Host()
    {
        TServiceHost host;
        host.Download = [this](TProgramState& s, const TTransferRequest& r, QWidget* parent, std::string* serial) {
            calls.push_back({r.Kind, r.AutoStart, r.InChain});
            if (radio)
                return RunCloneWindow(s, r, parent, serial);
            return true;
        };
        if (radio)
            host.SpotAdjDevice = radio->DevicePath();
        return host;
    }
};

}  // namespace mv53::test
