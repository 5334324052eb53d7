#include "PortOption.h"

#include "link/TraceRecording.h"
#include "platform/ConfigLocation.h"
#include "platform/IniFile.h"
#include "platform/PortMap.h"
#include "platform/PortsSection.h"
#include "state/U_Global.h"

#include <QDir>
#include <QFileInfo>

#include <iostream>

namespace mv53::cli {

namespace {

// A present device behind n is bound to n by its stable path and written back, so that COMn
// stays that device when other adapters are plugged in.
void BindChosenPort(int portNo, TIniFile& ini, const QString& path)
{
    using platform::PortMap;
    const std::string device = PortMap::DevicePathForPort(portNo);
    if (device.empty() || !QFileInfo::exists(QString::fromStdString(device)))
        return;
    PortMap::Choose(portNo, device);
    const auto chosen = PortMap::ChosenBindings();
    if (chosen.empty())
        return;
    platform::WritePortsSection(ini, chosen);
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!ini.Save(path))
        std::cerr << "warning: the port binding cannot be written to " << path.toStdString() << '\n';
}

}  // namespace

std::string ResolvePortOption(const std::string& port, const std::string& configPath, TProgramState& state)
{
    using platform::PortMap;
    const int n = PortMap::PortNumberFromName(port);
    if (n <= 0)
        return port;
    state.ComPortNo = n - 1;

    // The windows' configuration file unless one is named: COMn follows its port bindings.
    const QString path = configPath.empty() ? platform::ConfigFilePath(QStringLiteral("MV53Win.ini"))
                                            : QString::fromStdString(configPath);
    TIniFile ini;
    ini.Load(path);
    PortMap::ClearBindings();
    PortMap::SetBindings(platform::ReadPortsSection(ini));
    // The bindings of this run go over the file's and are never written back.
    const std::string runBindings = qEnvironmentVariable("MV53_PORTS").toStdString();
    PortMap::BindForThisRun(runBindings);
    bool boundForRun = false;
    for (const auto& [name, device] : platform::ParsePortBindings(runBindings))
        boundForRun = boundForRun || PortMap::PortNumberFromName(name) == n;
    if (!boundForRun)
        BindChosenPort(n, ini, path);
    return {};
}

bool StartTraceOption(const std::string& path)
{
    if (path.empty())
        return true;
    if (const std::string error = StartSerialTrace(path); !error.empty()) {
        std::cerr << error << '\n';
        return false;
    }
    return true;
}

int FinishTrace(const char* command, int status)
{
    if (const std::string error = StopSerialTrace(); !error.empty()) {
        std::cerr << "mv53 " << command << ": " << error << '\n';
        return 1;
    }
    return status;
}

}  // namespace mv53::cli
