#include "MainPageCells.h"

#include "CPictureCtrl.h"

namespace orv::mainpage {

namespace {

QString Text(const std::string& s) {
  return QString::fromStdString(s);
}

std::string DefaultPrefix(int layer) {
  return layer == 0 ? "Main : " : "PIP-" + std::to_string(layer) + " : ";
}

}  // namespace

MainPageCells::MainPageCells(CPictureCtrl& canvas,
                             std::function<void(int layer, bool added)> layerPlaced)
    : canvas_(canvas), layerPlaced_(std::move(layerPlaced)) {}

void MainPageCells::Create(const PageRecord& r) {
  canvas_.SetGrid(true);
  canvas_.SetAreaAlignment(true);
  zoom_ = kDefaultZoom;
  SetScales({zoom_, zoom_});
  const Rect first = DefaultOutputArea(0);
  const std::string inputName = r.InputName(0).value_or("");
  for (int i = 0; i < kLayers; ++i) {
    // A new cell's origin is output area 1's corner; the window is relative to it.
    const Rect d = r.layerDefaults[static_cast<std::size_t>(i)].Offset(kPlaneLeft, kPlaneTop);
    CCell* cell = canvas_.AddLayer(d.Width(), d.Height(), d.left, d.top,
                                   Text(DefaultPrefix(i) + inputName), i, 0);
    layers_[static_cast<std::size_t>(i)] = cell;
    canvas_.ShowCell(cell, i == 0);
    canvas_.AttachToArea(cell, first.left, first.top, first.right, first.bottom);
  }
  for (int k = 0; k < kOutputAreas; ++k) {
    const Rect home = DefaultOutputArea(k);
    CCell* area =
        canvas_.AddArea(QString::asprintf("OUTPUT:DVI-%d", k + 1), home.left, home.top, 0);
    area->SetFixed(true);
    area->SetAreaStyle(true);
    canvas_.ShowCell(area, k == 0);
    outputs_[static_cast<std::size_t>(k)] = area;
  }
  auto addProgramPreview = [&](const char* kind, int number) {
    CCell* area =
        canvas_.AddArea(QString::asprintf("%s-%d", kind, number), kPlaneLeft, kPlaneTop, 0);
    area->SetFixed(true);
    area->SetAreaStyle(true);
    canvas_.ShowCell(area, false);
    return area;
  };
  preview1_ = addProgramPreview("PREVIEW", 1);
  preview2_ = addProgramPreview("PREVIEW", 2);
  program1_ = addProgramPreview("PROGRAM", 1);
  program2_ = addProgramPreview("PROGRAM", 2);
  lastMode_ = 0;
  canvas_.PlaceAllFromDevice();
}

void MainPageCells::RebuildLayers(const PageRecord& r) {
  canvas_.RemoveLayers();
  layers_ = {};
  zoom_ = kDefaultZoom;
  for (int i = 0; i < kLayers; ++i) {
    // Relative to a new cell's origin, so that attaching the cell to its
    // area (the arrangement that follows) puts the window where it belongs.
    const LayerRecord& l = r.layers[static_cast<std::size_t>(i)];
    const Rect w = l.window.Offset(kPlaneLeft, kPlaneTop);
    const bool known = r.InputName(l.input).has_value();
    const std::string label = DefaultPrefix(i) + r.InputName(l.input).value_or("");
    CCell* cell =
        canvas_.AddLayer(w.Width(), w.Height(), w.left, w.top, Text(label), i, known ? l.input : 0);
    layers_[static_cast<std::size_t>(i)] = cell;
    if (layerPlaced_) layerPlaced_(i, true);
    RelabelLayer(i, r);
    ShowLayerCell(i, l.onOff != 0);
  }
}

CCell* MainPageCells::Layer(int layer) const {
  return layer >= 0 && layer < kLayers ? layers_[static_cast<std::size_t>(layer)] : nullptr;
}

CCell* MainPageCells::Output(int area) const {
  return area >= 0 && area < kOutputAreas ? outputs_[static_cast<std::size_t>(area)] : nullptr;
}

CCell* MainPageCells::ProgramPreviewArea(Origin which) const {
  switch (which) {
    case Origin::Program1:
      return program1_;
    case Origin::Preview1:
      return preview1_;
    case Origin::Program2:
      return program2_;
    case Origin::Preview2:
      return preview2_;
    default:
      return nullptr;
  }
}

int MainPageCells::LayerIndexOf(const CCell* cell) const {
  for (int i = 0; i < kLayers; ++i) {
    if (cell != nullptr && layers_[static_cast<std::size_t>(i)] == cell) return i;
  }
  return -1;
}

void MainPageCells::SetLabel(int layer, const std::string& prefix, const PageRecord& r) {
  CCell* cell = Layer(layer);
  const auto name = r.InputName(r.layers[static_cast<std::size_t>(layer)].input);
  if (cell == nullptr || !name) return;
  cell->SetName(Text(prefix + *name));
}

void MainPageCells::RelabelLayer(int layer, const PageRecord& r) {
  CCell* cell = Layer(layer);
  if (cell == nullptr) return;
  const std::size_t i = static_cast<std::size_t>(layer);
  const int input = r.layers[i].input;
  const auto name = r.InputName(input);
  if (!name) return;  // a code from outside the table names nothing
  const auto prefix =
      LayerLabelPrefix(r.pvwMode, layer, r.onProgram[i], r.onPreview[i], r.logoUsage);
  if (!prefix) return;
  cell->SetName(Text(prefix->text + (prefix->withName ? *name : std::string())));
  cell->SetInput(input);
}

void MainPageCells::AttachTo(CCell* cell, const CCell* area) {
  if (cell == nullptr || area == nullptr) return;
  const Rect a = area->DeviceRect();
  canvas_.AttachToArea(cell, a.left, a.top, a.right, a.bottom);
}

void MainPageCells::LayoutLayers(const PageRecord& r) {
  const MosaicPlan plan = PlanMosaic(r.mosaicMode, r.pvwMode, r.mosaicByte2);
  for (std::size_t k = 0; k < kOutputAreas; ++k) canvas_.ShowCell(outputs_[k], plan.areaShown[k]);
  for (std::size_t i = 0; i < kLayers; ++i) {
    if (plan.layerArea[i] >= 0) AttachTo(layers_[i], Output(plan.layerArea[i]));
  }
  canvas_.PlaceAllFromDevice();
}

void MainPageCells::PlaceOutputAreas(int part, const PageRecord& r) {
  if (r.hreso <= 0 || r.vreso <= 0) return;
  const auto placed = mainpage::PlaceOutputAreas(part, outputs_[0]->DeviceRect(), r.hreso, r.vreso);
  if (placed.empty()) return;
  for (const PlacedArea& p : placed) canvas_.PlaceFromDevice(Output(p.area), p.device);
  LayoutLayers(r);
}

canvas::Point MainPageCells::OriginOf(Origin origin, const CCell* cell) const {
  if (origin == Origin::OwnArea) return cell->Origin();
  if (const CCell* area = ProgramPreviewArea(origin)) {
    const Rect d = area->DeviceRect();
    return {d.left, d.top};
  }
  return {0, 0};
}

void MainPageCells::PlaceLayer(int layer, const PageRecord& r) {
  CCell* cell = Layer(layer);
  if (cell == nullptr) return;
  const std::size_t i = static_cast<std::size_t>(layer);
  std::optional<Rect> window = r.layers[i].window;
  if (LayerShowsLogo(layer, r.pvwMode, r.logoUsage)) window = r.LogoWindow();
  const Origin origin = LayerOrigin(r.pvwMode, layer, r.onProgram[i], r.onPreview[i], r.logoUsage);
  if (window && origin != Origin::NotPlaced) {
    const canvas::Point o = OriginOf(origin, cell);
    canvas_.PlaceFromDevice(cell, window->Offset(o.x, o.y));
  }
  if (layerPlaced_) layerPlaced_(layer, false);
}

void MainPageCells::SetScales(canvas::ScalePair pair) {
  canvas_.SetScalePairs(pair, pair);
  canvas_.SetCurrentScale(pair);
}

bool MainPageCells::PlaceProgramPreviewAreas(const PageRecord& r, QSize page) {
  const Rect area = preview1_->DeviceRect();
  const auto plan = PlanProgramPreview(r.pvwMode, page.width(), page.height(), r.hreso, r.vreso,
                                       area.Width(), area.Height());
  if (!plan || !plan->scale.IsValid()) return false;
  SetScales(plan->scale);
  canvas_.PlaceFromDevice(preview1_, plan->preview1);
  canvas_.PlaceFromDevice(program1_, plan->program1);
  if (r.pvwMode == 2) {
    canvas_.PlaceFromDevice(preview2_, plan->preview2);
    canvas_.PlaceFromDevice(program2_, plan->program2);
  }
  return true;
}

void MainPageCells::ArrangeProgramPreview(const PageRecord& r, QSize page) {
  if (r.pvwMode < 0 || r.pvwMode > 2) return;
  if (r.pvwMode != 0 && !PlaceProgramPreviewAreas(r, page)) return;
  canvas_.SetHalves(r.pvwMode != 0);
  if (r.pvwMode != 0) {
    for (int i = 0; i < kLayers; ++i) {
      const std::size_t n = static_cast<std::size_t>(i);
      const auto at = ProgramPreviewAttachment(r.pvwMode, i, r.onProgram[n], r.onPreview[n]);
      if (!at) continue;
      AttachTo(layers_[n], ProgramPreviewArea(at->area));
      layers_[n]->SetFixed(at->fixed);
      // Mode 1 names only Main and PIP-1 by program or preview.
      const bool named = r.pvwMode == 2 || (i < 2 && (r.onProgram[n] || r.onPreview[n]));
      const auto prefix = LayerLabelPrefix(r.pvwMode, i, r.onProgram[n], r.onPreview[n], 0);
      if (named && prefix) SetLabel(i, prefix->text, r);
    }
    if (r.logoUsage == 1) layers_[3]->SetFixed(true);
    canvas_.ShowCell(preview1_, true);
    canvas_.ShowCell(program1_, true);
    canvas_.ShowCell(preview2_, r.pvwMode == 2);
    canvas_.ShowCell(program2_, r.pvwMode == 2);
    for (CCell* area : outputs_) canvas_.ShowCell(area, false);
  } else {
    SetScales({static_cast<float>(zoom_), static_cast<float>(zoom_)});
    if (lastMode_ != 0) {
      for (CCell* cell : layers_) cell->SetFixed(false);
    }
    if (r.logoUsage == 1) layers_[3]->SetFixed(true);
    for (CCell* area : {preview1_, preview2_, program1_, program2_}) canvas_.ShowCell(area, false);
    SetLabel(0, "Main : ", r);
    LayoutLayers(r);
  }
  lastMode_ = r.pvwMode;
  canvas_.PlaceAllFromDevice();
}

void MainPageCells::OutputResolutionChanged(const PageRecord& r, QSize page) {
  if (r.hreso <= 0 || r.vreso <= 0) return;
  for (CCell* area : {preview1_, preview2_, program1_, program2_}) {
    const Rect d = area->DeviceRect();
    canvas_.PlaceFromDevice(area, {d.left, d.top, d.left + r.hreso, d.top + r.vreso});
  }
  if (r.pvwMode == 0) {
    SetScales({static_cast<float>(zoom_), static_cast<float>(zoom_)});
  } else {
    PlaceProgramPreviewAreas(r, page);
  }
  if (page.isEmpty()) return;
  for (int k = 0; k < kOutputAreas; ++k) {
    CCell* area = Output(k);
    canvas_.PlaceFromDevice(area, RescaleOutputArea(k, area->DeviceRect(), r.hreso, r.vreso));
  }
  if (r.pvwMode == 0) {
    LayoutLayers(r);
    return;
  }
  for (int i = 0; i < kLayers; ++i) {
    const std::size_t n = static_cast<std::size_t>(i);
    if (const auto at = ProgramPreviewAttachment(r.pvwMode, i, r.onProgram[n], r.onPreview[n]))
      AttachTo(layers_[n], ProgramPreviewArea(at->area));
  }
  canvas_.PlaceAllFromDevice();
}

void MainPageCells::LockOutputAreas(bool locked, bool applyLayers, const PageRecord& r) {
  for (int k = 0; k < kOutputAreas; ++k) {
    outputs_[static_cast<std::size_t>(k)]->SetFixed(locked);
    outputs_[static_cast<std::size_t>(k)]->SetAreaStyle(locked);
    if (applyLayers) ShowLayerCell(k, locked && r.layers[static_cast<std::size_t>(k)].onOff != 0);
  }
  canvas_.update();
}

void MainPageCells::UpdateLogoLayer(int w, const PageRecord& r) {
  CCell* cell = layers_[3];
  if (w == 1) {
    if (r.logoUsage == 1) {
      cell->SetName(QStringLiteral("LOGO"));
      cell->SetFixed(true);
      ShowLayerCell(3, r.logoOnOff != 0);
    } else if (r.logoUsage == 0) {
      if (r.pvwMode == 2) return;
      SetLabel(3, DefaultPrefix(3), r);
      cell->SetAreaStyle(false);
      cell->SetFixed(r.pvwMode != 0 && r.onProgram[3]);
      ShowLayerCell(3, r.layers[3].onOff != 0);
    }
  }
  PlaceLayer(3, r);
  canvas_.update();
}

void MainPageCells::ShowLayerCell(int layer, bool show) {
  if (CCell* cell = Layer(layer)) canvas_.ShowCell(cell, show);
  canvas_.update();
}

bool MainPageCells::ShownByRecord(int layer, const PageRecord& r) const {
  if (layer == 3 && r.logoUsage == 1) return r.logoOnOff != 0;
  return r.layers[static_cast<std::size_t>(layer)].onOff != 0;
}

void MainPageCells::ShowLayersByRecord(const PageRecord& r) {
  const bool outputsLocked = outputs_[0]->IsFixed();
  for (int i = 0; i < kLayers; ++i) ShowLayerCell(i, outputsLocked && ShownByRecord(i, r));
}

void MainPageCells::LockLayerCells(bool locked) {
  for (CCell* cell : layers_) {
    if (cell != nullptr) cell->SetFixed(locked);
  }
}

void MainPageCells::ZoomStep(int wheelDelta, const PageRecord& r) {
  zoom_ = NextZoom(zoom_, wheelDelta);
  SetScales({static_cast<float>(zoom_), static_cast<float>(zoom_)});
  LayoutLayers(r);
}

}  // namespace orv::mainpage
