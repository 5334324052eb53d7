#pragma once
// TfrmAlignment: the modal "Alignment" window. The technician views and changes the radio's
// factory adjustment values, the serial number and the LCD test flag on the window's own copies
// of TAlignment and TFactoryOpt. Write sends the whole factory area; Spot-ADJ sends every
// change at once through the live adjustment sender, and raising it writes the whole area.
// Open, Print, Write and the closing steps are the service window's; the LCD test mode is
// released by each of them, and closing leaves Spot-ADJ first.

#include "controls/SpinEdit.h"
#include "controls/TwoStateEdit.h"
#include "model/MVmemSub.h"
#include "service/ServiceHost.h"
#include "service/ServiceWindow.h"
#include "service/SpotAdj.h"
#include "state/U_Global.h"

#include <array>
#include <map>

class QComboBox;
class QPushButton;
class QSlider;
class QTabWidget;

// A track bar with the keyboard of the radio's panel: Up and Down, Page Up and Page Down are
// exchanged; Home and End do nothing.
class TTrackBar final : public QWidget {
    Q_OBJECT
public:
    explicit TTrackBar(QWidget* parent = nullptr);
    QSlider* Slider() const { return m_slider; }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    QSlider* m_slider = nullptr;
};

class TfrmAlignment final : public TServiceWindow {
    Q_OBJECT
public:
    TfrmAlignment(TProgramState& state, TServiceHost host, QWidget* parent = nullptr);
    ~TfrmAlignment() override;

    // The window's own records; the caller assigns CurrentMem's before showing the window.
    TAlignment& Alignment() { return m_alignment; }
    TFactoryOpt& FactoryOpt() { return m_factory; }

    // The steps of the window (also run by its commands).
    void ShowStep();
    void StoreStep() override;
    void CommitStep() override;
    void ReleaseLcdTest();

    // The commands of the two mode buttons.
    void SetSpotAdj(bool down);
    void SetLcdTest(bool down);

    bool SpotAdjOn() const { return m_spotAdj; }
    mv53::TSpotAdjSender& Sender() { return m_sender; }
    // The help topic of a control (-1: none).
    int HelpTopic(QWidget* control) const;

    // Controls; index = tag (1..48), slot 0 unused.
    std::array<TSpinEdit*, 49> SpinEdit{};
    std::array<QSlider*, 49> TrackBar{};
    QComboBox* cmbDtcxoSel = nullptr;
    QComboBox* cmbCwPttSnd = nullptr;
    TTwoStateEdit* edtSerial = nullptr;
    QTabWidget* pgcAlignment = nullptr;
    QPushButton* btnLcdTest = nullptr;
    QPushButton* btnSpotAdj = nullptr;

protected:
    void ShowCopies() override { ShowStep(); }
    bool CopiesDiffer() const override;
    void TakeCopies() override;
    void LeaveLiveMode() override;
    void ReturnToNormal() override { ReleaseLcdTest(); }
    void keyPressEvent(QKeyEvent* e) override;

private:
    void BuildControls();
    void EnableValueControls(bool on);
    void ValueChanged(int tag);

    TAlignment m_alignment;
    TFactoryOpt m_factory;
    mv53::TSpotAdjSender m_sender;
    std::map<QWidget*, int> m_topics;
    bool m_spotAdj = false;
    bool m_loading = false;
};
