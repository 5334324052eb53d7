// The main window's menus and tool bar: their items, shortcuts, hints and the recent-file
// entries; the file and radio items call the document.

#include "app/Main.h"

#include "grid/ChannelGrid.h"
#include "app/ToolIcons.h"
#include "app/U_Helpdef.h"

#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>

namespace {

// The hints of the menu items and tool buttons.
namespace hint {
const char* const New = "Create a new document";
const char* const Open = "Open an existing document";
const char* const Save = "Save the active document";
const char* const SaveAs = "Save the active document with a new name";
const char* const ExportChannels = "Write the channels in use to a CSV file";
const char* const ImportChannels = "Replace the channel list by the channels of a CSV file";
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
const char* const CompareFile = "Show what differs between a data file and the active document";
const char* const CompareRadio = "Read the radio and show what differs from the active document";
const char* const Backups = "The radio data kept from every read; open one or compare it";
const char* const HelpTopics = "List Help topics";
const char* const GetStarted = "Overview features and options on MV53Win";
const char* const About = "Information on MV53Win";
const char* const RecordTrace = "Record the talk with the radio into a file, for support";
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


constexpr const char* kExportChannelsMenu = "Export Channels\u2026";
constexpr const char* kImportChannelsMenu = "Import Channels\u2026";

const char* const kColumnItems[kViewItemCount] = {"Chn",    "TAG",   "Frequency Receive", "Frequency Transmit",
                                                  "Mode",   "Pwr",   "Shift",             "Encryption Code",
                                                  "Selcall", "Tune Mode", "Tuner tcll"};

const char* const kMenuCompareFile = "Compare with &File\u2026";
const char* const kMenuBackups = "&Backups\u2026";

QString Q(const char* s) { return QString::fromLatin1(s); }
QString Q(const std::string& s) { return QString::fromLocal8Bit(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace

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
    miCompareFile = menuFile->addAction(QString::fromUtf8(kMenuCompareFile));
    miCompareFile->setObjectName(QStringLiteral("miCompareFile"));
    menuFile->addSeparator();
    // The only texts of the menus beyond Latin-1 ("…").
    miExportChannels = menuFile->addAction(QString::fromUtf8(kExportChannelsMenu));
    miExportChannels->setObjectName(QStringLiteral("miExportChannels"));
    miImportChannels = menuFile->addAction(QString::fromUtf8(kImportChannelsMenu));
    miImportChannels->setObjectName(QStringLiteral("miImportChannels"));
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
        connect(a, &QAction::triggered, this, [this, k] { m_doc.OpenRecent(k); });
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
    CreateEditItems();

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
    miCompareRadio = act(menuRadio, "&Compare with Radio", "miCompareRadio");
    miBackups = menuRadio->addAction(QString::fromUtf8(kMenuBackups));
    miBackups->setObjectName(QStringLiteral("miBackups"));
    miAlignment = act(menuRadio, "&Alignment", "miAlignment");
    miTempCorrect = act(menuRadio, "&Temp. Correction", "miTempCorrect");
    miAntTuneSet = act(menuRadio, "Antenna Tuner &Setting", "miAntTuneSet");
    miSerialWriter = act(menuRadio, "Serial &Writer", "miSerialWriter");
    miFirmware = act(menuRadio, "&Firmware Update", "miFirmware");

    menuHelp = bar->addMenu(QStringLiteral("&Help"));
    miHelpTopics = act(menuHelp, "&Help Topics", "miHelpTopics");
    menuHelp->addSeparator();
    miGetStarted = act(menuHelp, "&Get Started", "miGetStarted");
    CreateTraceItem();
    miAbout = act(menuHelp, "&About MV53...", "miAbout");

    for (QAction* a : {miPrint, miPrintPreview, miPrintSetup, miPrintList, miA1A, miHardware, miPowerSave,
                       miKeyFunc, miMarketing, miMisc, miSystem, miOption, miSelCommon, miTelephone, miAlignment,
                       miTempCorrect, miAntTuneSet, miSerialWriter, miFirmware})
        a->setEnabled(false);

    connect(miNew, &QAction::triggered, this, [this] { m_doc.New(); });
    connect(miOpen, &QAction::triggered, this, [this] { m_doc.Open(); });
    connect(miSave, &QAction::triggered, this, [this] { m_doc.Save(); });
    connect(miSaveAs, &QAction::triggered, this, [this] { m_doc.SaveAs(); });
    connect(miExportChannels, &QAction::triggered, this, [this] { m_doc.ExportChannels(); });
    connect(miImportChannels, &QAction::triggered, this, [this] { m_doc.ImportChannels(); });
    connect(miConfigure, &QAction::triggered, this, &TfrmMain::Configure);
    connect(miExit, &QAction::triggered, this, &QWidget::close);
    connect(miCopy, &QAction::triggered, this, &TfrmMain::EditCopy);
    connect(miPaste, &QAction::triggered, this, &TfrmMain::EditPaste);
    connect(miStatusBar, &QAction::triggered, this, [this](bool on) { statusBar()->setVisible(on); });
    connect(miVisible, &QAction::triggered, this, &TfrmMain::ShowVisibleDialog);
    connect(miUpload, &QAction::triggered, this, [this] { m_doc.Upload(); });
    connect(miDownload, &QAction::triggered, this, [this] { m_doc.Download(); });
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

void TfrmMain::AssignHints()
{
    setStatusTip(Q(kMainHint));
    const std::pair<QAction*, const char*> hints[] = {
        {miNew, hint::New},
        {miOpen, hint::Open},
        {miSave, hint::Save},
        {miSaveAs, hint::SaveAs},
        {miExportChannels, hint::ExportChannels},
        {miImportChannels, hint::ImportChannels},
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
        {miCompareFile, hint::CompareFile},
        {miCompareRadio, hint::CompareRadio},
        {miBackups, hint::Backups},
        {miAlignment, hint::Unknown},
        {miTempCorrect, hint::Unknown},
        {miAntTuneSet, hint::Unknown},
        {miFirmware, hint::Unknown},
        {miHelpTopics, hint::HelpTopics},
        {miGetStarted, hint::GetStarted},
        {miRecordTrace, hint::RecordTrace},
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

std::optional<int> TfrmMain::ToolHelpContext(const QString& hint)
{
    for (const TToolHelp& t : kToolHelp)
        if (hint == Q(t.hint))
            return t.context;
    return std::nullopt;
}

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
