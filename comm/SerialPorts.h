#pragma once
// The serial port list. The system keeps a serial device map: values, each
// with a name (the device) and data (the port's COM name, stored as UTF-16LE
// text, normally with its terminating NUL). EnumerateSerialPorts turns such a
// map into (name, number) entries; port number n opens the device of the
// first value that names COMn.
//
// On Linux the map is built from the serial devices the kernel reports
// (/sys/class/tty entries that have a device) and the links in
// /dev/serial/by-id, after any extra devices added at run time (a
// pseudo-terminal standing in for an adapter in tests and demos).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orv {

struct SerialDeviceValue {
  std::string name;           // the device, e.g. "/dev/ttyUSB0"
  std::vector<uint8_t> data;  // the stored COM name, UTF-16LE
};
using SerialDeviceMap = std::vector<SerialDeviceValue>;

struct SerialPortEntry {
  std::string name;  // the COM name as stored, e.g. "COM3" or "com7"
  int number = 0;    // the integer after the three letters
};

// Appends the ports of `map` to `list` (one entry per number, in map order)
// and returns true when the list holds at least one entry afterwards.
bool EnumerateSerialPorts(const SerialDeviceMap& map, std::vector<SerialPortEntry>& list);
// The same over the system's map.
bool EnumerateSerialPorts(std::vector<SerialPortEntry>& list);

// The device that port number `number` opens in `map`; empty when none.
std::string SerialDevicePath(const SerialDeviceMap& map, int number);
std::string SerialDevicePath(int number);

// The system's map: extra devices, then kernel serial devices and their
// by-id links.
SerialDeviceMap SystemSerialDeviceMap();
// The kernel part alone, read below `sysClassTty` and `devRoot` (tests
// point these at a fake tree).
SerialDeviceMap KernelSerialDeviceMap(const std::string& sysClassTty = "/sys/class/tty",
                                      const std::string& devRoot = "/dev");

// COM number the system gives a kernel tty name: ttyS<k> -> k + 1,
// ttyUSB<k> -> 33 + k, ttyACM<k> -> 65 + k, ttyAMA<k> -> 90 + k (each family
// capped so that numbers stay below 100); 0 for names outside these families.
int ComNumberOfTty(std::string_view ttyName);

// The name that finds the same adapter again after it was unplugged: the
// /dev/serial/by-id link (below `devRoot`) that leads to `device`, else
// `device` itself.
std::string StableSerialName(const std::string& device, const std::string& devRoot = "/dev");
// The port number whose device is (or leads to the same device as) the
// stable name now; 0 when no port of the system's map does.
int SerialPortOfName(const std::string& stableName);

// Extra devices (process-wide): `path` appears in the system map as COMn.
void AddExtraSerialDevice(const std::string& path, int number);
void RemoveExtraSerialDevice(const std::string& path);
void ClearExtraSerialDevices();

// A text as the map stores it: UTF-16LE, with a terminating NUL if asked.
std::vector<uint8_t> SerialMapText(std::string_view ascii, bool withNul = true);

}  // namespace orv
