#pragma once
// THelpWindow: the one help window of the process. The contents of the book on the left (with a
// search across the book's pages), the page on the right in Qt's text browser, and above them
// Back, Forward, Contents and a field that finds words on the page shown. It is not modal: it
// stays open beside the program's windows and every help command reuses it, also while a modal
// dialog is open (the window is then made that dialog's transient, so the dialog does not block
// it).
//
// The pages are those of help/ at the top of the sources, compiled into the program. A folder
// given as the override folder (normally "help" beside the program) goes first: a file found
// there replaces the built-in one of the same name (a translated guide).

#include "help/HelpTopics.h"

#include <QByteArray>
#include <QString>
#include <QTextBrowser>
#include <QWidget>

#include <optional>
#include <vector>

class QAction;
class QLabel;
class QLineEdit;
class QListWidget;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace mv53::help {

inline constexpr const char* kHelpCaption = "MV53 Help";
inline constexpr const char* kNotFound = "Not found";
inline constexpr const char* kNoPageFound = "No page holds all these words.";

// The folder "help" beside the running program.
QString OverrideFolderBesideProgram();

// The text browser of the guide: pages, pictures and the style sheet by their relative names,
// first from the override folder, then from the built-in guide.
class THelpBrowser final : public QTextBrowser {
    Q_OBJECT
public:
    explicit THelpBrowser(QWidget* parent = nullptr);

    void SetOverrideFolder(const QString& folder) { m_folder = folder; }
    const QString& OverrideFolder() const { return m_folder; }
    // A file of the guide by its relative name; none when neither place has it.
    std::optional<QByteArray> ReadFile(const QString& name) const;

protected:
    QVariant loadResource(int type, const QUrl& name) override;

private:
    QString m_folder;
};

class THelpWindow final : public QWidget {
    Q_OBJECT
public:
    // The window, created on first use; it is deleted when the application quits.
    static THelpWindow& Instance();

    // Shows the topic of a context in a book (the contents for a context below 1 or one the
    // book does not hold) and brings the window to the front.
    void ShowContext(TBook book, int context, const QString& overrideFolder = {});
    // Shows a page of a book, "grid.html#col-tag".
    void ShowPage(TBook book, const QString& url, const QString& overrideFolder = {});
    // Searches the book's pages for all words of the search field and lists the pages.
    void Search();
    // Finds the text of the find field on the page, after the cursor (from the top again at the end).
    void FindInPage();

    THelpBrowser* Browser() const { return m_browser; }
    QTreeWidget* Contents() const { return m_contents; }
    QTabWidget* Tabs() const { return m_tabs; }
    QLineEdit* FindEdit() const { return m_findEdit; }
    QLabel* FindStatus() const { return m_findStatus; }
    QLineEdit* SearchEdit() const { return m_searchEdit; }
    QListWidget* SearchResults() const { return m_results; }
    QAction* BackAction() const { return m_back; }
    QAction* ForwardAction() const { return m_forward; }

Q_SIGNALS:
    // A context was asked for (every help command of the program passes through here).
    void ContextShown(int context);

private:
    explicit THelpWindow(QWidget* parent = nullptr);

    struct TSearchPage {
        QString url;
        QString title;
        QString text;   // lower case
    };

    void SetBook(TBook book, const QString& overrideFolder);
    void BuildContents();
    void SourceChanged(const QUrl& url);
    void ContentsClicked(QTreeWidgetItem* item);
    void ResultClicked();
    void BringToFront();
    const std::vector<TSearchPage>& SearchPages();

    THelpBrowser* m_browser = nullptr;
    QTabWidget* m_tabs = nullptr;
    QTreeWidget* m_contents = nullptr;
    QLineEdit* m_findEdit = nullptr;
    QLabel* m_findStatus = nullptr;
    QLineEdit* m_searchEdit = nullptr;
    QListWidget* m_results = nullptr;
    QAction* m_back = nullptr;
    QAction* m_forward = nullptr;
    std::optional<TBook> m_book;
    std::vector<TSearchPage> m_searchPages;   // made on the first search of a book
};

}  // namespace mv53::help
