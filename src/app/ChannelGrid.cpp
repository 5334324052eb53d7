#include "app/ChannelGrid.h"

#include "app/SelectList.h"
#include "controls/U_Controls.h"
#include "help/HelpTopics.h"
#include "model/ChannelEdits.h"
#include "model/ChannelTexts.h"
#include "model/ChannelValues.h"
#include "model/FreqRange.h"
#include "model/U_InputFilter.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QValidator>

#include <algorithm>
#include <cstdio>

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
constexpr char kEscapeKey = 27;
const QColor kOutOfRangeColour(Qt::red);
constexpr const char* kOutOfRangeHint = "Outside the radio's range ";

const TGrdInf& Column(int column) { return ChannelColumns()[static_cast<size_t>(column)]; }
int Kind(int column) { return Column(column).EditKind; }
bool IsTextKind(int edit) { return edit == kEditTag || edit == kEditRxFreq || edit == kEditTxFreq; }

QString Latin1(const std::string& text) { return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())); }
std::string FromLatin1(const QString& text) { return text.toLatin1().toStdString(); }
QString CharText(char key) { return QString(QChar(static_cast<char16_t>(static_cast<uchar>(key)))); }

} // namespace

// Passes every text that enters the cell editor (typed keys, the editor's own paste, drops,
// middle-button paste, input methods) through the column's key filter: refused characters and
// characters beyond Latin-1 are dropped, accepted ones take the filter's form (tag letters in
// upper case). Characters the cell already held are left to the commit's normalisation.
class TCellKeyFilter final : public QValidator {
public:
    using TFilter = std::function<bool(char&)>;
    TCellKeyFilter(TFilter filter, QObject* parent) : QValidator(parent), m_filter(std::move(filter)) {}

    // The editor's text as the grid put it in, unchecked.
    void Take(const QString& text) { m_last = text; }

    State validate(QString& input, int& pos) const override
    {
        // What is new is the part between the unchanged head and tail of the last text.
        qsizetype head = 0;
        while (head < input.size() && head < m_last.size() && input[head] == m_last[head])
            ++head;
        qsizetype tail = 0;
        while (tail < input.size() - head && tail < m_last.size() - head &&
               input[input.size() - 1 - tail] == m_last[m_last.size() - 1 - tail])
            ++tail;
        QString out = input.left(head);
        int droppedBeforeCursor = 0;
        for (qsizetype i = head; i < input.size() - tail; ++i) {
            const char16_t code = input.at(i).unicode();
            char key = static_cast<char>(static_cast<uchar>(code & 0xFF));
            if (code >= 32 && code <= 255 && code != 127 && m_filter(key))
                out += QChar(static_cast<char16_t>(static_cast<uchar>(key)));
            else if (i < pos)
                ++droppedBeforeCursor;
        }
        out += input.right(tail);
        pos -= droppedBeforeCursor;
        input = out;
        m_last = input;
        return Acceptable;
    }

private:
    TFilter m_filter;
    mutable QString m_last;
};

namespace mv53 {

// ---------------------------------------------------------------------------------------------
TChannelGridModel::TChannelGridModel(const TProgramState& state, QObject* parent)
    : QAbstractTableModel(parent), m_state(state), m_rows(static_cast<size_t>(kGridChannels))
{
}

int TChannelGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kGridChannels; }

int TChannelGridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kGridColumns; }

bool TChannelGridModel::Used(int channel) const
{
    return m_state.GridChannels.Items(channel).Status() == kChannelUsed;
}

bool TChannelGridModel::OutOfRange(int channel, int column) const
{
    if ((column != kRxFreqColumn && column != kTxFreqColumn) || !Used(channel))
        return false;
    const std::string& text = Text(channel, column);
    if (text == mv53::kTxOffText)
        return false;
    TDecimal value;
    mv53::SetFrequencyText(value, text);
    return !ChannelFreqInRange(value, column == kTxFreqColumn, m_state.CurrentMem.FactoryOpt());
}

QVariant TChannelGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return Latin1(Text(index.row(), index.column()));
    case Qt::ForegroundRole:
        if (!Used(index.row()))
            return kEmptyRowColour;
        return OutOfRange(index.row(), index.column()) ? kOutOfRangeColour : QColor(Qt::black);
    case Qt::ToolTipRole:
        if (OutOfRange(index.row(), index.column()))
            return QString::fromLatin1(kOutOfRangeHint) +
                   QString::fromStdString(ChannelFreqRange(index.column() == kTxFreqColumn, m_state.CurrentMem.FactoryOpt()).Text) +
                   QStringLiteral(" MHz");
        return {};
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

QVariant TChannelGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 || section >= kGridColumns)
        return {};
    return QString::fromLatin1(Column(section).Caption1) + QLatin1Char('\n') + QString::fromLatin1(Column(section).Caption2);
}

bool TChannelGridModel::SetText(int channel, int column, const std::string& text)
{
    std::string& cell = m_rows[static_cast<size_t>(channel)][static_cast<size_t>(column)];
    if (cell == text)
        return false;
    cell = text;
    const QModelIndex at = index(channel, column);
    Q_EMIT dataChanged(at, at, {Qt::DisplayRole});
    return true;
}

void TChannelGridModel::SetAll(std::vector<TRow> rows)
{
    m_rows = std::move(rows);
    m_rows.resize(static_cast<size_t>(kGridChannels));
    Q_EMIT dataChanged(index(0, 0), index(kGridChannels - 1, kGridColumns - 1));
}

void TChannelGridModel::RowChanged(int channel)
{
    Q_EMIT dataChanged(index(channel, 0), index(channel, kGridColumns - 1));
}

} // namespace mv53

// =============================================================================================
TChannelGrid::TChannelGrid(TProgramState& state, QWidget* parent) : QTableView(parent), m_state(state)
{
    m_model = new mv53::TChannelGridModel(state, this);
    setHorizontalHeader(new mv53::TGridHeader(ChannelColumns(), this));
    setModel(m_model);
    setItemDelegate(new mv53::TGridCellDelegate(this));

    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(mv53::TGridHeader::kLineHeight);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setTabKeyNavigation(false);
    setShowGrid(true);
    setWordWrap(false);
    setCornerButtonEnabled(false);

    m_editor = new QLineEdit(viewport());
    m_editor->setFont(QFont(QString::fromLatin1(kEditorFont), kEditorPointSize));
    m_editor->setMaxLength(Column(kTagColumn).EditParam);
    m_editor->hide();
    m_editor->installEventFilter(this);
    m_keyFilter = new TCellKeyFilter([this](char& key) { return FilterKey(m_editColumn, key); }, m_editor);
    m_editor->setValidator(m_keyFilter);

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
bool TChannelGrid::Used(int channel) const { return m_model->Used(channel); }
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

std::string TChannelGrid::CellText(int channel, int column) const { return m_model->Text(channel, column); }

void TChannelGrid::SetEditorText(const QString& text)
{
    m_keyFilter->Take(text);
    m_editor->setText(text);
}

QRect TChannelGrid::CellRect(int channel, int column) const { return visualRect(m_model->index(channel, column)); }

bool TChannelGrid::HasEditFocus() const { return hasFocus() || m_editing || m_editor->hasFocus(); }

void TChannelGrid::MarkEdited(const char* step) { Q_EMIT dataEdited(step); }

// ---------------------------------------------------------------------------------------------
void TChannelGrid::Fill()
{
    if (m_editing) {
        m_editing = false;
        m_editor->hide();
    }
    std::vector<mv53::TChannelGridModel::TRow> rows(static_cast<size_t>(mv53::kGridChannels));
    for (int i = 0; i < mv53::kGridChannels; ++i)
        for (int c = 0; c < mv53::kGridColumns; ++c)
            rows[static_cast<size_t>(i)][static_cast<size_t>(c)] = mv53::ChannelCellText(i, Channel(i), c);
    m_model->SetAll(std::move(rows));
    // Column 0 of the first channel, or the first visible column when the user hid column 0
    // (the space bar would otherwise toggle the status of a channel in a column nobody sees).
    const QModelIndex first = m_model->index(0, isColumnHidden(0) ? m_firstVisible : 0);
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
        const auto& row = m_model->Row(i);
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

bool TChannelGrid::MoveTo(int channel, int column)
{
    const QModelIndex target = m_model->index(channel, column);
    if (!target.isValid())
        return false;
    if (target == currentIndex())
        return true;
    if (m_editing) {
        if (!CommitEditor())
            return false;
        GridToChannels();
    }
    selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect);
    scrollTo(target);
    return true;
}

void TChannelGrid::FocusGrid() { setFocus(Qt::OtherFocusReason); }

// ---------------------------------------------------------------------------------------------
// The cell editor.

bool TChannelGrid::FilterKey(int column, char& key) const
{
    switch (Kind(column)) {
    case kEditTag:
        return IsTagKey(key);
    case kEditRxFreq:
        return IsFreqKey(key);
    case kEditTxFreq:
        if (Channel(m_editing ? m_editChannel : CurrentChannel()).TxOff() != 0)
            return key != kEscapeKey && key != ' ';
        return IsFreqKey(key);
    default:
        return false;
    }
}

std::string TChannelGrid::Normalize(int channel, int column, const std::string& text) const
{
    switch (Kind(column)) {
    case kEditTag:
        return FormatTag(text);
    case kEditRxFreq:
        return FormatFreq(text, column, RxRange());
    case kEditTxFreq:
        return Channel(channel).TxOff() != 0 ? text : FormatFreq(text, column, RxRange());
    default:
        return text;
    }
}

void TChannelGrid::OpenEditor()
{
    const int channel = CurrentChannel();
    const int column = CurrentColumn();
    // Decision for the transmit cell of a receive-only channel: no editor (and no typing). It
    // shows "TX OFF", a typed text would never reach the channel, and the cell would show a
    // frequency that is not there; a double-click or the space bar turns the transmitter on.
    const bool receiveOnly = Kind(column) == kEditTxFreq && Channel(channel).TxOff() != 0;
    if (!IsTextKind(Kind(column)) || receiveOnly) {
        m_editing = false;
        m_editor->hide();
        return;
    }
    m_editChannel = channel;
    m_editColumn = column;
    m_editOriginal = m_model->Text(channel, column);
    m_editor->setMaxLength(Column(column).EditParam);
    SetEditorText(Latin1(m_editOriginal));
    m_editing = true;
    PlaceEditor();
    m_editor->show();
    m_editor->setFocus(Qt::OtherFocusReason);
}

void TChannelGrid::PlaceEditor()
{
    if (!m_editing)
        return;
    const QRect cell = CellRect(m_editChannel, m_editColumn);
    if (cell.isEmpty() || !cell.intersects(viewport()->rect())) {
        // The row is scrolled out: hide the editor until it comes back.
        const bool hadFocus = m_editor->hasFocus();
        m_editor->hide();
        if (hadFocus)
            FocusGrid();
        return;
    }
    m_editor->setGeometry(cell.left(), cell.top() - 1, columnWidth(m_editColumn) + 1, rowHeight(m_editChannel) + 2);
    m_editor->show();
}

void TChannelGrid::ShowEditor()
{
    scrollTo(m_model->index(m_editChannel, m_editColumn));
    PlaceEditor();
}

bool TChannelGrid::CommitEditor()
{
    if (!m_editing)
        return true;
    const int channel = m_editChannel;
    const int column = m_editColumn;
    const std::string text = Normalize(channel, column, FromLatin1(m_editor->text()));
    SetEditorText(Latin1(text));
    const bool hadFocus = m_editor->hasFocus();
    m_editing = false;
    m_editor->hide();
    if (hadFocus)
        FocusGrid();
    // Only a changed text is applied: committing an unchanged receive frequency must not
    // overwrite a transmit frequency that differs from it.
    if (m_model->SetText(channel, column, text)) {
        ApplyCell(channel, column);
        MarkEdited(mv53::kTypingStep);
    }
    return true;
}

void TChannelGrid::SetCell(int channel, int column, const std::string& text)
{
    if (m_model->SetText(channel, column, text))
        MarkEdited(mv53::kValueStep);
}

void TChannelGrid::ApplyCell(int channel, int column)
{
    if (column == kRxFreqColumn) {
        // A new receive frequency sets the transmit frequency to the same value.
        const std::string tx = mv53::ApplyReceiveText(Channel(channel), m_model->Text(channel, column), RxRange());
        if (Channel(channel).TxOff() == 0)
            SetCell(channel, kTxFreqColumn, tx);
    } else if (column == kModeColumn) {
        Channel(channel).SetMode(ValIndexOf(kListMode, m_model->Text(channel, column)));
    }
}

// ---------------------------------------------------------------------------------------------
// Double-click and space bar.

void TChannelGrid::CellAction(int channel, int column)
{
    if (channel < 0 || channel >= mv53::kGridChannels || column < 0 || column >= mv53::kGridColumns)
        return;
    // The action works on the cell text, so an open edit is finished first.
    if (m_editing && !CommitEditor())
        return;
    TChannel& ch = Channel(channel);
    if (column == 0) {
        ch.SetStatus(ch.Status() == mv53::kChannelUsed ? mv53::kChannelEmpty : mv53::kChannelUsed);
        m_model->RowChanged(channel);
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
    const std::string& text = m_model->Text(channel, column);
    switch (Kind(column)) {
    case kEditToggle: {
        const int k = mv53::OptionEntryOf(list, text);
        const std::string next = (k >= 0 && k < ValCount(list) - 1) ? ValText(list, k + 1) : ValText(list, 0);
        SetCell(channel, column, next);
        break;
    }
    case kEditPick: {
        const std::string suffix = "(CH=" + m_model->Text(channel, 0) + ")";
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

void TChannelGrid::EnterKey()
{
    if (!Used(CurrentChannel()))
        return;
    if (m_editing)
        ShowEditor();
    else
        OpenEditor();
    if (m_editing && m_editor->isVisible()) {
        m_editor->selectAll();
        m_editor->setFocus(Qt::OtherFocusReason);
    }
}

void TChannelGrid::TypeCharacter(char key)
{
    const int channel = m_editing ? m_editChannel : CurrentChannel();
    const int column = m_editing ? m_editColumn : CurrentColumn();
    if (!Used(channel) || !IsTextKind(Kind(column)))
        return;
    if (Kind(column) == kEditTxFreq && Channel(channel).TxOff() != 0)
        return;   // see OpenEditor: the transmit cell of a receive-only channel takes no text
    if (!FilterKey(column, key))
        return;
    const QString typed = CharText(key);
    if (m_editing) {
        ShowEditor();
        if (m_editor->text().size() < m_editor->maxLength())
            m_editor->setText(m_editor->text() + typed);
        m_editor->setFocus(Qt::OtherFocusReason);
        return;
    }
    OpenEditor();
    if (!m_editing)
        return;
    m_editor->setText(typed);
    m_editor->setCursorPosition(1);
}

void TChannelGrid::NavigateKey(QKeyEvent* e)
{
    CursorAction action = MoveDown;
    switch (e->key()) {
    case Qt::Key_Up: action = MoveUp; break;
    case Qt::Key_Down: action = MoveDown; break;
    case Qt::Key_PageUp: action = MovePageUp; break;
    case Qt::Key_PageDown: action = MovePageDown; break;
    case Qt::Key_Home: action = MoveHome; break;
    case Qt::Key_End: action = MoveEnd; break;
    default: return;
    }
    if (m_editing) {
        const QModelIndex target = moveCursor(action, e->modifiers());
        if (target.isValid() && target != currentIndex()) {
            if (!CommitEditor())
                return;
            GridToChannels();
        }
    }
    QTableView::keyPressEvent(e);
}

static bool IsCopyOrPaste(const QKeyEvent* e) { return e->matches(QKeySequence::Copy) || e->matches(QKeySequence::Paste); }

bool TChannelGrid::event(QEvent* e)
{
    // Copy and paste keys belong to the grid while it has the focus, not to window shortcuts.
    if (e->type() == QEvent::ShortcutOverride && IsCopyOrPaste(static_cast<QKeyEvent*>(e))) {
        e->accept();
        return true;
    }
    return QTableView::event(e);
}

void TChannelGrid::keyPressEvent(QKeyEvent* e)
{
    if (e->matches(QKeySequence::Copy)) {
        Copy();
        return;
    }
    if (e->matches(QKeySequence::Paste)) {
        Paste();
        return;
    }
    const int column = CurrentColumn();
    switch (e->key()) {
    case Qt::Key_Right:
        for (int c = column + 1; c < mv53::kGridColumns; ++c)
            if (!isColumnHidden(c)) {
                MoveTo(CurrentChannel(), c);
                break;
            }
        return;
    case Qt::Key_Left:
        for (int c = column - 1; c >= 0; --c)
            if (!isColumnHidden(c)) {
                MoveTo(CurrentChannel(), c);
                break;
            }
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        EnterKey();
        return;
    case Qt::Key_Space:
        CellAction(CurrentChannel(), column);
        return;
    case Qt::Key_F1:
        if (column < mv53::kGridColumns - 1 && m_help)
            m_help(HelpContext::GridColumn(column));
        return;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        NavigateKey(e);
        return;
    case Qt::Key_Backspace:
        return;
    default:
        break;
    }
    if (const char key = TypedChar(e)) {
        TypeCharacter(key);
        return;
    }
    QTableView::keyPressEvent(e);
}

void TChannelGrid::keyReleaseEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Home && CurrentColumn() < m_firstVisible) {
        MoveTo(CurrentChannel(), m_firstVisible);
        FocusGrid();
    } else if (e->key() == Qt::Key_End && CurrentColumn() > m_lastVisible) {
        MoveTo(CurrentChannel(), m_lastVisible);
        FocusGrid();
    }
    QTableView::keyReleaseEvent(e);
}

bool TChannelGrid::EditorKey(QKeyEvent* e)
{
    if (e->matches(QKeySequence::Copy)) {
        Copy();
        return true;
    }
    if (e->matches(QKeySequence::Paste)) {
        Paste();
        return true;
    }
    switch (e->key()) {
    case Qt::Key_Escape:
        // Escape restores the cell as it was when the editor opened; nothing is applied.
        SetEditorText(Latin1(m_editOriginal));
        m_editing = false;
        m_editor->hide();
        FocusGrid();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (CommitEditor())
            FocusGrid();
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
        NavigateKey(e);
        if (!m_editing)
            FocusGrid();
        return true;
    }
    case Qt::Key_F1:
        if (m_editColumn < mv53::kGridColumns - 1 && m_help)
            m_help(HelpContext::GridColumn(m_editColumn));
        return true;
    default:
        break;
    }
    char key = TypedChar(e);
    if (key == 0)
        return false;   // editing keys (Backspace, Delete, caret moves) stay with the editor
    if (FilterKey(m_editColumn, key))
        m_editor->insert(CharText(key));
    return true;
}

bool TChannelGrid::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == m_editor) {
        if (e->type() == QEvent::ShortcutOverride && IsCopyOrPaste(static_cast<QKeyEvent*>(e))) {
            e->accept();
            return true;
        }
        if (e->type() == QEvent::KeyPress && m_editing)
            return EditorKey(static_cast<QKeyEvent*>(e));
    }
    return QTableView::eventFilter(watched, e);
}

void TChannelGrid::mousePressEvent(QMouseEvent* e)
{
    const QModelIndex at = indexAt(e->position().toPoint());
    if (at.isValid() && at != currentIndex() && m_editing) {
        if (!CommitEditor()) {
            e->accept();
            return;
        }
        GridToChannels();
    }
    if (e->button() == Qt::RightButton) {
        // The pop-up menu acts on the cell under the pointer.
        if (at.isValid())
            MoveTo(at.row(), at.column());
        FocusGrid();
        e->accept();
        return;
    }
    QTableView::mousePressEvent(e);
}

void TChannelGrid::mouseDoubleClickEvent(QMouseEvent* e)
{
    const QModelIndex at = indexAt(e->position().toPoint());
    if (e->button() != Qt::LeftButton || !at.isValid()) {
        QTableView::mouseDoubleClickEvent(e);
        return;
    }
    if (!MoveTo(at.row(), at.column()))
        return;
    CellAction(at.row(), at.column());
    e->accept();
}

void TChannelGrid::contextMenuEvent(QContextMenuEvent* e)
{
    m_popup->popup(e->globalPos());
    e->accept();
}

void TChannelGrid::scrollContentsBy(int dx, int dy)
{
    QTableView::scrollContentsBy(dx, dy);
    PlaceEditor();
}

void TChannelGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    // Every move of the cell cursor is meant to commit first (MoveTo, keys, mouse); a move from
    // elsewhere must not leave an editor open over another cell.
    if (m_editing && current != m_model->index(m_editChannel, m_editColumn))
        CommitEditor();
    QTableView::currentChanged(current, previous);
}

void TChannelGrid::resizeEvent(QResizeEvent* e)
{
    QTableView::resizeEvent(e);
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
    if (m_editing) {
        // The editor's selection is only text: the row buffer and its flags stay as they were.
        m_editor->copy();
        m_rowBuffer.CellTxOff = false;
    } else {
        const int channel = CurrentChannel();
        const int column = CurrentColumn();
        const bool txOff = Channel(channel).TxOff() != 0;
        QGuiApplication::clipboard()->setText(Latin1(m_model->Text(channel, column)));
        m_rowBuffer.Texts = m_model->Row(channel);
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
        if (FilterKey(m_editColumn, c))
            accepted += c;
    }
    const qsizetype room = m_editor->maxLength() - m_editor->text().size() + m_editor->selectedText().size();
    if (room <= 0)
        return;
    if (static_cast<qsizetype>(accepted.size()) > room)
        accepted.resize(static_cast<size_t>(room));
    m_editor->insert(Latin1(accepted));
}

void TChannelGrid::Paste()
{
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    const QString clip = (mime != nullptr && mime->hasText()) ? mime->text() : QString();
    if (clip.isEmpty() || !m_rowBuffer.Used)
        return;
    const int channel = m_editing ? m_editChannel : CurrentChannel();
    const int column = m_editing ? m_editColumn : CurrentColumn();
    TChannel& ch = Channel(channel);
    bool changed = false;
    if (column == 0 && ch.Status() != mv53::kChannelUsed) {
        ch.SetStatus(mv53::kChannelUsed);
        m_model->RowChanged(channel);
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
                changed |= m_model->SetText(channel, c, m_rowBuffer.Texts[static_cast<size_t>(c)]);
            changed |= (ch.TxOff() != 0) != m_rowBuffer.TxOff;
            ch.SetTxOff(m_rowBuffer.TxOff ? 1 : 0);
        }
    } else if (edit == kEditToggle || edit == kEditPick) {
        // Only an exact entry of the column's list is taken.
        if (mv53::OptionEntryOf(Column(column).EditParam, text) >= 0)
            changed |= m_model->SetText(channel, column, text);
        ApplyCell(channel, column);
    } else {
        if (column == kTxFreqColumn) {
            // Only a copied Transmit cell that showed "TX OFF" makes the channel receive-only;
            // any other text is a frequency that the channel then transmits on.
            if (text == mv53::kTxOffText) {
                if (!m_rowBuffer.CellTxOff)
                    return;
                if (m_editing) {
                    // The cell shows "TX OFF" now; the open text edit of it is dropped.
                    m_editing = false;
                    const bool hadFocus = m_editor->hasFocus();
                    m_editor->hide();
                    if (hadFocus)
                        FocusGrid();
                }
                if (ch.TxOff() == 0) {
                    // As the double-click: the frequency the cell showed is kept for later.
                    mv53::SetFrequencyText(ch.TxFreq(), m_model->Text(channel, column));
                    ch.SetTxOff(1);
                    changed = true;
                }
                changed |= m_model->SetText(channel, column, mv53::kTxOffText);
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
        if (m_editing) {
            PasteIntoEditor(text);
        } else {
            std::string value = Normalize(channel, column, text);
            const auto length = static_cast<size_t>(Column(column).EditParam);
            if (value.size() > length)
                value.resize(length);
            if (m_model->SetText(channel, column, value)) {
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
