#pragma once
// The decoder library's three calls, over libavcodec's H.264 decoder. The
// stream may arrive cut anywhere (the wire carries at most 4 KB a frame), so
// the adapter finds the access units itself; one call hands over bytes, then
// the caller calls again without bytes until the result says there is no
// more output. Decoding is set for low delay: no reordering wait, one thread.
#include <cstdint>

namespace orv::preview {

// Seven values: a tag, 0, width and height in 16-pixel blocks (rounded up),
// 16, 0, 0.
struct DecoderCreateRecord {
  int32_t tag = 0;
  int32_t reserved1 = 0;
  int32_t widthBlocks = 0;
  int32_t heightBlocks = 0;
  int32_t blockSize = 16;
  int32_t reserved5 = 0;
  int32_t reserved6 = 0;
};

DecoderCreateRecord MakeCreateRecord(int width, int height);

// The last decoded picture, valid until the next call on the same handle.
// Planes are 4:2:0; the visible height is height - hiddenRows.
struct DecodedPicture {
  const uint8_t* y = nullptr;
  const uint8_t* u = nullptr;
  const uint8_t* v = nullptr;
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t lumaStride = 0;
  uint32_t chromaStride = 0;
  uint32_t unused[3]{};
  uint32_t hiddenRows = 0;
};

struct DecoderCounters {
  uint64_t bytesIn = 0;
  uint64_t accessUnits = 0;       // handed to the decoder
  uint64_t pictures = 0;          // handed back
  uint64_t rejectedUnits = 0;     // the decoder refused them (corrupt data)
  uint64_t rejectedPictures = 0;  // not 4:2:0, or a size outside the limits
  uint64_t parserResets = 0;      // bytes piled up without an access unit end
};

using DecoderHandle = struct DecoderState*;

constexpr int kDecodePicture = 0;    // a picture is in the record; call again
constexpr int kDecodeNeedData = -1;  // everything handed over is used up
constexpr int kDecodeFlushed = -2;   // end of stream: nothing more will come

// 0 when the decoder cannot be created.
DecoderHandle Hi264DecCreate(const DecoderCreateRecord* record);
// `endOfStream` = 1 drains the decoder (pass it with no bytes).
int Hi264DecFrame(DecoderHandle handle, const uint8_t* data, uint32_t length, uint32_t reserved1,
                  uint32_t reserved2, DecodedPicture* picture, uint32_t endOfStream);
void Hi264DecDestroy(DecoderHandle handle);
DecoderCounters Hi264DecCounters(DecoderHandle handle);

// Pictures larger than this are refused (a hostile stream could announce any size).
constexpr int kMaxPictureWidth = 4096;
constexpr int kMaxPictureHeight = 2304;

}  // namespace orv::preview
