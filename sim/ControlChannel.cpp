#include "ControlChannel.h"

#include <unistd.h>

#include <charconv>
#include <sstream>
#include <vector>

#include "OutputAndPicture.h"
#include "VirtualProcessor.h"

namespace orv::sim {

namespace {

std::vector<std::string> Words(std::string_view line) {
  std::vector<std::string> words;
  std::istringstream in{std::string(line)};
  std::string w;
  while (in >> w) words.push_back(w);
  return words;
}

bool Number(const std::string& text, long& out) {
  int base = 10;
  std::string_view s = text;
  if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    base = 16;
    s.remove_prefix(2);
  }
  const auto r = std::from_chars(s.data(), s.data() + s.size(), out, base);
  return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

bool Hex(const std::vector<std::string>& words, std::size_t from, std::vector<uint8_t>& out) {
  std::string digits;
  for (std::size_t i = from; i < words.size(); ++i) digits += words[i];
  if (digits.size() % 2) return false;
  for (std::size_t i = 0; i < digits.size(); i += 2) {
    unsigned v = 0;
    const auto r = std::from_chars(digits.data() + i, digits.data() + i + 2, v, 16);
    if (r.ec != std::errc() || r.ptr != digits.data() + i + 2) return false;
    out.push_back(static_cast<uint8_t>(v));
  }
  return true;
}

bool OnOff(const std::string& word, bool& out) {
  if (word == "on" || word == "1") return out = true, true;
  if (word == "off" || word == "0") return out = false, true;
  return false;
}

using Args = std::vector<std::string>;
using Action = std::string (*)(VirtualProcessor&, const Args&);

std::string Signal(VirtualProcessor& p, const Args& a) {
  long slot = 0, w = 1920, h = 1080, fps = 6000, il = 0;
  bool on = false;
  if (a.size() < 3 || !Number(a[1], slot) || slot < 0 || slot > 7 || !OnOff(a[2], on)) {
    return "error usage: signal SLOT on|off [WIDTH HEIGHT FPS_HUNDREDTHS [INTERLACED]]";
  }
  if (a.size() >= 6 && !(Number(a[3], w) && Number(a[4], h) && Number(a[5], fps))) {
    return "error bad timing";
  }
  if (a.size() >= 7 && !Number(a[6], il)) return "error bad interlace flag";
  p.SetSignal(static_cast<int>(slot), on, static_cast<uint16_t>(w), static_cast<uint16_t>(h),
              static_cast<uint16_t>(fps), il != 0);
  return "ok";
}

std::string EventCmd(VirtualProcessor& p, const Args& a) {
  std::vector<uint8_t> bytes;
  for (std::size_t i = 1; i < a.size(); ++i) {
    long v = 0;
    if (!Number(a[i], v) || v < 0 || v > 255) return "error bad byte: " + a[i];
    bytes.push_back(static_cast<uint8_t>(v));
  }
  if (bytes.empty() || bytes.size() > 8) return "error usage: event KIND [BYTE ...] (1 to 8 bytes)";
  p.RaiseEvent(std::move(bytes));
  return "ok";
}

std::string ReplyCmd(VirtualProcessor& p, const Args& a) {
  long type = 0, arg1 = 0;
  std::vector<uint8_t> data;
  if (a.size() < 3 || !Number(a[1], type) || !Number(a[2], arg1) || !Hex(a, 3, data)) {
    return "error usage: reply TYPE ARG1 HEX...";
  }
  // Data type 27 takes its text and MAC as one run: the last six bytes are the MAC.
  std::vector<uint8_t> extra;
  if (type == 27 && data.size() >= 6) {
    extra.assign(data.end() - 6, data.end());
    data.resize(data.size() - 6);
  }
  return p.SendReply(static_cast<uint16_t>(type), static_cast<int32_t>(arg1), data, extra)
             ? "ok"
             : "error the bytes do not fit that data type";
}

std::string Raw(VirtualProcessor& p, const Args& a) {
  std::vector<uint8_t> bytes;
  if (!Hex(a, 1, bytes) || bytes.empty()) return "error usage: raw HEX...";
  p.SendRaw(std::move(bytes));
  return "ok";
}

std::string Garbage(VirtualProcessor& p, const Args& a) {
  long n = 0;
  if (a.size() != 2 || !Number(a[1], n) || n <= 0 || n > 65536) return "error usage: garbage COUNT";
  p.SendGarbage(static_cast<std::size_t>(n));
  return "ok";
}

std::string Silent(VirtualProcessor& p, const Args& a) {
  bool on = false;
  if (a.size() != 2 || !OnOff(a[1], on)) return "error usage: silent on|off";
  p.SetSilent(on);
  return "ok";
}

std::string Delay(VirtualProcessor& p, const Args& a) {
  long ms = 0;
  if (a.size() != 2 || !Number(a[1], ms) || ms < 0 || ms > 600000) return "error usage: delay MS";
  p.SetReplyDelayMs(static_cast<int>(ms));
  return "ok";
}

std::string Period(VirtualProcessor& p, const Args& a) {
  long ms = 0;
  if (a.size() != 2 || !Number(a[1], ms) || ms < 0 || ms > 3600000) return "error usage: period MS";
  p.SetSelfReportMs(static_cast<int>(ms));
  return "ok";
}

std::string Report(VirtualProcessor& p, const Args&) {
  p.ReportNow();
  return "ok";
}

std::string Hang(VirtualProcessor& p, const Args& a) {
  bool on = false;
  if (a.size() != 2 || !OnOff(a[1], on)) return "error usage: hang on|off";
  p.SetHung(on);
  return on ? "ok hung" : "ok answering";
}

std::string Offline(VirtualProcessor& p, const Args& a) {
  long ms = -1;
  if (a.size() > 2 || (a.size() == 2 && (!Number(a[1], ms) || ms < 0 || ms > 600000)))
    return "error usage: offline [MS]";
  p.GoOffline(static_cast<int>(ms));
  return ms < 0 ? "ok offline" : "ok offline, back in " + std::to_string(ms) + " ms";
}

std::string Online(VirtualProcessor& p, const Args& a) {
  if (a.size() != 1) return "error usage: online";
  if (!p.ComeBack()) return "error the address cannot be bound";
  const std::string pty = p.PtyPath();
  return pty.empty() ? "ok online" : "ok online pty " + pty;
}

std::string Drop(VirtualProcessor& p, const Args& a) {
  if (a.size() != 2) return "error usage: drop tcp|serial|all";
  if (a[1] == "tcp") {
    p.DropLinks(VirtualProcessor::LinkSet::Tcp);
  } else if (a[1] == "serial") {
    p.DropLinks(VirtualProcessor::LinkSet::Serial);
  } else if (a[1] == "all") {
    p.DropLinks(VirtualProcessor::LinkSet::All);
  } else {
    return "error usage: drop tcp|serial|all";
  }
  return "ok";
}

std::string Pty(VirtualProcessor& p, const Args&) {
  const std::string path = p.ReopenPty();
  return path.empty() ? "error no pseudo-terminal" : "ok pty " + path;
}

std::string Stream(VirtualProcessor& p, const Args& a) {
  bool on = false;
  if (a.size() != 2 || !OnOff(a[1], on)) return "error usage: stream on|off";
  p.SetStreamEnabled(on);
  return "ok";
}

std::string Corrupt(VirtualProcessor& p, const Args& a) {
  long count = 0;
  if (a.size() != 2 || !Number(a[1], count) || count < 1 || count > 10000)
    return "error usage: corrupt COUNT";
  p.InjectCorruptVideo(static_cast<int>(count));
  return "ok";
}

std::string Preview(VirtualProcessor& p, const Args& a) {
  bool on = false;
  if (a.size() != 2 || !OnOff(a[1], on)) return "error usage: preview on|off";
  p.SetPreviewOffered(on);
  return "ok";
}

// Routes an input to a layer as the processor's own front panel would, and
// reports the layers (14) on every open link.
std::string Route(VirtualProcessor& p, const Args& a) {
  long layer = 0, input = 0;
  if (a.size() != 3 || !Number(a[1], layer) || layer < 0 || layer >= kLayers ||
      !Number(a[2], input) || input < 0 || input >= kInputCodes) {
    return "error usage: route LAYER INPUT (layer 0..3, input code 0..11)";
  }
  std::vector<uint8_t> layers = p.WithModel([&](DeviceModel& m) {
    auto& channels = m.image().CHNLDATA;
    channels[layer].CHNLINPUT = static_cast<uint8_t>(input);
    std::vector<uint8_t> bytes;
    for (const auto& c : channels)
      bytes.insert(bytes.end(), {c.CHNLONOFF, c.CHNLALPHA, c.CHNLINPUT});
    return bytes;
  });
  p.SendReply(14, kLayers, std::move(layers));
  return "ok";
}

std::string Edid(VirtualProcessor& p, const Args& a) {
  if (a.size() != 2 || (a[1] != "ok" && a[1] != "fail")) return "error usage: edid ok|fail";
  const bool refuse = a[1] == "fail";
  p.WithModel([refuse](DeviceModel& m) { m.edidRefuses = refuse; });
  return "ok";
}

// "refuse-next TYPE [REASON]", "ignore-next TYPE", "alter-next TYPE [BYTE]":
// an order for the next command of that type (DeviceModel::CommandOrder).
std::string Next(VirtualProcessor& p, const Args& a) {
  using Kind = DeviceModel::CommandOrder::Kind;
  const Kind kind = a[0] == "refuse-next"   ? Kind::Refuse
                    : a[0] == "ignore-next" ? Kind::Ignore
                                            : Kind::Alter;
  long type = 0, extra = kind == Kind::Refuse ? kRefusedOrdered : 1;
  const std::size_t most = kind == Kind::Ignore ? 2 : 3;
  const bool valid = a.size() >= 2 && a.size() <= most && Number(a[1], type) && type >= 0 &&
                     type <= 0xFFFF && (a.size() < 3 || Number(a[2], extra)) && extra >= 0 &&
                     extra <= (kind == Kind::Refuse ? 255 : 31);
  if (!valid) {
    return kind == Kind::Refuse   ? "error usage: refuse-next TYPE [REASON 0..255]"
           : kind == Kind::Ignore ? "error usage: ignore-next TYPE"
                                  : "error usage: alter-next TYPE [BYTE 0..31]";
  }
  DeviceModel::CommandOrder order;
  order.kind = kind;
  order.type = static_cast<uint16_t>(type);
  if (kind == Kind::Refuse) order.reason = static_cast<uint8_t>(extra);
  if (kind == Kind::Alter) order.at = static_cast<uint8_t>(extra);
  const std::size_t left = p.WithModel([&order](DeviceModel& m) {
    m.Order(order);
    return m.OrdersLeft();
  });
  return "ok orders " + std::to_string(left);
}

std::string Vga(VirtualProcessor& p, const Args& a) {
  if (a.size() != 2 || (a[1] != "ok" && a[1] != "fail")) return "error usage: vga ok|fail";
  const bool fail = a[1] == "fail";
  p.WithModel([fail](DeviceModel& m) { m.vgaAdjustFails = fail; });
  return "ok";
}

std::string Adjust(VirtualProcessor& p, const Args& a) {
  long ms = 0;
  if (a.size() != 2 || !Number(a[1], ms) || ms < 0 || ms > 600000) {
    return "error usage: adjust MS";
  }
  p.WithModel([ms](DeviceModel& m) { m.autoAdjustMs = m.calibrateMs = static_cast<int>(ms); });
  return "ok";
}

// The supply voltage the system information reports (QUERY68), in 1/100 V.
std::string SysinfoCmd(VirtualProcessor& p, const Args& a) {
  long v = 0;
  if (a.size() != 2 || !Number(a[1], v) || v < 0 || v > 65535) {
    return "error usage: sysinfo VOLTAGE100";
  }
  p.WithModel([v](DeviceModel& m) {
    m.sysinfo()[2] = static_cast<uint8_t>(v & 0xFF);
    m.sysinfo()[3] = static_cast<uint8_t>(v >> 8);
  });
  return "ok";
}

// The media player keys received so far, "key/disk" each.
std::string MediaCmd(VirtualProcessor& p, const Args&) {
  return p.WithModel([](DeviceModel& m) {
    std::string keys = "ok";
    for (const MediaKey& k : m.mediaKeys()) {
      keys += ' ' + std::to_string(k.key) + '/' + std::to_string(k.disk);
    }
    return keys;
  });
}

// The processor's own settings, read back by the panel's next GET_ALL.
std::string LayerCmd(VirtualProcessor& p, const Args& a) {
  long layer = 0;
  bool on = false;
  long v[4]{};
  const bool ok = a.size() == 7 && Number(a[1], layer) && layer >= 0 && layer < kLayers &&
                  OnOff(a[2], on) && Number(a[3], v[0]) && Number(a[4], v[1]) &&
                  Number(a[5], v[2]) && Number(a[6], v[3]) && v[0] >= 0 && v[1] >= 0 && v[2] > 0 &&
                  v[3] > 0 && v[0] < 8192 && v[1] < 8192 && v[2] < 8192 && v[3] < 8192;
  if (!ok) return "error usage: layer LAYER on|off X Y WIDTH HEIGHT";
  p.WithModel([&](DeviceModel& m) {
    ChannelData& c = m.image().CHNLDATA[layer];
    c.CHNLONOFF = on ? 1 : 0;
    c.HPOS = static_cast<int32_t>(v[0]);
    c.VPOS = static_cast<int32_t>(v[1]);
    c.HACT = static_cast<int32_t>(v[2]);
    c.VACT = static_cast<int32_t>(v[3]);
  });
  return "ok";
}

std::string PvwModeCmd(VirtualProcessor& p, const Args& a) {
  long mode = 0;
  if (a.size() != 2 || !Number(a[1], mode) || mode < 0 || mode > 2)
    return "error usage: pvwmode 0|1|2";
  p.WithModel([&](DeviceModel& m) {
    auto& pv = m.image().PVWMODEINFO;
    pv.PVWMODE = static_cast<uint8_t>(mode);
    for (int i = 0; i < kLayers; ++i) pv.PVWSTATE[i] = mode != 0 && pv.PGMSTATE[i] == 0 ? 1 : 0;
  });
  return "ok";
}

std::string OutputCmd(VirtualProcessor& p, const Args& a) {
  long w = 0;
  long h = 0;
  if (a.size() != 3 || !Number(a[1], w) || !Number(a[2], h) || w < 640 || w > 4096 || h < 480 ||
      h > 2160)
    return "error usage: output WIDTH HEIGHT (640..4096 x 480..2160, a size of the resolution "
           "table)";
  const std::string refused = p.WithModel([&](DeviceModel& m) {
    return ApplyOutputSize(m.image(), m.resolutions(), static_cast<int>(w), static_cast<int>(h));
  });
  return refused.empty() ? "ok" : "error " + refused;
}

std::string MosaicCmd(VirtualProcessor& p, const Args& a) {
  long mode = 0;
  if (a.size() != 2 || !Number(a[1], mode) || mode < 0 || mode > 5)
    return "error usage: mosaic 0..5";
  p.WithModel(
      [&](DeviceModel& m) { m.image().MOSAICSETT.MOSAICMODE = static_cast<int32_t>(mode); });
  return "ok";
}

std::string Status(VirtualProcessor& p, const Args&) {
  const auto s = p.Stats();
  std::ostringstream out;
  out << "ok address " << int{p.address()} << " tcp " << p.TcpLinkCount() << " accepted "
      << s.tcpAccepted << " in " << s.framesIn << " out " << s.framesOut << " commands "
      << s.model.commands << " malformed " << s.model.malformed << " unknown "
      << s.model.unknownCommands << " garbage " << s.parse.garbageBytes;
  const auto pty = p.PtyPath();
  if (!pty.empty()) out << " pty " << pty;
  const auto v = p.StreamStats();
  out << " video " << v.accessUnits << " units " << v.packets << " packets " << v.corruptPackets
      << " corrupt";
  if (!v.encoder.empty()) out << " " << v.width << "x" << v.height << " " << v.encoder;
  if (!v.error.empty()) out << " error " << v.error;
  return out.str();
}

// "encoder MODE" makes the upload peer misbehave; "encoder" alone tells what
// it holds.
std::string EncoderCmd(VirtualProcessor& p, const Args& a) {
  EncoderPeer* peer = p.Encoder();
  if (!peer) return "error no encoder";
  EncoderPeerMode mode{};
  if (a.size() == 2 && ParseEncoderPeerMode(a[1], &mode)) {
    peer->SetMode(mode);
    return "ok";
  }
  if (a.size() != 1) return "error usage: encoder [ok|fail|silent|short|split|close|noisy|babble]";
  const auto r = peer->Record();
  std::ostringstream out;
  out << "ok sessions " << r.sessionsEnded << " acknowledged " << r.acknowledged << " aborted "
      << r.aborted << " package " << r.package.size();
  return out.str();
}

// "caption MODE" makes the caption acknowledges misbehave; "caption" alone
// tells what the caption peer took.
std::string CaptionCmd(VirtualProcessor& p, const Args& a) {
  long n = 0;
  bool on = false;
  const bool counted = a.size() == 3 && Number(a[2], n) && n >= 0 && n <= 100000;
  const bool ok = a.size() == 1 || (a.size() == 2 && a[1] == "ok") ||
                  (counted && (a[1] == "drop" || a[1] == "misaddress" || a[1] == "delay")) ||
                  (a.size() == 3 && a[1] == "refuse" && OnOff(a[2], on));
  if (!ok) return "error usage: caption [ok|drop N|misaddress N|delay MS|refuse on|off]";
  return p.WithModel([&](DeviceModel& m) {
    CaptionFaults& f = m.Captions().faults;
    if (a.size() == 2) f = {};
    if (a.size() == 3 && a[1] == "drop") f.drop = static_cast<int>(n);
    if (a.size() == 3 && a[1] == "misaddress") f.misaddress = static_cast<int>(n);
    if (a.size() == 3 && a[1] == "delay") f.delayMs = static_cast<int>(n);
    if (a.size() == 3 && a[1] == "refuse") f.refuseAnnounce = on;
    const CaptionCounters& c = m.Captions().Counters();
    std::ostringstream out;
    out << "ok chunks " << c.chunksTaken << " refused " << c.chunksRefused << " dropped "
        << c.acksDropped << " misaddressed " << c.acksMisaddressed << " delayed " << c.acksDelayed
        << " pictures " << c.picturesApplied;
    return out.str();
  });
}

// "clock Y M D h m s" sets the processor's clock as its front panel would;
// "clock" alone tells the time it shows.
std::string ClockCmd(VirtualProcessor& p, const Args& a) {
  if (a.size() == 1) {
    return p.WithModel([](DeviceModel& m) {
      const ClockBytes t = m.ReadClock();
      std::ostringstream out;
      out << "ok " << 2000 + t[0] << '/' << int{t[1]} << '/' << int{t[2]} << ' ' << int{t[3]} << ':'
          << int{t[4]} << ':' << int{t[5]} << " fired " << m.tasksFired();
      return out.str();
    });
  }
  long v[6]{};
  bool ok = a.size() == 7;
  for (std::size_t i = 0; ok && i < 6; ++i) ok = Number(a[i + 1], v[i]);
  ok = ok && v[0] >= 2000 && v[0] <= 2255;
  ClockBytes t{};
  for (std::size_t i = 0; ok && i < 6; ++i) {
    ok = i == 0 || (v[i] >= 0 && v[i] <= 255);
    t[i] = static_cast<uint8_t>(i == 0 ? v[0] - 2000 : v[i]);
  }
  if (!ok || !p.WithModel([&](DeviceModel& m) { return m.SetClock(t); })) {
    return "error usage: clock [YEAR MONTH DAY HOUR MINUTE SECOND] (a date of 2000..2255)";
  }
  p.SendReply(13, 0, std::vector<uint8_t>(t.begin(), t.end()));
  return "ok";
}

std::string Help(VirtualProcessor&, const Args&) {
  return "ok commands: signal event reply raw garbage silent delay period report drop hang offline "
         "online pty preview "
         "stream corrupt route edid vga adjust layer pvwmode mosaic output encoder caption "
         "sysinfo media clock refuse-next ignore-next alter-next status help";
}

struct Row {
  const char* word;
  Action action;
};

constexpr Row kCommands[] = {
    {"signal", Signal},      {"event", EventCmd},
    {"reply", ReplyCmd},     {"raw", Raw},
    {"garbage", Garbage},    {"silent", Silent},
    {"delay", Delay},        {"period", Period},
    {"report", Report},      {"drop", Drop},
    {"hang", Hang},          {"offline", Offline},
    {"online", Online},      {"pty", Pty},
    {"preview", Preview},    {"stream", Stream},
    {"corrupt", Corrupt},    {"route", Route},
    {"edid", Edid},          {"vga", Vga},
    {"adjust", Adjust},      {"layer", LayerCmd},
    {"pvwmode", PvwModeCmd}, {"mosaic", MosaicCmd},
    {"output", OutputCmd},   {"status", Status},
    {"help", Help},          {"encoder", EncoderCmd},
    {"caption", CaptionCmd}, {"sysinfo", SysinfoCmd},
    {"media", MediaCmd},     {"clock", ClockCmd},
    {"refuse-next", Next},   {"ignore-next", Next},
    {"alter-next", Next},
};

}  // namespace

std::string ExecuteControlLine(VirtualProcessor& processor, std::string_view line) {
  const auto words = Words(line);
  if (words.empty()) return "error empty line";
  for (const auto& row : kCommands) {
    if (words[0] == row.word) return row.action(processor, words);
  }
  return "error unknown command: " + words[0];
}

// Socket ---------------------------------------------------------------------

ControlSocket::ControlSocket(VirtualProcessor& processor, std::string path)
    : processor_(processor), path_(std::move(path)), acceptor_(io_) {}

ControlSocket::~ControlSocket() {
  Stop();
}

bool ControlSocket::Start(std::string* error) {
  ::unlink(path_.c_str());
  asio::error_code ec;
  const asio::local::stream_protocol::endpoint end(path_);
  acceptor_.open(end.protocol(), ec);
  if (!ec) acceptor_.bind(end, ec);
  if (!ec) acceptor_.listen(asio::socket_base::max_listen_connections, ec);
  if (ec) {
    if (error) *error = "control socket " + path_ + ": " + ec.message();
    return false;
  }
  Accept();
  thread_ = std::thread([this] { io_.run(); });
  return true;
}

void ControlSocket::Stop() {
  if (!thread_.joinable()) return;
  asio::post(io_, [this] {
    asio::error_code ignored;
    acceptor_.close(ignored);
  });
  io_.stop();
  thread_.join();
  ::unlink(path_.c_str());
}

void ControlSocket::Accept() {
  auto socket = std::make_shared<asio::local::stream_protocol::socket>(io_);
  acceptor_.async_accept(*socket, [this, socket](const asio::error_code& ec) {
    if (ec == asio::error::operation_aborted || !acceptor_.is_open()) return;
    if (!ec) Serve(socket, std::make_shared<asio::streambuf>(4096));
    Accept();
  });
}

// The buffer lives as long as the connection: one read may bring several lines.
void ControlSocket::Serve(std::shared_ptr<asio::local::stream_protocol::socket> socket,
                          std::shared_ptr<asio::streambuf> buffer) {
  asio::async_read_until(
      *socket, *buffer, '\n', [this, socket, buffer](const asio::error_code& ec, std::size_t) {
        if (ec) return;
        std::istream in(buffer.get());
        std::string line;
        std::getline(in, line);
        auto answer = std::make_shared<std::string>(ExecuteControlLine(processor_, line) + "\n");
        asio::async_write(*socket, asio::buffer(*answer),
                          [this, socket, buffer, answer](const asio::error_code& e, std::size_t) {
                            if (!e) Serve(socket, buffer);
                          });
      });
}

}  // namespace orv::sim
