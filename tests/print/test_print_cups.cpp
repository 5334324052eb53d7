// Printing to a real printer: a private cupsd with cups-pdf queues (private-cups.sh starts it
// in a temporary folder). The job that went through CUPS is compared with the
// PDF that MV53 writes directly by page count and by page pictures (cups-pdf passes every job
// through Ghostscript, which re-encodes the fonts, so its text cannot be read back).

#include "PrintTestSupport.h"
#include "ScriptedPrompt.h"
#include "TestRecords.h"

#include "print/CurrentPrinter.h"
#include "print/PrintJob.h"
#include "print/PrinterSetup.h"
#include "print/ReportPainter.h"

#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <pwd.h>
#include <signal.h>
#include <unistd.h>

#include <memory>

namespace {

using namespace mv53;
using namespace mv53::test;

const QString kA4Queue = QStringLiteral("MV53-A4");
const QString kLegalQueue = QStringLiteral("MV53-Legal");

// The private cupsd of this run with its two queues, the Legal one the default.
class PrivateCups {
public:
    QString reason;   // why the printer tests cannot run
    bool skip = false;   // cupsd cannot run here at all
    QString dir;
    int pid = 0;

    PrivateCups()
    {
        const ProcResult r = Exec(QStringLiteral("bash"), {QStringLiteral(MV53_PRIVATE_CUPS), QStringLiteral("start"), kA4Queue + QStringLiteral("=A4"),
                                  kLegalQueue + QStringLiteral("=Legal"), QStringLiteral("--default"), kLegalQueue});
        skip = r.status == 77;
        if (r.status != 0)
            reason = r.err.trimmed().isEmpty() ? QStringLiteral("private-cups.sh did not run") : r.err.trimmed();
        for (const QString& line : r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            const QString name = line.section(QLatin1Char('='), 0, 0), value = line.section(QLatin1Char('='), 1);
            if (name == QLatin1String("CUPS_SERVER"))   // everything in this process talks to it
                qputenv("CUPS_SERVER", value.toLocal8Bit());
            else if (name == QLatin1String("CUPS_DIR"))
                dir = value;
            else if (name == QLatin1String("CUPSD_PID"))
                pid = value.toInt();
        }
    }
    ~PrivateCups()
    {
        if (!dir.isEmpty())
            Exec(QStringLiteral("bash"), {QStringLiteral(MV53_PRIVATE_CUPS), QStringLiteral("stop"), dir});
    }
    QString ErrorLogTail() const
    {
        QFile f(dir + QStringLiteral("/log/error_log"));
        return f.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(f.readAll().right(2000)) : QString();
    }
};

std::unique_ptr<PrivateCups> g_cups;

// cups-pdf puts the jobs of a user into that user's home folder, "PDF".
QString CupsPdfFolder()
{
    const passwd* pw = ::getpwuid(::getuid());
    return QString::fromLocal8Bit(pw ? pw->pw_dir : "/root") + QStringLiteral("/PDF");
}

// The pages of a PDF as grey pictures at a low resolution.
std::vector<QImage> Pictures(const QString& pdf, const QString& prefix)
{
    const ProcResult r = Exec(QStringLiteral("pdftoppm"), Args("-r 40 -gray") << pdf << prefix);
    std::vector<QImage> pages;
    if (r.status != 0)
        return pages;
    QDir folder = QFileInfo(prefix).dir();
    QStringList names = folder.entryList({QFileInfo(prefix).fileName() + QStringLiteral("-*.pgm")}, QDir::Files, QDir::Name);
    for (const QString& n : names)
        pages.push_back(QImage(folder.filePath(n)).convertToFormat(QImage::Format_Grayscale8));
    return pages;
}

// The part of a page that holds ink.
QImage Ink(const QImage& page)
{
    int top = page.height(), left = page.width(), bottom = -1, right = -1;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (qGray(page.pixel(x, y)) < 160) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
                left = std::min(left, x);
                right = std::max(right, x);
            }
    return bottom < 0 ? QImage() : page.copy(left, top, right - left + 1, bottom - top + 1);
}

// How far apart two pictures of text are: both shrunk to blocks of 4 x 4 pixels (so that the
// glyphs' anti-aliasing does not count), the mean difference of the blocks' greys, 0 to 1.
double Difference(const QImage& a, const QImage& b)
{
    const QSize blocks(std::max(1, a.width() / 4), std::max(1, a.height() / 4));
    const QImage sa = a.scaled(blocks, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QImage sb = b.scaled(blocks, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    double sum = 0;
    for (int y = 0; y < blocks.height(); ++y)
        for (int x = 0; x < blocks.width(); ++x)
            sum += std::abs(qGray(sa.pixel(x, y)) - qGray(sb.pixel(x, y)));
    return sum / 255.0 / (blocks.width() * blocks.height());
}

class CupsPrinting : public ::testing::Test {
protected:
    static void SetUpTestSuite() { g_cups = std::make_unique<PrivateCups>(); }
    static void TearDownTestSuite() { g_cups.reset(); }

    mv53::test::ScriptedPrompt prompt;
    mv53::ScopedPrompt scoped{prompt};
    QTemporaryDir tmp;

    void SetUp() override
    {
        if (g_cups->skip)
            GTEST_SKIP() << "No printer for this test: " << g_cups->reason.toStdString();
        ASSERT_TRUE(g_cups->reason.isEmpty()) << g_cups->reason.toStdString();
        ASSERT_EQ(::kill(static_cast<pid_t>(g_cups->pid), 0), 0) << "cupsd ended: " << g_cups->ErrorLogTail().toStdString();
        TCurrentPrinter::Instance().SetInstalledPrintersForTest(std::nullopt);
    }
    void TearDown() override { mv53::SetModalHook(nullptr); }
};

TEST_F(CupsPrinting, PrintSetupListsTheQueuesAndLegalPaperShowsLetter)
{
    TfrmPrintSetup setup;
    QStringList names;
    for (int i = 0; i < setup.cmbPrinter->count(); ++i)
        names << setup.cmbPrinter->itemText(i);
    EXPECT_TRUE(names.contains(kA4Queue) && names.contains(kLegalQueue)) << names.join(QLatin1Char(',')).toStdString();
    EXPECT_EQ(setup.cmbPrinter->currentText(), kLegalQueue) << "the system's default printer is the current one";
    EXPECT_EQ(setup.cmbSize->currentText(), QStringLiteral("Letter"));
    EXPECT_TRUE(setup.btnOk->isEnabled());
    setup.accept();
    EXPECT_EQ(TCurrentPrinter::Instance().PrinterName(), kLegalQueue);
    EXPECT_EQ(TCurrentPrinter::Instance().Paper(), QPageSize::Letter);
}

TEST_F(CupsPrinting, AJobThroughCupsHasThePagesOfTheDirectPdf)
{
    TProgramState state;
    state.CurrentMem = FullRecords();
    state.CurrentFileName = "/data/cups.m53";
    state.PrintSelection = {true, true, true};

    const QDateTime started = QDateTime::currentDateTime().addSecs(-1);
    mv53::SetModalHook([](QDialog& d) {
        auto* setup = qobject_cast<TfrmPrintSetup*>(&d);
        if (setup) {
            setup->cmbPrinter->setCurrentIndex(setup->cmbPrinter->findText(kA4Queue));
            setup->cmbSize->setCurrentIndex(setup->cmbSize->findText(QStringLiteral("A4")));
            setup->accept();
        }
        return d.result();
    });
    ASSERT_TRUE(mv53::PrintUserReport(state, nullptr)) << (prompt.shown.empty() ? "" : prompt.shown.back().detail);
    EXPECT_EQ(TCurrentPrinter::Instance().PrinterName(), kA4Queue);

    // The job lands in cups-pdf's folder once Ghostscript is done with it.
    QString job;
    QElapsedTimer t;
    t.start();
    while (job.isEmpty() && t.elapsed() < 90000) {
        for (const QFileInfo& f : QDir(CupsPdfFolder()).entryInfoList({QStringLiteral("MV53*report*.pdf")}, QDir::Files, QDir::Time))
            if (f.lastModified() >= started && Exec(QStringLiteral("pdfinfo"), {f.filePath()}).status == 0) {
                job = f.filePath();
                break;
            }
        if (job.isEmpty())
            QThread::msleep(250);
    }
    ASSERT_FALSE(job.isEmpty()) << "no job in " << CupsPdfFolder().toStdString() << "\n" << g_cups->ErrorLogTail().toStdString();

    const QString direct = tmp.filePath(QStringLiteral("direct.pdf"));
    ASSERT_TRUE(mv53::WriteReportPdf(mv53::BuildUserReport(state), direct, QPageSize::A4, nullptr));
    const ProcResult info = Exec(QStringLiteral("pdfinfo"), {job});
    EXPECT_TRUE(info.out.contains(QRegularExpression(QStringLiteral("Pages:\\s+10\\b")))) << info.out.toStdString();
    EXPECT_TRUE(info.out.contains(QStringLiteral("595 x 842"))) << info.out.toStdString();

    const auto printed = Pictures(job, tmp.filePath(QStringLiteral("job")));
    const auto expected = Pictures(direct, tmp.filePath(QStringLiteral("direct")));
    ASSERT_EQ(printed.size(), 10u);
    ASSERT_EQ(expected.size(), 10u);
    for (size_t i = 0; i < printed.size(); ++i) {
        SCOPED_TRACE("page " + std::to_string(i + 1));
        const QImage a = Ink(printed[i]), b = Ink(expected[i]);
        ASSERT_FALSE(a.isNull()) << "blank";
        // The margins differ (printer page against PDF page); the printed text does not.
        EXPECT_NEAR(a.width(), b.width(), 2);
        EXPECT_NEAR(a.height(), b.height(), 2);
        EXPECT_LT(Difference(a, b), 0.05);
    }
    // The measure tells pages apart: the second channel page (same layout, other numbers) is
    // about 0.1 away from the first, the same page through CUPS below 0.03.
    EXPECT_GT(Difference(Ink(printed[3]), Ink(expected[2])), 0.06);
    QFile::remove(job);
}

}  // namespace
