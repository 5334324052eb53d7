#include "app/RadioLink.h"

#include "link/ConfigComPort.h"
#include "link/Radio.h"

TRadioLink DefaultRadioLink()
{
    TRadioLink link;
    link.Upload = [](TProgramState& state, QWidget* parent) { return RadioUpload(state, parent); };
    link.Download = [](TProgramState& state, int kind, QWidget* parent) { return RadioDownload(state, kind, parent); };
    link.Configure = [](int32_t& comPortNo, QWidget* parent) {
        int n = comPortNo;
        if (!ConfigureComPort(n, parent))
            return false;
        comPortNo = n;
        return true;
    };
    return link;
}
