#pragma once
// TfrmTempCorrect: the modal "Temp. Correction" window. The technician edits the radio's
// temperature correction table (44 quantities at nine temperature points, -125..125 each) on the
// window's own copy; Write sends the factory area; closing asks before anything is lost.

#include "model/MVmemSub.h"
#include "service/ServiceControls.h"
#include "service/ServiceHost.h"
#include "state/U_Global.h"

#include <QDialog>

#include <array>

class QPushButton;
class QTabWidget;

class TfrmTempCorrect final : public QDialog {
    Q_OBJECT
public:
    static constexpr int kRows = TTmpCorrect::kCount;      // 44
    static constexpr int kColumns = TCorrectData::kCount;  // 9

    TfrmTempCorrect(TProgramState& state, TServiceHost host, QWidget* parent = nullptr);

    // The window's own table; the caller assigns CurrentMem's before showing the window.
    TTmpCorrect& TmpCorrect() { return m_table; }

    void ShowStep();
    void StoreStep();
    void CommitStep();
    void ClosingSteps();
    void FileOpen();
    void Print();
    void Write();

    // SpinEdit[row][column], 0-based: "SpinEdit<row+1>_<column+1>".
    std::array<std::array<mv53::service::TSpinEdit*, kColumns>, kRows> SpinEdit{};
    QTabWidget* pgcTempCorrect = nullptr;
    QPushButton* btnOpen = nullptr;
    QPushButton* btnPrint = nullptr;
    QPushButton* btnWrite = nullptr;
    QPushButton* btnCancel = nullptr;

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void reject() override;

private:
    TProgramState& m_state;
    TServiceHost m_host;
    TTmpCorrect m_table;
    bool m_finishing = false;
};
