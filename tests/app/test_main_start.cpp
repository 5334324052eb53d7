// Start-up of the main window: operating modes and passwords, configuration file, window
// placement, caption, system-type panel, hints and the status bar.

#include "MainWindowFixture.h"

#include "grid/ChannelGrid.h"

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QScreen>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTest>
#include <QToolBar>

using mv53::test::AnswerPassword;
using mv53::test::MainWindowTest;

namespace {

std::vector<std::string> VisibleServiceItems(const TfrmMain& w)
{
    std::vector<std::string> out;
    for (QAction* a : {w.miAlignment, w.miTempCorrect, w.miAntTuneSet, w.miSerialWriter, w.miFirmware})
        if (a->isVisible())
            out.push_back(a->objectName().toStdString());
    return out;
}

}  // namespace

// ---- operating modes -------------------------------------------------------------------------

TEST_F(MainWindowTest, OperatingModesAndPasswords)
{
    struct Case {
        QStringList args;
        const char* typed;          // typed into the password box before Enter; null: Escape
        bool dialog;                // the password dialog opens
        TOperatingMode mode;
        const char* prefix;
        const char* help;
        bool service, serial;
        std::vector<std::string> visible;
    };
    const std::vector<std::string> all{"miAlignment", "miTempCorrect", "miAntTuneSet", "miSerialWriter", "miFirmware"};
    const Case cases[] = {
        {{QStringLiteral("-dr")}, "", false, TOperatingMode::DealerMode, "(D) ", "MV53WinS.chm", true, false,
         {"miAlignment", "miAntTuneSet"}},
        {{QStringLiteral("-Me")}, "rivet-plank", true, TOperatingMode::FactoryMode, "(M) ", "MV53WinS.chm", true, false,
         {"miAlignment", "miTempCorrect", "miAntTuneSet"}},
        {{QStringLiteral("-S")}, "RIVET-PLANK", true, TOperatingMode::NormalMode, "", "MV53Win.chm", false, false, {}},
        {{QStringLiteral("/4073")}, "wrong", true, TOperatingMode::NormalMode, "", "MV53Win.chm", false, false, {}},
        {{QStringLiteral("/4073"), QStringLiteral("marlins-copse")}, "", true, TOperatingMode::SerialWriterMode, "(S) ",
         "MV53WinS.chm", true, true, all},
        {{QStringLiteral("-f")}, "BX-LUMINOSWIFT", true, TOperatingMode::FirmwareMode, "(F) ", "MV53Win.chm", false,
         false, {"miFirmware"}},
        {{QStringLiteral("-ME"), QStringLiteral("RIVET-PLANK")}, nullptr, true, TOperatingMode::NormalMode, "",
         "MV53Win.chm", false, false, {}},
        {{QStringLiteral("-X"), QStringLiteral("x")}, "", false, TOperatingMode::NormalMode, "", "MV53Win.chm", false,
         false, {}},
    };
    for (const Case& k : cases) {
        const std::string what = k.args.join(QLatin1Char(' ')).toStdString();
        auto seen = AnswerPassword(QString::fromLatin1(k.typed ? k.typed : ""), k.typed == nullptr);
        TfrmMain& w = Start(k.args);
        QCoreApplication::processEvents();
        EXPECT_EQ(seen->shown, k.dialog) << what;
        if (k.dialog) {
            EXPECT_EQ(seen->initialText, k.args.value(1)) << what;
            EXPECT_TRUE(seen->masked);
        }
        EXPECT_EQ(w.State().Mode, k.mode) << what;
        EXPECT_EQ(w.State().ModePrefix, k.prefix) << what;
        EXPECT_EQ(w.State().HelpFileName, k.help) << what;
        EXPECT_EQ(w.State().ServiceMode, k.service) << what;
        EXPECT_EQ(w.State().SerialMode, k.serial) << what;
        EXPECT_EQ(VisibleServiceItems(w), k.visible) << what;
        EXPECT_EQ(Caption(), w.State().CurrentFileName + " - MV53 " + k.prefix + "for KT-4680 Series") << what;
    }
    EXPECT_TRUE(prompt.texts().empty());
}

// ---- configuration file ----------------------------------------------------------------------

TEST_F(MainWindowTest, MissingOrMalformedConfigurationGivesDefaults)
{
    auto checkDefaults = [this](const char* what) {
        TfrmMain& w = Start();
        EXPECT_EQ(w.State().ComPortNo, 0) << what;
        EXPECT_EQ(w.SystemValue(0, 2), QStringLiteral("COM1")) << what;
        for (int i = 0; i < 10; ++i)
            EXPECT_TRUE(w.miItem[static_cast<size_t>(i)]->isChecked()) << what << i;
        EXPECT_FALSE(w.miItem[10]->isChecked()) << what;
        EXPECT_TRUE(w.Grid()->isColumnHidden(10)) << what;
        EXPECT_TRUE(w.State().RecentFiles.empty()) << what;
        EXPECT_TRUE(w.miRecentFile->isVisible()) << what;
        EXPECT_FALSE(w.miRecentFile->isEnabled()) << what;
        for (QAction* a : w.miRecent)
            EXPECT_FALSE(a->isVisible()) << what;
    };
    checkDefaults("missing");
    WriteConfig("garbage without sections\n[COMM]\nCOMPortNo=abc\n[LOCATION]\nX=12x\nY=\n[VIEW]\nITEM3=yes\n"
                "[RECENTFILE]\nFILE0=\n");
    checkDefaults("malformed");
}

TEST_F(MainWindowTest, ConfigurationIsReadAtStartAndWrittenAtClose)
{
    WriteConfig("[COMM]\nCOMPortNo=2\n[VIEW]\nITEM2=0\nITEM10=1\n[RECENTFILE]\nFILE0=/a/one.m53\nFILE1=/b/two&co.m53\n"
                "FILE3=/after/gap.m53\n[FIRMWARE]\nBootProgram=/opt/boot.bin\n");
    TfrmMain& w = Start();
    EXPECT_EQ(w.State().ComPortNo, 2);
    EXPECT_EQ(w.SystemValue(0, 2), QStringLiteral("COM3"));
    EXPECT_FALSE(w.miItem[2]->isChecked());
    EXPECT_TRUE(w.Grid()->isColumnHidden(2));
    EXPECT_TRUE(w.miItem[10]->isChecked());
    EXPECT_EQ(w.State().RecentFiles, (std::vector<std::string>{"/a/one.m53", "/b/two&co.m53"}));
    EXPECT_FALSE(w.miRecentFile->isVisible());
    EXPECT_EQ(w.miRecent[0]->text(), QStringLiteral("&1 /a/one.m53"));
    EXPECT_EQ(w.miRecent[1]->text(), QStringLiteral("&2 /b/two&&co.m53"));
    EXPECT_TRUE(w.miRecent[1]->isVisible());
    EXPECT_FALSE(w.miRecent[2]->isVisible());
    EXPECT_EQ(w.miRecent[2]->text(), QString());

    w.State().ComPortNo = 7;
    w.miItem[5]->trigger();                   // hidden from the menu
    EXPECT_TRUE(w.Grid()->isColumnHidden(5));
    EXPECT_TRUE(w.close());
    TIniFile ini;
    ASSERT_TRUE(ini.Load(ConfigPath()));
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("COMM"), QStringLiteral("COMPortNo"), -1), 7);
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ(ini.ReadInteger(QStringLiteral("VIEW"), QStringLiteral("ITEM%1").arg(i), -1), i == 2 || i == 5 ? 0 : 1) << i;
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("MONITOR"), QStringLiteral("NUMBERS"), -1), 1);
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("LOCATION"), QStringLiteral("X"), -1), w.pos().x());
    EXPECT_EQ(ini.ReadString(QStringLiteral("RECENTFILE"), QStringLiteral("FILE1")), QStringLiteral("/b/two&co.m53"));
    // The entry after the gap was not read, so it is not written either; other sections stay.
    EXPECT_TRUE(ini.ReadString(QStringLiteral("RECENTFILE"), QStringLiteral("FILE3")).isEmpty());
    EXPECT_EQ(ini.ReadString(QStringLiteral("FIRMWARE"), QStringLiteral("BootProgram")), QStringLiteral("/opt/boot.bin"));
}

TEST_F(MainWindowTest, ConfigurationThatCannotBeWrittenIsReportedAndTheProgramEnds)
{
    TMainOptions o = Options();
    o.ConfigPath = m_dir.filePath(QStringLiteral("prog/default.m53/MV53Win.ini"));   // below a file
    win = std::make_unique<TfrmMain>(std::move(o));
    EXPECT_TRUE(win->close());
    ASSERT_EQ(prompt.texts().size(), 1u);
    EXPECT_EQ(prompt.texts()[0], "File write error  File Name = " + win->ConfigPath().toStdString());
    EXPECT_EQ(prompt.shown[0].icon, mv53::PromptIcon::Error);
}

// ---- window placement ------------------------------------------------------------------------

// ---- hints, status bar, tool bar, help -------------------------------------------------------

