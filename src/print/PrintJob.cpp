#include "print/PrintJob.h"

#include "model/Prompt.h"
#include "print/CurrentPrinter.h"
#include "print/PrinterSetup.h"
#include "print/ReportPainter.h"

#include <QDate>
#include <QDialog>
#include <QFileInfo>
#include <QLocale>
#include <QPrinter>
#include <QPrinterInfo>

#include <optional>

namespace mv53 {

namespace {

TModalHook& Hook()
{
    static TModalHook hook;
    return hook;
}

char LocaleDecimalPoint()
{
    const QString point = QLocale::system().decimalPoint();
    return point.size() == 1 && point.at(0).unicode() < 0x80 ? static_cast<char>(point.at(0).unicode()) : '.';
}

// The separator of the locale's short date format ("M/d/yy" gives "/", "dd.MM.yy" gives ".");
// "/" for a format without one of "/", "." and "-" (the C locale's "d MMM yyyy").
char LocaleDateSeparator()
{
    for (const QChar c : QLocale::system().dateFormat(QLocale::ShortFormat))
        if (c == QLatin1Char('/') || c == QLatin1Char('.') || c == QLatin1Char('-'))
            return static_cast<char>(c.unicode());
    return '/';
}

}  // namespace

void SetModalHook(TModalHook hook) { Hook() = std::move(hook); }

int RunModal(QDialog& dialog)
{
    if (Hook())
        return Hook()(dialog);
    return dialog.exec();
}

namespace {
TReportSource SourceOf(const TProgramState& state, const TAntTuner0* tuner0, const TAntTuner1* tuner1)
{
    const QDate today = QDate::currentDate();
    return {&state.CurrentMem, state.CurrentFileName,
            ReportDate(today.year(), today.month(), today.day(), LocaleDateSeparator()), LocaleDecimalPoint(),
            tuner0, tuner1};
}
}  // namespace

TPrtImg BuildReport(const TProgramState& state, const TAntTuner0* tuner0, const TAntTuner1* tuner1)
{
    TPrtImg report(SourceOf(state, tuner0, tuner1));
    report.MakeReport(state.PrintSelection, state.ServicePrint);
    return report;
}

TPrtImg BuildUserReport(const TProgramState& state)
{
    TPrtImg report(SourceOf(state, nullptr, nullptr));
    report.MakeReport(state.PrintSelection, {});
    return report;
}

namespace {
// The file a report printed into "PDF file" goes to: asked each time, offering the last one.
std::optional<QString> AskPdfPath()
{
    const QString last = TCurrentPrinter::Instance().LastPdfPath();
    SaveFileRequest request;
    request.title = "PDF File";
    request.folder = last.isEmpty() ? std::string() : QFileInfo(last).absolutePath().toStdString();
    request.fileName = last.isEmpty() ? std::string("report.pdf") : QFileInfo(last).fileName().toStdString();
    request.filters = {{"PDF Files(*.pdf)", {"*.pdf"}}};
    request.defaultSuffix = "pdf";
    request.confirmOverwrite = true;
    const auto path = Prompt().SaveFile(request);
    if (!path)
        return std::nullopt;
    const QString chosen = QString::fromStdString(*path);
    TCurrentPrinter::Instance().SetLastPdfPath(chosen);
    return chosen;
}
}  // namespace

bool UserSectionsChosen(const TProgramState& state)
{
    if (state.PrintSelection.Any())
        return true;
    ShowWarning(kNoSectionChosen, kChooseSections);
    return false;
}

bool PrintReport(const TPrtImg& report)
{
    const TCurrentPrinter& current = TCurrentPrinter::Instance();
    QString error;
    bool ok = false;
    if (current.IsPdf()) {
        const std::optional<QString> path = AskPdfPath();
        if (!path)
            return false;   // the user changed their mind: nothing to say
        ok = WriteReportPdf(report, *path, current.Paper(), &error);
    } else if (current.PrinterName().isEmpty()) {
        error = QStringLiteral("No printer is installed.");
    } else {
        const QPrinterInfo info = QPrinterInfo::printerInfo(current.PrinterName());
        if (info.isNull()) {
            error = QStringLiteral("The printer %1 is no longer installed.").arg(current.PrinterName());
        } else {
            QPrinter printer(info, QPrinter::HighResolution);
            printer.setDocName(QStringLiteral("MV53 report"));
            printer.setPageSize(QPageSize(current.Paper()));
            printer.setPageOrientation(QPageLayout::Portrait);
            printer.setFullPage(true);   // the painter keeps the text within the printable part
            ok = PaintReport(report, printer, &error);
        }
    }
    if (!ok)
        ShowError(kPrintFailed, error.toStdString());
    return ok;
}

bool RunPrintSetup(QWidget* parent, const QString& caption)
{
    TfrmPrintSetup setup(parent);
    setup.setWindowTitle(caption);
    return RunModal(setup) == QDialog::Accepted;
}

bool PrintUserReport(TProgramState& state, QWidget* parent)
{
    if (!UserSectionsChosen(state) || !RunPrintSetup(parent))
        return false;
    state.ServicePrint = TServiceReport::None;
    return PrintReport(BuildReport(state));
}

bool PrintFactoryReport(TProgramState& state, TServiceReport which, QWidget* parent,
                        const TAntTuner0* tuner0, const TAntTuner1* tuner1)
{
    if (!RunPrintSetup(parent))
        return false;
    state.ServicePrint = which;
    const TPrtImg report = BuildReport(state, tuner0, tuner1);
    state.ServicePrint = TServiceReport::None;
    return PrintReport(report);
}

}  // namespace mv53
