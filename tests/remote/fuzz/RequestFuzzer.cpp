// libFuzzer entry point for the show-control request parser: any bytes as
// one request line. Built with clang (scripts/fuzz-requests); the tests run
// the same check over a fixed set of mutations.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "RequestCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string fault =
      orv::remote::RequestLineFault(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!fault.empty()) {
    std::fprintf(stderr, "request fuzzer: %s\n", fault.c_str());
    std::abort();
  }
  return 0;
}
