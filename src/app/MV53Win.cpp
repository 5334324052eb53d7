// MV53Win: the MV53 program with its windows. One copy per user; a second one ends at once.

#include "app/About.h"
#include "app/Main.h"
#include "app/QtPrompt.h"
#include "link/Radio.h"
#include "model/U_FileAccess.h"
#include "platform/DataFolder.h"
#include "platform/FileOwner.h"
#include "platform/SingleInstance.h"

#include <QApplication>

#include <cstdlib>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("MV53Win"));

    mv53::platform::SingleInstanceLock lock(QStringLiteral("MV53Win"));
    if (!lock.TryAcquire())
        return 0;

    mv53::QtPrompt prompt(TfrmAbout::ApplicationTitle());
    mv53::ScopedPrompt scoped(prompt);
    mv53::SetOwnerAndModeStep(&mv53::platform::TakeOwnerAndMode);

    TMainOptions options;
    options.Arguments = QCoreApplication::arguments().mid(1);
    // Bindings of COM ports for this run only (the demo radio), not kept in the configuration.
    options.PortBindings = QString::fromLocal8Bit(qgetenv("MV53_PORTS"));
    options.Link = DefaultRadioLink();
    options.DataDir = QString::fromStdString(mv53::platform::DataFolder());

    TfrmMain main(std::move(options));
    prompt.SetParent(&main);
    TfrmRadio::SetHelpHook([&main](int context) { main.ShowHelpContext(context); });
    main.show();
    const int result = QApplication::exec();
    TfrmRadio::SetHelpHook({});
    return result;
}
