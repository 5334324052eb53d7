#include "service/SerialWriteChain.h"

#include "state/TransferKind.h"

namespace mv53::serialw {

namespace {

// Every transfer of the chain starts by itself and leaves the messages to the window.
TTransferRequest ChainRequest(TTransferKind kind)
{
    TTransferRequest request;
    request.Kind = kind;
    request.AutoStart = true;
    request.InChain = true;
    return request;
}

}  // namespace

bool ReadSerialNumber(const TSerialWriteSteps& steps, std::string& readNo)
{
    readNo.clear();
    // A radio that answers the connection but not the serial number request gave no number: the
    // transfer itself takes that silence as no error.
    const bool ok = steps.Download && steps.Download(ChainRequest(TTransferKind::ReadSerial), &readNo) && !readNo.empty();
    if (!ok)
        readNo.clear();
    return ok;
}

TSerialWriteResult WriteSerialNumber(TProgramState& state, TSerialFields& fields, const TSerialWriteSteps& steps)
{
    TSerialWriteResult result;
    if (!steps.Upload || !steps.Upload())
        return result;
    result.Uploaded = true;
    result.WrittenNo = NextSerialNumber(fields);
    state.CurrentMem.FactoryOpt().SetSerialNo(result.WrittenNo);
    result.Written = steps.Download && steps.Download(ChainRequest(TTransferKind::Factory), nullptr);
    Advance(fields);
    result.ReadBack = ReadSerialNumber(steps, result.ReadNo);
    return result;
}

}  // namespace mv53::serialw
