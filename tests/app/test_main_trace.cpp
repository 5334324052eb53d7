// "Help / Record Serial Trace…": the file is asked through the prompt, the status bar shows the
// recording until the item is unticked or the window closes; MV53_TRACE starts it with the window.

#include "MainWindowFixture.h"

#include "TestPty.h"
#include "link/TraceRecording.h"
#include "platform/SerialDevice.h"

#include <QFileInfo>
#include <QLabel>

using mv53::test::MainWindowTest;

TEST_F(MainWindowTest, RecordSerialTraceAsksAFileAndShowsThatItRecords)
{
    TfrmMain& w = Start();
    auto* panel = w.findChild<QLabel*>(QStringLiteral("pnlTrace"));
    ASSERT_NE(panel, nullptr);
    const auto recording = [&] { return w.miRecordTrace->isChecked() && !panel->isHidden() && mv53::SerialTraceRunning(); };
    const auto stopped = [&] { return !w.miRecordTrace->isChecked() && panel->isHidden() && !mv53::SerialTraceRunning(); };

    // No file chosen: nothing records.
    w.miRecordTrace->trigger();
    EXPECT_EQ(prompt.shown.back().text, "save:Record Serial Trace");
    EXPECT_TRUE(stopped());

    // A file that cannot be made: the reason is shown and nothing records.
    prompt.saveResults = {Path("none/x.trace")};
    w.miRecordTrace->trigger();
    EXPECT_EQ(prompt.texts(), std::vector<std::string>{"The serial trace cannot be recorded."});
    EXPECT_NE(prompt.shown.back().detail.find("none/x.trace"), std::string::npos);
    EXPECT_TRUE(stopped());

    prompt.saveResults = {Path("radio.trace")};
    w.miRecordTrace->trigger();
    EXPECT_TRUE(recording());
    EXPECT_EQ(panel->text(), QStringLiteral("Recording serial trace: radio.trace"));
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(Path("radio.trace"))));

    w.miRecordTrace->trigger();
    EXPECT_TRUE(stopped());
}

TEST_F(MainWindowTest, Mv53TraceRecordsFromTheStartUntilTheWindowClosesSayingWhenTheFileIsNotWhole)
{
    qputenv(mv53::kTraceEnvironment, "/dev/full");
    TfrmMain& w = Start();
    qunsetenv(mv53::kTraceEnvironment);
    EXPECT_TRUE(w.miRecordTrace->isChecked());
    EXPECT_EQ(mv53::SerialTracePath(), "/dev/full");
    mv53::test::TestPty pty;
    EXPECT_EQ(mv53::SerialTraceWrapper()(mv53::platform::CreateSerialDevice())->Open(pty.Path()), 0);
    EXPECT_TRUE(w.close());
    EXPECT_FALSE(mv53::SerialTraceRunning());
    EXPECT_EQ(prompt.texts(), std::vector<std::string>{"The serial trace was not written whole."});
}
