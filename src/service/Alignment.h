#pragma once
// TfrmAlignment: the modal "Alignment" window. The technician views and changes the radio's
// factory adjustment values, the serial number and the LCD test flag on the window's own copies
// of TAlignment and TFactoryOpt. Write sends the whole factory area; Spot-ADJ sends every
// change at once through the live adjustment sender. Closing asks before anything is lost.

#include "model/MVmemSub.h"
#include "service/ServiceControls.h"
#include "service/ServiceHost.h"
#include "service/SpotAdj.h"
#include "state/U_Global.h"

#include <QDialog>

#include <array>
#include <map>

class QCheckBox;
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

class TfrmAlignment final : public QDialog {
    Q_OBJECT
public:
    TfrmAlignment(TProgramState& state, TServiceHost host, QWidget* parent = nullptr);
    ~TfrmAlignment() override;

    // The window's own records; the caller assigns CurrentMem's before showing the window.
    TAlignment& Alignment() { return m_alignment; }
    TFactoryOpt& FactoryOpt() { return m_factory; }

    // The steps of the window (also run by its commands).
    void ShowStep();
    void StoreStep();
    void CommitStep();
    void ClosingSteps();
    void ReleaseLcdTest();

    // The commands of the buttons.
    void FileOpen();
    void Print();
    void Write();
    void SetSpotAdj(bool down);
    void SetLcdTest(bool down);

    bool SpotAdjOn() const { return m_spotAdj; }
    mv53::TSpotAdjSender& Sender() { return m_sender; }
    // The help topic of a control (-1: none).
    int HelpTopic(QWidget* control) const;

    // Controls; index = tag (1..48), slot 0 unused.
    std::array<mv53::service::TSpinEdit*, 49> SpinEdit{};
    std::array<QSlider*, 49> TrackBar{};
    QComboBox* cmbDtcxoSel = nullptr;
    QComboBox* cmbCwPttSnd = nullptr;
    mv53::service::TTwoStateEdit* edtSerial = nullptr;
    QTabWidget* pgcAlignment = nullptr;
    QPushButton* btnLcdTest = nullptr;
    QPushButton* btnSpotAdj = nullptr;
    QPushButton* btnOpen = nullptr;
    QPushButton* btnPrint = nullptr;
    QPushButton* btnWrite = nullptr;
    QPushButton* btnCancel = nullptr;
    QCheckBox* chkSerialNo = nullptr;
    mv53::service::THintBar* HintBar = nullptr;

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void reject() override;

private:
    void BuildControls();
    void EnableValueControls(bool on);
    void ValueChanged(int tag);
    void Finish();

    TProgramState& m_state;
    TServiceHost m_host;
    TAlignment m_alignment;
    TFactoryOpt m_factory;
    mv53::TSpotAdjSender m_sender;
    std::map<QWidget*, int> m_topics;
    bool m_spotAdj = false;
    bool m_loading = false;
    bool m_finishing = false;
};
