// The main window's "&Edit" commands beyond the clipboard: undo and redo of the document's
// steps, the channel list commands on the grid's selection (insert, delete, move, sort, fill),
// and the find bar below the grid. The edits themselves are the model's; this file only wires
// them to the menus, the keys and the selection.

#include "grid/ChannelGrid.h"
#include "app/Main.h"
#include "model/ChannelFind.h"
#include "model/Prompt.h"

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <optional>

namespace {

const char* const kUndoText = "&Undo";
const char* const kRedoText = "&Redo";
const char* const kFillMenu = "F&ill\u2026";
const char* const kFillTitle = "Fill Channels";
const char* const kFillStart = "&Start frequency (MHz):";
const char* const kFillStep = "S&tep (kHz):";
const char* const kFillCopyFirst = "&Copy the other columns from the first row";
const char* const kFillBadNumber = "The start frequency and the step must be numbers.";
// The hints of the items.
const char* const kHintUndo = "Take back the last change";
const char* const kHintRedo = "Do the change taken back again";
const char* const kHintInsert = "Insert empty channels at the selected one; the channels below move down";
const char* const kHintDelete = "Remove the selected channels; the channels below move up";
const char* const kHintMoveUp = "Swap the selected channels with the one above";
const char* const kHintMoveDown = "Swap the selected channels with the one below";
const char* const kHintSort = "Sort the selected channels, or all, empty channels last";
const char* const kHintFill = "Write frequencies down the selected channels in steps";
const char* const kHintFind = "Find a channel by its tag or a frequency";
const char* const kFindLabel = "Find:";
const char* const kFindHint = "Tag or frequency; Enter finds the next";
const char* const kFindNone = "No channel in use matches.";

QString Q(const char* s) { return QString::fromLatin1(s); }
QString Q(const std::string& s) { return QString::fromLocal8Bit(s.data(), static_cast<qsizetype>(s.size())); }

// "&Undo Paste": the item's text with the step's name.
QString StepText(const char* item, const std::string& step)
{
    return step.empty() ? Q(item) : Q(item) + QLatin1Char(' ') + Q(step);
}

// A number as typed in the fill dialog ("," as the decimal point too); none when it is not one.
std::optional<double> Number(QString text)
{
    text = text.trimmed().replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

// The fill dialog: start frequency, step and whether the first row's other columns are copied.
class TFillDialog final : public QDialog {
public:
    TFillDialog(const QString& start, QWidget* parent) : QDialog(parent)
    {
        setObjectName(QStringLiteral("frmFill"));
        setWindowTitle(Q(kFillTitle));
        auto* form = new QFormLayout(this);
        m_start = new QLineEdit(start, this);
        m_start->setObjectName(QStringLiteral("edtStart"));
        m_step = new QLineEdit(QStringLiteral("0"), this);
        m_step->setObjectName(QStringLiteral("edtStep"));
        m_copyFirst = new QCheckBox(Q(kFillCopyFirst), this);
        m_copyFirst->setObjectName(QStringLiteral("chkCopyFirst"));
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
        form->addRow(Q(kFillStart), m_start);
        form->addRow(Q(kFillStep), m_step);
        form->addRow(m_copyFirst);
        form->addRow(buttons);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    }
    // The request, or none (having said why) when a field is not a number.
    std::optional<mv53::TFillRequest> Request() const
    {
        const auto start = Number(m_start->text());
        const auto step = Number(m_step->text());
        if (!start || !step) {
            mv53::ShowError(kFillBadNumber);
            return std::nullopt;
        }
        return mv53::TFillRequest{*start, *step, m_copyFirst->isChecked()};
    }

private:
    QLineEdit* m_start = nullptr;
    QLineEdit* m_step = nullptr;
    QCheckBox* m_copyFirst = nullptr;
};

}  // namespace

void TfrmMain::CreateEditItems()
{
    auto item = [this](const char* text, const char* name, const char* hint, QKeySequence key = {}) {
        auto* a = new QAction(Q(text), this);
        a->setObjectName(Q(name));
        a->setStatusTip(Q(hint));
        a->setShortcut(key);
        return a;
    };
    miUndo = item(kUndoText, "miUndo", kHintUndo, QKeySequence(Qt::CTRL | Qt::Key_Z));
    miRedo = item(kRedoText, "miRedo", kHintRedo);
    miRedo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    menuEdit->insertActions(miCopy, {miUndo, miRedo});
    menuEdit->insertSeparator(miCopy);

    miInsertChannel = item(mv53::kInsertChannelStep, "miInsertChannel", kHintInsert);
    miDeleteChannel = item(mv53::kDeleteChannelStep, "miDeleteChannel", kHintDelete);
    miMoveUp = item(mv53::kMoveUpStep, "miMoveUp", kHintMoveUp, QKeySequence(Qt::CTRL | Qt::Key_Up));
    miMoveDown = item(mv53::kMoveDownStep, "miMoveDown", kHintMoveDown, QKeySequence(Qt::CTRL | Qt::Key_Down));
    menuEdit->addSeparator();
    menuEdit->addActions({miInsertChannel, miDeleteChannel, miMoveUp, miMoveDown});
    menuSort = menuEdit->addMenu(QStringLiteral("&Sort by"));
    menuSort->menuAction()->setStatusTip(Q(kHintSort));
    const std::pair<const char*, const char*> sorts[] = {
        {"&Receive", "miSortReceive"}, {"&Transmit", "miSortTransmit"}, {"T&ag", "miSortTag"}};
    for (size_t k = 0; k < miSort.size(); ++k) {
        miSort[k] = item(sorts[k].first, sorts[k].second, kHintSort);
        menuSort->addAction(miSort[k]);
    }
    miFill = item("", "miFill", kHintFill);
    miFill->setText(QString::fromUtf8(kFillMenu));
    menuEdit->addAction(miFill);
    menuEdit->addSeparator();
    miFind = item("&Find", "miFind", kHintFind, QKeySequence(Qt::CTRL | Qt::Key_F));
    menuEdit->addAction(miFind);

    connect(miUndo, &QAction::triggered, this, [this] { UndoOrRedo(true); });
    connect(miRedo, &QAction::triggered, this, [this] { UndoOrRedo(false); });
    connect(miInsertChannel, &QAction::triggered, this, &TfrmMain::InsertChannels);
    connect(miDeleteChannel, &QAction::triggered, this, &TfrmMain::DeleteChannels);
    connect(miMoveUp, &QAction::triggered, this, [this] { MoveChannels(true); });
    connect(miMoveDown, &QAction::triggered, this, [this] { MoveChannels(false); });
    const mv53::TSortKey keys[] = {mv53::TSortKey::Receive, mv53::TSortKey::Transmit, mv53::TSortKey::Tag};
    for (size_t k = 0; k < miSort.size(); ++k)
        connect(miSort[k], &QAction::triggered, this, [this, key = keys[k]] { SortChannels(key); });
    connect(miFill, &QAction::triggered, this, &TfrmMain::FillChannels);
    connect(miFind, &QAction::triggered, this, &TfrmMain::ShowFindBar);
    connect(menuEdit, &QMenu::aboutToShow, this, &TfrmMain::UpdateUndoItems);
    UpdateUndoItems();
}

void TfrmMain::AttachEditCommands(QWidget* client)
{
    connect(grdCh, &TChannelGrid::dataEdited, this, &TfrmMain::GridEdited);
    if (QMenu* popup = grdCh->PopupMenu()) {
        popup->addSeparator();
        popup->addActions({miInsertChannel, miDeleteChannel, miMoveUp, miMoveDown});
        popup->addMenu(menuSort);
        popup->addAction(miFill);
    }

    m_findBar = new QWidget(client);
    m_findBar->setObjectName(QStringLiteral("pnlFind"));
    auto* row = new QHBoxLayout(m_findBar);
    row->setContentsMargins(4, 2, 4, 2);
    auto* label = new QLabel(Q(kFindLabel), m_findBar);
    m_findEdit = new QLineEdit(m_findBar);
    m_findEdit->setObjectName(QStringLiteral("edtFind"));
    m_findEdit->setStatusTip(Q(kFindHint));
    m_findEdit->setPlaceholderText(Q(kFindHint));
    label->setBuddy(m_findEdit);
    m_findStatus = new QLabel(m_findBar);
    auto* close = new QToolButton(m_findBar);
    close->setObjectName(QStringLiteral("btnFindClose"));
    close->setAutoRaise(true);
    close->setText(QStringLiteral("x"));
    row->addWidget(label);
    row->addWidget(m_findEdit, 1);
    row->addWidget(m_findStatus, 1);
    row->addWidget(close);
    client->layout()->addWidget(m_findBar);
    m_findBar->hide();
    // Escape anywhere in the bar closes it and gives the grid the focus back.
    auto* escape = new QAction(m_findBar);
    escape->setShortcut(QKeySequence(Qt::Key_Escape));
    escape->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    m_findBar->addAction(escape);
    connect(escape, &QAction::triggered, this, &TfrmMain::CloseFindBar);
    connect(close, &QToolButton::clicked, this, &TfrmMain::CloseFindBar);
    connect(m_findEdit, &QLineEdit::returnPressed, this, &TfrmMain::FindNext);
    connect(m_findEdit, &QLineEdit::textEdited, m_findStatus, &QLabel::clear);
}

// ---- undo and redo ---------------------------------------------------------------------------

void TfrmMain::GridEdited(const char* step)
{
    // The grid may report one action in several parts: it is recorded once it is complete.
    m_doc.NoteGridEdit(step);
    miUndo->setText(StepText(kUndoText, step));
    miUndo->setEnabled(true);
    miRedo->setText(Q(kRedoText));
    miRedo->setEnabled(false);
    if (!m_gridStepQueued) {
        m_gridStepQueued = true;
        QTimer::singleShot(0, this, [this] {
            m_gridStepQueued = false;
            RecordGridEdits();
        });
    }
}

void TfrmMain::RecordGridEdits()
{
    // A command may have recorded the edit already (its commit of the grid does).
    if (m_doc.PendingGridStep().empty())
        return;
    grdCh->GridToChannels();
    m_doc.RecordGridEdits();
    UpdateUndoItems();
}

void TfrmMain::UpdateUndoItems()
{
    if (!m_doc.PendingGridStep().empty())
        return;   // shown as the next step already
    const auto& history = m_state.History;
    miUndo->setText(StepText(kUndoText, history.UndoName()));
    miUndo->setEnabled(history.CanUndo());
    miRedo->setText(StepText(kRedoText, history.RedoName()));
    miRedo->setEnabled(history.CanRedo());
}

// While the cell editor is open, undo and redo are those of its text: the channel list is
// taken back only once the cell is committed, so a typing slip never costs a whole step.
void TfrmMain::UndoOrRedo(bool undo)
{
    if (grdCh->Editing()) {
        undo ? grdCh->CellEditor()->undo() : grdCh->CellEditor()->redo();
        return;
    }
    const int channel = grdCh->CurrentChannel();
    const int column = grdCh->CurrentColumn();
    if (undo ? m_doc.Undo() : m_doc.Redo())
        SelectChannels({channel}, column);
    UpdateUndoItems();
}

void TfrmMain::ServiceWindowClosed()
{
    m_doc.RestartHistoryIfChanged();
    UpdateUndoItems();
}

// ---- the channel list commands ---------------------------------------------------------------

std::vector<int> TfrmMain::SelectedChannels() const
{
    std::vector<int> channels;
    for (const QModelIndex& index : grdCh->selectionModel()->selectedIndexes())
        channels.push_back(index.row());
    std::sort(channels.begin(), channels.end());
    channels.erase(std::unique(channels.begin(), channels.end()), channels.end());
    if (channels.empty())
        channels.push_back(grdCh->CurrentChannel());
    return channels;
}

void TfrmMain::SelectChannels(const std::vector<int>& channels, int column)
{
    if (channels.empty() || !grdCh->MoveTo(channels.front(), column))
        return;
    QAbstractItemModel* model = grdCh->model();
    QItemSelection selection;
    for (const int channel : channels)
        selection.select(model->index(channel, 0), model->index(channel, model->columnCount() - 1));
    grdCh->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

void TfrmMain::EditChannels(const char* step, const std::function<std::string(TMVmem&)>& edit,
                            const std::vector<int>& selectAfter)
{
    const int column = grdCh->CurrentColumn();
    const std::vector<int> before = SelectedChannels();
    if (m_doc.Edit(step, edit))
        SelectChannels(selectAfter, column);
    else
        SelectChannels(before, column);
    UpdateUndoItems();
}

void TfrmMain::InsertChannels()
{
    // As many new channels as are selected, at the first of them.
    const std::vector<int> selected = SelectedChannels();
    EditChannels(mv53::kInsertChannelStep, [&](TMVmem& records) {
        for (size_t k = 0; k < selected.size(); ++k)
            if (std::string refused = mv53::InsertChannel(records, selected.front()); !refused.empty())
                return refused;
        return std::string();
    }, selected);
}

void TfrmMain::DeleteChannels()
{
    const std::vector<int> selected = SelectedChannels();
    EditChannels(mv53::kDeleteChannelStep, [&](TMVmem& records) {
        mv53::DeleteChannels(records, selected);
        return std::string();
    }, {selected.front()});
}

void TfrmMain::MoveChannels(bool up)
{
    std::vector<int> moved = SelectedChannels();
    EditChannels(up ? mv53::kMoveUpStep : mv53::kMoveDownStep, [&](TMVmem& records) {
        mv53::MoveChannels(records, moved, up);
        return std::string();
    }, moved);
}

void TfrmMain::SortChannels(mv53::TSortKey key)
{
    // A selection of several rows is sorted among itself; otherwise the whole list.
    std::vector<int> selected = SelectedChannels();
    if (selected.size() < 2)
        selected.clear();
    EditChannels(mv53::kSortStep, [&](TMVmem& records) {
        mv53::SortChannels(records, selected, key);
        return std::string();
    }, selected.empty() ? std::vector<int>{0} : selected);
}

void TfrmMain::FillChannels()
{
    if (!CommitGrid())
        return;
    const std::vector<int> selected = SelectedChannels();
    const int column = grdCh->CurrentColumn();
    TFillDialog dialog(Q(grdCh->CellText(selected.front(), kRxFreqColumn)).trimmed(), this);
    const bool accepted = ShowModal(dialog) == QDialog::Accepted;
    SelectChannels(selected, column);
    if (!accepted)
        return;
    const std::optional<mv53::TFillRequest> request = dialog.Request();
    if (!request)
        return;
    EditChannels(mv53::kFillStep, [&](TMVmem& records) { return mv53::FillChannels(records, selected, *request); },
                 selected);
}

// ---- find ------------------------------------------------------------------------------------

void TfrmMain::ShowFindBar()
{
    m_findBar->show();
    m_findEdit->setFocus(Qt::ShortcutFocusReason);
    m_findEdit->selectAll();
}

void TfrmMain::CloseFindBar()
{
    m_findBar->hide();
    m_findStatus->clear();
    grdCh->setFocus(Qt::OtherFocusReason);
}

void TfrmMain::FindNext()
{
    if (!CommitGrid())
        return;
    const int found =
        mv53::FindChannel(m_state.GridChannels, m_findEdit->text().toLocal8Bit().toStdString(), grdCh->CurrentChannel());
    if (found < 0) {
        m_findStatus->setText(Q(kFindNone));
        return;
    }
    m_findStatus->clear();
    SelectChannels({found}, grdCh->CurrentColumn());
}
