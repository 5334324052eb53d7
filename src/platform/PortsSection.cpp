#include "platform/PortsSection.h"

namespace mv53::platform {

std::map<std::string, std::string> ReadPortsSection(const TIniFile& ini)
{
    const QString section = QString::fromLatin1(kPortsSection);
    std::map<std::string, std::string> bindings;
    for (const QString& key : ini.Keys(section)) {
        const QString device = ini.ReadString(section, key);
        if (!device.isEmpty())
            bindings[key.toUpper().toStdString()] = device.toStdString();
    }
    return bindings;
}

void WritePortsSection(TIniFile& ini, const std::map<std::string, std::string>& bindings)
{
    const QString section = QString::fromLatin1(kPortsSection);
    for (const auto& [name, device] : bindings)
        ini.WriteString(section, QString::fromStdString(name), QString::fromStdString(device));
}

}  // namespace mv53::platform
