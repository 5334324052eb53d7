#include "app/RadioLink.h"

#include "link/ConfigComPort.h"
#include "link/Radio.h"

TRadioLink DefaultRadioLink()
{
    TRadioLink link;
    link.Transfer = &RunCloneWindow;
    link.Configure = [](int32_t& comPortNo, QWidget* parent) {
        int n = comPortNo;
        if (!ConfigureComPort(n, parent))
            return false;
        comPortNo = n;
        return true;
    };
    link.ConfigureWithBackup = [](int32_t& comPortNo, bool& backupBeforeWrite, QWidget* parent) {
        int n = comPortNo;
        if (!ConfigureComPort(n, parent, &backupBeforeWrite))
            return false;
        comPortNo = n;
        return true;
    };
    return link;
}
