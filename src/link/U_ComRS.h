#pragma once
// COM port discovery: the list of present serial ports that the Configure dialog offers,
// modems left out, the maker's USB cable marked, sorted by port number.

#include <functional>
#include <string>
#include <vector>

namespace mv53 {

// Appended to the list entry of a port that is the maker's USB interface cable.
inline constexpr const char* kUsbCableSuffix = "   (UXC-40)";

// One serial port as the platform reports it, under the COM name it has in this program.
struct TComPortInfo {
    std::string name;          // "COM3": from the port bindings or the discovery order
    std::string device;        // "/dev/ttyUSB0"
    std::string description;   // what the system calls the device ("FT232R USB UART")
    std::string manufacturer;
    std::string driver;        // kernel driver ("ftdi_sio", "cdc_acm"); empty when unknown
    // What stays the same when adapters are re-plugged: the adapter's maker and serial number
    // ("FTDI A50285BI"), and the stable path that a chosen number is bound to.
    std::string stableName;
    std::string stablePath;
};

// The text that names a port for the user: its stable name, else its stable path.
std::string PortDisplayName(const TComPortInfo& port);

using TComPortEnumerator = std::function<std::vector<TComPortInfo>()>;

// The ports of this machine: every COM binding of the port map whose device is present
// (serial ports the system enumerates, and bound devices such as pseudo-terminals).
std::vector<TComPortInfo> SystemComPorts();
// Replaces the enumeration (tests); an empty function restores SystemComPorts. Returns the
// previous one.
TComPortEnumerator SetComPortEnumerator(TComPortEnumerator enumerator);
// The ports as the installed enumeration reports them.
std::vector<TComPortInfo> EnumerateComPorts();

bool IsModemPort(const TComPortInfo& port);
bool IsUsbCablePort(const TComPortInfo& port);

// Clears list and fills it with one entry per present port: "COM" and its number, with
// kUsbCableSuffix for the USB cable; sorted by number. Entries whose name is not "COM" and a
// decimal number are skipped.
void BuildComPortList(const std::vector<TComPortInfo>& ports, std::vector<std::string>& list);
// BuildComPortList over EnumerateComPorts().
void GetComPortList(std::vector<std::string>& list);

// The port name of a list entry, without the cable suffix ("COM3   (UXC-40)" gives "COM3").
std::string PortNameOfEntry(const std::string& entry);

}  // namespace mv53
