#pragma once
// TfrmRadio: the clone window. A small modal window with pictures, a progress bar and three
// buttons that runs one transfer of the clone protocol controller and shows its progress.
// RadioUpload and RadioDownload are what the other windows call.

#include "help/HelpTopics.h"
#include "state/U_Global.h"
#include "link/CloneProtocol.h"

#include <QDialog>
#include <QTimer>

#include <functional>
#include <string>

class QLabel;
class QProgressBar;
class QPushButton;

inline constexpr const char* kUploadCaption = "Upload Function";
inline constexpr const char* kDownloadCaption = "Download Function";
// The stage of the main window's Download, shown above the pictures while it runs.
inline constexpr const char* kStageUserData = "Writing channels and settings";
inline constexpr const char* kStageReadBack = "Reading the radio back";
inline constexpr const char* kStageFactory = "Writing the factory area";
inline constexpr const char* kStageBackup = "Backing up the radio";
inline constexpr int kHelpUpload = HelpContext::kUpload;
inline constexpr int kHelpDownload = HelpContext::kDownload;

class TfrmRadio final : public QDialog {
    Q_OBJECT
public:
    TfrmRadio(TProgramState& state, const TTransferRequest& request, QWidget* parent = nullptr);
    ~TfrmRadio() override;

    // Opens a help topic by context number; the application sets it when help is available.
    using HelpHook = std::function<void(int context)>;
    static void SetHelpHook(HelpHook hook);

    mv53::TCloneTransfer& Transfer() { return m_transfer; }
    TTransferKind Kind() const { return m_request.Kind; }
    bool Done() const { return m_done; }

    QLabel* lblStage = nullptr;   // "Step 2 of 3: Reading the radio back"; hidden outside a Download
    QLabel* imgPc = nullptr;
    QLabel* imgArrow = nullptr;
    QLabel* imgRadio = nullptr;
    QLabel* lblMsg1 = nullptr;
    QLabel* lblMsg2 = nullptr;
    QLabel* lblMsg3 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* btnHelp = nullptr;
    QTimer Timer1;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void startTransfer();
    void cancel();
    void showHelp();
    void showProgress(int position);
    void showStage();
    void fitWidth();

    TProgramState& m_state;
    TTransferRequest m_request;
    bool m_done = false;
    mv53::TCloneTransfer m_transfer;
};

// One transfer in a clone window: true only when it succeeded (an upload has then replaced the
// records and the image). For a serial number read the number the radio reported is put into
// readSerialNo (empty when the radio gave none).
bool RunCloneWindow(TProgramState& state, const TTransferRequest& request, QWidget* parent,
                    std::string* readSerialNo = nullptr);
