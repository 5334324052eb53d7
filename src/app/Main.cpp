#include "app/Main.h"

#include "app/About.h"
#include "app/ChannelGrid.h"
#include "app/PassWord.h"
#include "app/ToolIcons.h"
#include "app/U_Helpdef.h"
#include "app/Visible.h"
#include "help/HelpWindow.h"
#include "link/Radio.h"
#include "model/Prompt.h"
#include "model/U_E2prom.h"
#include "model/U_FileAccess.h"
#include "platform/LockKeys.h"
#include "platform/PortMap.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QTime>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>

namespace {

const char* const kCaptionMiddle = " - MV53 ";
const char* const kCaptionEnd = "for KT-4680 Series";
const char* const kMainHint = "F1 for Help   F10 for Menus";
const char* const kProductType = "KT-4680";
const char* const kMarketText = "-ALDERWAVECOMMS-";
const char* const kFreqFormat = "RX %s MHz / Tx %s MHz";
const char* const kDefaultFileName = "default";

constexpr int kMainWidth = 817;
constexpr int kClientHeight = 507;
constexpr int kLockPanelWidth = 40;
constexpr int kClockPanelWidth = 58;
constexpr int kFirstStartRows = 30;     // grid rows a first window shows when the screen has room
constexpr int kTitleAllowance = 40;     // the window manager's title bar and frame

// The hints of the menu items and tool buttons.
namespace hint {
const char* const New = "Create a new document";
const char* const Open = "Open an existing document";
const char* const Save = "Save the active document";
const char* const SaveAs = "Save the active document with a new name";
const char* const Print = "Print the active document";
const char* const PrintPreview = "Display full pages";
const char* const PrintSetup = "Change the printer and printing options";
const char* const Configure = "Configure MV53Win";
const char* const Recent = "Open this document";
const char* const Exit = "Quit the application; prompts to save documents";
const char* const Copy = "Copy the selection and put it on the Clipboard";
const char* const Paste = "Insert Clipboard contents";
const char* const ToolBar = "Show or hide the toolbar";
const char* const StatusBar = "Show or hide the status bar";
const char* const Hardware = "Hardware dependent data";
const char* const KeyFunc = "Define Key Function";
const char* const Marketing = "Market related parameters";
const char* const Misc = "Miscellaneous parameters";
const char* const System = "Sytem parameters";
const char* const Option = "Option parameters";
const char* const Upload = "Read data from radio";
const char* const Download = "Program radio with data";
const char* const HelpTopics = "List Help topics";
const char* const GetStarted = "Overview features and options on MV53Win";
const char* const About = "Information on MV53Win";
const char* const Unknown = "?";
const char* const Blank = " ";
}  // namespace hint

// Tool buttons that F1 opens the help of, found by the hint that is showing.
struct TToolHelp {
    const char* hint;
    int context;
};
constexpr TToolHelp kToolHelp[] = {
    {hint::New, HelpContext::kNew},         {hint::Open, HelpContext::kOpen},
    {hint::Save, HelpContext::kSave},       {hint::Copy, HelpContext::kCopy},
    {hint::Paste, HelpContext::kPaste},     {hint::Print, HelpContext::kPrint},
    {hint::Upload, HelpContext::kUpload},   {hint::Download, HelpContext::kDownload},
    {hint::HelpTopics, HelpContext::kContents},
};

// The help topic of a window whose controls have none of their own (0: none). The clone window
// has the topic of its direction, as its Help button.
int WindowHelpContext(const QWidget* window)
{
    if (const auto* radio = qobject_cast<const TfrmRadio*>(window))
        return radio->Kind() == 0 ? HelpContext::kUpload : HelpContext::kDownload;
    return mv53::help::WindowContext(window->metaObject()->className());
}

const char* const kColumnItems[kViewItemCount] = {"Chn",    "TAG",   "Frequency Receive", "Frequency Transmit",
                                                  "Mode",   "Pwr",   "Shift",             "Encryption Code",
                                                  "Selcall", "Tune Mode", "Tuner tcll"};

QString Q(const char* s) { return QString::fromLatin1(s); }
QString Q(const std::string& s) { return QString::fromLocal8Bit(s.data(), static_cast<qsizetype>(s.size())); }

std::string Format(const char* format, const char* a, const char* b)
{
    char buf[128];
    std::snprintf(buf, sizeof buf, format, a, b);
    return buf;
}

}  // namespace

TfrmMain::TfrmMain(TMainOptions options, QWidget* parent) : QMainWindow(parent), m_options(std::move(options))
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
    setCentralWidget(client);
    CreateStatusBar();
    AttachPrinting();

    // Start-up, in order.
    m_state.HelpFileName = "MV53Win.chm";
    m_state.OpenFromService = m_state.AutoStartTransfer = m_state.TransferChain = false;
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

    InitImage(m_state.CurrentText);
    ClearRecords(m_state.CurrentMem);
    LoadDefaultFile();
    m_state.GridChannels = m_state.CurrentMem.Channels();
    m_state.FactoryBackup = m_state.CurrentMem.FactoryOpt();

    m_state.PrintSelection.Common = true;
    m_state.PrintSelection.ChannelData = true;
    UpdateSelcallPrintChoice();
    m_state.ServicePrint = {};
    m_state.Modified = false;
    ClearChangedFlags();

    const bool haveLink = static_cast<bool>(m_options.Link.Upload);
    miUpload->setEnabled(haveLink);
    miDownload->setEnabled(haveLink && static_cast<bool>(m_options.Link.Download));
    miConfigure->setEnabled(static_cast<bool>(m_options.Link.Configure));
    AttachServiceWindows();

    RefreshMainWindow();

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

QString TfrmMain::DefaultConfigPath()
{
    const QFileInfo exe(QCoreApplication::applicationFilePath());
    const QString name = exe.completeBaseName() + QStringLiteral(".ini");
    const QFileInfo dir(exe.absolutePath());
    if (dir.isWritable())
        return exe.absoluteDir().filePath(name);
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    return QDir(folder).filePath(name);
}

QString TfrmMain::DefaultFilePath() const
{
    return Q(m_state.ProgramDir) + QStringLiteral("/") + Q(kDefaultFileName) + QStringLiteral(".") +
           Q(kDataFileSuffix);
}

// ---- construction ------------------------------------------------------------------------

void TfrmMain::CreateMenus()
{
    auto act = [this](QMenu* menu, const char* text, const char* name) {
        QAction* a = menu->addAction(Q(text));
        a->setObjectName(Q(name));
        return a;
    };
    QMenuBar* bar = menuBar();

    menuFile = bar->addMenu(QStringLiteral("&File"));
    miNew = act(menuFile, "&New", "miNew");
    miNew->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    miOpen = act(menuFile, "&Open", "miOpen");
    miOpen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    miSave = act(menuFile, "&Save", "miSave");
    miSave->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    miSaveAs = act(menuFile, "Save &As", "miSaveAs");
    menuFile->addSeparator();
    miPrint = act(menuFile, "&Print", "miPrint");
    miPrint->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    miPrintPreview = act(menuFile, "Print Pre&view", "miPrintPreview");
    miPrintSetup = act(menuFile, "P&rint Setup", "miPrintSetup");
    miPrintList = act(menuFile, "Printout &List", "miPrintList");
    menuFile->addSeparator();
    miConfigure = act(menuFile, "&Configure", "miConfigure");
    menuFile->addSeparator();
    miRecentFile = act(menuFile, "Recent File", "miRecentFile");
    miRecentFile->setEnabled(false);
    for (int k = 1; k <= 10; ++k) {
        QAction* a = menuFile->addAction(QString());
        a->setObjectName(QStringLiteral("miRecent%1").arg(k));
        a->setVisible(false);
        connect(a, &QAction::triggered, this, [this, k] { OpenRecentFile(k); });
        miRecent[static_cast<size_t>(k - 1)] = a;
    }
    menuFile->addSeparator();
    miExit = act(menuFile, "E&xit", "miExit");

    menuEdit = bar->addMenu(QStringLiteral("&Edit"));
    miCopy = act(menuEdit, "&Copy", "miCopy");
    miCopy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    miPaste = act(menuEdit, "&Paste", "miPaste");
    miPaste->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    // The grid's own keys and pop-up menu handle Ctrl+C and Ctrl+V while it has the focus.
    miCopy->setShortcutContext(Qt::WidgetShortcut);
    miPaste->setShortcutContext(Qt::WidgetShortcut);

    menuView = bar->addMenu(QStringLiteral("&View"));
    miToolBar = act(menuView, "&Tool Bar", "miToolBar");
    miToolBar->setCheckable(true);
    miToolBar->setChecked(true);
    miStatusBar = act(menuView, "&Status Bar", "miStatusBar");
    miStatusBar->setCheckable(true);
    miStatusBar->setChecked(true);
    menuView->addSeparator();
    menuItems = menuView->addMenu(QStringLiteral("&Items"));
    miVisible = act(menuItems, "&Visible", "miVisible");
    menuItems->addSeparator();
    for (int i = 0; i < kViewItemCount; ++i) {
        QAction* a = act(menuItems, kColumnItems[i], "");
        a->setObjectName(QStringLiteral("miItem%1").arg(i));
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, i] { ToggleViewItem(i); });
        miItem[static_cast<size_t>(i)] = a;
    }
    miItem[10]->setVisible(false);

    // The parameter dialogs, printing and the service windows are attached by their own
    // windows; until then their items are present but disabled.
    menuCommon = bar->addMenu(QStringLiteral("&Common"));
    miA1A = act(menuCommon, "&A1A(CW)Function", "miA1A");
    miHardware = act(menuCommon, "&Hardware", "miHardware");
    miPowerSave = act(menuCommon, "Power Saving", "miPowerSave");
    miKeyFunc = act(menuCommon, "&Key Function", "miKeyFunc");
    miMarketing = act(menuCommon, "&Marketing", "miMarketing");
    miMisc = act(menuCommon, "M&iscellaneous Parameters", "miMisc");
    miSystem = act(menuCommon, "&System", "miSystem");
    miOption = act(menuCommon, "&Option", "miOption");
    menuSelcall = bar->addMenu(QStringLiteral("&Selcall"));
    miSelCommon = act(menuSelcall, "&Common", "miSelCommon");
    miTelephone = act(menuSelcall, "&Telephone Number", "miTelephone");

    menuRadio = bar->addMenu(QStringLiteral("&Radio"));
    miUpload = act(menuRadio, "&Upload", "miUpload");
    miDownload = act(menuRadio, "&Download", "miDownload");
    miAlignment = act(menuRadio, "&Alignment", "miAlignment");
    miTempCorrect = act(menuRadio, "&Temp. Correction", "miTempCorrect");
    miAntTuneSet = act(menuRadio, "Antenna Tuner &Setting", "miAntTuneSet");
    miSerialWriter = act(menuRadio, "Serial &Writer", "miSerialWriter");
    miFirmware = act(menuRadio, "&Firmware Update", "miFirmware");

    menuHelp = bar->addMenu(QStringLiteral("&Help"));
    miHelpTopics = act(menuHelp, "&Help Topics", "miHelpTopics");
    menuHelp->addSeparator();
    miGetStarted = act(menuHelp, "&Get Started", "miGetStarted");
    miAbout = act(menuHelp, "&About MV53...", "miAbout");

    for (QAction* a : {miPrint, miPrintPreview, miPrintSetup, miPrintList, miA1A, miHardware, miPowerSave,
                       miKeyFunc, miMarketing, miMisc, miSystem, miOption, miSelCommon, miTelephone, miAlignment,
                       miTempCorrect, miAntTuneSet, miSerialWriter, miFirmware})
        a->setEnabled(false);

    connect(miNew, &QAction::triggered, this, &TfrmMain::FileNew);
    connect(miOpen, &QAction::triggered, this, &TfrmMain::FileOpen);
    connect(miSave, &QAction::triggered, this, &TfrmMain::FileSave);
    connect(miSaveAs, &QAction::triggered, this, &TfrmMain::FileSaveAs);
    connect(miConfigure, &QAction::triggered, this, &TfrmMain::Configure);
    connect(miExit, &QAction::triggered, this, &QWidget::close);
    connect(miCopy, &QAction::triggered, this, &TfrmMain::EditCopy);
    connect(miPaste, &QAction::triggered, this, &TfrmMain::EditPaste);
    connect(miStatusBar, &QAction::triggered, this, [this](bool on) { statusBar()->setVisible(on); });
    connect(miVisible, &QAction::triggered, this, &TfrmMain::ShowVisibleDialog);
    connect(miUpload, &QAction::triggered, this, &TfrmMain::RadioUpload);
    connect(miDownload, &QAction::triggered, this, &TfrmMain::RadioDownload);
    connect(miFirmware, &QAction::triggered, this, &TfrmMain::FirmwareUpdate);
    connect(miHelpTopics, &QAction::triggered, this, [this] { ShowHelpContext(HelpContext::kContents); });
    connect(miGetStarted, &QAction::triggered, this, [this] { ShowHelpContext(HelpContext::kGetStarted); });
    connect(miAbout, &QAction::triggered, this, &TfrmMain::About);
}

void TfrmMain::CreateToolBar()
{
    tbrMain = new QToolBar(QStringLiteral("Tool Bar"), this);
    tbrMain->setObjectName(QStringLiteral("tbrMain"));
    tbrMain->setMovable(true);
    tbrMain->setFloatable(true);
    tbrMain->setIconSize(QSize(16, 16));
    tbrMain->setToolButtonStyle(Qt::ToolButtonIconOnly);
    addToolBar(Qt::TopToolBarArea, tbrMain);

    auto button = [this](QAction* action, TToolIcon icon, const char* name) {
        action->setIcon(ToolIcon(icon));
        tbrMain->addAction(action);
        if (QWidget* w = tbrMain->widgetForAction(action))
            w->setObjectName(Q(name));
    };
    button(miNew, TToolIcon::New, "toolNew");
    button(miOpen, TToolIcon::Open, "toolOpen");
    tbrMain->addSeparator();
    button(miSave, TToolIcon::Save, "toolSave");
    tbrMain->addSeparator();
    button(miCopy, TToolIcon::Copy, "toolCopy");
    button(miPaste, TToolIcon::Paste, "toolPaste");
    tbrMain->addSeparator();
    button(miPrint, TToolIcon::Print, "toolPrint");
    tbrMain->addSeparator();
    button(miUpload, TToolIcon::Upload, "toolUpload");
    button(miDownload, TToolIcon::Download, "toolDownload");
    tbrMain->addSeparator();
    button(miHelpTopics, TToolIcon::Help, "toolHelp");

    // A floating bar is a frameless tool window without a title bar of its own: while it floats
    // it shows a close box at its end, which closes it as closing its window would.
    m_toolClose = new QAction(style()->standardIcon(QStyle::SP_TitleBarCloseButton), QStringLiteral("Close"), this);
    m_toolClose->setVisible(false);
    tbrMain->addAction(m_toolClose);
    if (QWidget* w = tbrMain->widgetForAction(m_toolClose))
        w->setObjectName(QStringLiteral("toolClose"));
    connect(m_toolClose, &QAction::triggered, tbrMain, &QWidget::close);
    connect(tbrMain, &QToolBar::topLevelChanged, m_toolClose, &QAction::setVisible);

    // "&Tool Bar" follows the bar: closing its floating window hides it and removes the tick.
    connect(miToolBar, &QAction::triggered, tbrMain, &QWidget::setVisible);
    connect(tbrMain, &QToolBar::visibilityChanged, miToolBar, &QAction::setChecked);
}

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
    connect(miStatusBar, &QAction::toggled, bar, &QWidget::setVisible);
}

void TfrmMain::AssignHints()
{
    setStatusTip(Q(kMainHint));
    const std::pair<QAction*, const char*> hints[] = {
        {miNew, hint::New},
        {miOpen, hint::Open},
        {miSave, hint::Save},
        {miSaveAs, hint::SaveAs},
        {miPrint, hint::Print},
        {miPrintPreview, hint::PrintPreview},
        {miPrintSetup, hint::PrintSetup},
        {miPrintList, hint::Blank},
        {miConfigure, hint::Configure},
        {miRecentFile, hint::Blank},
        {miExit, hint::Exit},
        {miCopy, hint::Copy},
        {miPaste, hint::Paste},
        {miToolBar, hint::ToolBar},
        {miStatusBar, hint::StatusBar},
        {miVisible, hint::Blank},
        {miA1A, hint::Unknown},
        {miHardware, hint::Hardware},
        {miPowerSave, hint::Unknown},
        {miKeyFunc, hint::KeyFunc},
        {miMarketing, hint::Marketing},
        {miMisc, hint::Misc},
        {miSystem, hint::System},
        {miOption, hint::Option},
        {miSelCommon, hint::Unknown},
        {miTelephone, hint::Unknown},
        {miUpload, hint::Upload},
        {miDownload, hint::Download},
        {miAlignment, hint::Unknown},
        {miTempCorrect, hint::Unknown},
        {miAntTuneSet, hint::Unknown},
        {miFirmware, hint::Unknown},
        {miHelpTopics, hint::HelpTopics},
        {miGetStarted, hint::GetStarted},
        {miAbout, hint::About},
    };
    for (const auto& [action, text] : hints)
        action->setStatusTip(Q(text));
    for (QAction* a : miRecent)
        a->setStatusTip(Q(hint::Recent));
    for (QAction* a : miItem)
        a->setStatusTip(Q(hint::Blank));
    for (QMenu* m : {menuFile, menuEdit, menuView, menuItems, menuCommon, menuSelcall, menuRadio, menuHelp})
        m->menuAction()->setStatusTip(Q(hint::Blank));
    // The grid's pop-up menu shares the hints of the Edit menu.
    if (QMenu* popup = grdCh->PopupMenu()) {
        for (QAction* a : popup->actions()) {
            if (a->shortcut() == miCopy->shortcut())
                a->setStatusTip(Q(hint::Copy));
            else if (a->shortcut() == miPaste->shortcut())
                a->setStatusTip(Q(hint::Paste));
        }
    }
}

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

// ---- configuration file ----------------------------------------------------------------------

void TfrmMain::ReadConfiguration()
{
    m_ini.Load(m_configPath);
    const TMainConfig config = ReadMainConfig(m_ini);
    m_storedMonitors = config.Monitors;
    m_storedX = config.X;
    m_storedY = config.Y;
    move(m_storedX, m_storedY);
    m_comPortNo = config.ComPortNo;
    m_viewItems = config.ViewItems;
    m_state.RecentFiles = config.RecentFiles;
    ApplyPortBindings();
}

void TfrmMain::ApplyPortBindings()
{
    using mv53::platform::PortMap;
    PortMap::ClearBindings();
    PortMap::SetBindings(ReadMainConfig(m_ini).Ports);
    // The bindings of this run (demo radio) go over the file's and are never written back.
    PortMap::BindForThisRun(m_options.PortBindings.toStdString());
}

void TfrmMain::PlaceWindow()
{
    const int monitors = static_cast<int>(QGuiApplication::screens().size());
    setMinimumWidth(kMainWidth);
    const int menuHeight = menuBar()->sizeHint().height();
    setMinimumHeight(kClientHeight + menuHeight);
    resize(kMainWidth, kClientHeight + menuHeight);
    QRect screen = m_options.Screen;
    if (screen.isEmpty())
        if (const QScreen* primary = QGuiApplication::primaryScreen())
            screen = primary->availableGeometry();
    if (m_storedX == 0 && m_storedY == 0 && !screen.isEmpty())
        SizeForFirstStart(screen);
    if ((m_storedX == 0 && m_storedY == 0) || monitors != m_storedMonitors) {
        if (!screen.isEmpty()) {
            QRect frame = frameGeometry();
            frame.moveCenter(screen.center());
            move(frame.topLeft());
        }
    } else {
        move(m_storedX, m_storedY);
    }
}

void TfrmMain::SizeForFirstStart(const QRect& screen)
{
    // The design height shows about half of what a common screen has room for: the first window
    // is made as tall as kFirstStartRows grid rows need, within the screen (leaving room for a
    // title bar).
    layout()->activate();
    if (QLayout* client = centralWidget()->layout())
        client->activate();
    const int rows = grdCh->verticalHeader()->defaultSectionSize();
    const int wanted = grdCh->horizontalHeader()->sizeHint().height() + kFirstStartRows * rows + 2 * grdCh->frameWidth();
    const int height = std::min(this->height() + wanted - grdCh->height(), screen.height() - kTitleAllowance);
    resize(kMainWidth, std::max(height, minimumHeight()));
}

void TfrmMain::WriteConfiguration()
{
    TMainConfig config;
    config.Monitors = static_cast<int>(QGuiApplication::screens().size());
    config.X = pos().x();
    config.Y = pos().y();
    config.ComPortNo = m_state.ComPortNo;
    config.ViewItems = m_viewItems;
    config.RecentFiles = m_state.RecentFiles;
    // The ports the user chose keep their devices in later runs.
    config.Ports = mv53::platform::PortMap::ChosenBindings();
    WriteMainConfig(m_ini, config);
    const QFileInfo info(m_configPath);
    QDir().mkpath(info.absolutePath());
    if (!m_ini.Save(m_configPath))
        mv53::ShowError(mv53::WithFileName(kFileWriteError, m_configPath.toStdString()));
}

void TfrmMain::LoadDefaultFile()
{
    const std::string path = DefaultFilePath().toStdString();
    if (QFileInfo(DefaultFilePath()).isFile()) {
        // A default file that does not look like a data file is asked about as any file the
        // user opens. No starts on new data and keeps the file as it is: it is the user's.
        bool declined = false;
        const TUnusualFileHook ask = mv53::AskBeforeUnusualFile(path);
        const auto unusual = [&](const std::string& deviation) {
            declined = !ask(deviation);
            return !declined;
        };
        if (ReadDataFile(path, m_state.CurrentMem, m_state.CurrentText, unusual)) {
            m_state.CurrentFileName = path;
            return;
        }
        if (declined) {
            m_state.CurrentFileName = kNoFileName;
            return;
        }
    }
    WriteDataFile(path, m_state.CurrentMem, m_state.CurrentText);
    m_state.CurrentFileName = kNoFileName;
}

// ---- refresh ---------------------------------------------------------------------------------

void TfrmMain::RefreshMainWindow()
{
    setWindowTitle(Q(m_state.CurrentFileName + kCaptionMiddle + m_state.ModePrefix + kCaptionEnd));
    UpdateTelephoneEnable();

    const TFactoryOpt& factory = m_state.CurrentMem.FactoryOpt();
    m_systemValues[0][0]->setText(Q(factory.SerialNo()));
    m_systemValues[1][0]->setText(
        Q(Format(kFreqFormat, factory.RxRange() != 0 ? "3-30" : "0.5-30", factory.TxRange() != 0 ? "3-30" : "1.6-30")));
    m_systemValues[2][0]->setText(Q(kMarketText));
    m_systemValues[0][1]->setText(Q(kProductType));
    m_systemValues[1][1]->setText(Q(m_state.CurrentMem.FwVersion()));
    UpdatePortPanel();
    UpdatePrinterPanel();

    grdCh->ApplyColumnVisibility(m_viewItems);
    grdCh->Fill();
}

QString TfrmMain::SystemValue(int row, int column) const
{
    return m_systemValues[static_cast<size_t>(row)][static_cast<size_t>(column)]->text();
}

void TfrmMain::UpdateTelephoneEnable()
{
    miTelephone->setEnabled(m_telephoneAttached && m_state.CurrentMem.Opt().SelcallUnit() != 0);
}

void TfrmMain::UpdateSelcallPrintChoice()
{
    m_state.PrintSelection.Selcall = m_state.CurrentMem.Sel().SelFlag() != 0;
}

void TfrmMain::UpdatePortPanel()
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%s%d", "COM", static_cast<int>(m_state.ComPortNo) + 1);
    m_systemValues[0][2]->setText(Q(buf));
}

void TfrmMain::ClearChangedFlags()
{
    m_state.A1AChanged = m_state.HardwareChanged = m_state.KeyFuncChanged = m_state.SystemChanged = false;
}

void TfrmMain::SetSaveEnabled(bool enabled) { miSave->setEnabled(enabled); }

// ---- recent files ----------------------------------------------------------------------------

void TfrmMain::BuildRecentMenu()
{
    const auto& files = m_state.RecentFiles;
    miRecentFile->setVisible(files.empty());
    for (int k = 1; k <= 10; ++k) {
        QAction* a = miRecent[static_cast<size_t>(k - 1)];
        if (!files.empty() && static_cast<int>(files.size()) >= k) {
            // "&%d %s"; "&" in a path would become a shortcut mark, so it is doubled.
            QString path = Q(files[static_cast<size_t>(k - 1)]);
            path.replace(QLatin1Char('&'), QStringLiteral("&&"));
            a->setText(QStringLiteral("&%1 %2").arg(k).arg(path));
            a->setVisible(true);
        } else {
            a->setText(QString());
            a->setVisible(false);
        }
    }
}

void TfrmMain::AddRecentFile(const std::string& path)
{
    auto& files = m_state.RecentFiles;
    std::erase(files, path);
    files.insert(files.begin(), path);
}

// ---- hints, status bar, clock, keys ----------------------------------------------------------

void TfrmMain::ShowHint(const QString& text)
{
    m_panels[0]->setText(text.isEmpty() ? Q(kMainHint) : text);
    m_toolHelp.reset();
    for (const TToolHelp& t : kToolHelp)
        if (text == Q(t.hint))
            m_toolHelp = t.context;
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
    if (grdCh->Editing())
        grdCh->CommitEditor();
    grdCh->GridToChannels();
    if (!m_state.GridChannels.Equals(m_state.CurrentMem.Channels()))
        m_state.Modified = true;
    if (m_state.Modified) {
        // Cancel (Escape, the box's close button) keeps the window open with the edits.
        const mv53::PromptAnswer answer = mv53::ConfirmYesNoCancel(kSavePrompt, SaveQuestionDetail());
        if (answer != mv53::PromptAnswer::Yes && answer != mv53::PromptAnswer::No) {
            e->ignore();
            return;
        }
        if (answer == mv53::PromptAnswer::Yes) {
            grdCh->CommitEditor();
            grdCh->GridToChannels();
            m_state.CurrentMem.Channels() = m_state.GridChannels;
            if (!SaveCurrent()) {
                e->ignore();
                return;
            }
        }
    }
    WriteConfiguration();
    e->accept();
}

void TfrmMain::About()
{
    TfrmAbout dlg(this);
    dlg.exec();
}
