#pragma once
// The about box: product name and version.

#include <QDialog>

class QLabel;
class QPushButton;

class TfrmAbout final : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAbout(QWidget* parent = nullptr);

    // "Ver.<major>.<minor>" of this build.
    static QString VersionText();
    // The program's title in the message boxes and the About box: "MV53 for Windows" on Windows,
    // "MV53" elsewhere.
    static QString ApplicationTitle();

private:
    QLabel* lblProductName = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblComments = nullptr;
    QPushButton* btnOk = nullptr;
};
