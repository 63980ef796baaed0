#include "H264Decoder.h"

#include <algorithm>
#include <vector>

#include <algorithm>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/log.h>
#include <libavutil/pixfmt.h>
}

namespace orv::preview {

// Bytes the parser may hold without finding the end of an access unit before
// it is started afresh; a real access unit at the largest picture is far smaller.
constexpr int64_t kMaxPendingBytes = 8 << 20;

struct DecoderState {
  AVCodecContext* codec = nullptr;
  AVCodecParserContext* parser = nullptr;
  AVPacket* packet = nullptr;
  AVFrame* frame = nullptr;
  std::vector<uint8_t>
      inputCopy;  // the caller's bytes plus the padding libavcodec reads past the end
  const uint8_t* input = nullptr;
  int inputLeft = 0;
  int64_t pendingBytes = 0;
  bool draining = false;
  DecoderCounters counters;
};

namespace {

bool OpenParser(DecoderState& s) {
  if (s.parser) av_parser_close(s.parser);
  s.parser = av_parser_init(AV_CODEC_ID_H264);
  s.pendingBytes = 0;
  return s.parser != nullptr;
}

bool Usable(const AVFrame& f) {
  const bool planar420 = f.format == AV_PIX_FMT_YUV420P || f.format == AV_PIX_FMT_YUVJ420P;
  return planar420 && f.width > 0 && f.height > 0 && f.width <= kMaxPictureWidth &&
         f.height <= kMaxPictureHeight && f.linesize[0] > 0 && f.linesize[1] > 0 &&
         f.linesize[1] == f.linesize[2];
}

void Fill(const AVFrame& f, DecodedPicture& picture) {
  picture = DecodedPicture{};
  picture.y = f.data[0];
  picture.u = f.data[1];
  picture.v = f.data[2];
  picture.width = static_cast<uint32_t>(f.width);
  picture.height = static_cast<uint32_t>(f.height);
  picture.lumaStride = static_cast<uint32_t>(f.linesize[0]);
  picture.chromaStride = static_cast<uint32_t>(f.linesize[1]);
}

// A picture waiting in the decoder, if any.
bool TakePicture(DecoderState& s, DecodedPicture& picture) {
  while (avcodec_receive_frame(s.codec, s.frame) == 0) {
    if (Usable(*s.frame)) {
      Fill(*s.frame, picture);
      ++s.counters.pictures;
      return true;
    }
    ++s.counters.rejectedPictures;
  }
  return false;
}

void Submit(DecoderState& s, AVPacket* packet) {
  if (packet) ++s.counters.accessUnits;
  const int sent = avcodec_send_packet(s.codec, packet);
  if (sent < 0 && sent != AVERROR_EOF && packet) ++s.counters.rejectedUnits;
}

}  // namespace

DecoderCreateRecord MakeCreateRecord(int width, int height) {
  DecoderCreateRecord r;
  r.widthBlocks = (width + 15) / 16;
  r.heightBlocks = (height + 15) / 16;
  return r;
}

DecoderHandle Hi264DecCreate(const DecoderCreateRecord* record) {
  if (!record) return nullptr;
  // Corrupt input is counted here; the library's own messages would only flood the log.
  av_log_set_level(AV_LOG_FATAL);
  const AVCodec* h264 = avcodec_find_decoder(AV_CODEC_ID_H264);
  if (!h264) return nullptr;
  auto* s = new DecoderState;
  s->codec = avcodec_alloc_context3(h264);
  s->packet = av_packet_alloc();
  s->frame = av_frame_alloc();
  bool ok = s->codec && s->packet && s->frame && OpenParser(*s);
  if (ok) {
    s->codec->flags |= AV_CODEC_FLAG_LOW_DELAY;
    s->codec->thread_count = 1;
    s->codec->max_pixels = static_cast<int64_t>(kMaxPictureWidth) * kMaxPictureHeight;
    s->codec->err_recognition = 0;
    ok = avcodec_open2(s->codec, h264, nullptr) == 0;
  }
  if (!ok) {
    Hi264DecDestroy(s);
    return nullptr;
  }
  return s;
}

int Hi264DecFrame(DecoderHandle s, const uint8_t* data, uint32_t length, uint32_t, uint32_t,
                  DecodedPicture* picture, uint32_t endOfStream) {
  if (!s || !picture) return kDecodeFlushed;
  if (data && length > 0) {
    // The parser and decoder read up to AV_INPUT_BUFFER_PADDING_SIZE bytes
    // beyond the data, so they work on a padded copy, never on the caller's buffer.
    const uint32_t taken = std::min<uint32_t>(length, 64u << 20);
    s->inputCopy.assign(data, data + taken);
    s->inputCopy.resize(taken + AV_INPUT_BUFFER_PADDING_SIZE, 0);
    s->input = s->inputCopy.data();
    s->inputLeft = static_cast<int>(taken);
    s->counters.bytesIn += length;
  }
  for (;;) {
    if (TakePicture(*s, *picture)) return kDecodePicture;
    if (s->inputLeft > 0) {
      uint8_t* unit = nullptr;
      int unitSize = 0;
      const int used = av_parser_parse2(s->parser, s->codec, &unit, &unitSize, s->input,
                                        s->inputLeft, AV_NOPTS_VALUE, AV_NOPTS_VALUE, 0);
      if (used < 0) {
        s->inputLeft = 0;
        OpenParser(*s);
        ++s->counters.parserResets;
        continue;
      }
      s->input += used;
      s->inputLeft -= used;
      s->pendingBytes += used;
      if (unitSize > 0) {
        s->pendingBytes = 0;
        s->packet->data = unit;
        s->packet->size = unitSize;
        Submit(*s, s->packet);
      } else if (s->pendingBytes > kMaxPendingBytes) {
        OpenParser(*s);
        ++s->counters.parserResets;
      }
      continue;
    }
    if (endOfStream && !s->draining) {
      // The parser keeps the last access unit until it sees the next; hand it over.
      uint8_t* unit = nullptr;
      int unitSize = 0;
      av_parser_parse2(s->parser, s->codec, &unit, &unitSize, nullptr, 0, AV_NOPTS_VALUE,
                       AV_NOPTS_VALUE, 0);
      if (unitSize > 0) {
        s->packet->data = unit;
        s->packet->size = unitSize;
        Submit(*s, s->packet);
      }
      Submit(*s, nullptr);
      s->draining = true;
      continue;
    }
    return s->draining ? kDecodeFlushed : kDecodeNeedData;
  }
}

void Hi264DecDestroy(DecoderHandle s) {
  if (!s) return;
  if (s->parser) av_parser_close(s->parser);
  avcodec_free_context(&s->codec);
  av_packet_free(&s->packet);
  av_frame_free(&s->frame);
  delete s;
}

DecoderCounters Hi264DecCounters(DecoderHandle s) {
  return s ? s->counters : DecoderCounters{};
}

}  // namespace orv::preview
