#pragma once
// TfrmHardware: HAIL tone and lamp mode; in the service modes also the radio's receive and
// transmit frequency ranges (factory area), which otherwise pass through unchanged.

#include "dialogs/ParamDialog.h"
#include "model/MVmemSub.h"

class TfrmHardware final : public TParamDialog {
    Q_OBJECT
public:
    TfrmHardware(bool serviceMode, QWidget* parent = nullptr);

    TCmmHard Hard;
    TFactoryOpt FactoryOpt;

    QComboBox* cmbHail = nullptr;
    QComboBox* cmbLamp = nullptr;
    QComboBox* cmbRxFreqRange = nullptr;
    QComboBox* cmbTxFreqRange = nullptr;

protected:
    void LoadControls() override;
    void StoreControls() override;

private:
    bool m_serviceMode;
};
