#include "dialogs/PowerSave.h"

#include "model/DialogTexts.h"

#include <QComboBox>

using namespace mv53::dlg;

TfrmPowerSave::TfrmPowerSave(QWidget* parent) : TParamDialog(kPowerSaveCaption, parent)
{
    cmbHoldTime = AddCombo(kSaveHoldTimeLabel, "cmbHoldTime", SaveHoldTimeItems(),
                           "Select the \"resume\"period for the Battery Saver.", HelpContext::kSaveHoldTime);
    cmbSaveTime = AddCombo(kSaveTimeLabel, "cmbSaveTime", OptionItems(kListSaveTime),
                           "Select the \"sleep\" period for the Battery Saver.", HelpContext::kSaveTime);
}

void TfrmPowerSave::LoadControls()
{
    ShowValue(cmbHoldTime, PwrSave.HoldTime());
    ShowValue(cmbSaveTime, PwrSave.SaveTime());
}

void TfrmPowerSave::StoreControls()
{
    PwrSave.SetHoldTime(ReadValue(cmbHoldTime, PwrSave.HoldTime()));
    PwrSave.SetSaveTime(ReadValue(cmbSaveTime, PwrSave.SaveTime()));
}
