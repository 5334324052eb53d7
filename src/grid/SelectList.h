#pragma once
// The pick list: the entries of one option list in a small two-column grid (laid out column by
// column, ten rows each); the user picks one with the keys, a double-click or "Ok".

#include <QDialog>

#include <string>

class QPushButton;
class QTableWidget;

class TfrmSelList final : public QDialog {
    Q_OBJECT
public:
    static constexpr int kRows = 10;
    static constexpr int kColumns = 2;

    // list: option list number; suffix: appended to the caption; current: the value to start on.
    TfrmSelList(int list, const std::string& suffix, const std::string& current, QWidget* parent = nullptr);

    // The text chosen by "Ok" (empty until then).
    const std::string& Chosen() const { return m_chosen; }
    // The text of the current cell.
    std::string CurrentText() const;
    int CurrentEntry() const;        // index of the current entry in the list, -1 when none
    // Moves to a cell; refused (false) when the cell is empty.
    bool MoveTo(int row, int column);
    // "Ok": takes the current cell's text and closes with OK.
    void Ok();

    QTableWidget* grdList = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    bool Filled(int row, int column) const;
    void GoFirst();
    void GoLast();

    int m_count = 0;
    std::string m_chosen;
    int m_row = 0;
    int m_column = 0;
};
