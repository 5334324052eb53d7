#pragma once
// TfrmPowerSave: the battery saver's resume and sleep periods.

#include "dialogs/ParamDialog.h"
#include "model/MVmemSub.h"

class TfrmPowerSave final : public TParamDialog {
    Q_OBJECT
public:
    explicit TfrmPowerSave(QWidget* parent = nullptr);

    TCmmPwrSave PwrSave;

    QComboBox* cmbHoldTime = nullptr;
    QComboBox* cmbSaveTime = nullptr;

protected:
    void LoadControls() override;
    void StoreControls() override;
};
