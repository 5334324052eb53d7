#pragma once
// The current printer of this run: the printer (or PDF file) that Print and the preview's
// Print send the report to, with its paper size. The print setup dialog changes it; the main
// window's printer panel follows its Changed signal. The PDF file is named when a report is
// printed into it; the last name given is offered again.

#include <QObject>
#include <QPageSize>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace mv53 {

// One installed printer as the platform reports it.
struct TPrinterEntry {
    QString Name;
    QPageSize::PageSizeId Paper = QPageSize::A4;   // its default paper size
};

class TCurrentPrinter final : public QObject {
    Q_OBJECT
public:
    static TCurrentPrinter& Instance();

    // The installed printers: the platform's list (QPrinterInfo), or the one a test set.
    std::vector<TPrinterEntry> InstalledPrinters() const;
    bool AnyPrinterInstalled() const { return !InstalledPrinters().empty(); }

    // The destination: a printer by name, or a PDF file (IsPdf). Without a choice of the user
    // it is the platform's default printer with its paper size, or none.
    bool IsPdf() const;
    QString PrinterName() const;   // empty for a PDF file or when there is no printer
    // The PDF file the last report went into (empty before the first one).
    QString LastPdfPath() const { return m_lastPdfPath; }
    void SetLastPdfPath(const QString& path) { m_lastPdfPath = path; }
    QPageSize::PageSizeId Paper() const;
    // What the printer panel shows: the printer's name, "PDF file", or nothing.
    QString DisplayName() const;
    // Preview page size index: 1 for Letter paper, 0 for A4 and any other paper.
    int PageSizeIndex() const;

    void SelectPrinter(const QString& name, QPageSize::PageSizeId paper);
    void SelectPdf(QPageSize::PageSizeId paper);

    // For tests: a fixed printer list (the first entry is the default) instead of the
    // platform's; nullopt goes back to the platform. Forgets the current choice.
    void SetInstalledPrintersForTest(std::optional<std::vector<TPrinterEntry>> printers);
    // Forgets the user's choice (back to the default printer).
    void Reset();

Q_SIGNALS:
    void Changed();

private:
    TCurrentPrinter() = default;
    void EnsureChosen() const;

    std::optional<std::vector<TPrinterEntry>> m_testPrinters;
    mutable bool m_chosen = false;
    mutable bool m_pdf = false;
    mutable QString m_printer;
    QString m_lastPdfPath;
    mutable QPageSize::PageSizeId m_paper = QPageSize::A4;
};

inline constexpr const char* kPdfDestinationName = "PDF file";

}  // namespace mv53
