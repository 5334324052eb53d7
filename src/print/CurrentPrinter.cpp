#include "print/CurrentPrinter.h"

#include <QPrinterInfo>

namespace mv53 {

TCurrentPrinter& TCurrentPrinter::Instance()
{
    static TCurrentPrinter instance;
    return instance;
}

std::vector<TPrinterEntry> TCurrentPrinter::InstalledPrinters() const
{
    if (m_testPrinters)
        return *m_testPrinters;
    std::vector<TPrinterEntry> list;
    const QString defaultName = QPrinterInfo::defaultPrinterName();
    for (const QPrinterInfo& info : QPrinterInfo::availablePrinters()) {
        TPrinterEntry e{info.printerName(), info.defaultPageSize().id()};
        // The default printer first, the others in the platform's order.
        if (e.Name == defaultName)
            list.insert(list.begin(), e);
        else
            list.push_back(e);
    }
    return list;
}

void TCurrentPrinter::EnsureChosen() const
{
    if (m_chosen)
        return;
    const auto printers = InstalledPrinters();
    m_pdf = false;
    if (printers.empty()) {
        m_printer.clear();
        m_paper = QPageSize::A4;
    } else {
        m_printer = printers.front().Name;
        m_paper = printers.front().Paper;
    }
    m_chosen = true;
}

bool TCurrentPrinter::IsPdf() const
{
    EnsureChosen();
    return m_pdf;
}

QString TCurrentPrinter::PrinterName() const
{
    EnsureChosen();
    return m_pdf ? QString() : m_printer;
}

QPageSize::PageSizeId TCurrentPrinter::Paper() const
{
    EnsureChosen();
    return m_paper;
}

QString TCurrentPrinter::DisplayName() const
{
    EnsureChosen();
    return m_pdf ? QString::fromLatin1(kPdfDestinationName) : m_printer;
}

int TCurrentPrinter::PageSizeIndex() const { return Paper() == QPageSize::Letter ? 1 : 0; }

void TCurrentPrinter::SelectPrinter(const QString& name, QPageSize::PageSizeId paper)
{
    m_chosen = true;
    m_pdf = false;
    m_printer = name;
    m_paper = paper;
    Q_EMIT Changed();
}

void TCurrentPrinter::SelectPdf(QPageSize::PageSizeId paper)
{
    m_chosen = true;
    m_pdf = true;
    m_paper = paper;
    Q_EMIT Changed();
}

void TCurrentPrinter::SetInstalledPrintersForTest(std::optional<std::vector<TPrinterEntry>> printers)
{
    m_testPrinters = std::move(printers);
    Reset();
}

void TCurrentPrinter::Reset()
{
    m_chosen = false;
    Q_EMIT Changed();
}

}  // namespace mv53
