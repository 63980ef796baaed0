// The few options the panel takes: the local addresses the search may use
// and the screenshot of the window.
#include <gtest/gtest.h>

#include "OrvApp.h"

namespace orv {
namespace {

TEST(AppArguments, LocalAddressesAndScreenshotOptions) {
  OrvApp::Options options;
  std::string error;
  ASSERT_TRUE(OrvApp::ParseArguments({"--local-address", "127.0.0.1", "--screenshot", "w.png",
                                      "--page", "10", "--delay", "200", "--connect", "127.0.24.9"},
                                     options, error))
      << error;
  EXPECT_EQ(options.localAddresses, std::vector<std::string>{"127.0.0.1"});
  EXPECT_EQ(options.screenshotPath, "w.png");
  EXPECT_EQ(options.screenshotPage, 10);
  EXPECT_EQ(options.screenshotDelayMs, 200);
  EXPECT_EQ(options.connectAddress, "127.0.24.9");
}

TEST(AppArguments, RefusesWhatItDoesNotKnow) {
  OrvApp::Options options;
  std::string error;
  EXPECT_FALSE(OrvApp::ParseArguments({"--local-address", "300.1.1.1"}, options, error));
  EXPECT_NE(error.find("300.1.1.1"), std::string::npos);
  EXPECT_FALSE(OrvApp::ParseArguments({"--local-address"}, options, error));
  EXPECT_FALSE(OrvApp::ParseArguments({"--page", "x"}, options, error));
  EXPECT_FALSE(OrvApp::ParseArguments({"--verbose"}, options, error));
  EXPECT_FALSE(OrvApp::ParseArguments({"--connect", "machine"}, options, error));
  EXPECT_TRUE(options.localAddresses.empty());
}

}  // namespace
}  // namespace orv
