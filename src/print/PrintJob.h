#pragma once
// Printing the report from the windows: the report of the program state with the user's
// number and date formats, one print job on the current printer (or PDF file), and the print
// flows of the main window and the service windows (print setup dialog, then the job).

#include "print/PrintImage.h"
#include "state/U_Global.h"

#include <QString>

#include <functional>

class QDialog;
class QWidget;

namespace mv53 {

// The report of state: the factory reports of state.ServicePrint when one is set, else the
// user sections of state.PrintSelection. Numbers use the locale's decimal separator, the date
// "M/D/YYYY" with the locale's date separator. tuner0/tuner1: the tuner window's copies.
TPrtImg BuildReport(const TProgramState& state, const TAntTuner0* tuner0 = nullptr,
                    const TAntTuner1* tuner1 = nullptr);

// The user report of state (its PrintSelection), whatever the service print choices say.
TPrtImg BuildUserReport(const TProgramState& state);

// One print job of the pages on the current printer, or into a PDF file that the file dialog
// names now. A failure is shown through the prompt ("The report could not be printed." with
// the reason) and gives false, as does a cancelled file dialog (silently).
bool PrintReport(const TPrtImg& report);

// True when state's user report has a section to print; else says so (kNoSectionChosen).
bool UserSectionsChosen(const TProgramState& state);

// The print setup dialog, modal; true when it ended with OK. caption: "Print Setup" or "Print".
bool RunPrintSetup(QWidget* parent, const QString& caption = QStringLiteral("Print Setup"));

// Main window's Print: refused without a section (UserSectionsChosen); else print setup, then
// on OK the user report of state on the current printer.
bool PrintUserReport(TProgramState& state, QWidget* parent);

// A service window's Print: print setup; on OK the factory report `which` (FACTORY DATA with
// ALIGNMENT DATA, TEMP. CORRECTION DATA or ANTENNA TUNER SETTING DATA) is printed with the
// choice set in state.ServicePrint around the job and cleared after it. The tuner report prints
// tuner0/tuner1 (the tuner window's working copies) when given. True when a job was printed.
bool PrintFactoryReport(TProgramState& state, TServiceReport which, QWidget* parent,
                        const TAntTuner0* tuner0 = nullptr, const TAntTuner1* tuner1 = nullptr);

// How the print windows run modally: exec(), or what a test installed (the hook gets the
// dialog, drives it and returns its result). nullptr restores exec().
using TModalHook = std::function<int(QDialog&)>;
void SetModalHook(TModalHook hook);
int RunModal(QDialog& dialog);

inline constexpr const char* kPrintFailed = "The report could not be printed.";
inline constexpr const char* kChooseSections = "Choose the sections in File / Printout List.";

}  // namespace mv53
