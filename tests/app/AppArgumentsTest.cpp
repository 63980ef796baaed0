// The few options the panel takes: the local addresses the search may use
// and the screenshot of the window.
#include <gtest/gtest.h>

#include "OrvApp.h"

namespace orv {
namespace {

TEST(AppArguments, LocalAddressesAndScreenshotOptions) {
  OrvApp::Options options;
  std::string error;
  ASSERT_TRUE(OrvApp::ParseArguments(
      {"--local-address", "127.0.0.1", "--screenshot", "w.png", "--page", "10", "--delay", "200",
       "--connect", "127.0.24.9", "--press", "1564", "--press", "1564"},
      options, error))
      << error;
  EXPECT_EQ(options.localAddresses, std::vector<std::string>{"127.0.0.1"});
  EXPECT_EQ(options.screenshotPath, "w.png");
  EXPECT_EQ(options.screenshotPage, 10);
  EXPECT_EQ(options.screenshotDelayMs, 200);
  EXPECT_EQ(options.connectAddress, "127.0.24.9");
  EXPECT_EQ(options.screenshotPresses, (std::vector<int>{1564, 1564}));
}

TEST(AppArguments, RefusesWhatItDoesNotKnow) {
  OrvApp::Options options;
  std::string error;
  EXPECT_FALSE(OrvApp::ParseArguments({"--local-address", "300.1.1.1"}, options, error));
  EXPECT_NE(error.find("300.1.1.1"), std::string::npos);
  EXPECT_FALSE(OrvApp::ParseArguments({"--local-address"}, options, error));
  EXPECT_FALSE(OrvApp::ParseArguments({"--page", "x"}, options, error));
  EXPECT_FALSE(OrvApp::ParseArguments({"--press", "0"}, options, error));
  EXPECT_FALSE(OrvApp::ParseArguments({"--press", "preview"}, options, error));
  EXPECT_FALSE(OrvApp::ParseArguments({"--verbose"}, options, error));
  EXPECT_FALSE(OrvApp::ParseArguments({"--connect", "machine"}, options, error));
  EXPECT_TRUE(options.localAddresses.empty());
}

TEST(AppArguments, StartConnectedByAddressOrPortButNotBoth) {
  struct Row {
    std::vector<std::string> args;
    bool ok;
    std::string address, serial;
  };
  const Row rows[] = {
      {{"--connect", "127.0.0.2", "--screenshot", "p.png"}, true, "127.0.0.2", ""},
      {{"--serial", "COM3"}, true, "", "COM3"},
      {{"--connect", "127.0.0.256"}, false, "", ""},
      {{"--connect"}, false, "", ""},
      {{"--connect", "127.0.0.2", "--serial", "/dev/pts/4"}, false, "", ""},
  };
  for (const Row& row : rows) {
    OrvApp::Options options;
    std::string error;
    EXPECT_EQ(OrvApp::ParseArguments(row.args, options, error), row.ok) << row.args[0];
    if (!row.ok) continue;
    EXPECT_EQ(options.connectAddress, row.address);
    EXPECT_EQ(options.serialPort, row.serial);
  }
}

}  // namespace
}  // namespace orv
