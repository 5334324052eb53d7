#pragma once
// The machinery shared by the channel grid and the antenna tuner grid: a table model of 8-bit
// cell texts whose rows of empty channels are drawn in silver and whose cells may carry a mark
// (a text colour and a hint), the cell painter, and the header with the two caption lines of a
// column table.

#include "model/U_Const.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QStyledItemDelegate>

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace mv53 {

// Text colour of the rows of empty channels (red, green and blue 192).
inline const QColor kEmptyRowColour(0xC0, 0xC0, 0xC0);

// Cell texts of a grid with a fixed number of rows. Column 1 (the tag) is left-aligned,
// columns 2 and 3 (the frequencies) right-aligned, the rest centred. Text is black, silver in
// the rows that are not used, and in the colour of its mark where the mark function gives one.
class TTextGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using TRow = std::vector<std::string>;
    using TUsed = std::function<bool(int row)>;
    // A cell of a used row drawn in its own colour, with a hint shown over it.
    struct TCellMark {
        QColor Colour;
        QString Hint;
    };
    using TMark = std::function<std::optional<TCellMark>(int row, int column)>;

    TTextGridModel(std::span<const TGrdInf> columns, int rows, TUsed used, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    const std::string& Text(int row, int column) const;
    const TRow& Row(int row) const { return m_rows[static_cast<size_t>(row)]; }
    // Sets one cell and repaints only it; returns whether the text changed.
    bool SetText(int row, int column, const std::string& text);
    // Replaces every row and repaints the table once.
    void SetAll(std::vector<TRow> rows);
    // Repaints a whole row (after its used state changed).
    void RowChanged(int row);
    bool Used(int row) const { return !m_used || m_used(row); }
    void SetMark(TMark mark) { m_mark = std::move(mark); }
    std::span<const TGrdInf> Columns() const { return m_columns; }

private:
    std::optional<TCellMark> Mark(int row, int column) const;

    std::span<const TGrdInf> m_columns;
    int m_rowCount;
    TUsed m_used;
    TMark m_mark;
    std::vector<TRow> m_rows;
};

// Draws a cell: window colour, the model's text colour, the model's alignment, the text inset
// by 3 pixels on the left and 2 on the right and moved down 2; the focused cell is dotted.
class TGridCellDelegate final : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

// The two caption lines of every column (Caption1 over Caption2), centred, in the header colour.
class TGridHeader final : public QHeaderView {
    Q_OBJECT
public:
    TGridHeader(std::span<const TGrdInf> columns, QWidget* parent = nullptr);
    static constexpr int kLineHeight = 20;

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
    QSize sizeHint() const override;

private:
    std::span<const TGrdInf> m_columns;
};

}  // namespace mv53
