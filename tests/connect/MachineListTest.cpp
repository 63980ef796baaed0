// The machine list without a window: tile layout, names, liveness timer
// numbers, addresses; MAC texts and stored names; the local address entries.
#include <gtest/gtest.h>

#include "ConnectTestSupport.h"
#include "LocalAddresses.h"
#include "MachineList.h"
#include "MachineNames.h"

namespace orv {
namespace {

MacAddress Mac(uint8_t last) {
  return {0x02, 0x51, 0x20, 0x00, 0x00, last};
}

std::string Ip(int n) {
  return "127.0.0." + std::to_string(n);
}

TEST(MachineList, NineMachinesLayOutFourTilesPerRow) {
  MachineList list;
  for (int i = 0; i < 9; ++i) ASSERT_EQ(list.Add(Ip(i + 2), Mac(i + 2), ""), i);
  const QPoint expected[] = {{10, 80},   {220, 80},  {430, 80},  {640, 80}, {10, 170},
                             {220, 170}, {430, 170}, {640, 170}, {10, 260}};
  for (int i = 0; i < 9; ++i) {
    const Machine& m = list.At(i);
    EXPECT_EQ(m.tile.topLeft(), expected[i]) << "machine " << i;
    EXPECT_EQ(m.tile.size(), QSize(200, 80));
    EXPECT_EQ(m.timerId, 2735 + i);
    EXPECT_EQ(m.name, "Q20-" + std::to_string(i + 1));
    EXPECT_EQ(m.misses, 0);
    EXPECT_FALSE(m.online || m.online2 || m.connected || m.selected);
  }
  EXPECT_EQ(list.TileAt({10, 80}), 0);
  EXPECT_EQ(list.TileAt({209, 159}), 0);
  EXPECT_EQ(list.TileAt({215, 100}), -1) << "the gap between tiles";
  EXPECT_EQ(list.TileAt({700, 300}), -1) << "no tile beside the ninth";
  EXPECT_EQ(list.TileAt({20, 300}), 8);
  EXPECT_EQ(list.FindTimer(2743), 8);
  EXPECT_EQ(list.FindTimer(2744), -1);
}

TEST(MachineList, StoredNameWinsAndAKnownAddressIsListedOnce) {
  MachineList list;
  EXPECT_EQ(list.Add(Ip(2), Mac(2), ""), 0);
  EXPECT_EQ(list.Add(Ip(3), Mac(3), "Stage left"), 1);
  EXPECT_EQ(list.Add(Ip(2), Mac(9), "again"), -1);
  EXPECT_EQ(list.Add(Ip(4), Mac(4), ""), 2);
  EXPECT_EQ(list.Size(), 3);
  EXPECT_EQ(list.At(1).name, "Stage left");
  EXPECT_EQ(list.At(2).name, "Q20-3") << "counts the machines including this one";
  EXPECT_EQ(list.Addresses(), (std::vector<uint8_t>{2, 3, 4}));
}

TEST(MachineAddress, OnlyStrictIpv4TextNamesAnAddress) {
  EXPECT_EQ(MachineAddress("127.0.0.3"), 3);
  EXPECT_EQ(MachineAddress("192.168.1.110"), 110);
  EXPECT_EQ(MachineAddress("10.0.0.255"), 255);
  // 300 would become 44 if only the part lengths were checked.
  EXPECT_EQ(MachineAddress("300.1.1.1"), 0);
  EXPECT_EQ(MachineAddress("1.1.1.300"), 0);
  EXPECT_EQ(MachineAddress("192.168.1"), 0);
  EXPECT_EQ(MachineAddress("1.2.3.4.5"), 0);
  EXPECT_EQ(MachineAddress("1..2.3"), 0);
  EXPECT_EQ(MachineAddress("a.b.c.d"), 0);
  EXPECT_EQ(MachineAddress("1.2.3.1234"), 0);
  EXPECT_EQ(MachineAddress(""), 0);
  MachineList list;
  list.Add("300.1.1.1", Mac(1), "");
  EXPECT_EQ(list.Addresses(), (std::vector<uint8_t>{0}));
}

using MachineNames = test::PageFixture;

TEST_F(MachineNames, MacTextAndStoredNames) {
  EXPECT_EQ(MacText({0x02, 0x51, 0x20, 0x00, 0x00, 0x0A}), "2-51-20-0-0-a");
  EXPECT_EQ(MacText({0xFF, 0xAB, 0x01, 0x10, 0x00, 0xC3}), "ff-ab-1-10-0-c3");
  EXPECT_EQ(StoredMachineName(Mac(2)), "");
  ASSERT_TRUE(StoreMachineName(Mac(2), "Hall B"));
  EXPECT_EQ(StoredMachineName(Mac(2)), "Hall B");
  EXPECT_EQ(Setting("2-51-20-0-0-2", "MachineName"), "Hall B");
  EXPECT_EQ(StoredMachineName(Mac(3)), "") << "another machine";
}

TEST(LocalAddressEntries, AddressesStartingWithZeroAreLeftOutAndNoneGivesNA) {
  EXPECT_EQ(LocalAddressEntries({"0.0.0.0", "127.0.0.1", "", "127.0.0.9"}),
            (std::vector<std::string>{"127.0.0.1", "127.0.0.9"}));
  EXPECT_EQ(LocalAddressEntries({}), (std::vector<std::string>{"N/A"}));
  EXPECT_EQ(LocalAddressEntries({"0.0.0.0"}), (std::vector<std::string>{"N/A"}));
}

TEST(SystemIpv4Addresses, ListsTheLoopbackInterface) {
  // Only read here: nothing is sent anywhere.
  const auto addresses = SystemIpv4Addresses();
  EXPECT_NE(std::find(addresses.begin(), addresses.end(), "127.0.0.1"), addresses.end());
}

}  // namespace
}  // namespace orv
