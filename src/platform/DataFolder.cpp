#include "platform/DataFolder.h"

#include <cstdlib>

namespace mv53::platform {

namespace {
std::string Env(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}
}  // namespace

std::string DataFolder()
{
    if (std::string own = Env("MV53_DATA_DIR"); !own.empty())
        return own;
#ifdef _WIN32
    const std::string appData = Env("APPDATA");
    return appData.empty() ? std::string() : appData + "\\MV53";
#else
    if (const std::string xdg = Env("XDG_DATA_HOME"); !xdg.empty())
        return xdg + "/MV53";
    const std::string home = Env("HOME");
    return home.empty() ? std::string() : home + "/.local/share/MV53";
#endif
}

}  // namespace mv53::platform
