#include "grid/ChannelGrid.h"

#include "grid/SelectList.h"
#include "help/HelpTopics.h"
#include "model/ChannelEdits.h"
#include "model/ChannelTexts.h"
#include "model/ChannelValues.h"
#include "model/FreqRange.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>

#include <algorithm>

namespace {

constexpr const char* kCopyCaption = "&Copy";
constexpr const char* kPasteCaption = "&Paste";
constexpr const char* kCopyHint = "Copy the selection and put it on the Clipboard";
constexpr const char* kPasteHint = "Insert Clipboard contents";
constexpr const char* kEditorFont = "Arial";
constexpr int kEditorPointSize = 9;
constexpr int kEncryptColumn = 7;
constexpr int kSelcallColumn = 8;
constexpr int kTuneColumn = 9;
constexpr int kModeColumn = 4;
const QColor kOutOfRangeColour(Qt::red);
constexpr const char* kOutOfRangeHint = "Outside the radio's range ";

const TGrdInf& Column(int column) { return ChannelColumns()[static_cast<size_t>(column)]; }
int Kind(int column) { return Column(column).EditKind; }

QString Latin1(const std::string& text) { return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())); }
std::string FromLatin1(const QString& text) { return text.toLatin1().toStdString(); }

} // namespace

// =============================================================================================
TChannelGrid::TChannelGrid(TProgramState& state, QWidget* parent)
    : TCellGrid(ChannelColumns(), mv53::kGridChannels, [this](int channel) { return Used(channel); }, parent), m_state(state)
{
    Model()->SetMark([this](int channel, int column) { return OutOfRangeMark(channel, column); });
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    CellEditor()->setFont(QFont(QString::fromLatin1(kEditorFont), kEditorPointSize));
    CellEditor()->setMaxLength(Column(kTagColumn).EditParam);

    m_popup = new QMenu(this);
    m_popupCopy = m_popup->addAction(QString::fromLatin1(kCopyCaption));
    m_popupCopy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    m_popupCopy->setShortcutContext(Qt::WidgetShortcut);
    m_popupCopy->setStatusTip(QString::fromLatin1(kCopyHint));
    m_popupPaste = m_popup->addAction(QString::fromLatin1(kPasteCaption));
    m_popupPaste->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    m_popupPaste->setShortcutContext(Qt::WidgetShortcut);
    m_popupPaste->setStatusTip(QString::fromLatin1(kPasteHint));
    connect(m_popupCopy, &QAction::triggered, this, &TChannelGrid::Copy);
    connect(m_popupPaste, &QAction::triggered, this, &TChannelGrid::Paste);

    std::array<bool, mv53::kGridColumns> visible{};
    visible.fill(true);
    visible[mv53::kGridColumns - 1] = false;
    ApplyColumnVisibility(visible);
    Fill();
}

TChannelGrid::~TChannelGrid() = default;

TChannel& TChannelGrid::Channel(int channel) { return m_state.GridChannels.Items(channel); }
const TChannel& TChannelGrid::Channel(int channel) const { return m_state.GridChannels.Items(channel); }
bool TChannelGrid::Used(int channel) const { return Channel(channel).Status() == mv53::kChannelUsed; }
int TChannelGrid::RxRange() const { return m_state.CurrentMem.FactoryOpt().RxRange(); }

int TChannelGrid::CurrentChannel() const
{
    const QModelIndex at = currentIndex();
    return at.isValid() ? at.row() : 0;
}

int TChannelGrid::CurrentColumn() const
{
    const QModelIndex at = currentIndex();
    return at.isValid() ? at.column() : 0;
}

std::optional<mv53::TTextGridModel::TCellMark> TChannelGrid::OutOfRangeMark(int channel, int column) const
{
    const TFactoryOpt& factory = m_state.CurrentMem.FactoryOpt();
    if (!mv53::CellFreqOutOfRange(column, Model()->Text(channel, column), factory))
        return std::nullopt;
    const std::string range = mv53::ChannelFreqRange(column == kTxFreqColumn, factory).Text;
    return mv53::TTextGridModel::TCellMark{kOutOfRangeColour, QString::fromLatin1(kOutOfRangeHint) +
                                                                  QString::fromStdString(range) + QStringLiteral(" MHz")};
}

bool TChannelGrid::HasEditFocus() const { return hasFocus() || Editing() || CellEditor()->hasFocus(); }

void TChannelGrid::MarkEdited(const char* step) { Q_EMIT dataEdited(step); }

// ---------------------------------------------------------------------------------------------
void TChannelGrid::Fill()
{
    if (Editing())
        CloseEditor();
    std::vector<mv53::TTextGridModel::TRow> rows(static_cast<size_t>(mv53::kGridChannels));
    for (int i = 0; i < mv53::kGridChannels; ++i)
        for (int c = 0; c < mv53::kGridColumns; ++c)
            rows[static_cast<size_t>(i)].push_back(mv53::ChannelCellText(i, Channel(i), c));
    Model()->SetAll(std::move(rows));
    // Column 0 of the first channel, or the first visible column when the user hid column 0
    // (the space bar would otherwise toggle the status of a channel in a column nobody sees).
    const QModelIndex first = Model()->index(0, isColumnHidden(0) ? m_firstVisible : 0);
    selectionModel()->setCurrentIndex(first, QItemSelectionModel::ClearAndSelect);
    scrollTo(first);
}

void TChannelGrid::GridToChannels()
{
    // Only a cell whose text differs from what the channel's stored value shows is taken: values
    // that no cell text can express exactly (encryption off with a code kept, code 16, a tune
    // mode or an encryption flag of 2 or more) stay as they are until the user changes the cell.
    for (int i = 0; i < mv53::kGridChannels; ++i) {
        TChannel& ch = Channel(i);
        const auto& row = Model()->Row(i);
        for (int c = kTagColumn; c < mv53::kGridColumns; ++c)
            if (row[static_cast<size_t>(c)] != mv53::ChannelCellText(i, ch, c))
                mv53::StoreCellText(ch, c, row[static_cast<size_t>(c)]);
    }
}

// ---------------------------------------------------------------------------------------------
void TChannelGrid::ApplyColumnVisibility(const std::array<bool, mv53::kGridColumns>& visible)
{
    int first = -1;
    int last = -1;
    for (int c = 0; c < mv53::kGridColumns; ++c) {
        if (visible[static_cast<size_t>(c)]) {
            setColumnHidden(c, false);
            if (first < 0)
                first = c;
            last = c;
        } else {
            setColumnHidden(c, true);
        }
    }
    FitColumns();
    if (first < 0) {
        PlaceEditor();
        return;
    }
    m_firstVisible = first;
    m_lastVisible = last;

    const int column = CurrentColumn();
    int target = column;
    if (column > last) {
        target = last;
    } else if (column < first) {
        target = first;
    } else if (isColumnHidden(column)) {
        // A current cell in a hidden column would be edited unseen: go to a visible neighbour.
        target = -1;
        for (int c = column + 1; c <= last && target < 0; ++c)
            if (!isColumnHidden(c))
                target = c;
        for (int c = column - 1; c >= first && target < 0; --c)
            if (!isColumnHidden(c))
                target = c;
    }
    if (target >= 0 && target != column)
        MoveTo(CurrentChannel(), target);
    PlaceEditor();
}

// ---------------------------------------------------------------------------------------------
// The cell editor: the typing rules of the channel columns.

bool TChannelGrid::TakesText(int channel, int column) const
{
    // The transmit cell of a receive-only channel takes no text: it shows "TX OFF", a typed text
    // would never reach the channel, and the cell would show a frequency that is not there; a
    // double-click or the space bar turns the transmitter on.
    return channel >= 0 && channel < mv53::kGridChannels && Used(channel) && mv53::IsTypedColumn(column) &&
           !(Kind(column) == kEditTxFreq && Channel(channel).TxOff() != 0);
}

bool TChannelGrid::AcceptKey(int channel, int column, char& key) const
{
    return mv53::AcceptCellKey(Channel(channel), column, key);
}

std::string TChannelGrid::Normalize(int channel, int column, const std::string& text) const
{
    return mv53::NormalizeCellText(Channel(channel), column, text, RxRange());
}

void TChannelGrid::Committed(int channel, int column)
{
    ApplyCell(channel, column);
    MarkEdited(mv53::kTypingStep);
}

int TChannelGrid::ColumnHelp(int column) const
{
    return column >= 0 && column < mv53::kGridColumns - 1 ? HelpContext::GridColumn(column) : -1;
}

void TChannelGrid::SetCell(int channel, int column, const std::string& text)
{
    if (Model()->SetText(channel, column, text))
        MarkEdited(mv53::kValueStep);
}

void TChannelGrid::ApplyCell(int channel, int column)
{
    if (column == kRxFreqColumn) {
        // A new receive frequency sets the transmit frequency to the same value.
        const std::string tx = mv53::ApplyReceiveText(Channel(channel), Model()->Text(channel, column), RxRange());
        if (Channel(channel).TxOff() == 0)
            SetCell(channel, kTxFreqColumn, tx);
    } else if (column == kModeColumn) {
        Channel(channel).SetMode(ValIndexOf(kListMode, Model()->Text(channel, column)));
    }
}

// ---------------------------------------------------------------------------------------------
// Double-click and space bar.

void TChannelGrid::CellAction(int channel, int column)
{
    if (channel < 0 || channel >= mv53::kGridChannels || column < 0 || column >= mv53::kGridColumns)
        return;
    // The action works on the cell text, so an open edit is finished first.
    if (Editing() && !CommitEditor())
        return;
    TChannel& ch = Channel(channel);
    if (column == 0) {
        ch.SetStatus(ch.Status() == mv53::kChannelUsed ? mv53::kChannelEmpty : mv53::kChannelUsed);
        Model()->RowChanged(channel);
        MarkEdited(Used(channel) ? mv53::kUseChannelStep : mv53::kEmptyChannelStep);
        return;
    }
    if (!Used(channel))
        return;
    const TCmmOpt& opt = m_state.CurrentMem.Opt();
    if ((column == kEncryptColumn && opt.EncryptUnit() == 0) || (column == kSelcallColumn && opt.SelcallUnit() == 0) ||
        (column == kTuneColumn && opt.TunerUnit() == 0))
        return;

    const int list = Column(column).EditParam;
    const std::string& text = Model()->Text(channel, column);
    switch (Kind(column)) {
    case kEditToggle:
        SetCell(channel, column, mv53::NextOptionText(list, text));
        break;
    case kEditPick: {
        const std::string suffix = "(CH=" + Model()->Text(channel, 0) + ")";
        std::optional<std::string> chosen;
        if (m_pickList) {
            chosen = m_pickList(list, suffix, text);
        } else {
            TfrmSelList dialog(list, suffix, text, window());
            if (dialog.exec() == QDialog::Accepted)
                chosen = dialog.Chosen();
        }
        if (!chosen)
            return;
        SetCell(channel, column, *chosen);
        break;
    }
    case kEditTxFreq:
        if (ch.TxOff() == 0) {
            ch.SetTxOff(1);
            mv53::SetFrequencyText(ch.TxFreq(), text);
            SetCell(channel, column, mv53::kTxOffText);
        } else {
            ch.SetTxOff(0);
            SetCell(channel, column, mv53::ChannelCellText(channel, ch, column));
        }
        MarkEdited(mv53::kValueStep);
        break;
    case kEditTag:
    case kEditRxFreq:
        // Opening the editor changes nothing yet; the commit applies the cell.
        OpenEditor();
        return;
    default:
        return;
    }
    ApplyCell(channel, column);
}

// ---------------------------------------------------------------------------------------------
// Keys and mouse.

static bool IsCopyOrPaste(const QKeyEvent* e) { return e->matches(QKeySequence::Copy) || e->matches(QKeySequence::Paste); }

bool TChannelGrid::event(QEvent* e)
{
    // Copy and paste keys belong to the grid while it has the focus, not to window shortcuts.
    if (e->type() == QEvent::ShortcutOverride && IsCopyOrPaste(static_cast<QKeyEvent*>(e))) {
        e->accept();
        return true;
    }
    return TCellGrid::event(e);
}

bool TChannelGrid::ClipboardKey(QKeyEvent* e)
{
    if (e->matches(QKeySequence::Copy))
        Copy();
    else if (e->matches(QKeySequence::Paste))
        Paste();
    else
        return false;
    return true;
}

void TChannelGrid::keyPressEvent(QKeyEvent* e)
{
    if (!ClipboardKey(e))
        TCellGrid::keyPressEvent(e);
}

bool TChannelGrid::EditorKey(QKeyEvent* e) { return ClipboardKey(e) || TCellGrid::EditorKey(e); }

void TChannelGrid::keyReleaseEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Home && CurrentColumn() < m_firstVisible) {
        MoveTo(CurrentChannel(), m_firstVisible);
        FocusGrid();
    } else if (e->key() == Qt::Key_End && CurrentColumn() > m_lastVisible) {
        MoveTo(CurrentChannel(), m_lastVisible);
        FocusGrid();
    }
    TCellGrid::keyReleaseEvent(e);
}

void TChannelGrid::contextMenuEvent(QContextMenuEvent* e)
{
    m_popup->popup(e->globalPos());
    e->accept();
}

void TChannelGrid::resizeEvent(QResizeEvent* e)
{
    TCellGrid::resizeEvent(e);
    FitColumns();
    PlaceEditor();
}

void TChannelGrid::FitColumns()
{
    // The visible columns share the room beyond their design widths in the proportions of those
    // widths; a narrower grid keeps the design widths and scrolls.
    int designed = 0;
    for (int c = 0; c < mv53::kGridColumns; ++c)
        if (!isColumnHidden(c))
            designed += Column(c).ColWidth;
    if (designed == 0)
        return;
    const int room = std::max(designed, viewport()->width());
    // Each column ends where its design end lies on the stretched scale, so rounding never adds up.
    int designedEnd = 0;
    int end = 0;
    for (int c = 0; c < mv53::kGridColumns; ++c) {
        if (isColumnHidden(c))
            continue;
        designedEnd += Column(c).ColWidth;
        const int next = static_cast<int>((static_cast<long long>(designedEnd) * room + designed / 2) / designed);
        setColumnWidth(c, std::max(Column(c).ColWidth, next - end));
        end = next;
    }
}

// ---------------------------------------------------------------------------------------------
// Copy and paste.

void TChannelGrid::Copy()
{
    if (Editing()) {
        // The editor's selection is only text: the row buffer and its flags stay as they were.
        CellEditor()->copy();
        m_rowBuffer.CellTxOff = false;
    } else {
        const int channel = CurrentChannel();
        const int column = CurrentColumn();
        const bool txOff = Channel(channel).TxOff() != 0;
        QGuiApplication::clipboard()->setText(Latin1(Model()->Text(channel, column)));
        m_rowBuffer.Texts = Model()->Row(channel);
        m_rowBuffer.TxOff = txOff;
        m_rowBuffer.HasRow = true;
        m_rowBuffer.CellTxOff = column == kTxFreqColumn && txOff;
    }
    m_rowBuffer.Used = true;
}

void TChannelGrid::PasteIntoEditor(const std::string& text)
{
    std::string accepted;
    for (char c : text) {
        if (static_cast<uchar>(c) < 32)
            continue;   // line ends and other control characters are not typed text
        if (AcceptKey(EditRow(), EditColumn(), c))
            accepted += c;
    }
    const qsizetype room = CellEditor()->maxLength() - CellEditor()->text().size() + CellEditor()->selectedText().size();
    if (room <= 0)
        return;
    if (static_cast<qsizetype>(accepted.size()) > room)
        accepted.resize(static_cast<size_t>(room));
    CellEditor()->insert(Latin1(accepted));
}

void TChannelGrid::Paste()
{
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    const QString clip = (mime != nullptr && mime->hasText()) ? mime->text() : QString();
    if (clip.isEmpty() || !m_rowBuffer.Used)
        return;
    const int channel = Editing() ? EditRow() : CurrentChannel();
    const int column = Editing() ? EditColumn() : CurrentColumn();
    TChannel& ch = Channel(channel);
    bool changed = false;
    if (column == 0 && ch.Status() != mv53::kChannelUsed) {
        ch.SetStatus(mv53::kChannelUsed);
        Model()->RowChanged(channel);
        changed = true;
    }
    if (!Used(channel))
        return;
    const std::string text = FromLatin1(clip);
    const int edit = Kind(column);
    if (edit == kEditNone) {
        if (column == 0 && m_rowBuffer.HasRow) {
            // Whole row: everything but the channel number, and the transmitter-off state.
            for (int c = 1; c < mv53::kGridColumns; ++c)
                changed |= Model()->SetText(channel, c, m_rowBuffer.Texts[static_cast<size_t>(c)]);
            changed |= (ch.TxOff() != 0) != m_rowBuffer.TxOff;
            ch.SetTxOff(m_rowBuffer.TxOff ? 1 : 0);
        }
    } else if (edit == kEditToggle || edit == kEditPick) {
        // Only an exact entry of the column's list is taken.
        if (mv53::OptionEntryOf(Column(column).EditParam, text) >= 0)
            changed |= Model()->SetText(channel, column, text);
        ApplyCell(channel, column);
    } else {
        if (column == kTxFreqColumn) {
            // Only a copied Transmit cell that showed "TX OFF" makes the channel receive-only;
            // any other text is a frequency that the channel then transmits on.
            if (text == mv53::kTxOffText) {
                if (!m_rowBuffer.CellTxOff)
                    return;
                // The cell shows "TX OFF" now; an open text edit of it is dropped.
                if (Editing())
                    CloseEditor();
                if (ch.TxOff() == 0) {
                    // As the double-click: the frequency the cell showed is kept for later.
                    mv53::SetFrequencyText(ch.TxFreq(), Model()->Text(channel, column));
                    ch.SetTxOff(1);
                    changed = true;
                }
                changed |= Model()->SetText(channel, column, mv53::kTxOffText);
                ApplyCell(channel, column);
                if (changed) {
                    m_state.Modified = true;
                    MarkEdited(mv53::kPasteStep);
                }
                return;
            }
            if (ch.TxOff() != 0) {
                ch.SetTxOff(0);
                changed = true;
            }
        }
        if (Editing()) {
            PasteIntoEditor(text);
        } else {
            std::string value = Normalize(channel, column, text);
            const auto length = static_cast<size_t>(Column(column).EditParam);
            if (value.size() > length)
                value.resize(length);
            if (Model()->SetText(channel, column, value)) {
                changed = true;
                ApplyCell(channel, column);
            }
        }
    }
    if (changed) {
        m_state.Modified = true;
        MarkEdited(mv53::kPasteStep);
    }
}
