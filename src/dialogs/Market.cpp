#include "dialogs/Market.h"

#include <QLineEdit>

TfrmMarket::TfrmMarket(const std::string& serialNo, QWidget* parent) : TParamDialog("Marketing", parent)
{
    edtMarket = AddEdit("&Market Application", "edtMarket", "", HelpContext::kMarketing);
    edtSerial = AddEdit("&Serial Number", "edtSerial", "", HelpContext::kMarketing);
    edtMarket->setText(QString::fromLatin1(kMarketApplication));
    edtSerial->setText(QString::fromStdString(serialNo));
    for (QLineEdit* e : {edtMarket, edtSerial}) {
        e->setReadOnly(true);
        e->setEnabled(false);
    }
    SetDefaultHelpContext(HelpContext::kMarketing);
}
