#include "link/RadioPort.h"

#include "link/TraceRecording.h"
#include "platform/SerialDevice.h"

namespace mv53 {

void SelectRadioPort(TCustomCommX& comm, const TProgramState& state, const std::string& devicePath)
{
    comm.SetPortNo(state.ComPortNo >= 0 && state.ComPortNo <= 255 ? state.ComPortNo + 1 : 1);
    comm.SetDevicePath(devicePath);
}

std::string RadioPortText(const TCustomCommX& comm, const std::string& devicePath)
{
    if (!devicePath.empty())
        return devicePath;
    return "COM" + std::to_string(comm.PortNo()) + " (" + comm.EffectiveDevicePath() + ")";
}

std::string OpenFailureDetail(const std::string& portText, const TCustomCommX& comm, const ECommError& e)
{
    const std::string head = "Cannot open " + portText + ": ";
    if (e.ErrorCode() == 0) {
        std::string text = head + e.what();
        if (!e.Detail().empty())
            text += " (" + e.Detail() + ")";
        return text;
    }
    // The platform knows its causes (on Linux the dialout group, on Windows a port held by
    // another program).
    if (const std::string advice = platform::OpenFailureAdvice(e.ErrorCode()); !advice.empty())
        return head + advice;
    return head + platform::OpenErrorReason(comm.EffectiveDevicePath(), e.ErrorCode());
}

std::string OpenRadioPort(TCustomCommX& comm, const TProgramState& state, const std::string& devicePath,
                          const TRadioLine& line)
{
    SelectRadioPort(comm, state, devicePath);
    comm.SetBitRate(line.bitRate);
    comm.SetCharSize(8);
    comm.SetParityBit(cpbNone);
    comm.SetStopBit(line.stopBits);
    comm.SetFlowCtrl(cfcNone);
    // Every talk with the radio opens here: a running serial trace records it.
    comm.SetDeviceWrapper(SerialTraceWrapper());
    try {
        comm.Open();
    } catch (const ECommError& e) {
        comm.Close();
        return OpenFailureDetail(RadioPortText(comm, devicePath), comm, e);
    }
    return {};
}

}  // namespace mv53
