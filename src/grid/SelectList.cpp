#include "grid/SelectList.h"

#include "model/U_Const.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QSpacerItem>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

constexpr const char* kModeCaption = "Operation Wave";
constexpr const char* kEncryptCaption = "Encription Code";
constexpr const char* kOkCaption = "Ok";
constexpr const char* kCancelCaption = "Cancel";
constexpr int kRowHeight = 15;
constexpr int kColumnWidth = 90;
constexpr int kTitleBarButtons = 96;

QString Latin1(const std::string& text) { return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())); }

} // namespace

TfrmSelList::TfrmSelList(int list, const std::string& suffix, const std::string& current, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    if (list == kListMode)
        setWindowTitle(QString::fromLatin1(kModeCaption) + Latin1(suffix));
    else if (list == kListEncryptCode)
        setWindowTitle(QString::fromLatin1(kEncryptCaption) + Latin1(suffix));

    grdList = new QTableWidget(kRows, kColumns, this);
    grdList->horizontalHeader()->hide();
    grdList->verticalHeader()->hide();
    grdList->verticalHeader()->setMinimumSectionSize(1);
    grdList->verticalHeader()->setDefaultSectionSize(kRowHeight);
    grdList->horizontalHeader()->setDefaultSectionSize(kColumnWidth);
    grdList->setShowGrid(false);
    grdList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grdList->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grdList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdList->setSelectionMode(QAbstractItemView::SingleSelection);
    grdList->setTabKeyNavigation(false);
    const int frame = 2 * grdList->frameWidth();
    grdList->setFixedSize(kColumns * kColumnWidth + frame, kRows * kRowHeight + frame);

    // Entries column by column: entry i in column i / 10, row i % 10.
    m_count = ValCount(list);
    int start = 0;
    for (int i = 0; i < m_count && i < kRows * kColumns; ++i) {
        grdList->setItem(i % kRows, i / kRows, new QTableWidgetItem(Latin1(ValText(list, i))));
        if (ValText(list, i) == current)
            start = i;
    }
    m_count = std::min(m_count, kRows * kColumns);

    btnOk = new QPushButton(QString::fromLatin1(kOkCaption), this);
    btnOk->setDefault(true);
    btnCancel = new QPushButton(QString::fromLatin1(kCancelCaption), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grdList);
    layout->addLayout(buttons);
    // Wide enough for the caption in the title bar, beside the window manager's buttons.
    layout->addItem(new QSpacerItem(fontMetrics().horizontalAdvance(windowTitle()) + kTitleBarButtons, 0));
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(btnOk, &QPushButton::clicked, this, &TfrmSelList::Ok);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(grdList, &QTableWidget::currentCellChanged, this, [this](int row, int column, int, int) {
        if (row == m_row && column == m_column)
            return;
        if (Filled(row, column)) {
            m_row = row;
            m_column = column;
        } else {
            grdList->setCurrentCell(m_row, m_column);   // empty cells cannot be selected
        }
    });
    connect(grdList, &QTableWidget::cellDoubleClicked, this, [this](int row, int column) {
        if (MoveTo(row, column))
            Ok();
    });
    grdList->installEventFilter(this);

    m_row = -1;
    if (m_count > 0)
        MoveTo(start % kRows, start / kRows);
    else
        m_row = 0;
    grdList->setFocus();
}

bool TfrmSelList::Filled(int row, int column) const
{
    const int entry = column * kRows + row;
    return row >= 0 && row < kRows && column >= 0 && column < kColumns && entry < m_count;
}

bool TfrmSelList::MoveTo(int row, int column)
{
    if (!Filled(row, column))
        return false;
    m_row = row;
    m_column = column;
    grdList->setCurrentCell(row, column);
    return true;
}

int TfrmSelList::CurrentEntry() const { return Filled(m_row, m_column) ? m_column * kRows + m_row : -1; }

std::string TfrmSelList::CurrentText() const
{
    const QTableWidgetItem* item = Filled(m_row, m_column) ? grdList->item(m_row, m_column) : nullptr;
    return item != nullptr ? item->text().toLatin1().toStdString() : std::string();
}

void TfrmSelList::GoFirst() { MoveTo(0, 0); }

void TfrmSelList::GoLast()
{
    // The row of the last entry, then the last column; a move onto an empty cell is refused,
    // so the cursor ends on the last entry.
    if (m_count == 0)
        return;
    MoveTo((m_count - 1) % kRows, m_column);
    MoveTo(m_row, kColumns - 1);
}

void TfrmSelList::Ok()
{
    m_chosen = CurrentText();
    accept();
}

bool TfrmSelList::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == grdList && e->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent*>(e)->key()) {
        case Qt::Key_PageUp:
        case Qt::Key_Home:
            GoFirst();
            return true;
        case Qt::Key_PageDown:
        case Qt::Key_End:
            GoLast();
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            Ok();
            return true;
        case Qt::Key_Escape:
            reject();
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, e);
}
