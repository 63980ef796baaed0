// The few options the panel takes: the local addresses the search may use
// and the screenshot of the window.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>

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

TEST(AppArguments, OfflineWithOrWithoutAProjectAndAloneAsATarget) {
  struct Row {
    std::vector<std::string> args;
    bool ok;
    std::string project;
  };
  const Row rows[] = {
      {{"--offline"}, true, ""},
      {{"--offline", "show.pro"}, true, "show.pro"},
      {{"--offline", "--screenshot", "o.png"}, true, ""},
      {{"--offline", "/shows/a b.pro", "--delay", "900"}, true, "/shows/a b.pro"},
      {{"--offline", "--connect", "127.0.0.2"}, false, ""},
      {{"--serial", "COM3", "--offline", "x.pro"}, false, ""},
  };
  for (const Row& row : rows) {
    OrvApp::Options options;
    std::string error;
    ASSERT_EQ(OrvApp::ParseArguments(row.args, options, error), row.ok) << row.args.back();
    if (!row.ok) {
      EXPECT_NE(error.find("--offline"), std::string::npos) << error;
      continue;
    }
    EXPECT_TRUE(options.offline);
    EXPECT_EQ(options.offlineProject, row.project);
  }
}

// The man page documents exactly the options the parser takes.
TEST(AppArguments, ManPageNamesEveryOptionAndNoOther) {
  std::ifstream file(ORV_PANEL_MAN_PAGE);
  ASSERT_TRUE(file.good());
  std::stringstream text;
  text << file.rdbuf();
  const std::string page = text.str();
  std::set<std::string> documented;
  const std::regex option(R"(\\-\\-([a-z]+(\\-[a-z]+)*))");
  for (auto it = std::sregex_iterator(page.begin(), page.end(), option);
       it != std::sregex_iterator(); ++it) {
    documented.insert("--" + std::regex_replace((*it)[1].str(), std::regex(R"(\\-)"), "-"));
  }
  const std::vector<std::string>& known = OrvApp::OptionNames();
  EXPECT_EQ(documented, std::set<std::string>(known.begin(), known.end()));
  // Each listed option is one the parser takes (with some value after it).
  for (const std::string& name : known) {
    OrvApp::Options options;
    std::string error;
    OrvApp::ParseArguments({name, "x"}, options, error);
    EXPECT_EQ(error.find("unknown argument"), std::string::npos) << name << ": " << error;
  }
}

}  // namespace
}  // namespace orv
