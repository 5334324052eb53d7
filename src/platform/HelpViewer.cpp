#include "platform/HelpViewer.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>

namespace mv53::platform {

HelpViewer::HelpViewer(const QString& folder) : m_folder(folder)
{
    m_available = !m_folder.isEmpty() && QFileInfo(m_folder).isDir();
}

QUrl HelpViewer::TopicUrl(const QString& helpFileName, int context) const
{
    if (!m_available)
        return {};
    QString book = helpFileName;
    if (book.endsWith(QStringLiteral(".chm"), Qt::CaseInsensitive))
        book.chop(4);
    const QDir dir(QDir(m_folder).filePath(book));
    const QString contents = dir.filePath(QStringLiteral("index.html"));
    QString page = contents;
    if (context >= 1) {
        const QString topic = dir.filePath(QString::number(context) + QStringLiteral(".html"));
        if (QFileInfo(topic).isFile())
            page = topic;
    }
    if (!QFileInfo(page).isFile())
        return {};
    return QUrl::fromLocalFile(page);
}

bool HelpViewer::Show(const QString& helpFileName, int context) const
{
    const QUrl url = TopicUrl(helpFileName, context);
    if (url.isEmpty())
        return false;
    return QDesktopServices::openUrl(url);
}

QString HelpViewer::DefaultFolder()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("help"));
}

}  // namespace mv53::platform
