// The service windows as the main window opens them: the upload question, the records they
// get, and what they may ask of the main window (transfers, Open, Upload, help, printing).

#include "app/Main.h"
#include "print/PrintJob.h"
#include "service/Alignment.h"
#include "service/AntTuneSet.h"
#include "service/SerialWriter.h"
#include "service/TempCorrect.h"

#include <QAction>

void TfrmMain::AttachServiceWindows()
{
    // Enabled here, shown only in the modes that offer them.
    for (QAction* a : {miAlignment, miTempCorrect, miAntTuneSet, miSerialWriter, miFirmware})
        a->setEnabled(true);
    connect(miAlignment, &QAction::triggered, this, &TfrmMain::ShowAlignment);
    connect(miTempCorrect, &QAction::triggered, this, &TfrmMain::ShowTempCorrect);
    connect(miAntTuneSet, &QAction::triggered, this, &TfrmMain::ShowAntTuneSet);
    connect(miSerialWriter, &QAction::triggered, this, &TfrmMain::ShowSerialWriter);
}

TServiceHost TfrmMain::ServiceHost()
{
    TServiceHost host;
    if (m_options.Link.Transfer) {
        host.Download = m_options.Link.Transfer;
        // The windows' writes are preceded by the backup read their radio needs.
        if (m_backups)
            host.Download = [this](TProgramState& state, const TTransferRequest& request, QWidget* parent,
                                   std::string* readSerialNo) {
                return m_backups->Run(state, request, [&](const TTransferRequest& r) {
                    return m_options.Link.Transfer(state, r, parent, readSerialNo);
                });
            };
        host.Upload = [this] { return m_doc.Upload({.AutoStart = true, .InChain = true}); };
    }
    host.FileOpen = [this] { m_doc.Open(true); };
    host.CommitGrid = [this] { return CommitGrid(); };
    host.Help = [this](int context) { ShowHelpContext(context); };
    host.Print = [this](TServiceReport report, QWidget* parent) {
        mv53::PrintFactoryReport(m_state, report, parent);
        UpdatePrinterPanel();
    };
    return host;
}

void TfrmMain::ShowAlignment()
{
    if (!m_doc.UploadBeforeServiceWindow())
        return;
    TfrmAlignment frm(m_state, ServiceHost(), this);
    frm.Alignment().Assign(m_state.CurrentMem.Alignment());
    frm.FactoryOpt().Assign(m_state.CurrentMem.FactoryOpt());
    frm.exec();
    ServiceWindowClosed();
}

void TfrmMain::ShowTempCorrect()
{
    if (!m_doc.UploadBeforeServiceWindow())
        return;
    TfrmTempCorrect frm(m_state, ServiceHost(), this);
    frm.TmpCorrect().Assign(m_state.CurrentMem.TmpCorrect());
    frm.exec();
    ServiceWindowClosed();
}

void TfrmMain::ShowAntTuneSet()
{
    if (!m_doc.UploadBeforeServiceWindow())
        return;
    TfrmAntTuneSet frm(m_state, ServiceHost(), this);
    frm.AntTuner0().Assign(m_state.CurrentMem.AntTuner0());
    frm.AntTuner1().Assign(m_state.CurrentMem.AntTuner1());
    frm.exec();
    ServiceWindowClosed();
}

void TfrmMain::ShowSerialWriter()
{
    TServiceHost host = ServiceHost();
    if (host.Upload)
        host.Upload = [this] {
            return m_doc.Upload({.AutoStart = true, .InChain = true, .Backup = TBackupReason::SerialWriter});
        };
    TfrmSerialW frm(m_state, host, this);
    frm.exec();
    ServiceWindowClosed();
}
