#pragma once
// Text control of a running virtual processor, one command per line. The
// same lines work on stdin and on a local (unix-domain) socket; every line is
// answered with one line starting "ok" or "error".
//
//   signal SLOT on|off [WIDTH HEIGHT FPS_HUNDREDTHS [INTERLACED]]
//   event KIND [BYTE ...]          device event (data type 24), up to 8 bytes
//   reply TYPE ARG1 HEX...         any reply built from its parts
//   raw HEX...                     bytes sent as they are
//   garbage COUNT                  random bytes
//   silent on|off
//   delay MS                       delay of every answer
//   period MS                      self-report period, 0 = off
//   report                         self-report now
//   drop tcp|serial|all
//   pty                            a new pseudo-terminal (after drop serial)
//   preview on|off                 what the processor says about its preview
//   stream on|off                  the live H.264 stream while the preview is offered
//   corrupt COUNT                  COUNT random video packets, then a cut access unit
//   route LAYER INPUT              the layer shows that input code; reports 14
//   edid ok|fail                   SET_EDID applied, or refused (event kind 0, [2] 0)
//   vga ok|fail                    VGA automatic adjustment and calibration end
//                                  done, or failed (event kind 1, [1] 0)
//   adjust MS                      how long those two take (1500 / 3000 at start)
//   layer L on|off X Y W H         layer L's window and on/off state
//   pvwmode 0|1|2                  program/preview mode (layers off program on preview)
//   mosaic 0..5                    mosaic mode
//   output W H                     output resolution: the table entry of that size
//                                  (index, size, rate); other sizes are refused
//   encoder [ok|fail|silent|short|split|close]
//                                  how the encoder's upload peer behaves; alone: what it holds
//   caption [ok|drop N|misaddress N|delay MS|refuse on|off]
//                                  the next N chunk acknowledges dropped or naming another
//                                  position, every one late, announces refused; alone: counts
//   clock [YEAR MONTH DAY HOUR MINUTE SECOND]
//                                  sets the processor's clock and reports it (13);
//                                  alone: what the clock shows and how many tasks fired
//   refuse-next TYPE [REASON]      the next command of TYPE refused: ack status 1 with
//                                  REASON (5 at default), nothing stored, nothing else sent
//   ignore-next TYPE               the next command of TYPE left unanswered
//   alter-next TYPE [BYTE]         the next command of TYPE applied with payload byte BYTE
//                                  (1 at default) one higher, so its report disagrees
//   status                         counters
//   help
#include <memory>
#include <string>
#include <string_view>
#include <thread>

#include <asio.hpp>

namespace orv::sim {

class VirtualProcessor;

// Executes one line and returns the answer (without a line end).
std::string ExecuteControlLine(VirtualProcessor& processor, std::string_view line);

// Serves control lines on a unix-domain socket at `path` with its own thread.
class ControlSocket {
 public:
  ControlSocket(VirtualProcessor& processor, std::string path);
  ~ControlSocket();
  bool Start(std::string* error = nullptr);
  void Stop();
  const std::string& path() const { return path_; }

 private:
  void Accept();
  void Serve(std::shared_ptr<asio::local::stream_protocol::socket> socket,
             std::shared_ptr<asio::streambuf> buffer);

  VirtualProcessor& processor_;
  std::string path_;
  asio::io_context io_;
  asio::local::stream_protocol::acceptor acceptor_;
  std::thread thread_;
};

}  // namespace orv::sim
