#pragma once
// The flow shared by the service windows that edit copies of tables: show, store and commit
// steps, "File &Open", "&Print", "&Write", and the closing steps that Cancel, Escape and the
// close box all run. Closing asks "Do you download data to the radio?" only when the copies
// differ from CurrentMem or the last write of them did not reach the radio. Such a window always
// ends with the Cancel result; its caller copies nothing back.
//
// Keys: the window opens with the focus on its first field; Tab goes through the fields in the
// order the window gives and then the command buttons; Enter opens and closes a drop-down list
// and clicks a focused button, never closing the window by itself; Escape is "&Cancel" (an edit
// in its edit state takes it first to undo its typing).

#include "controls/HintBar.h"
#include "service/ServiceHost.h"
#include "state/U_Global.h"

#include <QDialog>

#include <vector>

class QBoxLayout;
class QPushButton;

class TServiceWindow : public QDialog {
    Q_OBJECT
public:
    QPushButton* btnOpen = nullptr;
    QPushButton* btnPrint = nullptr;
    QPushButton* btnWrite = nullptr;
    QPushButton* btnCancel = nullptr;
    THintBar* HintBar = nullptr;   // only in the windows that show hints

    // The window's copies into its controls, back from them, and into CurrentMem where they differ.
    virtual void StoreStep() = 0;
    virtual void CommitStep() = 0;

    void ClosingSteps();
    void FileOpen();
    void Print();
    // Stores, commits and sends the window's area; true when the radio took it. With autoStart
    // the clone window starts by itself.
    bool Write(bool autoStart = false);

protected:
    TServiceWindow(TProgramState& state, TServiceHost host, TTransferKind writeKind, TServiceReport report,
                   QWidget* parent);

    virtual void ShowCopies() = 0;
    virtual bool CopiesDiffer() const = 0;
    // The copies taken anew from CurrentMem (after a file was opened).
    virtual void TakeCopies() = 0;
    // Ends an edit in progress so that the store step sees it.
    virtual void FinishEditing() {}
    // Ends a live mode first when the window closes (the alignment's Spot-ADJ, which writes the
    // area as it ends).
    virtual void LeaveLiveMode() {}
    // Back to normal from a mode that must not outlast a command: before Open and Print store,
    // after Write has sent the area, and as the window closes (the alignment's LCD test).
    virtual void ReturnToNormal() {}

    // Adds the row "File &Open", "&Print", "&Write", "&Cancel" to the window's layout; a command
    // the host does not offer is disabled. In a window with a hint bar they show an empty hint.
    void AddCommandButtons(QBoxLayout* layout);
    // The fields in the order Tab visits them, top to bottom (the command buttons follow).
    void SetFieldOrder(std::vector<QWidget*> fields) { m_fields = std::move(fields); }

    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool focusNextPrevChild(bool next) override;
    void reject() override;

    TProgramState& m_state;
    TServiceHost m_host;

private:
    void StoreAndCommit();
    bool Download(bool autoStart = false);

    const TTransferKind m_writeKind;
    const TServiceReport m_report;
    std::vector<QWidget*> m_fields;
    bool m_finishing = false;
    bool m_radioBehind = false;   // the last write of the committed copies failed
};
