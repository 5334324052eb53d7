#include "service/SerialWriteChain.h"

#include "state/TransferKind.h"

namespace mv53::serialw {

bool ReadSerialNumber(TProgramState& state, const TSerialWriteSteps& steps, std::string& readNo)
{
    readNo.clear();
    state.AutoStartTransfer = true;
    state.TransferChain = true;
    const bool ok = steps.Download && steps.Download(static_cast<int>(TTransferKind::ReadSerial), &readNo);
    if (!ok)
        readNo.clear();
    state.AutoStartTransfer = false;
    state.TransferChain = false;
    return ok;
}

TSerialWriteResult WriteSerialNumber(TProgramState& state, TSerialFields& fields, const TSerialWriteSteps& steps)
{
    TSerialWriteResult result;
    state.TransferChain = true;
    state.AutoStartTransfer = true;
    if (steps.Upload)
        steps.Upload();
    else
        state.TransferChain = false;
    if (state.TransferChain) {
        result.Uploaded = true;
        result.WrittenNo = NextSerialNumber(fields);
        state.CurrentMem.FactoryOpt().SetSerialNo(result.WrittenNo);
        state.AutoStartTransfer = true;
        result.Written = steps.Download && steps.Download(static_cast<int>(TTransferKind::Factory), nullptr);
        state.TransferChain = false;
        Advance(fields);
        result.ReadBack = ReadSerialNumber(state, steps, result.ReadNo);
    }
    state.AutoStartTransfer = false;
    state.TransferChain = false;
    return result;
}

}  // namespace mv53::serialw
