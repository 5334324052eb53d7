// mv53 upload and mv53 download as processes against the simulator in this process, and serial
// traces end to end: mv53 records its talk with the simulator, radiosim --replay plays the
// radio's side of the trace back, and the program meets the same radio again. Traces of failures
// kept under traces/ give the program's failure texts without the radio; and the radio's backups
// that upload and download keep.

#include "RunProcess.h"
#include "SimProgram.h"
#include "SimRadio.h"

#include "document/BackupStore.h"

#include "platform/SerialTrace.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>

using namespace mv53::test;
using mv53::platform::TraceEvent;
using mv53::platform::TraceKind;

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

// mv53 run as a process on files in a folder of the test's own.
class CliProcess : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.Ok()); }
    ProcessResult Mv53(const std::vector<std::string>& args, const std::vector<std::string>& env = {})
    {
        return RunProcess(MV53_CLI_PATH, args, {env, {}});
    }

    ScratchDir dir;
};

class CliRadio : public CliProcess {
protected:
    std::unique_ptr<mv53::radiosim::RadioSimulator> radio = StartedRadio(RadioMemory(RecordsWith(3, "OLD", "6E000042", 1)));
};

// Standard error without the "backup: PATH" lines of the radio's backups (their own tests check
// them); their paths go to backups.
std::string WithoutBackupLines(const std::string& err, std::vector<std::string>* backups = nullptr)
{
    std::string out;
    std::istringstream lines(err);
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("backup: ", 0) != 0)
            out += line + "\n";
        else if (backups)
            backups->push_back(line.substr(8));
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

// Run by a user who may not write the program's folder, mv53 keeps the port binding in the
// user's configuration folder; when the user may not write the file there either, the upload
// still runs and a warning names the file.
TEST_F(CliRadio, AUserWhoMayNotWriteTheProgramFolderKeepsTheBindingInTheConfigurationFolder)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to act as a second user";
    const std::string device = radio->DevicePath();
    ASSERT_EQ(::chmod(device.c_str(), 0666), 0);
    ASSERT_EQ(::chmod(dir.Root().c_str(), 0755), 0);
    std::filesystem::create_directories(dir.Path("home/.config/MV53Win"));
    std::filesystem::create_directory(dir.Path("by-id"));
    const std::string link = dir.Path("by-id/usb-Maker_UXC-40_0042-if00");
    std::filesystem::create_symlink(device, link);
    const std::string bound = "[PORTS]\nCOM3=" + device + "\n";
    const std::string ini = dir.Write("home/.config/MV53Win/MV53Win.ini", bound);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.Path("home")))
        ASSERT_EQ(::chown(entry.path().c_str(), kOtherUserId, kOtherUserId), 0);
    ASSERT_EQ(::chown(dir.Path("home").c_str(), kOtherUserId, kOtherUserId), 0);
    const auto upload = [&] {
        return RunProcessAs(kOtherUserId, MV53_CLI_PATH, {"upload", "--port", "COM3", dir.Path("home/out.m53")},
                            {{"HOME=" + dir.Path("home"), "XDG_CONFIG_HOME=" + dir.Path("home/.config"),
                              "MV53_DATA_DIR=" + dir.Path("home/data"), "MV53_SERIAL_BY_ID=" + dir.Path("by-id")},
                             {}});
    };

    ProcessResult r = upload();
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(WithoutBackupLines(r.err), "Upload is completed\n");
    EXPECT_EQ(ReadFile(ini), "[PORTS]\nCOM3=" + link + "\n");

    dir.Write("home/.config/MV53Win/MV53Win.ini", bound);
    ASSERT_EQ(::chown(ini.c_str(), 0, 0), 0);
    r = upload();
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(WithoutBackupLines(r.err), "warning: the port binding cannot be written to " + ini + "\nUpload is completed\n");
    EXPECT_EQ(ReadFile(ini), bound);
}

// ---- Serial traces ----

class TraceReplay : public CliProcess {
protected:
    // radiosim --replay TRACE, once it has named its device.
    std::unique_ptr<Process> Replay(const std::string& trace, std::string& device)
    {
        auto process = std::make_unique<Process>(MV53_RADIOSIM_PATH, std::vector<std::string>{"--replay", trace});
        device = process->ReadLine();
        EXPECT_FALSE(device.empty()) << process->Finish(5000).err;
        return process;
    }
    std::vector<TraceEvent> Events(const std::string& trace)
    {
        std::vector<TraceEvent> events;
        std::string error;
        EXPECT_TRUE(mv53::platform::ReadSerialTrace(ReadFile(trace), events, error)) << error;
        return events;
    }
};

TEST_F(TraceReplay, ARecordedUploadReplaysToTheSameFileAndAnotherExchangeIsNamedWhereItParts)
{
    TMVmem records = ClearedRecords([](TMVmem& mem) {
        mem.Channels().Items(6).SetStatus(mv53::kChannelUsed);
        mem.Channels().Items(6).SetTag("TRACE");
    });
    auto radio = StartedRadio(RadioMemory(records));
    const std::string trace = dir.Path("upload.trace");
    ProcessResult r = Mv53({"upload", "--port", radio->DevicePath(), "--trace", trace, dir.Path("live.m53")});
    ASSERT_EQ(r.status, 0) << r.err;
    radio.reset();
    const std::vector<TraceEvent> events = Events(trace);
    ASSERT_GE(events.size(), 4u);
    EXPECT_EQ(events[0].kind, TraceKind::Open);
    EXPECT_EQ(events[1].text, "9600 8N2");
    EXPECT_EQ(events.back().kind, TraceKind::Close);

    std::string device;
    auto replay = Replay(trace, device);
    r = Mv53({"upload", "--port", device, dir.Path("replayed.m53")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFile(dir.Path("replayed.m53")), ReadFile(dir.Path("live.m53")));
    ProcessResult played = replay->Finish(10000);
    EXPECT_EQ(played.status, 0) << played.err;

    // A download (without its backup read) identifies the radio as an upload does, then asks
    // to write: the replay names the trace's second question and what the program sent instead.
    replay = Replay(trace, device);
    Mv53({"download", "--no-backup", "--port", device, dir.Path("live.m53")});
    played = replay->Finish(10000);
    EXPECT_EQ(played.status, 1);
    const auto tx = std::ranges::find(std::ranges::find(events, TraceKind::Tx, &TraceEvent::kind) + 1, events.end(),
                                      TraceKind::Tx, &TraceEvent::kind);
    EXPECT_NE(played.err.find("radiosim: the program parted from the trace at line " + std::to_string(tx->line) +
                              ": the trace has tx 00 01 00 00 00 00 00 00 00 00 00 00 00 00 00 00 ..., the program "
                              "sent 00 02 00 C6"),
              std::string::npos)
        << played.err;
}

// MV53_TRACE records the whole download chain, one open and close for each transfer; the
// replay follows the program through the four sessions (backup read, user data, read-back,
// factory area).
TEST_F(TraceReplay, TheWholeRunIsRecordedAndReplayedAcrossReopenedPorts)
{
    auto radio = StartedRadio();
    const std::string file = dir.Write("in.m53", DataFileBytes(ClearedRecords()));
    const std::string trace = dir.Path("run.trace");
    ProcessResult r = Mv53({"download", "--port", radio->DevicePath(), file}, {"MV53_TRACE=" + trace});
    ASSERT_EQ(r.status, 0) << r.err;
    radio.reset();
    const std::vector<TraceEvent> events = Events(trace);
    EXPECT_EQ(std::ranges::count(events, TraceKind::Open, &TraceEvent::kind), 4);
    EXPECT_EQ(std::ranges::count(events, TraceKind::Close, &TraceEvent::kind), 4);

    std::string device;
    auto replay = Replay(trace, device);
    r = Mv53({"download", "--port", device, file});
    EXPECT_EQ(r.status, 0) << r.err;
    const ProcessResult played = replay->Finish(20000);
    EXPECT_EQ(played.status, 0) << played.err;

    // A trace file that cannot be written stops the command before the port is opened.
    radio = StartedRadio();
    r = Mv53({"upload", "--port", radio->DevicePath(), "--trace", dir.Path("none/x.trace"), dir.Path("x.m53")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot write the serial trace " + dir.Path("none/x.trace")), std::string::npos) << r.err;
    EXPECT_EQ(radio->BytesReceived(), 0u);
    // One that cannot be written whole (a full disk) fails the command that went well.
    r = Mv53({"upload", "--port", radio->DevicePath(), "--trace", "/dev/full", dir.Path("x.m53")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("mv53 upload: the serial trace /dev/full could not be written whole"), std::string::npos) << r.err;
}

// Recorded failures, replayed: the program ends with the text it gives with the radio.
TEST_F(TraceReplay, RecordedFailuresGiveTheProgramsFailureTexts)
{
    const struct {
        const char* trace;
        const char* text;
    } rows[] = {
        {"silent-after-first-block.trace", "Upload error\nNo answer from the radio on "},
        {"wrong-checksum.trace", "Checksum error\nBlock 500 arrived with a wrong checksum.\n"},
        {"hangup-mid-transfer.trace", "disappeared during the transfer (block 504)."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.trace);
        std::string device;
        auto replay = Replay(std::string(MV53_TRACE_DIR) + "/" + row.trace, device);
        const ProcessResult r = Mv53({"upload", "--port", device, dir.Path("x.m53")});
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find(row.text), std::string::npos) << r.err;
        const ProcessResult played = replay->Finish(20000);
        EXPECT_EQ(played.status, 0) << played.err;
    }
}

// ---- Backups ----

// Backups of upload and download against the radiosim program: what is kept, when the radio is
// read first and what is said on standard error.
class CliBackups : public CliProcess {
protected:
    SimProgram radio;
    std::string prior = dir.Write("prior.m53", DataFileBytes(RecordsWith(0, "PRIOR", "", 6)));
    std::string next = dir.Write("next.m53", DataFileBytes(RecordsWith(0, "NEXT", "", 6)));

    ProcessResult Mv53(const std::vector<std::string>& args) { return CliProcess::Mv53(args, {"MV53_DATA_DIR=" + dir.Path("data")}); }
    // The paths named on "backup: " lines, in order.
    static std::vector<std::string> Backups(const std::string& err)
    {
        std::vector<std::string> paths;
        WithoutBackupLines(err, &paths);
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
    EXPECT_NE(list.out.find(std::string(mv53::kUnknownSerial) + " "), std::string::npos);
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
