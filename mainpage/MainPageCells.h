#pragma once
// The main page's cells on the canvas and the operations that arrange them
// from the device state record: labels, mosaic layout, output area placement,
// layer placement, the program/preview arrangement, the resolution rescale,
// the output lock, the logo layer and the zoom. The page owns one and hands
// it a fresh copy of the record for every operation.
#include <array>
#include <functional>

#include <QSize>

#include "MainPageLayout.h"
#include "MainPageRecord.h"

namespace orv {

class CCell;
class CPictureCtrl;

namespace mainpage {

class MainPageCells {
 public:
  // `layerPlaced` runs after every placement of a layer and for every new
  // layer cell (the preview recomputes the layer's crop there).
  MainPageCells(CPictureCtrl& canvas, std::function<void(int layer, bool added)> layerPlaced);

  // The four layer cells from LAYER_DEFAULT on output area 1, the four
  // output areas and the four program/preview areas; only area 1 and the
  // Main layer shown.
  void Create(const PageRecord& r);
  // The layer cells made again from CHNLDATA (after the preview switched).
  void RebuildLayers(const PageRecord& r);

  CCell* Layer(int layer) const;
  CCell* Output(int area) const;  // 0..3
  CCell* ProgramPreviewArea(Origin which) const;
  int LayerIndexOf(const CCell* cell) const;  // -1 for none of them
  double Zoom() const { return zoom_; }
  int LastAppliedMode() const { return lastMode_; }

  void RelabelLayer(int layer, const PageRecord& r);
  void LayoutLayers(const PageRecord& r);
  void PlaceOutputAreas(int part, const PageRecord& r);
  void PlaceLayer(int layer, const PageRecord& r);
  // UM_PVW_MODE_CHANGED; nothing while the page is too small for the
  // program/preview scales (the last arrangement stays).
  void ArrangeProgramPreview(const PageRecord& r, QSize page);
  void OutputResolutionChanged(const PageRecord& r, QSize page);
  void LockOutputAreas(bool locked, bool applyLayers, const PageRecord& r);
  void UpdateLogoLayer(int w, const PageRecord& r);
  void ShowLayerCell(int layer, bool show);
  // Every layer shown by its on/off state (PIP-3 by the logo's while it is the logo).
  void ShowLayersByRecord(const PageRecord& r);
  // The test pattern holds the layers where they are.
  void LockLayerCells(bool locked);
  // One Ctrl+wheel step in PVWMODE 0.
  void ZoomStep(int wheelDelta, const PageRecord& r);

 private:
  bool PlaceProgramPreviewAreas(const PageRecord& r, QSize page);
  void AttachTo(CCell* cell, const CCell* area);
  void SetLabel(int layer, const std::string& prefix, const PageRecord& r);
  void SetScales(canvas::ScalePair pair);
  canvas::Point OriginOf(Origin origin, const CCell* cell) const;
  bool ShownByRecord(int layer, const PageRecord& r) const;

  CPictureCtrl& canvas_;
  std::function<void(int, bool)> layerPlaced_;
  std::array<CCell*, kLayers> layers_{};
  std::array<CCell*, kOutputAreas> outputs_{};
  CCell* preview1_ = nullptr;
  CCell* preview2_ = nullptr;
  CCell* program1_ = nullptr;
  CCell* program2_ = nullptr;
  double zoom_ = kDefaultZoom;
  int lastMode_ = 0;
};

}  // namespace mainpage
}  // namespace orv
