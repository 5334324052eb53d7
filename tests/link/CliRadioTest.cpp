// mv53 upload and mv53 download as processes against the simulator in this process.

#include "RunProcess.h"
#include "SimRadio.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

using namespace mv53::test;

namespace {

// Cleared records with one channel in use, a serial number and a CW pitch.
TMVmem RecordsWith(int channel, const std::string& tag, const std::string& serial, int cwPitch)
{
    return ClearedRecords([&](TMVmem& mem) {
        mem.Channels().Items(channel).SetStatus(mv53::kChannelUsed);
        mem.Channels().Items(channel).SetTag(tag);
        mem.FactoryOpt().SetSerialNo(serial);
        mem.FactoryOpt().SetCwPitch(cwPitch);
    });
}

class CliRadio : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.Ok()); }
    ProcessResult Mv53(const std::vector<std::string>& args, const std::vector<std::string>& env = {})
    {
        return RunProcess(MV53_CLI_PATH, args, {env, {}});
    }

    ScratchDir dir;
    std::unique_ptr<mv53::radiosim::RadioSimulator> radio = StartedRadio(RadioMemory(RecordsWith(3, "OLD", "6E000042", 1)));
};

// Standard error without the "backup: PATH" lines of the radio's backups (their own tests check them).
std::string WithoutBackupLines(const std::string& err)
{
    std::string out;
    std::istringstream lines(err);
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("backup: ", 0) != 0)
            out += line + "\n";
    return out;
}

// A frequency outside the radio's range is warned of and written all the same.
TEST_F(CliRadio, DownloadWritesUserDataThenTheFactoryAreaWithTheRadiosSerial)
{
    TMVmem mem = RecordsWith(42, "CLI", "00000000", 4);
    mem.Channels().Items(42).TxFreq().FromFloat(0.6);
    const ProcessResult r = Mv53({"download", "--port=" + radio->DevicePath(), dir.Write("in.m53", DataFileBytes(mem))});
    EXPECT_EQ(r.status, 0) << r.err;
    // The user data and the read-back run in a chain: only the last transfer reports.
    EXPECT_EQ(WithoutBackupLines(r.err), "warning: CH-043 transmit frequency 0.60000 MHz is outside the radio's range 1.6-30 MHz\n"
                     "Download is completed\n");
    const TMVmem after = RecordsOf(radio->GetMemory());
    EXPECT_EQ(after.Channels().Items(42).Tag(), "CLI");
    EXPECT_EQ(after.Channels().Items(42).TxFreq().ToScaled(5), 60000);
    EXPECT_EQ(after.Channels().Items(3).Status(), mv53::kChannelEmpty);
    EXPECT_EQ(after.FactoryOpt().CwPitch(), 4);
    EXPECT_EQ(after.FactoryOpt().SerialNo(), "6E000042");
}

// Status 1 and the reason; a file that does not look like a data file is refused before the
// port is opened, and --force sends it. COM4 is the device that MV53_PORTS binds it to for this
// run, never written back.
TEST_F(CliRadio, FailuresExitWithOneAndSayWhy)
{
    const std::string photo = dir.Write("photo.m53", PictureFileBytes());
    const std::string deviation = photo + " does not look like a KT-4680 data file: it does not begin with the model id \"kt468h\"";
    const std::vector<std::string> photoArgs{"download", "--port", "COM4", "--config", dir.Path("MV53Win.ini"), photo};
    const struct Case {
        std::vector<std::string> args;
        std::string err;   // part of the standard error
    } cases[] = {
        {{"upload", "--port", "/dev/mv53-none", dir.Path("x.m53")}, "Upload error\nCannot open /dev/mv53-none: there is no such device"},
        {{"upload", dir.Path("x.m53")}, "usage: mv53 upload"},
        {{"download", "--port", "/dev/null", dir.Path("missing.m53")}, "File read error"},
        {photoArgs, deviation + ".\nNothing was sent; --force downloads it all the same.\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + c.args.back());
        const ProcessResult r = Mv53(c.args, {"MV53_PORTS=COM4=" + radio->DevicePath()});
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.Path("x.m53")));
    EXPECT_EQ(radio->BytesReceived(), 0u);

    auto forced = photoArgs;
    forced.push_back("--force");
    const ProcessResult r = Mv53(forced, {"MV53_PORTS=COM4=" + radio->DevicePath()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(WithoutBackupLines(r.err), "warning: " + deviation + "\nDownload is completed\n");
    EXPECT_FALSE(radio->Frames().empty());
    EXPECT_FALSE(std::filesystem::exists(dir.Path("MV53Win.ini")));
}

TEST_F(CliRadio, UploadOverABoundComPortSavesTheRadioAsADataFile)
{
    radio->SetMemory(RadioMemory(RecordsWith(12, "UP", "6E000042", 5)));
    // The radio's device as udev would name the adapter, and a configuration file that binds
    // COM3 to the device's kernel name among keys of its own.
    const std::string link = dir.Path("by-id/usb-Maker_UXC-40_0042-if00");
    std::filesystem::create_directory(dir.Path("by-id"));
    std::filesystem::create_symlink(radio->DevicePath(), link);
    const std::string ini = dir.Write("MV53Win.ini", "[COMM]\nCOMPortNo=2\n[PORTS]\nCOM3=" + radio->DevicePath() +
                                                         "\nCOM7=" + radio->DevicePath() + "\n");
    const ProcessResult r = Mv53({"upload", "--port", "com3", "--config", ini, dir.Path("out.m53")},
                                 {"MV53_SERIAL_BY_ID=" + dir.Path("by-id")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(WithoutBackupLines(r.err), "Upload is completed\n");
    const std::string file = ReadFile(dir.Path("out.m53"));
    ASSERT_EQ(file.size(), mv53::radiosim::kMemorySize);
    mv53::radiosim::Memory image{};
    std::copy(file.begin(), file.end(), image.begin());
    const TMVmem mem = RecordsOf(image);
    EXPECT_EQ(mem.Channels().Items(12).Tag(), "UP");
    EXPECT_EQ(mem.FactoryOpt().CwPitch(), 5);
    EXPECT_EQ(mem.FactoryOpt().SerialNo(), "00000000");   // a data file carries no serial number

    // COM3 was bound to the adapter's stable link, among the file's keys of its own; COM7 named
    // the same device: it is unbound now.
    const std::string text = ReadFile(ini);
    EXPECT_NE(text.find("COM3=" + link), std::string::npos) << text;
    EXPECT_NE(text.find("COMPortNo=2"), std::string::npos) << text;
    EXPECT_EQ(text.find("COM7=/"), std::string::npos) << text;
}

}  // namespace
