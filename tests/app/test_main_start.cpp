// Start-up of the main window: operating modes and passwords, the caption, and the
// configuration file read at the start and written at the end.

#include "MainWindowFixture.h"

#include "grid/ChannelGrid.h"

using namespace mv53::test;

namespace {

// The entries of the recent-files menu that are shown.
QStringList RecentMenu(const TfrmMain& w)
{
    QStringList out;
    for (QAction* a : w.miRecent)
        if (a->isVisible())
            out << a->text();
    return out;
}

}  // namespace

// ---- operating modes -------------------------------------------------------------------------
// (The commands each mode shows in the "&Radio" menu: test_main_service.)

TEST_F(MainWindowTest, OperatingModesAndPasswords)
{
    struct Case {
        const char* args;           // the switches, separated by blanks
        const char* typed;          // typed into the password box before Enter; null: Escape
        bool dialog;                // the password dialog opens
        TOperatingMode mode;
        const char* prefix;
        bool service, serial;       // the service modes use the service help file
    };
    using M = TOperatingMode;
    const Case cases[] = {
        {"-dr", "", false, M::DealerMode, "(D) ", true, false},
        {"-Me", "rivet-plank", true, M::FactoryMode, "(M) ", true, false},
        {"-S", "RIVET-PLANK", true, M::NormalMode, "", false, false},
        {"/4073", "wrong", true, M::NormalMode, "", false, false},
        {"/4073 marlins-copse", "", true, M::SerialWriterMode, "(S) ", true, true},
        {"-f", "BX-LUMINOSWIFT", true, M::FirmwareMode, "(F) ", false, false},
        {"-ME RIVET-PLANK", nullptr, true, M::NormalMode, "", false, false},
        {"-X x", "", false, M::NormalMode, "", false, false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.args);
        const QStringList args = QString::fromLatin1(k.args).split(QLatin1Char(' '));
        auto seen = AnswerPassword(QString::fromLatin1(k.typed ? k.typed : ""), k.typed == nullptr);
        TfrmMain& w = Start(args);
        QCoreApplication::processEvents();
        EXPECT_EQ(seen->shown, k.dialog);
        if (k.dialog) {
            EXPECT_EQ(seen->initialText, args.value(1));
            EXPECT_TRUE(seen->masked);
        }
        const TProgramState& s = w.State();
        EXPECT_EQ(std::tie(s.Mode, s.ModePrefix, s.HelpFileName, s.ServiceMode, s.SerialMode),
                  std::make_tuple(k.mode, std::string(k.prefix), std::string(k.service ? "MV53WinS.chm" : "MV53Win.chm"),
                                  k.service, k.serial));
        EXPECT_EQ(Caption(), s.CurrentFileName + " - MV53 " + k.prefix + "for KT-4680 Series");
    }
    EXPECT_TRUE(prompt.texts().empty());
}

// ---- configuration file ----------------------------------------------------------------------

TEST_F(MainWindowTest, MissingOrMalformedConfigurationGivesDefaults)
{
    auto checkDefaults = [this](const char* what) {
        TfrmMain& w = Start();
        SCOPED_TRACE(what);
        EXPECT_EQ(w.State().ComPortNo, 0);
        EXPECT_EQ(w.SystemValue(0, 2), QStringLiteral("COM1"));
        for (int i = 0; i < 11; ++i)
            EXPECT_EQ(w.miItem[static_cast<size_t>(i)]->isChecked(), i < 10) << i;
        EXPECT_TRUE(w.Grid()->isColumnHidden(10));
        EXPECT_TRUE(w.State().RecentFiles.empty());
        EXPECT_TRUE(w.miRecentFile->isVisible() && !w.miRecentFile->isEnabled());
        EXPECT_TRUE(RecentMenu(w).isEmpty());
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
    EXPECT_EQ(RecentMenu(w), (QStringList{QStringLiteral("&1 /a/one.m53"), QStringLiteral("&2 /b/two&&co.m53")}));

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
    EXPECT_EQ(prompt.texts(), std::vector<std::string>{"File write error  File Name = " + win->ConfigPath().toStdString()});
    EXPECT_EQ(prompt.shown.at(0).icon, mv53::PromptIcon::Error);
}

