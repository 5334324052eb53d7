#include "service/TempCorrect.h"

#include "model/Prompt.h"

#include <QGridLayout>
#include <QLabel>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <string>
#include <vector>

namespace {

constexpr int kMin = -125;
constexpr int kMax = 125;
constexpr int kFirstPageRows = 20;

const char* const kTemperatures[] = {"-30.0", "-18.7", "-7.5", "+3.7", "+15.0", "+26.2", "+37.5", "+48.7", "+60.0"};

std::vector<std::string> RowCaptions()
{
    std::vector<std::string> rows = {" DTCXO1", " DTCXO2", " DTCXO3", " DTCXO4", " Rx Gain"};
    const auto bands = [&rows](const char* name, std::initializer_list<const char*> suffixes) {
        for (const char* s : suffixes)
            rows.push_back(std::string(" ") + name + " " + s);
    };
    const auto three = {"00-10", "10-20", "20-30"};
    const auto six = {"00-04", "04-06", "06-09", "09-13", "13-20", "20-30"};
    bands("SSB Po HI", three);
    bands("SSB Po Lo", three);
    bands("AM Po Hi", three);
    bands("AM Po Lo", three);
    bands("REV", three);
    bands("SSB TXG Hi", six);
    bands("SSB TXG Lo", six);
    bands("AM TXG Hi", six);
    bands("AM TXG Lo", six);
    return rows;
}

}  // namespace

TfrmTempCorrect::TfrmTempCorrect(TProgramState& state, TServiceHost host, QWidget* parent)
    : TServiceWindow(state, std::move(host), TTransferKind::Factory, TServiceReport::TempCorrect, parent)
{
    setObjectName(QStringLiteral("frmTempCorrect"));
    setWindowTitle(QStringLiteral("Temp. Correction"));
    setModal(true);
    auto* top = new QVBoxLayout(this);
    pgcTempCorrect = new QTabWidget(this);
    top->addWidget(pgcTempCorrect);

    const std::vector<std::string> captions = RowCaptions();
    std::vector<QWidget*> fields{pgcTempCorrect->tabBar()};
    QGridLayout* grid = nullptr;
    for (int row = 0; row < kRows; ++row) {
        if (row == 0 || row == kFirstPageRows) {
            auto* page = new QWidget(pgcTempCorrect);
            grid = new QGridLayout(page);
            grid->setSpacing(1);
            pgcTempCorrect->addTab(page, QStringLiteral("Temp. Correction %1").arg(row == 0 ? 1 : 2));
            for (int c = 0; c < kColumns; ++c) {
                auto* title = new QLabel(QString::fromLatin1(kTemperatures[c]), page);
                title->setAlignment(Qt::AlignCenter);
                grid->addWidget(title, 0, c + 1);
            }
        }
        QWidget* page = grid->parentWidget();
        auto* caption = new QLabel(QString::fromLatin1(captions[static_cast<size_t>(row)].c_str()), page);
        caption->setFrameStyle(QFrame::Panel | QFrame::Raised);
        const int line = grid->rowCount();
        grid->addWidget(caption, line, 0);
        for (int c = 0; c < kColumns; ++c) {
            auto* spin = new TSpinEdit(page);
            spin->setObjectName(QStringLiteral("SpinEdit%1_%2").arg(row + 1).arg(c + 1));
            spin->setRange(kMin, kMax);
            spin->setProperty("tag", row * kColumns + c + 1);
            spin->SetEscapeCancels(true);   // Escape is "&Cancel" here
            grid->addWidget(spin, line, c + 1);
            SpinEdit[static_cast<size_t>(row)][static_cast<size_t>(c)] = spin;
            fields.push_back(spin);
        }
    }

    AddCommandButtons(top);
    SetFieldOrder(std::move(fields));
}

void TfrmTempCorrect::ShowStep()
{
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c)
            SpinEdit[static_cast<size_t>(r)][static_cast<size_t>(c)]->setValue(m_table.Rows(r).Values(c));
}

void TfrmTempCorrect::StoreStep()
{
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c)
            m_table.Rows(r).SetValues(c, SpinEdit[static_cast<size_t>(r)][static_cast<size_t>(c)]->ReadValue());
}

void TfrmTempCorrect::CommitStep()
{
    if (m_table.Equals(m_state.CurrentMem.TmpCorrect()))
        return;
    m_state.CurrentMem.TmpCorrect().Assign(m_table);
    m_state.Modified = true;
}

bool TfrmTempCorrect::CopiesDiffer() const { return !m_table.Equals(m_state.CurrentMem.TmpCorrect()); }

void TfrmTempCorrect::TakeCopies() { m_table.Assign(m_state.CurrentMem.TmpCorrect()); }
