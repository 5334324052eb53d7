#pragma once
// TfrmComA1A: the CW settings, hang time of the common area and pitch of the factory area.

#include "dialogs/ParamDialog.h"
#include "model/MVmemSub.h"

class TfrmComA1A final : public TParamDialog {
    Q_OBJECT
public:
    explicit TfrmComA1A(QWidget* parent = nullptr);

    TCmmA1A A1A;
    TFactoryOpt FactoryOpt;

    QComboBox* cmbCWDelay = nullptr;
    QComboBox* cmbCWPitch = nullptr;

protected:
    void LoadControls() override;
    void StoreControls() override;
};
