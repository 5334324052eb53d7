#include "dialogs/Option.h"

#include "model/DialogTexts.h"

#include <QComboBox>

using namespace mv53::dlg;

TfrmOption::TfrmOption(QWidget* parent) : TParamDialog(kOptionCaption, parent)
{
    cmbEncryptU = AddCombo(kEncryptUnitLabel, "cmbEncryptU", OptionItems(kListEncryptUnit),
                           "Encryption Unit OFF/ON selection", HelpContext::kEncryptUnit);
    cmbSelcallU = AddCombo(kSelcallUnitLabel, "cmbSelcallU", OptionItems(kListSelcallUnit),
                           "Selcall Unit OFF/ON selection", HelpContext::kSelcallUnit);
    cmbTunerU = AddCombo(kTunerUnitLabel, "cmbTunerU", OptionItems(kListTunerUnit),
                         "Tuner Unit OFF/ON selection", HelpContext::kTunerUnit);
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
