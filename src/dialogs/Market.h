#pragma once
// TfrmMarket: shows the market application and the radio's serial number; edits nothing.

#include "dialogs/ParamDialog.h"

#include <string>

inline constexpr const char* kMarketApplication = "-ALDERWAVECOMMS-";

class TfrmMarket final : public TParamDialog {
    Q_OBJECT
public:
    explicit TfrmMarket(const std::string& serialNo, QWidget* parent = nullptr);

    QLineEdit* edtMarket = nullptr;
    QLineEdit* edtSerial = nullptr;
};
