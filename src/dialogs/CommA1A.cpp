#include "dialogs/CommA1A.h"

#include "model/DialogTexts.h"

#include <QComboBox>

using namespace mv53::dlg;

TfrmComA1A::TfrmComA1A(QWidget* parent) : TParamDialog(kA1ACaption, parent)
{
    cmbCWDelay = AddCombo(kCwDelayLabel, "cmbCWDelay", OptionItems(7), "CW hang time setting (500..2500) in 500 ms Step", 64);
    cmbCWPitch = AddCombo(kCwPitchLabel, "cmbCWPitch", OptionItems(8), "CW pitch setting (400..1000) in 100 Hz Step", 66);
}

void TfrmComA1A::LoadControls()
{
    ShowValue(cmbCWDelay, A1A.CwDelay());
    ShowValue(cmbCWPitch, FactoryOpt.CwPitch());
}

void TfrmComA1A::StoreControls()
{
    A1A.SetCwDelay(ReadValue(cmbCWDelay, A1A.CwDelay()));
    FactoryOpt.SetCwPitch(ReadValue(cmbCWPitch, FactoryOpt.CwPitch()));
}
