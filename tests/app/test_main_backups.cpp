// The main window's backups: Download shows the changes before writing and the compare window
// is driven by keys; the menu items reach the compare and backups windows.

#include "MainWindowFixture.h"
#include "app/Backups.h"
#include "app/Changes.h"

#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

using namespace mv53;
using namespace mv53::test;

class MainBackupsTest : public MainWindowTest {
protected:
    // The windows shown, by caption, with the count they showed.
    std::vector<std::pair<QString, QString>> windows;
    // The keys each window gets, in turn; a window with none left gets Escape.
    std::vector<std::function<void(QDialog&)>> drive;

    void StartWithBackups()
    {
        TMainOptions o = Options();
        o.DataDir = m_dir.filePath(QStringLiteral("data"));
        o.ShowModal = [this](QDialog& d) {
            d.show();
            d.activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(&d));
            auto* count = d.findChild<QLabel*>(QStringLiteral("lblCount"));
            windows.emplace_back(d.windowTitle(), count ? count->text() : QString());
            if (drive.empty()) {
                QTest::keyClick(&d, Qt::Key_Escape);
            } else {
                drive.front()(d);
                drive.erase(drive.begin());
            }
            return d.result();
        };
        onUpload = [](TProgramState& s) {
            s.CurrentMem = ClearedRecords([](TMVmem& m) { m.Channels().Items(4).SetStatus(0xA5); });
            EncodeImage(s.CurrentText, s.CurrentMem, true);
        };
        win = std::make_unique<TfrmMain>(std::move(o));
        win->show();
    }
    // A click on the window's button of that name.
    static void Click(QDialog& d, const char* button)
    {
        QTest::mouseClick(d.findChild<QPushButton*>(QString::fromLatin1(button)), Qt::LeftButton);
    }
};

TEST_F(MainBackupsTest, DownloadAsksWithTheChangesAndEscapeWritesNothing)
{
    StartWithBackups();
    win->miDownload->trigger();
    ASSERT_EQ(calls, (std::vector<LinkCall>{{TTransferKind::Upload, true, false}}));
    EXPECT_EQ(windows, (std::vector<std::pair<QString, QString>>{{QString::fromLatin1(kChangesCaption), QStringLiteral("1 difference")}}));

    drive = {[](QDialog& d) { Click(d, "btnWrite"); }};
    calls.clear();
    win->miDownload->trigger();
    EXPECT_EQ(windows.size(), 2u);
    using K = TTransferKind;
    EXPECT_EQ(calls, (std::vector<LinkCall>{{K::UserData, true, false}, {K::Upload, true, true}, {K::Factory, false, true}}));
}

TEST_F(MainBackupsTest, MenuItemsReachTheCompareAndBackupsWindows)
{
    StartWithBackups();
    win->miCompareRadio->trigger();
    ASSERT_EQ(calls.size(), 1u);
    const std::string file = Path("other.m53");
    MakeDataFile(file, [](TMVmem& m) { m.Channels().Items(7).SetStatus(0xA5); });
    prompt.openResults = {OpenFileResult{file, false}};
    win->miCompareFile->trigger();

    // The backup that the comparison read, compared with the document from the backups window.
    int rows = 0;
    drive = {[&rows](QDialog& d) {
        rows = dynamic_cast<TfrmBackups&>(d).grdBackups->rowCount();
        Click(d, "btnCompare");
    }};
    win->miBackups->trigger();
    EXPECT_EQ(rows, 1);
    ASSERT_EQ(windows.size(), 4u);
    for (int i : {0, 1, 3})
        EXPECT_EQ(windows[static_cast<size_t>(i)], std::make_pair(QString::fromLatin1(kDifferencesCaption), QStringLiteral("1 difference")));
    EXPECT_EQ(windows[2].first, QString::fromLatin1(kBackupsCaption));
    EXPECT_TRUE(calls.size() == 1u && !win->State().Modified);
}

