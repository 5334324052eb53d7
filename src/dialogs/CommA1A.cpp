#include "dialogs/CommA1A.h"

#include "model/DialogTexts.h"

#include <QComboBox>

using namespace mv53::dlg;

TfrmComA1A::TfrmComA1A(QWidget* parent) : TParamDialog(kA1ACaption, parent)
{
    cmbCWDelay = AddCombo(kCwDelayLabel, "cmbCWDelay", OptionItems(kListCwDelay),
                          "CW hang time setting (500..2500) in 500 ms Step", HelpContext::kCwDelay);
    cmbCWPitch = AddCombo(kCwPitchLabel, "cmbCWPitch", OptionItems(kListCwPitch),
                          "CW pitch setting (400..1000) in 100 Hz Step", HelpContext::kCwPitch);
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
