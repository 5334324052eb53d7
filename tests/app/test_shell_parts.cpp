// The parts of the application shell below the main window: single-instance lock, the INI
// file, the main window's configuration keys and port bindings, and the Qt prompt's boxes.

#include "ScratchDir.h"
#include "platform/IniFile.h"
#include "app/QtPrompt.h"
#include "app/U_Config.h"
#include "platform/SingleInstance.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace mv53::test;

// ---- single instance -------------------------------------------------------------------------
// (A second copy of the program is refused in test_single_instance, with real processes.)

TEST(SingleInstance, LockOfADeadProcessIsTakenOver)
{
    QTemporaryDir dir;
    // A lock file as QLockFile writes it, naming a process that does not exist.
    WriteFile(dir.filePath(QStringLiteral("MV53Win.lock")).toStdString(),
              "999999999\nMV53Win\n" + QSysInfo::machineHostName().toStdString() + "\n");
    mv53::platform::SingleInstanceLock lock(QStringLiteral("MV53Win"), dir.path());
    EXPECT_TRUE(lock.TryAcquire());
}

// ---- INI file --------------------------------------------------------------------------------

TEST(IniFile, NamesInAnyCaseUnknownEntriesKeptAndFirstOfTwoKeysCounts)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("x.ini"));
    WriteFile(path.toStdString(), "; comment at the top\n[Comm]\ncomportno = 3\nCOMPortNo=9\n[FIRMWARE]\nBoot=\"/opt/b.bin\"\n"
                    "[comm]\nExtra=1\n");
    TIniFile ini;
    ASSERT_TRUE(ini.Load(path));
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("COMM"), QStringLiteral("COMPortNo"), -1), 3);
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("COMM"), QStringLiteral("extra"), -1), 1);
    EXPECT_EQ(ini.ReadString(QStringLiteral("firmware"), QStringLiteral("BOOT")), QStringLiteral("/opt/b.bin"));
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("COMM"), QStringLiteral("missing"), 42), 42);
    // Only whole decimal numbers count.
    for (const auto& [text, read] : {std::pair{"12x", -1}, {"", -1}, {"0x10", -1}, {"abc", -1}, {"-4", -4}}) {
        ini.WriteString(QStringLiteral("S"), QStringLiteral("k"), QString::fromLatin1(text));
        EXPECT_EQ(ini.ReadInteger(QStringLiteral("S"), QStringLiteral("k"), -1), read) << text;
    }
    ini.EraseSection(QStringLiteral("S"));

    ini.WriteInteger(QStringLiteral("COMM"), QStringLiteral("COMPORTNO"), 5);
    ini.WriteString(QStringLiteral("NEW"), QStringLiteral("Key"), QStringLiteral("v"));
    // Outer blanks and quotes of a value survive a save (they are written in quotes).
    for (const char* kept : {" lead", "trail ", "\"quoted\""})
        ini.WriteString(QStringLiteral("KEPT"), QString::fromLatin1(kept).trimmed(), QString::fromLatin1(kept));
    ASSERT_TRUE(ini.Save(path));
    const std::string text = ReadFile(path.toStdString());
    EXPECT_EQ(text.rfind("; comment at the top\n\n[Comm]\ncomportno=5\n", 0), 0u) << text;
    TIniFile back;
    ASSERT_TRUE(back.Load(path));
    EXPECT_EQ(back.ReadString(QStringLiteral("FIRMWARE"), QStringLiteral("Boot")), QStringLiteral("/opt/b.bin"));
    EXPECT_EQ(back.ReadString(QStringLiteral("NEW"), QStringLiteral("Key")), QStringLiteral("v"));
    EXPECT_EQ(back.ReadInteger(QStringLiteral("COMM"), QStringLiteral("COMPortNo"), -1), 5);
    for (const char* kept : {" lead", "trail ", "\"quoted\""})
        EXPECT_EQ(back.ReadString(QStringLiteral("KEPT"), QString::fromLatin1(kept).trimmed()), QString::fromLatin1(kept));
}

// ---- the main window's keys ------------------------------------------------------------------

// Port bindings from the configuration file (names in any case, empty ones dropped) and from
// a run's argument; the main window never rewrites the user's bindings.
TEST(MainConfig, PortBindingsAreReadAndNeverRewritten)
{
    TIniFile ini;
    ini.WriteString(QStringLiteral("PORTS"), QStringLiteral("com1"), QStringLiteral("/dev/ttyUSB0"));
    ini.WriteString(QStringLiteral("PORTS"), QStringLiteral("COM2"), QString());
    ini.WriteInteger(QStringLiteral("VIEW"), QStringLiteral("ITEM10"), 7);   // any non-zero value is on
    const TMainConfig c = ReadMainConfig(ini);
    EXPECT_TRUE(c.ViewItems[10]);
    EXPECT_EQ(c.Ports, (std::map<std::string, std::string>{{"COM1", "/dev/ttyUSB0"}}));
    WriteMainConfig(ini, TMainConfig{});
    EXPECT_EQ(ini.ReadString(QStringLiteral("PORTS"), QStringLiteral("COM1")), QStringLiteral("/dev/ttyUSB0"));

}

// ---- the Qt prompt ---------------------------------------------------------------------------

namespace {
// Runs action on the modal box or dialog as soon as it is shown.
template <typename Widget, typename Action>
void WhenShown(Action action)
{
    QTimer::singleShot(0, [action] {
        if (auto* w = qobject_cast<Widget*>(QApplication::activeModalWidget()))
            action(w);
    });
}
}  // namespace

TEST(QtPrompt, MessageBoxesShowTheExactTextAndGiveTheAnswer)
{
    mv53::QtPrompt prompt(QStringLiteral("MV53 for Windows"));
    QString title, text, detail;
    bool openAfterEscapeAndClose = false;
    bool hidden = true;
    // A Yes/No box: neither Escape nor closing the box answers (No may discard work); the No
    // button does. The detail is shown as it opens: a visible label, no "Show Details..." button.
    WhenShown<QMessageBox>([&](QMessageBox* box) {
        title = box->windowTitle();
        text = box->text();
        for (const QLabel* label : box->findChildren<QLabel*>())
            if (label->isVisible() && label->text() == QStringLiteral("why"))
                detail = label->text();
        hidden = !box->detailedText().isEmpty();
        QTest::keyClick(box, Qt::Key_Escape);
        box->close();
        openAfterEscapeAndClose = box->isVisible();
        for (QAbstractButton* b : box->buttons())
            if (b->text() == QStringLiteral("&No"))
                b->click();
    });
    EXPECT_EQ(prompt.Message("Do you want to overwrite the default file?", mv53::PromptIcon::Confirmation,
                             mv53::PromptButtons::YesNo, "why"),
              mv53::PromptAnswer::No);
    EXPECT_TRUE(openAfterEscapeAndClose);
    EXPECT_EQ((QStringList{title, text, detail}), (QStringList{QStringLiteral("MV53 for Windows"),
                                                               QStringLiteral("Do you want to overwrite the default file?"), QStringLiteral("why")}));
    EXPECT_FALSE(hidden);
    // A box with a short text is still as wide as its caption.
    WhenShown<QMessageBox>([&](QMessageBox* box) {
        EXPECT_GT(box->width(), box->fontMetrics().horizontalAdvance(box->windowTitle()));
        box->button(QMessageBox::Yes)->click();
    });
    EXPECT_EQ(prompt.Message("q", mv53::PromptIcon::Confirmation, mv53::PromptButtons::YesNo, {}),
              mv53::PromptAnswer::Yes);

    // Escape on Yes/No/Cancel is Cancel; "\r\n" is a line break.
    WhenShown<QMessageBox>([&](QMessageBox* box) {
        text = box->text();
        QTest::keyClick(box, Qt::Key_Escape);
    });
    EXPECT_EQ(prompt.Message("a\r\nb", mv53::PromptIcon::Warning, mv53::PromptButtons::YesNoCancel, {}),
              mv53::PromptAnswer::Cancel);
    EXPECT_EQ(text, QStringLiteral("a\nb"));
}

TEST(QtPrompt, OpenDialogOffersTheReadOnlyBox)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("radio.m53"));
    WriteFile(file.toStdString(), "x");
    mv53::QtPrompt prompt(QStringLiteral("MV53 for Windows"));
    QStringList filters;
    WhenShown<QFileDialog>([&](QFileDialog* dlg) {
        filters = dlg->nameFilters();
        auto* box = dlg->findChild<QCheckBox*>();
        ASSERT_NE(box, nullptr);
        box->setChecked(true);
        dlg->selectFile(file);
        QMetaObject::invokeMethod(dlg, "accept");
    });
    const auto result = prompt.OpenFile({.title = "Open", .folder = dir.path().toStdString(),
                                         .filters = {{"M53 Files(*.m53)", {"*.m53"}}, {"X53 Files(*.x53)", {"*.x53"}}},
                                         .defaultSuffix = {}, .offerReadOnly = true});
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->path, file.toStdString());
    EXPECT_TRUE(result->readOnly);
    EXPECT_EQ(filters, (QStringList{QStringLiteral("M53 Files(*.m53)"), QStringLiteral("X53 Files(*.x53)")}));
}
