#pragma once
// The gate in front of SendCommand: while the link is down every command
// except SEARCH is refused (not sent, result 0) and the refusal handler runs
// with its type, on the sending thread. Any thread.
#include <cstdint>
#include <functional>

namespace orv {

using RefusalHandler = std::function<void(uint16_t type)>;
void SetLinkDown(bool down);
bool LinkDown();
void SetRefusalHandler(RefusalHandler handler);

}  // namespace orv
