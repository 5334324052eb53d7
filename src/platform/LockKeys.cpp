#include "platform/LockKeys.h"

#include <QDir>
#include <QFile>

namespace mv53::platform {

namespace {
// An LED is on when its brightness file holds a number above 0.
bool LedOn(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    bool ok = false;
    const int value = f.readLine(16).trimmed().toInt(&ok);
    return ok && value > 0;
}
}  // namespace

LockKeyState ReadLockKeys(const QString& ledFolder)
{
    LockKeyState state;
    const QDir dir(ledFolder);
    if (!dir.exists())
        return state;
    // Entries are named "<device>::capslock" and so on; with several keyboards any lit LED counts.
    const QStringList names = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System);
    for (const QString& name : names) {
        const QString brightness = dir.filePath(name + QStringLiteral("/brightness"));
        if (name.endsWith(QStringLiteral("::capslock")))
            state.caps = state.caps || LedOn(brightness);
        else if (name.endsWith(QStringLiteral("::numlock")))
            state.num = state.num || LedOn(brightness);
        else if (name.endsWith(QStringLiteral("::scrolllock")))
            state.scroll = state.scroll || LedOn(brightness);
    }
    return state;
}

}  // namespace mv53::platform
