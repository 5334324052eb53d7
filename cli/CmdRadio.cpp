// mv53 upload / mv53 download: the clone window's transfers without the window, over a
// device path or a COM port name. The same controller runs them; its messages go to standard
// error through the command line's prompt, a progress bar is drawn while it runs.

#include "CliCommand.h"
#include "ProgressLine.h"

#include "state/U_Global.h"
#include "link/CloneProtocol.h"
#include "model/Prompt.h"
#include "model/U_FileAccess.h"
#include "app/IniFile.h"
#include "platform/Console.h"
#include "platform/PortMap.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QObject>
#include <QStandardPaths>

#include <cstdio>
#include <iostream>
#include <map>
#include <string>

namespace mv53::cli {

namespace {

// Passes every box to the installed prompt after ending the progress line.
class BarAwarePrompt final : public IPrompt {
public:
    BarAwarePrompt(IPrompt& inner, ProgressLine& bar) : m_inner(inner), m_bar(bar) {}
    PromptAnswer Message(const std::string& text, PromptIcon icon, PromptButtons buttons,
                         const std::string& detail) override
    {
        m_bar.Finish();
        return m_inner.Message(text, icon, buttons, detail);
    }
    std::optional<OpenFileResult> OpenFile(const OpenFileRequest& r) override { return m_inner.OpenFile(r); }
    std::optional<std::string> SaveFile(const SaveFileRequest& r) override { return m_inner.SaveFile(r); }
    std::optional<std::string> ChooseFolder(const std::string& t, const std::string& f) override
    {
        return m_inner.ChooseFolder(t, f);
    }

private:
    IPrompt& m_inner;
    ProgressLine& m_bar;
};

struct RadioArgs {
    std::string port;
    std::string file;
    std::string config;
};

// The configuration file that the windows use: MV53Win.ini beside the program when its folder
// can be written, else in the user's configuration folder.
std::string defaultConfigPath()
{
    const QString name = QStringLiteral("MV53Win.ini");
    const QFileInfo folder(QCoreApplication::applicationDirPath());
    if (folder.isDir() && folder.isWritable())
        return QDir(folder.absoluteFilePath()).filePath(name).toStdString();
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QDir(config).filePath(QStringLiteral("MV53Win/") + name).toStdString();
}

// "COMn" names the device that the configuration's "PORTS" section binds it to, else the
// discovered port that falls to it; a present device is then bound to n by its stable path
// and written back, so that COMn stays that device when other adapters are plugged in.
void bindChosenPort(int portNo, const std::string& configPath)
{
    using platform::PortMap;
    const QString path = QString::fromStdString(configPath);
    TIniFile ini;
    ini.Load(path);
    const QString section = QStringLiteral("PORTS");
    std::map<std::string, std::string> bindings;
    for (const QString& key : ini.Keys(section))
        bindings[key.toUpper().toStdString()] = ini.ReadString(section, key).toStdString();
    PortMap::ClearBindings();
    PortMap::SetBindings(bindings);
    const std::string device = PortMap::DevicePathForPort(portNo);
    if (device.empty() || !QFileInfo::exists(QString::fromStdString(device)))
        return;
    PortMap::Choose(portNo, device);
    const auto chosen = PortMap::ChosenBindings();
    if (chosen.empty())
        return;
    for (const auto& [name, bound] : chosen)
        ini.WriteString(section, QString::fromStdString(name), QString::fromStdString(bound));
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!ini.Save(path))
        std::cerr << "warning: the port binding cannot be written to " << configPath << '\n';
}

bool parseArgs(const Args& args, RadioArgs& out)
{
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--port" && i + 1 < args.size())
            out.port = args[++i];
        else if (a.rfind("--port=", 0) == 0)
            out.port = a.substr(7);
        else if (a == "--config" && i + 1 < args.size())
            out.config = args[++i];
        else if (a.rfind("--config=", 0) == 0)
            out.config = a.substr(9);
        else if (!a.empty() && a[0] == '-')
            return false;
        else if (out.file.empty())
            out.file = a;
        else
            return false;
    }
    return !out.port.empty() && !out.file.empty();
}

// One session of transfers on one port, each with a fresh controller (as each clone window
// is made anew).
class RadioSession {
public:
    RadioSession(TProgramState& state, const RadioArgs& args)
        : m_state(state), m_bar(stderr, platform::StandardErrorIsTerminal(), 18), m_prompt(Prompt(), m_bar), m_scoped(m_prompt)
    {
        // "COMn" goes through the port map like the windows' COM port; anything else is a device.
        const int n = platform::PortMap::PortNumberFromName(args.port);
        if (n > 0) {
            m_state.ComPortNo = n - 1;
            bindChosenPort(n, args.config.empty() ? defaultConfigPath() : args.config);
        } else {
            m_devicePath = args.port;
        }
    }
    ~RadioSession() { m_bar.Finish(); }

    bool Run(int kind, const std::string& label)
    {
        // A window would clear the flag when it shows; the transfer starts at once here.
        m_state.AutoStartTransfer = false;
        TCloneTransfer transfer(m_state);
        if (!m_devicePath.empty())
            transfer.SetDevicePath(m_devicePath);
        m_bar.Start(label, TCloneTransfer::ProgressMax(kind));
        QObject::connect(&transfer, &TCloneTransfer::ProgressChanged, [this](int p) { m_bar.Show(p); });
        const bool ok = transfer.Run(kind);
        m_bar.Finish();
        return ok;
    }

private:
    TProgramState& m_state;
    std::string m_devicePath;
    ProgressLine m_bar;
    BarAwarePrompt m_prompt;
    ScopedPrompt m_scoped;
};

const CliCommand kUpload{
    "upload", "upload --port DEVICE|COMn [--config INI] FILE",
    "reads the radio's memory and saves it as a data file", nullptr};
const CliCommand kDownload{
    "download", "download --port DEVICE|COMn [--config INI] FILE",
    "writes a data file into the radio (user data, read-back, factory area)", nullptr};

int runUpload(const Args& args)
{
    RadioArgs a;
    if (!parseArgs(args, a))
        return UsageError(kUpload);
    TProgramState state;
    RadioSession session(state, a);
    if (!session.Run(0, "Upload"))
        return 1;
    return WriteDataFile(a.file, state.CurrentMem, state.CurrentText) ? 0 : 1;
}

// The main window's Download: the user data, a read-back of the radio, then the factory area
// with the file's factory values and the radio's own serial number.
int runDownload(const Args& args)
{
    RadioArgs a;
    if (!parseArgs(args, a))
        return UsageError(kDownload);
    TProgramState state;
    if (!ReadDataFile(a.file, state.CurrentMem, state.CurrentText))
        return 1;
    state.FactoryBackup = state.CurrentMem.FactoryOpt();
    WarnOutOfRangeFrequencies(state.CurrentMem);

    RadioSession session(state, a);
    bool ok = false;
    state.TransferChain = true;
    if (session.Run(1, "Download")) {
        state.AutoStartTransfer = true;
        state.TransferChain = true;
        if (session.Run(0, "Read back")) {
            TFactoryOpt factory = state.FactoryBackup;
            factory.SetSerialNo(state.CurrentMem.FactoryOpt().SerialNo());
            state.CurrentMem.FactoryOpt().Assign(factory);
            state.AutoStartTransfer = true;
            state.TransferChain = false;
            ok = session.Run(2, "Factory area");
        }
    }
    state.TransferChain = false;
    return ok ? 0 : 1;
}

}  // namespace

MV53_CLI_COMMAND("upload", kUpload.usage, kUpload.summary, &runUpload);
MV53_CLI_COMMAND("download", kDownload.usage, kDownload.summary, &runDownload);

}  // namespace mv53::cli
