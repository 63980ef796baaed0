// orvctl: drives one processor from the command line or a cue script, with
// the panel's own library, decoders and sequences and no window.
//
//   orvctl --ip ADDRESS [--timeout MS] COMMAND ...
//
// Exit status: 0 done; 1 usage (project diff: the project differs); 2 no link (or the processor
// closed it); 3 no answer in time; 4 refused (the processor's state does not allow it); 5 a project
// file that cannot be read, is not a project or cannot be written. Every failure prints one line on
// stderr.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "CommandEncoder.h"
#include "DeviceSession.h"
#include "DeviceState.h"
#include "ParamFields.h"
#include "ProjectFile.h"
#include "ReadBack.h"
#include "ShowState.h"

namespace orv::ctl {
namespace {

enum Exit : int {
  kOk = 0,
  kUsage = 1,
  kDiffers = 1,  // project diff: the processor would change
  kNoLink = 2,
  kNoAnswer = 3,
  kRefused = 4,
  kFile = 5
};

constexpr const char* kUsageText =
    "usage: orvctl --ip ADDRESS [--timeout MS] COMMAND\n"
    "  status                    the processor's state as JSON\n"
    "  input LAYER INPUT         layer 0..3 shows input 0..11\n"
    "  window LAYER X Y W H      the layer's window in output pixels\n"
    "  layer LAYER on|off        PIP layer 1..3 on or off\n"
    "  take                      program/preview transition\n"
    "  preset load|save N        preset 1..10\n"
    "  template load N           template 1..10\n"
    "  freeze on|off\n"
    "  project apply [--dry-run] FILE.pro\n"
    "                            load the project and write it to the processor\n"
    "                            (--dry-run: print what would change, send nothing)\n"
    "  project diff FILE.pro     print what the project would change (exit 1 if anything)\n"
    "  project save FILE.pro     read the processor back and save it\n";

struct Failure {
  int code;
  std::string message;
};

int Fail(const Failure& f) {
  std::fprintf(stderr, "orvctl: %s\n", f.message.c_str());
  return f.code;
}

bool ParseInt(const std::string& text, int min, int max, int& out) {
  if (text.empty() || text.size() > 9) return false;
  char* end = nullptr;
  const long n = std::strtol(text.c_str(), &end, 10);
  if (*end != '\0' || n < min || n > max) return false;
  out = static_cast<int>(n);
  return true;
}

bool ParseOnOff(const std::string& text, bool& on) {
  if (text == "on") {
    on = true;
  } else if (text == "off") {
    on = false;
  } else {
    return false;
  }
  return true;
}

class Tool {
 public:
  explicit Tool(DeviceSession& session) : session_(session) {}

  int Run(const std::vector<std::string>& a) {
    const std::string& cmd = a[0];
    if (cmd == "status" && a.size() == 1) return Status();
    if (cmd == "input" && a.size() == 3) return Input(a);
    if (cmd == "window" && a.size() == 6) return Window(a);
    if (cmd == "layer" && a.size() == 3) return Layer(a);
    if (cmd == "take" && a.size() == 1) return Take();
    if (cmd == "preset" && a.size() == 3 && (a[1] == "load" || a[1] == "save"))
      return Preset(a[1] == "save", a[2]);
    if (cmd == "template" && a.size() == 3 && a[1] == "load") return Template(a[2]);
    if (cmd == "freeze" && a.size() == 2) return Freeze(a[1]);
    if (cmd == "project" && a.size() == 3 && a[1] == "apply") return ProjectApply(a[2], false);
    if (cmd == "project" && a.size() == 4 && a[1] == "apply" && a[2] == "--dry-run")
      return ProjectApply(a[3], true);
    if (cmd == "project" && a.size() == 4 && a[1] == "apply" && a[3] == "--dry-run")
      return ProjectApply(a[2], true);
    if (cmd == "project" && a.size() == 3 && a[1] == "diff") return ProjectDiff(a[2]);
    if (cmd == "project" && a.size() == 3 && a[1] == "save") return ProjectSave(a[2]);
    return Fail({kUsage, "unknown command or wrong arguments: " + cmd + " (orvctl --help)"});
  }

 private:
  // The whole read-back, follow-ups included: no answer of it can be taken
  // for the answer to the command that follows.
  int ReadBack() {
    std::string error;
    const DeviceSession::Wait wait = session_.ReadBack(error);
    if (wait != DeviceSession::Wait::Answered) return Fail({ExitOf(wait), error});
    return kOk;
  }

  // A closed link is no link; a silent one is no answer.
  static int ExitOf(DeviceSession::Wait wait) {
    return wait == DeviceSession::Wait::LinkClosed ? kNoLink : kNoAnswer;
  }

  // Sends through `send` and waits for the first report of `types` (data
  // types; -1: the end of the wait the panel would show).
  template <class Send>
  int SendAndWait(const char* what, std::initializer_list<int> types, Send send) {
    const DeviceSession::Marks before = session_.Now();
    send();
    const DeviceSession::Wait wait = session_.WaitFor(before, types);
    if (wait != DeviceSession::Wait::Answered)
      return Fail({ExitOf(wait), session_.WaitFailure(wait, what)});
    return kOk;
  }

  int Status() {
    if (int rc = ReadBack()) return rc;
    remote::ShowState state;
    {
      auto s = State();
      state = remote::ReadShowState(*s);
      if (session_.FreezeReported()) state.freeze = s->block.FREEZE_STATE != 0;
    }
    state.connected = true;
    std::printf("%s\n", remote::ToJson(state).Dump().c_str());
    return kOk;
  }

  int Input(const std::vector<std::string>& a) {
    int layer = 0;
    int input = 0;
    if (!ParseInt(a[1], 0, 3, layer)) return Fail({kUsage, "LAYER must be 0..3"});
    if (!ParseInt(a[2], 0, 11, input)) return Fail({kUsage, "INPUT must be 0..11"});
    if (int rc = ReadBack()) return rc;
    {
      auto s = State();
      if (s->INPUT_TABLE[static_cast<std::size_t>(input)].enabled == 0)
        return Fail({kRefused, "input " + std::to_string(input) + " is not present"});
      // In the program/preview modes a layer on program keeps its input.
      if (s->block.PVWMODEINFO.PVWMODE != 0 && s->block.PVWMODEINFO.PGMSTATE[layer] != 0)
        return Fail({kRefused, "layer " + std::to_string(layer) + " is on program"});
      s->block.CHNLDATA[layer].CHNLINPUT = static_cast<uint8_t>(input);
    }
    constexpr int kLayersReport = 14;
    return SendAndWait("input", {kLayersReport}, [layer] { SendCommand(SET_LAYER_INPUT, layer); });
  }

  int Window(const std::vector<std::string>& a) {
    int layer = 0;
    int v[4] = {};
    if (!ParseInt(a[1], 0, 3, layer)) return Fail({kUsage, "LAYER must be 0..3"});
    for (int i = 0; i < 4; ++i) {
      if (!ParseInt(a[static_cast<std::size_t>(i) + 2], i < 2 ? 0 : 1, 65535, v[i]))
        return Fail({kUsage, "X Y must be 0..65535, W H 1..65535"});
    }
    if (int rc = ReadBack()) return rc;
    {
      auto s = State();
      ChannelData& ch = s->block.CHNLDATA[layer];
      ch.HPOS = v[0];
      ch.VPOS = v[1];
      ch.HACT = v[2];
      ch.VACT = v[3];
    }
    constexpr int kWindowReport = 10;
    return SendAndWait("window", {kWindowReport},
                       [layer] { SendCommand(SET_LAYER_WINDOW, layer); });
  }

  int Layer(const std::vector<std::string>& a) {
    int layer = 0;
    bool on = false;
    if (!ParseInt(a[1], 1, 3, layer)) return Fail({kUsage, "LAYER must be 1..3"});
    if (!ParseOnOff(a[2], on)) return Fail({kUsage, "expected on or off"});
    if (int rc = ReadBack()) return rc;
    {
      auto s = State();
      if (layer == 3 && s->block.LOGOINFO.LOGOUSAGE != 0)
        return Fail({kRefused, "layer 3 serves the logo"});
      s->block.CHNLDATA[layer].CHNLONOFF = on ? 1 : 0;
    }
    constexpr int kLayersReport = 14;
    return SendAndWait("layer", {kLayersReport},
                       [layer] { SendCommand(SET_LAYER_ONOFF, layer - 1); });
  }

  int Take() {
    if (int rc = ReadBack()) return rc;
    int mode = 0;
    { mode = State()->block.PVWMODEINFO.PVWMODE; }
    if (mode == 0) return Fail({kRefused, "take needs a program/preview mode (pvwmode is 0)"});
    // Done when the processor reports the exchange (its mode record, once
    // the fade has run) or ends the wait with its layers event.
    constexpr int kPvwModeReport = 20;
    constexpr int kWaitEnded = -1;
    return SendAndWait("take", {kPvwModeReport, kWaitEnded}, [] { SendCommand(TAKE); });
  }

  int Preset(bool save, const std::string& number) {
    int n = 0;
    if (!ParseInt(number, 1, 10, n)) return Fail({kUsage, "N must be 1..10"});
    if (int rc = ReadBack()) return rc;
    constexpr int kPresetFlags = 17;
    if (save) return SendAndWait("preset save", {kPresetFlags}, [n] { SavePreset(n - 1); });
    bool valid = false;
    { valid = State()->PRESET_FLAGS[n - 1] != 0; }
    if (!valid) return Fail({kRefused, "preset " + number + " is empty"});
    constexpr int kWaitEnded = -1;
    return SendAndWait("preset load", {kWaitEnded}, [n] { RecallPreset(1, n - 1); });
  }

  int Template(const std::string& number) {
    int n = 0;
    if (!ParseInt(number, 1, 10, n)) return Fail({kUsage, "N must be 1..10"});
    if (int rc = ReadBack()) return rc;
    constexpr int kWaitEnded = -1;
    return SendAndWait("template load", {kWaitEnded}, [n] { RecallPreset(0, n - 1); });
  }

  int Freeze(const std::string& value) {
    bool on = false;
    if (!ParseOnOff(value, on)) return Fail({kUsage, "expected on or off"});
    constexpr int kFreezeState = 31;
    return SendAndWait("freeze", {kFreezeState}, [on] { SendCommand(FREEZE, on ? 1 : 0); });
  }

  // Reads the processor back and lays the project over its image in the
  // record: a key the file lacks keeps the device's value. A file without a
  // single key of the layout is no project, and nothing is written.
  int LoadOverDevice(const std::string& file, ParamBlock& device) {
    const std::string path = std::filesystem::absolute(file).string();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
      return Fail({kFile, "no project file " + file});
    if (int rc = ReadBack()) return rc;
    { device = State()->block; }
    const auto noRefresh = [](int, int) {};
    switch (LoadWholeProject(path, noRefresh)) {
      case ProjectLoad::Loaded:
        break;
      case ProjectLoad::Incomplete:
        if (!LoadProject(path, noRefresh)) return Fail({kFile, "cannot read " + file});
        break;
      case ProjectLoad::NotAProject:
        return Fail({kFile, file + " is not a project file"});
      case ProjectLoad::Unreadable:
        return Fail({kFile, "cannot read " + file});
    }
    return kOk;
  }

  // One line per changed group, in page order; the fields the processor
  // sets itself are left out. True when something would change.
  static bool PrintChanges(const ParamBlock& device) {
    ParamBlock project;
    { project = State()->block; }
    const ImageDiff diff = DiffImages(device, project);
    for (const GroupChange& change : diff.changes) std::printf("%s\n", change.words.c_str());
    std::fflush(stdout);
    return !diff.changes.empty();
  }

  int ProjectApply(const std::string& file, bool dryRun) {
    ParamBlock device;
    if (int rc = LoadOverDevice(file, device)) return rc;
    if (dryRun) {
      PrintChanges(device);
      return kOk;
    }
    constexpr int kWaitEnded = -1;
    return SendAndWait("project apply", {kWaitEnded}, [] { FullWriteBack(); });
  }

  int ProjectDiff(const std::string& file) {
    ParamBlock device;
    if (int rc = LoadOverDevice(file, device)) return rc;
    return PrintChanges(device) ? kDiffers : kOk;
  }

  int ProjectSave(const std::string& file) {
    const std::string path = std::filesystem::absolute(file).string();
    if (int rc = ReadBack()) return rc;
    if (!SaveProject(path)) return Fail({kFile, "cannot write " + file});
    return kOk;
  }

  DeviceSession& session_;
};

}  // namespace
}  // namespace orv::ctl

int main(int argc, char** argv) {
  using namespace orv::ctl;
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string ip;
  int timeoutMs = 5000;
  std::vector<std::string> command;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--help" || args[i] == "-h") {
      std::fputs(kUsageText, stdout);
      return kOk;
    }
    if (args[i] == "--ip" && i + 1 < args.size()) {
      ip = args[++i];
    } else if (args[i] == "--timeout" && i + 1 < args.size()) {
      if (!ParseInt(args[++i], 100, 600000, timeoutMs))
        return Fail({kUsage, "--timeout must be 100..600000 ms"});
    } else {
      command.assign(args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
      break;
    }
  }
  if (ip.empty()) return Fail({kUsage, "--ip ADDRESS is required (orvctl --help)"});
  if (command.empty()) return Fail({kUsage, "no command (orvctl --help)"});
  DeviceSession session(timeoutMs);
  std::string error;
  if (!session.Connect(ip, error)) return Fail({kNoLink, error});
  return Tool(session).Run(command);
}
