#pragma once
// TfrmConfig: the "Configure" dialog that chooses the COM port. It edits a copy of the port
// number (0 = COM1) and hands it back on OK; only present serial ports can be chosen.

#include <QDialog>

#include <array>
#include <string>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

inline constexpr const char* kConfigCaption = "Configure";
inline constexpr const char* kSelectComPortCaption = "Select COM Port";
inline constexpr const char* kBackupBeforeWriteCaption = "Back up the radio before writing";
inline constexpr int kConfigPortCount = 20;

class TfrmConfig final : public QDialog {
    Q_OBJECT
public:
    // With backupBeforeWrite the dialog also offers the "Back up the radio before writing" box.
    explicit TfrmConfig(int comPortNo, QWidget* parent = nullptr, const bool* backupBeforeWrite = nullptr);

    // The edited number: after OK the index of the checked button, else the number given.
    int ComPortNo() const { return m_comPortNo; }
    // The device behind button n (1..20), as its tool tip shows it.
    std::string DeviceOf(int n) const { return m_devices[static_cast<size_t>(n - 1)]; }

    // The caption of button n: "COM&1".."COM&9", "COM1&0", "COM11".."COM20".
    static QString ButtonCaption(int n);

    QGroupBox* grpSelect = nullptr;
    std::array<QRadioButton*, kConfigPortCount> rbtnCom{};   // rbtnCom[0] is rbtnCom1
    QLabel* lblDevice = nullptr;
    QCheckBox* chkBackup = nullptr;   // only when the choice was given
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;

    void accept() override;

private:
    void showDevice();

    int m_comPortNo = 0;
    std::array<std::string, kConfigPortCount> m_devices;
    QButtonGroup* m_group = nullptr;
};

// Runs the dialog on comPortNo (and the backup choice, when given); on OK writes the chosen
// number (and choice) back and returns true.
bool ConfigureComPort(int& comPortNo, QWidget* parent, bool* backupBeforeWrite = nullptr);
