#pragma once
// Expected report pages kept as text files beside the tests, compared line by line. The failure
// names the file and the first line that differs. With MV53_UPDATE_PAGES=1 in the environment a
// comparison writes the page it got into the file instead (review the change before committing).

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace mv53::test {

inline std::string ReadTextFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// actual against the file name in folder; the file's last line end is not part of the page.
inline ::testing::AssertionResult SamePageFile(const std::string& folder, const std::string& name, const std::string& actual)
{
    const std::string path = folder + "/" + name;
    if (const char* update = std::getenv("MV53_UPDATE_PAGES"); update && std::string(update) == "1") {
        std::ofstream(path, std::ios::binary) << actual << '\n';
        return ::testing::AssertionSuccess();
    }
    std::string expected = ReadTextFile(path);
    if (expected.empty())
        return ::testing::AssertionFailure() << "cannot read " << path;
    if (expected.back() == '\n')
        expected.pop_back();
    std::istringstream a(actual), e(expected);
    std::string lineA, lineE;
    for (int n = 1;; ++n) {
        const bool moreA = static_cast<bool>(std::getline(a, lineA));
        const bool moreE = static_cast<bool>(std::getline(e, lineE));
        if (moreE && !lineE.empty() && lineE.back() == '\r')   // a checkout with CR LF line ends
            lineE.pop_back();
        if (!moreA && !moreE)
            return ::testing::AssertionSuccess();
        if (moreA != moreE || lineA != lineE)
            return ::testing::AssertionFailure() << name << " line " << n << ":\n  expected: \""
                                                 << (moreE ? lineE : "<end of page>") << "\"\n  actual:   \""
                                                 << (moreA ? lineA : "<end of page>") << "\"";
    }
}

}  // namespace mv53::test
