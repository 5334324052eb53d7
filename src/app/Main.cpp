#include "app/Main.h"

#include "app/About.h"
#include "grid/ChannelGrid.h"
#include "app/PassWord.h"
#include "app/U_Helpdef.h"
#include "help/HelpWindow.h"
#include "link/Radio.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenuBar>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

const char* const kCaptionMiddle = " - MV53 ";
const char* const kCaptionEnd = "for KT-4680 Series";

// The help topic of a window whose controls have none of their own (0: none). The clone window
// has the topic of its direction, as its Help button.
int WindowHelpContext(const QWidget* window)
{
    if (const auto* radio = qobject_cast<const TfrmRadio*>(window))
        return radio->Kind() == TTransferKind::Upload ? HelpContext::kUpload : HelpContext::kDownload;
    return mv53::help::WindowContext(window->metaObject()->className());
}

QString Q(const std::string& s) { return QString::fromLocal8Bit(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace

TfrmMain::TfrmMain(TMainOptions options, QWidget* parent)
    : QMainWindow(parent), m_options(std::move(options)),
      m_backups(m_options.DataDir.isEmpty() ? nullptr
                                            : std::make_unique<mv53::TRadioBackups>(m_options.DataDir.toStdString())),
      m_doc(m_state, DocumentHooks())
{
    setObjectName(QStringLiteral("frmMain"));
    // The window's design font is Tahoma 8 pt; where Tahoma is missing the system's face is kept.
    QFont face = font();
    face.setFamilies({QStringLiteral("Tahoma"), face.family()});
    face.setPointSize(8);
    setFont(face);

    CreateMenus();
    AttachDialogs();
    CreateToolBar();
    CreateSystemPanel();
    grdCh = new TChannelGrid(m_state, this);
    grdCh->setObjectName(QStringLiteral("grdCh"));
    grdCh->SetHelpHandler([this](int context) { ShowHelpContext(context); });
    auto* client = new QWidget(this);
    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(pnlSystem);
    layout->addWidget(grdCh, 1);
    AttachEditCommands(client);
    setCentralWidget(client);
    CreateStatusBar();
    AttachPrinting();

    // Start-up, in order.
    m_state.HelpFileName = "MV53Win.chm";
    m_state.SerialMode = m_state.ServiceMode = false;
    for (QAction* a : {miAlignment, miTempCorrect, miAntTuneSet, miSerialWriter, miFirmware})
        a->setVisible(false);
    SelectOperatingMode();

    m_state.RecentFiles.clear();
    m_state.ProgramDir = (m_options.ProgramDir.isEmpty() ? QDir::currentPath() : m_options.ProgramDir).toStdString();
    while (m_state.ProgramDir.size() > 1 && m_state.ProgramDir.back() == '/')
        m_state.ProgramDir.pop_back();
    m_configPath = m_options.ConfigPath.isEmpty() ? DefaultConfigPath() : m_options.ConfigPath;
    m_state.ConfigFileName = m_configPath.toStdString();
    ReadConfiguration();
    PlaceWindow();
    m_state.ComPortNo = m_comPortNo;
    for (int i = 0; i < kViewItemCount; ++i)
        miItem[static_cast<size_t>(i)]->setChecked(m_viewItems[static_cast<size_t>(i)]);
    BuildRecentMenu();
    AssignHints();

    // The guide is built in; a help folder beside the program holds pages that replace its own.
    const QString helpFolder =
        m_options.HelpFolder.isEmpty() ? mv53::help::OverrideFolderBesideProgram() : m_options.HelpFolder;
    m_state.HelpFolder = QFileInfo(helpFolder).isDir() ? helpFolder.toStdString() : std::string();

    // The silence timer belongs to the radio link; at start no reply is awaited.
    m_state.TimedOut = true;

    m_state.PrintSelection.Common = true;
    m_state.PrintSelection.ChannelData = true;
    m_state.ServicePrint = TServiceReport::None;
    const bool haveLink = static_cast<bool>(m_options.Link.Transfer);
    miUpload->setEnabled(haveLink);
    miDownload->setEnabled(haveLink);
    miConfigure->setEnabled(static_cast<bool>(m_options.Link.Configure));
    AttachServiceWindows();
    AttachBackups();

    m_doc.Start();
    StartTraceFromEnvironment();

    connect(&m_clock, &QTimer::timeout, this, &TfrmMain::ClockTick);
    m_clock.setInterval(1000);
    ClockTick();
    qApp->installEventFilter(this);
}

TfrmMain::~TfrmMain()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

QString TfrmMain::DefaultFilePath() const { return Q(m_doc.DefaultFilePath()); }

// ---- operating modes ------------------------------------------------------------------------

void TfrmMain::SelectOperatingMode()
{
    const QString param1 = m_options.Arguments.value(0).toUpper();
    const QString param2 = m_options.Arguments.value(1);
    const bool hasParam2 = m_options.Arguments.size() >= 2;

    m_state.Mode = TOperatingMode::NormalMode;
    m_state.ModePrefix.clear();
    std::optional<TfrmPassWord::TFor> ask;
    if (param1 == QStringLiteral("-DR")) {
        m_state.Mode = TOperatingMode::DealerMode;
    } else if (param1 == QStringLiteral("-ME")) {
        ask = TfrmPassWord::TFor::Factory;
    } else if (param1 == QStringLiteral("-S") || param1 == QStringLiteral("/4073")) {
        ask = TfrmPassWord::TFor::SerialWriter;
    } else if (param1 == QStringLiteral("-F")) {
        ask = TfrmPassWord::TFor::Firmware;
    }
    if (ask) {
        TfrmPassWord dlg(*ask, hasParam2 ? param2 : QString());
        dlg.exec();
        if (dlg.FactoryResult())
            m_state.Mode = TOperatingMode::FactoryMode;
        else if (dlg.SerialWriterResult())
            m_state.Mode = TOperatingMode::SerialWriterMode;
        else if (dlg.FirmwareResult())
            m_state.Mode = TOperatingMode::FirmwareMode;
    }

    switch (m_state.Mode) {
    case TOperatingMode::NormalMode:
        break;
    case TOperatingMode::DealerMode:
        m_state.ModePrefix = "(D) ";
        m_state.HelpFileName = "MV53WinS.chm";
        m_state.ServiceMode = true;
        miAlignment->setVisible(true);
        miAntTuneSet->setVisible(true);
        break;
    case TOperatingMode::FactoryMode:
        m_state.ModePrefix = "(M) ";
        m_state.HelpFileName = "MV53WinS.chm";
        m_state.ServiceMode = true;
        miAlignment->setVisible(true);
        miTempCorrect->setVisible(true);
        miAntTuneSet->setVisible(true);
        break;
    case TOperatingMode::SerialWriterMode:
        m_state.ModePrefix = "(S) ";
        m_state.HelpFileName = "MV53WinS.chm";
        m_state.ServiceMode = true;
        m_state.SerialMode = true;
        for (QAction* a : {miAlignment, miTempCorrect, miAntTuneSet, miSerialWriter, miFirmware})
            a->setVisible(true);
        break;
    case TOperatingMode::FirmwareMode:
        m_state.ModePrefix = "(F) ";
        miFirmware->setVisible(true);
        break;
    }
}

// ---- refresh ---------------------------------------------------------------------------------

void TfrmMain::RefreshMainWindow()
{
    setWindowTitle(Q(m_state.CurrentFileName + kCaptionMiddle + m_state.ModePrefix + kCaptionEnd));
    UpdateTelephoneEnable();
    miSave->setEnabled(!m_state.ReadOnlyFile);
    BuildRecentMenu();
    UpdateSystemPanel();
    grdCh->ApplyColumnVisibility(m_viewItems);
    grdCh->Fill();
    UpdateUndoItems();
}

void TfrmMain::UpdateTelephoneEnable()
{
    miTelephone->setEnabled(m_telephoneAttached && m_state.CurrentMem.Opt().SelcallUnit() != 0);
}

void TfrmMain::UpdateSelcallPrintChoice()
{
    m_state.PrintSelection.Selcall = m_state.CurrentMem.Sel().SelFlag() != 0;
}

// ---- keys, help --------------------------------------------------------------------------------

bool TfrmMain::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() == QEvent::KeyPress) {
        auto* w = qobject_cast<QWidget*>(watched);
        // F1 in a window whose controls have no help topics of their own opens the window's page.
        if (w && static_cast<QKeyEvent*>(e)->key() == Qt::Key_F1 && w->window() != this && w->window() != tbrMain) {
            if (const int context = WindowHelpContext(w->window()); context > 0) {
                ShowHelpContext(context);
                return true;
            }
        }
        // Key preview: keys of this window and of the floating tool bar, before their controls.
        if (w && (w->window() == this || w->window() == tbrMain)) {
            auto* key = static_cast<QKeyEvent*>(e);
            switch (key->key()) {
            case Qt::Key_F1:
                if (m_toolHelp && key->modifiers() == Qt::NoModifier) {
                    ShowHelpContext(*m_toolHelp);
                    return true;
                }
                break;
            case Qt::Key_F10:
                if (key->modifiers() == Qt::NoModifier) {
                    menuBar()->setActiveAction(menuFile->menuAction());
                    return true;
                }
                break;
            case Qt::Key_CapsLock:
            case Qt::Key_NumLock:
            case Qt::Key_ScrollLock:
                UpdateLockKeys();
                break;
            default:
                break;
            }
        }
    }
    return QMainWindow::eventFilter(watched, e);
}

void TfrmMain::ShowHelpContext(int context) const { ::ShowHelpContext(m_state, context); }

// ---- shutdown --------------------------------------------------------------------------------

void TfrmMain::closeEvent(QCloseEvent* e)
{
    // Cancel (Escape, the box's close button) or a save that failed keeps the window open with
    // the edits.
    if (!m_doc.CommitGrid() || !m_doc.AskToSave()) {
        e->ignore();
        return;
    }
    WriteConfiguration();
    // A recording ends with the window, which says so while the user can still see it when the
    // file was not written whole.
    RecordSerialTrace(false);
    e->accept();
}

void TfrmMain::About()
{
    TfrmAbout dlg(this);
    dlg.exec();
}
