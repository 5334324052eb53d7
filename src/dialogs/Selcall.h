#pragma once
// TfrmSelcall: the selcall settings: the unit switch (written to the records' option record on
// "&Ok"), own and kill IDs, call enables, times and the ten transmit IDs. IDs are typed in
// two-state edits and completed with zeros to their length when the edit is left.

#include "controls/TwoStateEdit.h"
#include "dialogs/ParamDialog.h"
#include "model/MVmemSub.h"

#include <array>

// The first `length` digits of text followed by zeros: "12" gives "1200"; a text with any
// other character gives zeros only.
QString CompleteId(const QString& text, int length);

class TfrmSelcall final : public TParamDialog {
    Q_OBJECT
public:
    static constexpr int kIdLength = 4;
    static constexpr int kKillIdLength = 8;

    // opt: the records' option record, whose selcall unit the dialog sets on "&Ok".
    explicit TfrmSelcall(TCmmOpt& opt, QWidget* parent = nullptr);
    ~TfrmSelcall() override;

    TCmmSel Sel;

    QComboBox* cmbSelcall = nullptr;
    TTwoStateEdit* edtSelfId = nullptr;
    QComboBox* cmbKillSystem = nullptr;
    TTwoStateEdit* edtKillId = nullptr;
    QComboBox* cmbAllCall = nullptr;
    QComboBox* cmbGroupCall = nullptr;
    QComboBox* cmbSubGroup = nullptr;
    QComboBox* cmbPreamble = nullptr;
    QComboBox* cmbPowerSave = nullptr;
    QComboBox* cmbHoldTime = nullptr;
    std::array<TTwoStateEdit*, TCmmSel::kTxIdCount> edtTxId{};   // TX ID 1 .. TX ID 10

    // True while an ID edit is being typed into.
    bool Editing() const;

protected:
    void LoadControls() override;
    void StoreControls() override;

private:
    TTwoStateEdit* AddIdEdit(const char* caption, const char* name, const char* hint, int help, int length);
    void EnableValues(bool on);
    void SelcallChanged(int index);
    void KillSystemChanged(int index);
    void EnableControl(QWidget* control, bool on);
    QLabel* CaptionOf(QWidget* control) const;

    TCmmOpt& m_opt;
    std::vector<TTwoStateEdit*> m_idEdits;
    std::vector<QWidget*> m_values;   // everything the unit switch enables
    std::vector<QLabel*> m_txLabels;
};
