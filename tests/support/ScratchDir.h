#pragma once
// Files of a test run: a fresh folder removed at the end, and whole files read and written.
// Plain C++, so that the tests built for Windows use it too.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace mv53::test {

inline std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// A fresh folder under the temporary directory, removed with everything in it at the end.
class ScratchDir final {
public:
    ScratchDir()
    {
        std::random_device random;
        for (int attempt = 0; attempt < 100 && m_path.empty(); ++attempt) {
            const auto path = std::filesystem::temp_directory_path() / ("mv53-test-" + std::to_string(random()));
            std::error_code error;
            if (std::filesystem::create_directory(path, error))
                m_path = path.string();
        }
    }
    ~ScratchDir()
    {
        std::error_code ignored;
        if (!m_path.empty())
            std::filesystem::remove_all(m_path, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    bool Ok() const { return !m_path.empty(); }
    const std::string& Root() const { return m_path; }
    std::string Path(const std::string& name) const { return m_path + "/" + name; }
    // Writes bytes into the file name and gives its path.
    std::string Write(const std::string& name, const std::string& bytes) const
    {
        WriteFile(Path(name), bytes);
        return Path(name);
    }

private:
    std::string m_path;
};

}  // namespace mv53::test
