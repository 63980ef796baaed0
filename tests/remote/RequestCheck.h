#pragma once
// What must hold for any request line, whatever its bytes: the answer the
// server would send is one line of valid UTF-8 and valid JSON, echoes the
// request's id, and the JSON writer keeps any text it is given readable.
// Shared by the fuzz target and the bounded run in the tests.
#include <string>
#include <string_view>

namespace orv::remote {

// Empty when the line is answered soundly; else what went wrong.
std::string RequestLineFault(std::string_view line);

}  // namespace orv::remote
