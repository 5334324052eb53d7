#pragma once
// TfrmAntTuneSet: the modal, resizable "Antenna Tuner Setting" window. One grid row per memory
// channel shows the channel and edits its antenna tuner data: the five switch settings by
// stepping through their option lists, L (0..511) in a cell editor. Rows 1..250 edit tuner
// table 0, rows 251..500 table 1. Rows of empty channels are silver and cannot be edited.

#include "grid/TextGrid.h"
#include "help/HelpTopics.h"
#include "model/MVmemSub.h"
#include "service/ServiceHost.h"
#include "service/ServiceWindow.h"
#include "state/U_Global.h"

#include <QDialog>
#include <QTableView>

#include <functional>
#include <string>

class QLineEdit;

// The tuner grid: cell texts in the shared text model, the editing of the tuner columns.
class TTunerGrid final : public QTableView {
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
    // Commits the open L editor; true when none is open or it was committed.
    bool CommitEditor();
    bool Editing() const { return m_editing; }
    // The double-click (and space bar) action on a cell.
    void CellAction(int row, int column);
    std::string CellText(int row, int column) const { return m_model->Text(row, column); }
    QLineEdit* CellEditor() const { return m_editor; }
    void SetHelpHandler(std::function<void(int)> help) { m_help = std::move(help); }

Q_SIGNALS:
    // The editor was committed by moving to another cell: the window stores the grid.
    void cellLeft();

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    bool Used(int row) const;
    void OpenEditor(const QString& text);
    void PlaceEditor();

    const TProgramState& m_state;
    mv53::TTextGridModel* m_model = nullptr;
    QLineEdit* m_editor = nullptr;
    bool m_editing = false;
    int m_editRow = 0;
    std::string m_editOriginal;
    std::function<void(int)> m_help;
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
