#include "app/U_Helpdef.h"

#include "state/U_Global.h"
#include "platform/HelpViewer.h"

void ShowHelpContext(const TProgramState& state, int context)
{
    if (state.HelpFolder.empty())
        return;
    mv53::platform::HelpViewer(QString::fromStdString(state.HelpFolder))
        .Show(QString::fromStdString(state.HelpFileName), context);
}
