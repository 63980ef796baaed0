// orvctl as a cue script runs it, against virtual processors on loopback:
// actions reach the processor, a project saved from one processor and
// applied to another gives the same image, a silent processor ends in a
// message within the time-out, a vanished one at once, and the document's
// cue script runs as written.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "CommandEncoder.h"
#include "ControlChannel.h"
#include "Json.h"
#include "ParamBlock.h"
#include "TestNet.h"
#include "VirtualProcessor.h"

namespace orv::remote {
namespace {

using test::TestIp;

struct ToolRun {
  int status = -1;
  std::string output;  // stdout and stderr
};

ToolRun Orvctl(const std::string& args) {
  ToolRun run;
  const std::string command = std::string(ORVCTL_PATH) + " " + args + " 2>&1";
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  char chunk[4096];
  std::size_t n = 0;
  while ((n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) run.output.append(chunk, n);
  const int raw = ::pclose(pipe);
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return run;
}

std::unique_ptr<sim::VirtualProcessor> StartProcessor(const std::string& ip) {
  sim::ProcessorConfig config;
  config.ip = ip;
  config.udp = false;
  config.selfReportMs = 0;
  config.encoder = false;
  auto p = std::make_unique<sim::VirtualProcessor>(config);
  std::string error;
  EXPECT_TRUE(p->Start(&error)) << error;
  return p;
}

std::string TempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "orvctl-XXXXXX").string();
  const char* made = ::mkdtemp(pattern.data());
  return made != nullptr ? std::string(made) : std::string();
}

TEST(Orvctl, ActsAndReportsStatus) {
  const std::string ip = TestIp(40);
  auto processor = StartProcessor(ip);
  const std::string at = "--ip " + ip + " ";
  EXPECT_EQ(Orvctl(at + "input 1 3").status, 0);
  EXPECT_EQ(Orvctl(at + "window 1 100 200 640 360").status, 0);
  EXPECT_EQ(Orvctl(at + "layer 2 on").status, 0);
  EXPECT_EQ(Orvctl(at + "freeze on").status, 0);
  const ParamBlock image = processor->Image();
  EXPECT_EQ(image.CHNLDATA[1].CHNLINPUT, 3);
  EXPECT_EQ(image.CHNLDATA[1].HPOS, 100);
  EXPECT_EQ(image.CHNLDATA[1].VACT, 360);
  EXPECT_EQ(image.CHNLDATA[2].CHNLONOFF, 1);
  EXPECT_EQ(image.FREEZE_STATE, 1);

  const ToolRun status = Orvctl(at + "status");
  ASSERT_EQ(status.status, 0) << status.output;
  const std::optional<Json> j = Json::Parse(status.output);
  ASSERT_TRUE(j) << status.output;
  const Json& layer1 = j->Find("layers")->AsArray()[1];
  EXPECT_EQ(layer1.Find("input")->AsInteger(), 3);
  EXPECT_EQ(layer1.Find("window")->Find("w")->AsInteger(), 640);
  EXPECT_EQ(j->Find("inputs")->AsArray()[0].Find("timing")->Find("width")->AsInteger(), 1920);

  // Refusals and usage errors: one line, a non-zero status.
  const ToolRun take = Orvctl(at + "take");
  EXPECT_EQ(take.status, 4);
  EXPECT_NE(take.output.find("program/preview"), std::string::npos);
  const ToolRun empty = Orvctl(at + "preset load 7");
  EXPECT_EQ(empty.status, 4) << empty.output;
  // In program/preview mode TAKE exchanges program and preview.
  ASSERT_EQ(sim::ExecuteControlLine(*processor, "pvwmode 1"), "ok");
  ASSERT_EQ(Orvctl(at + "take").status, 0);
  EXPECT_EQ(processor->Image().PVWMODEINFO.PGMSTATE[2], 1);
  EXPECT_EQ(Orvctl(at + "input 4 0").status, 1);
  EXPECT_EQ(Orvctl("input 1 1").status, 1);
  processor->Stop();
}

TEST(Orvctl, ProjectSavedFromOneProcessorAppliedToAnother) {
  const std::string ipA = TestIp(41);
  const std::string ipB = TestIp(42);
  auto a = StartProcessor(ipA);
  auto b = StartProcessor(ipB);
  // A is set up differently from the start image both share.
  ASSERT_EQ(Orvctl("--ip " + ipA + " input 1 3").status, 0);
  ASSERT_EQ(Orvctl("--ip " + ipA + " window 1 10 20 800 450").status, 0);
  ASSERT_EQ(Orvctl("--ip " + ipA + " layer 3 on").status, 0);
  const ParamBlock before = a->Image();
  const ParamBlock start = b->Image();
  ASSERT_NE(std::memcmp(&before, &start, sizeof(ParamBlock)), 0);

  const std::string file = TempFolder() + "/show.pro";
  const ToolRun save = Orvctl("--ip " + ipA + " project save " + file);
  ASSERT_EQ(save.status, 0) << save.output;
  const ToolRun apply = Orvctl("--ip " + ipB + " project apply " + file);
  ASSERT_EQ(apply.status, 0) << apply.output;

  const ParamBlock imageA = a->Image();
  const ParamBlock imageB = b->Image();
  const auto* pa = reinterpret_cast<const uint8_t*>(&imageA);
  const auto* pb = reinterpret_cast<const uint8_t*>(&imageB);
  for (std::size_t i = 0; i < sizeof(ParamBlock); ++i) {
    EXPECT_EQ(pa[i], pb[i]) << "image byte 0x" << std::hex << i;
  }
  EXPECT_EQ(Orvctl("--ip " + ipB + " project apply " + file + ".missing").status, 5);
  a->Stop();
  b->Stop();
}

// project diff and apply --dry-run print what a project would change on a
// processor and send nothing; diff exits 1 while something differs, 0 once
// the project was applied (and for a processor that already holds it).
TEST(Orvctl, ProjectDiffAndDryRunListTheChanges) {
  const std::string ipA = TestIp(45);
  const std::string ipB = TestIp(46);
  auto a = StartProcessor(ipA);
  auto b = StartProcessor(ipB);
  const auto setUp = [](bool project) {
    return [project](sim::DeviceModel& m) {
      m.image().OUTPUTRESO.HRESO = project ? 3840 : 1920;
      m.image().OUTPUTRESO.VRESO = project ? 2160 : 1080;
      m.image().OUTPUTRESO.FPS = project ? 3000 : 6000;
      m.image().CHNLDATA[1].HPOS = project ? 1140 : 0;
      m.image().CHNLDATA[1].VPOS = project ? 60 : 0;
      m.image().CHNLDATA[1].HACT = project ? 720 : 960;
      m.image().CHNLDATA[1].VACT = project ? 405 : 540;
      m.image().KEYERINFO.KEYER[0].KEYERONOFF = project ? 1 : 0;
      return 0;
    };
  };
  a->WithModel(setUp(true));
  b->WithModel(setUp(false));
  const std::string file = TempFolder() + "/show.pro";
  ASSERT_EQ(Orvctl("--ip " + ipA + " project save " + file).status, 0);

  const std::string lines =
      "PIP-1 window: 0,0 960x540 → 1140,60 720x405\n"
      "Output: 1920x1080 60 Hz → 3840x2160 30 Hz\n"
      "Keyer 1: off → on\n";
  const ToolRun diff = Orvctl("--ip " + ipB + " project diff " + file);
  EXPECT_EQ(diff.status, 1);
  EXPECT_EQ(diff.output, lines);
  const ParamBlock start = b->Image();
  const ToolRun dry = Orvctl("--ip " + ipB + " project apply --dry-run " + file);
  EXPECT_EQ(dry.status, 0);
  EXPECT_EQ(dry.output, lines);
  const ParamBlock still = b->Image();
  EXPECT_EQ(std::memcmp(&start, &still, sizeof(ParamBlock)), 0);

  const ToolRun same = Orvctl("--ip " + ipA + " project diff " + file);
  EXPECT_EQ(same.status, 0) << same.output;
  EXPECT_EQ(same.output, "");
  ASSERT_EQ(Orvctl("--ip " + ipB + " project apply " + file).status, 0);
  EXPECT_EQ(Orvctl("--ip " + ipB + " project diff " + file).status, 0);
  EXPECT_EQ(Orvctl("--ip " + ipB + " project diff " + file + ".missing").status, 5);
  a->Stop();
  b->Stop();
}

TEST(Orvctl, SilentProcessorEndsInAMessage) {
  const std::string ip = TestIp(43);
  auto processor = StartProcessor(ip);
  processor->SetSilent(true);
  const auto start = std::chrono::steady_clock::now();
  const ToolRun run = Orvctl("--ip " + ip + " --timeout 500 status");
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(run.status, 3);
  EXPECT_NE(run.output.find("no answer"), std::string::npos) << run.output;
  EXPECT_EQ(run.output.find('\n'), run.output.size() - 1);  // one line
  EXPECT_LT(took, std::chrono::seconds(10));
  // Nobody listening at all: no link.
  EXPECT_EQ(Orvctl("--ip " + TestIp(44) + " --timeout 500 take").status, 2);
  processor->Stop();
}

// A processor that goes away while orvctl waits for it is known at once:
// no link (2), not the time-out's "no answer" (3).
TEST(Orvctl, ProcessorGoneDuringACommandIsNoLink) {
  const std::string ip = TestIp(45);
  auto processor = StartProcessor(ip);
  processor->SetSilent(true);
  ToolRun run;
  std::thread tool([&] { run = Orvctl("--ip " + ip + " --timeout 60000 freeze on"); });
  auto sent = [&] {
    for (const sim::ReceivedRequest& r : processor->Requests().Entries()) {
      if (r.type == FREEZE) return true;
    }
    return false;
  };
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!sent() && std::chrono::steady_clock::now() < end)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  ASSERT_TRUE(sent());
  const auto gone = std::chrono::steady_clock::now();
  processor->Stop();
  tool.join();
  EXPECT_EQ(run.status, 2) << run.output;
  EXPECT_NE(run.output.find("closed the link"), std::string::npos) << run.output;
  // Far from the 60 s time-out (in practice a few milliseconds).
  EXPECT_LT(std::chrono::steady_clock::now() - gone, std::chrono::seconds(30));
}

// A file that is not a project is refused before anything is written.
TEST(Orvctl, ApplyingAFileThatIsNotAProjectWritesNothing) {
  const std::string ip = TestIp(46);
  auto processor = StartProcessor(ip);
  const std::string file = TempFolder() + "/garbage.pro";
  std::ofstream(file) << "garbage\n";
  const ParamBlock before = processor->Image();
  processor->Requests().Clear();
  const ToolRun run = Orvctl("--ip " + ip + " project apply " + file);
  EXPECT_EQ(run.status, 5) << run.output;
  EXPECT_NE(run.output.find("not a project"), std::string::npos) << run.output;
  for (const sim::ReceivedRequest& r : processor->Requests().Entries()) {
    EXPECT_NE(r.type, WRITE_ALL);
    EXPECT_NE(r.type, SET_FEATHER);
  }
  const ParamBlock after = processor->Image();
  EXPECT_EQ(std::memcmp(&before, &after, sizeof(ParamBlock)), 0);
  processor->Stop();
}

// The cue script of docs/remote-control.md, command by command, against a
// virtual processor instead of the church's (a project saved first stands
// in for the show's file, a saved preset 1 for the walk-in loop).
TEST(Orvctl, TheDocumentedCueScriptRuns) {
  std::ifstream doc(std::string(ORV_DOCS_DIR) + "/remote-control.md");
  ASSERT_TRUE(doc) << ORV_DOCS_DIR;
  const std::regex tool(R"re(^    P="orvctl --ip [0-9.]+ (.*)"$)re");
  const std::regex command(R"re(^    \$P ([^#>]*?)\s*(> (\S+))?\s*(#.*)?$)re");
  std::string options;
  std::vector<std::pair<std::string, std::string>> commands;  // arguments, output file
  for (std::string line; std::getline(doc, line);) {
    std::smatch m;
    if (std::regex_match(line, m, tool)) options = m[1];
    if (std::regex_match(line, m, command)) commands.emplace_back(m[1], m[3]);
  }
  ASSERT_EQ(options, "--timeout 3000");
  ASSERT_GE(commands.size(), 10u);

  const std::string ip = TestIp(47);
  auto processor = StartProcessor(ip);
  const std::string folder = TempFolder();
  const std::string at = "--ip " + ip + " " + options + " ";
  ASSERT_EQ(Orvctl(at + "project save " + folder + "/sunday.pro").status, 0);
  ASSERT_EQ(Orvctl(at + "preset save 1").status, 0);
  for (auto [arguments, output] : commands) {
    for (std::size_t p; (p = arguments.find("/shows/")) != std::string::npos;)
      arguments.replace(p, 7, folder + "/");
    const ToolRun run = Orvctl(at + arguments);
    EXPECT_EQ(run.status, 0) << arguments << ": " << run.output;
    if (!output.empty()) {
      EXPECT_TRUE(Json::Parse(run.output)) << arguments << ": " << run.output;
    }
  }
  EXPECT_EQ(processor->Image().CHNLDATA[1].HPOS, 1280);  // the sermon's PIP window
  EXPECT_EQ(processor->Image().FREEZE_STATE, 1);
  EXPECT_TRUE(std::filesystem::exists(folder + "/sunday-after.pro"));
  processor->Stop();
}

}  // namespace
}  // namespace orv::remote
