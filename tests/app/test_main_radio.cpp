// Upload and Download from the main window's menu, through the real clone window and serial
// port, against the radio simulator on a pseudo-terminal bound to COM1 for this run.

#include "MainWindowFixture.h"

#include "RadioSimulator.h"
#include "grid/ChannelGrid.h"
#include "link/Radio.h"
#include "platform/PortMap.h"

#include <QLabel>
#include <QPushButton>

using namespace mv53::test;

namespace {

// Clicks "&Ok" of every clone window that waits for the user, until stopped.
class CloneWindowClicker {
public:
    CloneWindowClicker()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* frm = qobject_cast<TfrmRadio*>(w);
                if (!frm || !frm->isVisible())
                    continue;
                // Caption and stage line of each window as the user sees it.
                const QString stage = frm->lblStage->isVisible() ? frm->lblStage->text() : QString();
                const std::string seen = (frm->windowTitle() + QStringLiteral(" | ") + stage).toStdString();
                if (windowsSeen.empty() || windowsSeen.back() != seen)
                    windowsSeen.push_back(seen);
                if (frm->btnOk->isVisible() && frm->btnOk->isEnabled()) {
                    ++windows;
                    frm->btnOk->click();
                }
            }
        });
        m_timer.start(20);
    }
    int windows = 0;
    std::vector<std::string> windowsSeen;

private:
    QTimer m_timer;
};

class MainRadioTest : public MainWindowTest {
protected:
    mv53::radiosim::RadioSimulator radio;

    void SetUp() override
    {
        MainWindowTest::SetUp();
        ASSERT_TRUE(radio.Start()) << radio.LastError();
    }
    void TearDown() override
    {
        MainWindowTest::TearDown();
        radio.Stop();
        mv53::platform::PortMap::ClearBindings();
    }

    TfrmMain& StartOnTheRadio()
    {
        TMainOptions o = Options();
        o.Link = DefaultRadioLink();
        o.PortBindings = QString::fromStdString("COM1=" + radio.DevicePath());
        win = std::make_unique<TfrmMain>(std::move(o));
        return *win;
    }
};

}  // namespace

TEST_F(MainRadioTest, UploadEditSaveAndDownloadFromTheMenu)
{
    // The radio holds channel 8 in use with a tag of its own, and its own serial number.
    radio.SetMemory(EncodedImage(ClearedRecords([](TMVmem& m) {
                                     m.Channels().Items(7).SetStatus(0xA5);
                                     m.Channels().Items(7).SetTag("RADIO008");
                                     m.FactoryOpt().SetSerialNo("6E000042");
                                 }),
                                 true)
                        .Raw());
    TfrmMain& w = StartOnTheRadio();
    CloneWindowClicker clicker;

    w.miUpload->trigger();
    EXPECT_EQ(prompt.texts(), (std::vector<std::string>{"Upload is completed"}));
    EXPECT_EQ(clicker.windows, 1);
    EXPECT_EQ(clicker.windowsSeen, std::vector<std::string>{"Upload Function | "});
    EXPECT_TRUE(w.State().Modified);
    EXPECT_EQ(w.State().CurrentFileName, "<none>");
    EXPECT_EQ(w.Grid()->CellText(7, 1), "RADIO008");
    EXPECT_EQ(w.SystemValue(1, 1), QStringLiteral("012a"));

    // Edit in the grid: channel 3 becomes used; Save writes a file.
    w.Grid()->CellAction(2, 0);
    prompt.saveResults = {Path("radio.m53")};
    w.miSave->trigger();
    EXPECT_EQ(w.State().CurrentFileName, Path("radio.m53"));
    EXPECT_FALSE(w.State().Modified);

    prompt.shown.clear();
    clicker.windowsSeen.clear();
    w.miDownload->trigger();
    // Each window of the chain says which step it is, under its own caption.
    EXPECT_EQ(clicker.windowsSeen, (std::vector<std::string>{
                                       "Download Function | Step 1 of 3: Writing channels and settings",
                                       "Upload Function | Step 2 of 3: Reading the radio back",
                                       "Download Function | Step 3 of 3: Writing the factory area"}));
    // The user starts the first transfer; the read-back and the factory area start by themselves
    // and only the last one reports.
    EXPECT_EQ(clicker.windows, 2);
    EXPECT_EQ(prompt.texts(), (std::vector<std::string>{"Download is completed"}));
    TText written;
    written.Raw() = radio.GetMemory();
    TMVmem inRadio;
    DecodeImage(written, inRadio);
    EXPECT_EQ(inRadio.Channels().Items(2).Status(), 0xA5);   // channel 3 now in use in the radio
    EXPECT_EQ(inRadio.Channels().Items(7).Tag(), "RADIO008");
    EXPECT_EQ(inRadio.FactoryOpt().SerialNo(), "6E000042");   // the factory area kept the radio's serial
    EXPECT_EQ(w.State().CurrentFileName, Path("radio.m53"));
}
