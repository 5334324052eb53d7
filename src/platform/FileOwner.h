#pragma once
// Owner, group and access rights of a file that a new file replaces. Plain C++ over the
// system's calls; where the system has no owners (Windows) there is nothing to keep.

#include <cstdio>
#include <string>

namespace mv53::platform {

// Gives the open new file the owner, group and access rights of the file at replaced. False
// when the owner or group cannot be given (another user's file) or either file cannot be
// examined.
bool TakeOwnerAndMode(std::FILE* newFile, const std::string& replaced);

}  // namespace mv53::platform
