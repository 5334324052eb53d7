#pragma once
// Draws the report's pages (print/PrintImage.h) onto any paint device: printer pages, the
// preview's page bitmaps and PDF files. Line n of a page starts at y = n x h from the top-left
// of the device's page, h = 10 x P / 72 (fraction dropped) with P the device's pixels per inch;
// the text is "Courier New" 10 pt, fixed pitch (Liberation Mono where Courier New is missing).

#include "print/PrintImage.h"

#include <QImage>
#include <QPageSize>
#include <QSize>
#include <QString>

#include <vector>

class QPainter;
class QPagedPaintDevice;

namespace mv53 {

// Page size index of the preview bitmaps: 0 A4, 1 Letter.
inline constexpr int kPageA4 = 0;
inline constexpr int kPageLetter = 1;
inline constexpr int kMaxPreviewPages = 20;
// Pixels per inch of the preview bitmaps: the page sizes below are pages at about 100 dpi.
inline constexpr int kPreviewDpi = 96;

QFont ReportFont();
int ReportLineHeight(int pixelsPerInch);
QSize PreviewPageSize(int pageSizeIndex);

// Draws one page with its top-left at the painter's origin.
void DrawReportPage(QPainter& painter, const TReportPage& page);

// The page bitmaps of the preview: white pages of PreviewPageSize, at most kMaxPreviewPages.
std::vector<QImage> MakePreviewBitmaps(const TPrtImg& report, int pageSizeIndex);

// Draws every page onto a paged device (printer or PDF writer), one device page per report
// page. Returns false with the reason when the device cannot be painted on.
bool PaintReport(const TPrtImg& report, QPagedPaintDevice& device, QString* error);

// Writes the pages to a PDF file of the given paper size, portrait, with quarter-inch margins.
bool WriteReportPdf(const TPrtImg& report, const QString& path, QPageSize::PageSizeId paper, QString* error);

}  // namespace mv53
