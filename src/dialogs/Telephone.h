#pragma once
// TfrmTelephone: the call type and the ten telephone numbers. The numbers are edited in a grid
// through an editor laid over the selected cell; an empty number shows as 15 hyphens and a
// number longer than the call type allows is shown cut (the stored number keeps its digits).

#include "dialogs/ParamDialog.h"
#include "model/DialogTexts.h"
#include "model/MVmemSub.h"

class QTableWidget;

inline constexpr const char* kEmptyNumber = mv53::dlg::kEmptyNumber;

// Digits a number may have under a call type ("BARRETT" 16, "CODAN12" 12, "CODAN16" 16).
int TelMaxDigits(int32_t callType);

class TfrmTelephone final : public TParamDialog {
    Q_OBJECT
public:
    static constexpr int kNumberColumn = 1;

    explicit TfrmTelephone(QWidget* parent = nullptr);
    ~TfrmTelephone() override;

    TCmmTelNumbers TelNumbers;

    QComboBox* cmbTelCallType = nullptr;
    QTableWidget* grdA = nullptr;
    QLineEdit* edtDmy = nullptr;   // the in-place editor of the selected number

    QString CellText(int row) const;
    bool EditorShown() const;
    // Starts the in-place editor on the selected number; with a typed digit it starts from it.
    void StartEdit(const QString& typed = {});
    // Takes a visible editor's text into the number (when it was changed) and hides it.
    void CommitEdit();

protected:
    void LoadControls() override;
    void StoreControls() override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void FocusMoved(QWidget* from, QWidget* to) override;

private:
    void ShowRow(int row);
    void ShowRows();
    void CallTypeChanged(int index);
    // The grid's hint follows its column: only the number column has one.
    void ShowGridHint();
    bool GridKey(QKeyEvent* key);
    bool EditorKey(QKeyEvent* key);
    void CloseEditor();

    int m_maxDigits = 16;
    int m_editRow = -1;
    QString m_editStart;   // the editor's text when it was opened
};
