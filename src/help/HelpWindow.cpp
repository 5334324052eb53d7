#include "help/HelpWindow.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QRegularExpression>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QTextDocument>
#include <QToolBar>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>
#include <QWindow>
#include <QXmlStreamReader>

#include <algorithm>

// The guide compiled into the program (resources under ":/help"); a static library needs the call.
static void InitHelpResources() { Q_INIT_RESOURCE(help); }

namespace mv53::help {

namespace {

const char* const kBuiltInGuide = ":/help";
constexpr int kUrlRole = Qt::UserRole;

QString Latin1(const char* s) { return QString::fromLatin1(s); }

// The page of a link, without its anchor.
QString PageOf(const QString& url) { return url.section(QLatin1Char('#'), 0, 0); }

}  // namespace

QString OverrideFolderBesideProgram()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("help"));
}

// ---- THelpBrowser --------------------------------------------------------------------------

THelpBrowser::THelpBrowser(QWidget* parent) : QTextBrowser(parent)
{
    setObjectName(QStringLiteral("brwPage"));
    setOpenExternalLinks(false);
}

std::optional<QByteArray> THelpBrowser::ReadFile(const QString& name) const
{
    QString relative = QDir::cleanPath(name);
    while (relative.startsWith(QLatin1Char('/')))
        relative.remove(0, 1);
    if (relative.isEmpty() || relative.startsWith(QStringLiteral("..")))
        return std::nullopt;
    for (const QString& root : {m_folder, Latin1(kBuiltInGuide)}) {
        if (root.isEmpty())
            continue;
        QFile file(root + QLatin1Char('/') + relative);
        if (file.open(QIODevice::ReadOnly))
            return file.readAll();
    }
    return std::nullopt;
}

QVariant THelpBrowser::loadResource(int type, const QUrl& name)
{
    if (const std::optional<QByteArray> data = ReadFile(name.path())) {
        if (type == QTextDocument::HtmlResource || type == QTextDocument::StyleSheetResource)
            return QString::fromUtf8(*data);
        return *data;
    }
    return QTextBrowser::loadResource(type, name);
}

// ---- THelpWindow ---------------------------------------------------------------------------

THelpWindow& THelpWindow::Instance()
{
    static QPointer<THelpWindow> window;
    if (window.isNull()) {
        InitHelpResources();
        window = new THelpWindow;
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, window, &QObject::deleteLater);
    }
    return *window;
}

THelpWindow::THelpWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(Latin1(kHelpCaption));
    // The program ends with its main window, whether or not the help is still open.
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(960, 680);

    m_browser = new THelpBrowser(this);
    auto* bar = new QToolBar(this);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_back = bar->addAction(style()->standardIcon(QStyle::SP_ArrowBack), QStringLiteral("&Back"));
    m_back->setShortcut(QKeySequence::Back);
    m_back->setEnabled(false);
    m_forward = bar->addAction(style()->standardIcon(QStyle::SP_ArrowForward), QStringLiteral("&Forward"));
    m_forward->setShortcut(QKeySequence::Forward);
    m_forward->setEnabled(false);
    QAction* home = bar->addAction(style()->standardIcon(QStyle::SP_DirHomeIcon), QStringLiteral("&Contents"));
    bar->addSeparator();
    bar->addWidget(new QLabel(QStringLiteral("Find in page: "), bar));
    m_findEdit = new QLineEdit(bar);
    m_findEdit->setObjectName(QStringLiteral("edtFind"));
    m_findEdit->setClearButtonEnabled(true);
    m_findEdit->setMaximumWidth(220);
    bar->addWidget(m_findEdit);
    m_findStatus = new QLabel(bar);
    m_findStatus->setObjectName(QStringLiteral("lblFind"));
    m_findStatus->setContentsMargins(6, 0, 0, 0);
    bar->addWidget(m_findStatus);

    auto* find = new QAction(this);
    find->setShortcut(QKeySequence::Find);
    auto* findNext = new QAction(this);
    findNext->setShortcut(QKeySequence::FindNext);
    addAction(find);
    addAction(findNext);

    m_contents = new QTreeWidget(this);
    m_contents->setObjectName(QStringLiteral("tvwContents"));
    m_contents->setHeaderHidden(true);
    auto* searchPage = new QWidget(this);
    auto* searchLayout = new QVBoxLayout(searchPage);
    searchLayout->setContentsMargins(4, 4, 4, 4);
    searchLayout->addWidget(new QLabel(QStringLiteral("Words to find in the guide:"), searchPage));
    m_searchEdit = new QLineEdit(searchPage);
    m_searchEdit->setObjectName(QStringLiteral("edtSearch"));
    m_searchEdit->setClearButtonEnabled(true);
    searchLayout->addWidget(m_searchEdit);
    m_results = new QListWidget(searchPage);
    m_results->setObjectName(QStringLiteral("lstResults"));
    searchLayout->addWidget(m_results, 1);
    m_tabs = new QTabWidget(this);
    m_tabs->addTab(m_contents, QStringLiteral("Contents"));
    m_tabs->addTab(searchPage, QStringLiteral("Search"));

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(m_tabs);
    splitter->addWidget(m_browser);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({260, 700});
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(splitter, 1);

    connect(m_back, &QAction::triggered, m_browser, &QTextBrowser::backward);
    connect(m_forward, &QAction::triggered, m_browser, &QTextBrowser::forward);
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forward, &QAction::setEnabled);
    connect(home, &QAction::triggered, this, [this] {
        if (m_book)
            m_browser->setSource(QUrl(Latin1(ContentsPage(*m_book))));
    });
    connect(m_browser, &QTextBrowser::sourceChanged, this, &THelpWindow::SourceChanged);
    connect(m_findEdit, &QLineEdit::returnPressed, this, &THelpWindow::FindInPage);
    connect(m_findEdit, &QLineEdit::textChanged, m_findStatus, &QLabel::clear);
    connect(findNext, &QAction::triggered, this, &THelpWindow::FindInPage);
    connect(find, &QAction::triggered, this, [this] {
        m_findEdit->setFocus(Qt::ShortcutFocusReason);
        m_findEdit->selectAll();
    });
    connect(m_contents, &QTreeWidget::itemClicked, this, &THelpWindow::ContentsClicked);
    connect(m_contents, &QTreeWidget::itemActivated, this, &THelpWindow::ContentsClicked);
    connect(m_searchEdit, &QLineEdit::returnPressed, this, &THelpWindow::Search);
    connect(m_results, &QListWidget::itemActivated, this, &THelpWindow::ResultClicked);
    connect(m_results, &QListWidget::itemClicked, this, &THelpWindow::ResultClicked);
}

void THelpWindow::ShowContext(TBook book, int context, const QString& overrideFolder)
{
    ShowPage(book, QString::fromStdString(TopicUrl(book, context)), overrideFolder);
    Q_EMIT ContextShown(context);
}

void THelpWindow::ShowPage(TBook book, const QString& url, const QString& overrideFolder)
{
    SetBook(book, overrideFolder);
    m_browser->setSource(QUrl(url));
    BringToFront();
}

void THelpWindow::SetBook(TBook book, const QString& overrideFolder)
{
    if (m_book == book && m_browser->OverrideFolder() == overrideFolder)
        return;
    m_book = book;
    m_browser->SetOverrideFolder(overrideFolder);
    m_searchPages.clear();
    m_results->clear();
    BuildContents();
}

void THelpWindow::BuildContents()
{
    // The contents page's nested lists of links are the tree: each <ul> hangs under the item of
    // the link before it, a top-level list under the tree itself.
    m_contents->clear();
    const std::optional<QByteArray> page = m_browser->ReadFile(Latin1(ContentsPage(*m_book)));
    if (!page)
        return;
    QXmlStreamReader xml(*page);
    std::vector<QTreeWidgetItem*> parents;
    QTreeWidgetItem* last = nullptr;
    while (!xml.atEnd() && !xml.hasError()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"ul") {
            parents.push_back(parents.empty() ? nullptr : last);
        } else if (xml.isEndElement() && xml.name() == u"ul" && !parents.empty()) {
            parents.pop_back();
        } else if (xml.isStartElement() && xml.name() == u"a" && !parents.empty()) {
            const QString href = xml.attributes().value(QStringLiteral("href")).toString();
            const QString title = xml.readElementText(QXmlStreamReader::IncludeChildElements).simplified();
            last = parents.back() != nullptr ? new QTreeWidgetItem(parents.back(), {title})
                                             : new QTreeWidgetItem(m_contents, {title});
            last->setData(0, kUrlRole, href);
        }
    }
    m_contents->expandAll();
}

void THelpWindow::SourceChanged(const QUrl& url)
{
    const QString title = m_browser->documentTitle();
    setWindowTitle(title.isEmpty() ? Latin1(kHelpCaption) : Latin1(kHelpCaption) + QStringLiteral(" - ") + title);
    m_findStatus->clear();
    // The tree follows the page: the item of the exact link, else the first of the page.
    const QString shown = url.toString();
    QTreeWidgetItem* pageItem = nullptr;
    QTreeWidgetItem* exact = nullptr;
    for (QTreeWidgetItemIterator it(m_contents); *it != nullptr && exact == nullptr; ++it) {
        const QString href = (*it)->data(0, kUrlRole).toString();
        if (href == shown)
            exact = *it;
        else if (pageItem == nullptr && href == PageOf(shown))
            pageItem = *it;
    }
    const QSignalBlocker block(m_contents);
    m_contents->setCurrentItem(exact != nullptr ? exact : pageItem);
}

void THelpWindow::ContentsClicked(QTreeWidgetItem* item)
{
    if (item != nullptr)
        m_browser->setSource(QUrl(item->data(0, kUrlRole).toString()));
}

void THelpWindow::FindInPage()
{
    const QString text = m_findEdit->text();
    m_findStatus->clear();
    if (text.isEmpty() || m_browser->find(text))
        return;
    QTextCursor top = m_browser->textCursor();
    top.movePosition(QTextCursor::Start);
    m_browser->setTextCursor(top);
    if (!m_browser->find(text))
        m_findStatus->setText(Latin1(kNotFound));
}

const std::vector<THelpWindow::TSearchPage>& THelpWindow::SearchPages()
{
    if (!m_searchPages.empty() || !m_book)
        return m_searchPages;
    // The book's pages: its contents page and every page its tree links to, in tree order.
    QStringList urls{Latin1(ContentsPage(*m_book))};
    for (QTreeWidgetItemIterator it(m_contents); *it != nullptr; ++it) {
        const QString page = PageOf((*it)->data(0, kUrlRole).toString());
        if (!urls.contains(page))
            urls << page;
    }
    for (const QString& url : urls) {
        const std::optional<QByteArray> data = m_browser->ReadFile(url);
        if (!data)
            continue;
        QTextDocument doc;
        doc.setHtml(QString::fromUtf8(*data));
        m_searchPages.push_back({url, doc.metaInformation(QTextDocument::DocumentTitle), doc.toPlainText().toLower()});
    }
    return m_searchPages;
}

void THelpWindow::Search()
{
    m_results->clear();
    const QStringList words =
        m_searchEdit->text().toLower().split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    if (words.isEmpty())
        return;
    // Pages holding every word, the most mentions first.
    std::vector<std::pair<qsizetype, const TSearchPage*>> hits;
    for (const TSearchPage& page : SearchPages()) {
        qsizetype mentions = 0;
        for (const QString& word : words) {
            const qsizetype n = page.text.count(word);
            if (n == 0) {
                mentions = 0;
                break;
            }
            mentions += n;
        }
        if (mentions > 0)
            hits.emplace_back(mentions, &page);
    }
    std::stable_sort(hits.begin(), hits.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    if (hits.empty()) {
        auto* none = new QListWidgetItem(Latin1(kNoPageFound), m_results);
        none->setFlags(Qt::NoItemFlags);
        return;
    }
    for (const auto& [mentions, page] : hits)
        (new QListWidgetItem(page->title, m_results))->setData(kUrlRole, page->url);
}

void THelpWindow::ResultClicked()
{
    const QListWidgetItem* item = m_results->currentItem();
    const QString url = item != nullptr ? item->data(kUrlRole).toString() : QString();
    if (url.isEmpty())
        return;
    m_browser->setSource(QUrl(url));
    // The first place of the first word is selected on the page.
    const QString first = m_searchEdit->text().simplified().section(QLatin1Char(' '), 0, 0);
    QTextCursor top = m_browser->textCursor();
    top.movePosition(QTextCursor::Start);
    m_browser->setTextCursor(top);
    m_browser->find(first);
}

void THelpWindow::BringToFront()
{
    // A modal dialog blocks every window but its own transients: the help window becomes the
    // transient of the window it is called from, so it can be read and used beside that window.
    QWidget* owner = QApplication::activeModalWidget();
    if (owner == nullptr)
        owner = QApplication::activeWindow();
    if (owner != nullptr && owner->window() != this) {
        winId();
        if (QWindow* handle = owner->window()->windowHandle())
            windowHandle()->setTransientParent(handle);
    }
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
}

}  // namespace mv53::help
