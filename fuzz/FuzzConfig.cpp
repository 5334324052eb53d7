// libFuzzer target: any bytes as the configuration file. What the reader keeps must read back
// the same after the program writes the file again, and the port bindings stay readable.

#include "platform/IniFile.h"
#include "platform/PortsSection.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TIniFile ini;
    ini.LoadText(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    const auto ports = mv53::platform::ReadPortsSection(ini);
    (void)ini.ReadInteger(QStringLiteral("COMM"), QStringLiteral("COMPortNo"), 0);

    TIniFile again;
    again.LoadText(ini.Text());
    if (mv53::platform::ReadPortsSection(again) != ports)
        std::abort();
    // Writing the same file twice gives the same text.
    if (again.Text() != ini.Text())
        std::abort();
    mv53::platform::WritePortsSection(again, ports);
    if (mv53::platform::ReadPortsSection(again) != ports)
        std::abort();
    return 0;
}
