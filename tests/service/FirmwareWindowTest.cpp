// The firmware window driven offscreen: the file list and header lines of a real folder, the
// check of the selected file, the processor buttons, hints, the lamps (JPEG pictures decoded
// with libjpeg) and whole writes through the progress window against the simulator.

#include "FirmwareTestFiles.h"
#include "platform/PortMap.h"
#include "service/MsgFSW.h"
#include "service/fw.h"
#include "RadioSimulator.h"
#include "ScriptedPrompt.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

namespace fs = std::filesystem;
namespace sim = mv53::radiosim;
using namespace mv53;

namespace {

std::string Firmware(int records)
{
    std::string text = "KT-4680 test firmware\r\nrelease 1\r\nS0030000FC\r\n";
    for (int r = 0; r < records; ++r)
        text += test::Record(1, static_cast<std::uint32_t>(r * 16), test::Counting(16, static_cast<std::uint8_t>(r * 7))) + "\r\n";
    return text + "S9030000FC\r\n";
}

class FirmwareWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(m_dir.Path("firmware"));
        m_previous = QDir::currentPath();
        QDir::setCurrent(QString::fromStdString(m_dir.Path("firmware")));
        m_state.ConfigFileName = m_dir.Path("MV53Win.ini");
    }
    void TearDown() override
    {
        platform::PortMap::ClearBindings();
        QDir::setCurrent(m_previous);
    }
    void Put(const std::string& name, const std::string& text) { m_dir.Write("firmware/" + name, text); }
    void Supply(const std::string& key = {})
    {
        m_dir.Write("MV53Win.ini", "[FIRMWARE]\nBootProgram=" + m_dir.Write("boot.bin", std::string(2142, '\x5A')) +
                                     "\nUnscrambleKey=" + key + "\n");
    }
    void StartRadio(sim::BootFaults faults = {})
    {
        m_radio.SetBootMode(true);
        m_radio.SetBootBehaviour({.rate = 19200, .cpu = sim::BootCpu::HD64F2134ATF20});
        m_radio.SetBootFaults(faults);
        ASSERT_TRUE(m_radio.Start());
        platform::PortMap::Bind(1, m_radio.DevicePath());
        m_state.ComPortNo = 0;
    }

    test::ScratchDir m_dir;
    QString m_previous;
    test::ScriptedPrompt m_prompt;
    ScopedPrompt m_scoped{m_prompt};
    TProgramState m_state;
    sim::RadioSimulator m_radio;
};

TEST_F(FirmwareWindow, ListsFilesShowsHeaderAndEnablesWriteOnlyForAFileThatCanBeWritten)
{
    {
        TfrmFSW empty(m_state);
        EXPECT_EQ(empty.grdFileList->rowCount(), 0);
        EXPECT_FALSE(empty.btnWrite->isEnabled());
        EXPECT_EQ(empty.Lamp(), TLamp::Green);
        EXPECT_FALSE(empty.pnlLamp->pixmap().isNull());
    }
    Put("KT468AAA_V0100.SFL", Firmware(4));
    Put("KT468BBB_V0100.SFL", Firmware(2) + "S1130010GG\r\n");
    Put("README.txt", "not listed");
    fs::last_write_time(m_dir.Path("firmware/KT468AAA_V0100.SFL"), fs::file_time_type::clock::now() - std::chrono::hours(2));
    TfrmFSW dlg(m_state);
    ASSERT_EQ(dlg.grdFileList->rowCount(), 2);
    EXPECT_EQ(dlg.grdFileList->item(0, 0)->text(), QStringLiteral("KT468BBB_V0100.SFL"));   // newest first
    // The newest is selected: its header lines show, but its bad record keeps WRITE off.
    EXPECT_EQ(dlg.Memo1->toPlainText(), QStringLiteral("KT-4680 test firmware\nrelease 1"));
    EXPECT_FALSE(dlg.btnWrite->isEnabled());
    EXPECT_TRUE(dlg.Label1->text().startsWith(QString::fromLatin1(fw::kFileRefused) + QStringLiteral("\nKT468BBB_V0100.SFL: line 7: ")))
        << dlg.Label1->text().toStdString();
    dlg.grdFileList->setCurrentCell(1, 0);
    EXPECT_TRUE(dlg.btnWrite->isEnabled());

    dlg.btnATF20->click();
    EXPECT_TRUE(dlg.btnATF20->isChecked());
    EXPECT_FALSE(dlg.btnFA20->isChecked());
    EXPECT_EQ(dlg.cmbBRT->currentText(), QStringLiteral("38400"));
    dlg.btnFA20->click();
    EXPECT_FALSE(dlg.btnATF20->isChecked());
    EXPECT_EQ(dlg.cmbBRT->currentText(), QStringLiteral("9600"));

    // Without the boot program file, or with a key file that is missing or of the wrong size,
    // nothing is started.
    const std::pair<std::string, const char*> supplies[] = {
        {"", "No boot program file is set."},
        {m_dir.Path("missing.key"), "missing.key cannot be read."},
        {m_dir.Write("short.key", std::string(42, 'k')), "short.key holds 42 bytes; it must hold exactly 43."}};
    for (const auto& [key, reason] : supplies) {
        if (!key.empty())
            Supply(key);
        m_prompt.shown.clear();
        dlg.btnWrite->click();
        ASSERT_EQ(m_prompt.texts(), std::vector<std::string>{kFswDataMissing});
        EXPECT_NE(m_prompt.shown[0].detail.find(reason), std::string::npos) << m_prompt.shown[0].detail;
    }
}

TEST_F(FirmwareWindow, WriteRunsTheProcedureInTheProgressWindow)
{
    Put("KT468AAA_V0100.SFL", Firmware(20));
    Supply();
    StartRadio();
    TfrmFSW dlg(m_state);
    dlg.btnATF20->click();
    std::vector<TLamp> lamps;
    bool barsSeen = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (lamps.empty() || lamps.back() != dlg.Lamp())
            lamps.push_back(dlg.Lamp());
        barsSeen = barsSeen || dlg.ProgressBar1->isVisibleTo(&dlg);
    });
    watch.start(20);
    dlg.WriteClick();
    watch.stop();
    const QString text = dlg.Label1->text();
    EXPECT_TRUE(text.startsWith(QStringLiteral("CHECKSUM\n        "))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral(" (PC)\n        "))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral(" (CPU)\n") + QString::fromLatin1(fw::kVerdictMatch))) << text.toStdString();
    EXPECT_EQ(m_prompt.texts(), std::vector<std::string>{kFswOkQuestion});
    EXPECT_EQ(dlg.Lamp(), TLamp::Green);
    EXPECT_TRUE(barsSeen);
    EXPECT_FALSE(dlg.ProgressBar1->isVisibleTo(&dlg));
    EXPECT_NE(std::find(lamps.begin(), lamps.end(), TLamp::Red), lamps.end());
    EXPECT_EQ(m_radio.GetBootLog().areas.size(), 1u);
    EXPECT_EQ(dlg.Progress(), nullptr);
}

TEST_F(FirmwareWindow, RefusedBitRateShowsTheTextAndCancelInTheProgressWindowStops)
{
    Put("KT468AAA_V0100.SFL", Firmware(4));
    Supply();
    StartRadio({.refuseBitRate = true});
    TfrmFSW dlg(m_state);
    dlg.move(40, 30);
    dlg.btnATF20->click();
    m_prompt.answers = {PromptAnswer::Cancel};
    dlg.WriteClick();
    ASSERT_EQ(m_prompt.texts(), std::vector<std::string>{kFswProblemOnComPort});
    EXPECT_EQ(m_prompt.shown[0].place, std::make_pair(190, 180));   // 150 px right of and below the window
    EXPECT_NE(m_prompt.shown[0].detail.find("refused the bit-rate command"), std::string::npos) << m_prompt.shown[0].detail;
    EXPECT_EQ(m_prompt.shown[0].buttons, PromptButtons::OkCancel);
    // Given up after the boot program was loaded: the firmware must be written again.
    EXPECT_EQ(dlg.Label1->text(), QString::fromStdString(kFswNoAcknowledgement + std::string("\r\n") + kFswFirmwareIncomplete)
                                      .replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    EXPECT_EQ(dlg.Lamp(), TLamp::Green);

    // Cancel while the handshake waits for a silent radio: green, no box.
    m_radio.SetBootFaults({.silent = true});
    m_prompt.shown.clear();
    QTimer::singleShot(400, &dlg, [&] {
        ASSERT_NE(dlg.Progress(), nullptr);
        dlg.Progress()->btnCancel->click();
    });
    dlg.WriteClick();
    EXPECT_TRUE(m_prompt.shown.empty());
    EXPECT_EQ(dlg.Lamp(), TLamp::Green);
    EXPECT_EQ(dlg.Label1->text(), QString::fromLatin1(kFswCancelled));
}

TEST_F(FirmwareWindow, DataTheRadioWouldNotGetIsShownForEachProcessorAndAskedBeforeWriting)
{
    // Records at 0x0100 and 0x9000: no reset vector for either type, 0x9000 outside the FA20's areas.
    Put("KT468AAA_V0100.SFL", "Test\r\nS0030000FC\r\n" + test::Record(1, 0x0100, {1, 2}) + "\r\n" +
                                  test::Record(1, 0x9000, {3, 4, 5}) + "\r\nS9030000FC\r\n");
    Supply();
    StartRadio();
    TfrmFSW dlg(m_state);
    const QString outside = QStringLiteral("3 bytes outside the areas written for HD64F2134FA20, first at line 4, address 0x09000\n");
    const QString noVector = QString::fromLatin1(fw::kNoResetVector);
    EXPECT_EQ(dlg.lblUnwritten->text(), outside + noVector);
    dlg.btnATF20->click();
    EXPECT_EQ(dlg.lblUnwritten->text(), noVector);
    dlg.btnFA20->click();
    EXPECT_EQ(dlg.lblUnwritten->text(), outside + noVector);

    // No (or closing the box) stops before anything reaches the radio.
    dlg.WriteClick();
    EXPECT_EQ(m_prompt.texts(), std::vector<std::string>{kFswUnwrittenQuestion});
    EXPECT_EQ(m_radio.BytesReceived(), 0u);
}

}  // namespace
