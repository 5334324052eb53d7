// The main window's "&Firmware Update": the firmware window, modal, on the program state. No
// records are exchanged and the grid is not committed; the COM port it may change shows in the
// system panel afterwards.

#include "app/Main.h"

#include "service/fw.h"

void TfrmMain::FirmwareUpdate()
{
    TfrmFSW dlg(m_state, this);
    dlg.exec();
    RefreshMainWindow();
}
