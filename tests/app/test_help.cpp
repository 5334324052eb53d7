// The help: every context that the program's windows pass to the help command has a page with
// its anchor in its book, every link of the guide resolves, F1 opens the one help window at the
// field's place (also from a modal dialog, which must not block it), and a help folder beside the
// program replaces pages of the built-in guide.

#include "MainWindowFixture.h"

#include "grid/ChannelGrid.h"
#include "help/HelpWindow.h"
#include "service/Alignment.h"

#include <QAction>
#include <QDirIterator>
#include <QMenu>
#include <QStatusTipEvent>
#include <QTabWidget>
#include <QToolBar>
#include <QXmlStreamReader>

#include <algorithm>
#include <map>
#include <set>

using namespace mv53;
using namespace mv53::help;
using namespace mv53::test;

namespace {

// A page of the built-in guide: its anchors, its links (href and src) and its parse error.
struct TPage {
    std::set<QString> anchors;
    QStringList links;
    QString error;
};

std::map<QString, TPage> BuiltInGuide()
{
    THelpWindow::Instance();   // registers the guide's resources
    std::map<QString, TPage> guide;
    for (QDirIterator it(QStringLiteral(":/help"), {QStringLiteral("*.html")}); it.hasNext();) {
        QFile file(it.next());
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        TPage& page = guide[QFileInfo(file.fileName()).fileName()];
        QXmlStreamReader xml(&file);
        while (!xml.atEnd() && xml.readNext() != QXmlStreamReader::Invalid) {
            for (const QXmlStreamAttribute& a : xml.attributes()) {
                if (a.name() == u"id")
                    page.anchors.insert(a.value().toString());
                else if (a.name() == u"href" || a.name() == u"src")
                    page.links << a.value().toString();
            }
        }
        page.error = xml.errorString();
    }
    return guide;
}

bool Resolves(const std::map<QString, TPage>& guide, const QString& from, const QString& link)
{
    const QString file = link.section(QLatin1Char('#'), 0, 0);
    const QString anchor = link.section(QLatin1Char('#'), 1);
    if (!file.endsWith(QStringLiteral(".html")))
        return !file.contains(QLatin1Char(':')) && QFile::exists(QStringLiteral(":/help/") + file);
    const auto page = guide.find(file.isEmpty() ? from : file);
    return page != guide.end() && (anchor.isEmpty() || page->second.anchors.count(anchor) != 0);
}

// Presses F1 on every enabled control of a window that takes the focus, on each page of its tabs.
void PressF1Everywhere(QWidget* window)
{
    auto* tabs = window->findChild<QTabWidget*>();
    for (int page = 0; page < (tabs != nullptr ? tabs->count() : 1); ++page) {
        if (tabs != nullptr)
            tabs->setCurrentIndex(page);
        for (QWidget* w : window->findChildren<QWidget*>())
            if (w->focusPolicy() != Qt::NoFocus && w->isEnabled() && w->isVisibleTo(window)) {
                w->setFocus();
                QTest::keyClick(w, Qt::Key_F1);
            }
    }
}

// Runs body on the modal window that the next command opens, then closes it.
void OnNextModal(std::function<void(QWidget*)> body)
{
    QTimer::singleShot(0, [body] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        body(modal);
        modal->close();
    });
}

QString Source() { return THelpWindow::Instance().Browser()->source().toString(); }

}  // namespace

TEST(HelpGuide, EveryPageIsWellFormedAndEveryLinkAndPictureResolves)
{
    const auto guide = BuiltInGuide();
    ASSERT_GE(guide.size(), 20u);
    for (const auto& [name, page] : guide) {
        EXPECT_TRUE(page.error.isEmpty()) << name.toStdString() << ": " << page.error.toStdString();
        for (const QString& link : page.links)
            EXPECT_TRUE(Resolves(guide, name, link)) << name.toStdString() << " links to " << link.toStdString();
    }
}

// Every topic of the table is a page and anchor of the guide that its books' contents list, and
// every context the windows pass (F1 on every control, the tool buttons, the Help menu) is in the
// table of its mode's book; every topic is passed by some window.
TEST_F(MainWindowTest, EveryHelpContextOfTheWindowsOpensAPageOfItsBook)
{
    const auto guide = BuiltInGuide();
    std::set<int> windowContexts;
    for (const auto& w : mv53::help::WindowContexts())
        windowContexts.insert(w.context);
    const std::pair<QStringList, TBook> modes[] = {{{}, TBook::User}, {{QStringLiteral("-DR")}, TBook::Service}};
    for (const auto& [args, book] : modes) {
        std::set<QString> listed;
        for (const QString& link : guide.at(QString::fromLatin1(ContentsPage(book))).links)
            listed.insert(link.section(QLatin1Char('#'), 0, 0));
        for (const auto& t : mv53::help::HelpTopics()) {
            if (!FindTopic(book, t.context))
                continue;
            EXPECT_TRUE(Resolves(guide, {}, QString::fromLatin1(TopicUrl(book, t.context).c_str()))) << t.context;
            EXPECT_EQ(listed.count(QString::fromLatin1(t.page)), 1u) << t.page << " is not in its book's contents";
        }

        std::set<int> passed;
        const auto connection = QObject::connect(&THelpWindow::Instance(), &THelpWindow::ContextShown,
                                                 [&passed](int context) { passed.insert(context); });
        TfrmMain& w = Start(args, [](QDialog& dialog) {
            dialog.show();
            PressF1Everywhere(&dialog);
            return int(QDialog::Rejected);
        });
        // Every field enabled: the selcall unit on, the kill system on.
        w.State().CurrentMem.Opt().SetSelcallUnit(1);
        w.State().CurrentMem.Sel().SetKillSystem(1);
        w.RefreshMainWindow();
        w.miItem[10]->trigger();   // the Tune Mode column, hidden by default, shown too
        w.show();
        for (int column = 0; column < mv53::kGridColumns; ++column) {
            w.Grid()->MoveTo(0, column);
            QTest::keyClick(w.Grid(), Qt::Key_F1);
        }
        for (QAction* a : w.ToolBar()->actions()) {
            QStatusTipEvent hint(a->statusTip());
            QCoreApplication::sendEvent(&w, &hint);
            QTest::keyClick(w.Grid(), Qt::Key_F1);
        }
        for (QMenu* menu : {w.menuCommon, w.menuSelcall})
            for (QAction* a : menu->actions())
                a->trigger();
        w.miHelpTopics->trigger();
        w.miGetStarted->trigger();
        if (book == TBook::Service) {
            w.State().SerialMode = true;   // as in the serial writer mode: the serial number field enabled
            for (QAction* a : {w.miAlignment, w.miAntTuneSet}) {
                prompt.answers = {PromptAnswer::No};
                OnNextModal(PressF1Everywhere);
                a->trigger();
            }
        }
        QObject::disconnect(connection);

        for (int context : passed)
            EXPECT_TRUE(context == HelpContext::kContents || FindTopic(book, context)) << "no page for " << context;
        for (const auto& t : mv53::help::HelpTopics())
            EXPECT_TRUE(!FindTopic(book, t.context) || windowContexts.count(t.context) != 0 || passed.count(t.context) == 1)
                << "no window passes " << t.context;
    }
    for (int context : windowContexts)
        EXPECT_TRUE(FindTopic(TBook::User, context) || FindTopic(TBook::Service, context)) << context;
}

// F1 in a grid column, a dialog field and a service window opens the one help window at the
// field's anchor; from a modal dialog the help window still takes keys. Back returns.
TEST_F(MainWindowTest, F1OpensTheOneHelpWindowAtTheFieldWhereverItIsPressed)
{
    THelpWindow& help = THelpWindow::Instance();
    QStringList shown;
    QString typed;
    TfrmMain& w = Start({QStringLiteral("-DR")}, [&](QDialog& dialog) {
        dialog.setWindowModality(Qt::ApplicationModal);
        dialog.show();
        auto* offset = dialog.findChild<QLineEdit*>(QStringLiteral("edtPktOffset"));
        offset->setFocus();
        QTest::keyClick(offset, Qt::Key_F1);
        shown << Source();
        help.FindEdit()->clear();
        help.FindEdit()->setFocus();
        QTest::keyClick(help.windowHandle(), 'x');
        typed = help.FindEdit()->text();
        return int(QDialog::Rejected);
    });
    w.Grid()->MoveTo(0, 2);
    QTest::keyClick(w.Grid(), Qt::Key_F1);
    shown << Source();
    w.miSystem->trigger();
    prompt.answers = {PromptAnswer::No};
    OnNextModal([&shown](QWidget* window) {
        auto& alignment = dynamic_cast<TfrmAlignment&>(*window);
        alignment.pgcAlignment->setCurrentIndex(2);
        alignment.SpinEdit[47]->setFocus();
        QTest::keyClick(alignment.SpinEdit[47], Qt::Key_F1);
        shown << Source();
    });
    w.miAlignment->trigger();

    EXPECT_EQ(shown, (QStringList{QStringLiteral("grid.html#col-receive"), QStringLiteral("system.html#packet-offset"),
                            QStringLiteral("alignment.html#lsb-carrier")}));
    EXPECT_EQ(typed, QStringLiteral("x"));
    EXPECT_TRUE(help.isVisible());
    EXPECT_EQ(help.windowTitle(), QStringLiteral("MV53 Help - Alignment"));
    const QWidgetList tops = QApplication::topLevelWidgets();
    EXPECT_EQ(std::count_if(tops.begin(), tops.end(), [](QWidget* t) { return qobject_cast<THelpWindow*>(t) != nullptr; }), 1);
    help.BackAction()->trigger();
    EXPECT_EQ(Source(), QStringLiteral("system.html#packet-offset"));
    EXPECT_EQ(help.windowTitle(), QStringLiteral("MV53 Help - System"));
}
