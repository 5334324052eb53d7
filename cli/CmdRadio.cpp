// mv53 upload / mv53 download: the clone window's transfers without the window, over a
// device path or a COM port name. The same controller runs them; its messages go to standard
// error through the command line's prompt, a progress bar is drawn while it runs.

#include "CliCommand.h"
#include "PortOption.h"
#include "ProgressLine.h"

#include "document/Document.h"
#include "document/RadioBackups.h"
#include "state/U_Global.h"
#include "link/CloneProtocol.h"
#include "model/Prompt.h"
#include "model/U_FileAccess.h"
#include "platform/Console.h"

#include <QObject>

#include <cstdio>
#include <iostream>
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
    std::string trace;
    bool force = false;
    bool noBackup = false;
};

// --port, --config and --trace (each "--x V" or "--x=V"), one file; download also takes --force.
std::string ParseRadioArgs(const Args& args, RadioArgs& out, bool download)
{
    std::vector<Option> options{{"--port", &out.port}, {"--config", &out.config}, {kTraceOption, &out.trace}};
    if (download) {
        options.push_back({"--force", nullptr, &out.force});
        options.push_back({"--no-backup", nullptr, &out.noBackup});
    }
    std::vector<std::string> files;
    if (std::string problem = ReadArgs(args, options, files, 1); !problem.empty())
        return problem;
    if (out.port.empty())
        return Missing("--port");
    if (files.empty())
        return Missing("FILE");
    out.file = files.front();
    return {};
}

// One session of transfers on one port, each with a fresh controller (as each clone window
// is made anew).
class RadioSession {
public:
    RadioSession(TProgramState& state, const RadioArgs& args)
        : m_state(state), m_devicePath(ResolvePortOption(args.port, args.config, state)),
          m_bar(stderr, platform::StandardErrorIsTerminal(), 18), m_prompt(Prompt(), m_bar), m_scoped(m_prompt)
    {
    }
    ~RadioSession() { m_bar.Finish(); }

    // The transfer starts at once (there is no window to wait for Ok in).
    bool Run(const TTransferRequest& request, const std::string& label)
    {
        TCloneTransfer transfer(m_state);
        if (!m_devicePath.empty())
            transfer.SetDevicePath(m_devicePath);
        m_bar.Start(label, TCloneTransfer::ProgressMax(request.Kind));
        QObject::connect(&transfer, &TCloneTransfer::ProgressChanged, [this](int p) { m_bar.Show(p); });
        const bool ok = transfer.Run(request);
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

// The progress line's label of a step of the Download chain.
std::string StepLabel(TChainStage stage)
{
    switch (stage) {
    case TChainStage::ReadBack: return "Read back";
    case TChainStage::Factory: return "Factory area";
    case TChainStage::Backup: return "Backup";
    case TChainStage::UserData:
    case TChainStage::None: break;
    }
    return "Download";
}

const CliCommand kUpload{
    "upload", "upload --port DEVICE|COMn [--config INI] [--trace TRACE] FILE",
    "reads the radio's memory and saves it as a data file (and as a backup)", nullptr};
const CliCommand kDownload{
    "download", "download --port DEVICE|COMn [--config INI] [--trace TRACE] [--force] [--no-backup] FILE",
    "writes a data file into the radio (user data, read-back, factory area), reading the radio into a backup "
    "first unless --no-backup; a file that does not look like a data file only with --force",
    nullptr};

int runUpload(const Args& args)
{
    RadioArgs a;
    if (const std::string problem = ParseRadioArgs(args, a, false); !problem.empty())
        return UsageError(kUpload, problem);
    if (!StartTraceOption(a.trace))
        return 1;
    TProgramState state;
    RadioSession session(state, a);
    const auto backups = CommandBackups(false);
    if (!backups->Run(state, {}, [&session](const TTransferRequest& request) { return session.Run(request, "Upload"); }))
        return 1;
    return WriteDataFile(a.file, state.CurrentMem, state.CurrentText) ? 0 : 1;
}

// The document's Download chain: the user data, a read-back of the radio, then the factory area
// with the file's factory values and the radio's own serial number.
int runDownload(const Args& args)
{
    RadioArgs a;
    if (const std::string problem = ParseRadioArgs(args, a, true); !problem.empty())
        return UsageError(kDownload, problem);
    TProgramState state;
    if (!ReadCommandDataFile(a.file, state.CurrentMem, state.CurrentText, !a.force))
        return 1;
    state.FactoryBackup = state.CurrentMem.FactoryOpt();
    WarnOutOfRangeFrequencies(state.CurrentMem);
    if (!StartTraceOption(a.trace))
        return 1;

    RadioSession session(state, a);
    // The radio is read into a backup before the first write (--no-backup: written at once).
    const auto backups = CommandBackups(!a.noBackup);
    TDocumentHooks hooks;
    hooks.Transfer = [&session](const TTransferRequest& request) {
        return session.Run(request, StepLabel(request.Stage));
    };
    hooks.Backups = backups.get();
    return TDocument(state, hooks).RunDownloadChain() ? 0 : 1;
}

}  // namespace

MV53_CLI_COMMAND("upload", kUpload.usage, kUpload.summary, &runUpload);
MV53_CLI_COMMAND("download", kDownload.usage, kDownload.summary, &runDownload);

}  // namespace mv53::cli
