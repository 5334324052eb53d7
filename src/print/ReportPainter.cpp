#include "print/ReportPainter.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

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

void DrawReportPage(QPainter& painter, const TReportPage& page)
{
    painter.save();
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
        QImage image(size, QImage::Format_RGB32);
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
