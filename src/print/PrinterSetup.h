#pragma once
// TfrmPrintSetup: chooses the current printer (or a PDF file) and the paper size, A4 or
// Letter, always portrait. Used before every print.

#include <QDialog>

class QComboBox;
class QPushButton;

class TfrmPrintSetup final : public QDialog {
    Q_OBJECT
public:
    explicit TfrmPrintSetup(QWidget* parent = nullptr);

    QComboBox* cmbPrinter = nullptr;
    QComboBox* cmbSize = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;

    // OK: the chosen printer (or the PDF file, which is named when a report is printed into
    // it) becomes the current printer with the chosen paper.
    void accept() override;

private:
    void UpdateOkButton();
};

inline constexpr const char* kPrintSetupCaption = "Print Setup";
inline constexpr const char* kPrintCaption = "Print";
inline constexpr const char* kSizeLetter = "Letter";
inline constexpr const char* kSizeA4 = "A4";
