#pragma once
// Wire length of every command type: how many leading bytes of the 32-byte
// command buffer travel in a command frame. Both ends use the same table; a
// command frame of any other length is malformed.
#include <cstddef>
#include <cstdint>
#include <span>

namespace orv::wire {

// Types 0..73 have their own length (0 for the types that carry nothing);
// every other type carries the whole 32-byte buffer.
std::size_t CommandWireLength(uint16_t type);

// The name of a known command type ("GET_ALL"), or nullptr.
const char* CommandName(uint16_t type);

}  // namespace orv::wire
