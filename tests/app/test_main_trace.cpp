// "Help / Record Serial Trace…": the file is asked through the prompt, the status bar shows the
// recording until the item is unticked; MV53_TRACE starts it with the window.

#include "MainWindowFixture.h"

#include "link/TraceRecording.h"

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

TEST_F(MainWindowTest, Mv53TraceRecordsFromTheStart)
{
    qputenv(mv53::kTraceEnvironment, QByteArray::fromStdString(Path("run.trace")));
    TfrmMain& w = Start();
    qunsetenv(mv53::kTraceEnvironment);
    EXPECT_TRUE(w.miRecordTrace->isChecked());
    EXPECT_EQ(mv53::SerialTracePath(), Path("run.trace"));
    w.miRecordTrace->trigger();
    EXPECT_FALSE(mv53::SerialTraceRunning());
}
