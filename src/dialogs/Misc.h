#pragma once
// TfrmMisc: beep tone and the VOX circuitry's hang time and gain.

#include "dialogs/ParamDialog.h"
#include "model/MVmemSub.h"

class TfrmMisc final : public TParamDialog {
    Q_OBJECT
public:
    explicit TfrmMisc(QWidget* parent = nullptr);

    TCmmMisc Misc;

    QComboBox* cmbBeep = nullptr;
    QComboBox* cmbVoxDelay = nullptr;
    QComboBox* cmbVoxGain = nullptr;

protected:
    void LoadControls() override;
    void StoreControls() override;
};
