#pragma once
// TfrmPrintList: chooses the sections of the user report (PrintSelection); at least one stays
// chosen. Print prints the report at once through the print setup dialog.

#include "state/U_Global.h"

#include <QDialog>

class QCheckBox;
class QPushButton;

class TfrmPrintList final : public QDialog {
    Q_OBJECT
public:
    explicit TfrmPrintList(TProgramState& state, QWidget* parent = nullptr);

    QCheckBox* chkCommon = nullptr;
    QCheckBox* chkSelcall = nullptr;
    QCheckBox* chkChannel = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnPrint = nullptr;
    QPushButton* btnCancel = nullptr;

    void Ok();
    void Print();

protected:
    void showEvent(QShowEvent* e) override;

private:
    void KeepOneChecked(QCheckBox* box, bool checked);
    void TakeChoices();

    TProgramState& m_state;
};
