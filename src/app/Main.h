#pragma once
// TfrmMain: the application frame. Menu bar, floating tool bar, system-type panel, channel
// grid and status bar; owns the program state and the document for the whole run and wires
// the file and radio commands to the document; reads the configuration file at start and
// writes it at the end.

#include "app/RadioLink.h"
#include "app/U_Config.h"
#include "document/Document.h"
#include "document/RadioBackups.h"
#include "model/ChannelEdits.h"
#include "service/ServiceHost.h"
#include "state/U_Global.h"

#include <QMainWindow>
#include <QRect>
#include <QStringList>
#include <QTimer>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QDialog;
class QLabel;
class QLineEdit;
class QMenu;
class QToolBar;
class TChannelGrid;

// What a run of the main window starts from. Empty texts take the defaults of a real run.
struct TMainOptions {
    QString ProgramDir;        // folder of the default data file; default: the current folder
    QString ConfigPath;        // the configuration file; default: DefaultConfigPath()
    QString HelpFolder;        // pages replacing the built-in help; default: "help" beside the executable
    QStringList Arguments;     // command-line parameters after the program name
    QString PortBindings;      // "COM1=/dev/pts/3;...": bindings of this run only, over "PORTS"
    QRect Screen;              // room on the screen for the window; default: the primary screen's
    TRadioLink Link;
    // The data folder whose "backups" folder keeps every image read from a radio; empty: no
    // backups are kept or read (MV53Win passes the platform's data folder).
    QString DataDir;
    // How the parameter dialogs of the menus are shown; default exec(). Tests drive the dialog
    // here and hand back its result, without a modal loop.
    std::function<int(QDialog&)> ShowModal;
};

// The status bar's hint when nothing else is pointed at.
inline constexpr const char* kMainHint = "F1 for Help   F10 for Menus";

class TfrmMain final : public QMainWindow {
    Q_OBJECT
public:
    explicit TfrmMain(TMainOptions options, QWidget* parent = nullptr);
    ~TfrmMain() override;

    TProgramState& State() { return m_state; }
    const TProgramState& State() const { return m_state; }
    TChannelGrid* Grid() const { return grdCh; }
    const QString& ConfigPath() const { return m_configPath; }
    QString DefaultFilePath() const;
    const std::array<bool, kViewItemCount>& ViewItems() const { return m_viewItems; }

    // The configuration file beside the executable (its name with ".ini"), or in the user's
    // configuration folder when the executable's folder cannot be written.
    static QString DefaultConfigPath();

    // Caption, Telephone enable, system-type panel, column widths and grid contents.
    void RefreshMainWindow();
    // Opens the help window on a topic; context below 1 opens the contents.
    void ShowHelpContext(int context) const;

    // The grid's edits into the records (the document's commit).
    bool CommitGrid() { return m_doc.CommitGrid(); }

    // The commands of the menus and the tool bar that are the window's own (the file and radio
    // commands are the document's).
    // "&Firmware Update": the firmware window, without exchanging records.
    void FirmwareUpdate();
    void Configure();
    // "Radio / Backups...": the backups, to open one or compare it with the document.
    void ShowBackups();
    void EditCopy();
    void EditPaste();
    // "&Edit": undo and redo (the document's steps, or the open cell editor's typing), and the
    // commands on the selected channels (app/MainEdit.cpp).
    void UndoOrRedo(bool undo);
    void InsertChannels();
    void DeleteChannels();
    void MoveChannels(bool up);
    void SortChannels(mv53::TSortKey key);
    void FillChannels();
    // The find bar below the grid: shown and focused, or the next match of its text.
    void ShowFindBar();
    void FindNext();
    QWidget* FindBar() const { return m_findBar; }
    QLineEdit* FindEdit() const { return m_findEdit; }
    void ShowVisibleDialog();
    void ToggleViewItem(int item);
    void About();
    // "Help / Record Serial Trace…" ticked or unticked (app/MainTrace.cpp).
    void RecordSerialTrace(bool on);
    // Printing (app/MainPrint.cpp).
    void FilePrint();
    void FilePrintSetup();
    void FilePrintPreview();
    void FilePrintList();
    // The parameter dialogs of the "&Common" and "&Selcall" menus.
    void CommonA1A();
    void CommonHardware();
    void CommonPowerSave();
    void CommonKeyFunc();
    void CommonMarketing();
    void CommonMisc();
    void CommonSystem();
    void CommonOption();
    void SelcallCommon();
    void SelcallTelephone();
    // The service windows (MainService.cpp).
    void ShowAlignment();
    void ShowTempCorrect();
    void ShowAntTuneSet();
    void ShowSerialWriter();
    // What the service windows may ask of the main window (transfers, Open, Upload, help and
    // the print flow of their factory reports).
    TServiceHost ServiceHost();

    // The panels of the status bar and the system-type panel (for the tests and the help).
    QLabel* HintPanel() const { return m_panels[0]; }
    QLabel* StatusPanel(int i) const { return m_panels[static_cast<size_t>(i)]; }
    QString SystemValue(int row, int column) const;
    QToolBar* ToolBar() const { return tbrMain; }
    // The tool button remembered for F1 (its help context), or none.
    std::optional<int> RememberedHelpContext() const { return m_toolHelp; }

    // Menu items by role (kept for the windows that later attach to them).
    QAction *miNew = nullptr, *miOpen = nullptr, *miSave = nullptr, *miSaveAs = nullptr;
    QAction *miExportChannels = nullptr, *miImportChannels = nullptr;
    QAction *miPrint = nullptr, *miPrintPreview = nullptr, *miPrintSetup = nullptr, *miPrintList = nullptr;
    QAction *miConfigure = nullptr, *miRecentFile = nullptr, *miExit = nullptr, *miCompareFile = nullptr;
    std::array<QAction*, 10> miRecent{};
    QAction *miCopy = nullptr, *miPaste = nullptr, *miUndo = nullptr, *miRedo = nullptr;
    QAction *miInsertChannel = nullptr, *miDeleteChannel = nullptr, *miMoveUp = nullptr, *miMoveDown = nullptr;
    QAction *miFill = nullptr, *miFind = nullptr;
    std::array<QAction*, 3> miSort{};   // by receive, transmit, tag
    QMenu* menuSort = nullptr;
    QAction *miToolBar = nullptr, *miStatusBar = nullptr, *miVisible = nullptr;
    std::array<QAction*, kViewItemCount> miItem{};
    QAction *miA1A = nullptr, *miHardware = nullptr, *miPowerSave = nullptr, *miKeyFunc = nullptr;
    QAction *miMarketing = nullptr, *miMisc = nullptr, *miSystem = nullptr, *miOption = nullptr;
    QAction *miSelCommon = nullptr, *miTelephone = nullptr;
    QAction *miUpload = nullptr, *miDownload = nullptr, *miAlignment = nullptr, *miTempCorrect = nullptr;
    QAction *miAntTuneSet = nullptr, *miSerialWriter = nullptr, *miFirmware = nullptr;
    QAction *miCompareRadio = nullptr, *miBackups = nullptr;
    QAction *miHelpTopics = nullptr, *miGetStarted = nullptr, *miRecordTrace = nullptr, *miAbout = nullptr;
    QMenu *menuFile = nullptr, *menuEdit = nullptr, *menuView = nullptr, *menuItems = nullptr;
    QMenu *menuCommon = nullptr, *menuSelcall = nullptr, *menuRadio = nullptr, *menuHelp = nullptr;

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    TDocumentHooks DocumentHooks();
    // The compare window for the document; true when the user chose to write.
    bool ShowChanges(const std::vector<mv53::TImageDifference>& differences, TChangesUse use);
    void AttachBackups();
    bool CommitGridEdits();
    void CreateMenus();
    void CreateEditItems();
    // The grid's pop-up menu, its edits and the find bar (after the grid is made).
    void AttachEditCommands(QWidget* client);
    // A grid edit becomes a step of the history at once (after the action that made it).
    void GridEdited(const char* step);
    void RecordGridEdits();
    // Undo and redo name the step they take back or do again, and are enabled only then.
    void UpdateUndoItems();
    // The selected channels (indexes, ascending), or the current one.
    std::vector<int> SelectedChannels() const;
    // An edit of the channel list on the selection; afterwards the channels given are selected.
    void EditChannels(const char* step, const std::function<std::string(TMVmem&)>& edit,
                      const std::vector<int>& selectAfter);
    void SelectChannels(const std::vector<int>& channels, int column);
    void CloseFindBar();
    // After a service window: records it changed start a fresh history.
    void ServiceWindowClosed();
    void CreateToolBar();
    void CreateSystemPanel();
    void CreateStatusBar();
    void CreateTraceItem();
    void CreateTracePanel();
    void StartTraceFromEnvironment();
    // The item's tick and the status bar's panel follow the recording.
    void ShowTraceState();
    void AttachDialogs();
    int ShowModal(QDialog& dialog);
    void AttachServiceWindows();
    void AssignHints();
    void SelectOperatingMode();
    void ReadConfiguration();
    void PlaceWindow();
    void SizeForFirstStart(const QRect& screen);
    void ApplyPortBindings();
    void WriteConfiguration();
    void BuildRecentMenu();
    void UpdateTelephoneEnable();
    void UpdateSelcallPrintChoice();
    void UpdateSystemPanel();
    void UpdatePortPanel();
    void UpdatePrinterPanel();
    void AttachPrinting();
    void UpdateLockKeys();
    void ShowHint(const QString& hint);
    void ClockTick();
    // The help topic of the tool button whose hint is showing, if any.
    static std::optional<int> ToolHelpContext(const QString& hint);

    TMainOptions m_options;
    // Made before the document, which keeps its transfers' backups there.
    std::unique_ptr<mv53::TRadioBackups> m_backups;
    TProgramState m_state;
    TDocument m_doc;
    QString m_configPath;
    TIniFile m_ini;
    int m_storedMonitors = 1;
    int m_storedX = 0;
    int m_storedY = 0;
    int m_comPortNo = 0;   // the main window's copy, taken over into ComPortNo at start
    std::array<bool, kViewItemCount> m_viewItems{};

    TChannelGrid* grdCh = nullptr;
    QToolBar* tbrMain = nullptr;
    QAction* m_toolClose = nullptr;   // the close box of the floating tool bar
    QWidget* pnlSystem = nullptr;
    std::array<std::array<QLabel*, 3>, 3> m_systemValues{};   // [row][column]
    std::array<QLabel*, 5> m_panels{};
    QLabel* m_tracePanel = nullptr;   // shown while a serial trace records
    QTimer m_clock;
    std::optional<int> m_toolHelp;
    QWidget* m_findBar = nullptr;
    QLineEdit* m_findEdit = nullptr;
    QLabel* m_findStatus = nullptr;
    bool m_gridStepQueued = false;
    // The telephone dialog is attached to its item (until then the item stays disabled).
    bool m_telephoneAttached = false;
};
