#pragma once
// The flow shared by the service windows that edit copies of tables: show, store and commit
// steps, "File &Open", "&Print", "&Write", and the closing steps that Cancel, Escape and the
// close box all run (they ask "Do you download data to the radio?" only when a copy differs).
// Such a window always ends with the Cancel result; its caller copies nothing back.

#include "service/ServiceHost.h"
#include "state/U_Global.h"

#include <QDialog>

class QBoxLayout;
class QPushButton;

class TServiceWindow : public QDialog {
    Q_OBJECT
public:
    QPushButton* btnOpen = nullptr;
    QPushButton* btnPrint = nullptr;
    QPushButton* btnWrite = nullptr;
    QPushButton* btnCancel = nullptr;

    // The window's copies into its controls, back from them, and into CurrentMem where they differ.
    virtual void StoreStep() = 0;
    virtual void CommitStep() = 0;

    void ClosingSteps();
    void FileOpen();
    void Print();
    void Write();

protected:
    TServiceWindow(TProgramState& state, TServiceHost host, TTransferKind writeKind, TServiceReport report,
                   QWidget* parent);

    virtual void ShowCopies() = 0;
    virtual bool CopiesDiffer() const = 0;
    // The copies taken anew from CurrentMem (after a file was opened).
    virtual void TakeCopies() = 0;
    // Ends an edit in progress so that the store step sees it.
    virtual void FinishEditing() {}
    // Adds the row "File &Open", "&Print", "&Write", "&Cancel" to the window's layout; a command
    // the host does not offer is disabled.
    void AddCommandButtons(QBoxLayout* layout);

    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

    TProgramState& m_state;
    TServiceHost m_host;

private:
    void StoreAndCommit();

    const TTransferKind m_writeKind;
    const TServiceReport m_report;
    bool m_finishing = false;
};
