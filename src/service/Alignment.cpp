#include "service/Alignment.h"

#include "controls/HintBar.h"
#include "controls/U_Controls.h"
#include "help/HelpTopics.h"
#include "model/Prompt.h"
#include "model/U_InputFilter.h"
#include "service/AlignmentTags.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cstdio>
#include <string>
#include <vector>

using namespace mv53::alignment;

namespace {

constexpr int kSerialLength = 8;

// One row of the window: its caption, control tag, range and hint, and its help topic.
struct TValueRow {
    std::string caption;
    int tag;
    int min;
    int max;
    int step;
    const char* hint;
    int topic;
};

const char* const kBands3[] = {"00-10", "10-20", "20-30"};
const char* const kBands6[] = {"00-04", "04-06", "06-09", "09-13", "13-20", "20-30"};

// The value rows in record position order 1..50 (the table of the window).
std::vector<TValueRow> ValueRows()
{
    std::vector<TValueRow> rows = {
        {" Volt Warning 1", 1, 0, 255, 1, "Programs the Battery Voltage Warning Level (1)", HelpContext::kVoltWarning1},
        {" Volt Warning 2", 2, 0, 255, 1, "Programs the Battery Voltage Warning Level (2)", HelpContext::kVoltWarning2},
        {" DTCXO Select", kTagDtcxo, 0, 3, 1, "Select the operating values for the TCXO Unit.", HelpContext::kDtcxoSelect},
        {" SQL Tight Data", 3, 0, 255, 1, "Programs the Squelch Tight Level.", HelpContext::kSqlTight},
        {" SQL Level", 4, 0, 255, 1, "Programs the Squelch Threshold Level.", HelpContext::kSqlLevel},
        {" CLAR Vol Offset", 5, -125, 125, 1,
         "Adjust the CLAR knob is set to the 12-o\u2019clock (center) position. ", HelpContext::kClarOffset},
        {" Rx Gain", 6, 0, 255, 1, "Programs the Rx Gain.", HelpContext::kRxGain},
        {" Over Heat 1", 7, 0, 255, 1, "Programs the Over Heat Warning level.", HelpContext::kOverHeat1},
        {" Over Heat 2", 8, 0, 255, 1, "Programs the Over Heat Warning level.", HelpContext::kOverHeat2},
        {" CW PTT Send", kTagCwPtt, 0, 1, 1, "Enable/disable CW Transmitting without the CW key.", HelpContext::kCwPttSend},
    };
    int tag = 9;
    const auto bands = [&](const char* name, const char* const* suffixes, int count, const char* hint, int topic) {
        for (int i = 0; i < count; ++i)
            rows.push_back({std::string(" ") + name + " " + suffixes[i], tag++, 0, 255, 1, hint, topic});
    };
    bands("SSB Po Hi", kBands3, 3, "Programs the SSB Tx Output Power (Hi).", HelpContext::kSsbPoHi);
    bands("SSB Po Lo", kBands3, 3, "Programs the SSB Tx Output Power (Low).", HelpContext::kSsbPoLo);
    bands("AM Po Hi", kBands3, 3, "Programs the AM Tx Output Power (Hi).", HelpContext::kAmPoHi);
    bands("AM Po Lo", kBands3, 3, "Programs the AM Tx Output Power (Low).", HelpContext::kAmPoLo);
    rows.push_back({" Reverse ALC", tag++, 0, 255, 1, "Programs the ALC Level.", HelpContext::kReverseAlc});
    bands("SSB TXG Hi", kBands6, 6, "Programs the SSB Tx Gain (Hi).", HelpContext::kSsbTxgHi);
    bands("SSB TXG Lo", kBands6, 6, "Programs the SSB Tx Gain (Low).", HelpContext::kSsbTxgLo);
    bands("AM TXG Hi", kBands6, 6, "Programs the AM Tx Gain (Hi).", HelpContext::kAmTxgHi);
    bands("AM TXG Lo", kBands6, 6, "Programs the AM Tx Gain (Low).", HelpContext::kAmTxgLo);
    rows.push_back({" Hi SWR Check", tag++, 0, 255, 1, "Programs the Hi SWR Warning level.", HelpContext::kHiSwr});
    rows.push_back({" LSB Carrier Offset", kTagLsbCarrier, -1500, 1500, 10, "Adjust the LSB carrier point.", HelpContext::kLsbCarrier});
    rows.push_back({" USB Carrier Offset", kTagUsbCarrier, -1500, 1500, 10, "Adjust the USB carrier point.", HelpContext::kUsbCarrier});
    return rows;
}

QString Latin1(const std::string& s) { return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size())); }

// The serial edit's rule: trimmed, "00000000" when empty, blanks on the right to 8 characters.
std::string NormalizeSerial(const std::string& text)
{
    std::string t = mv53::TrimBlanks(text);
    if (t.empty())
        t = "00000000";
    char buf[32];
    std::snprintf(buf, sizeof buf, "%-*s", kSerialLength, t.c_str());
    return std::string(buf).substr(0, std::max<std::size_t>(kSerialLength, t.size()));
}

}  // namespace

// ---- TTrackBar -----------------------------------------------------------------------------

TTrackBar::TTrackBar(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_slider = new QSlider(Qt::Horizontal, this);
    m_slider->setTickPosition(QSlider::TicksBelow);
    m_slider->installEventFilter(this);
    layout->addWidget(m_slider);
    setFocusProxy(m_slider);
}

bool TTrackBar::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == m_slider && e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        switch (k->key()) {
        case Qt::Key_Up: m_slider->triggerAction(QAbstractSlider::SliderSingleStepSub); return true;
        case Qt::Key_Down: m_slider->triggerAction(QAbstractSlider::SliderSingleStepAdd); return true;
        case Qt::Key_PageUp: m_slider->triggerAction(QAbstractSlider::SliderPageStepSub); return true;
        case Qt::Key_PageDown: m_slider->triggerAction(QAbstractSlider::SliderPageStepAdd); return true;
        case Qt::Key_Home:
        case Qt::Key_End: return true;
        default: break;
        }
    }
    return QWidget::eventFilter(watched, e);
}

// ---- TfrmAlignment -------------------------------------------------------------------------

TfrmAlignment::TfrmAlignment(TProgramState& state, TServiceHost host, QWidget* parent)
    : TServiceWindow(state, std::move(host), TTransferKind::Factory, TServiceReport::Alignment, parent), m_sender(state)
{
    setObjectName(QStringLiteral("frmAlignment"));
    setWindowTitle(QStringLiteral("Alignment"));
    setModal(true);
    m_sender.SetDevicePath(m_host.SpotAdjDevice);
    BuildControls();
}

TfrmAlignment::~TfrmAlignment() = default;

void TfrmAlignment::BuildControls()
{
    auto* top = new QVBoxLayout(this);
    pgcAlignment = new QTabWidget(this);
    pgcAlignment->setObjectName(QStringLiteral("pgcAlignment"));
    top->addWidget(pgcAlignment);
    HintBar = new THintBar(this);
    std::vector<QWidget*> fields{pgcAlignment->tabBar()};

    std::array<QGridLayout*, 3> grids{};
    for (int p = 0; p < 3; ++p) {
        auto* page = new QWidget(pgcAlignment);
        grids[static_cast<size_t>(p)] = new QGridLayout(page);
        pgcAlignment->addTab(page, QStringLiteral("Alignment &%1").arg(p + 1));
    }
    const std::vector<TValueRow> rows = ValueRows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const TValueRow& r = rows[i];
        const int position = static_cast<int>(i) + 1;
        const int pageIndex = position <= 16 ? 0 : (position <= 35 ? 1 : 2);
        QGridLayout* grid = grids[static_cast<size_t>(pageIndex)];
        const int line = grid->rowCount();
        auto* caption = new QLabel(Latin1(r.caption), grid->parentWidget());
        caption->setFrameStyle(QFrame::Panel | QFrame::Raised);
        caption->setMinimumWidth(130);
        grid->addWidget(caption, line, 0);
        QWidget* control = nullptr;
        if (r.tag == kTagDtcxo || r.tag == kTagCwPtt) {
            auto* combo = new QComboBox(grid->parentWidget());
            if (r.tag == kTagDtcxo) {
                combo->setObjectName(QStringLiteral("cmbDtcxoSel"));
                combo->addItems({QStringLiteral("1:Red"), QStringLiteral("2:Blue"), QStringLiteral("3:Black"),
                                 QStringLiteral("4:White")});
                cmbDtcxoSel = combo;
            } else {
                combo->setObjectName(QStringLiteral("cmbCwPttSnd"));
                combo->addItems({QStringLiteral("OFF"), QStringLiteral("ON")});
                cmbCwPttSnd = combo;
            }
            const int tag = r.tag;
            connect(combo, &QComboBox::currentIndexChanged, this, [this, tag] { ValueChanged(tag); });
            grid->addWidget(combo, line, 1);
            fields.push_back(combo);
            control = combo;
        } else {
            auto* spin = new TSpinEdit(grid->parentWidget());
            spin->setObjectName(QStringLiteral("SpinEdit%1").arg(r.tag));
            spin->setRange(r.min, r.max);
            spin->setSingleStep(r.step);
            auto* track = new TTrackBar(grid->parentWidget());
            QSlider* slider = track->Slider();
            slider->setObjectName(QStringLiteral("TrackBar%1").arg(r.tag));
            slider->setRange(r.min, r.max);
            slider->setSingleStep(r.step);
            slider->setTickInterval(IsCarrierOffset(r.tag) ? 50 : 4);
            SpinEdit[static_cast<size_t>(r.tag)] = spin;
            TrackBar[static_cast<size_t>(r.tag)] = slider;
            const int tag = r.tag;
            connect(spin, &QSpinBox::valueChanged, this, [this, tag](int v) {
                TrackBar[static_cast<size_t>(tag)]->setValue(v);
                ValueChanged(tag);
            });
            connect(slider, &QSlider::valueChanged, this, [this, tag](int v) {
                TSpinEdit* s = SpinEdit[static_cast<size_t>(tag)];
                if (!s->Edit()->text().isEmpty())
                    s->setValue(v);
            });
            grid->addWidget(spin, line, 1);
            grid->addWidget(track, line, 2);
            fields.insert(fields.end(), {spin, slider});
            HintBar->SetHint(slider, QString::fromUtf8(r.hint));
            m_topics[slider] = r.topic;
            control = spin;
        }
        HintBar->SetHint(control, QString::fromUtf8(r.hint));
        m_topics[control] = r.topic;
    }
    for (QGridLayout* g : grids)
        g->setRowStretch(g->rowCount(), 1);

    // Outside the pages: serial number, LCD test, Spot-ADJ and the commands.
    auto* serialRow = new QHBoxLayout;
    auto* serialCaption = new QLabel(QStringLiteral(" Serial ID &No."), this);
    serialCaption->setFrameStyle(QFrame::Panel | QFrame::Raised);
    edtSerial = new TTwoStateEdit(
        [](char& key) { return IsSerialKey(key); }, [](const std::string& t) { return NormalizeSerial(t); }, this);
    edtSerial->setObjectName(QStringLiteral("edtSerial"));
    edtSerial->setMaxLength(kSerialLength);
    serialCaption->setBuddy(edtSerial);   // Alt+N
    HintBar->SetHint(edtSerial, QStringLiteral("Indicate the Serial Number of the radio"));
    m_topics[edtSerial] = HelpContext::kSerialNo;
    btnLcdTest = new QPushButton(QStringLiteral("LCD Test Mode"), this);
    btnLcdTest->setObjectName(QStringLiteral("btnLcdTest"));
    btnLcdTest->setCheckable(true);
    HintBar->SetHint(btnLcdTest, QStringLiteral("Set the LCD test mode."));
    btnSpotAdj = new QPushButton(QStringLiteral("Spot-ADJ"), this);
    btnSpotAdj->setObjectName(QStringLiteral("btnSpotAdj"));
    btnSpotAdj->setCheckable(true);
    HintBar->SetHint(btnSpotAdj, QString());
    serialRow->addWidget(serialCaption);
    serialRow->addWidget(edtSerial);
    serialRow->addWidget(btnLcdTest);
    serialRow->addWidget(btnSpotAdj);
    top->addLayout(serialRow);
    fields.insert(fields.end(), {edtSerial, btnLcdTest, btnSpotAdj});

    AddCommandButtons(top);
    top->addWidget(HintBar);
    SetFieldOrder(std::move(fields));

    connect(btnLcdTest, &QPushButton::clicked, this, &TfrmAlignment::SetLcdTest);
    connect(btnSpotAdj, &QPushButton::clicked, this, &TfrmAlignment::SetSpotAdj);
}

int TfrmAlignment::HelpTopic(QWidget* control) const
{
    for (QWidget* w = control; w != nullptr && w != this; w = w->parentWidget()) {
        auto it = m_topics.find(w);
        if (it != m_topics.end())
            return it->second;
    }
    return -1;
}

// ---- steps ---------------------------------------------------------------------------------

void TfrmAlignment::ShowStep()
{
    m_loading = true;
    edtSerial->ShowText(Latin1(m_factory.SerialNo()));
    edtSerial->setEnabled(m_state.SerialMode);
    for (int tag = 1; tag <= kSpinCount; ++tag) {
        const int held = m_alignment.Values(Position(tag));
        SpinEdit[static_cast<size_t>(tag)]->setValue(IsCarrierOffset(tag) ? ShownCarrier(held) : held);
    }
    cmbDtcxoSel->setCurrentIndex(std::clamp(m_alignment.Values(Position(kTagDtcxo)), 0, cmbDtcxoSel->count() - 1));
    cmbCwPttSnd->setCurrentIndex(std::clamp(m_alignment.Values(Position(kTagCwPtt)), 0, cmbCwPttSnd->count() - 1));
    for (int tag = 1; tag <= kSpinCount; ++tag)
        TrackBar[static_cast<size_t>(tag)]->setValue(SpinEdit[static_cast<size_t>(tag)]->value());
    // The window always opens with LCD test mode off, whatever the record held.
    btnLcdTest->setChecked(true);
    SetLcdTest(false);
    m_loading = false;
}

void TfrmAlignment::StoreStep()
{
    edtSerial->NormalizeText();
    m_factory.SetSerialNo(edtSerial->text().toLatin1().toStdString());
    for (int tag = 1; tag <= kSpinCount; ++tag) {
        const int shown = SpinEdit[static_cast<size_t>(tag)]->ReadValue();
        m_alignment.SetValues(Position(tag), IsCarrierOffset(tag) ? HeldCarrier(shown) : shown);
    }
    m_alignment.SetValues(Position(kTagDtcxo), cmbDtcxoSel->currentIndex());
    m_alignment.SetValues(Position(kTagCwPtt), cmbCwPttSnd->currentIndex());
    m_alignment.SetValues(Position(kTagLcdTest), btnLcdTest->isChecked() ? 1 : 0);
}

void TfrmAlignment::CommitStep()
{
    if (!CopiesDiffer())
        return;
    TMVmem& mem = m_state.CurrentMem;
    mem.Alignment().Assign(m_alignment);
    mem.FactoryOpt().Assign(m_factory);
    m_state.Modified = true;
}

bool TfrmAlignment::CopiesDiffer() const
{
    const TMVmem& mem = m_state.CurrentMem;
    return !m_alignment.Equals(mem.Alignment()) || !m_factory.Equals(mem.FactoryOpt());
}

void TfrmAlignment::TakeCopies()
{
    m_alignment.Assign(m_state.CurrentMem.Alignment());
    m_factory.Assign(m_state.CurrentMem.FactoryOpt());
}

void TfrmAlignment::LeaveLiveMode()
{
    // Raising Spot-ADJ writes the factory area: the radio then holds the values shown, and the
    // closing question follows only when that write failed.
    if (m_spotAdj)
        SetSpotAdj(false);
}

// ---- LCD test and Spot-ADJ -----------------------------------------------------------------

void TfrmAlignment::EnableValueControls(bool on)
{
    pgcAlignment->setEnabled(on);
    for (int tag = 1; tag <= kSpinCount; ++tag)
        SpinEdit[static_cast<size_t>(tag)]->setEnabled(on);
    cmbDtcxoSel->setEnabled(on);
    cmbCwPttSnd->setEnabled(on);
    edtSerial->setEnabled(on && m_state.SerialMode);
}

void TfrmAlignment::SetLcdTest(bool down)
{
    if (down && m_spotAdj)
        SetSpotAdj(false);   // the two buttons share a group: at most one is down
    btnLcdTest->setChecked(down);
    EnableValueControls(!down);
}

void TfrmAlignment::ReleaseLcdTest()
{
    if (btnLcdTest->isChecked())
        SetLcdTest(false);
}

void TfrmAlignment::SetSpotAdj(bool down)
{
    if (down == m_spotAdj) {
        btnSpotAdj->setChecked(down);
        return;
    }
    if (down) {
        ReleaseLcdTest();
        btnSpotAdj->setChecked(true);
        btnLcdTest->setEnabled(false);
        EnableValueControls(true);
        m_spotAdj = true;
        if (std::string failure; !m_sender.Open(&failure)) {
            // No port: back to normal, and the technician learns why the button came up again.
            btnLcdTest->setEnabled(true);
            btnSpotAdj->setChecked(false);
            m_spotAdj = false;
            mv53::ShowError(failure);
        }
        return;
    }
    m_sender.Close();
    btnSpotAdj->setChecked(false);
    Write(true);
    btnLcdTest->setEnabled(true);
    m_spotAdj = false;
}

void TfrmAlignment::ValueChanged(int tag)
{
    if (m_loading || !m_spotAdj)
        return;
    int held = 0;
    if (tag == kTagDtcxo)
        held = cmbDtcxoSel->currentIndex();
    else if (tag == kTagCwPtt)
        held = cmbCwPttSnd->currentIndex();
    else if (IsCarrierOffset(tag))
        held = HeldCarrier(SpinEdit[static_cast<size_t>(tag)]->value());
    else
        held = SpinEdit[static_cast<size_t>(tag)]->value();
    m_sender.ValueChanged(tag, held);
}

// ---- events --------------------------------------------------------------------------------

void TfrmAlignment::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_F1) {
        const int topic = HelpTopic(focusWidget());
        if (topic > 0 && m_host.Help)
            m_host.Help(topic);
        return;
    }
    TServiceWindow::keyPressEvent(e);
}
