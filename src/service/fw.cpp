#include "service/fw.h"

#include "link/ConfigComPort.h"
#include "model/Prompt.h"
#include "service/FirmwareSupply.h"
#include "service/LampJpeg.h"
#include "service/MsgFSW.h"

#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include <filesystem>

using namespace mv53;
using namespace mv53::fw;

namespace {

QString Q(const std::string& s) { return QString::fromLocal8Bit(s.data(), static_cast<qsizetype>(s.size())); }
QString Shown(const std::string& s)
{
    QString text = Q(s);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

}  // namespace

QString TfrmFSW::WriteHint()
{
    const QString lines[] = {
        QStringLiteral("When this button is clicked, the KT-4680 will be selected as the radio to which the firmware will be installed."),
        QStringLiteral("Follow the steps below."),
        QStringLiteral(" 1. Disconnect the DC cable from the radio."),
        QStringLiteral(" 2. Select the CPU type \"HD64F2134ATF20\" or \"HD64F2134FA20\"."),
        QStringLiteral(" 3. A short pin is inserted in J2020(PROG) at CNTL-UNIT."),
        QStringLiteral(" 4. Connect the KT-4680 and PC via PRG-4400."),
        QStringLiteral(" 5. Connect the DC cable to J3502 at PA-UNIT."),
        QStringLiteral(" 6. Turn on the KT-4680."),
        QStringLiteral(" 7. When you click on this button, the firmware writing process begins."),
    };
    QStringList list;
    for (const QString& l : lines)
        list << l;
    return list.join(QStringLiteral("\r\n"));
}

TfrmFSW::TfrmFSW(TProgramState& state, QWidget* parent) : QDialog(parent), m_state(state)
{
    setWindowTitle(QStringLiteral("Firmware Update"));
    setObjectName(QStringLiteral("frmFSW"));
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    grdFileList = new QTableWidget(0, 2, this);
    grdFileList->setObjectName(QStringLiteral("grdFileList"));
    grdFileList->setHorizontalHeaderLabels({QStringLiteral("SFL File"), QStringLiteral("Date")});
    grdFileList->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdFileList->setSelectionMode(QAbstractItemView::SingleSelection);
    grdFileList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdFileList->verticalHeader()->hide();
    grdFileList->horizontalHeader()->setStretchLastSection(true);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    lblUnwritten = new QLabel(this);
    lblUnwritten->setObjectName(QStringLiteral("lblUnwritten"));
    lblUnwritten->setWordWrap(true);
    lblUnwritten->hide();
    auto* description = new QVBoxLayout;
    description->addWidget(Memo1, 1);
    description->addWidget(lblUnwritten);
    top->addWidget(grdFileList, 1);
    top->addLayout(description, 1);
    layout->addLayout(top);

    auto* row = new QHBoxLayout;
    btnATF20 = new QPushButton(QString::fromLatin1(kCpuATF20), this);
    btnFA20 = new QPushButton(QString::fromLatin1(kCpuFA20), this);
    for (QPushButton* b : {btnATF20, btnFA20})
        b->setCheckable(true);
    btnATF20->setObjectName(QStringLiteral("btnATF20"));
    btnFA20->setObjectName(QStringLiteral("btnFA20"));
    cmbBRT = new QComboBox(this);
    cmbBRT->setObjectName(QStringLiteral("cmbBRT"));
    for (const int rate : boot::kWriteRateChoices)
        cmbBRT->addItem(QString::number(rate));
    cmbBRT->setEnabled(false);   // a display of the write-phase bit rate only
    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    row->addWidget(btnATF20);
    row->addWidget(btnFA20);
    row->addWidget(cmbBRT);
    row->addWidget(Label2);
    layout->addLayout(row);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Label1->setMinimumHeight(120);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    layout->addWidget(Label1);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar2 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar2->setObjectName(QStringLiteral("ProgressBar2"));
    for (QProgressBar* bar : {ProgressBar1, ProgressBar2}) {
        bar->hide();
        layout->addWidget(bar);
    }

    auto* buttons = new QHBoxLayout;
    btnReload = new QPushButton(QStringLiteral("&Reload"), this);
    btnBrowse = new QPushButton(QStringLiteral("&Browse"), this);
    btnConfigure = new QPushButton(QStringLiteral("&Configure"), this);
    btnWrite = new QPushButton(QStringLiteral("&WRITE"), this);
    btnClose = new QPushButton(QStringLiteral("Cl&ose"), this);
    for (QPushButton* b : {btnReload, btnBrowse, btnConfigure, btnWrite, btnClose}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    btnWrite->setObjectName(QStringLiteral("btnWrite"));
    layout->addLayout(buttons);
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setSizeGripEnabled(false);
    pnlFolder = new QLabel(this);
    pnlLamp = new QLabel(this);
    StatusBar1->addWidget(pnlFolder, 1);
    StatusBar1->addPermanentWidget(pnlLamp);
    layout->addWidget(StatusBar1);

    // Hints in the message label while the mouse is over a control.
    for (QWidget* w : std::initializer_list<QWidget*>{grdFileList->viewport(), btnConfigure, btnClose, btnWrite, btnATF20,
                                                      btnFA20, StatusBar1})
        w->installEventFilter(this);

    connect(btnReload, &QPushButton::clicked, this, &TfrmFSW::ReloadList);
    connect(btnBrowse, &QPushButton::clicked, this, &TfrmFSW::BrowseClick);
    connect(btnConfigure, &QPushButton::clicked, this, &TfrmFSW::ConfigureClick);
    connect(btnWrite, &QPushButton::clicked, this, &TfrmFSW::WriteClick);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnATF20, &QPushButton::clicked, this, [this] { SetCpu(TCpuType::HD64F2134ATF20); });
    connect(btnFA20, &QPushButton::clicked, this, [this] { SetCpu(TCpuType::HD64F2134FA20); });
    connect(grdFileList, &QTableWidget::currentCellChanged, this, [this](int r) { SelectEntry(r); });

    btnWrite->setEnabled(false);
    m_folder = QDir::currentPath().toStdString();
    pnlFolder->setText(Q(m_folder));
    Label2->setText(QStringLiteral("COM Port:COM%1").arg(m_state.ComPortNo + 1));
    cmbBRT->setCurrentText(QString::number(boot::WriteRate(TCpuType::HD64F2134ATF20)));
    SetLamp(TLamp::Green);
    ReloadList();
}

TfrmFSW::~TfrmFSW() = default;

void TfrmFSW::SetLamp(TLamp lamp)
{
    m_lamp = lamp;
    pnlLamp->setPixmap(QPixmap::fromImage(LampImage(lamp)));
}

void TfrmFSW::SetStatus(const std::string& text) { Label1->setText(Shown(text)); }

void TfrmFSW::ReloadList()
{
    const auto entries = ListFirmwareFiles(m_folder);
    const QSignalBlocker block(grdFileList);
    grdFileList->setRowCount(static_cast<int>(entries.size()));
    for (int r = 0; r < static_cast<int>(entries.size()); ++r) {
        grdFileList->setItem(r, 0, new QTableWidgetItem(Q(entries[static_cast<std::size_t>(r)].name)));
        grdFileList->setItem(r, 1, new QTableWidgetItem(Q(entries[static_cast<std::size_t>(r)].date)));
    }
    if (!entries.empty())
        grdFileList->setCurrentCell(0, 0);
    SelectEntry(entries.empty() ? -1 : 0);
}

std::string TfrmFSW::SelectedPath() const { return (std::filesystem::path(m_folder) / m_selected).string(); }

void TfrmFSW::SelectEntry(int row)
{
    Memo1->clear();
    lblUnwritten->clear();
    lblUnwritten->hide();
    btnWrite->setEnabled(false);
    m_selected.clear();
    m_headerOk = false;
    if (row < 0 || row >= grdFileList->rowCount() || grdFileList->item(row, 0) == nullptr)
        return;
    m_selected = grdFileList->item(row, 0)->text().toStdString();
    const THeaderScan scan = ScanHeader(SelectedPath(), m_selected);
    if (!scan.ok)
        return;
    m_headerOk = true;
    QStringList lines;
    for (const std::string& l : scan.lines)
        lines << Q(l);
    Memo1->setPlainText(lines.join(QLatin1Char('\n')));
    CheckSelected();
}

// The whole file is read when it is chosen and for each processor type: a file that could not
// be written whole keeps "&WRITE" disabled, and the message label names the line; what the
// radio would not get is said under the description.
void TfrmFSW::CheckSelected()
{
    TFirmwareJob job;
    std::string error;
    LoadSupplied(job, true, error);
    TFirmwareImage image;
    TReadError readError;
    const bool readable = ReadFirmwareFile(SelectedPath(), m_cpu, job.key ? &*job.key : nullptr, image, readError);
    QStringList warnings;
    for (const std::string& line : readable ? UnwrittenWarnings(image) : std::vector<std::string>{})
        warnings << Q(line);
    lblUnwritten->setText(warnings.join(QLatin1Char('\n')));
    lblUnwritten->setVisible(!warnings.isEmpty());
    btnWrite->setEnabled(readable);
    SetStatus(readable ? std::string() : std::string(kFileRefused) + "\r\n" + m_selected + ": " + readError.Text());
}

void TfrmFSW::SetCpu(TCpuType cpu)
{
    m_cpu = cpu;
    btnATF20->setChecked(cpu == TCpuType::HD64F2134ATF20);
    btnFA20->setChecked(cpu == TCpuType::HD64F2134FA20);
    cmbBRT->setCurrentText(QString::number(boot::WriteRate(cpu)));
    if (m_headerOk)
        CheckSelected();
}

void TfrmFSW::BrowseClick()
{
    const auto chosen = Prompt().ChooseFolder("Browse", m_folder);
    if (!chosen || !QDir::setCurrent(Q(*chosen)))
        return;
    m_folder = QDir::currentPath().toStdString();
    pnlFolder->setText(Q(m_folder));
    ReloadList();
}

void TfrmFSW::ConfigureClick()
{
    int port = m_state.ComPortNo;
    if (ConfigureComPort(port, this) && port != m_state.ComPortNo) {
        m_state.ComPortNo = port;
        Label2->setText(QStringLiteral("COM Port:COM%1").arg(m_state.ComPortNo + 1));
        Q_EMIT ComPortChanged();
    }
}

bool TfrmFSW::LoadSupplied(TFirmwareJob& job, bool needKey, std::string& error) const
{
    QSettings ini(Q(m_state.ConfigFileName), QSettings::IniFormat);
    const QString section = QString::fromLatin1(kSupplySection) + QLatin1Char('/');
    const std::string boot = ini.value(section + QString::fromLatin1(kBootProgramKey)).toString().toStdString();
    const std::string key = ini.value(section + QString::fromLatin1(kUnscrambleKeyKey)).toString().toStdString();
    if (needKey && !key.empty()) {
        TKey k{};
        std::string keyError;
        if (LoadUnscrambleKey(key, k, keyError))
            job.key = k;
        else
            error = keyError;
    }
    if (!LoadBootProgram(boot, job.bootProgram, error))
        return false;
    return error.empty();
}

void TfrmFSW::WriteClick()
{
    if (m_selected.empty() || m_msg != nullptr)
        return;
    TFirmwareJob job;
    job.filePath = SelectedPath();
    job.cpu = m_cpu;
    std::string error;
    if (!LoadSupplied(job, true, error)) {
        // Nothing has been sent: the technician learns which file is missing or wrong.
        ShowError(kFswDataMissing, error + "\r\nThe configuration file names them in the section [" +
                                       kSupplySection + "]: " + kBootProgramKey + " and " + kUnscrambleKeyKey + ".");
        return;
    }
    // The progress window and the "Problem on COM port" box appear 150 pixels right of and
    // below this window's top-left corner.
    const QPoint place = pos() + QPoint(150, 150);
    TfrmMsg msg(m_state, std::move(job), this);
    msg.move(place);
    TFirmwareWriter& writer = msg.Writer();
    writer.PlaceRetryQuestion(place.x(), place.y());
    connect(&writer, &TFirmwareWriter::LampChanged, this, &TfrmFSW::SetLamp);
    connect(&writer, &TFirmwareWriter::StatusChanged, this, &TfrmFSW::SetStatus);
    connect(&writer, &TFirmwareWriter::BarsVisible, this, [this](bool shown) {
        ProgressBar1->setVisible(shown);
        ProgressBar2->setVisible(shown);
    });
    connect(&writer, &TFirmwareWriter::BootRange, ProgressBar1, [this](int max) { ProgressBar1->setRange(0, max); });
    connect(&writer, &TFirmwareWriter::BootProgress, ProgressBar1, &QProgressBar::setValue);
    connect(&writer, &TFirmwareWriter::WriteRange, ProgressBar2, [this](int max) { ProgressBar2->setRange(0, max); });
    connect(&writer, &TFirmwareWriter::WriteProgress, ProgressBar2, &QProgressBar::setValue);
    m_msg = &msg;
    msg.exec();
    m_msg = nullptr;
}

bool TfrmFSW::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Enter) {
        if (watched == grdFileList->viewport())
            Label1->setText(QString::fromLatin1(kFswChooseFile));
        else if (watched == btnConfigure)
            Label1->setText(QString::fromLatin1(kFswConfigureHint));
        else if (watched == btnClose)
            Label1->setText(QString::fromLatin1(kFswCloseHint));
        else if (watched == btnWrite)
            Label1->setText(WriteHint());
        else
            Label1->clear();
    }
    return QDialog::eventFilter(watched, event);
}
