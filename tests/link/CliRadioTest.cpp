// mv53 upload and mv53 download as processes against the radiosim program.

#include "model/U_E2prom.h"
#include "model/U_FileAccess.h"
#include "RadioSimulator.h"
#include "ScriptedPrompt.h"
#include "TestRecords.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <string>

namespace sim = mv53::radiosim;

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

class CliRadio : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    void TearDown() override { stopRadio(); }

    std::string path(const char* name) const { return dir.filePath(QString::fromLatin1(name)).toStdString(); }

    // Starts radiosim on a memory file; its first line of output is the device to open.
    void startRadio(const sim::Memory& memory, const QStringList& extra = {})
    {
        ASSERT_TRUE(sim::WriteMemoryFile(path("radio.m53"), memory));
        radio.setProgram(QStringLiteral(MV53_RADIOSIM_PATH));
        radio.setArguments(QStringList{QStringLiteral("--image"), q(path("radio.m53")), QStringLiteral("--save"),
                                       q(path("radio-after.m53"))} + extra);
        radio.start();
        ASSERT_TRUE(radio.waitForStarted(10000));
        while (!radio.canReadLine())
            ASSERT_TRUE(radio.waitForReadyRead(10000)) << radio.readAllStandardError().toStdString();
        device = QString::fromUtf8(radio.readLine()).trimmed().toStdString();
        ASSERT_FALSE(device.empty());
    }

    // Stops radiosim and gives the memory it saved.
    sim::Memory stopRadio()
    {
        sim::Memory memory{};
        if (radio.state() == QProcess::NotRunning)
            return memory;
        radio.terminate();
        EXPECT_TRUE(radio.waitForFinished(10000));
        EXPECT_TRUE(sim::ReadMemoryFile(path("radio-after.m53"), memory));
        return memory;
    }

    int mv53(const QStringList& args, const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment())
    {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(MV53_CLI_PATH), args);
        EXPECT_TRUE(p.waitForFinished(120000));
        err = p.readAllStandardError().toStdString();
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }

    // Cleared records with one channel in use, a serial number and a CW pitch.
    static TMVmem recordsWith(int channel, const std::string& tag, const std::string& serial, int cwPitch)
    {
        return mv53::test::ClearedRecords([&](TMVmem& mem) {
            mem.Channels().Items(channel).SetStatus(mv53::kChannelUsed);
            mem.Channels().Items(channel).SetTag(tag);
            mem.FactoryOpt().SetSerialNo(serial);
            mem.FactoryOpt().SetCwPitch(cwPitch);
        });
    }
    static sim::Memory memoryWith(int channel, const std::string& tag, const std::string& serial, int cwPitch)
    {
        return mv53::test::EncodedImage(recordsWith(channel, tag, serial, cwPitch), true).Raw();
    }

    static TMVmem decode(const sim::Memory& memory)
    {
        TText image;
        image.Raw() = memory;
        TMVmem mem;
        DecodeImage(image, mem);
        return mem;
    }

    QTemporaryDir dir;
    QProcess radio;
    std::string device;
    std::string err;
};

// A frequency outside the radio's range is warned of and written all the same.
TEST_F(CliRadio, DownloadWritesUserDataThenTheFactoryAreaWithTheRadiosSerial)
{
    startRadio(memoryWith(3, "OLD", "6E000042", 1));
    {
        mv53::test::ScriptedPrompt prompt;
        mv53::ScopedPrompt scoped(prompt);
        TMVmem mem = recordsWith(42, "CLI", "00000000", 4);
        mem.Channels().Items(42).TxFreq().FromFloat(0.6);
        TText image;
        ASSERT_TRUE(WriteDataFile(path("in.m53"), mem, image));
    }
    EXPECT_EQ(mv53({QStringLiteral("download"), QStringLiteral("--port=") + q(device), q(path("in.m53"))}), 0) << err;
    // The user data and the read-back run in a chain: only the last transfer reports.
    EXPECT_EQ(err, "warning: CH-043 transmit frequency 0.60000 MHz is outside the radio's range 1.6-30 MHz\n"
                   "Download is completed\n");
    const TMVmem after = decode(stopRadio());
    EXPECT_EQ(after.Channels().Items(42).Tag(), "CLI");
    EXPECT_EQ(after.Channels().Items(42).TxFreq().ToScaled(5), 60000);
    EXPECT_EQ(after.Channels().Items(3).Status(), mv53::kChannelEmpty);
    EXPECT_EQ(after.FactoryOpt().CwPitch(), 4);
    EXPECT_EQ(after.FactoryOpt().SerialNo(), "6E000042");
}

TEST_F(CliRadio, FailuresExitWithOneAndSayWhy)
{
    EXPECT_EQ(mv53({QStringLiteral("upload"), QStringLiteral("--port"), QStringLiteral("/dev/mv53-none"),
                    q(path("x.m53"))}),
              1);
    EXPECT_EQ(err.rfind("Upload error\nCannot open /dev/mv53-none: there is no such device", 0), 0u) << err;
    EXPECT_FALSE(QFile::exists(q(path("x.m53"))));

    EXPECT_EQ(mv53({QStringLiteral("upload"), q(path("x.m53"))}), 1);
    EXPECT_NE(err.find("usage: mv53 upload"), std::string::npos);
    EXPECT_EQ(mv53({QStringLiteral("download"), QStringLiteral("--port"), QStringLiteral("/dev/null"),
                    q(path("missing.m53"))}),
              1);
    EXPECT_NE(err.find("File read error"), std::string::npos) << err;
}

TEST_F(CliRadio, UploadOverABoundComPortSavesTheRadioAsADataFile)
{
    startRadio(memoryWith(12, "UP", "6E000042", 5));
    // The radio's device as udev would name the adapter, and a configuration file that binds
    // COM3 to the device's kernel name among keys of its own.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("by-id")));
    const QString link = q(path("by-id/usb-Maker_UXC-40_0042-if00"));
    ASSERT_TRUE(QFile::link(q(device), link));
    const QString ini = q(path("MV53Win.ini"));
    {
        QFile f(ini);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray("[COMM]\nCOMPortNo=2\n[PORTS]\nCOM3=") + QByteArray::fromStdString(device) +
                QByteArray("\nCOM7=") + QByteArray::fromStdString(device) + QByteArray("\n"));
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("MV53_SERIAL_BY_ID"), q(path("by-id")));
    EXPECT_EQ(mv53({QStringLiteral("upload"), QStringLiteral("--port"), QStringLiteral("com3"), QStringLiteral("--config"),
                    ini, q(path("out.m53"))},
                   env),
              0)
        << err;
    EXPECT_EQ(err, "Upload is completed\n");
    mv53::test::ScriptedPrompt prompt;
    mv53::ScopedPrompt scoped(prompt);
    TMVmem mem;
    TText image;
    ASSERT_TRUE(ReadDataFile(path("out.m53"), mem, image));
    EXPECT_EQ(mem.Channels().Items(12).Tag(), "UP");
    EXPECT_EQ(mem.FactoryOpt().CwPitch(), 5);
    EXPECT_EQ(mem.FactoryOpt().SerialNo(), "00000000");   // a data file carries no serial number

    // COM3 was bound to the adapter's stable link, among the file's keys of its own.
    QFile f(ini);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(f.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral("COM3=") + link)) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("COMPortNo=2"))) << text.toStdString();
    // COM7 named the same device: it is unbound now.
    EXPECT_FALSE(text.contains(QStringLiteral("COM7=/"))) << text.toStdString();
}

// A file that does not look like a data file is refused before the port is opened; --force
// sends it. COM4 is the device that MV53_PORTS binds it to for this run, never written back.
TEST_F(CliRadio, DownloadRefusesAFileThatIsNoDataFileUnlessForced)
{
    sim::RadioSimulator radio(memoryWith(3, "OLD", "6E000042", 1));
    ASSERT_TRUE(radio.Start()) << radio.LastError();
    const std::string photo = path("photo.m53");
    {
        QFile f(q(photo));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray::fromStdString(mv53::test::PictureFileBytes()));
    }
    const std::string deviation = " does not look like a KT-4680 data file: it does not begin with the model id \"kt468h\"";
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("MV53_PORTS"), QStringLiteral("COM4=") + q(radio.DevicePath()));
    const QStringList args{QStringLiteral("download"), QStringLiteral("--port"), QStringLiteral("COM4"),
                           QStringLiteral("--config"), q(path("MV53Win.ini")), q(photo)};
    EXPECT_EQ(mv53(args, env), 1);
    EXPECT_EQ(err, photo + deviation + ".\nNothing was sent; --force downloads it all the same.\n");
    EXPECT_EQ(radio.BytesReceived(), 0u);

    EXPECT_EQ(mv53(args + QStringList{QStringLiteral("--force")}, env), 0) << err;
    EXPECT_EQ(err, "warning: " + photo + deviation + "\nDownload is completed\n");
    EXPECT_FALSE(radio.Frames().empty());
    EXPECT_FALSE(QFile::exists(q(path("MV53Win.ini"))));
    radio.Stop();
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
