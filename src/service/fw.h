#pragma once
// TfrmFSW: the modal "Firmware Update" window. The technician picks a firmware file from the
// firmware folder, the processor type and the COM port; "&WRITE" runs the writing procedure in
// the progress window TfrmMsg, whose lamps, texts and progress bars are shown here.

#include "service/RadioFSW.h"
#include "service/U_FileAccessFSW.h"
#include "state/U_Global.h"

#include <QDialog>

#include <optional>
#include <string>

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QStatusBar;
class QTableWidget;
class TfrmMsg;

inline constexpr const char* kFswChooseFile = "Choose the file which should be written.";
inline constexpr const char* kFswConfigureHint = "Select the COM port in the Pull-down menu, in order to connect to the radio.";
inline constexpr const char* kFswCloseHint = "Exit from the program.";
inline constexpr const char* kFswDataMissing = "The firmware update data are missing.";

class TfrmFSW final : public QDialog {
    Q_OBJECT
public:
    explicit TfrmFSW(TProgramState& state, QWidget* parent = nullptr);
    ~TfrmFSW() override;

    QTableWidget* grdFileList = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    // Under the description: what the selected file leaves the radio without.
    QLabel* lblUnwritten = nullptr;
    QComboBox* cmbBRT = nullptr;
    QPushButton* btnATF20 = nullptr;
    QPushButton* btnFA20 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QProgressBar* ProgressBar2 = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QLabel* pnlFolder = nullptr;
    QLabel* pnlLamp = nullptr;
    QPushButton* btnReload = nullptr;
    QPushButton* btnBrowse = nullptr;
    QPushButton* btnConfigure = nullptr;
    QPushButton* btnWrite = nullptr;
    QPushButton* btnClose = nullptr;

    void ReloadList();
    void SelectEntry(int row);
    void SetCpu(mv53::fw::TCpuType cpu);
    void BrowseClick();
    void ConfigureClick();
    void WriteClick();

    mv53::TLamp Lamp() const { return m_lamp; }
    mv53::fw::TCpuType Cpu() const { return m_cpu; }
    const std::string& Folder() const { return m_folder; }
    // The progress window of the running procedure (null when none runs).
    TfrmMsg* Progress() const { return m_msg; }
    static QString WriteHint();

Q_SIGNALS:
    // "&Configure" chose another COM port (ComPortNo holds it).
    void ComPortChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetLamp(mv53::TLamp lamp);
    void SetStatus(const std::string& text);
    bool LoadSupplied(mv53::TFirmwareJob& job, bool needKey, std::string& error) const;
    std::string SelectedPath() const;
    void CheckSelected();

    TProgramState& m_state;
    std::string m_folder;
    std::string m_selected;
    bool m_headerOk = false;           // the selected entry passed the header scan
    mv53::fw::TCpuType m_cpu = mv53::fw::TCpuType::HD64F2134FA20;
    mv53::TLamp m_lamp = mv53::TLamp::Green;
    TfrmMsg* m_msg = nullptr;
};
