#pragma once
// TfrmMsg: the small modal "Firmware Update" progress window. It owns the writing procedure
// (and with it the serial port) for one run: 100 ms after it opens the procedure starts; its
// Cancel sets the stop flag. It closes when the procedure has ended.

#include "service/RadioFSW.h"

#include <QDialog>
#include <QTimer>

class QLabel;
class QPushButton;

class TfrmMsg final : public QDialog {
    Q_OBJECT
public:
    static constexpr int kStartDelayMs = 100;

    TfrmMsg(TProgramState& state, mv53::TFirmwareJob job, QWidget* parent = nullptr);

    mv53::TFirmwareWriter& Writer() { return m_writer; }
    QPushButton* btnCancel = nullptr;
    QLabel* Label1 = nullptr;

    // Runs the procedure now (the start timer calls it); closes the window when it has ended.
    void RunProcedure();
    void CancelClick();
    bool Started() const { return m_started; }

Q_SIGNALS:
    void CancelPressed();

protected:
    void reject() override;

private:
    mv53::TFirmwareWriter m_writer;
    mv53::TFirmwareJob m_job;
    QTimer m_start;
    bool m_started = false;
    bool m_running = false;
};
