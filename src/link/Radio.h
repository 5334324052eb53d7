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
inline constexpr int kHelpUpload = HelpContext::kUpload;
inline constexpr int kHelpDownload = HelpContext::kDownload;

class TfrmRadio final : public QDialog {
    Q_OBJECT
public:
    // kind: 0 upload; 1 user data, 2 factory area, 3 antenna tuner, 5 serial number read.
    TfrmRadio(TProgramState& state, int kind, QWidget* parent = nullptr);
    ~TfrmRadio() override;

    // Opens a help topic by context number; the application sets it when help is available.
    using HelpHook = std::function<void(int context)>;
    static void SetHelpHook(HelpHook hook);

    mv53::TCloneTransfer& Transfer() { return m_transfer; }
    int Kind() const { return m_kind; }
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
    int m_kind = 0;
    bool m_done = false;
    mv53::TCloneTransfer m_transfer;
};

// The upload: true only when the radio's memory replaced the records and the image.
bool RadioUpload(TProgramState& state, QWidget* parent);
// A download of kind 1, 2, 3 or 5: true only when it succeeded. For kind 5 the serial number
// the radio reported is put into readSerialNo (empty when the radio gave none).
bool RadioDownload(TProgramState& state, int kind, QWidget* parent, std::string* readSerialNo = nullptr);
