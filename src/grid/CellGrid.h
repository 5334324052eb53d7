#pragma once
// A table view over a TTextGridModel with the editing that the channel grid and the tuner grid
// share: a one-line editor laid over the cell for the columns that take typed text, opened by
// Enter or by typing; Enter commits it, Escape puts the cell back as it was; moving the current
// cell (keys, mouse, MoveTo) commits it first. Left and Right skip hidden columns, the space bar
// and a double-click run the cell's action, F1 asks for the column's help.

#include "grid/TextGrid.h"

#include <QTableView>

#include <functional>
#include <span>
#include <string>

class QLineEdit;

namespace mv53 {

class TCellKeyFilter;

class TCellGrid : public QTableView {
    Q_OBJECT
public:
    using THelpHandler = std::function<void(int context)>;

    TCellGrid(std::span<const TGrdInf> columns, int rows, TTextGridModel::TUsed used, QWidget* parent = nullptr);
    ~TCellGrid() override;

    // Commits the open cell editor (its text in the column's form); true on success or when none
    // is open.
    bool CommitEditor();
    bool Editing() const { return m_editing; }
    QLineEdit* CellEditor() const { return m_editor; }
    std::string CellText(int row, int column) const { return m_model->Text(row, column); }
    // The cell's rectangle in viewport coordinates.
    QRect CellRect(int row, int column) const;
    // Moves the current cell; an open editor is committed first (the move is refused when that fails).
    bool MoveTo(int row, int column);
    void SetHelpHandler(THelpHandler handler) { m_help = std::move(handler); }
    // The double-click action (also the space bar) on a cell.
    virtual void CellAction(int row, int column) = 0;

protected:
    // Whether the cell takes typed text now (an editor may open over it).
    virtual bool TakesText(int row, int column) const = 0;
    // Whether a typed character may enter the cell; it may change the key's form.
    virtual bool AcceptKey(int row, int column, char& key) const = 0;
    // The editor's text in the form the cell keeps.
    virtual std::string Normalize(int row, int column, const std::string& text) const = 0;
    // After a commit changed the cell's text.
    virtual void Committed(int /*row*/, int /*column*/) {}
    // After the editor was committed because the current cell left it.
    virtual void EditorLeft() {}
    // The help context of a column, negative for none.
    virtual int ColumnHelp(int column) const = 0;
    // Keys for the open editor; true when handled (the editor does not see them).
    virtual bool EditorKey(QKeyEvent* e);

    // Opens the editor over the current cell when it takes typed text.
    void OpenEditor();
    TTextGridModel* Model() const { return m_model; }
    int EditRow() const { return m_editRow; }
    int EditColumn() const { return m_editColumn; }
    // Hides the editor without applying its text.
    void CloseEditor();
    void PlaceEditor();
    void FocusGrid() { setFocus(Qt::OtherFocusReason); }
    // Up, Down, PageUp, PageDown, Home and End: an open editor is committed when the cell changes.
    void NavigateKey(QKeyEvent* e);

    bool eventFilter(QObject* watched, QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent* e) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    // The current cell, or the cell of the open editor.
    int ActiveRow() const { return m_editing ? m_editRow : currentIndex().row(); }
    int ActiveColumn() const { return m_editing ? m_editColumn : currentIndex().column(); }
    void ShowEditor();
    void EnterKey();
    void TypeCharacter(char key);
    void Help(int column) const;
    // Puts the grid's own text into the editor (the cell's text, a normalised one), unfiltered.
    void SetEditorText(const QString& text);

    TTextGridModel* m_model = nullptr;
    QLineEdit* m_editor = nullptr;
    TCellKeyFilter* m_keyFilter = nullptr;   // owned by the editor
    bool m_editing = false;
    int m_editRow = 0;
    int m_editColumn = 0;
    std::string m_editOriginal;   // the cell text when the editor opened, put back by Escape
    THelpHandler m_help;
};

}  // namespace mv53
