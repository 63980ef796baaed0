// The [Remote] section as an operator writes it: a value that cannot be used
// switches the server off with the reason, and a token is the text the
// operator typed whatever encoding the editor saved the file in.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "CodePage.h"
#include "ControlServer.h"
#include "LineClient.h"
#include "RemoteSettings.h"
#include "TestNet.h"

namespace orv::remote {
namespace {

class Settings : public ::testing::Test {
 protected:
  void TearDown() override {
    SetAnsiCodePageForTesting(0);
    std::filesystem::remove(path_);
  }
  RemoteSettings Read(const std::string& bytes) {
    std::ofstream(path_, std::ios::binary | std::ios::trunc) << bytes;
    return ReadRemoteSettings(path_);
  }
  const std::string path_ = (std::filesystem::temp_directory_path() /
                             ("remote-settings-" + std::to_string(::getpid()) + ".ini"))
                                .string();
};

TEST_F(Settings, ValuesThatCannotBeUsedSwitchTheServerOff) {
  const struct {
    const char* file;
    const char* error;  // a part of the reason; nullptr: usable
    uint16_t port;
    uint16_t oscPort;
  } cases[] = {
      {"[Remote]\r\n", nullptr, 9750, 0},
      {"[Remote]\r\nPort = 9751 \r\nOscPort=9752\r\n", nullptr, 9751, 9752},
      {"[Remote]\r\nPort=abc\r\n", "Port=abc", 0, 0},
      {"[Remote]\r\nPort=70000\r\n", "Port=70000", 0, 0},
      {"[Remote]\r\nPort=0\r\n", "Port=0", 0, 0},
      {"[Remote]\r\nPort=9751x\r\n", "Port=9751x", 0, 0},
      {"[Remote]\r\nOscPort=-1\r\n", "OscPort=-1", 0, 0},
      {"[Remote]\r\nEnabled=yes\r\n", "Enabled=yes", 0, 0},
  };
  for (const auto& c : cases) {
    const RemoteSettings s = Read(c.file);
    if (c.error == nullptr) {
      EXPECT_EQ(s.error, "") << c.file;
      EXPECT_TRUE(s.enabled) << c.file;
      EXPECT_EQ(s.server.port, c.port) << c.file;
      EXPECT_EQ(s.server.oscPort, c.oscPort) << c.file;
    } else {
      EXPECT_NE(s.error.find(c.error), std::string::npos) << c.file << ": " << s.error;
      EXPECT_FALSE(s.enabled) << c.file;
    }
  }
  const RemoteSettings off = Read("[Remote]\r\nEnabled=0\r\n");
  EXPECT_FALSE(off.enabled);
  EXPECT_EQ(off.error, "");
}

TEST_F(Settings, TokenIsTheTextTheOperatorWrote) {
  const std::string secret = "s\xC3\xA9sam \xE5\x8F\xA3\xE4\xBB\xA4";  // "sésam 口令"
  const struct {
    int ansiCodePage;
    std::string file;
  } cases[] = {
      // The panel's own encoding: the ANSI code page of the system.
      {kCodePageChinese,
       "[Remote]\r\nToken=" + Utf8ToCodePage(secret, kCodePageChinese, '?') + "\r\n"},
      // An editor that saved UTF-8, with and without a byte-order mark.
      {kCodePageWestern, "[Remote]\r\nToken=" + secret + "\r\n"},
      {kCodePageChinese, "[Remote]\r\nToken=" + secret + "\r\n"},
      {kCodePageWestern, "\xEF\xBB\xBF[Remote]\r\nToken=" + secret + "\r\n"},
      {kCodePageWestern, "\xFF\xFE" + Utf8ToUtf16Le("[Remote]\r\nToken=" + secret + "\r\n")},
  };
  for (const auto& c : cases) {
    SetAnsiCodePageForTesting(c.ansiCodePage);
    EXPECT_EQ(Read(c.file).server.token, secret) << c.ansiCodePage << " " << c.file;
  }
  // A Western file with a letter beyond ASCII keeps reading as Western.
  SetAnsiCodePageForTesting(kCodePageWestern);
  EXPECT_EQ(Read("[Remote]\r\nToken=s\xE9sam\r\n").server.token, "s\xC3\xA9sam");

  // And a client that sends the token as JSON text is let in.
  SetAnsiCodePageForTesting(kCodePageWestern);
  RemoteSettings settings = Read("[Remote]\r\nToken=" + secret + "\r\n");
  class Nobody : public ShowControlTarget {
    void Execute(const ShowRequest&, std::function<void(ActionResult)> done) override {
      done(ActionResult::Ok({}));
    }
  } target;
  settings.server.address = test::TestIp(31);
  settings.server.port = 0;
  ControlServer server(target, settings.server);
  std::string error;
  ASSERT_TRUE(server.Start(&error)) << error;
  test::LineClient client(test::TestIp(31), server.Port());
  client.Send(R"({"cmd":"auth","token":"s\u00e9sam \u53e3\u4ee4"})");
  EXPECT_EQ(client.ReadLine(), R"({"ok":true})");
}

}  // namespace
}  // namespace orv::remote
