#include "dialogs/Hardware.h"

#include "model/DialogTexts.h"

#include <QComboBox>
#include <QLabel>

using namespace mv53::dlg;

TfrmHardware::TfrmHardware(bool serviceMode, QWidget* parent) : TParamDialog(kHardwareCaption, parent), m_serviceMode(serviceMode)
{
    cmbHail = AddCombo(kHailLabel, "cmbHail", OptionItems(kListHail),
                       "Set the HAIL tone type.", HelpContext::kHail);
    cmbLamp = AddCombo(kLampLabel, "cmbLamp", OptionItems(kListLampMode),
                       "Set the LCD Lamp mode.", HelpContext::kLampMode);
    cmbRxFreqRange = AddCombo(kRxRangeLabel, "cmbRxFreqRange", RxRangeItems(),
                              "Set RX Freq. Range.", HelpContext::kRxFreqRange);
    cmbTxFreqRange = AddCombo(kTxRangeLabel, "cmbTxFreqRange", TxRangeItems(),
                              "Set TX Freq. Range.", HelpContext::kTxFreqRange);
    // Hidden and disabled, the range rows take neither the focus nor their Alt keys.
    for (QComboBox* range : {cmbRxFreqRange, cmbTxFreqRange}) {
        range->setVisible(serviceMode);
        range->setEnabled(serviceMode);
        LabelOf(range)->setVisible(serviceMode);
        LabelOf(range)->setEnabled(serviceMode);
    }
}

void TfrmHardware::LoadControls()
{
    ShowValue(cmbHail, Hard.Hail());
    ShowValue(cmbLamp, Hard.LampMode());
    ShowValue(cmbRxFreqRange, FactoryOpt.RxRange());
    ShowValue(cmbTxFreqRange, FactoryOpt.TxRange());
}

void TfrmHardware::StoreControls()
{
    Hard.SetHail(ReadValue(cmbHail, Hard.Hail()));
    Hard.SetLampMode(ReadValue(cmbLamp, Hard.LampMode()));
    if (m_serviceMode) {
        FactoryOpt.SetRxRange(ReadValue(cmbRxFreqRange, FactoryOpt.RxRange()));
        FactoryOpt.SetTxRange(ReadValue(cmbTxFreqRange, FactoryOpt.TxRange()));
    }
}
