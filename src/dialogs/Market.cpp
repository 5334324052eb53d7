#include "dialogs/Market.h"

#include "model/DialogTexts.h"

#include <QLineEdit>

using namespace mv53::dlg;

TfrmMarket::TfrmMarket(const std::string& serialNo, QWidget* parent) : TParamDialog(kMarketCaption, parent)
{
    edtMarket = AddEdit(kMarketLabel, "edtMarket", "", HelpContext::kMarketing);
    edtSerial = AddEdit(kSerialLabel, "edtSerial", "", HelpContext::kMarketing);
    edtMarket->setText(QString::fromLatin1(kMarketApplication));
    edtSerial->setText(QString::fromStdString(serialNo));
    for (QLineEdit* e : {edtMarket, edtSerial}) {
        e->setReadOnly(true);
        e->setEnabled(false);
    }
    SetDefaultHelpContext(HelpContext::kMarketing);
}
