#pragma once
// TfrmTempCorrect: the modal "Temp. Correction" window. The technician edits the radio's
// temperature correction table (44 quantities at nine temperature points, -125..125 each) on the
// window's own copy; Write sends the factory area; closing asks before anything is lost.

#include "controls/SpinEdit.h"
#include "model/MVmemSub.h"
#include "service/ServiceHost.h"
#include "service/ServiceWindow.h"
#include "state/U_Global.h"

#include <QDialog>

#include <array>

class QTabWidget;

class TfrmTempCorrect final : public TServiceWindow {
    Q_OBJECT
public:
    static constexpr int kRows = TTmpCorrect::kCount;      // 44
    static constexpr int kColumns = TCorrectData::kCount;  // 9

    TfrmTempCorrect(TProgramState& state, TServiceHost host, QWidget* parent = nullptr);

    // The window's own table; the caller assigns CurrentMem's before showing the window.
    TTmpCorrect& TmpCorrect() { return m_table; }

    void ShowStep();
    void StoreStep() override;
    void CommitStep() override;

    // SpinEdit[row][column], 0-based: "SpinEdit<row+1>_<column+1>".
    std::array<std::array<TSpinEdit*, kColumns>, kRows> SpinEdit{};
    QTabWidget* pgcTempCorrect = nullptr;

protected:
    void ShowCopies() override { ShowStep(); }
    bool CopiesDiffer() const override;
    void TakeCopies() override;

private:
    TTmpCorrect m_table;
};
