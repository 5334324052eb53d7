// "Help / Record Serial Trace…": records the talk with the radio into a file that the user
// names, until the item is unticked or the main window closes (MV53_TRACE starts it for the
// whole run); a panel of the status bar says that it records and where to, and a file that was
// not written whole is reported either way.

#include "app/Main.h"

#include "link/TraceRecording.h"
#include "model/Prompt.h"

#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>

namespace {

const char* const kRecordTraceItem = "Record Serial &Trace…";
const char* const kRecordTraceTitle = "Record Serial Trace";
const char* const kTraceFileName = "mv53.trace";
const char* const kTraceFilter = "Serial traces";
const char* const kAllFilesFilter = "All files";
const char* const kTraceRecording = "Recording serial trace: ";
const char* const kTraceNotStarted = "The serial trace cannot be recorded.";
const char* const kTraceNotWhole = "The serial trace was not written whole.";

}  // namespace

void TfrmMain::CreateTraceItem()
{
    miRecordTrace = menuHelp->addAction(QString::fromUtf8(kRecordTraceItem));
    miRecordTrace->setObjectName(QStringLiteral("miRecordTrace"));
    miRecordTrace->setCheckable(true);
    connect(miRecordTrace, &QAction::triggered, this, &TfrmMain::RecordSerialTrace);
}

void TfrmMain::CreateTracePanel()
{
    m_tracePanel = new QLabel(statusBar());
    m_tracePanel->setObjectName(QStringLiteral("pnlTrace"));
    m_tracePanel->setFrameShape(QFrame::StyledPanel);
    m_tracePanel->setFrameShadow(QFrame::Sunken);
    // Right after the hint, before the lock keys and the clock.
    statusBar()->insertPermanentWidget(1, m_tracePanel);
    m_tracePanel->setVisible(false);
}

void TfrmMain::StartTraceFromEnvironment()
{
    if (const std::string error = mv53::StartSerialTraceFromEnvironment(); !error.empty())
        mv53::ShowError(kTraceNotStarted, error);
    ShowTraceState();
}

void TfrmMain::RecordSerialTrace(bool on)
{
    if (!on) {
        const std::string error = mv53::StopSerialTrace();
        ShowTraceState();
        if (!error.empty())
            mv53::ShowError(kTraceNotWhole, error);
        return;
    }
    mv53::SaveFileRequest request;
    request.title = kRecordTraceTitle;
    request.fileName = kTraceFileName;
    request.filters = {{kTraceFilter, {"*.trace"}}, {kAllFilesFilter, {"*"}}};
    request.defaultSuffix = "trace";
    // No file chosen (Cancel, Escape): nothing records.
    const std::optional<std::string> path = mv53::Prompt().SaveFile(request);
    std::string error;
    if (path)
        error = mv53::StartSerialTrace(*path);
    ShowTraceState();
    if (!error.empty())
        mv53::ShowError(kTraceNotStarted, error);
}

void TfrmMain::ShowTraceState()
{
    const bool recording = mv53::SerialTraceRunning();
    miRecordTrace->setChecked(recording);
    const QString path = QString::fromStdString(mv53::SerialTracePath());
    m_tracePanel->setText(recording ? QString::fromLatin1(kTraceRecording) + QFileInfo(path).fileName() : QString());
    m_tracePanel->setToolTip(path);
    m_tracePanel->setVisible(recording);
}
