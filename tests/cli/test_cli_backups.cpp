// mv53 upload, download and backups as processes against the radiosim program: what is kept,
// when the radio is read first and what is said on standard error.

#include "DocTestSupport.h"
#include "RunProcess.h"
#include "SimProgram.h"
#include "document/BackupStore.h"

#include <gtest/gtest.h>

#include <sstream>

namespace mv53::test {
namespace {

class CliBackups : public ::testing::Test {
protected:
    ScratchDir dir;
    SimProgram radio;
    std::string prior = dir.Write("prior.m53", DataFileBytes(ClearedRecords([](TMVmem& m) { SetTag(m, "PRIOR"); })));
    std::string next = dir.Write("next.m53", DataFileBytes(ClearedRecords([](TMVmem& m) { SetTag(m, "NEXT"); })));

    ProcessResult Mv53(std::vector<std::string> args) const
    {
        ProcessOptions options;
        options.env = {"MV53_DATA_DIR=" + dir.Path("data")};
        return RunProcess(MV53_EXE, args, options);
    }
    // The paths named on "backup: " lines, in order.
    static std::vector<std::string> Backups(const std::string& err)
    {
        std::vector<std::string> paths;
        std::istringstream lines(err);
        for (std::string line; std::getline(lines, line);)
            if (line.rfind("backup: ", 0) == 0)
                paths.push_back(line.substr(8));
        return paths;
    }
};

TEST_F(CliBackups, UploadKeepsTheRadiosImageAndBackupsListsIt)
{
    ASSERT_TRUE(radio.Start({"--image", prior}));
    const ProcessResult up = Mv53({"upload", "--port", radio.Device(), dir.Path("up.m53")});
    ASSERT_EQ(up.status, 0) << up.err;
    const auto paths = Backups(up.err);
    ASSERT_EQ(paths.size(), 1u) << up.err;
    EXPECT_EQ(ReadFile(paths[0]), ReadFile(prior));
    EXPECT_EQ(ReadFile(paths[0]), ReadFile(dir.Path("up.m53")));

    const ProcessResult list = Mv53({"backups"});
    EXPECT_EQ(list.status, 0);
    EXPECT_NE(list.out.find(std::string(kUnknownSerial) + " "), std::string::npos);
    EXPECT_NE(list.out.find(" upload " + paths[0] + "\n"), std::string::npos) << list.out;
}

TEST_F(CliBackups, DownloadBacksUpFirstUnlessTold)
{
    ASSERT_TRUE(radio.Start({"--image", prior, "--save", dir.Path("after.m53")}));
    const ProcessResult down = Mv53({"download", "--port", radio.Device(), next});
    ASSERT_EQ(down.status, 0) << down.err;
    const auto paths = Backups(down.err);
    ASSERT_EQ(paths.size(), 2u) << down.err;
    EXPECT_NE(paths[0].find("_before-write.m53"), std::string::npos);
    EXPECT_EQ(ReadFile(paths[0]), ReadFile(prior));
    EXPECT_NE(paths[1].find("_read-back.m53"), std::string::npos);
    EXPECT_LT(down.err.find("backup: "), down.err.find("Download is completed"));

    // Without the backup the write goes at once; the read-back is kept still.
    const ProcessResult again = Mv53({"download", "--port", radio.Device(), "--no-backup", prior});
    ASSERT_EQ(again.status, 0) << again.err;
    ASSERT_EQ(Backups(again.err).size(), 1u);
    EXPECT_NE(Backups(again.err)[0].find("_read-back.m53"), std::string::npos);
}

TEST_F(CliBackups, ASilentRadioStopsTheDownloadBeforeAnythingIsSent)
{
    ASSERT_TRUE(radio.Start({"--silent", "--image", prior, "--save", dir.Path("after.m53")}));
    const ProcessResult down = Mv53({"download", "--port", radio.Device(), next});
    EXPECT_EQ(down.status, 1);
    EXPECT_TRUE(Backups(down.err).empty());
    EXPECT_NE(down.err.find("Upload error"), std::string::npos) << down.err;
    radio.Stop();
    EXPECT_EQ(ReadFile(dir.Path("after.m53")), ReadFile(prior));
}

}  // namespace
}  // namespace mv53::test
