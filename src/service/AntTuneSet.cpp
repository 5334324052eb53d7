#include "service/AntTuneSet.h"

#include "controls/U_Controls.h"
#include "model/ChannelEdits.h"
#include "model/Prompt.h"
#include "model/U_InputFilter.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyle>
#include <QVBoxLayout>

#include <cstdio>

namespace {

constexpr int kFirstOption = 4;   // columns 4..8: option lists 30..34
constexpr int kLastOption = 8;
constexpr int kRowHeight = 20;
constexpr int kMinWidth = 702;
constexpr int kMinClientHeight = 480;
constexpr const char* kTxOffText = "TX OFF";

const TGrdInf& Column(int column) { return TunerColumns()[static_cast<size_t>(column)]; }

QString Latin1(const std::string& s) { return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace

// ---- TTunerGrid ----------------------------------------------------------------------------

TTunerGrid::TTunerGrid(const TProgramState& state, QWidget* parent) : QTableView(parent), m_state(state)
{
    const std::span<const TGrdInf> columns(TunerColumns().data(), TunerColumns().size());
    m_model = new mv53::TTextGridModel(columns, kRows, [this](int row) { return Used(row); }, this);
    setHorizontalHeader(new mv53::TGridHeader(columns, this));
    setModel(m_model);
    setItemDelegate(new mv53::TGridCellDelegate(this));
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(kRowHeight);
    for (int c = 0; c < static_cast<int>(columns.size()); ++c)
        setColumnWidth(c, Column(c).ColWidth);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setTabKeyNavigation(false);
    setShowGrid(true);
    setWordWrap(false);
    setCornerButtonEnabled(false);

    m_editor = new QLineEdit(viewport());
    m_editor->setMaxLength(Column(kColumnL).EditParam);
    m_editor->hide();
    m_editor->installEventFilter(this);
}

bool TTunerGrid::Used(int row) const
{
    return row >= 0 && row < kRows && m_state.CurrentMem.Channels().Items(row).Status() != mv53::kChannelEmpty;
}

void TTunerGrid::Fill(const TAntTuner0& set0, const TAntTuner1& set1)
{
    if (m_editing) {
        m_editing = false;
        m_editor->hide();
    }
    std::vector<mv53::TTextGridModel::TRow> rows(static_cast<size_t>(kRows));
    char buf[32];
    for (int r = 0; r < kRows; ++r) {
        const TChannel& ch = m_state.CurrentMem.Channels().Items(r);
        const TTuneData& t = mv53::ChannelTuneEntry(set0, set1, r);
        auto& row = rows[static_cast<size_t>(r)];
        row.resize(TunerColumns().size());
        std::snprintf(buf, sizeof buf, "%3.3d", r + 1);
        row[0] = buf;
        row[1] = ch.Tag();
        row[2] = mv53::FormatFixed(ch.RxFreq().ToFloat(), 5);
        row[3] = ch.TxOff() != 0 ? std::string(kTxOffText) : mv53::FormatFixed(ch.TxFreq().ToFloat(), 5);
        const int values[] = {t.TuneReset(), t.TuneThru(), t.TuneTrans(), t.TuneMidC(), t.TuneTopC()};
        for (int c = kFirstOption; c <= kLastOption; ++c)
            row[static_cast<size_t>(c)] = ValText(Column(c).EditParam, values[c - kFirstOption]);
        std::snprintf(buf, sizeof buf, "%3d", static_cast<int>(t.TuneL()));
        row[kColumnL] = buf;
    }
    m_model->SetAll(std::move(rows));
    setCurrentIndex(m_model->index(0, 0));
}

void TTunerGrid::Store(TAntTuner0& set0, TAntTuner1& set1) const
{
    for (int r = 0; r < kRows; ++r) {
        TTuneData& t = mv53::ChannelTuneEntry(set0, set1, r);
        const auto option = [&](int c) { return ValIndexOf(Column(c).EditParam, m_model->Text(r, c)); };
        t.SetTuneReset(option(4));
        t.SetTuneThru(option(5));
        t.SetTuneTrans(option(6));
        t.SetTuneMidC(option(7));
        t.SetTuneTopC(option(8));
        t.SetTuneL(TextToInt(m_model->Text(r, kColumnL)));
    }
}

void TTunerGrid::CellAction(int row, int column)
{
    if (!Used(row))
        return;
    if (column >= kFirstOption && column <= kLastOption) {
        const int list = Column(column).EditParam;
        const std::string& text = m_model->Text(row, column);
        int k = -1;
        for (int i = 0; i < ValCount(list); ++i)
            if (ValText(list, i) == text)
                k = i;
        const int next = (k >= 0 && k < ValCount(list) - 1) ? k + 1 : 0;
        m_model->SetText(row, column, ValText(list, next));
    } else if (column == kColumnL) {
        OpenEditor(Latin1(m_model->Text(row, column)));
    }
}

void TTunerGrid::OpenEditor(const QString& text)
{
    m_editRow = currentIndex().row();
    m_editOriginal = m_model->Text(m_editRow, kColumnL);
    m_editing = true;
    m_editor->setText(text);
    PlaceEditor();
    m_editor->setFocus(Qt::OtherFocusReason);
}

void TTunerGrid::PlaceEditor()
{
    if (!m_editing)
        return;
    const QRect cell = visualRect(m_model->index(m_editRow, kColumnL));
    if (cell.isEmpty() || !cell.intersects(viewport()->rect())) {
        m_editor->hide();
        return;
    }
    m_editor->setGeometry(cell.left(), cell.top() - 1, columnWidth(kColumnL) + 1, rowHeight(m_editRow) + 2);
    m_editor->show();
}

bool TTunerGrid::CommitEditor()
{
    if (!m_editing)
        return true;
    std::string text = DigitsOnly(m_editor->text().toLatin1().toStdString());
    if (!text.empty() && TextToInt(text) > kMaxL)
        text = std::to_string(kMaxL);
    const bool hadFocus = m_editor->hasFocus();
    m_editing = false;
    m_editor->hide();
    m_model->SetText(m_editRow, kColumnL, text);
    if (hadFocus)
        setFocus(Qt::OtherFocusReason);
    return true;
}

void TTunerGrid::keyPressEvent(QKeyEvent* e)
{
    const QModelIndex at = currentIndex();
    const int row = at.row();
    const int column = at.column();
    switch (e->key()) {
    case Qt::Key_F1:
        if (m_help)
            m_help(kHelpTopic);
        return;
    case Qt::Key_Left:
        if (column > 0)
            setCurrentIndex(m_model->index(row, column - 1));
        return;
    case Qt::Key_Right:
        if (column < m_model->columnCount() - 1)
            setCurrentIndex(m_model->index(row, column + 1));
        return;
    case Qt::Key_Space:
        CellAction(row, column);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!Used(row))
            return;
        if (m_editing) {
            scrollTo(m_model->index(m_editRow, kColumnL));
            PlaceEditor();
        } else if (column == kColumnL) {
            OpenEditor(Latin1(m_model->Text(row, column)));
        }
        if (m_editing) {
            m_editor->selectAll();
            m_editor->setFocus(Qt::OtherFocusReason);
        }
        return;
    case Qt::Key_Backspace:
        return;
    default:
        break;
    }
    if (char key = TypedChar(e)) {
        if (column != kColumnL || !Used(row) || !IsDigitKey(key))
            return;
        const QString typed(QChar(static_cast<char16_t>(static_cast<unsigned char>(key))));
        if (m_editing) {
            scrollTo(m_model->index(m_editRow, kColumnL));
            PlaceEditor();
            if (m_editor->text().size() < m_editor->maxLength())
                m_editor->setText(m_editor->text() + typed);
        } else {
            OpenEditor(typed);
            m_editor->setCursorPosition(1);
        }
        return;
    }
    QTableView::keyPressEvent(e);
}

void TTunerGrid::mouseDoubleClickEvent(QMouseEvent* e)
{
    const QModelIndex at = indexAt(e->position().toPoint());
    if (e->button() != Qt::LeftButton || !at.isValid()) {
        QTableView::mouseDoubleClickEvent(e);
        return;
    }
    setCurrentIndex(at);
    CellAction(at.row(), at.column());
    e->accept();
}

bool TTunerGrid::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == m_editor && e->type() == QEvent::KeyPress && m_editing) {
        auto* k = static_cast<QKeyEvent*>(e);
        switch (k->key()) {
        case Qt::Key_Escape:
            m_editor->setText(Latin1(m_editOriginal));
            CommitEditor();
            setFocus(Qt::OtherFocusReason);
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            CommitEditor();
            setFocus(Qt::OtherFocusReason);
            return true;
        case Qt::Key_F1:
            if (m_help)
                m_help(kHelpTopic);
            return true;
        default:
            break;
        }
        if (char key = TypedChar(k))
            return !IsDigitKey(key);   // only digits reach the editor (Backspace is no character)
    }
    return QTableView::eventFilter(watched, e);
}

void TTunerGrid::scrollContentsBy(int dx, int dy)
{
    QTableView::scrollContentsBy(dx, dy);
    PlaceEditor();
}

void TTunerGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    if (m_editing && current.row() != m_editRow) {
        CommitEditor();
        Q_EMIT cellLeft();
    } else if (m_editing && current.column() != kColumnL) {
        CommitEditor();
        Q_EMIT cellLeft();
    }
    QTableView::currentChanged(current, previous);
}

// ---- TfrmAntTuneSet ------------------------------------------------------------------------

TfrmAntTuneSet::TfrmAntTuneSet(TProgramState& state, TServiceHost host, QWidget* parent)
    : TServiceWindow(state, std::move(host), TTransferKind::AntTuner, TServiceReport::AntTuner, parent)
{
    setObjectName(QStringLiteral("frmAntTuneSet"));
    setWindowTitle(QStringLiteral("Antenna Tuner Setting"));
    setModal(true);
    setSizeGripEnabled(true);
    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    const int caption = style()->pixelMetric(QStyle::PM_TitleBarHeight);
    setMinimumSize(kMinWidth, kMinClientHeight + caption + 2 * frame);

    auto* top = new QVBoxLayout(this);
    grdTuneData = new TTunerGrid(state, this);
    grdTuneData->setObjectName(QStringLiteral("grdTuneData"));
    grdTuneData->SetHelpHandler([this](int topic) {
        if (m_host.Help)
            m_host.Help(topic);
    });
    connect(grdTuneData, &TTunerGrid::cellLeft, this, &TfrmAntTuneSet::StoreStep);
    top->addWidget(grdTuneData, 1);
    AddCommandButtons(top);
    SetFieldOrder({grdTuneData, grdTuneData->CellEditor()});
}

void TfrmAntTuneSet::FillStep() { grdTuneData->Fill(m_set0, m_set1); }

void TfrmAntTuneSet::StoreStep() { grdTuneData->Store(m_set0, m_set1); }

void TfrmAntTuneSet::CommitStep()
{
    // The two tables are compared and copied each on its own.
    TMVmem& mem = m_state.CurrentMem;
    if (!m_set0.Equals(mem.AntTuner0())) {
        mem.AntTuner0().Assign(m_set0);
        m_state.Modified = true;
    }
    if (!m_set1.Equals(mem.AntTuner1())) {
        mem.AntTuner1().Assign(m_set1);
        m_state.Modified = true;
    }
}

bool TfrmAntTuneSet::CopiesDiffer() const
{
    const TMVmem& mem = m_state.CurrentMem;
    return !m_set0.Equals(mem.AntTuner0()) || !m_set1.Equals(mem.AntTuner1());
}

void TfrmAntTuneSet::TakeCopies()
{
    m_set0.Assign(m_state.CurrentMem.AntTuner0());
    m_set1.Assign(m_state.CurrentMem.AntTuner1());
}

void TfrmAntTuneSet::reject()
{
    // Escape belongs to the cell editor while it is open.
    if (grdTuneData->Editing())
        return;
    ClosingSteps();
}
