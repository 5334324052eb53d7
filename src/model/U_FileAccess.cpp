#include "model/U_FileAccess.h"

bool ReadDataFile(const std::string&, TMVmem&, TText&) { return false; }
bool WriteDataFile(const std::string&, TMVmem&, TText&) { return false; }

namespace mv53 {
std::string WithFileName(const char* text, const std::string& fileName)
{
    std::string s = text;
    size_t pos = s.find("%s");
    if (pos != std::string::npos)
        s.replace(pos, 2, fileName);
    return s;
}
}  // namespace mv53
