#pragma once
// Names the operator gives the machines, kept in the settings file: one
// section per machine, named by its MAC text, key "MachineName".
#include <array>
#include <cstdint>
#include <string>

namespace orv {

using MacAddress = std::array<uint8_t, 6>;

// The MAC as "%x-%x-%x-%x-%x-%x": lower-case hexadecimal without leading zeros.
std::string MacText(const MacAddress& mac);

// The stored name (up to 255 characters), empty when none is stored.
std::string StoredMachineName(const MacAddress& mac);
// Stores the name; false when the settings file could not be written.
bool StoreMachineName(const MacAddress& mac, const std::string& name);

}  // namespace orv
