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

private:
    QLabel* lblProductName = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblComments = nullptr;
    QPushButton* btnOk = nullptr;
};
