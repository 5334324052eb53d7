#pragma once
// The channel grid of the main window: one row per memory channel, one column per channel
// setting. It edits the program state's working copy of the channels (GridChannels): text and
// frequencies in a small editor laid over the cell, option values by double-click or pick list,
// the used/empty state and the transmitter-off state by double-click, copy and paste of cells
// and whole rows. The cell texts live in a table model; Fill writes them from GridChannels and
// GridToChannels reads them back.

#include "grid/TextGrid.h"
#include "state/U_Global.h"
#include "model/U_Const.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QStyledItemDelegate>
#include <QTableView>

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QLineEdit;
class QMenu;
class QAction;
class TCellKeyFilter;

namespace mv53 {

inline constexpr int kGridColumns = 11;
inline constexpr int kGridChannels = 500;

// The texts of the 500 channel rows, 8-bit strings as the model keeps them. The two header
// lines are the horizontal header. Used/empty state comes from GridChannels (silver text).
class TChannelGridModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    using TRow = std::array<std::string, kGridColumns>;

    explicit TChannelGridModel(const TProgramState& state, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    const std::string& Text(int channel, int column) const { return m_rows[static_cast<size_t>(channel)][static_cast<size_t>(column)]; }
    const TRow& Row(int channel) const { return m_rows[static_cast<size_t>(channel)]; }
    // Sets one cell and repaints only it; returns whether the text changed.
    bool SetText(int channel, int column, const std::string& text);
    // Replaces every row and repaints the table once.
    void SetAll(std::vector<TRow> rows);
    // Repaints a whole row (after a status change).
    void RowChanged(int channel);
    bool Used(int channel) const;
    // A used channel's frequency cell whose value lies outside the radio's range (drawn in red).
    bool OutOfRange(int channel, int column) const;

private:
    const TProgramState& m_state;
    std::vector<TRow> m_rows;
};

} // namespace mv53

class TChannelGrid final : public QTableView {
    Q_OBJECT
public:
    // The last copied row: its eleven texts and its channel's transmitter-off flag, which is
    // taken together with the texts only, so that a whole-row paste never shows "TX OFF" with
    // the flag clear (or a frequency with it set).
    struct TRowBuffer {
        std::array<std::string, mv53::kGridColumns> Texts;
        bool TxOff = false;
        bool Used = false;        // some copy has been made
        bool HasRow = false;      // Texts hold a copied row (a copy from the editor takes no row)
        bool CellTxOff = false;   // the last cell copied was a Transmit cell showing "TX OFF"
    };
    using THelpHandler = std::function<void(int context)>;
    using TPickListHook = std::function<std::optional<std::string>(int list, const std::string& suffix,
                                                                   const std::string& current)>;

    explicit TChannelGrid(TProgramState& state, QWidget* parent = nullptr);
    ~TChannelGrid() override;

    // Writes all 500 rows from GridChannels; the current cell becomes column 0 of channel 1
    // (the first visible column when column 0 is hidden).
    void Fill();
    // Cells into GridChannels (Status and TxOff are set directly by the actions).
    void GridToChannels();
    // Commits the open cell editor; true on success or when none is open.
    bool CommitEditor();
    bool Editing() const { return m_editing; }
    // Hidden items get their column hidden; the current column is kept on a visible one. The
    // visible columns share any room beyond their design widths in proportion to those widths.
    void ApplyColumnVisibility(const std::array<bool, mv53::kGridColumns>& visible);
    void Copy();
    void Paste();
    // The grid has the focus or its editor is open (Copy/Paste of menus and buttons act only then).
    bool HasEditFocus() const;
    void SetHelpHandler(THelpHandler handler) { m_help = std::move(handler); }
    // Replaces the pick list (default: a fresh TfrmSelList shown modally).
    void SetPickListHook(TPickListHook hook) { m_pickList = std::move(hook); }

    // Current cell as channel index (0..499) and column (0..10).
    int CurrentChannel() const;
    int CurrentColumn() const;
    // Moves the current cell; an open editor is committed first (the move is refused when that fails).
    bool MoveTo(int channel, int column);
    std::string CellText(int channel, int column) const;
    QLineEdit* CellEditor() const { return m_editor; }
    QMenu* PopupMenu() const { return m_popup; }
    const TRowBuffer& RowBuffer() const { return m_rowBuffer; }
    // The cell's rectangle in viewport coordinates (for placing the editor and for tests).
    QRect CellRect(int channel, int column) const;

    // The double-click action (also the space bar) on a cell.
    void CellAction(int channel, int column);

Q_SIGNALS:
    // A cell text, a status or a transmitter-off flag was changed by the user; step names the
    // change as the undo history shows it.
    void dataEdited(const char* step);

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent* e) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    TChannel& Channel(int channel);
    const TChannel& Channel(int channel) const;
    bool Used(int channel) const;
    int RxRange() const;
    void OpenEditor();
    void PlaceEditor();
    void ShowEditor();
    bool FilterKey(int column, char& key) const;
    std::string Normalize(int channel, int column, const std::string& text) const;
    void SetCell(int channel, int column, const std::string& text);
    void ApplyCell(int channel, int column);
    void TypeCharacter(char key);
    void EnterKey();
    void PasteIntoEditor(const std::string& text);
    bool EditorKey(QKeyEvent* e);
    void NavigateKey(QKeyEvent* e);
    void FocusGrid();
    void MarkEdited(const char* step);
    void FitColumns();
    // Puts the grid's own text into the editor (the cell's text, a normalised one), unfiltered.
    void SetEditorText(const QString& text);

    TProgramState& m_state;
    mv53::TChannelGridModel* m_model = nullptr;
    QLineEdit* m_editor = nullptr;
    TCellKeyFilter* m_keyFilter = nullptr;   // owned by the editor
    QMenu* m_popup = nullptr;
    QAction* m_popupCopy = nullptr;
    QAction* m_popupPaste = nullptr;
    bool m_editing = false;
    int m_editChannel = 0;
    int m_editColumn = 0;
    std::string m_editOriginal;      // the cell text when the editor opened, put back by Escape
    int m_firstVisible = 0;
    int m_lastVisible = mv53::kGridColumns - 1;
    TRowBuffer m_rowBuffer;
    THelpHandler m_help;
    TPickListHook m_pickList;
};
