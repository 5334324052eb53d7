#include "print/ReportPainter.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QRawFont>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <array>

namespace mv53 {

namespace {
constexpr double kPdfMarginInch = 0.25;
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

// The glyphs of the Latin-1 characters in the report font at one pixel size: bitmaps take the
// lines as glyph runs at fixed cells, without the text layout of drawText.
struct TGlyphTable {
    double pixelSize = 0;
    QRawFont font;
    std::array<quint32, 256> glyph{};
    double advance = 0;
};

const TGlyphTable& GlyphTable(double pixelSize)
{
    // Never destroyed: a font must not outlive the application's font database at exit.
    static TGlyphTable& table = *new TGlyphTable;
    if (table.pixelSize != pixelSize) {
        QFont font = ReportFont();
        table.font = QRawFont::fromFont(font);
        table.font.setPixelSize(pixelSize);
        QString all;
        for (int c = 0; c < 256; ++c)
            all.append(QChar(c < 32 ? 32 : c));
        const QList<quint32> glyphs = table.font.glyphIndexesForString(all);
        for (int c = 0; c < 256 && c < glyphs.size(); ++c)
            table.glyph[static_cast<size_t>(c)] = glyphs[c];
        const QList<QPointF> advances = table.font.advancesForGlyphIndexes(QList<quint32>{table.glyph[' ']});
        table.advance = advances.isEmpty() ? pixelSize * 0.6 : advances.front().x();
        table.pixelSize = pixelSize;
    }
    return table;
}

void DrawPageAsGlyphs(QPainter& painter, const TReportPage& page)
{
    const int dpi = painter.device()->logicalDpiY();
    const TGlyphTable& table = GlyphTable(10.0 * dpi / 72.0);
    const int h = ReportLineHeight(dpi);
    const double ascent = table.font.ascent();
    QList<quint32> glyphs;
    QList<QPointF> positions;
    QGlyphRun run;
    run.setRawFont(table.font);
    const auto& lines = page.Lines();
    for (size_t n = 0; n < lines.size(); ++n) {
        const std::string& line = lines[n];
        glyphs.clear();
        positions.clear();
        const double y = static_cast<double>(n) * h + ascent;
        for (size_t i = 0; i < line.size(); ++i) {
            const auto c = static_cast<unsigned char>(line[i]);
            if (c == ' ')
                continue;
            glyphs.append(table.glyph[c]);
            positions.append(QPointF(static_cast<double>(i) * table.advance, y));
        }
        if (glyphs.isEmpty())
            continue;
        run.setGlyphIndexes(glyphs);
        run.setPositions(positions);
        painter.drawGlyphRun(QPointF(0, 0), run);
    }
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
        const std::string& line = lines[n];
        const size_t end = line.find_last_not_of(' ');
        if (end == std::string::npos)
            continue;
        const QString text = QString::fromLatin1(line.data(), static_cast<qsizetype>(end + 1));
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
    QPainter painter;
    if (!painter.begin(&device)) {
        if (error)
            *error = QStringLiteral("The output device could not be opened.");
        return false;
    }
    for (int i = 0; i < report.PageCount(); ++i) {
        if (i > 0 && !device.newPage()) {
            if (error)
                *error = QStringLiteral("The output device refused a new page.");
            painter.end();
            return false;
        }
        DrawReportPage(painter, report.Page(i));
    }
    if (!painter.end()) {
        if (error)
            *error = QStringLiteral("The output could not be completed.");
        return false;
    }
    return true;
}

bool WriteReportPdf(const TPrtImg& report, const QString& path, QPageSize::PageSizeId paper, QString* error)
{
    {
        // QPdfWriter does not report a file it cannot create; try it first.
        QFile probe(path);
        if (!probe.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            if (error)
                *error = probe.errorString();
            return false;
        }
    }
    QPdfWriter writer(path);
    writer.setResolution(kPdfResolution);
    writer.setCreator(QStringLiteral("MV53"));
    writer.setTitle(QFileInfo(path).completeBaseName());
    const double margin = kPdfMarginInch * 25.4;
    writer.setPageLayout(QPageLayout(QPageSize(paper), QPageLayout::Portrait,
                                     QMarginsF(margin, margin, margin, margin), QPageLayout::Millimeter));
    return PaintReport(report, writer, error);
}

}  // namespace mv53
