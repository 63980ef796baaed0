// q20sim: a virtual video processor for the control panel.
//
//   q20sim --ip 127.0.0.5 [--port 61213] [--serial-pty] [--no-pace]
//          [--control-socket PATH] [--report-ms 3000] [--no-stdin] [--no-preview]
//
// Serves TCP and UDP discovery on the given address, optionally a
// pseudo-terminal (its path is printed as "pty PATH"), and reads control
// lines (see ControlChannel.h) from stdin and from the control socket.
// It offers its H.264 preview from the start, as a processor with an encoder
// does; --no-preview starts it with the preview off ("preview on" offers it).
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <thread>

#include "ControlChannel.h"
#include "VirtualProcessor.h"

namespace {

volatile std::sig_atomic_t g_stop = 0;
void OnSignal(int) {
  g_stop = 1;
}

int Usage() {
  std::cerr << "usage: q20sim --ip ADDRESS [--port N] [--serial-pty] [--no-pace]\n"
               "              [--control-socket PATH] [--report-ms MS] [--no-stdin]\n"
               "              [--no-preview]\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  orv::sim::ProcessorConfig config;
  std::string controlPath;
  bool readStdin = true;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&]() -> std::optional<std::string> {
      if (i + 1 >= argc) return std::nullopt;
      return std::string(argv[++i]);
    };
    if (arg == "--ip") {
      auto v = value();
      if (!v) return Usage();
      config.ip = *v;
    } else if (arg == "--port") {
      auto v = value();
      if (!v) return Usage();
      config.port = static_cast<uint16_t>(std::atoi(v->c_str()));
    } else if (arg == "--serial-pty") {
      config.serialPty = true;
    } else if (arg == "--no-pace") {
      config.paceSerial = false;
    } else if (arg == "--control-socket") {
      auto v = value();
      if (!v) return Usage();
      controlPath = *v;
    } else if (arg == "--report-ms") {
      auto v = value();
      if (!v) return Usage();
      config.selfReportMs = std::atoi(v->c_str());
    } else if (arg == "--no-stdin") {
      readStdin = false;
    } else if (arg == "--no-preview") {
      config.previewOffered = false;
    } else {
      return Usage();
    }
  }
  // Loopback only: this program is a test and demo peer.
  if (config.ip.rfind("127.", 0) != 0) {
    std::cerr << "q20sim: serves loopback addresses (127.x.x.x) only\n";
    return 2;
  }

  // Before anything is announced: a stop asked for as soon as the caller
  // read "listening" or "control" still ends the process in order.
  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);
  std::signal(SIGPIPE, SIG_IGN);
  orv::sim::VirtualProcessor processor(config);
  std::string error;
  if (!processor.Start(&error)) {
    std::cerr << "q20sim: " << error << "\n";
    return 1;
  }
  std::cout << "listening " << config.ip << ":" << config.port << " address "
            << int{processor.address()} << std::endl;
  if (config.serialPty) std::cout << "pty " << processor.PtyPath() << std::endl;

  std::optional<orv::sim::ControlSocket> control;
  if (!controlPath.empty()) {
    control.emplace(processor, controlPath);
    if (!control->Start(&error)) {
      std::cerr << "q20sim: " << error << "\n";
      return 1;
    }
    std::cout << "control " << controlPath << std::endl;
  }

  if (readStdin) {
    // Detached: a blocking read of stdin cannot be interrupted portably;
    // the process ends without waiting for it. End of input leaves the
    // processor running.
    std::thread([&processor] {
      std::string line;
      while (!g_stop && std::getline(std::cin, line)) {
        if (line == "quit") {
          g_stop = 1;
          break;
        }
        if (!line.empty()) std::cout << orv::sim::ExecuteControlLine(processor, line) << std::endl;
      }
    }).detach();
  }
  while (!g_stop) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  if (control) control->Stop();
  processor.Stop();
  return 0;
}
