#pragma once
// libavcodec's H.264 encoder set for live preview: no B-frames, no lookahead,
// one keyframe a second unless set otherwise (a decoder that joins late has
// a picture soon).
// Prefers libx264; any other H.264 encoder the library offers is the fallback.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace orv::sim {

struct EncoderSettings {
  int width = 352;
  int height = 240;
  int fps = 15;
  int kbps = 3072;
  int keyframeFrames = 0;  // frames from one keyframe to the next; 0: one a second
  // libx264's speed preset; the live stream uses the cheapest, which leaves
  // out CABAC and the deblocking filter that hardware encoders use.
  std::string preset = "ultrafast";
  bool operator==(const EncoderSettings&) const = default;
};

// A 4:2:0 picture with tightly packed planes (chroma (w+1)/2 x (h+1)/2).
struct YuvImage {
  int width = 0, height = 0;
  std::vector<uint8_t> y, u, v;
  void Resize(int w, int h);
  int chromaWidth() const { return (width + 1) / 2; }
  int chromaHeight() const { return (height + 1) / 2; }
};

class H264Encoder {
 public:
  // Null with the reason in `error` when no H.264 encoder can be opened.
  static std::unique_ptr<H264Encoder> Open(const EncoderSettings& settings, std::string* error);
  ~H264Encoder();
  H264Encoder(const H264Encoder&) = delete;
  H264Encoder& operator=(const H264Encoder&) = delete;

  // The access unit for one picture (Annex B byte stream); empty while the
  // encoder holds it back or on failure.
  std::vector<uint8_t> Encode(const YuvImage& picture);
  const EncoderSettings& settings() const { return settings_; }
  const std::string& name() const { return name_; }

 private:
  H264Encoder() = default;
  struct Impl;
  std::unique_ptr<Impl> impl_;
  EncoderSettings settings_;
  std::string name_;
};

}  // namespace orv::sim
