#pragma once
// The golden frames of docs/protocol.md, copied byte for byte. They were
// computed by an implementation independent of comm/ (see the document), so a
// fault shared by the encoder and the parser still shows here.
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

namespace orv::golden {

inline std::vector<uint8_t> Hex(const std::string& text) {
  std::istringstream in(text);
  std::vector<uint8_t> bytes;
  std::string byte;
  while (in >> byte) bytes.push_back(static_cast<uint8_t>(std::stoul(byte, nullptr, 16)));
  return bytes;
}

// Commands (host to processor).
inline const char* kGetAllTo110 = "A5 5A 01 6E 01 00 00 00 00 49 32 6B";
inline const char* kLayerInputDp1RTo2 = "A5 5A 01 02 01 07 00 03 00 B2 00 04 01 4B F0";
inline const char* kSearchBroadcast = "A5 5A 01 FF 01 45 00 01 00 D2 FF 6F ED";
inline const char* kPresetSave3To5 = "A5 5A 01 05 01 01 00 02 00 0C 02 03 E1 61";
inline const char* kSetLayerWindow1To3 =
    "A5 5A 01 03 01 04 00 0B 00 09 01 C0 03 00 00 C0 03 1C 02 00 00 1D 8A";
inline const char* kGetLayerWindow1To3 = "A5 5A 01 03 01 36 00 01 00 0E 01 B2 64";
inline const char* kBulkChunkTo5 =
    "A5 5A 01 05 03 00 00 0A 00 76 40 05 00 00 04 00 DE AD BE EF 67 02";
// A block frame of 2360 zero bytes to 110: header and trailer.
inline const char* kZeroBlockHeader = "A5 5A 01 6E 02 16 00 38 09 92";
inline const char* kZeroBlockTrailer = "A9 90";

// Replies (processor to host).
inline const char* kHelloFrom2 = "A5 5A 01 02 04 00 00 01 00 17 01 40 41";
inline const char* kIdentityFrom2 =
    "A5 5A 01 02 04 1B 00 16 00 C6 31 32 37 2E 30 2E 30 2E 32 00 00 00 00 00 00 00 02 51 20 00 "
    "00 02 5C E2";
inline const char* kLayerWindow1From3 =
    "A5 5A 01 03 04 0A 00 15 00 A1 01 C0 03 00 00 00 00 00 00 C0 03 00 00 1C 02 00 00 00 00 00 "
    "00 CD 7D";
inline const char* kAckOfCommand4From3 = "A5 5A 01 03 04 17 00 04 00 7A 04 00 00 00 09 E0";
inline const char* kAckOfCommand7From2 = "A5 5A 01 02 04 17 00 04 00 53 07 00 00 00 54 03";
inline const char* kLayersCount2From4 = "A5 5A 01 04 04 0E 00 07 00 5B 02 01 FF 00 00 80 09 CD FC";
// Data type 2 carrying 2360 zero bytes from 2: header and trailer.
inline const char* kZeroImageHeader = "A5 5A 01 02 04 02 00 38 09 40";
inline const char* kZeroImageTrailer = "1D F0";

}  // namespace orv::golden
