// The main window's printing commands: Print (menu, Ctrl+P and tool button), Print Setup,
// Print Preview and Printout List, and the printer panel.

#include "app/Main.h"

#include "print/CurrentPrinter.h"
#include "print/Preview.h"
#include "print/PrintJob.h"
#include "print/PrintList.h"

#include <QAction>
#include <QLabel>

void TfrmMain::AttachPrinting()
{
    for (QAction* a : {miPrint, miPrintPreview, miPrintSetup, miPrintList})
        a->setEnabled(true);
    connect(miPrint, &QAction::triggered, this, &TfrmMain::FilePrint);
    connect(miPrintSetup, &QAction::triggered, this, &TfrmMain::FilePrintSetup);
    connect(miPrintPreview, &QAction::triggered, this, &TfrmMain::FilePrintPreview);
    connect(miPrintList, &QAction::triggered, this, &TfrmMain::FilePrintList);
    // Whoever changes the current printer (print setup here or in a service window), the
    // printer panel follows.
    connect(&mv53::TCurrentPrinter::Instance(), &mv53::TCurrentPrinter::Changed, this, &TfrmMain::UpdatePrinterPanel);
}

void TfrmMain::FilePrint()
{
    if (!CommitGrid())
        return;
    mv53::PrintUserReport(m_state, this);
    UpdatePrinterPanel();
}

void TfrmMain::FilePrintSetup()
{
    if (!CommitGrid())
        return;
    mv53::RunPrintSetup(this);
    UpdatePrinterPanel();
}

void TfrmMain::FilePrintPreview()
{
    if (!CommitGrid() || !mv53::UserSectionsChosen(m_state))
        return;
    TfrmPreview preview(m_state, this);
    mv53::RunModal(preview);
}

void TfrmMain::FilePrintList()
{
    if (!CommitGrid())
        return;
    TfrmPrintList list(m_state, this);
    mv53::RunModal(list);
}

void TfrmMain::UpdatePrinterPanel()
{
    // Empty without a printer; the PDF file shows as "PDF file" once the user has chosen it.
    m_systemValues[1][2]->setText(mv53::TCurrentPrinter::Instance().DisplayName());
}
