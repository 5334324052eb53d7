#include "dialogs/Option.h"

#include "model/DialogTexts.h"

#include <QComboBox>

using namespace mv53::dlg;

TfrmOption::TfrmOption(QWidget* parent) : TParamDialog(kOptionCaption, parent)
{
    cmbEncryptU = AddCombo(kEncryptUnitLabel, "cmbEncryptU", OptionItems(20), "Encryption Unit OFF/ON selection", 126);
    cmbSelcallU = AddCombo(kSelcallUnitLabel, "cmbSelcallU", OptionItems(21), "Selcall Unit OFF/ON selection", 128);
    cmbTunerU = AddCombo(kTunerUnitLabel, "cmbTunerU", OptionItems(22), "Tuner Unit OFF/ON selection", 130);
}

void TfrmOption::LoadControls()
{
    ShowValue(cmbEncryptU, Opt.EncryptUnit());
    ShowValue(cmbSelcallU, Opt.SelcallUnit());
    ShowValue(cmbTunerU, Opt.TunerUnit());
}

void TfrmOption::StoreControls()
{
    Opt.SetEncryptUnit(ReadValue(cmbEncryptU, Opt.EncryptUnit()));
    Opt.SetSelcallUnit(ReadValue(cmbSelcallU, Opt.SelcallUnit()));
    Opt.SetTunerUnit(ReadValue(cmbTunerU, Opt.TunerUnit()));
}
