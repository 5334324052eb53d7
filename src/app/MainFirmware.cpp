// The main window's "&Firmware Update": the firmware window, modal, on the program state. No
// records are exchanged and the grid is not committed; a COM port chosen in it shows in the
// port panel at once and in the system panel afterwards.

#include "app/Main.h"

#include "service/fw.h"

void TfrmMain::FirmwareUpdate()
{
    TfrmFSW dlg(m_state, this);
    connect(&dlg, &TfrmFSW::ComPortChanged, this, &TfrmMain::UpdatePortPanel);
    dlg.exec();
    RefreshMainWindow();
}
