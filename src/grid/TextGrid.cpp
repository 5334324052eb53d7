#include "grid/TextGrid.h"

#include <QAbstractItemView>
#include <QPainter>

namespace mv53 {

namespace {
QString Latin1(const std::string& text) { return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())); }
const std::string kNoText;
}  // namespace

TTextGridModel::TTextGridModel(std::span<const TGrdInf> columns, int rows, TUsed used, QObject* parent)
    : QAbstractTableModel(parent), m_columns(columns), m_rowCount(rows), m_used(std::move(used)),
      m_rows(static_cast<size_t>(rows), TRow(columns.size()))
{
}

int TTextGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_rowCount; }

int TTextGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

const std::string& TTextGridModel::Text(int row, int column) const
{
    if (row < 0 || row >= m_rowCount || column < 0 || column >= static_cast<int>(m_columns.size()))
        return kNoText;
    return m_rows[static_cast<size_t>(row)][static_cast<size_t>(column)];
}

QVariant TTextGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return Latin1(Text(index.row(), index.column()));
    case Qt::ForegroundRole: {
        if (!Used(index.row()))
            return kEmptyRowColour;
        const std::optional<TCellMark> mark = Mark(index.row(), index.column());
        return mark ? mark->Colour : QColor(Qt::black);
    }
    case Qt::ToolTipRole: {
        const std::optional<TCellMark> mark = Mark(index.row(), index.column());
        return mark ? QVariant(mark->Hint) : QVariant();
    }
    case Qt::TextAlignmentRole:
        if (index.column() == kTagColumn)
            return int(Qt::AlignLeft | Qt::AlignVCenter);
        if (index.column() == kRxFreqColumn || index.column() == kTxFreqColumn)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return int(Qt::AlignHCenter | Qt::AlignVCenter);
    default:
        return {};
    }
}

std::optional<TTextGridModel::TCellMark> TTextGridModel::Mark(int row, int column) const
{
    if (!m_mark || !Used(row))
        return std::nullopt;
    return m_mark(row, column);
}

QVariant TTextGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 ||
        section >= static_cast<int>(m_columns.size()))
        return {};
    const TGrdInf& c = m_columns[static_cast<size_t>(section)];
    return QString::fromLatin1(c.Caption1) + QLatin1Char('\n') + QString::fromLatin1(c.Caption2);
}

bool TTextGridModel::SetText(int row, int column, const std::string& text)
{
    if (row < 0 || row >= m_rowCount || column < 0 || column >= static_cast<int>(m_columns.size()))
        return false;
    std::string& cell = m_rows[static_cast<size_t>(row)][static_cast<size_t>(column)];
    if (cell == text)
        return false;
    cell = text;
    const QModelIndex at = index(row, column);
    Q_EMIT dataChanged(at, at, {Qt::DisplayRole});
    return true;
}

void TTextGridModel::SetAll(std::vector<TRow> rows)
{
    m_rows = std::move(rows);
    m_rows.resize(static_cast<size_t>(m_rowCount));
    for (TRow& r : m_rows)
        r.resize(m_columns.size());
    Q_EMIT dataChanged(index(0, 0), index(m_rowCount - 1, static_cast<int>(m_columns.size()) - 1));
}

void TTextGridModel::RowChanged(int row)
{
    Q_EMIT dataChanged(index(row, 0), index(row, static_cast<int>(m_columns.size()) - 1));
}

// ---------------------------------------------------------------------------------------------
void TGridCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    painter->save();
    // The cells of a selection of more than the current cell are marked, so that the rows a
    // command will act on can be seen; the current cell keeps its dotted frame.
    const auto* view = qobject_cast<const QAbstractItemView*>(option.widget);
    const bool marked = (option.state & QStyle::State_Selected) && view != nullptr && view->currentIndex() != index;
    painter->fillRect(option.rect, option.palette.color(marked ? QPalette::Highlight : QPalette::Base));
    const QRect textRect = option.rect.adjusted(3, 2, -2, 2);
    painter->setFont(option.font);
    painter->setPen(marked ? option.palette.color(QPalette::HighlightedText) : index.data(Qt::ForegroundRole).value<QColor>());
    painter->setClipRect(option.rect);
    painter->drawText(textRect, index.data(Qt::TextAlignmentRole).toInt() | Qt::TextSingleLine,
                      index.data(Qt::DisplayRole).toString());
    if (option.state & QStyle::State_HasFocus) {
        QPen pen(Qt::black, 1, Qt::DotLine);
        painter->setPen(pen);
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
    }
    painter->restore();
}

// ---------------------------------------------------------------------------------------------
TGridHeader::TGridHeader(std::span<const TGrdInf> columns, QWidget* parent)
    : QHeaderView(Qt::Horizontal, parent), m_columns(columns)
{
    setSectionsClickable(false);
    setHighlightSections(false);
    setSectionResizeMode(QHeaderView::Fixed);
    setMinimumSectionSize(1);
}

QSize TGridHeader::sizeHint() const
{
    // Two header lines, each with its grid line.
    return {QHeaderView::sizeHint().width(), 2 * (kLineHeight + 1)};
}

void TGridHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const
{
    if (logicalIndex < 0 || logicalIndex >= static_cast<int>(m_columns.size()))
        return;
    const TGrdInf& column = m_columns[static_cast<size_t>(logicalIndex)];
    painter->save();
    const QColor grid = palette().color(QPalette::Mid);
    const QRect top(rect.left(), rect.top(), rect.width(), kLineHeight + 1);
    const QRect bottom(rect.left(), top.bottom() + 1, rect.width(), rect.height() - top.height());
    for (const QRect& line : {top, bottom}) {
        painter->fillRect(line, palette().color(QPalette::Button));
        painter->setPen(grid);
        painter->drawLine(line.topRight(), line.bottomRight());
        painter->drawLine(line.bottomLeft(), line.bottomRight());
    }
    painter->setPen(Qt::black);
    painter->drawText(top.adjusted(0, 0, -1, -1), Qt::AlignCenter | Qt::TextSingleLine, QString::fromLatin1(column.Caption1));
    painter->drawText(bottom.adjusted(0, 0, -1, -1), Qt::AlignCenter | Qt::TextSingleLine,
                      QString::fromLatin1(column.Caption2));
    painter->restore();
}

}  // namespace mv53
