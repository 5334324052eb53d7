#pragma once
// The serial ports the system reports as present, and the driver behind each, for telling the
// maker's USB cable from other ports. Linux: Qt's serial port enumeration and sysfs. Windows:
// the registry's serial port map (modems left out), COM n being the device "\\.\COMn".

#include <string>
#include <vector>

namespace mv53::platform {

struct PresentPort {
    std::string device;        // "/dev/ttyUSB0", "\\.\COM3"
    std::string portName;      // "ttyUSB0", "COM3"
    std::string description;   // what the system calls the device ("FT232R USB UART")
    std::string manufacturer;
    std::string serialNumber;  // of a USB adapter, when it reports one
    std::string driver;        // see SerialPortDriver
};

std::vector<PresentPort> PresentSerialPorts();

// The driver of the port named portName as the system enumerates it ("ttyACM0" on Linux,
// "COM3" on Windows): the kernel driver from sysfs on Linux ("cdc_acm", "ftdi_sio"), "usbser"
// on Windows for ports of the USB serial driver. Empty when unknown.
std::string SerialPortDriver(const std::string& portName);

// The drivers the maker's cable runs on: the USB CDC-ACM class driver of each system.
bool IsUsbCableDriver(const std::string& driver);

} // namespace mv53::platform
