// The painter on real surfaces: line geometry on the preview bitmaps, PDF files read back with
// poppler's pdftotext and pdfinfo, and the mv53 report command as a process.

#include "PrintTestSupport.h"
#include "ScratchDir.h"
#include "TestRecords.h"

#include "print/PrintImage.h"
#include "print/ReportPainter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#ifndef MV53_EXE
#error "MV53_EXE must name the mv53 executable"
#endif

namespace {

using namespace mv53::test;

// The non-blank lines of each page, without trailing blanks and with the common left margin
// of the page removed (pdftotext adds the page margin as blanks).
std::vector<std::vector<std::string>> PageLines(const QString& text, char pageBreak)
{
    std::vector<std::vector<std::string>> pages;
    for (const QString& page : text.split(QLatin1Char(pageBreak))) {
        std::vector<std::string> lines;
        size_t margin = std::string::npos;
        for (QString line : page.split(QLatin1Char('\n'))) {
            while (line.endsWith(QLatin1Char(' ')))
                line.chop(1);
            if (line.trimmed().isEmpty())
                continue;
            const std::string s = line.toStdString();
            margin = std::min(margin, s.find_first_not_of(' '));
            lines.push_back(s);
        }
        for (std::string& l : lines)
            l.erase(0, margin);
        if (!lines.empty())
            pages.push_back(std::move(lines));
    }
    return pages;
}

class ReportPaint : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
};

// ---- geometry on the preview bitmaps ----------------------------------------------------------

// Top and left of the ink in rows [from, to) of image; (-1, -1) when there is none.
QPoint InkTopLeft(const QImage& image, int from, int to)
{
    int top = -1, left = -1;
    for (int y = std::max(from, 0); y < std::min(to, image.height()); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128) {
                if (top < 0)
                    top = y;
                if (left < 0 || x < left)
                    left = x;
            }
    return {left, top};
}

TEST_F(ReportPaint, PreviewBitmapsHoldLinesOf13PixelsInAFixedPitchFont)
{
    TMVmem m = ClearedRecords([](TMVmem& m) { m.Channels().Items(0).SetStatus(mv53::kChannelUsed); });
    TPrtImg r({&m, "/d/caf\xc3\xa9.m53", "1/2/2026", '.'});
    r.MakeReport({false, false, true}, {});
    // Page 1 of the channel section: the title on line 8, the dashes on line 12 at indent 6.
    const auto a4 = mv53::MakePreviewBitmaps(r, mv53::kPageA4);
    const auto letter = mv53::MakePreviewBitmaps(r, mv53::kPageLetter);
    ASSERT_EQ(a4.size(), 1u);
    EXPECT_EQ(a4[0].size(), QSize(827, 1169));
    EXPECT_EQ(letter[0].size(), QSize(850, 1100));

    const QImage& page = a4[0];
    const QPoint title = InkTopLeft(page, 8 * 13, 9 * 13);     // "*****..." at column 5
    const QPoint banner = InkTopLeft(page, 2 * 13, 3 * 13);    // "*****..." at column 15
    const QPoint freq = InkTopLeft(page, 10 * 13, 11 * 13);    // "FREQUENCY" at column 32
    const QPoint chn = InkTopLeft(page, 11 * 13, 12 * 13);     // "Chn ..." at column 11
    const QPoint dashes = InkTopLeft(page, 12 * 13, 13 * 13);  // "-----..." at column 11
    for (const QPoint& p : {title, banner, freq, chn, dashes})
        ASSERT_GE(p.y(), 0);
    // 10 pt at 96 pixels per inch: 13 pixels a line, about 8 pixels a character (the raster
    // engine rounds the font to whole pixels), the same for every character.
    EXPECT_EQ(title.y() - banner.y(), 6 * 13);
    const double advance = (freq.x() - title.x()) / 27.0;
    EXPECT_NEAR(advance, 8.0, 0.3);
    EXPECT_NEAR(title.x(), 5 * advance, 3);   // glyphs differ in their side bearing
    EXPECT_NEAR(banner.x() - title.x(), 10 * advance, 1);
    EXPECT_NEAR(dashes.x() - title.x(), 6 * advance, 1);
    EXPECT_NEAR(chn.x() - title.x(), 6 * advance, 3);
    // "File Name:  café.m53" from column 7 to 26: "é" takes one cell.
    const int column27 = title.x() + static_cast<int>(22 * advance);
    EXPECT_GE(InkTopLeft(page.copy(column27 - 8, 0, 8, page.height()), 4 * 13, 5 * 13).y(), 0);
    EXPECT_EQ(InkTopLeft(page.copy(column27, 0, 100, page.height()), 4 * 13, 5 * 13).y(), -1);
    // Nothing is drawn below the row of channel 1 on line 13.
    EXPECT_EQ(InkTopLeft(page, 14 * 13 + 2, page.height()).y(), -1);
}

// ---- PDF ---------------------------------------------------------------------------------------

TEST_F(ReportPaint, PdfReadsBackAsTheTextFormClearOfThePapersEdges)
{
    if (!HavePoppler())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed; scripts/install-deps.sh installs it";
    const TMVmem m = FullRecords();
    const double pitch = mv53::ReportLineHeight(1200) * 72.0 / 1200, least = 6 / 25.4 * 72;   // points
    const QRegularExpression word(QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\""));
    for (const auto& [paper, size] : {std::pair{QPageSize::A4, QSizeF(595, 842)}, std::pair{QPageSize::Letter, QSizeF(612, 792)}}) {
        TPrtImg r({&m, "/data/fleet.m53", "12/31/2026", '.'});
        r.MakeReport({true, true, true}, {});
        ASSERT_EQ(r.PageCount(), 10);
        const QString pdf = Path("report.pdf");
        QString error;
        ASSERT_TRUE(mv53::WriteReportPdf(r, pdf, paper, &error)) << error.toStdString();

        const ProcResult info = Exec(QStringLiteral("pdfinfo"), {pdf});
        EXPECT_TRUE(info.out.contains(QRegularExpression(QStringLiteral("Pages:\\s+10\\b")))) << info.out.toStdString();
        EXPECT_TRUE(info.out.contains(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height()))) << info.out.toStdString();
        EXPECT_EQ(PageLines(PdfText(pdf, true), '\f'), PageLines(QString::fromStdString(r.Text()), '\f'));
        // Every word of every page at least 6 mm inside the sheet, on lines of the report's pitch.
        QRectF text;
        for (auto it = word.globalMatch(Exec(QStringLiteral("pdftotext"), Args("-bbox") << pdf << QStringLiteral("-")).out); it.hasNext();) {
            const auto w = it.next();
            const QRectF box(QPointF(w.captured(1).toDouble(), w.captured(2).toDouble()), QPointF(w.captured(3).toDouble(), w.captured(4).toDouble()));
            EXPECT_NEAR(std::remainder(box.top() - (text.isNull() ? box.top() : text.top()), pitch), 0.0, 0.01);
            text |= box;
        }
        EXPECT_TRUE(QRectF(QPointF(least, least), size - QSizeF(2 * least, 2 * least)).contains(text)) << paper;
    }
}

// ---- mv53 report ------------------------------------------------------------------------------

class ReportCommand : public ReportPaint {
protected:
    QString file;
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        file = Path("fleet.m53");
        WriteFile(file.toStdString(), mv53::test::DataFileBytes(FullRecords()));
    }
    ProcResult Report(QStringList args, const QStringList& env = {})
    {
        args.prepend(QStringLiteral("report"));
        return Exec(QStringLiteral(MV53_EXE), args, env);
    }
};

TEST_F(ReportCommand, SectionsAndFactoryReportsChooseThePages)
{
    const struct Case {
        const char* options;
        int pages;
        const char* firstTitle;
    } cases[] = {
        {"--sections channel", 8, "CHANNEL DATA"},
        {"--sections selcall,common", 2, "COMMON DATA"},
        {"--factory factory", 2, "FACTORY DATA"},
        {"--factory tempcorrect", 1, "TEMP. CORRECTION DATA"},
        {"--factory tuner", 8, "ANTENNA TUNER SETTING DATA"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options);
        const ProcResult run = Report(QStringList{file, QStringLiteral("--text")} + Args(c.options));
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
        const QStringList pages = run.out.split(QStringLiteral("\f\n"));
        EXPECT_EQ(pages.size(), c.pages);
        EXPECT_TRUE(pages[0].section(QLatin1Char('\n'), 8, 8).contains(QLatin1String(c.firstTitle)));
    }
}

TEST_F(ReportCommand, PdfFormHoldsTheLinesOfTheTextForm)
{
    if (!HavePoppler())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed; scripts/install-deps.sh installs it";
    const QString pdf = Path("out.pdf");
    const QString cafe = dir.filePath(QString::fromUtf8("caf\xc3\xa9.m53"));   // a name outside ASCII
    ASSERT_TRUE(QFile::copy(file, cafe));
    const ProcResult text = Report(QStringList{cafe} + Args("--sections common,channel --text"));
    const ProcResult run = Report(QStringList{cafe} + Args("--sections common,channel --pdf") << pdf);
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
    EXPECT_TRUE(text.out.contains(QString::fromUtf8("File Name:  caf\xc3\xa9.m53")));
    EXPECT_EQ(PageLines(PdfText(pdf, true), '\f'), PageLines(text.out, '\f'));
}

TEST_F(ReportCommand, FailuresExitWithOneAndSayWhy)
{
    struct Case {
        QStringList args;
        const char* err;   // part of the message on standard error
    };
    const QString missing = Path("missing.m53");
    ASSERT_TRUE(QFile::link(file, Path("link.m53")));
    const QString shortFile = Path("short.m53");
    WriteFile(shortFile.toStdString(), "kt468h");
    const Case cases[] = {
        {{missing, QStringLiteral("--text")}, "missing.m53"},
        {{shortFile, QStringLiteral("--text")}, ""},
        {{file}, "usage: mv53 report"},
        {QStringList{file} + Args("--text --pdf") << Path("x.pdf"), "usage: mv53 report"},
        {QStringList{file} + Args("--text --sections common,bogus"), "usage: mv53 report"},
        {QStringList{file} + Args("--text --sections "), kNoSectionChosen},   // an empty list
        {QStringList{file} + Args("--sections , --pdf") << Path("x.pdf"), kNoSectionChosen},
        {{file, QStringLiteral("--pdf"), file}, mv53::kPdfIsTheDataFile},
        {{file, QStringLiteral("--pdf"), Path("link.m53")}, mv53::kPdfIsTheDataFile},   // a link to it
        {{file, QStringLiteral("--pdf"), dir.path() + QStringLiteral("/./fleet.m53")}, mv53::kPdfIsTheDataFile},
        {QStringList{file} + Args("--text --factory tuner --sections common"), "usage: mv53 report"},
        {QStringList{file, QStringLiteral("--pdf"), Path("no/such/folder/x.pdf")}, "Cannot write the PDF file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        const ProcResult run = Report(c.args);
        EXPECT_EQ(run.status, 1);
        EXPECT_FALSE(run.err.trimmed().isEmpty());
        EXPECT_TRUE(run.err.contains(QLatin1String(c.err))) << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }
    EXPECT_FALSE(QFile::exists(Path("x.pdf")));
    EXPECT_EQ(QFileInfo(file).size(), TText::kImageSize) << "the data file is still one";
}

TEST_F(ReportCommand, APdfCutShortLeavesTheEarlierFileAsItWas)
{
    WriteFile(Path("old.pdf").toStdString(), "an earlier report");
    // The process's file size limit cuts the new PDF short.
    const ProcResult cut = Exec(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("trap '' XFSZ; ulimit -f 8; exec \"$0\" report \"$1\" --sections common --pdf \"$2\""),
                                                       QStringLiteral(MV53_EXE), file, Path("old.pdf")});
    EXPECT_EQ(cut.status, 1);
    EXPECT_TRUE(cut.err.contains(QStringLiteral("Cannot write the PDF file"))) << cut.err.toStdString();
    EXPECT_EQ(QFileInfo(Path("old.pdf")).size(), 17) << "the earlier report";
    EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("*.pdf*")}, QDir::Files | QDir::Hidden), QStringList{QStringLiteral("old.pdf")});
}

}  // namespace
