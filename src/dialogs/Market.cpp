#include "dialogs/Market.h"

#include <QLineEdit>

TfrmMarket::TfrmMarket(const std::string& serialNo, QWidget* parent) : TParamDialog("Marketing", parent)
{
    edtMarket = AddEdit("&Market Application", "edtMarket", "", 92);
    edtSerial = AddEdit("&Serial Number", "edtSerial", "", 92);
    edtMarket->setText(QString::fromLatin1(kMarketApplication));
    edtSerial->setText(QString::fromStdString(serialNo));
    for (QLineEdit* e : {edtMarket, edtSerial}) {
        e->setReadOnly(true);
        e->setEnabled(false);
    }
    SetDefaultHelpContext(92);
}
