#pragma once
// The main page's live preview: the decoder contexts and layer cell video of
// VideoPreview, and the floating video window, a hidden pop-up owned by the
// page until the main window's preview button shows it; its views exist
// only while it is up.
#include <memory>

#include "MainPagePreview.h"

class QWidget;

namespace orv {
namespace preview {
class MShowVideoDlg;
class VideoPreview;
}  // namespace preview

namespace mainpage {

class LivePreview : public MainPagePreview {
 public:
  // `page` receives UM_PREVIEW_RESET when the graphics library lost its
  // renderers, and parents the video window.
  explicit LivePreview(QWidget* page);
  ~LivePreview() override;

  void StartContexts() override;
  void StopContexts() override;
  CPictureCtrl::CellVideoFactory CellVideoFactory() override;
  void RegisterCell(CCell* cell) override;
  void CropLayer(int layer) override;
  void SetPreviewSize(int code) override;
  void RecreateRenderers() override;
  void ToggleVideoWindow() override;
  void FeedPacket(int channel, std::span<const uint8_t> bytes) override;

  preview::VideoPreview& Preview() { return *preview_; }
  preview::MShowVideoDlg* VideoWindow() const { return window_.get(); }

 private:
  QWidget* page_;
  std::unique_ptr<preview::VideoPreview> preview_;
  std::unique_ptr<preview::MShowVideoDlg> window_;
  bool windowPlaced_ = false;
};

}  // namespace mainpage
}  // namespace orv
