// The parts of the application shell below the main window: single-instance lock, help pages,
// lock-key state, the INI file, the main window's configuration keys, port bindings of a run,
// the password dialog, the prompt's file filters and the dialog control helpers.

#include "app/About.h"
#include "app/IniFile.h"
#include "app/PassWord.h"
#include "app/QtPrompt.h"
#include "app/U_Config.h"
#include "app/U_Controls.h"
#include "platform/HelpViewer.h"
#include "platform/LockKeys.h"
#include "platform/SingleInstance.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

void WriteFile(const QString& path, const QByteArray& contents)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(contents);
}

QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

// ---- single instance -------------------------------------------------------------------------

TEST(SingleInstance, SecondHolderIsRefusedUntilTheFirstEnds)
{
    QTemporaryDir dir;
    auto first = std::make_unique<mv53::platform::SingleInstanceLock>(QStringLiteral("MV53Win"), dir.path());
    EXPECT_TRUE(first->TryAcquire());
    EXPECT_EQ(first->Path(), dir.filePath(QStringLiteral("MV53Win.lock")));
    mv53::platform::SingleInstanceLock second(QStringLiteral("MV53Win"), dir.path());
    EXPECT_FALSE(second.TryAcquire());
    first.reset();
    EXPECT_TRUE(second.TryAcquire());
}

TEST(SingleInstance, LockOfADeadProcessIsTakenOver)
{
    QTemporaryDir dir;
    // A lock file as QLockFile writes it, naming a process that does not exist.
    WriteFile(dir.filePath(QStringLiteral("MV53Win.lock")),
              "999999999\nMV53Win\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    mv53::platform::SingleInstanceLock lock(QStringLiteral("MV53Win"), dir.path());
    EXPECT_TRUE(lock.TryAcquire());
}

// ---- help pages ------------------------------------------------------------------------------

TEST(HelpViewer, TopicPagesContentsAndFallbacks)
{
    QTemporaryDir dir;
    const QString book = dir.filePath(QStringLiteral("help/MV53Win"));
    WriteFile(book + QStringLiteral("/index.html"), "<html/>");
    WriteFile(book + QStringLiteral("/226.html"), "<html/>");
    mv53::platform::HelpViewer help(dir.filePath(QStringLiteral("help")));
    ASSERT_TRUE(help.Available());
    EXPECT_EQ(help.TopicUrl(QStringLiteral("MV53Win.chm"), 226), QUrl::fromLocalFile(book + QStringLiteral("/226.html")));
    EXPECT_EQ(help.TopicUrl(QStringLiteral("MV53Win.chm"), 0), QUrl::fromLocalFile(book + QStringLiteral("/index.html")));
    EXPECT_EQ(help.TopicUrl(QStringLiteral("MV53Win.chm"), -3), QUrl::fromLocalFile(book + QStringLiteral("/index.html")));
    EXPECT_EQ(help.TopicUrl(QStringLiteral("MV53Win.chm"), 28), QUrl::fromLocalFile(book + QStringLiteral("/index.html")));
    // The service help file has no pages here.
    EXPECT_TRUE(help.TopicUrl(QStringLiteral("MV53WinS.chm"), 226).isEmpty());
    EXPECT_FALSE(help.Show(QStringLiteral("MV53WinS.chm"), 1));

    mv53::platform::HelpViewer none(dir.filePath(QStringLiteral("nothing")));
    EXPECT_FALSE(none.Available());
    EXPECT_TRUE(none.TopicUrl(QStringLiteral("MV53Win.chm"), 226).isEmpty());
    EXPECT_FALSE(mv53::platform::HelpViewer().Available());
}

// ---- lock keys -------------------------------------------------------------------------------

TEST(LockKeys, ReadFromTheKeyboardLeds)
{
    QTemporaryDir dir;
    WriteFile(dir.filePath(QStringLiteral("input3::capslock/brightness")), "1\n");
    WriteFile(dir.filePath(QStringLiteral("input3::numlock/brightness")), "0\n");
    WriteFile(dir.filePath(QStringLiteral("input7::numlock/brightness")), "garbage\n");
    WriteFile(dir.filePath(QStringLiteral("input3::scrolllock/brightness")), "0\n");
    WriteFile(dir.filePath(QStringLiteral("input9::scrolllock/brightness")), "255\n");
    const auto keys = mv53::platform::ReadLockKeys(dir.path());
    EXPECT_TRUE(keys.caps);
    EXPECT_FALSE(keys.num);
    EXPECT_TRUE(keys.scroll);
    const auto none = mv53::platform::ReadLockKeys(dir.filePath(QStringLiteral("missing")));
    EXPECT_FALSE(none.caps || none.num || none.scroll);
}

// ---- INI file --------------------------------------------------------------------------------

TEST(IniFile, NamesInAnyCaseUnknownEntriesKeptAndFirstOfTwoKeysCounts)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("x.ini"));
    WriteFile(path, "; comment at the top\n[Comm]\ncomportno = 3\nCOMPortNo=9\n[FIRMWARE]\nBoot=\"/opt/b.bin\"\n"
                    "[comm]\nExtra=1\n");
    TIniFile ini;
    ASSERT_TRUE(ini.Load(path));
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("COMM"), QStringLiteral("COMPortNo"), -1), 3);
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("COMM"), QStringLiteral("extra"), -1), 1);
    EXPECT_EQ(ini.ReadString(QStringLiteral("firmware"), QStringLiteral("BOOT")), QStringLiteral("/opt/b.bin"));
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("COMM"), QStringLiteral("missing"), 42), 42);

    ini.WriteInteger(QStringLiteral("COMM"), QStringLiteral("COMPORTNO"), 5);
    ini.WriteString(QStringLiteral("NEW"), QStringLiteral("Key"), QStringLiteral("v"));
    ASSERT_TRUE(ini.Save(path));
    const QByteArray text = ReadFile(path);
    EXPECT_TRUE(text.startsWith("; comment at the top\n\n[Comm]\ncomportno=5\n")) << text.constData();
    TIniFile back;
    ASSERT_TRUE(back.Load(path));
    EXPECT_EQ(back.ReadString(QStringLiteral("FIRMWARE"), QStringLiteral("Boot")), QStringLiteral("/opt/b.bin"));
    EXPECT_EQ(back.ReadString(QStringLiteral("NEW"), QStringLiteral("Key")), QStringLiteral("v"));
    EXPECT_EQ(back.ReadInteger(QStringLiteral("COMM"), QStringLiteral("COMPortNo"), -1), 5);
}

TEST(IniFile, IntegersMustBeWholeDecimalNumbers)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("x.ini"));
    WriteFile(path, "[S]\na=12\nb=-4\nc=12x\nd=\ne=0x10\nf= 7 \n");
    TIniFile ini;
    ASSERT_TRUE(ini.Load(path));
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("S"), QStringLiteral("a"), -1), 12);
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("S"), QStringLiteral("b"), -1), -4);
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("S"), QStringLiteral("c"), -1), -1);
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("S"), QStringLiteral("d"), -1), -1);
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("S"), QStringLiteral("e"), -1), -1);
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("S"), QStringLiteral("f"), -1), 7);
}

TEST(IniFile, MissingFileAndUnwritablePath)
{
    QTemporaryDir dir;
    TIniFile ini;
    EXPECT_FALSE(ini.Load(dir.filePath(QStringLiteral("none.ini"))));
    ini.WriteInteger(QStringLiteral("A"), QStringLiteral("B"), 1);
    EXPECT_FALSE(ini.Save(dir.filePath(QStringLiteral("no/such/folder/x.ini"))));
    EXPECT_TRUE(ini.Save(dir.filePath(QStringLiteral("x.ini"))));
    EXPECT_EQ(ReadFile(dir.filePath(QStringLiteral("x.ini"))), QByteArray("[A]\nB=1\n"));
}

// ---- the main window's keys ------------------------------------------------------------------

TEST(MainConfig, RecentFilesAreAllWrittenWithoutStaleKeysButOnlyTenRead)
{
    TIniFile ini;
    TMainConfig c;
    for (int i = 0; i < 12; ++i)
        c.RecentFiles.push_back("/f" + std::to_string(i));
    WriteMainConfig(ini, c);
    EXPECT_EQ(ini.ReadString(QStringLiteral("RECENTFILE"), QStringLiteral("FILE11")), QStringLiteral("/f11"));
    EXPECT_EQ(ReadMainConfig(ini).RecentFiles.size(), 10u);

    // A shorter list later leaves no entry of the longer one behind.
    c.RecentFiles.resize(2);
    WriteMainConfig(ini, c);
    EXPECT_TRUE(ini.ReadString(QStringLiteral("RECENTFILE"), QStringLiteral("FILE2")).isEmpty());
    EXPECT_EQ(ReadMainConfig(ini).RecentFiles, c.RecentFiles);
}

TEST(MainConfig, ViewFlagsAndPorts)
{
    TIniFile ini;
    ini.WriteString(QStringLiteral("PORTS"), QStringLiteral("com1"), QStringLiteral("/dev/ttyUSB0"));
    ini.WriteString(QStringLiteral("PORTS"), QStringLiteral("COM2"), QString());
    ini.WriteInteger(QStringLiteral("VIEW"), QStringLiteral("ITEM4"), 0);
    ini.WriteInteger(QStringLiteral("VIEW"), QStringLiteral("ITEM10"), 7);
    const TMainConfig c = ReadMainConfig(ini);
    EXPECT_FALSE(c.ViewItems[4]);
    EXPECT_TRUE(c.ViewItems[10]);
    EXPECT_TRUE(c.ViewItems[9]);
    EXPECT_EQ(c.Ports, (std::map<std::string, std::string>{{"COM1", "/dev/ttyUSB0"}}));

    TMainConfig d;
    d.ViewItems[0] = false;
    WriteMainConfig(ini, d);
    EXPECT_EQ(ini.ReadString(QStringLiteral("VIEW"), QStringLiteral("ITEM0")), QStringLiteral("0"));
    EXPECT_EQ(ini.ReadString(QStringLiteral("VIEW"), QStringLiteral("ITEM10")), QStringLiteral("0"));
    // The port bindings belong to the user; the main window does not rewrite them.
    EXPECT_EQ(ini.ReadString(QStringLiteral("PORTS"), QStringLiteral("COM1")), QStringLiteral("/dev/ttyUSB0"));
}

TEST(MainConfig, PortBindingsOfARun)
{
    EXPECT_EQ(ParsePortBindings("COM1=/dev/pts/3"), (std::map<std::string, std::string>{{"COM1", "/dev/pts/3"}}));
    EXPECT_EQ(ParsePortBindings(" com2 = /dev/ttyUSB1 ;COM3=/dev/pts/9,junk,=x,COM4="),
              (std::map<std::string, std::string>{{"COM2", "/dev/ttyUSB1"}, {"COM3", "/dev/pts/9"}}));
    EXPECT_TRUE(ParsePortBindings("").empty());
}

// ---- password dialog -------------------------------------------------------------------------

TEST(PassWord, EnterComparesInUpperCaseAndCloses)
{
    struct Case {
        TfrmPassWord::TFor mode;
        const char* typed;
        bool factory, serial, firmware;
    };
    const Case cases[] = {
        {TfrmPassWord::TFor::Factory, "rivet-plank", true, false, false},
        {TfrmPassWord::TFor::SerialWriter, "Marlins-Copse", false, true, false},
        {TfrmPassWord::TFor::Firmware, "BX-LUMINOSWIFT", false, false, true},
        {TfrmPassWord::TFor::Factory, "MARLINS-COPSE", false, false, false},
        {TfrmPassWord::TFor::Firmware, "", false, false, false},
    };
    for (const Case& c : cases) {
        TfrmPassWord dlg(c.mode, {});
        dlg.show();
        QTest::keyClicks(dlg.PasswordEdit(), QString::fromLatin1(c.typed));
        QTest::keyClick(dlg.PasswordEdit(), Qt::Key_Return);
        EXPECT_EQ(dlg.result(), QDialog::Accepted) << c.typed;
        EXPECT_FALSE(dlg.isVisible());
        EXPECT_EQ(dlg.FactoryResult(), c.factory) << c.typed;
        EXPECT_EQ(dlg.SerialWriterResult(), c.serial) << c.typed;
        EXPECT_EQ(dlg.FirmwareResult(), c.firmware) << c.typed;
    }
}

TEST(PassWord, LayoutAndSecondParameter)
{
    TfrmPassWord dlg(TfrmPassWord::TFor::SerialWriter, QStringLiteral("abc"));
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Password"));
    EXPECT_TRUE(dlg.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(dlg.PasswordEdit()->text(), QStringLiteral("abc"));
    EXPECT_EQ(dlg.PasswordEdit()->echoMode(), QLineEdit::Password);
    EXPECT_EQ(dlg.PasswordEdit()->displayText(), QStringLiteral("***"));
    EXPECT_NE(dlg.findChild<QLabel*>(), nullptr);
    EXPECT_EQ(dlg.findChild<QLabel*>()->text(), QStringLiteral("Password"));
}

// ---- prompt filters, about box, control helpers ----------------------------------------------

TEST(QtPrompt, NameFiltersKeepCaptionsThatCarryTheirPatterns)
{
    EXPECT_EQ(mv53::NameFilter({"M53 Files(*.m53)", {"*.m53"}}), QStringLiteral("M53 Files(*.m53)"));
    EXPECT_EQ(mv53::NameFilter({"Firmware", {"*.SFL", "*.sfl"}}), QStringLiteral("Firmware (*.SFL *.sfl)"));
}

TEST(About, ShowsTheBuildVersion)
{
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^Ver\\.\\d+\\.\\d+$")).match(TfrmAbout::VersionText()).hasMatch());
    TfrmAbout dlg;
    QStringList texts;
    for (QLabel* l : dlg.findChildren<QLabel*>())
        texts << l->text();
    EXPECT_TRUE(texts.contains(TfrmAbout::VersionText()));
    EXPECT_TRUE(texts.contains(QStringLiteral("MV53 for Windows")));
}

TEST(Controls, EditStatesAndKeyHints)
{
    QWidget parent;
    QLineEdit edit(&parent);
    SetEditable(true, &edit);
    EXPECT_FALSE(edit.isReadOnly());
    EXPECT_EQ(edit.palette().color(QPalette::Base), QPalette().color(QPalette::ToolTipBase));
    SetEditColor(false, &edit);
    EXPECT_FALSE(edit.isReadOnly());   // SetEditColor leaves the read-only state
    EXPECT_EQ(edit.palette().color(QPalette::Base), QPalette().color(QPalette::Base));
    SetEditable(false, &edit);
    EXPECT_TRUE(edit.isReadOnly());

    QComboBox combo(&parent);
    QCheckBox check(&parent);
    QSpinBox spin(&parent);
    QPushButton button(&parent);
    EXPECT_EQ(HintKeyText(&edit), QStringLiteral("<ENTER>"));
    EXPECT_EQ(HintKeyText(&spin), QStringLiteral("<ENTER>"));
    EXPECT_EQ(HintKeyText(&combo), QStringLiteral("<SELECT>"));
    EXPECT_EQ(HintKeyText(&check), QStringLiteral("<SELECT>"));
    EXPECT_EQ(HintKeyText(&button), QString());
    EXPECT_FALSE(ComboEnterKey(&edit, Qt::Key_Return));
    EXPECT_FALSE(ComboEnterKey(&combo, Qt::Key_Space));
}
