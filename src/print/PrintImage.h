#pragma once
// TPrtImg: the printed report as pages of fixed-pitch character lines, built from the records.
// It knows nothing of paper, fonts or pixels: a painter (print/ReportPainter.h) draws the pages
// onto a printer, a preview bitmap or a PDF, and the command line prints them as text.
//
// A page is a grid of characters. Every write puts 5 blanks, then `indent` blanks, then the text
// at the start of one line; a later write covers an earlier one except where it has blanks, as
// text drawn with a transparent background does.
//
// The report's texts are UTF-8 (the file name comes from the system as UTF-8), and so are the
// page's lines. A column is one character, not one byte: DecodeReportText is the one reading of
// a line that the page grid, the painter and the PDF share.

#include "model/MVmem.h"
#include "state/U_Global.h"

#include <string>
#include <string_view>
#include <vector>

// The characters of a UTF-8 text, one per column; a byte that is not part of a well-formed
// sequence reads as U+FFFD, so every byte string has a width.
std::u32string DecodeReportText(std::string_view utf8);

// One page of the report: its lines (UTF-8), each as long as its last written character.
class TReportPage {
public:
    static constexpr int kLeftMargin = 5;   // blanks before every line's indent

    void Write(int line, int indent, std::string_view text);
    const std::vector<std::string>& Lines() const { return m_lines; }
    // The lines without trailing blanks, joined by "\n".
    std::string Text() const;

private:
    std::vector<std::string> m_lines;
};

// What the report is made of besides the sections chosen.
struct TReportSource {
    const TMVmem* Mem = nullptr;     // the records printed (CurrentMem)
    std::string FileName;            // the data file's path; the header shows its last part
    std::string Date;                // today as the header shows it (see ReportDate)
    char DecimalPoint = '.';         // decimal separator of the numbers with a fraction
    // The antenna tuner report prints the tuner window's working copies; null: Mem's tables.
    const TAntTuner0* Tuner0 = nullptr;
    const TAntTuner1* Tuner1 = nullptr;
};

class TPrtImg {
public:
    static constexpr int kLastLine = 75;   // a channel table breaks its page at this line

    explicit TPrtImg(TReportSource source);

    // The whole job: the factory reports whose choice is set, or the user sections of the
    // selection when none is.
    void MakeReport(const TPrintSelection& selection, TServiceReport factory);

    int PageCount() const { return static_cast<int>(m_pages.size()); }
    // The data file the report is made of (its path as given).
    const std::string& FileName() const { return m_source.FileName; }
    const TReportPage& Page(int i) const { return m_pages[static_cast<size_t>(i)]; }
    const std::vector<TReportPage>& Pages() const { return m_pages; }
    // Every page as text, pages separated by "\f\n".
    std::string Text() const;

private:
    int StartPage();   // returns the height of the page header
    void CommonData();
    void SelcallCommon();
    void ChannelData();
    void FactoryData();
    void AlignmentData();
    void TempCorrectionData();
    void AntennaTunerData();
    // The channel and tuner tables: rows of the channels in use, 75-line pages.
    template <typename Row>
    void ChannelTable(const char* title, const char* const (&header)[3], Row row);
    std::string Fraction(double value, int digits) const;
    std::string Frequency(const TDecimal& mhz) const;
    TReportPage& Current() { return m_pages.back(); }

    TReportSource m_source;
    std::vector<TReportPage> m_pages;
    bool m_titlePrinted = false;
};

// The header's file name: the text after the last "\", "/" or ":" of path.
std::string ReportFileName(const std::string& path);
// "M/D/YYYY" with separator instead of "/" (no leading zeros, four-digit year).
std::string ReportDate(int year, int month, int day, char separator = '/');

// Said where a user report has no section chosen and nothing would be printed.
inline constexpr const char* kNoSectionChosen = "No section of the report is chosen.";

// The item texts of the alignment window's two choice boxes, which the alignment report prints.
inline constexpr const char* kDtcxoSelTexts[] = {"1:Red", "2:Blue", "3:Black", "4:White"};
inline constexpr const char* kCwPttSendTexts[] = {"OFF", "ON"};
