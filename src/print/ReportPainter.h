#pragma once
// Draws the report's pages (print/PrintImage.h) onto any paint device: printer pages, the
// preview's page bitmaps and PDF files. Line n of a page starts at y = n x h from the page's
// origin (a bitmap's top-left; on paper see PaintReport), h = 10 x P / 72 (fraction dropped) with P the device's pixels per inch;
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

// Nothing is printed closer to the paper's edge than this, nor than the printer cannot print.
inline constexpr double kLeastMarginMm = 6.0;

// Draws every page onto a paged device (printer or PDF writer), one device page per report
// page, the text block in the middle of the printable part of the sheet (see kLeastMarginMm).
// Returns false with the reason when the report is empty or the device cannot be painted on.
bool PaintReport(const TPrtImg& report, QPagedPaintDevice& device, QString* error);

// Writes the pages to a PDF file of the given paper size, portrait. The file is replaced only
// by a complete PDF; the report's own data file is refused.
bool WriteReportPdf(const TPrtImg& report, const QString& path, QPageSize::PageSizeId paper, QString* error);

inline constexpr const char* kPdfCutShort = "The PDF file could not be written whole (is the disk full?).";
inline constexpr const char* kPdfIsTheDataFile =
    "This is the data file of the report; the PDF file needs a name of its own.";

}  // namespace mv53
