// report: the printed report of a data file, as text or as a PDF file.

#include "CliCommand.h"

#include "model/MVmem.h"
#include "model/Text.h"
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

// The sections of "common,selcall,channel"; the problem with the list, or an empty text. An
// empty list chooses no section, which the report refuses with its own message.
std::string ParseSections(const std::string& list, TPrintSelection& selection)
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
            return "unknown section " + name;
    }
    return {};
}

std::string ParseFactory(const std::string& name, TServiceReport& report)
{
    if (name == "factory")
        report = TServiceReport::Alignment;
    else if (name == "tempcorrect")
        report = TServiceReport::TempCorrect;
    else if (name == "tuner")
        report = TServiceReport::AntTuner;
    else
        return "unknown factory report " + name;
    return {};
}

int RunReport(const Args& args)
{
    std::string pdfPath;
    std::string sections;
    std::string factoryName;
    bool text = false;
    bool pdf = false;
    bool sectionsGiven = false;
    bool factoryGiven = false;
    std::vector<std::string> files;
    std::string problem = ReadArgs(args,
                                   {{"--text", nullptr, &text},
                                    {"--pdf", &pdfPath, &pdf},
                                    {"--sections", &sections, &sectionsGiven},
                                    {"--factory", &factoryName, &factoryGiven}},
                                   files, 1);
    TPrintSelection selection{true, true, true};
    TServiceReport factory = TServiceReport::None;
    if (problem.empty() && sectionsGiven)
        problem = ParseSections(sections, selection);
    if (problem.empty() && factoryGiven)
        problem = ParseFactory(factoryName, factory);
    if (problem.empty() && files.empty())
        problem = Missing("FILE");
    if (problem.empty() && text == pdf)
        problem = text ? "--text and --pdf exclude each other" : Missing("--text or --pdf");
    if (problem.empty() && pdf && pdfPath.empty())
        problem = "--pdf needs a value";
    if (problem.empty() && sectionsGiven && factoryGiven)
        problem = "--sections and --factory exclude each other";
    if (!problem.empty())
        return UsageError(kReport, problem);
    const std::string& file = files.front();

    if (!factoryGiven && !selection.Any()) {
        std::cerr << kNoSectionChosen << " " << kNameSections << "\n";
        return 1;
    }

    TMVmem mem;
    TText image;
    if (!ReadCommandDataFile(file, mem, image, false))
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
