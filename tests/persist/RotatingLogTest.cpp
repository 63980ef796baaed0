// The rotating log: files rotate by size and keep at most their count, every
// line lands in order, and a folder that cannot be written is told once.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "RotatingLog.h"

namespace orv {
namespace {

std::string MakeFolder() {
  char pattern[] = "/tmp/orv-rotlog-XXXXXX";
  const char* made = ::mkdtemp(pattern);
  return made == nullptr ? std::string() : std::string(made) + "/";
}

std::vector<std::string> LinesOf(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

bool Exists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0;
}

std::size_t SizeOf(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 ? static_cast<std::size_t>(info.st_size) : 0;
}

TEST(RotatingLogTest, RotatesBySizeKeepsItsFileCountAndLosesNoRecentLine) {
  struct Case {
    std::size_t maxBytes;
    int files;
    int lines;
  };
  // Each line is 10 bytes with its line end.
  for (const Case& c : {Case{100, 5, 10}, Case{100, 5, 23}, Case{100, 3, 95}, Case{55, 1, 12}}) {
    SCOPED_TRACE(std::to_string(c.files) + " files, " + std::to_string(c.lines) + " lines");
    const std::string folder = MakeFolder();
    ASSERT_FALSE(folder.empty());
    const std::string path = folder + "changes.log";
    {
      RotatingLog log({path, c.maxBytes, c.files});
      for (int n = 0; n < c.lines; ++n) {
        char line[16];
        std::snprintf(line, sizeof line, "line %04d", n);
        log.Append(line);
      }
      log.Flush();
      EXPECT_FALSE(log.Failed());
    }
    // Read the files oldest first; they hold the newest lines, in order, none cut.
    std::vector<std::string> all;
    for (int n = c.files - 1; n >= 0; --n) {
      const std::string name = n == 0 ? path : path + "." + std::to_string(n);
      if (!Exists(name)) continue;
      EXPECT_LE(SizeOf(name), c.maxBytes) << name;
      for (const std::string& line : LinesOf(name)) all.push_back(line);
    }
    EXPECT_FALSE(Exists(path + "." + std::to_string(c.files))) << "no file beyond the count";
    const int perFile = static_cast<int>(c.maxBytes / 10);
    const int kept = std::min(c.lines, perFile * (c.files - 1) + (c.lines - 1) % perFile + 1);
    ASSERT_EQ(static_cast<int>(all.size()), kept);
    for (int k = 0; k < kept; ++k) {
      char expected[16];
      std::snprintf(expected, sizeof expected, "line %04d", c.lines - kept + k);
      EXPECT_EQ(all[static_cast<std::size_t>(k)], expected);
    }
    std::system(("rm -rf " + folder).c_str());
  }
}

TEST(RotatingLogTest, AFolderThatCannotBeWrittenIsToldOnce) {
  std::atomic<int> told{0};
  std::string message;
  {
    RotatingLog log({"/nonexistent-folder-orv/changes.log", 1024, 5});
    log.SetFailureHandler([&](const std::string& what) {
      message = what;
      ++told;
    });
    for (int n = 0; n < 50; ++n) log.Append("a line");
    log.Flush();
    EXPECT_TRUE(log.Failed());
  }
  EXPECT_EQ(told.load(), 1);
  EXPECT_NE(message.find("/nonexistent-folder-orv/changes.log"), std::string::npos) << message;
}

}  // namespace
}  // namespace orv
