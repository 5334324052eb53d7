#include "platform/ConfigLocation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace mv53::platform {

QString ConfigFilePath(const QString& fileName)
{
    const QFileInfo folder(QCoreApplication::applicationDirPath());
    if (folder.isDir() && folder.isWritable())
        return QDir(folder.absoluteFilePath()).filePath(fileName);
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QDir(config).filePath(QStringLiteral("MV53Win/") + fileName);
}

}  // namespace mv53::platform
