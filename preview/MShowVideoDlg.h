#pragma once
// The floating video window: four views of the preview picture, one quadrant
// each, under the captions "DVI-1:" .. "DVI-4:". It has no system frame; the
// edges, corners and the title band move and size it.
#include <array>
#include <functional>
#include <memory>

#include "CellVideoWidget.h"
#include "DecoderContext.h"
#include "MBaseDialog.h"
#include "SdlTarget.h"
#include "VideoWindowLayout.h"

class QLabel;

namespace orv::preview {

// One view: a native child window SDL draws into, showing one quadrant.
class ShowStatic {
 public:
  ShowStatic(QWidget* parent, int index);
  ~ShowStatic();
  void Attach(const std::shared_ptr<DecoderContext>& context, FrameSize frame,
              DrawingSurface surface);
  void Detach();
  void Place(const Box& box);
  SdlTarget& target() { return target_; }
  QWidget* window() const { return window_; }

 private:
  QWidget* parent_;
  const int index_;
  QWidget* window_ = nullptr;
  SdlTarget target_;
  std::weak_ptr<DecoderContext> context_;
  Box box_;
};

class MShowVideoDlg : public MBaseDialog {
  Q_OBJECT
 public:
  static constexpr int kTemplateId = 1559;
  static constexpr int kFirstCaptionId = 1560;

  explicit MShowVideoDlg(QWidget* parent);
  ~MShowVideoDlg() override;

  // A started context: every view is rebuilt and registered; none: the views go.
  void AttachContexts(const std::shared_ptr<DecoderContext>& context, FrameSize frame,
                      DrawingSurface surface);
  ShowStatic& View(int i) { return *views_[static_cast<std::size_t>(i)]; }
  // Called with true when the window comes up and false when it goes, so
  // that its views draw only while they can be seen.
  void SetShownHook(std::function<void(bool)> hook) { shownHook_ = std::move(hook); }

 protected:
  bool OnInitDialog() override;
  // Escape closes the window as its close button does.
  bool PreTranslateKey(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void Layout();

  std::array<std::unique_ptr<ShowStatic>, 4> views_;
  std::array<QLabel*, 4> captions_{};
  std::function<void(bool)> shownHook_;
};

}  // namespace orv::preview
