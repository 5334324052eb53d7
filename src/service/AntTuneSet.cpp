#include "service/AntTuneSet.h"

#include "controls/U_Controls.h"
#include "model/ChannelEdits.h"
#include "model/ChannelTexts.h"
#include "model/ChannelValues.h"
#include "model/Prompt.h"
#include "model/U_InputFilter.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <QStyle>
#include <QVBoxLayout>

#include <cstdio>

namespace {

constexpr int kFirstOption = 4;   // columns 4..8: option lists 30..34
constexpr int kLastOption = 8;
constexpr int kMinWidth = 702;
constexpr int kMinClientHeight = 480;

const TGrdInf& Column(int column) { return TunerColumns()[static_cast<size_t>(column)]; }

}  // namespace

// ---- TTunerGrid ----------------------------------------------------------------------------

TTunerGrid::TTunerGrid(const TProgramState& state, QWidget* parent)
    : TCellGrid(TunerColumns(), kRows, [this](int row) { return Used(row); }, parent), m_state(state)
{
    for (int c = 0; c < static_cast<int>(TunerColumns().size()); ++c)
        setColumnWidth(c, Column(c).ColWidth);
    setSelectionMode(QAbstractItemView::SingleSelection);
}

bool TTunerGrid::Used(int row) const
{
    return row >= 0 && row < kRows && m_state.CurrentMem.Channels().Items(row).Status() != mv53::kChannelEmpty;
}

void TTunerGrid::Fill(const TAntTuner0& set0, const TAntTuner1& set1)
{
    if (Editing())
        CloseEditor();
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
        row[3] = ch.TxOff() != 0 ? std::string(mv53::kTxOffText) : mv53::FormatFixed(ch.TxFreq().ToFloat(), 5);
        const int values[] = {t.TuneReset(), t.TuneThru(), t.TuneTrans(), t.TuneMidC(), t.TuneTopC()};
        for (int c = kFirstOption; c <= kLastOption; ++c)
            row[static_cast<size_t>(c)] = ValText(Column(c).EditParam, values[c - kFirstOption]);
        std::snprintf(buf, sizeof buf, "%3d", static_cast<int>(t.TuneL()));
        row[kColumnL] = buf;
    }
    Model()->SetAll(std::move(rows));
    setCurrentIndex(Model()->index(0, 0));
}

void TTunerGrid::Store(TAntTuner0& set0, TAntTuner1& set1) const
{
    for (int r = 0; r < kRows; ++r) {
        TTuneData& t = mv53::ChannelTuneEntry(set0, set1, r);
        const auto option = [&](int c) { return ValIndexOf(Column(c).EditParam, Model()->Text(r, c)); };
        t.SetTuneReset(option(4));
        t.SetTuneThru(option(5));
        t.SetTuneTrans(option(6));
        t.SetTuneMidC(option(7));
        t.SetTuneTopC(option(8));
        t.SetTuneL(TextToInt(Model()->Text(r, kColumnL)));
    }
}

void TTunerGrid::CellAction(int row, int column)
{
    if (!Used(row))
        return;
    if (column >= kFirstOption && column <= kLastOption) {
        Model()->SetText(row, column, mv53::NextOptionText(Column(column).EditParam, Model()->Text(row, column)));
    } else if (column == kColumnL) {
        OpenEditor();
    }
}

bool TTunerGrid::AcceptKey(int /*row*/, int /*column*/, char& key) const { return IsDigitKey(key); }

std::string TTunerGrid::Normalize(int /*row*/, int /*column*/, const std::string& text) const
{
    std::string digits = DigitsOnly(text);
    if (!digits.empty() && TextToInt(digits) > kMaxL)
        digits = std::to_string(kMaxL);
    return digits;
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
