#pragma once
// The channel grid of the main window: one row per memory channel, one column per channel
// setting. It edits the program state's working copy of the channels (GridChannels): text and
// frequencies in a small editor laid over the cell, option values by double-click or pick list,
// the used/empty state and the transmitter-off state by double-click, copy and paste of cells
// and whole rows. The cell texts live in the shared text model (frequencies outside the radio's
// range marked red); Fill writes them from GridChannels and GridToChannels reads them back.

#include "grid/CellGrid.h"
#include "state/U_Global.h"
#include "model/U_Const.h"

#include <array>
#include <functional>
#include <optional>
#include <string>

class QMenu;
class QAction;

namespace mv53 {

inline constexpr int kGridColumns = kChannelColumnCount;
inline constexpr int kGridChannels = 500;

} // namespace mv53

class TChannelGrid final : public mv53::TCellGrid {
    Q_OBJECT
public:
    // The last copied row: its eleven texts and its channel's transmitter-off flag, which is
    // taken together with the texts only, so that a whole-row paste never shows "TX OFF" with
    // the flag clear (or a frequency with it set).
    struct TRowBuffer {
        mv53::TTextGridModel::TRow Texts = mv53::TTextGridModel::TRow(mv53::kGridColumns);
        bool TxOff = false;
        bool Used = false;        // some copy has been made
        bool HasRow = false;      // Texts hold a copied row (a copy from the editor takes no row)
        bool CellTxOff = false;   // the last cell copied was a Transmit cell showing "TX OFF"
    };
    using TPickListHook = std::function<std::optional<std::string>(int list, const std::string& suffix,
                                                                   const std::string& current)>;

    explicit TChannelGrid(TProgramState& state, QWidget* parent = nullptr);
    ~TChannelGrid() override;

    // Writes all 500 rows from GridChannels; the current cell becomes column 0 of channel 1
    // (the first visible column when column 0 is hidden).
    void Fill();
    // Cells into GridChannels (Status and TxOff are set directly by the actions).
    void GridToChannels();
    // Hidden items get their column hidden; the current column is kept on a visible one. The
    // visible columns share any room beyond their design widths in proportion to those widths.
    void ApplyColumnVisibility(const std::array<bool, mv53::kGridColumns>& visible);
    void Copy();
    void Paste();
    // The grid has the focus or its editor is open (Copy/Paste of menus and buttons act only then).
    bool HasEditFocus() const;
    // Replaces the pick list (default: a fresh TfrmSelList shown modally).
    void SetPickListHook(TPickListHook hook) { m_pickList = std::move(hook); }

    // Current cell as channel index (0..499) and column (0..10).
    int CurrentChannel() const;
    int CurrentColumn() const;
    QMenu* PopupMenu() const { return m_popup; }
    const TRowBuffer& RowBuffer() const { return m_rowBuffer; }

    // The double-click action (also the space bar) on a cell.
    void CellAction(int channel, int column) override;

Q_SIGNALS:
    // A cell text, a status or a transmitter-off flag was changed by the user; step names the
    // change as the undo history shows it.
    void dataEdited(const char* step);

protected:
    bool TakesText(int channel, int column) const override;
    bool AcceptKey(int channel, int column, char& key) const override;
    std::string Normalize(int channel, int column, const std::string& text) const override;
    void Committed(int channel, int column) override;
    void EditorLeft() override { GridToChannels(); }
    int ColumnHelp(int column) const override;
    bool EditorKey(QKeyEvent* e) override;

    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    TChannel& Channel(int channel);
    const TChannel& Channel(int channel) const;
    bool Used(int channel) const;
    int RxRange() const;
    std::optional<mv53::TTextGridModel::TCellMark> OutOfRangeMark(int channel, int column) const;
    void SetCell(int channel, int column, const std::string& text);
    void ApplyCell(int channel, int column);
    void PasteIntoEditor(const std::string& text);
    // Copy and paste keys, for the grid and for its editor; true when e was one.
    bool ClipboardKey(QKeyEvent* e);
    void MarkEdited(const char* step);
    void FitColumns();

    TProgramState& m_state;
    QMenu* m_popup = nullptr;
    QAction* m_popupCopy = nullptr;
    QAction* m_popupPaste = nullptr;
    int m_firstVisible = 0;
    int m_lastVisible = mv53::kGridColumns - 1;
    TRowBuffer m_rowBuffer;
    TPickListHook m_pickList;
};
