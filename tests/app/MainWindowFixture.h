#pragma once
// A main window in a folder of its own: program folder, configuration file and help folder
// in a temporary directory, a scripted prompt, and a radio link that records its calls and
// succeeds.

#include "ScratchDir.h"
#include "ScriptedPrompt.h"
#include "TestRecords.h"
#include "app/Main.h"
#include "app/PassWord.h"
#include "model/U_FileAccess.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace mv53::test {

// One call of the recorded radio link with how it was to run.
struct LinkCall {
    TTransferKind kind;
    bool inChain;
    bool autoStart;
    bool operator==(const LinkCall&) const = default;
};

// Runs body on the first visible top-level window of type W once the event loop turns.
template <typename W>
void OnWindow(std::function<void(W&)> body)
{
    QTimer::singleShot(0, [body] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* frm = qobject_cast<W*>(w); frm && frm->isVisible()) {
                body(*frm);
                return;
            }
    });
}

// What the password dialog showed when it came up during start-up.
struct PasswordSeen {
    bool shown = false;
    QString initialText;
    bool masked = false;
};

// Before the window is created: answer the password dialog (if one opens) by typing text and
// pressing Enter, or by Escape when text is null.
inline std::shared_ptr<PasswordSeen> AnswerPassword(const QString& typed, bool escape = false)
{
    auto seen = std::make_shared<PasswordSeen>();
    QTimer::singleShot(0, [seen, typed, escape] {
        auto* dlg = qobject_cast<TfrmPassWord*>(QApplication::activeModalWidget());
        if (!dlg)
            return;
        seen->shown = true;
        seen->initialText = dlg->PasswordEdit()->text();
        seen->masked = dlg->PasswordEdit()->echoMode() == QLineEdit::Password;
        if (escape) {
            QTest::keyClick(dlg, Qt::Key_Escape);
            return;
        }
        QTest::keyClicks(dlg->PasswordEdit(), typed);
        QTest::keyClick(dlg->PasswordEdit(), Qt::Key_Return);
    });
    return seen;
}

class MainWindowTest : public ::testing::Test {
protected:
    QTemporaryDir m_dir;
    ScriptedPrompt prompt;
    std::unique_ptr<ScopedPrompt> m_scoped;
    std::vector<LinkCall> calls;
    // Run inside an upload before it returns (to put "radio" data into the records).
    std::function<void(TProgramState&)> onUpload;
    std::unique_ptr<TfrmMain> win;

    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        QDir(m_dir.path()).mkpath(QStringLiteral("prog"));
        m_scoped = std::make_unique<ScopedPrompt>(prompt);
    }
    void TearDown() override
    {
        win.reset();
        m_scoped.reset();
    }

    QString ProgramDir() const { return m_dir.filePath(QStringLiteral("prog")); }
    QString ConfigPath() const { return m_dir.filePath(QStringLiteral("MV53Win.ini")); }
    QString DefaultFile() const { return ProgramDir() + QStringLiteral("/default.m53"); }
    std::string Path(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)).toStdString(); }

    TMainOptions Options(QStringList args = {})
    {
        TMainOptions o;
        o.ProgramDir = ProgramDir();
        o.ConfigPath = ConfigPath();
        o.HelpFolder = m_dir.filePath(QStringLiteral("help"));
        o.Arguments = std::move(args);
        o.Link.Transfer = [this](TProgramState& s, const TTransferRequest& r, QWidget*, std::string*) {
            calls.push_back({r.Kind, r.InChain, r.AutoStart});
            if (onUpload && r.Kind == TTransferKind::Upload)
                onUpload(s);
            return true;
        };
        o.Link.Configure = [this](int32_t& port, QWidget*) {
            if (configureTo < 0)
                return false;
            port = configureTo;
            return true;
        };
        return o;
    }
    int configureTo = -1;

    // The window started with the switches; showModal (if any) stands in for every dialog's exec.
    TfrmMain& Start(QStringList args = {}, std::function<int(QDialog&)> showModal = {})
    {
        TMainOptions o = Options(std::move(args));
        o.ShowModal = std::move(showModal);
        win = std::make_unique<TfrmMain>(std::move(o));
        return *win;
    }

    // Writes a data file from default records changed by edit.
    void MakeDataFile(const std::string& path, const std::function<void(TMVmem&)>& edit = {})
    {
        WriteFile(path, DataFileBytes(ClearedRecords(edit)));
    }
    void WriteConfig(const std::string& contents) { WriteFile(ConfigPath().toStdString(), contents); }

    std::string Caption() const { return win->windowTitle().toStdString(); }
};

}  // namespace mv53::test
