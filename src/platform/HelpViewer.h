#pragma once
// The help viewer: topic pages of an HTML help folder opened in the desktop's browser.
// The help of "MV53Win.chm" lives in <help folder>/MV53Win/, one page per context number
// ("226.html") and the contents page "index.html". Without the folder help stays off.

#include <QString>
#include <QUrl>

namespace mv53::platform {

class HelpViewer final {
public:
    // folder: the help folder (normally "help" beside the executable).
    explicit HelpViewer(const QString& folder = {});

    // True when the help folder exists: help is on for the whole run.
    bool Available() const { return m_available; }

    // The page for a context of a help file: context below 1 gives the contents page; a topic
    // without a page of its own falls back to the contents. Empty when there is no page.
    QUrl TopicUrl(const QString& helpFileName, int context) const;

    // Opens the page; false (and nothing happens) when help is off or there is no page.
    bool Show(const QString& helpFileName, int context) const;

    // The help folder beside the running executable.
    static QString DefaultFolder();

private:
    QString m_folder;
    bool m_available = false;
};

}  // namespace mv53::platform
