// The main window's configuration file (read at start, written at the end) and its place and
// size on the screen.

#include "app/Main.h"

#include "grid/ChannelGrid.h"
#include "model/Prompt.h"
#include "model/U_FileAccess.h"
#include "platform/ConfigLocation.h"
#include "platform/PortMap.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLayout>
#include <QMenuBar>
#include <QScreen>

#include <algorithm>

namespace {

constexpr int kMainWidth = 817;
constexpr int kClientHeight = 507;
constexpr int kFirstStartRows = 30;     // grid rows a first window shows when the screen has room
constexpr int kTitleAllowance = 40;     // the window manager's title bar and frame

}  // namespace

QString TfrmMain::DefaultConfigPath()
{
    // Named after the program, as a renamed copy keeps its own settings.
    const QFileInfo program(QCoreApplication::applicationFilePath());
    return mv53::platform::ConfigFilePath(program.completeBaseName() + QStringLiteral(".ini"));
}

void TfrmMain::ReadConfiguration()
{
    m_ini.Load(m_configPath);
    const TMainConfig config = ReadMainConfig(m_ini);
    m_storedMonitors = config.Monitors;
    m_storedX = config.X;
    m_storedY = config.Y;
    move(m_storedX, m_storedY);
    m_comPortNo = config.ComPortNo;
    m_viewItems = config.ViewItems;
    m_state.RecentFiles = config.RecentFiles;
    if (m_backups)
        m_backups->SetBeforeWrite(config.BackupBeforeWrite);
    ApplyPortBindings();
}

void TfrmMain::ApplyPortBindings()
{
    using mv53::platform::PortMap;
    PortMap::ClearBindings();
    PortMap::SetBindings(ReadMainConfig(m_ini).Ports);
    // The bindings of this run (demo radio) go over the file's and are never written back.
    PortMap::BindForThisRun(m_options.PortBindings.toStdString());
}

void TfrmMain::PlaceWindow()
{
    const int monitors = static_cast<int>(QGuiApplication::screens().size());
    setMinimumWidth(kMainWidth);
    const int menuHeight = menuBar()->sizeHint().height();
    setMinimumHeight(kClientHeight + menuHeight);
    resize(kMainWidth, kClientHeight + menuHeight);
    QRect screen = m_options.Screen;
    if (screen.isEmpty())
        if (const QScreen* primary = QGuiApplication::primaryScreen())
            screen = primary->availableGeometry();
    if (m_storedX == 0 && m_storedY == 0 && !screen.isEmpty())
        SizeForFirstStart(screen);
    if ((m_storedX == 0 && m_storedY == 0) || monitors != m_storedMonitors) {
        if (!screen.isEmpty()) {
            QRect frame = frameGeometry();
            frame.moveCenter(screen.center());
            move(frame.topLeft());
        }
    } else {
        move(m_storedX, m_storedY);
    }
}

void TfrmMain::SizeForFirstStart(const QRect& screen)
{
    // The design height shows about half of what a common screen has room for: the first window
    // is made as tall as kFirstStartRows grid rows need, within the screen (leaving room for a
    // title bar).
    layout()->activate();
    if (QLayout* client = centralWidget()->layout())
        client->activate();
    const int rows = grdCh->verticalHeader()->defaultSectionSize();
    const int wanted = grdCh->horizontalHeader()->sizeHint().height() + kFirstStartRows * rows + 2 * grdCh->frameWidth();
    const int height = std::min(this->height() + wanted - grdCh->height(), screen.height() - kTitleAllowance);
    resize(kMainWidth, std::max(height, minimumHeight()));
}

void TfrmMain::WriteConfiguration()
{
    TMainConfig config;
    config.Monitors = static_cast<int>(QGuiApplication::screens().size());
    config.X = pos().x();
    config.Y = pos().y();
    config.ComPortNo = m_state.ComPortNo;
    config.ViewItems = m_viewItems;
    config.RecentFiles = m_state.RecentFiles;
    config.BackupBeforeWrite = !m_backups || m_backups->BeforeWrite();
    // The ports the user chose keep their devices in later runs.
    config.Ports = mv53::platform::PortMap::ChosenBindings();
    WriteMainConfig(m_ini, config);
    const QFileInfo info(m_configPath);
    QDir().mkpath(info.absolutePath());
    if (!m_ini.Save(m_configPath))
        mv53::ShowError(mv53::WithFileName(kFileWriteError, m_configPath.toStdString()));
}
