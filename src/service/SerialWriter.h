#pragma once
// TfrmSerialW: the modal "Serial Writer" window of the production line. It composes the next
// serial number from year, month, lot and running number, writes it into one radio after
// another (read the radio, write its factory area with the number, read the number back) and
// advances the running number after each write. A failed write is shown, so that the operator
// sets that radio aside: its number is not used again. While a command runs (with its transfers
// and pauses) the other commands, the edits and closing are disabled.

#include "service/SerialNumbering.h"
#include "service/ServiceControls.h"
#include "service/ServiceHost.h"
#include "state/U_Global.h"

#include <QDate>
#include <QDialog>

class QLabel;
class QPushButton;

inline constexpr const char* kLastWriteFailed = "The last write failed: set this radio aside.";
inline constexpr const char* kLastWriteUnanswered =
    "The radio gave no number back: check it with S/N Read, or set this radio aside.";
inline constexpr const char* kLastWriteDiffers = "The number read back differs: set this radio aside.";

class TfrmSerialW final : public QDialog {
    Q_OBJECT
public:
    // today gives the initial year and month.
    TfrmSerialW(TProgramState& state, TServiceHost host, QWidget* parent = nullptr,
                QDate today = QDate::currentDate());

    void SnWrite();
    void ChDataSnWrite();
    void SnRead();
    // Recomputes the next serial number from the four edits.
    void UpdateNextSerial();
    mv53::serialw::TSerialFields Fields() const;

    mv53::service::TTwoStateEdit* edtYear = nullptr;
    mv53::service::TTwoStateEdit* edtMonth = nullptr;
    mv53::service::TTwoStateEdit* edtLot = nullptr;
    mv53::service::TTwoStateEdit* edtSerial = nullptr;
    QLineEdit* edtSerialNo = nullptr;
    QLineEdit* edtReadSerialNo = nullptr;
    QLabel* lblLastWrite = nullptr;
    QPushButton* btnSnWrite = nullptr;
    QPushButton* btnChWrite = nullptr;
    QPushButton* btnSnRead = nullptr;
    QPushButton* btnClose = nullptr;

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void reject() override;

private:
    // Runs one command with everything else disabled; a command asked for meanwhile is ignored.
    void RunExclusive(void (TfrmSerialW::*command)());
    void SetBusy(bool busy);
    void WriteNextNumber();
    void WriteChannelsAndNumber();
    void ReadNumber();
    void SetFields(const mv53::serialw::TSerialFields& fields);

    TProgramState& m_state;
    TServiceHost m_host;
    bool m_busy = false;
};
