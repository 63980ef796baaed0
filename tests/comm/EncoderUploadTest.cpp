// The encoder package upload against the virtual processor's encoder peer,
// with each way the peer can misbehave.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <future>
#include <random>

#include "EncoderPeer.h"
#include "EncoderUpload.h"
#include "TestNet.h"

namespace orv {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using sim::EncoderPeer;
using sim::EncoderPeerMode;

constexpr auto kDeadline = 30s;

struct Outcome {
  UploadResult result = UploadResult::Cancelled;
  std::vector<int> progress;
  uint64_t bytesSent = 0;
};

class EncoderUploadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("orv-venc-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::vector<uint8_t> WriteFile(const std::string& name, std::size_t size) {
    std::vector<uint8_t> bytes(size);
    std::mt19937 random(static_cast<unsigned>(size));
    for (auto& b : bytes) b = static_cast<uint8_t>(random());
    std::ofstream(dir_ / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(size));
    return bytes;
  }

  UploadRequest Request(const std::string& ip, const std::string& name) {
    UploadRequest r;
    r.encoderIp = ip;
    r.packagePath = (dir_ / name).string();
    r.timing.beforeEnd = 10ms;
    r.timing.answer = 2000ms;  // silent and short peers end by this
    return r;
  }

  // Starts an upload and waits for its end.
  static Outcome Run(EncoderUpload& upload, UploadRequest request) {
    auto outcome = std::make_shared<Outcome>();
    auto done = std::make_shared<std::promise<void>>();
    upload.Start(std::move(request), [outcome, done](const UploadEvent& e) {
      if (!e.done) {
        outcome->progress.push_back(e.percent);
        return;
      }
      outcome->result = e.result;
      outcome->bytesSent = e.bytesSent;
      if (e.percent == 100) outcome->progress.push_back(100);
      done->set_value();
    });
    EXPECT_EQ(done->get_future().wait_for(kDeadline), std::future_status::ready);
    return *outcome;
  }

  fs::path dir_;
};

TEST(EncoderFrames, BytesAndProgress) {
  const EncoderFrame start = MakeEncoderFrame(EncoderFrameKind::Start, 4096);
  const EncoderFrame expected = {0xFF, 0x01, 0, 0, 0, 0, 0x6D, 0x00, 0x10, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(start, expected);
  EXPECT_EQ(EncoderFrameValue(MakeEncoderFrame(EncoderFrameKind::End, 5000000)), 5000000u);
  EXPECT_FALSE(IsEncoderFrame(start, EncoderFrameKind::Answer));

  struct Case {
    uint64_t sent, total;
    int percent;
  } const cases[] = {{2048, 4096, 49}, {4096, 4096, 99}, {1, 5000000, 0}, {0, 0, 0}};
  for (const auto& c : cases)
    EXPECT_EQ(UploadProgressPercent(c.sent, c.total), c.percent) << c.sent << "/" << c.total;
}

TEST_F(EncoderUploadTest, PeerModes) {
  const std::string ip = test::TestIp(40);
  EncoderPeer peer(ip);
  std::string error;
  ASSERT_TRUE(peer.Start(&error)) << error;
  const auto package = WriteFile("VP_venc.tar.gz", 4096);

  struct Case {
    EncoderPeerMode mode;
    std::vector<UploadResult> results;  // any of these
    bool kept;
  } const cases[] = {
      {EncoderPeerMode::Ok, {UploadResult::Success}, true},
      {EncoderPeerMode::Split, {UploadResult::Success}, true},
      {EncoderPeerMode::Noisy, {UploadResult::Success}, true},
      {EncoderPeerMode::Babble, {UploadResult::BadAnswer}, false},
      {EncoderPeerMode::Fail, {UploadResult::Refused}, false},
      {EncoderPeerMode::Silent, {UploadResult::NoAnswer}, false},
      {EncoderPeerMode::Short, {UploadResult::NoAnswer}, false},
      {EncoderPeerMode::Close, {UploadResult::SendFailed, UploadResult::ConnectionClosed}, false},
  };
  int sessions = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.mode));
    peer.SetMode(c.mode);
    const int keptBefore = peer.Record().acknowledged;
    EncoderUpload upload;
    const Outcome out = Run(upload, Request(ip, "VP_venc.tar.gz"));
    EXPECT_NE(std::find(c.results.begin(), c.results.end(), out.result), c.results.end())
        << static_cast<int>(out.result);
    ASSERT_TRUE(peer.WaitSessionsEnded(++sessions, kDeadline));
    const auto record = peer.Record();
    EXPECT_EQ(record.acknowledged - keptBefore, c.kept ? 1 : 0);
    if (c.kept) {
      EXPECT_EQ(record.package, package);
      EXPECT_EQ(out.progress, (std::vector<int>{49, 99, 100}));
      const std::vector<uint8_t> kinds = {0x6D, 0x6F, 0x62};
      EXPECT_EQ(record.lastKinds, kinds);
    } else if (c.mode != EncoderPeerMode::Close) {
      EXPECT_EQ(record.lastKinds.back(), 0x61) << "an answered failure is aborted";
    }
  }
}

TEST_F(EncoderUploadTest, LargePackageArrivesWhole) {
  const std::string ip = test::TestIp(41);
  EncoderPeer peer(ip);
  ASSERT_TRUE(peer.Start());
  const auto package = WriteFile("VP_venc.tar.gz", 5000000);
  EncoderUpload upload;
  const Outcome out = Run(upload, Request(ip, "VP_venc.tar.gz"));
  EXPECT_EQ(out.result, UploadResult::Success);
  EXPECT_EQ(out.bytesSent, 5000000u);
  ASSERT_TRUE(peer.WaitSessionsEnded(1, kDeadline));
  EXPECT_EQ(peer.Record().package, package);
  EXPECT_TRUE(std::is_sorted(out.progress.begin(), out.progress.end()));
  EXPECT_EQ(out.progress.size(), 101u);  // 0..99, then the OK
}

TEST_F(EncoderUploadTest, NothingToSendOrNobodyThere) {
  const std::string ip = test::TestIp(42);
  EncoderPeer peer(ip);
  ASSERT_TRUE(peer.Start());
  WriteFile("empty.tar.gz", 0);
  WriteFile("VP_venc.tar.gz", 100);

  struct Case {
    std::string ip, file;
    UploadResult result;
  } const cases[] = {
      {ip, "empty.tar.gz", UploadResult::FileEmpty},
      {ip, "missing.tar.gz", UploadResult::FileMissing},
      {test::TestIp(43), "VP_venc.tar.gz", UploadResult::ConnectFailed},  // no listener
      {"not an address", "VP_venc.tar.gz", UploadResult::ConnectFailed},
  };
  for (const auto& c : cases) {
    EncoderUpload upload;
    EXPECT_EQ(Run(upload, Request(c.ip, c.file)).result, c.result) << c.ip << " " << c.file;
  }
  // Nothing reached the encoder but what the address case could not avoid.
  EXPECT_EQ(peer.Record().acknowledged, 0);
}

TEST_F(EncoderUploadTest, SecondStartWhileRunningIsRefused) {
  const std::string ip = test::TestIp(44);
  EncoderPeer peer(ip);
  ASSERT_TRUE(peer.Start());
  peer.SetMode(EncoderPeerMode::Silent);
  WriteFile("VP_venc.tar.gz", 4096);
  EncoderUpload upload;
  auto first =
      std::async(std::launch::async, [&] { return Run(upload, Request(ip, "VP_venc.tar.gz")); });
  const auto deadline = std::chrono::steady_clock::now() + kDeadline;
  while (!upload.Running() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(1ms);
  ASSERT_TRUE(upload.Running());
  UploadResult second = UploadResult::Success;
  upload.Start(Request(ip, "VP_venc.tar.gz"), [&](const UploadEvent& e) {
    if (e.done) second = e.result;
  });
  EXPECT_EQ(second, UploadResult::AlreadyRunning);
  EXPECT_EQ(first.get().result, UploadResult::NoAnswer);
}

}  // namespace
}  // namespace orv
