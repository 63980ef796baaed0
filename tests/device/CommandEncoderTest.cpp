// Byte-exact payloads of every command type, built from one known record, and
// the encoder's edge cases. Expected bytes are written out in full.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "CommandEncoder.h"
#include "DeviceState.h"
#include "FakeCommLibrary.h"

namespace orv {
namespace {

using Bytes = std::array<uint8_t, 32>;
using test::FakeCommLibrary;

// Parses 32 hex bytes given as two halves of 16.
Bytes Hex(const std::string& first, const std::string& second) {
  std::istringstream in(first + " " + second);
  Bytes out{};
  int n = 0;
  std::string token;
  while (in >> token) {
    if (n >= 32) ADD_FAILURE() << "more than 32 bytes";
    if (n < 32) out[n] = static_cast<uint8_t>(std::stoul(token, nullptr, 16));
    ++n;
  }
  if (n != 32) ADD_FAILURE() << "expected 32 bytes, got " << n;
  return out;
}

std::string Show(const Bytes& b) {
  std::ostringstream out;
  for (int n = 0; n < 32; ++n) {
    static const char* kDigits = "0123456789ABCDEF";
    out << kDigits[b[n] >> 4] << kDigits[b[n] & 15] << (n == 15 ? " | " : " ");
  }
  return out.str();
}

// Fills the record with distinctive values inside the fields' ranges. Every
// element the encoder might read by mistake (another layer, group, cell, logo
// id, keyer, task) holds a decoy so that a wrong lookup changes the bytes.
void LoadKnownRecord(DeviceState& s) {
  ParamBlock& b = s.block;
  b = ParamBlock{};

  b.OUTPUTRESO = {0x112,  0x0780, 0x0438, 0x1770, 0x0898, 0x0465,
                  0x002C, 0x0005, 0x0094, 0x0024, 1,      0};
  s.OUTPUT_DETAIL = 1;

  b.PICCOMMSETT.PICMODE = 3;
  b.PICCOMMSETT.BRIGHTLEVEL = 0x0F;
  b.PICCOMMSETT.GAMMA = 2.3f;
  s.PICSET_BYTE0 = 7;
  s.PICSET_BYTE15 = 9;
  for (int i = 0; i < 4; ++i) s.PICSET_FLAG[i] = 0x20 + i;
  for (auto& p : b.PICSET) p = {0xEE, 0xEE, 0xEE, 0xEE, 0xEE, {}, 0xEE, 0xEE, 0xEE, 0xEE, 0, 0, {}};
  // Layer 1 shows DP1-R (input 9), stored under group 8: element 4 * 8 + 1.
  b.PICSET[33] = {0x31, 0x32, 0x13, 0x34, 0x35, {}, 0x106, 0x37, 0x38, 0x39, 0, 0x3A, {}};

  b.CHNLDATA[0] = {0, 0x11, 0, 0, 0x1001, 0x1002, 0x1003, 0x1004, 7};
  b.CHNLDATA[1] = {1, 0x30, 9, 0, 0x1234, 0x0140, 0x0280, 0x01E0, 2};
  b.CHNLDATA[2] = {1, 0x3C, 3, 0, 0x1201, 0x1202, 0x1203, 0x1204, 5};
  b.CHNLDATA[3] = {0, 0x33, 5, 0, 0x1301, 0x1302, 0x1303, 0x1304, 6};
  for (int i = 0; i < 4; ++i) s.LAYER_DEFAULT[i].FULLSCREEN_REQ = i == 1 ? 1 : 0x0F;

  for (auto& c : b.CROP) c = {0xDD, 0, 0xDDDD, 0xDDDD, 0xDDDD, 0xDDDD, 0xDDDD, 0xDDDD};
  b.CROP[33] = {1, 0, 0x0010, 0x0020, 0x0500, 0x02D0, 0x0780, 0x0438};

  b.MOSAICSETT.MOSAICMODE = 0x104;
  b.MOSAICSETT.MOSAIC_OPT = 6;
  s.MOSAIC_BYTE2 = 8;
  s.MOSAIC_BYTE28 = 1;
  for (int c = 0; c < 4; ++c) {
    b.MOSAICSETT.HPOS[c] = b.MOSAICSETT.VPOS[c] = b.MOSAICSETT.HACT[c] = 0x1700 + c;
    b.MOSAICSETT.VACT[c] = b.MOSAICSETT.HTOTAL[c] = b.MOSAICSETT.VTOTAL[c] = 0x1600 + c;
  }
  b.MOSAICSETT.HPOS[1] = 0x2233;
  b.MOSAICSETT.VPOS[1] = 0x780;
  b.MOSAICSETT.HACT[1] = 0x400;
  b.MOSAICSETT.VACT[1] = 0x1A0B;
  b.MOSAICSETT.HTOTAL[1] = 0x898;
  b.MOSAICSETT.VTOTAL[1] = 0x465;

  LogoInfo& logo = b.LOGOINFO;
  logo.LOGOUSAGE = 1;
  logo.LOGOCURID = 2;
  logo.LOGOONOFF = 1;
  logo.LOGOPOS = 3;
  logo.LOGO_OPT = 0x0B;
  for (int id = 0; id < 4; ++id) {
    logo.HPOS[id] = static_cast<uint16_t>(0x1100 + id);
    logo.VPOS[id] = static_cast<uint16_t>(0x1200 + id);
    logo.HACT[id] = static_cast<uint16_t>(0x1300 + id);
    logo.VACT[id] = static_cast<uint16_t>(0x1400 + id);
    for (int c = 0; c < 4; ++c)
      s.LOGO_HOSTPOS[c][id] = static_cast<uint16_t>(0x2000 + 0x100 * c + id);
  }
  logo.HPOS[2] = 0x0164;
  logo.VPOS[2] = 0x00C8;
  logo.HACT[2] = 0x0040;
  logo.VACT[2] = 0x0030;
  s.LOGO_HOSTPOS[0][2] = 0x0A01;
  s.LOGO_HOSTPOS[1][2] = 0x0B02;
  s.LOGO_HOSTPOS[2][2] = 0x0C03;
  s.LOGO_HOSTPOS[3][2] = 0x0D04;
  s.LOGO_HOSTPOS[0][3] = 0x0E05;
  s.LOGO_HOSTPOS[1][3] = 0x0F06;
  s.LOGO_HOSTPOS[2][3] = 0x1007;
  s.LOGO_HOSTPOS[3][3] = 0x1108;
  s.LOGO_EDIT_ID = 3;

  for (int e = 0; e < 7; ++e) {
    const auto d = static_cast<uint16_t>(e);
    b.EDIDINFO[e] = {static_cast<uint8_t>(0x40 + e),
                     0,
                     uint16_t(0x0500 + d),
                     uint16_t(0x0600 + d),
                     uint16_t(0x1700 + d),
                     uint16_t(0x0800 + d),
                     uint16_t(0x0900 + d)};
  }
  b.EDIDINFO[1] = {0x21, 0, 0x0780, 0x0438, 0x1770, 0x0118, 0x002D};

  Keyer& k0 = b.KEYERINFO.KEYER[0];
  k0 = {3, 1, {}, 0x102, 0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x30, 0x31, 0x72, {}};
  Keyer& k1 = b.KEYERINFO.KEYER[1];
  k1 = {1, 0, {}, 1, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x37, 0x38, 0x89, {}};

  s.TESTPATTERN_ID = 0x6F;
  s.TESTPATTERN_ARGS[0] = 0x0123;
  s.TESTPATTERN_ARGS[1] = 0x0456;

  s.VGA = {};
  s.VGA.ADJ_TARGET = 3;
  s.VGA.V1 = 0x0B0C;
  s.VGA.V2 = 0x34;
  s.VGA.B1 = -3;
  s.VGA.B2 = 5;
  s.VGA.W1 = 0x0101;
  s.VGA.W2 = 0x0202;
  s.VGA.W3 = 0x0303;
  s.VGA.W4 = 0x0104;
  s.VGA.W5 = 0x0205;
  s.VGA.W6 = 0x0306;

  b.PVWMODEINFO.PVWMODE = 2;
  b.PVWMODEINFO.PVWDTIME = 0x1F4;

  b.TASKEINFO.TASKSTATUS = 1;
  for (int t = 0; t < 10; ++t) {
    b.TASKEINFO.TASK[t] = {0x60, 9,   0x14, 0x10, 0x20, 0x30, static_cast<uint8_t>(0x70 + t),
                           0,    0x7F};
  }
  b.TASKEINFO.TASK[1] = {24, 5, 17, 8, 30, 15, 4, 0, 0x203};
  const uint8_t clock[6] = {25, 12, 31, 23, 59, 58};
  std::memcpy(s.DEVICE_CLOCK, clock, 6);

  b.LOOPINFO.LOOPOUTIP = 5;
  b.FREEZE_STATE = 1;
  s.SWITCH_MODE = 3;
  for (int i = 0; i < 9; ++i) s.FEATHER[i] = 0xF0 + i;

  b.INPUTINFO.INPUTSRC[6] = 6;
  b.COMPOSITEBOARD.CMPBOARDEXIST = 0;
}

// The arguments every row of the sweep is sent with: a = 1, b = 2, then
// 0xC2..0xDE, and 3 in the 32nd place (the keyer selector).
std::vector<uint8_t> DefaultArgs() {
  std::vector<uint8_t> args = {1, 2};
  for (int k = 2; k < 31; ++k) args.push_back(static_cast<uint8_t>(0xC0 + k));
  args.push_back(3);
  return args;
}

// Sends with a runtime argument list of any length up to 32.
int Send(uint16_t type, const std::vector<uint8_t>& args) {
  uint8_t a[32] = {};
  std::copy(args.begin(), args.end(), a);
  switch (args.size()) {
    case 0:
      return SendCommand(type);
    case 1:
      return SendCommand(type, a[0]);
    case 2:
      return SendCommand(type, a[0], a[1]);
    case 3:
      return SendCommand(type, a[0], a[1], a[2]);
    case 32:
      return SendCommand(type, a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8], a[9], a[10],
                         a[11], a[12], a[13], a[14], a[15], a[16], a[17], a[18], a[19], a[20],
                         a[21], a[22], a[23], a[24], a[25], a[26], a[27], a[28], a[29], a[30],
                         a[31]);
    default:
      ADD_FAILURE() << "unsupported argument count " << args.size();
      return 0;
  }
}

class CommandEncoderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetCommLibrary(&fake);
    SetDeviceAddress(0x2A);
    LoadKnownRecord(*State());
  }
  void TearDown() override {
    SetCommLibrary(nullptr);
    SetDeviceAddress(110);
  }

  // Sends and returns the one typed send it produced.
  Bytes SendAndCapture(uint16_t type, const std::vector<uint8_t>& args) {
    fake.ClearRecords();
    Send(type, args);
    const auto sends = fake.TypedSends();
    if (sends.size() != 1) {
      ADD_FAILURE() << "type " << type << " made " << sends.size() << " typed sends";
      return Bytes{};
    }
    EXPECT_EQ(sends[0].type, type);
    EXPECT_EQ(sends[0].address, 0x2A);
    return sends[0].bytes;
  }

  void ExpectPayload(uint16_t type, const std::vector<uint8_t>& args, const Bytes& expected) {
    const Bytes got = SendAndCapture(type, args);
    EXPECT_EQ(got, expected) << "type " << type << "\n   got " << Show(got) << "\nexpected "
                             << Show(expected);
  }

  FakeCommLibrary fake;
};

struct PayloadRow {
  uint16_t type;
  const char* first16;
  const char* last16;
};

// Every typed command 0..73 sent with DefaultArgs() from LoadKnownRecord().
// Type 22 is a block send and is checked on its own.
const PayloadRow kPayloads[] = {
    {0, "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {1, "01 02 55 55 55 55 55 55 55 55 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {2, "12 80 07 38 04 70 17 98 08 2C 00 94 00 65 04 05",
     "00 24 00 01 00 01 55 55 55 55 55 55 55 55 55 55"},
    {3, "07 03 0F 17 01 21 31 32 34 35 13 06 37 38 39 09",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {4, "01 34 12 40 01 80 02 E0 01 01 02 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {5, "01 01 10 00 20 00 00 05 D0 02 02 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {6, "02 04 08 01 33 22 00 00 80 07 00 00 00 04 00 00",
     "0B 1A 00 00 98 08 00 00 65 04 00 00 01 06 55 55"},
    {7, "01 04 01 55 55 55 55 55 55 55 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {8, "02 01 3C 55 55 55 55 55 55 55 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {9, "01 02 64 01 C8 00 40 00 30 00 02 01 01 03 0B 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {10, "21 02 80 07 38 04 70 17 18 01 2D 00 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {11, "01 02 10 20 30 40 50 60 30 31 72 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 03"},
    {12, "6F 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {13, "01 23 01 56 04 55 55 55 55 55 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {14, "01 03 02 0C 0B 34 FD 05 02 01 01 03 03 05 02 02",
     "02 04 01 06 03 02 55 55 55 55 55 55 55 55 55 55"},
    {15, "02 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {16, "F4 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {17, "02 01 19 0C 1F 17 3B 3A 01 04 03 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {18, "05 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {19, "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {20, "03 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {21, "01 02 55 55 55 55 55 55 55 55 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {23, "01 02 C2 C3 C4 C5 C6 C7 C8 C9 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {24, "01 02 C2 C3 C4 C5 C6 C7 C8 C9 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {25, "01 02 C2 C3 C4 C5 C6 C7 C8 55 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {26, "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {27, "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {28, "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {29, "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {30, "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {31, "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {32, "01 02 C2 C3 C4 C5 C6 C7 C8 C9 CA CB CC CD CE CF",
     "D0 D1 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {33, "01 02 55 55 55 55 55 55 55 55 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {34, "01 02 55 55 55 55 55 55 55 55 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {35, "F0 F1 F5 F2 F6 F3 F7 F4 F8 01 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {36, "01 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {37, "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {38, "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {39, "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {40, "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {41, "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {42, "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {43, "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {44, "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {45, "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {46, "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {47, "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {48, "01 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {49, "01 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {50, "21 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {51, "01 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {52, "01 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {53, "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {54, "01 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {55, "01 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {56, "01 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {57, "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {58, "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {59, "01 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {60, "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {61, "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {62, "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {63, "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {64, "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {65, "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {66, "01 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {67, "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {68, "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {69, "01 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {70, "01 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {71, "01 02 C2 C3 C4 C5 C6 C7 C8 C9 CA CB CC CD CE CF",
     "D0 D1 D2 D3 D4 D5 D6 D7 D8 D9 DA DB DC DD DE 03"},
    {72, "01 02 C2 C3 C4 C5 C6 C7 C8 C9 CA CB CC CD CE CF",
     "D0 D1 D2 D3 D4 D5 D6 D7 D8 D9 DA DB DC DD DE 03"},
    {73, "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55",
     "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},

};

TEST_F(CommandEncoderTest, EveryTypedCommandFromTheKnownRecord) {
  ASSERT_EQ(std::size(kPayloads), 73u);
  int expectedType = 0;
  for (const auto& row : kPayloads) {
    if (expectedType == WRITE_ALL) ++expectedType;
    ASSERT_EQ(row.type, expectedType) << "the sweep covers every type once, in order";
    ++expectedType;
    LoadKnownRecord(*State());  // types 3 and 4 change the record
    ExpectPayload(row.type, DefaultArgs(), Hex(row.first16, row.last16));
  }
  EXPECT_EQ(expectedType, 74);
}

TEST_F(CommandEncoderTest, TypesPastTheTableSendThePrefillUnchanged) {
  const Bytes prefill = Hex("55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55",
                            "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55");
  for (uint16_t type :
       {uint16_t{73}, uint16_t{74}, uint16_t{100}, uint16_t{0x1234}, uint16_t{0xFFFF}}) {
    ExpectPayload(type, DefaultArgs(), prefill);
  }
  ExpectPayload(GET_ALL, {}, prefill);
}

TEST_F(CommandEncoderTest, WriteAllSendsAPrivateCopyOfTheWholeImage) {
  // Capture the pointer handed to the block send: it must not be the record.
  struct PointerFake : FakeCommLibrary {
    const uint8_t* seen = nullptr;
    int SendBlock(const uint8_t* block, uint8_t address) override {
      seen = block;
      return FakeCommLibrary::SendBlock(block, address) + 4;
    }
  } pointerFake;
  SetCommLibrary(&pointerFake);
  std::vector<uint8_t> image(kParamBlockSize);
  {
    auto s = State();
    s->block.DPMDE[1] = 1;
    s->block.gap8C6[0] = 0x5A;  // gaps travel as they are
    std::memcpy(image.data(), &s->block, kParamBlockSize);
  }
  EXPECT_EQ(SendCommand(WRITE_ALL), 5);
  const auto blocks = pointerFake.BlockSends();
  ASSERT_EQ(blocks.size(), 1u);
  EXPECT_TRUE(pointerFake.TypedSends().empty());
  const auto& sent = blocks[0];
  EXPECT_EQ(sent.address, 0x2A);
  EXPECT_EQ(sent.bytes, image);
  EXPECT_NE(pointerFake.seen, reinterpret_cast<const uint8_t*>(&State()->block));
  // Spot checks against the known record, byte by byte.
  EXPECT_EQ(sent.bytes[0x000], 0x12);
  EXPECT_EQ(sent.bytes[0x001], 0x01);
  EXPECT_EQ(sent.bytes[0x004], 0x80);
  EXPECT_EQ(sent.bytes[0x005], 0x07);
  EXPECT_EQ(sent.bytes[0x092 + 24], 9);  // CHNLINPUT of layer 1
  EXPECT_EQ(sent.bytes[0x7C9], 1);
  EXPECT_EQ(sent.bytes[0x8C6], 0x5A);
  EXPECT_EQ(sent.bytes[0x901], 1);  // FREEZE_STATE is sent too
  EXPECT_EQ(sent.bytes[0x8CC], 0xF4);
  EXPECT_EQ(sent.bytes[0x8CD], 0x01);
}

TEST_F(CommandEncoderTest, SetPictureOneShotBytes) {
  // The first send carries the page's values, the second the resting 1 and 0.
  ExpectPayload(SET_PICTURE, {1},
                Hex("07 03 0F 17 01 21 31 32 34 35 13 06 37 38 39 09",
                    "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"));
  EXPECT_EQ(State()->PICSET_BYTE0, 1);
  EXPECT_EQ(State()->PICSET_BYTE15, 0);
  ExpectPayload(SET_PICTURE, {1},
                Hex("01 03 0F 17 01 21 31 32 34 35 13 06 37 38 39 00",
                    "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"));
}

TEST_F(CommandEncoderTest, SetPictureUsesTheLayersGroup) {
  // Layer 2 shows HDMI-2 (group 3): element 4 * 3 + 2 = 14.
  State()->block.PICSET[14] = {1, 2, 3, 4, 5, {}, 6, 7, 8, 9, 0, 0, {}};
  ExpectPayload(SET_PICTURE, {2},
                Hex("07 03 0F 17 02 22 01 02 04 05 03 06 07 08 09 09",
                    "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"));
}

TEST_F(CommandEncoderTest, GammaIsSentInRoundedDownTenths) {
  const struct {
    float gamma;
    uint8_t tenths;
  } rows[] = {{2.25f, 22}, {2.3f, 23}, {2.2f, 22}, {2.4f, 24},  {1.8f, 18},
              {0.1f, 1},   {0.0f, 0},  {1.0f, 10}, {2.29f, 22}, {2.5f, 25},
              {2.6f, 26},  {2.7f, 27}, {5.0f, 50}, {4.99f, 49}};
  for (const auto& row : rows) {
    State()->block.PICCOMMSETT.GAMMA = row.gamma;
    EXPECT_EQ(SendAndCapture(SET_PICTURE, {0})[3], row.tenths) << row.gamma;
  }
  // A record loaded from a damaged project may hold anything: the value sent
  // is the one the picture page shows, inside 0..5.0 (no number counts as 0,
  // "off"), and the record keeps it.
  const struct {
    float gamma;
    uint8_t tenths;
  } bad[] = {{std::numeric_limits<float>::quiet_NaN(), 0},
             {std::numeric_limits<float>::infinity(), 50},
             {-std::numeric_limits<float>::infinity(), 0},
             {3e38f, 50},
             {1e9f, 50},
             {25.5f, 50},
             {-1.0f, 0}};
  for (const auto& row : bad) {
    State()->block.PICCOMMSETT.GAMMA = row.gamma;
    EXPECT_EQ(SendAndCapture(SET_PICTURE, {0})[3], row.tenths) << row.gamma;
    EXPECT_EQ(State()->block.PICCOMMSETT.GAMMA, row.tenths / 10.0f) << row.gamma;
  }
}

TEST_F(CommandEncoderTest, SetLayerWindowClearsTheFullScreenRequest) {
  ExpectPayload(SET_LAYER_WINDOW, {1},
                Hex("01 34 12 40 01 80 02 E0 01 01 02 55 55 55 55 55",
                    "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"));
  EXPECT_EQ(State()->LAYER_DEFAULT[1].FULLSCREEN_REQ, 0);
  EXPECT_EQ(State()->LAYER_DEFAULT[0].FULLSCREEN_REQ, 0x0F) << "other layers keep theirs";
  ExpectPayload(SET_LAYER_WINDOW, {1},
                Hex("01 34 12 40 01 80 02 E0 01 00 02 55 55 55 55 55",
                    "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"));
}

TEST_F(CommandEncoderTest, SetKeyerSelectsTheKeyerByTheLastArgument) {
  std::vector<uint8_t> args(32, 0x55);  // the keyer page fills unused arguments with 0x55
  args[31] = 3;
  ExpectPayload(SET_KEYER, args,
                Hex("01 02 10 20 30 40 50 60 30 31 72 55 55 55 55 55",
                    "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 03"));
  args[31] = 1;
  ExpectPayload(SET_KEYER, args,
                Hex("00 01 81 82 83 84 85 86 37 38 89 55 55 55 55 55",
                    "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 01"));
  // With fewer than 32 arguments the selector is 0: keyer 1, byte 31 = 0.
  ExpectPayload(SET_KEYER, {3},
                Hex("00 01 81 82 83 84 85 86 37 38 89 55 55 55 55 55",
                    "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 00"));
}

TEST_F(CommandEncoderTest, SetLogoRectangleSource) {
  // Operation 3 takes the host rectangle even while the logo is in use.
  ExpectPayload(SET_LOGO, {3, 2},
                Hex("03 03 05 0E 06 0F 07 10 08 11 02 01 01 03 0B 55",
                    "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"));
  // Operation 0 names the logo id in b.
  ExpectPayload(SET_LOGO, {0, 1},
                Hex("00 01 01 11 01 12 01 13 01 14 01 01 01 03 0B 55",
                    "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"));
  // Operation 2 uses the logo being edited (id 3).
  ExpectPayload(SET_LOGO, {2, 0},
                Hex("02 03 03 11 03 12 03 13 03 14 00 01 01 03 0B 55",
                    "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"));
  // A logo not in use takes the host rectangle for every operation.
  State()->block.LOGOINFO.LOGOUSAGE = 0;
  ExpectPayload(SET_LOGO, {1, 0},
                Hex("01 02 01 0A 02 0B 03 0C 04 0D 00 00 01 03 0B 55",
                    "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"));
}

TEST_F(CommandEncoderTest, SetLayerInputNamesEveryInputByItsWirePair) {
  const uint8_t pairs[][3] = {{0, 0, 0},  {1, 1, 0},  {2, 2, 0},  {3, 3, 0},  {4, 4, 0},
                              {5, 5, 0},  {6, 6, 0},  {7, 7, 0},  {8, 4, 0},  {9, 4, 1},
                              {10, 6, 0}, {11, 6, 1}, {12, 0, 0}, {200, 0, 0}};
  for (const auto& [input, tens, units] : pairs) {
    State()->block.CHNLDATA[2].CHNLINPUT = input;
    const Bytes got = SendAndCapture(SET_LAYER_INPUT, {2});
    EXPECT_EQ(got[0], 2);
    EXPECT_EQ(got[1], tens) << int{input};
    EXPECT_EQ(got[2], units) << int{input};
    EXPECT_EQ(got[3], 0x55);
  }
}

TEST_F(CommandEncoderTest, SetTaskKindOneCarriesTheTasksOwnTime) {
  ExpectPayload(SET_TASK, {1, 1},
                Hex("01 01 18 05 11 08 1E 0F 01 04 03 55 55 55 55 55",
                    "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"));
  ExpectPayload(SET_TASK, {4, 0},
                Hex("00 01 19 0C 1F 17 3B 3A 04 74 7F 55 55 55 55 55",
                    "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"));
}

TEST_F(CommandEncoderTest, OutOfRangeInputCodesAndIndicesStayInsideTheTables) {
  // An input code no table knows: the layer's picture and crop come from group 0.
  State()->block.CHNLDATA[1].CHNLINPUT = 200;
  State()->block.PICSET[1] = {0x51, 0x52, 0x53, 0x54, 0x55, {}, 0x56, 0x57, 0x58, 0x59, 0, 0, {}};
  State()->block.CROP[1] = {1, 0, 0x0102, 0x0304, 0x0506, 0x0708, 0, 0};
  ExpectPayload(SET_PICTURE, {1},
                Hex("07 03 0F 17 01 21 51 52 54 55 18 56 57 58 59 09",
                    "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"));
  ExpectPayload(SET_CROP, {1, 0},
                Hex("01 01 02 01 04 03 06 05 08 07 00 55 55 55 55 55",
                    "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"));
  // EDID of a split half or a wild code: the last slot, never past it.
  ExpectPayload(SET_EDID, {11, 0},
                Hex("46 00 06 05 06 06 06 17 06 08 06 09 55 55 55 55",
                    "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"));
  EXPECT_EQ(SendAndCapture(GET_EDID, {255})[0], 0x46);
  EXPECT_EQ(SendAndCapture(GET_EDID, {6})[0], 0x45);
  // Layer on/off for a = 3 names layer 4, which does not exist: read layer 3.
  ExpectPayload(SET_LAYER_ONOFF, {3},
                Hex("04 00 33 55 55 55 55 55 55 55 55 55 55 55 55 55",
                    "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"));
  // Mosaic cell 9 reads cell 3 but still names 9.
  ExpectPayload(SET_MOSAIC, {9, 0},
                Hex("00 04 08 09 03 17 00 00 03 17 00 00 03 17 00 00",
                    "03 16 00 00 03 16 00 00 03 16 00 00 01 06 55 55"));
  // Logo id 7 reads logo 3's rectangle.
  State()->block.LOGOINFO.LOGOUSAGE = 1;
  ExpectPayload(SET_LOGO, {0, 7},
                Hex("00 07 03 11 03 12 03 13 03 14 07 01 01 03 0B 55",
                    "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"));
  // Task 12 reads task 9.
  ExpectPayload(SET_TASK, {12, 1},
                Hex("01 01 60 09 14 10 20 30 0C 79 7F 55 55 55 55 55",
                    "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"));
  // Layer 7 reads layer 3 and leaves every full-screen request alone.
  ExpectPayload(SET_LAYER_WINDOW, {7},
                Hex("07 01 13 02 13 03 13 04 13 0F 06 55 55 55 55 55",
                    "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"));
  EXPECT_EQ(State()->LAYER_DEFAULT[3].FULLSCREEN_REQ, 0x0F);
  // Layer 9 reads layer 3, whose input SDI-1 (group 5) holds decoys. The
  // one-shot bytes were spent by the first send above.
  ExpectPayload(SET_PICTURE, {9},
                Hex("01 03 0F 17 09 23 64 64 64 64 18 EE EE EE EE 00",
                    "55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"));
}

TEST_F(CommandEncoderTest, AddressIsReadAtSendTime) {
  SetDeviceAddress(0xFF);
  SendCommand(SEARCH, 0xFF);
  SetDeviceAddress(7);
  SendCommand(GET_MOSAIC);
  const auto sends = fake.TypedSends();
  ASSERT_EQ(sends.size(), 2u);
  EXPECT_EQ(sends[0].address, 0xFF);
  EXPECT_EQ(sends[0].bytes[0], 0xFF);
  EXPECT_EQ(sends[1].address, 7);
}

TEST_F(CommandEncoderTest, ReturnsTheLibrarysResult) {
  fake.sendResult = 7;
  EXPECT_EQ(SendCommand(TAKE), 7);
  fake.sendResult = 0;
  EXPECT_EQ(SendCommand(WRITE_ALL), 0);
  SetCommLibrary(nullptr);
  EXPECT_EQ(SendCommand(TAKE), 0) << "no library: nothing sent, 0 returned";
  EXPECT_EQ(GetCommLibrary(), nullptr);
}

TEST_F(CommandEncoderTest, SendingWhileHoldingAGuardIsSafe) {
  {
    auto s = State();
    s->TESTPATTERN_ID = 9;
    SendCommand(SET_TEST_PATTERN);
    s->TESTPATTERN_ID = 10;
    SendCommand(SET_TEST_PATTERN);
  }
  const auto sends = fake.TypedSendsOf(SET_TEST_PATTERN);
  ASSERT_EQ(sends.size(), 2u);
  EXPECT_EQ(sends[0].bytes[0], 9);
  EXPECT_EQ(sends[1].bytes[0], 10);
}

TEST_F(CommandEncoderTest, ASendWaitsForAnotherThreadsGuard) {
  // While a page edits the record under a guard, a send from the reply thread
  // must not read a half-made change.
  std::thread other;
  {
    auto s = State();
    s->TESTPATTERN_ID = 1;
    other = std::thread([] { SendCommand(SET_TEST_PATTERN); });
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    s->TESTPATTERN_ID = 2;
  }
  other.join();
  const auto sends = fake.TypedSendsOf(SET_TEST_PATTERN);
  ASSERT_EQ(sends.size(), 1u);
  EXPECT_EQ(sends[0].bytes[0], 2);
}

TEST_F(CommandEncoderTest, ExtraArgumentsBeyondThirtyTwoAreIgnored) {
  const std::initializer_list<uint8_t> many = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12,
                                               13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24,
                                               25, 26, 27, 28, 29, 30, 31, 32, 33, 34};
  SendCommandArgs(ARGS32_71, many);
  const auto last = fake.LastTyped();
  ASSERT_TRUE(last.has_value());
  EXPECT_EQ(last->bytes, Hex("01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10",
                             "11 12 13 14 15 16 17 18 19 1A 1B 1C 1D 1E 1F 20"));
}

}  // namespace
}  // namespace orv
