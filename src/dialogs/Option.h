#pragma once
// TfrmOption: which option units (encryption, selcall, antenna tuner) the radio has.

#include "dialogs/ParamDialog.h"
#include "model/MVmemSub.h"

class TfrmOption final : public TParamDialog {
    Q_OBJECT
public:
    explicit TfrmOption(QWidget* parent = nullptr);

    TCmmOpt Opt;

    QComboBox* cmbEncryptU = nullptr;
    QComboBox* cmbSelcallU = nullptr;
    QComboBox* cmbTunerU = nullptr;

protected:
    void LoadControls() override;
    void StoreControls() override;
};
