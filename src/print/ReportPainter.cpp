#include "print/ReportPainter.h"

#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QRawFont>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <system_error>
#include <unordered_map>

namespace mv53 {

namespace {
constexpr int kPdfResolution = 1200;
}  // namespace

QFont ReportFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"), QStringLiteral("monospace")});
    font.setPointSize(10);
    font.setStyleHint(QFont::TypeWriter, QFont::PreferMatch);
    font.setFixedPitch(true);
    font.setKerning(false);
    return font;
}

int ReportLineHeight(int pixelsPerInch) { return 10 * pixelsPerInch / 72; }

QSize PreviewPageSize(int pageSizeIndex)
{
    return pageSizeIndex == kPageLetter ? QSize(850, 1100) : QSize(827, 1169);
}

namespace {

// The glyphs of the report font at one pixel size: bitmaps take the lines as glyph runs at
// fixed cells, without the text layout of drawText.
class TGlyphTable {
public:
    explicit TGlyphTable(double pixelSize) : m_pixelSize(pixelSize)
    {
        m_font = QRawFont::fromFont(ReportFont());
        m_font.setPixelSize(pixelSize);
        const QList<QPointF> advances = m_font.advancesForGlyphIndexes(QList<quint32>{Glyph(U' ')});
        m_advance = advances.isEmpty() ? pixelSize * 0.6 : advances.front().x();
    }
    double PixelSize() const { return m_pixelSize; }
    const QRawFont& Font() const { return m_font; }
    double Advance() const { return m_advance; }
    quint32 Glyph(char32_t c)
    {
        const auto found = m_glyphs.find(c);
        if (found != m_glyphs.end())
            return found->second;
        const QList<quint32> glyphs = m_font.glyphIndexesForString(QString::fromUcs4(&c, 1));
        const quint32 glyph = glyphs.isEmpty() ? 0 : glyphs.front();
        m_glyphs.emplace(c, glyph);
        return glyph;
    }

private:
    double m_pixelSize;
    QRawFont m_font;
    double m_advance = 0;
    std::unordered_map<char32_t, quint32> m_glyphs;
};

TGlyphTable& GlyphTable(double pixelSize)
{
    // Never destroyed: a font must not outlive the application's font database at exit.
    static TGlyphTable* table = nullptr;
    if (!table || table->PixelSize() != pixelSize) {
        delete table;
        table = new TGlyphTable(pixelSize);
    }
    return *table;
}

void DrawPageAsGlyphs(QPainter& painter, const TReportPage& page)
{
    const int dpi = painter.device()->logicalDpiY();
    TGlyphTable& table = GlyphTable(10.0 * dpi / 72.0);
    const int h = ReportLineHeight(dpi);
    const double ascent = table.Font().ascent();
    QList<quint32> glyphs;
    QList<QPointF> positions;
    QGlyphRun run;
    run.setRawFont(table.Font());
    const auto& lines = page.Lines();
    for (size_t n = 0; n < lines.size(); ++n) {
        const std::u32string line = DecodeReportText(lines[n]);
        glyphs.clear();
        positions.clear();
        const double y = static_cast<double>(n) * h + ascent;
        for (size_t i = 0; i < line.size(); ++i) {
            if (line[i] == U' ')
                continue;
            glyphs.append(table.Glyph(line[i]));
            positions.append(QPointF(static_cast<double>(i) * table.Advance(), y));
        }
        if (glyphs.isEmpty())
            continue;
        run.setGlyphIndexes(glyphs);
        run.setPositions(positions);
        painter.drawGlyphRun(QPointF(0, 0), run);
    }
}

// The characters of a line, one a column, without its trailing blanks.
std::u32string LineChars(const std::string& line)
{
    std::u32string chars = DecodeReportText(line);
    const size_t last = chars.find_last_not_of(U' ');
    chars.erase(last == std::u32string::npos ? 0 : last + 1);
    return chars;
}

// Where column 0 of line 0 goes on every page of a paged device, in the painter's coordinates.
// The text block (from the left margin's blanks to the report's widest line, and at least the
// lines of a full channel page) stands in the middle of the part of the paper that the device
// can print on, and never closer to an edge than kLeastMarginMm; the lines keep their pitch.
QPointF PageOrigin(const TPrtImg& report, QPagedPaintDevice& device)
{
    const int dpi = device.logicalDpiY();
    const QPageLayout layout = device.pageLayout();
    const QMarginsF unprintable =
        QPageLayout(layout.pageSize(), layout.orientation(), layout.minimumMargins(), layout.units()).marginsPixels(dpi);
    const double least = kLeastMarginMm / 25.4 * dpi;
    const QMarginsF margins(std::max(unprintable.left(), least), std::max(unprintable.top(), least),
                            std::max(unprintable.right(), least), std::max(unprintable.bottom(), least));
    const QRectF printable = QRectF(layout.fullRectPixels(dpi)).marginsRemoved(margins);

    size_t columns = TReportPage::kLeftMargin;
    size_t lines = TPrtImg::kLastLine;
    for (const TReportPage& page : report.Pages()) {
        lines = std::max(lines, page.Lines().size());
        for (const std::string& line : page.Lines())
            columns = std::max(columns, LineChars(line).size());
    }
    const QFontMetricsF metrics(ReportFont(), &device);
    const double advance = metrics.horizontalAdvance(QLatin1Char(' '));
    const double width = static_cast<double>(columns - TReportPage::kLeftMargin) * advance;
    const double height = static_cast<double>(lines - 1) * ReportLineHeight(dpi) + metrics.ascent() + metrics.descent();
    // Column 0 on a whole column from the sheet's left edge, as on a typewriter: programs that
    // read the text back by columns (pdftotext -layout) then find every character in its place.
    const double centred = printable.left() + std::max(0.0, (printable.width() - width) / 2);
    const double left = std::max(std::round(centred / advance), std::ceil(printable.left() / advance)) * advance;
    const double top = printable.top() + std::max(0.0, (printable.height() - height) / 2);
    return QPointF(left - TReportPage::kLeftMargin * advance, top) - QPointF(layout.paintRectPixels(dpi).topLeft());
}

}  // namespace

void DrawReportPage(QPainter& painter, const TReportPage& page)
{
    painter.save();
    if (painter.device()->devType() == QInternal::Image) {
        painter.setPen(Qt::black);
        DrawPageAsGlyphs(painter, page);
        painter.restore();
        return;
    }
    painter.setFont(ReportFont());
    painter.setPen(Qt::black);
    painter.setBackgroundMode(Qt::TransparentMode);
    const int h = ReportLineHeight(painter.device()->logicalDpiY());
    const int ascent = QFontMetrics(painter.font(), painter.device()).ascent();
    const auto& lines = page.Lines();
    for (size_t n = 0; n < lines.size(); ++n) {
        const std::u32string line = LineChars(lines[n]);
        if (line.empty())
            continue;
        const QString text = QString::fromUcs4(line.data(), static_cast<qsizetype>(line.size()));
        painter.drawText(QPoint(0, static_cast<int>(n) * h + ascent), text);
    }
    painter.restore();
}

std::vector<QImage> MakePreviewBitmaps(const TPrtImg& report, int pageSizeIndex)
{
    const QSize size = PreviewPageSize(pageSizeIndex);
    const int dotsPerMeter = qRound(kPreviewDpi / 0.0254);
    std::vector<QImage> bitmaps;
    const int count = std::min(report.PageCount(), kMaxPreviewPages);
    bitmaps.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        // Black text on white: one byte a pixel is enough, and a quarter of the memory to clear.
        QImage image(size, QImage::Format_Grayscale8);
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        image.fill(Qt::white);
        QPainter painter(&image);
        DrawReportPage(painter, report.Page(i));
        painter.end();
        bitmaps.push_back(std::move(image));
    }
    return bitmaps;
}

bool PaintReport(const TPrtImg& report, QPagedPaintDevice& device, QString* error)
{
    auto fail = [error](const char* why) {
        if (error)
            *error = QString::fromLatin1(why);
        return false;
    };
    // An empty report would come out as one blank page.
    if (report.PageCount() == 0)
        return fail(kNoSectionChosen);
    QPainter painter;
    if (!painter.begin(&device))
        return fail("The output device could not be opened.");
    painter.translate(PageOrigin(report, device));
    for (int i = 0; i < report.PageCount(); ++i) {
        if (i > 0 && !device.newPage()) {
            painter.end();
            return fail("The output device refused a new page.");
        }
        DrawReportPage(painter, report.Page(i));
    }
    if (!painter.end())
        return fail("The output could not be completed.");
    return true;
}

namespace {
// True when path names the file dataFile names, through any other path or link.
bool IsSameFile(const QString& path, const std::string& dataFile)
{
    std::error_code ec;
    const bool same = std::filesystem::equivalent(std::filesystem::path(QFile::encodeName(path).toStdString()),
                                                  std::filesystem::path(dataFile), ec);
    return same && !ec;
}
}  // namespace

bool WriteReportPdf(const TPrtImg& report, const QString& path, QPageSize::PageSizeId paper, QString* error)
{
    if (IsSameFile(path, report.FileName())) {
        if (error)
            *error = QString::fromLatin1(kPdfIsTheDataFile);
        return false;
    }
    // Into a new file beside the target that replaces it only when complete: a failure on the
    // way leaves the target as it was.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    bool painted = false;
    {
        QPdfWriter writer(&file);
        writer.setResolution(kPdfResolution);
        writer.setCreator(QStringLiteral("MV53"));
        writer.setTitle(QFileInfo(path).completeBaseName());
        // The whole sheet: the painter keeps the text off its edges itself.
        writer.setPageLayout(QPageLayout(QPageSize(paper), QPageLayout::Portrait, QMarginsF(), QPageLayout::Millimeter));
        painted = PaintReport(report, writer, error);
    }
    if (!painted)
        return false;   // the new file is discarded with `file`
    // A write cut short (a full disk, a file size limit) can pass for a whole one in Qt's file
    // engine: the new file must hold every byte written before it replaces the old one.
    if (!file.flush() || file.size() != file.pos()) {
        if (error)
            *error = QString::fromLatin1(kPdfCutShort);
        return false;
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

}  // namespace mv53
