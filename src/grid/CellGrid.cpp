#include "grid/CellGrid.h"

#include "controls/U_Controls.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QValidator>

namespace mv53 {

namespace {

QString Latin1(const std::string& text) { return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())); }
QString CharText(char key) { return QString(QChar(static_cast<char16_t>(static_cast<uchar>(key)))); }
bool IsCopyOrPaste(const QKeyEvent* e) { return e->matches(QKeySequence::Copy) || e->matches(QKeySequence::Paste); }

}  // namespace

// Passes every text that enters the cell editor (typed keys, the editor's own paste, drops,
// middle-button paste, input methods) through the cell's key filter: refused characters and
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

TCellGrid::TCellGrid(std::span<const TGrdInf> columns, int rows, TTextGridModel::TUsed used, QWidget* parent)
    : QTableView(parent)
{
    m_model = new TTextGridModel(columns, rows, std::move(used), this);
    setHorizontalHeader(new TGridHeader(columns, this));
    setModel(m_model);
    setItemDelegate(new TGridCellDelegate(this));
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(TGridHeader::kLineHeight);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setShowGrid(true);
    setWordWrap(false);
    setCornerButtonEnabled(false);

    m_editor = new QLineEdit(viewport());
    m_editor->hide();
    m_editor->installEventFilter(this);
    m_keyFilter = new TCellKeyFilter([this](char& key) { return AcceptKey(m_editRow, m_editColumn, key); }, m_editor);
    m_editor->setValidator(m_keyFilter);
}

TCellGrid::~TCellGrid() = default;

QRect TCellGrid::CellRect(int row, int column) const { return visualRect(m_model->index(row, column)); }

void TCellGrid::SetEditorText(const QString& text)
{
    m_keyFilter->Take(text);
    m_editor->setText(text);
}

void TCellGrid::Help(int column) const
{
    const int context = ColumnHelp(column);
    if (context >= 0 && m_help)
        m_help(context);
}

bool TCellGrid::MoveTo(int row, int column)
{
    const QModelIndex target = m_model->index(row, column);
    if (!target.isValid())
        return false;
    if (target == currentIndex())
        return true;
    if (m_editing) {
        if (!CommitEditor())
            return false;
        EditorLeft();
    }
    selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect);
    scrollTo(target);
    return true;
}

// ---------------------------------------------------------------------------------------------
// The cell editor.

void TCellGrid::OpenEditor()
{
    const int row = currentIndex().row();
    const int column = currentIndex().column();
    if (!currentIndex().isValid() || !TakesText(row, column)) {
        m_editing = false;
        m_editor->hide();
        return;
    }
    m_editRow = row;
    m_editColumn = column;
    m_editOriginal = m_model->Text(row, column);
    m_editor->setMaxLength(m_model->Columns()[static_cast<size_t>(column)].EditParam);
    SetEditorText(Latin1(m_editOriginal));
    m_editing = true;
    PlaceEditor();
    m_editor->show();
    m_editor->setFocus(Qt::OtherFocusReason);
}

void TCellGrid::PlaceEditor()
{
    if (!m_editing)
        return;
    const QRect cell = CellRect(m_editRow, m_editColumn);
    if (cell.isEmpty() || !cell.intersects(viewport()->rect())) {
        // The row is scrolled out: hide the editor until it comes back.
        const bool hadFocus = m_editor->hasFocus();
        m_editor->hide();
        if (hadFocus)
            FocusGrid();
        return;
    }
    m_editor->setGeometry(cell.left(), cell.top() - 1, columnWidth(m_editColumn) + 1, rowHeight(m_editRow) + 2);
    m_editor->show();
}

void TCellGrid::ShowEditor()
{
    scrollTo(m_model->index(m_editRow, m_editColumn));
    PlaceEditor();
}

void TCellGrid::CloseEditor()
{
    const bool hadFocus = m_editor->hasFocus();
    m_editing = false;
    m_editor->hide();
    if (hadFocus)
        FocusGrid();
}

bool TCellGrid::CommitEditor()
{
    if (!m_editing)
        return true;
    const int row = m_editRow;
    const int column = m_editColumn;
    const std::string text = Normalize(row, column, m_editor->text().toLatin1().toStdString());
    SetEditorText(Latin1(text));
    CloseEditor();
    if (m_model->SetText(row, column, text))
        Committed(row, column);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Keys and mouse.

void TCellGrid::EnterKey()
{
    if (!m_model->Used(currentIndex().row()))
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

void TCellGrid::TypeCharacter(char key)
{
    const int row = ActiveRow();
    const int column = ActiveColumn();
    if (!TakesText(row, column) || !AcceptKey(row, column, key))
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

void TCellGrid::NavigateKey(QKeyEvent* e)
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
            EditorLeft();
        }
    }
    QTableView::keyPressEvent(e);
}

void TCellGrid::keyPressEvent(QKeyEvent* e)
{
    const int row = currentIndex().row();
    const int column = currentIndex().column();
    const int step = e->key() == Qt::Key_Right ? 1 : -1;
    switch (e->key()) {
    case Qt::Key_Right:
    case Qt::Key_Left:
        for (int c = column + step; c >= 0 && c < m_model->columnCount(); c += step)
            if (!isColumnHidden(c)) {
                MoveTo(row, c);
                break;
            }
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        EnterKey();
        return;
    case Qt::Key_Space:
        CellAction(row, column);
        return;
    case Qt::Key_F1:
        Help(column);
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

bool TCellGrid::EditorKey(QKeyEvent* e)
{
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
    case Qt::Key_PageDown:
        NavigateKey(e);
        if (!m_editing)
            FocusGrid();
        return true;
    case Qt::Key_F1:
        Help(m_editColumn);
        return true;
    default:
        break;
    }
    char key = TypedChar(e);
    if (key == 0)
        return false;   // editing keys (Backspace, Delete, caret moves) stay with the editor
    if (AcceptKey(m_editRow, m_editColumn, key))
        m_editor->insert(CharText(key));
    return true;
}

bool TCellGrid::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == m_editor) {
        // Copy and paste keys belong to the editor, not to window shortcuts.
        if (e->type() == QEvent::ShortcutOverride && IsCopyOrPaste(static_cast<QKeyEvent*>(e))) {
            e->accept();
            return true;
        }
        if (e->type() == QEvent::KeyPress && m_editing)
            return EditorKey(static_cast<QKeyEvent*>(e));
    }
    return QTableView::eventFilter(watched, e);
}

void TCellGrid::mousePressEvent(QMouseEvent* e)
{
    const QModelIndex at = indexAt(e->position().toPoint());
    if (at.isValid() && at != currentIndex() && m_editing) {
        if (!CommitEditor()) {
            e->accept();
            return;
        }
        EditorLeft();
    }
    if (e->button() == Qt::RightButton) {
        // A pop-up menu acts on the cell under the pointer.
        if (at.isValid())
            MoveTo(at.row(), at.column());
        FocusGrid();
        e->accept();
        return;
    }
    QTableView::mousePressEvent(e);
}

void TCellGrid::mouseDoubleClickEvent(QMouseEvent* e)
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

void TCellGrid::scrollContentsBy(int dx, int dy)
{
    QTableView::scrollContentsBy(dx, dy);
    PlaceEditor();
}

void TCellGrid::resizeEvent(QResizeEvent* e)
{
    QTableView::resizeEvent(e);
    PlaceEditor();
}

void TCellGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    // Every move of the cell cursor is meant to commit first (MoveTo, keys, mouse); a move from
    // elsewhere must not leave an editor open over another cell.
    if (m_editing && current != m_model->index(m_editRow, m_editColumn)) {
        CommitEditor();
        EditorLeft();
    }
    QTableView::currentChanged(current, previous);
}

}  // namespace mv53
