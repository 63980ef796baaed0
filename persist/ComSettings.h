#pragma once
// The serial connection remembered in the settings file: [COM] port and
// timeout.
#include <string>
#include <string_view>

namespace orv {

// The "port" value as a decimal number (0 when missing or not a number;
// "COM3" gives 0); `timeout` receives the "timeout" text. Both are read with
// a 10-character buffer, so at most 9 characters come back.
int ReadComSettings(std::string& timeout);
// Writes "port" as "%d" and "timeout" as given; false when a write failed.
bool WriteComSettings(int port, std::string_view timeout);

}  // namespace orv
