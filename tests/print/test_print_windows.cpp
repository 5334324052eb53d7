// The print windows driven like a user drives them: the preview's buttons, zoom and pages, the
// printout list's rules, the print setup dialog over a printer list, and printing into a PDF
// file from the main window and from a service window's call.

#include "MainWindowFixture.h"

#include "print/CurrentPrinter.h"
#include "print/Preview.h"
#include "print/PrintJob.h"
#include "print/PrintList.h"
#include "print/ReportPainter.h"
#include "print/PrinterSetup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QMainWindow>
#include <QPushButton>
#include <QScrollArea>
#include <QToolBar>
#include <QToolButton>

namespace {

using namespace mv53;
using namespace mv53::test;

// No printers installed and no dialog hook while it lives.
struct NoPrinters {
    NoPrinters() { TCurrentPrinter::Instance().SetInstalledPrintersForTest(std::vector<TPrinterEntry>{}); }
    ~NoPrinters()
    {
        mv53::SetModalHook(nullptr);
        TCurrentPrinter::Instance().SetInstalledPrintersForTest(std::nullopt);
    }
};

// Every test starts without printers and with the default choices of a run.
class PrintWindows : public ::testing::Test {
protected:
    ScriptedPrompt prompt;
    mv53::ScopedPrompt scoped{prompt};
    NoPrinters noPrinters;
    TProgramState state;
    QTemporaryDir dir;

    void SetUp() override
    {
        TfrmPreview::ForgetTwoPageChoice();
        state.CurrentMem = ClearedRecords();
        state.CurrentFileName = "/data/fleet.m53";
    }
    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
};

// ---- preview ------------------------------------------------------------------------------------

// Whether Next, Prev, the page count and the two zoom buttons are enabled.
using ButtonStates = std::array<bool, 5>;
ButtonStates States(const TfrmPreview& p)
{
    return {p.btnNext->isEnabled(), p.btnPrev->isEnabled(), p.btnPageCount->isEnabled(), p.btnZoomIn->isEnabled(),
            p.btnZoomOut->isEnabled()};
}

TEST_F(PrintWindows, PreviewOfThreePagesInTwoPageMode)
{
    state.PrintSelection = {true, true, true};
    for (int k = 0; k < 3; ++k)   // channels 1..3 in use
        state.CurrentMem.Channels().Items(k).SetStatus(mv53::kChannelUsed);
    QMainWindow main;
    main.setWindowTitle(QStringLiteral("fleet - MV53"));
    main.resize(900, 700);
    main.show();
    TfrmPreview preview(state, &main);
    preview.show();
    ASSERT_EQ(preview.PageCount(), 3);
    EXPECT_FALSE(main.isVisible()) << "the preview takes the main window's place";
    EXPECT_EQ(preview.windowTitle(), QStringLiteral("fleet - MV53"));
    EXPECT_EQ(preview.size(), QSize(900, 700));
    EXPECT_EQ(preview.btnPageCount->text(), QStringLiteral("&Two Page"));
    EXPECT_EQ(States(preview), (ButtonStates{true, false, true, true, false}));
    EXPECT_FALSE(preview.imgPage2->isVisible());

    QTest::mouseClick(preview.btnPageCount, Qt::LeftButton);
    EXPECT_EQ(preview.btnPageCount->text(), QStringLiteral("&One Page"));
    EXPECT_TRUE(preview.imgPage2->isVisible());
    QImage blank(preview.imgPage2->Canvas().size(), preview.imgPage2->Canvas().format());
    blank.fill(Qt::white);
    EXPECT_NE(preview.imgPage2->Canvas(), blank) << "page 2 on the right";
    QTest::mouseClick(preview.btnNext, Qt::LeftButton);
    EXPECT_EQ(preview.PageIndex(), 1) << "pages 2 and 3";
    EXPECT_EQ(States(preview), (ButtonStates{true, true, true, true, false}));
    QTest::mouseClick(preview.btnNext, Qt::LeftButton);
    EXPECT_EQ(preview.PageIndex(), 1) << "the last page stays on the right";
    QTest::mouseClick(preview.btnPrev, Qt::LeftButton);
    EXPECT_EQ(preview.PageIndex(), 0);
    EXPECT_FALSE(preview.btnPrev->isEnabled());

    // Escape ends the preview; the main window comes back where the preview was.
    preview.move(33, 44);
    QTest::keyClick(&preview, Qt::Key_Escape);
    EXPECT_FALSE(preview.isVisible());
    EXPECT_EQ(preview.result(), QDialog::Rejected);
    EXPECT_TRUE(main.isVisible());
    EXPECT_EQ(main.size(), preview.size());

    // The next preview of the run starts in two-page mode.
    TfrmPreview again(state, nullptr);
    again.show();
    EXPECT_TRUE(again.TwoPage());
}

TEST_F(PrintWindows, PreviewPrintGoesThroughThePrintDialogAndEndsThePreview)
{
    QString caption;
    mv53::SetModalHook([&](QDialog& d) {
        caption = d.windowTitle();
        d.accept();   // the PDF file, the only destination without printers
        return d.result();
    });
    prompt.saveResults.push_back(Path("preview.pdf").toStdString());
    TfrmPreview preview(state, nullptr);
    preview.show();
    QTest::mouseClick(preview.btnPrint, Qt::LeftButton);
    EXPECT_EQ(caption, QStringLiteral("Print"));
    EXPECT_FALSE(preview.isVisible());
    EXPECT_TRUE(QFile::exists(Path("preview.pdf")));   // what the PDF holds: test_report_paint
}

// ---- printout list --------------------------------------------------------------------------

TEST_F(PrintWindows, PrintoutListKeepsOneSectionAndCancelKeepsTheChoice)
{
    state.PrintSelection = {false, true, false};
    {
        TfrmPrintList list(state, nullptr);
        list.show();
        EXPECT_TRUE(!list.chkCommon->isChecked() && list.chkSelcall->isChecked() && !list.chkChannel->isChecked());
        QTest::mouseClick(list.chkSelcall, Qt::LeftButton);
        EXPECT_TRUE(list.chkSelcall->isChecked()) << "the only section stays chosen";
        QTest::mouseClick(list.chkChannel, Qt::LeftButton);
        QTest::mouseClick(list.chkSelcall, Qt::LeftButton);
        EXPECT_FALSE(list.chkSelcall->isChecked());
        QTest::mouseClick(list.btnCancel, Qt::LeftButton);
        EXPECT_EQ(list.result(), QDialog::Rejected);
    }
    EXPECT_TRUE(!state.PrintSelection.Common && state.PrintSelection.Selcall && !state.PrintSelection.ChannelData);
    for (bool ok : {false, true}) {   // Escape keeps the choice, Ok takes it
        {
            TfrmPrintList list(state, nullptr);
            list.show();
            QTest::mouseClick(list.chkCommon, Qt::LeftButton);
            ok ? QTest::mouseClick(list.btnOk, Qt::LeftButton) : QTest::keyClick(&list, Qt::Key_Escape);
            EXPECT_EQ(list.result(), ok ? QDialog::Accepted : QDialog::Rejected);
        }
        EXPECT_EQ(state.PrintSelection.Common, ok);
    }
    EXPECT_TRUE(state.PrintSelection.Selcall);
}

TEST_F(PrintWindows, PrintoutListPrintTakesTheChoiceAndEndsWithOkEvenWhenSetupIsCancelled)
{
    int setups = 0;
    mv53::SetModalHook([&](QDialog& d) {
        ++setups;
        d.reject();
        return d.result();
    });
    TfrmPrintList list(state, nullptr);
    list.show();
    QTest::mouseClick(list.chkSelcall, Qt::LeftButton);
    QTest::mouseClick(list.btnPrint, Qt::LeftButton);
    EXPECT_EQ(setups, 1);
    EXPECT_EQ(list.result(), QDialog::Accepted);
    EXPECT_TRUE(state.PrintSelection.Selcall);
    EXPECT_TRUE(prompt.shown.empty()) << "nothing printed, nothing to say";
}

// ---- print setup ----------------------------------------------------------------------------

TEST_F(PrintWindows, WithoutAPrinterTheReportGoesIntoAPdfFileNamedWhenPrinting)
{
    TCurrentPrinter& current = TCurrentPrinter::Instance();
    EXPECT_TRUE(current.DisplayName().isEmpty());
    TfrmPrintSetup setup;
    ASSERT_EQ(setup.cmbPrinter->count(), 1);
    EXPECT_EQ(setup.cmbPrinter->currentText(), QStringLiteral("PDF file"));
    setup.show();
    setup.cmbSize->setCurrentIndex(0);
    QTest::mouseClick(setup.btnOk, Qt::LeftButton);
    EXPECT_FALSE(setup.isVisible());
    EXPECT_TRUE(prompt.shown.empty()) << "no file name before there is a report";
    EXPECT_TRUE(current.IsPdf());
    EXPECT_EQ(current.Paper(), QPageSize::Letter);
    EXPECT_EQ(current.DisplayName(), QStringLiteral("PDF file"));
    // A cancelled file dialog prints nothing and says nothing more.
    EXPECT_FALSE(mv53::PrintReport(mv53::BuildUserReport(state)));
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.lastSave.defaultSuffix, "pdf");
}

// ---- print flows ----------------------------------------------------------------------------

// Accepts the print setup dialog with the PDF file, which the prompt names.
void AcceptSetupWithPdf(ScriptedPrompt& prompt, const QString& path)
{
    prompt.saveResults.push_back(path.toStdString());
    mv53::SetModalHook([](QDialog& d) {
        if (auto* setup = qobject_cast<TfrmPrintSetup*>(&d)) {
            setup->cmbPrinter->setCurrentIndex(setup->cmbPrinter->count() - 1);
            setup->accept();
        }
        return d.result();
    });
}

// A failed print says so with the reason: a PDF file in a missing folder, the report's own data
// file named as the PDF file (left as it was), a printer gone between the setup and the print.
TEST_F(PrintWindows, AFailedPrintSaysSoAndWhy)
{
    state.CurrentFileName = Path("fleet.m53").toStdString();
    WriteFile(state.CurrentFileName, "data");
    const std::pair<QString, std::string> pdfs[] = {{Path("no/such/folder/r.pdf"), ""},
                                                    {Path("fleet.m53"), kPdfIsTheDataFile}};
    for (const auto& [pdf, reason] : pdfs) {
        prompt.shown.clear();
        AcceptSetupWithPdf(prompt, pdf);
        EXPECT_FALSE(mv53::PrintUserReport(state, nullptr));
        EXPECT_EQ(prompt.texts(), std::vector<std::string>{kPrintFailed});
        EXPECT_EQ(prompt.shown.back().icon, mv53::PromptIcon::Error);
        EXPECT_FALSE(prompt.shown.back().detail.empty());
        EXPECT_NE(prompt.shown.back().detail.find(reason), std::string::npos) << prompt.shown.back().detail;
    }
    EXPECT_EQ(ReadFile(state.CurrentFileName), "data");

    TCurrentPrinter::Instance().SetInstalledPrintersForTest(std::vector<TPrinterEntry>{{QStringLiteral("MV53-gone")}});
    mv53::SetModalHook([](QDialog& d) {
        d.accept();
        return d.result();
    });
    prompt.shown.clear();
    EXPECT_FALSE(mv53::PrintUserReport(state, nullptr));
    EXPECT_EQ(prompt.texts(), std::vector<std::string>{kPrintFailed});
    EXPECT_EQ(prompt.shown.back().detail, "The printer MV53-gone is no longer installed.");
}

// ---- the main window ----------------------------------------------------------------------------

class MainWindowPrinting : public mv53::test::MainWindowTest {
protected:
    NoPrinters m_noPrinters;
};

TEST_F(MainWindowPrinting, PrintCommandsAreThereAndThePanelShowsTheDestination)
{
    TfrmMain& w = Start();
    EXPECT_TRUE(w.SystemValue(1, 2).isEmpty()) << "no printer: the printer panel is empty";

    // Print Setup alone chooses the PDF file; its name is asked when a report goes into it.
    const QString pdf = m_dir.filePath(QStringLiteral("main.pdf"));
    AcceptSetupWithPdf(prompt, pdf);
    w.miPrintSetup->trigger();
    EXPECT_EQ(w.SystemValue(1, 2), QStringLiteral("PDF file"));
    EXPECT_FALSE(w.State().Modified);

    // The tool button prints: setup (the PDF file), the file's name, the report into it.
    auto* tool = w.ToolBar()->findChild<QToolButton*>(QStringLiteral("toolPrint"));
    ASSERT_NE(tool, nullptr);
    w.show();
    QTest::mouseClick(tool, Qt::LeftButton);
    EXPECT_TRUE(QFile::exists(pdf));
    AcceptSetupWithPdf(prompt, m_dir.filePath(QStringLiteral("again.pdf")));
    w.miPrint->trigger();
    EXPECT_EQ(prompt.lastSave.fileName, "main.pdf") << "the next Print asks again, offering the last name";
    EXPECT_TRUE(QFile::exists(m_dir.filePath(QStringLiteral("again.pdf"))));

    // Printout List and Print Preview open their windows; the preview hides the main window.
    std::vector<QString> opened;
    bool mainHidden = false;
    mv53::SetModalHook([&](QDialog& d) {
        opened.push_back(d.objectName());
        d.show();
        mainHidden = !w.isVisible();
        if (auto* preview = qobject_cast<TfrmPreview*>(&d)) {   // two whole pages at the default size
            if (!preview->TwoPage())
                QTest::mouseClick(preview->btnPageCount, Qt::LeftButton);
            const QWidget* view = preview->pnlBase->viewport();
            for (const QWidget* page : {preview->imgPage1, preview->imgPage2})
                EXPECT_TRUE(view->rect().contains(QRect(page->mapTo(view, QPoint()), page->size())));
        }
        d.reject();
        return d.result();
    });
    w.miPrintList->trigger();
    w.miPrintPreview->trigger();
    EXPECT_EQ(opened, (std::vector<QString>{QStringLiteral("frmPrintList"), QStringLiteral("frmPreview")}));
    EXPECT_TRUE(mainHidden);
    EXPECT_TRUE(w.isVisible());
}

TEST_F(MainWindowPrinting, NoSectionChosenPrintsNothingAndSaysSo)
{
    MakeDataFile(Path("plain.m53"));   // without selcall
    TfrmMain& w = Start();
    int opened = 0;   // Selcall alone in the printout list; opening a file without selcall takes it away
    mv53::SetModalHook([&](QDialog& d) {
        auto& list = dynamic_cast<TfrmPrintList&>(d);
        list.show();
        for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{list.chkSelcall, list.chkCommon, list.chkChannel, list.btnOk})
            QTest::mouseClick(b, Qt::LeftButton);
        return ++opened, list.result();
    });
    w.miPrintList->trigger();
    prompt.openResults = {mv53::OpenFileResult{Path("plain.m53"), false}};
    w.miOpen->trigger();
    prompt.shown.clear();
    w.miPrint->trigger();
    w.miPrintPreview->trigger();
    EXPECT_EQ(opened, 1) << "neither the print setup nor the preview opens";
    EXPECT_EQ(prompt.texts(), std::vector<std::string>(2, kNoSectionChosen));
}

}  // namespace
