#include "H264Encoder.h"

#include <array>
#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/log.h>
#include <libavutil/opt.h>
}

namespace orv::sim {

struct H264Encoder::Impl {
  AVCodecContext* codec = nullptr;
  AVFrame* frame = nullptr;
  AVPacket* packet = nullptr;
  int64_t pts = 0;
  ~Impl() {
    avcodec_free_context(&codec);
    av_frame_free(&frame);
    av_packet_free(&packet);
  }
};

void YuvImage::Resize(int w, int h) {
  width = w;
  height = h;
  y.assign(static_cast<std::size_t>(w) * h, 16);
  u.assign(static_cast<std::size_t>(chromaWidth()) * chromaHeight(), 128);
  v.assign(u.size(), 128);
}

namespace {

const AVCodec* FindH264Encoder() {
  for (const char* name : {"libx264", "libopenh264", "h264_vaapi", "h264_v4l2m2m"}) {
    if (const AVCodec* c = avcodec_find_encoder_by_name(name)) return c;
  }
  return avcodec_find_encoder(AV_CODEC_ID_H264);
}

}  // namespace

std::unique_ptr<H264Encoder> H264Encoder::Open(const EncoderSettings& settings,
                                               std::string* error) {
  // Corrupt input is counted here; the library's own messages would only flood the log.
  av_log_set_level(AV_LOG_FATAL);
  const AVCodec* h264 = FindH264Encoder();
  if (!h264) {
    if (error) *error = "this libavcodec has no H.264 encoder";
    return nullptr;
  }
  std::unique_ptr<H264Encoder> encoder(new H264Encoder);
  encoder->settings_ = settings;
  encoder->name_ = h264->name;
  encoder->impl_ = std::make_unique<Impl>();
  Impl& s = *encoder->impl_;
  s.codec = avcodec_alloc_context3(h264);
  s.frame = av_frame_alloc();
  s.packet = av_packet_alloc();
  if (!s.codec || !s.frame || !s.packet) {
    if (error) *error = "out of memory";
    return nullptr;
  }
  s.codec->width = settings.width;
  s.codec->height = settings.height;
  s.codec->pix_fmt = AV_PIX_FMT_YUV420P;
  s.codec->time_base = AVRational{1, settings.fps};
  s.codec->framerate = AVRational{settings.fps, 1};
  s.codec->bit_rate = static_cast<int64_t>(settings.kbps) * 1000;
  s.codec->gop_size = settings.keyframeFrames > 0 ? settings.keyframeFrames : settings.fps;
  s.codec->max_b_frames = 0;
  s.codec->thread_count = 1;
  s.codec->flags |= AV_CODEC_FLAG_LOW_DELAY;
  if (s.codec->priv_data) {
    av_opt_set(s.codec->priv_data, "preset", settings.preset.c_str(), 0);
    av_opt_set(s.codec->priv_data, "tune", "zerolatency", 0);
  }
  const int opened = avcodec_open2(s.codec, h264, nullptr);
  if (opened < 0) {
    std::array<char, 128> text{};
    av_strerror(opened, text.data(), text.size());
    if (error) *error = std::string("cannot open ") + h264->name + ": " + text.data();
    return nullptr;
  }
  s.frame->format = AV_PIX_FMT_YUV420P;
  s.frame->width = settings.width;
  s.frame->height = settings.height;
  if (av_frame_get_buffer(s.frame, 0) < 0) {
    if (error) *error = "out of memory";
    return nullptr;
  }
  return encoder;
}

H264Encoder::~H264Encoder() = default;

std::vector<uint8_t> H264Encoder::Encode(const YuvImage& picture) {
  Impl& s = *impl_;
  if (picture.width != settings_.width || picture.height != settings_.height) return {};
  if (av_frame_make_writable(s.frame) < 0) return {};
  const int planeWidth[3] = {picture.width, picture.chromaWidth(), picture.chromaWidth()};
  const int planeHeight[3] = {picture.height, picture.chromaHeight(), picture.chromaHeight()};
  const uint8_t* planes[3] = {picture.y.data(), picture.u.data(), picture.v.data()};
  for (int p = 0; p < 3; ++p) {
    for (int row = 0; row < planeHeight[p]; ++row) {
      std::memcpy(s.frame->data[p] + static_cast<std::ptrdiff_t>(row) * s.frame->linesize[p],
                  planes[p] + static_cast<std::ptrdiff_t>(row) * planeWidth[p],
                  static_cast<std::size_t>(planeWidth[p]));
    }
  }
  s.frame->pts = s.pts++;
  std::vector<uint8_t> unit;
  if (avcodec_send_frame(s.codec, s.frame) < 0) return unit;
  while (avcodec_receive_packet(s.codec, s.packet) == 0) {
    unit.insert(unit.end(), s.packet->data, s.packet->data + s.packet->size);
    av_packet_unref(s.packet);
  }
  return unit;
}

}  // namespace orv::sim
