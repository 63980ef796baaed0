#pragma once
// What the render thread draws into: a layer cell on the canvas or one view
// of the video window. The render thread calls Draw with the context's target
// table locked, so a target that removes itself from the table (under the
// same lock) is never drawn into after its removal returns.
#include <chrono>
#include <cstdint>
#include <vector>

namespace orv::preview {

// One decoded 4:2:0 picture. Chroma planes have (height + 1) / 2 rows.
struct FramePicture {
  std::vector<uint8_t> y, u, v;
  int width = 0;
  int height = 0;  // visible rows
  int lumaStride = 0;
  int chromaStride = 0;
  // When the packet that completed the picture was fed (latency figures).
  std::chrono::steady_clock::time_point fedAt;
};

enum class TargetKind { Cell = 0, View = 1 };

class PreviewTarget {
 public:
  virtual ~PreviewTarget() = default;
  virtual void Draw(const FramePicture& picture) = 0;
};

}  // namespace orv::preview
