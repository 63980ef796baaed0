#pragma once
// Walks the blocks of GIF data to find its frames, without decoding them.
// Every read is checked against the data's size: a block that would run past
// the end, or an unknown block, ends the walk.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include <QByteArray>

namespace orv {

struct GifFrameInfo {
  size_t start = 0;  // first byte: its graphic control extension, else its image
  size_t end = 0;    // one past the image (or plain-text) block's last sub-block
  bool hasControl = false;
  bool plainText = false;  // the frame is a plain-text block, not an image
  int delayHundredths = 0;
  int disposal = 0;  // 0..7
  int left = 0, top = 0, width = 0, height = 0;
};

struct GifLayout {
  int width = 0;  // logical screen
  int height = 0;
  size_t headerSize = 0;  // 13 + the global colour table
  std::vector<GifFrameInfo> frames;
};

// "GIF87a" or "GIF89a" at the start.
bool IsGifData(const uint8_t* data, size_t size);
// The frames of GIF data; nothing when it is no GIF, its header is cut short,
// or no frame is complete.
std::optional<GifLayout> WalkGif(const uint8_t* data, size_t size);
// A GIF of one frame: header and global table, the frame's bytes, the trailer.
QByteArray FrameGif(const uint8_t* data, const GifLayout& layout, const GifFrameInfo& frame);

// How long a frame stays: delays of 0 to 4 hundredths are shown 100 ms, as
// are frames without a delay (no graphic control extension).
int FrameDisplayMs(const GifFrameInfo& frame);

}  // namespace orv
