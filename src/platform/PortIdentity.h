#pragma once
// What names a serial device across re-plugging and reboots. On Linux udev makes a link in
// /dev/serial/by-id for each USB serial adapter from its maker, model and serial number
// ("usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0"); that link stays the same while the
// kernel's name (/dev/ttyUSB0, ttyUSB1, ...) follows the order in which adapters appear.

#include <string>

namespace mv53::platform {

// The stable path of a device: the link in the stable-link folder that points at it, else the
// path as given (a device without such a link: a built-in port, a pseudo-terminal).
std::string StableDevicePath(const std::string& device);
// Whether two paths name the same device (links followed; equal texts when one cannot be).
bool SameDevice(const std::string& a, const std::string& b);
// The adapter's maker, model and serial number as its stable link names them
// ("FTDI FT232R USB UART A50285BI"); empty when the path is not such a link.
std::string StableDeviceName(const std::string& path);

// The folder of the stable links: /dev/serial/by-id, or $MV53_SERIAL_BY_ID when set.
std::string StableLinkFolder();

} // namespace mv53::platform
