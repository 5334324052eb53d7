#pragma once
// A program run as a process for the command-line tests: its exit status and what it wrote to
// standard output and standard error.

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace mv53::test {

struct ProcessResult {
    int status = -1;   // -1 when the program did not end by itself
    std::string out;
    std::string err;
};

inline std::string ReadWholeFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Runs program with args (texts without single quotes); its output goes through the files
// "out" and "err" of folder dir.
inline ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                                const std::filesystem::path& dir)
{
    std::string command = "'" + program + "'";
    for (const std::string& a : args)
        command += " '" + a + "'";
    command += " >'" + (dir / "out").string() + "' 2>'" + (dir / "err").string() + "'";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadWholeFile(dir / "out"), ReadWholeFile(dir / "err")};
}

}  // namespace mv53::test
