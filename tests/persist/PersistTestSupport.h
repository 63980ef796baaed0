#pragma once
// A temporary program folder per test: AppFolder() points at it, the ANSI
// code page is fixed to 1252 unless a test says otherwise, and everything is
// removed afterwards.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "CodePage.h"
#include "Ini.h"

namespace orv::test {

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

// ASCII text as UTF-16LE bytes, spelled out byte by byte (independent of the
// converters under test).
inline std::string AsciiUtf16(const std::string& ascii) {
  std::string out;
  for (char c : ascii) {
    out.push_back(c);
    out.push_back('\0');
  }
  return out;
}

// Splits at "\r\n"; a final piece without it is kept.
inline std::vector<std::string> CrLfLines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (;;) {
    const auto end = bytes.find("\r\n", start);
    if (end == std::string::npos) break;
    lines.push_back(bytes.substr(start, end - start));
    start = end + 2;
  }
  if (start < bytes.size()) lines.push_back(bytes.substr(start));
  return lines;
}

class TempFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/persist-test-XXXXXX";
    const char* made = mkdtemp(pattern);
    ASSERT_NE(made, nullptr);
    folder_ = std::string(made) + "/";
    SetAppFolderForTesting(folder_);
    SetAnsiCodePageForTesting(kCodePageWestern);
  }

  void TearDown() override {
    SetAppFolderForTesting("");
    SetAnsiCodePageForTesting(0);
    std::error_code error;
    std::filesystem::remove_all(folder_, error);
  }

  std::string Path(const std::string& name) const { return folder_ + name; }

  // Names of the folder's entries (temporary files left over show up here).
  std::vector<std::string> Entries(const std::string& sub = "") const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder_ + sub)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  std::string folder_;
};

}  // namespace orv::test
