// report: the printed report of a data file, as text or as a PDF file.

#include "CliCommand.h"

#include "model/MVmem.h"
#include "model/Text.h"
#include "model/U_FileAccess.h"
#include "print/PrintImage.h"
#include "print/ReportPainter.h"

#include <QDate>
#include <QString>

#include <iostream>
#include <sstream>

namespace mv53::cli {

namespace {

int RunReport(const Args& args);

const CliCommand kReport{
    "report", "report FILE [--sections common,selcall,channel] [--factory factory|tempcorrect|tuner] (--text | --pdf OUT.pdf)",
    "prints the report of a data file as text pages (separated by form feeds) or writes it as a PDF file",
    &RunReport};

const char* const kNameSections = "Name them with --sections common,selcall,channel.";

bool ParseSections(const std::string& list, TPrintSelection& selection)
{
    selection = {false, false, false};
    std::stringstream in(list);
    std::string name;
    while (std::getline(in, name, ',')) {
        if (name.empty())
            continue;   // "" and "," name no section; the caller says so
        if (name == "common")
            selection.Common = true;
        else if (name == "selcall")
            selection.Selcall = true;
        else if (name == "channel")
            selection.ChannelData = true;
        else
            return false;
    }
    return true;
}

bool ParseFactory(const std::string& name, TServicePrintChoices& choices)
{
    choices = {};
    if (name == "factory")
        choices.Alignment = true;
    else if (name == "tempcorrect")
        choices.TempCorrect = true;
    else if (name == "tuner")
        choices.AntTuner = true;
    else
        return false;
    return true;
}

int RunReport(const Args& args)
{
    std::string file;
    std::string pdfPath;
    bool text = false;
    bool pdf = false;
    bool sectionsGiven = false;
    bool factoryGiven = false;
    TPrintSelection selection{true, true, true};
    TServicePrintChoices factory;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--text" && !text) {
            text = true;
        } else if (a == "--pdf" && !pdf && hasValue) {
            pdf = true;
            pdfPath = args[++i];
        } else if (a == "--sections" && !sectionsGiven && hasValue) {
            sectionsGiven = true;
            if (!ParseSections(args[++i], selection))
                return UsageError(kReport);
        } else if (a == "--factory" && !factoryGiven && hasValue) {
            factoryGiven = true;
            if (!ParseFactory(args[++i], factory))
                return UsageError(kReport);
        } else if (file.empty() && !a.empty() && a[0] != '-') {
            file = a;
        } else {
            return UsageError(kReport);
        }
    }
    if (file.empty() || text == pdf || (pdf && pdfPath.empty()) || (sectionsGiven && factoryGiven))
        return UsageError(kReport);

    if (!factoryGiven && !selection.Any()) {
        std::cerr << kNoSectionChosen << " " << kNameSections << "\n";
        return 1;
    }

    TMVmem mem;
    TText image;
    if (!ReadDataFile(file, mem, image))
        return 1;

    // The text form does not depend on the machine: "." and "M/D/YYYY" always.
    const QDate today = QDate::currentDate();
    TPrtImg report({&mem, file, ReportDate(today.year(), today.month(), today.day()), '.'});
    report.MakeReport(selection, factory);

    if (text) {
        std::cout << report.Text() << "\n" << std::flush;
        return std::cout ? 0 : 1;
    }
    QString error;
    if (!WriteReportPdf(report, QString::fromLocal8Bit(pdfPath.c_str()), QPageSize::A4, &error)) {
        std::cerr << "Cannot write the PDF file " << pdfPath << "\n" << error.toLocal8Bit().constData() << "\n";
        return 1;
    }
    return 0;
}

}  // namespace

MV53_CLI_COMMAND(kReport);
MV53_CLI_GUI_COMMAND("report");

}  // namespace mv53::cli
