#include "link/PortDoctor.h"

#include "link/CloneProtocol.h"
#include "link/RadioPort.h"
#include "model/Prompt.h"
#include "platform/PortDiagnosis.h"
#include "platform/PortIdentity.h"
#include "platform/SerialDevice.h"
#include "platform/SerialPorts.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <vector>

namespace mv53 {

namespace {

using Clock = std::chrono::steady_clock;

// The clone line: 8 data bits, no parity, two stop bits.
const std::string kCloneLineText = std::to_string(kCloneLine.bitRate) + " 8N2";
constexpr int kLoopbackBytes = 256;
constexpr double kBitsPerByte = 11.0;   // start, 8 data, 2 stop
// Beyond the line time, how long the echo may take to come back.
constexpr int kLoopbackGraceMs = 2000;

platform::LineSettings CloneLineSettings()
{
    platform::LineSettings line;
    line.baudRate = kCloneLine.bitRate;
    line.dataBits = 8;
    line.parity = platform::Parity::None;
    line.stopBits = platform::StopBits::Two;
    return line;
}

std::string Milliseconds(double ms)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.0f ms", ms);
    return text;
}

std::string Hex2(unsigned value)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", value & 0xFFu);
    return text;
}

// Silences the transfer's own message boxes while Identify runs: its result is the check's line.
class NoBoxes final {
public:
    NoBoxes() : m_previous(SetPrompt(nullptr)) {}
    ~NoBoxes() { SetPrompt(m_previous); }
    NoBoxes(const NoBoxes&) = delete;
    NoBoxes& operator=(const NoBoxes&) = delete;

private:
    IPrompt* m_previous;
};

}  // namespace

std::string CheckLineText(const TCheckLine& line)
{
    switch (line.level) {
    case TCheckLevel::Ok: return "OK   " + line.text;
    case TCheckLevel::Warn: return "WARN " + line.text;
    case TCheckLevel::Fail: break;
    }
    return "FAIL " + line.text;
}

void TPortDoctor::Say(TCheckLevel level, const std::string& text)
{
    m_failed = m_failed || level == TCheckLevel::Fail;
    m_report({level, text});
}

bool TPortDoctor::Run(const TDoctorRequest& request)
{
    m_failed = false;
    const std::vector<platform::PresentPort> ports = platform::PresentSerialPorts();
    ListPorts(ports, !request.device.empty());
    CheckServices();
    if (request.device.empty()) {
        for (const platform::PresentPort& port : ports)
            CheckPort(port.device, port.device);
        return !m_failed;
    }
    const std::string name = request.portText.empty() ? request.device : request.portText;
    if (!CheckPort(request.device, name))
        return false;
    if (request.loopback)
        CheckLoopback(request.device, name);
    else
        CheckIdentify(request.device, name);
    return !m_failed;
}

void TPortDoctor::ListPorts(const std::vector<platform::PresentPort>& ports, bool portChosen)
{
    if (ports.empty()) {
        // A chosen port may be one the system does not list (a pseudo-terminal, a bound path).
        Say(portChosen ? TCheckLevel::Ok : TCheckLevel::Warn,
            "no serial port found by the system" +
                std::string(portChosen ? "" : ": plug in the programming cable (a USB adapter appears as "
                                              "/dev/ttyUSB0 or /dev/ttyACM0, on Windows as a COM port)"));
        return;
    }
    for (const platform::PresentPort& port : ports) {
        std::string text = "port " + port.device;
        if (const std::string stable = platform::StableDevicePath(port.device); stable != port.device)
            text += " (" + stable + ")";
        for (const std::string& part : {port.manufacturer, port.description})
            if (!part.empty())
                text += ", " + part;
        text += port.driver.empty() ? ", driver unknown" : ", driver " + port.driver;
        if (platform::IsUsbCableDriver(port.driver))
            text += " (the radio's USB cable)";
        Say(TCheckLevel::Ok, text);
    }
}

void TPortDoctor::CheckServices()
{
    const auto running = platform::RunningPortGrabbers();
    if (!running)
        return;
    if (running->empty())
        Say(TCheckLevel::Ok, "no service known to grab USB serial adapters is running (" +
                                 platform::KnownPortGrabberNames() + ")");
    for (const platform::PortGrabber& service : *running)
        Say(TCheckLevel::Warn, service.name + " is running: " + service.advice);
}

bool TPortDoctor::CheckPort(const std::string& device, const std::string& name)
{
    const platform::PortAccess access = platform::CheckPortAccess(device);
    if (access.known && !access.exists) {
        Say(TCheckLevel::Fail, name + " " + access.found + ": " + access.advice);
        return false;
    }
    if (access.known && !access.mayOpen) {
        Say(TCheckLevel::Fail, name + ": this user may not open it (" + access.found + "); " + access.advice);
        return false;
    }
    if (access.known)
        Say(TCheckLevel::Ok, name + ": this user may open it (" + access.found + ")");

    const platform::PortHolders held = platform::FindPortHolders(device);
    for (const platform::PortHolder& holder : held.holders)
        Say(TCheckLevel::Warn, name + " is open in process " + std::to_string(holder.pid) + " (" + holder.program +
                                   "): if the port does not work, end that program");
    if (held.looked && held.holders.empty())
        Say(TCheckLevel::Ok, name + ": no other process has it open" +
                                 std::string(held.complete ? "" : " (among those this user may look at; "
                                                                  "sudo fuser -v " + device + " shows all)"));

    const auto line = platform::CreateSerialDevice();
    if (const std::string failure = OpenCloneLine(*line, device); !failure.empty()) {
        Say(TCheckLevel::Fail, name + ": " + failure);
        return false;
    }
    Say(TCheckLevel::Ok, name + " accepts the line settings " + kCloneLineText);
    return true;
}

std::string TPortDoctor::OpenCloneLine(platform::SerialDevice& device, const std::string& path)
{
    if (const int error = device.Open(path); error != 0) {
        const std::string advice = platform::OpenFailureAdvice(error);
        return "cannot open it: " + (advice.empty() ? platform::OpenErrorReason(path, error) : advice);
    }
    const platform::LineSettings wanted = CloneLineSettings();
    if (const int error = device.SetLineSettings(wanted); error != 0)
        return "the line settings " + kCloneLineText + " were refused (" + platform::ErrorText(error) +
               "): the adapter or its driver cannot run the radio's line";
    platform::LineSettings got;
    if (const int error = device.GetLineSettings(got); error != 0)
        return "the line settings cannot be read back (" + platform::ErrorText(error) + ")";
    if (got.baudRate != wanted.baudRate || got.dataBits != wanted.dataBits || got.parity != wanted.parity ||
        got.stopBits != wanted.stopBits)
        return "the driver took the line settings " + kCloneLineText + " but holds " + std::to_string(got.baudRate) +
               " bit/s, " + std::to_string(got.dataBits) + " data bits" +
               (got.stopBits == platform::StopBits::Two ? "" : ", one stop bit") +
               ": the adapter cannot run the radio's line";
    return {};
}

void TPortDoctor::CheckLoopback(const std::string& path, const std::string& name)
{
    const auto device = platform::CreateSerialDevice();
    if (const std::string failure = OpenCloneLine(*device, path); !failure.empty()) {
        Say(TCheckLevel::Fail, name + ": " + failure);
        return;
    }
    device->Purge(true, true);
    std::vector<unsigned char> sent(kLoopbackBytes);
    for (int i = 0; i < kLoopbackBytes; ++i)
        sent[static_cast<std::size_t>(i)] = static_cast<unsigned char>(i);
    std::vector<unsigned char> got;
    const double lineMs = kLoopbackBytes * kBitsPerByte * 1000.0 / kCloneLine.bitRate;
    const auto start = Clock::now();
    const auto deadline = start + std::chrono::milliseconds(static_cast<int>(lineMs) + kLoopbackGraceMs);
    std::size_t written = 0;
    std::string failure;
    while (got.size() < sent.size() && failure.empty() && Clock::now() < deadline) {
        if (written < sent.size()) {
            const platform::IoResult w = device->Write(sent.data() + written, sent.size() - written);
            if (!w.Ok() && w.error != EAGAIN)
                failure = "sending failed (" + platform::ErrorText(w.error) + ")";
            written += static_cast<std::size_t>(w.count);
        }
        if (device->WaitReadable(20) & platform::kEventHangUp)
            failure = "the device went away during the loopback";
        unsigned char buffer[kLoopbackBytes];
        const platform::IoResult r = device->Read(buffer, sizeof buffer);
        if (r.count > 0)
            got.insert(got.end(), buffer, buffer + r.count);
    }
    const double roundTripMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    device->Close();
    if (!failure.empty()) {
        Say(TCheckLevel::Fail, name + " loopback: " + failure);
        return;
    }
    const std::string what = "check that transmit and receive are bridged at the cable's end (no radio attached)";
    if (got.empty()) {
        Say(TCheckLevel::Fail, name + " loopback: none of " + std::to_string(kLoopbackBytes) + " bytes came back; " + what);
        return;
    }
    for (std::size_t i = 0; i < got.size() && i < sent.size(); ++i)
        if (got[i] != sent[i]) {
            Say(TCheckLevel::Fail, name + " loopback: byte " + std::to_string(i) + " came back as " + Hex2(got[i]) +
                                       " instead of " + Hex2(sent[i]) + ": the line corrupts data; check the cable");
            return;
        }
    if (got.size() != sent.size()) {
        Say(TCheckLevel::Fail, name + " loopback: " + std::to_string(got.size()) + " of " +
                                   std::to_string(kLoopbackBytes) + " bytes came back" +
                                   (got.size() < sent.size() ? " (the rest was lost); " : " (more than sent); ") + what);
        return;
    }
    Say(TCheckLevel::Ok, name + " loopback: " + std::to_string(kLoopbackBytes) + " bytes echoed, round trip " +
                             Milliseconds(roundTripMs) + " (the line alone takes " + Milliseconds(lineMs) + ")");
}

void TPortDoctor::CheckIdentify(const std::string& device, const std::string& name)
{
    TProgramState state;
    TCloneTransfer transfer(state);
    transfer.SetDevicePath(device);
    bool ok = false;
    {
        NoBoxes quiet;
        ok = transfer.Run({.Kind = TTransferKind::ReadSerial, .InChain = true});
    }
    const TTransferResult& result = transfer.Result();
    if (!ok) {
        Say(TCheckLevel::Fail, "radio on " + name + ": " + result.detail);
        return;
    }
    const std::string answer = "radio on " + name + " answered Identify: KT-4680, firmware version " + result.fwVersion;
    if (result.readSerialNo.empty())
        Say(TCheckLevel::Warn, answer + ", but sent no serial number: switch the radio off and on and try again");
    else
        Say(TCheckLevel::Ok, answer + ", serial number " + result.readSerialNo);
}

}  // namespace mv53
