#pragma once
// The serial ports of a Windows machine, from the registry's serial port map
// (HKLM\HARDWARE\DEVICEMAP\SERIALCOMM), read only: modems left out (by value name, by the
// friendly names of PCI devices and by the port names of WDM modems), the USB serial driver's
// ports flagged, sorted by port number. COM n is the device "\\.\COMn".

#include <string>
#include <vector>

namespace mv53::platform {

struct RegistryComPort {
    std::string name;         // "COM3"
    bool usbSerial = false;   // the port belongs to the USB serial driver (\Device\USBSER…)
};

// Where the keys are. Tests point it at a copy under the current user's key.
struct ComPortRegistryKeys {
    bool currentUser = false;   // false: HKEY_LOCAL_MACHINE; true: HKEY_CURRENT_USER
    std::string serialMap = "HARDWARE\\DEVICEMAP\\SERIALCOMM";
    std::string pciDevices = "SYSTEM\\CurrentControlSet\\Enum\\PCI";
    std::string wdmModems = "SYSTEM\\CurrentControlSet\\Enum\\WDM_MODEM";
};

// The present serial ports, sorted by number. A missing key yields fewer ports; a port name
// whose text after "COM" is not a decimal number is left out.
std::vector<RegistryComPort> RegistryComPorts(const ComPortRegistryKeys& keys = {});

// "\\.\COMn" for COM port n.
std::string WindowsComDevice(int portNo);

} // namespace mv53::platform
