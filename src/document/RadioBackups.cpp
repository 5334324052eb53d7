#include "document/RadioBackups.h"

namespace mv53 {

bool TRadioBackups::Writes(TTransferKind kind)
{
    return kind == TTransferKind::UserData || kind == TTransferKind::Factory || kind == TTransferKind::AntTuner;
}

bool TRadioBackups::Run(TProgramState& state, const TTransferRequest& request, const TTransfer& transfer)
{
    const bool writes = Writes(request.Kind);
    if (writes && !EnsureBackup(state, transfer, request.AutoStart))
        return false;
    const bool ok = transfer(request);
    if (ok && request.Kind == TTransferKind::Upload)
        Keep(state, request.Backup);   // a backup that could not be written was said; the data are read
    // After a write that broke off nobody knows what the radio holds.
    if (writes && !ok)
        m_knownPort.reset();
    return ok;
}

bool TRadioBackups::EnsureBackup(TProgramState& state, const TTransfer& transfer, bool autoStart)
{
    if (!m_beforeWrite || m_knownPort == state.ComPortNo)
        return true;
    TText image;
    return ReadRadio(state, transfer, TBackupReason::BeforeWrite, autoStart, image);
}

bool TRadioBackups::ReadRadio(TProgramState& state, const TTransfer& transfer, TBackupReason reason, bool autoStart,
                              TText& image)
{
    TMVmem records = state.CurrentMem;
    TText text;
    text.Assign(state.CurrentText);
    const TTransferRequest request{.Kind = TTransferKind::Upload,
                                   .AutoStart = autoStart,
                                   .InChain = true,
                                   .Stage = reason == TBackupReason::BeforeWrite ? TChainStage::Backup : TChainStage::None,
                                   .Backup = reason};
    const bool read = transfer(request);
    const bool kept = read && Keep(state, reason);
    if (read)
        image.Assign(state.CurrentText);
    state.CurrentMem = records;
    state.CurrentText.Assign(text);
    return kept;
}

bool TRadioBackups::Keep(const TProgramState& state, TBackupReason reason)
{
    m_lastRead.emplace();
    m_lastRead->Assign(state.CurrentText);
    const std::string path = m_store.Store(state.CurrentMem, state.CurrentText, reason);
    if (path.empty())
        return false;
    m_knownPort = state.ComPortNo;
    if (m_stored)
        m_stored(path);
    return true;
}

}  // namespace mv53
