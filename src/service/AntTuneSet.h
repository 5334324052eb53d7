#pragma once
// TfrmAntTuneSet: the modal, resizable "Antenna Tuner Setting" window. One grid row per memory
// channel shows the channel and edits its antenna tuner data: the five switch settings by
// stepping through their option lists, L (0..511) in a cell editor. Rows 1..250 edit tuner
// table 0, rows 251..500 table 1. Rows of empty channels are silver and cannot be edited.

#include "grid/CellGrid.h"
#include "help/HelpTopics.h"
#include "model/MVmemSub.h"
#include "service/ServiceHost.h"
#include "service/ServiceWindow.h"
#include "state/U_Global.h"

#include <string>

// The tuner grid: cell texts in the shared text model, the editing of the tuner columns.
class TTunerGrid final : public mv53::TCellGrid {
    Q_OBJECT
public:
    static constexpr int kRows = 500;
    static constexpr int kColumnL = 9;
    static constexpr int kMaxL = 511;
    static constexpr int kHelpTopic = HelpContext::kAntTunerGrid;

    explicit TTunerGrid(const TProgramState& state, QWidget* parent = nullptr);

    // Every data cell from the channels of CurrentMem and the two tables.
    void Fill(const TAntTuner0& set0, const TAntTuner1& set1);
    // The cells into the two tables.
    void Store(TAntTuner0& set0, TAntTuner1& set1) const;
    // The double-click (and space bar) action on a cell.
    void CellAction(int row, int column) override;

Q_SIGNALS:
    // The editor was committed by moving to another cell: the window stores the grid.
    void cellLeft();

protected:
    bool TakesText(int row, int column) const override { return column == kColumnL && Used(row); }
    bool AcceptKey(int row, int column, char& key) const override;
    std::string Normalize(int row, int column, const std::string& text) const override;
    void EditorLeft() override { Q_EMIT cellLeft(); }
    int ColumnHelp(int /*column*/) const override { return kHelpTopic; }

private:
    bool Used(int row) const;

    const TProgramState& m_state;
};

class TfrmAntTuneSet final : public TServiceWindow {
    Q_OBJECT
public:
    TfrmAntTuneSet(TProgramState& state, TServiceHost host, QWidget* parent = nullptr);

    // The window's own tables; the caller assigns CurrentMem's before showing the window.
    TAntTuner0& AntTuner0() { return m_set0; }
    TAntTuner1& AntTuner1() { return m_set1; }

    void FillStep();
    void StoreStep() override;
    void CommitStep() override;

    TTunerGrid* grdTuneData = nullptr;

protected:
    void ShowCopies() override { FillStep(); }
    bool CopiesDiffer() const override;
    void TakeCopies() override;
    void FinishEditing() override { grdTuneData->CommitEditor(); }
    void reject() override;

private:
    TAntTuner0 m_set0;
    TAntTuner1 m_set1;
};
