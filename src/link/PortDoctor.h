#pragma once
// The checks behind `mv53 doctor`, for a radio that will not talk: the serial ports the system
// reports, whether this user may open a port and who else holds it, services that grab USB
// serial adapters, the clone line's settings, a loopback at the cable's end, and the radio's
// answer to Identify. Each check gives one line: what was found and what to do about it.

#include <functional>
#include <string>
#include <vector>

namespace mv53 {

namespace platform {
class SerialDevice;
struct PresentPort;
}

enum class TCheckLevel { Ok, Warn, Fail };

struct TCheckLine {
    TCheckLevel level = TCheckLevel::Ok;
    std::string text;   // what was found, and what to do
};
// The line as printed: "OK   ...", "WARN ..." or "FAIL ...".
std::string CheckLineText(const TCheckLine& line);

struct TDoctorRequest {
    std::string device;     // the port to examine; empty: every port the system reports
    std::string portText;   // its name in the lines ("COM1 (/dev/ttyUSB0)"); the device when empty
    bool loopback = false;  // transmit and receive are bridged at the cable's end (no radio)
};

class TPortDoctor final {
public:
    using Report = std::function<void(const TCheckLine&)>;
    explicit TPortDoctor(Report report) : m_report(std::move(report)) {}

    // Runs the checks in order and reports each line as soon as it is known. A port that fails
    // a check is not tried further. True when no check failed.
    bool Run(const TDoctorRequest& request);

private:
    void Say(TCheckLevel level, const std::string& text);
    void ListPorts(const std::vector<platform::PresentPort>& ports, bool portChosen);
    void CheckServices();
    // Access, other holders and the line settings; false when the port cannot be used.
    bool CheckPort(const std::string& device, const std::string& name);
    // Opens the device at 9600 8N2 and reads the settings back; empty, or why not.
    std::string OpenCloneLine(platform::SerialDevice& device, const std::string& path);
    void CheckLoopback(const std::string& device, const std::string& name);
    void CheckIdentify(const std::string& device, const std::string& name);

    Report m_report;
    bool m_failed = false;
};

}  // namespace mv53
