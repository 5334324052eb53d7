// mv53 flash as a process against the radiosim program in its boot mode: the flash it leaves,
// the lines it prints, and the failures that end it with status 1 before or after the radio
// was touched.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <signal.h>

#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class CliFlash : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        std::string boot(2142, '\0');
        for (std::size_t i = 0; i < boot.size(); ++i)
            boot[i] = static_cast<char>(i * 7);
        std::ofstream(Path("boot.bin"), std::ios::binary) << boot;
        // 6000 random bytes from srec_cat at 0x0000 and 0x1000 (areas 0 and 2 of the FA20).
        std::mt19937 rng(9);
        std::string binary(6000, '\0');
        for (auto& c : binary)
            c = static_cast<char>(rng());
        std::ofstream(Path("fw.bin"), std::ios::binary) << binary;
        const std::string made = "srec_cat " + Path("fw.bin") + " -binary -crop 0 0x300 " + Path("fw.bin") +
                                 " -binary -crop 0x1000 0x1770 -o " + Path("KT468TST_V0100.SFL") +
                                 " -motorola -address-length=3 >/dev/null 2>&1";
        ASSERT_EQ(std::system(made.c_str()), 0);
    }
    void TearDown() override { StopRadio(); }

    std::string Path(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)).toStdString(); }

    void StartRadio(const QStringList& extra)
    {
        m_radio.setProgram(QStringLiteral(MV53_RADIOSIM_PATH));
        m_radio.setArguments(QStringList{QStringLiteral("--boot"), QStringLiteral("--boot-rate"), QStringLiteral("19200"),
                                         QStringLiteral("--save-flash"), q(Path("flash.bin"))} + extra);
        m_radio.start();
        ASSERT_TRUE(m_radio.waitForStarted(10000));
        while (!m_radio.canReadLine())
            ASSERT_TRUE(m_radio.waitForReadyRead(10000)) << m_radio.readAllStandardError().toStdString();
        m_device = QString::fromUtf8(m_radio.readLine()).trimmed().toStdString();
    }
    std::string StopRadio()
    {
        if (m_radio.state() == QProcess::NotRunning)
            return {};
        m_radio.terminate();
        EXPECT_TRUE(m_radio.waitForFinished(10000));
        return ReadFile(Path("flash.bin"));
    }
    // Runs mv53 flash; with a signal, sends it once the command waits for the radio.
    int Flash(const QStringList& args, int signal = 0)
    {
        QProcess p;
        p.start(QStringLiteral(MV53_CLI_PATH), QStringList{QStringLiteral("flash")} + args);
        QByteArray err;
        p.setReadChannel(QProcess::StandardError);
        while (signal != 0 && !err.contains("Waiting up to") && p.waitForReadyRead(30000))
            err += p.readAllStandardError();
        if (signal != 0)
            ::kill(static_cast<pid_t>(p.processId()), signal);
        EXPECT_TRUE(p.waitForFinished(120000));
        m_out = p.readAllStandardOutput().toStdString();
        m_err = (err + p.readAllStandardError()).toStdString();
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }
    QStringList Standard(const char* cpu) const
    {
        return {QStringLiteral("--port"), q(m_device), q(Path("KT468TST_V0100.SFL")), QStringLiteral("--cpu"),
                QString::fromLatin1(cpu), QStringLiteral("--boot"), q(Path("boot.bin"))};
    }

    QTemporaryDir m_dir;
    QProcess m_radio;
    std::string m_device;
    std::string m_out;
    std::string m_err;
};

TEST_F(CliFlash, WritesBothProcessorTypesAndPrintsChecksumsAndVerdict)
{
    const std::string binary = ReadFile(Path("fw.bin"));
    for (const char* cpu : {"HD64F2134ATF20", "HD64F2134FA20"}) {
        SCOPED_TRACE(cpu);
        StartRadio({QStringLiteral("--boot-cpu"), QString::fromLatin1(cpu)});
        ASSERT_EQ(Flash(Standard(cpu)), 0) << m_err;
        const std::string flash = StopRadio();
        ASSERT_EQ(flash.size(), 0x20000u);
        // The file's bytes, erased flash in the gap and above.
        std::string expected(0x20000, '\xFF');
        expected.replace(0, 0x300, binary.substr(0, 0x300));
        expected.replace(0x1000, 0x770, binary.substr(0x1000, 0x770));
        EXPECT_TRUE(flash == expected);

        unsigned sum = 0;
        for (const char c : expected)
            sum += static_cast<unsigned char>(c);
        char line[64];
        std::snprintf(line, sizeof line, "CHECKSUM\n        %08x (PC)\n        %08x (CPU)\n", sum, sum);
        EXPECT_EQ(m_out, std::string(line) + "Checksum check: the radio's flash matches the firmware file. CPU " +
                             std::string(line + 17, 8) + ", expected " + std::string(line + 17, 8) + ".\n");
    }
}

TEST_F(CliFlash, FailuresEndWithStatusOne)
{
    // The radio refuses the bit rate: the window's text, no retry.
    StartRadio({QStringLiteral("--boot-refuse-rate")});
    EXPECT_EQ(Flash(Standard("HD64F2134ATF20")), 1);
    EXPECT_NE(m_err.find("No acknowledgement from the radio.  Please do the following procedure again.\n"
                         " 1. Disconnect the DC cable from the radio.\n"),
              std::string::npos)
        << m_err;
    EXPECT_NE(m_err.find("refused the bit-rate command"), std::string::npos) << m_err;
    EXPECT_TRUE(m_out.empty()) << m_out;
    StopRadio();

    // A short boot program or a bad file: nothing reaches the radio; a file with data outside the
    // areas only with --allow-unwritten (which then waits for the radio).
    std::ofstream(Path("short.bin"), std::ios::binary) << std::string(2141, '\x01');
    std::ofstream(Path("KT468BAD_V0100.SFL"), std::ios::binary) << "S0030000FC\nS1070000DEADBEEFBD\n";
    std::ofstream(Path("KT468OUT_V0100.SFL"), std::ios::binary) << "S0030000FC\nS1070000DEADBEEFC0\nS1059000AABB05\nS9030000FC\n";
    const QStringList outside{QStringLiteral("--port"), QStringLiteral("/dev/null"), q(Path("KT468OUT_V0100.SFL")),
                              QStringLiteral("--cpu"), QStringLiteral("HD64F2134FA20"), QStringLiteral("--boot"), q(Path("boot.bin"))};
    const struct Case {
        const char* name;
        QStringList args;
        const char* message;
    } cases[] = {
        {"data outside the areas", outside,
         "warning: 2 bytes outside the areas written for HD64F2134FA20, first at line 3, address 0x09000\n"
         "The firmware file cannot be written."},
        {"data outside the areas allowed", QStringList(outside) << QStringLiteral("--allow-unwritten"), "Waiting up to 120 s"},
        {"short boot program",
         {QStringLiteral("--port"), QStringLiteral("/dev/null"), q(Path("KT468TST_V0100.SFL")), QStringLiteral("--cpu"),
          QStringLiteral("HD64F2134FA20"), QStringLiteral("--boot"), q(Path("short.bin"))},
         "holds 2141 bytes; it must hold exactly 2142"},
        {"bad record",
         {QStringLiteral("--port"), QStringLiteral("/dev/null"), q(Path("KT468BAD_V0100.SFL")), QStringLiteral("--cpu"),
          QStringLiteral("HD64F2134FA20"), QStringLiteral("--boot"), q(Path("boot.bin"))},
         "The firmware file cannot be written.\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Flash(c.args), 1);
        EXPECT_NE(m_err.find(c.message), std::string::npos) << m_err;
    }
    EXPECT_NE(m_err.find("line 2: checksum byte BD"), std::string::npos) << m_err;
}

TEST_F(CliFlash, WaitEndsTheHandshakeAndInterruptsCancel)
{
    StartRadio({QStringLiteral("--boot-silent")});
    EXPECT_EQ(Flash(Standard("HD64F2134ATF20") << QStringLiteral("--wait") << QStringLiteral("1")), 1);
    EXPECT_NE(m_err.find("No radio in boot mode answered on " + m_device), std::string::npos) << m_err;
    for (const int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        EXPECT_EQ(Flash(Standard("HD64F2134ATF20"), signal), 130) << m_err;
        EXPECT_NE(m_err.find("The writing procedure was cancelled."), std::string::npos) << m_err;
    }
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
