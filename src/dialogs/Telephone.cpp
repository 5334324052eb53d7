#include "dialogs/Telephone.h"

#include "controls/HintBar.h"
#include "controls/U_Controls.h"
#include "model/DialogTexts.h"
#include "model/U_InputFilter.h"

#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableWidget>

namespace {
constexpr int kRows = TCmmTelNumbers::kNumberCount;
constexpr const char* kNumberHint = "Edit Telephone Number (0..9)";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
}  // namespace

int TelMaxDigits(int32_t callType) { return callType == 1 ? 12 : 16; }

TfrmTelephone::TfrmTelephone(QWidget* parent) : TParamDialog(mv53::dlg::kTelephoneCaption, parent)
{
    cmbTelCallType = AddCombo(mv53::dlg::kTelCallTypeLabel, "cmbTelCallType", OptionItems(kListTelCallType),
                              "Set Tel Call Type", HelpContext::kTelCallType);

    grdA = new QTableWidget(kRows, 2, this);
    grdA->setObjectName(QStringLiteral("grdA"));
    grdA->horizontalHeader()->hide();
    grdA->verticalHeader()->hide();
    grdA->setColumnWidth(0, 50);
    grdA->setColumnWidth(1, 223);
    grdA->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdA->setSelectionMode(QAbstractItemView::SingleSelection);
    grdA->setSelectionBehavior(QAbstractItemView::SelectItems);
    grdA->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    grdA->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grdA->setTabKeyNavigation(false);
    grdA->setFixedWidth(50 + 223 + 2 * grdA->frameWidth() + grdA->verticalScrollBar()->sizeHint().width() + 2);
    for (int row = 0; row < kRows; ++row) {
        auto* number = new QTableWidgetItem(QString::asprintf("%3d", row + 1));
        number->setTextAlignment(Qt::AlignCenter);
        number->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        grdA->setItem(row, 0, number);
        auto* cell = new QTableWidgetItem;
        cell->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        grdA->setItem(row, kNumberColumn, cell);
    }
    grdA->setFixedHeight(grdA->rowHeight(0) * 6 + 2 * grdA->frameWidth());
    AddRow(mv53::dlg::kTelNumberLabel, grdA, kNumberHint, HelpContext::kTelNumbers, true);
    grdA->installEventFilter(this);

    edtDmy = new QLineEdit(grdA->viewport());
    edtDmy->setObjectName(QStringLiteral("edtDmy"));
    edtDmy->setFrame(false);
    edtDmy->setContextMenuPolicy(Qt::NoContextMenu);
    edtDmy->setAcceptDrops(false);
    edtDmy->hide();
    edtDmy->installEventFilter(this);
    AddTabStop(edtDmy);

    connect(cmbTelCallType, &QComboBox::currentIndexChanged, this, &TfrmTelephone::CallTypeChanged);
    connect(grdA, &QTableWidget::currentCellChanged, this, [this](int, int, int, int) {
        CommitEdit();
        ShowGridHint();
    });
    connect(grdA, &QTableWidget::cellDoubleClicked, this, [this](int, int) { StartEdit(); });
}

TfrmTelephone::~TfrmTelephone()
{
    // The grid and the list go after this part of the dialog: nothing of theirs may call back.
    disconnect(grdA, nullptr, this, nullptr);
    disconnect(cmbTelCallType, nullptr, this, nullptr);
    grdA->removeEventFilter(this);
    edtDmy->removeEventFilter(this);
}

QString TfrmTelephone::CellText(int row) const { return grdA->item(row, kNumberColumn)->text(); }

bool TfrmTelephone::EditorShown() const { return !edtDmy->isHidden(); }

void TfrmTelephone::ShowRow(int row)
{
    const QString number = QString::fromStdString(TelNumbers.Numbers(row).Number());
    grdA->item(row, kNumberColumn)->setText(number.isEmpty() ? QString::fromLatin1(kEmptyNumber) : number.left(m_maxDigits));
}

void TfrmTelephone::ShowRows()
{
    for (int row = 0; row < kRows; ++row)
        ShowRow(row);
}

void TfrmTelephone::CallTypeChanged(int index)
{
    m_maxDigits = TelMaxDigits(index);
    ShowRows();
}

void TfrmTelephone::LoadControls()
{
    m_maxDigits = TelMaxDigits(TelNumbers.TelCallType());
    ShowValue(cmbTelCallType, TelNumbers.TelCallType());
    ShowRows();
    grdA->setCurrentCell(grdA->currentRow() >= 0 ? grdA->currentRow() : 0, kNumberColumn);
    ShowGridHint();
}

void TfrmTelephone::StoreControls()
{
    CommitEdit();
    TelNumbers.SetTelCallType(ReadValue(cmbTelCallType, TelNumbers.TelCallType()));
}

void TfrmTelephone::StartEdit(const QString& typed)
{
    const int row = grdA->currentRow();
    if (row < 0 || grdA->currentColumn() != kNumberColumn)
        return;
    const QString shown = CellText(row);
    m_editRow = row;
    m_editStart = shown == QString::fromLatin1(kEmptyNumber) ? QString() : shown;
    edtDmy->setMaxLength(m_maxDigits);
    edtDmy->setText(typed.isEmpty() ? m_editStart : typed);
    const QRect cell = grdA->visualItemRect(grdA->item(row, kNumberColumn));
    edtDmy->setGeometry(cell.left(), cell.top(), cell.width() + 1, grdA->rowHeight(row) + 2);
    edtDmy->setCursorPosition(edtDmy->text().size());
    grdA->setFocusPolicy(Qt::NoFocus);   // the grid loses its tab stop while the editor is open
    edtDmy->show();
    edtDmy->setFocus();
}

void TfrmTelephone::CommitEdit()
{
    if (!EditorShown())
        return;
    if (edtDmy->text() != m_editStart && m_editRow >= 0)
        TelNumbers.Numbers(m_editRow).SetNumber(DigitsOnly(edtDmy->text().toStdString()));
    CloseEditor();
}

void TfrmTelephone::CloseEditor()
{
    if (m_editRow >= 0)
        ShowRow(m_editRow);
    m_editRow = -1;
    grdA->setFocusPolicy(Qt::StrongFocus);
    const bool hadFocus = edtDmy->hasFocus();
    edtDmy->hide();
    if (hadFocus)
        grdA->setFocus();
}

bool TfrmTelephone::GridKey(QKeyEvent* key)
{
    if (key->key() == Qt::Key_F1 || key->key() == Qt::Key_Escape)
        return false;   // help and Cancel
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        StartEdit();
        return true;
    }
    const char typed = TypedChar(key);
    if (typed == 0)
        return false;   // moving in the grid, Tab, Backspace and the like
    if (IsDigit(typed) && grdA->currentColumn() == kNumberColumn)
        StartEdit(QString(QLatin1Char(typed)));
    return true;   // other typed characters are dropped
}

bool TfrmTelephone::EditorKey(QKeyEvent* key)
{
    switch (key->key()) {
    case Qt::Key_Escape:
        // The number as it was: nothing is taken from the editor.
        CloseEditor();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        CommitEdit();
        return true;
    case Qt::Key_F1:
        OpenHelp(HelpContext::kTelNumbers);
        return true;
    default:
        break;
    }
    if (key->modifiers() & Qt::ControlModifier)
        return true;   // no pasting around the digit filter
    const char typed = TypedChar(key);
    // Caret movement, Tab, Delete and Backspace pass; of the typed characters only digits.
    return typed != 0 && !IsDigit(typed);
}

bool TfrmTelephone::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(e);
        if (watched == edtDmy)
            return EditorKey(key);
        if (watched == grdA && key->key() != Qt::Key_F1)
            return GridKey(key);
    }
    return TParamDialog::eventFilter(watched, e);
}

void TfrmTelephone::FocusMoved(QWidget* /*from*/, QWidget* to)
{
    // Moving to Ok, the grid or the call type takes the editor's number; Cancel does not.
    if (to == static_cast<QWidget*>(btnOk) || to == grdA || to == cmbTelCallType)
        CommitEdit();
}

void TfrmTelephone::ShowGridHint()
{
    const bool number = grdA->currentColumn() == kNumberColumn;
    for (QWidget* w : {static_cast<QWidget*>(grdA), static_cast<QWidget*>(edtDmy)})
        HintBar->SetHint(w, number ? QString::fromLatin1(kNumberHint) : QString(),
                         number ? QStringLiteral("<ENTER>") : QString());
    if (QWidget* focused = focusWidget(); focused == grdA || focused == edtDmy)
        HintBar->ShowFor(focused);
}
