#include "app/U_Config.h"

#include "platform/PortsSection.h"

#include <QString>

namespace {
const QString kMonitor = QStringLiteral("MONITOR");
const QString kLocation = QStringLiteral("LOCATION");
const QString kComm = QStringLiteral("COMM");
const QString kView = QStringLiteral("VIEW");
const QString kRecentFile = QStringLiteral("RECENTFILE");
const QString kBackup = QStringLiteral("BACKUP");
const QString kBeforeWrite = QStringLiteral("BeforeWrite");

QString ViewKey(int i) { return QStringLiteral("ITEM%1").arg(i); }
QString FileKey(int i) { return QStringLiteral("FILE%1").arg(i); }
}  // namespace

TMainConfig ReadMainConfig(const TIniFile& ini)
{
    TMainConfig c;
    c.Monitors = ini.ReadInteger(kMonitor, QStringLiteral("NUMBERS"), 1);
    c.X = ini.ReadInteger(kLocation, QStringLiteral("X"), 0);
    c.Y = ini.ReadInteger(kLocation, QStringLiteral("Y"), 0);
    c.ComPortNo = ini.ReadInteger(kComm, QStringLiteral("COMPortNo"), 0);
    for (int i = 0; i < kViewItemCount; ++i)
        c.ViewItems[static_cast<size_t>(i)] = ini.ReadInteger(kView, ViewKey(i), i < 10 ? 1 : 0) != 0;
    for (int i = 0; i < kRecentReadCount; ++i) {
        const QString path = ini.ReadString(kRecentFile, FileKey(i));
        if (path.isEmpty())
            break;
        c.RecentFiles.push_back(path.toStdString());
    }
    c.Ports = mv53::platform::ReadPortsSection(ini);
    c.BackupBeforeWrite = ini.ReadInteger(kBackup, kBeforeWrite, 1) != 0;
    return c;
}

void WriteMainConfig(TIniFile& ini, const TMainConfig& c)
{
    ini.WriteInteger(kMonitor, QStringLiteral("NUMBERS"), c.Monitors);
    ini.WriteInteger(kLocation, QStringLiteral("X"), c.X);
    ini.WriteInteger(kLocation, QStringLiteral("Y"), c.Y);
    ini.WriteInteger(kComm, QStringLiteral("COMPortNo"), c.ComPortNo);
    for (int i = 0; i < kViewItemCount; ++i)
        ini.WriteInteger(kView, ViewKey(i), c.ViewItems[static_cast<size_t>(i)] ? 1 : 0);
    ini.EraseSection(kRecentFile);
    for (size_t i = 0; i < c.RecentFiles.size(); ++i)
        ini.WriteString(kRecentFile, FileKey(static_cast<int>(i)), QString::fromStdString(c.RecentFiles[i]));
    mv53::platform::WritePortsSection(ini, c.Ports);
    ini.WriteInteger(kBackup, kBeforeWrite, c.BackupBeforeWrite ? 1 : 0);
}
