// The serial port list over an abstract device map, the kernel map read
// from a fake tree, and the COM numbering of kernel devices.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "SerialPorts.h"

namespace orv {
namespace {

namespace fs = std::filesystem;

SerialDeviceValue Value(const std::string& device, const std::string& com, bool withNul = true) {
  return {device, SerialMapText(com, withNul)};
}

TEST(EnumerateSerialPorts, AcceptsComNamesInAnyCase) {
  std::vector<SerialPortEntry> list;
  EXPECT_TRUE(EnumerateSerialPorts({Value("\\Device\\Serial0", "com7")}, list));
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].name, "com7");
  EXPECT_EQ(list[0].number, 7);
  list.clear();
  EXPECT_TRUE(
      EnumerateSerialPorts({Value("a", "CoM12"), Value("b", "COM99"), Value("c", "COM1")}, list));
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0].number, 12);  // map order, no sorting
  EXPECT_EQ(list[1].number, 99);
  EXPECT_EQ(list[2].number, 1);
}

TEST(EnumerateSerialPorts, SkipsValuesOutsideTheNameAndSizeRules) {
  std::vector<SerialPortEntry> list;
  const SerialDeviceMap map = {
      Value("a", "COM100"),                  // 14 bytes with its NUL: too long
      Value("b", "COMX"),                    // no digit
      Value("c", "COM"),                     // 8 bytes, but no digit
      Value("d", "LPT1"),                    // not COM
      Value("e", "COM1A"),                   // a letter where a digit or NUL must be
      {"f", {'C', 0, 'O', 0}},               // 4 bytes: too short
      {"g", std::vector<uint8_t>(20, 'C')},  // larger than the read buffer
  };
  EXPECT_FALSE(EnumerateSerialPorts(map, list));
  EXPECT_TRUE(list.empty());
  // COM100 stored without its NUL is 12 bytes and reads as port 100.
  EXPECT_TRUE(EnumerateSerialPorts({Value("h", "COM100", false)}, list));
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].number, 100);
}

TEST(EnumerateSerialPorts, OneEntryPerNumberAndAppends) {
  std::vector<SerialPortEntry> list = {{"COM9", 9}};
  EXPECT_TRUE(
      EnumerateSerialPorts({Value("a", "COM3"), Value("b", "COM3"), Value("c", "com9")}, list));
  ASSERT_EQ(list.size(), 2u);  // the existing entry stays, COM3 once
  EXPECT_EQ(list[0].number, 9);
  EXPECT_EQ(list[1].name, "COM3");
  std::vector<SerialPortEntry> none;
  EXPECT_FALSE(EnumerateSerialPorts(SerialDeviceMap{}, none));
}

TEST(EnumerateSerialPorts, PortNumberOpensTheFirstDeviceNamingIt) {
  const SerialDeviceMap map = {Value("/dev/ttyUSB0", "COM33"),
                               Value("/dev/serial/by-id/x", "COM33"), Value("/dev/ttyS0", "COM1"),
                               Value("/dev/bad", "COMX")};
  EXPECT_EQ(SerialDevicePath(map, 33), "/dev/ttyUSB0");
  EXPECT_EQ(SerialDevicePath(map, 1), "/dev/ttyS0");
  EXPECT_EQ(SerialDevicePath(map, 2), "");
  EXPECT_EQ(SerialDevicePath(map, 0), "");
}

TEST(ComNumbers, KernelFamilies) {
  EXPECT_EQ(ComNumberOfTty("ttyS0"), 1);
  EXPECT_EQ(ComNumberOfTty("ttyS31"), 32);
  EXPECT_EQ(ComNumberOfTty("ttyS32"), 0);
  EXPECT_EQ(ComNumberOfTty("ttyUSB0"), 33);
  EXPECT_EQ(ComNumberOfTty("ttyACM2"), 67);
  EXPECT_EQ(ComNumberOfTty("ttyAMA9"), 99);
  EXPECT_EQ(ComNumberOfTty("ttyAMA10"), 0);
  EXPECT_EQ(ComNumberOfTty("tty1"), 0);
  EXPECT_EQ(ComNumberOfTty("ttySAC0"), 0);
  EXPECT_EQ(ComNumberOfTty("ttyUSB"), 0);
}

TEST(KernelMap, ReadsDevicesWithAHardwareLinkAndById) {
  const fs::path root = fs::temp_directory_path() / ("orv-serial-" + std::to_string(::getpid()));
  fs::remove_all(root);
  const fs::path sys = root / "sys";
  const fs::path dev = root / "dev";
  auto tty = [&](const std::string& name, bool device, const char* driver = nullptr,
                 const char* type = nullptr) {
    fs::create_directories(sys / name);
    if (device) {
      fs::create_directories(root / "devices" / name / "drv");
      fs::create_directories(root / "drivers" / (driver ? driver : "usb"));
      fs::create_directory_symlink(root / "devices" / name, sys / name / "device");
      fs::create_directory_symlink(root / "drivers" / (driver ? driver : "usb"),
                                   root / "devices" / name / "driver");
    }
    if (type) std::ofstream(sys / name / "type") << type << "\n";
    std::ofstream(dev / name).put('x');
  };
  fs::create_directories(dev / "serial" / "by-id");
  tty("tty1", false);                     // a virtual terminal: no device
  tty("ttyS0", true, "serial8250", "4");  // a real UART
  tty("ttyS1", true, "serial8250", "0");  // a placeholder UART
  tty("ttyUSB1", true);
  fs::create_symlink(dev / "ttyUSB1", dev / "serial" / "by-id" / "usb-Maker_Adapter-if00");

  const auto map = KernelSerialDeviceMap(sys.string(), dev.string());
  std::vector<SerialPortEntry> list;
  ASSERT_TRUE(EnumerateSerialPorts(map, list));
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].name, "COM1");
  EXPECT_EQ(list[1].name, "COM34");
  EXPECT_EQ(SerialDevicePath(map, 34), (dev / "ttyUSB1").string());
  ASSERT_EQ(map.size(), 3u);  // the by-id link names COM34 again
  EXPECT_NE(map[2].name.find("by-id"), std::string::npos);
  fs::remove_all(root);
}

TEST(ExtraDevices, ComeFirstAndCanBeRemoved) {
  AddExtraSerialDevice("/tmp/orv-fake-port", 47);
  std::vector<SerialPortEntry> list;
  ASSERT_TRUE(EnumerateSerialPorts(list));
  EXPECT_EQ(list[0].number, 47);
  EXPECT_EQ(SerialDevicePath(47), "/tmp/orv-fake-port");
  AddExtraSerialDevice("/tmp/orv-fake-port", 48);  // the same device, renumbered
  EXPECT_EQ(SerialDevicePath(47), "");
  EXPECT_EQ(SerialDevicePath(48), "/tmp/orv-fake-port");
  RemoveExtraSerialDevice("/tmp/orv-fake-port");
  EXPECT_EQ(SerialDevicePath(48), "");
}

}  // namespace
}  // namespace orv
