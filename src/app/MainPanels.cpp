// The main window's panels: the system-type panel above the grid (serial number, ranges,
// firmware, COM port, printer) and the status bar (hint, lock keys, clock).

#include "app/Main.h"

#include "platform/LockKeys.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTime>

#include <cstdio>

namespace {

const char* const kProductType = "KT-4680";
const char* const kMarketText = "-ALDERWAVECOMMS-";
const char* const kFreqFormat = "RX %s MHz / Tx %s MHz";
constexpr int kLockPanelWidth = 40;
constexpr int kClockPanelWidth = 58;

QString Q(const char* s) { return QString::fromLatin1(s); }
QString Q(const std::string& s) { return QString::fromLocal8Bit(s.data(), static_cast<qsizetype>(s.size())); }

std::string Format(const char* format, const char* a, const char* b)
{
    char buf[128];
    std::snprintf(buf, sizeof buf, format, a, b);
    return buf;
}

}  // namespace

void TfrmMain::CreateSystemPanel()
{
    pnlSystem = new QWidget(this);
    pnlSystem->setObjectName(QStringLiteral("pnlSystem"));
    auto* row = new QHBoxLayout(pnlSystem);
    row->setContentsMargins(6, 4, 6, 4);
    row->setSpacing(6);
    const char* const captions[3][3] = {{"Serial No.", "Freq.", ""},
                                        {"Product Type", "FW Version", ""},
                                        {"COM Port is", "Printer", ""}};
    for (int column = 0; column < 3; ++column) {
        // Three columns of equal width, each with three label/value rows.
        auto* part = new QWidget(pnlSystem);
        part->setObjectName(QStringLiteral("pnlSystemColumn%1").arg(column));
        auto* grid = new QGridLayout(part);
        grid->setContentsMargins(0, 0, 0, 0);
        grid->setHorizontalSpacing(6);
        grid->setVerticalSpacing(2);
        grid->setColumnStretch(1, 1);
        for (int r = 0; r < 3; ++r) {
            auto* caption = new QLabel(Q(captions[column][r]), part);
            auto* value = new QLabel(part);
            value->setObjectName(QStringLiteral("pnlSystem%1%2").arg(r).arg(column));
            if (*captions[column][r] != '\0') {
                value->setFrameShape(QFrame::StyledPanel);
                value->setFrameShadow(QFrame::Sunken);
            }
            value->setMinimumHeight(18);
            value->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
            grid->addWidget(caption, r, 0);
            grid->addWidget(value, r, 1);
            m_systemValues[static_cast<size_t>(r)][static_cast<size_t>(column)] = value;
        }
        row->addWidget(part, 1);
    }
}

void TfrmMain::CreateStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("stbMain"));
    bar->setSizeGripEnabled(true);
    const int widths[5] = {0, kLockPanelWidth, kLockPanelWidth, kLockPanelWidth, kClockPanelWidth};
    for (int i = 0; i < 5; ++i) {
        auto* panel = new QLabel(bar);
        panel->setObjectName(QStringLiteral("pnlStatus%1").arg(i));
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setFrameShadow(QFrame::Sunken);
        if (i == 0) {
            panel->setMinimumWidth(1);
            panel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
            bar->addWidget(panel, 1);
        } else {
            panel->setFixedWidth(widths[i]);
            panel->setAlignment(Qt::AlignCenter);
            bar->addPermanentWidget(panel);
        }
        m_panels[static_cast<size_t>(i)] = panel;
    }
    m_panels[0]->setText(Q(kMainHint));
    CreateTracePanel();
    connect(miStatusBar, &QAction::toggled, bar, &QWidget::setVisible);
}

void TfrmMain::UpdateSystemPanel()
{
    const TFactoryOpt& factory = m_state.CurrentMem.FactoryOpt();
    m_systemValues[0][0]->setText(Q(factory.SerialNo()));
    m_systemValues[1][0]->setText(
        Q(Format(kFreqFormat, factory.RxRange() != 0 ? "3-30" : "0.5-30", factory.TxRange() != 0 ? "3-30" : "1.6-30")));
    m_systemValues[2][0]->setText(Q(kMarketText));
    m_systemValues[0][1]->setText(Q(kProductType));
    m_systemValues[1][1]->setText(Q(m_state.CurrentMem.FwVersion()));
    UpdatePortPanel();
    UpdatePrinterPanel();
}

QString TfrmMain::SystemValue(int row, int column) const
{
    return m_systemValues[static_cast<size_t>(row)][static_cast<size_t>(column)]->text();
}

void TfrmMain::UpdatePortPanel()
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%s%d", "COM", static_cast<int>(m_state.ComPortNo) + 1);
    m_systemValues[0][2]->setText(Q(buf));
}

void TfrmMain::ShowHint(const QString& text)
{
    m_panels[0]->setText(text.isEmpty() ? Q(kMainHint) : text);
    m_toolHelp = ToolHelpContext(text);
    UpdateLockKeys();
}

void TfrmMain::UpdateLockKeys()
{
    const mv53::platform::LockKeyState keys = mv53::platform::ReadLockKeys();
    m_panels[1]->setText(keys.caps ? QStringLiteral("CAP") : QString());
    m_panels[2]->setText(keys.num ? QStringLiteral("NUM") : QString());
    m_panels[3]->setText(keys.scroll ? QStringLiteral("SCRL") : QString());
}

void TfrmMain::ClockTick()
{
    m_clock.stop();
    m_panels[4]->setText(QTime::currentTime().toString(QStringLiteral("HH:mm")));
    UpdateLockKeys();
    m_clock.start();
}

bool TfrmMain::event(QEvent* e)
{
    if (e->type() == QEvent::StatusTip) {
        ShowHint(static_cast<QStatusTipEvent*>(e)->tip());
        return true;
    }
    return QMainWindow::event(e);
}
