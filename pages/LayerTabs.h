#pragma once
// The row of four layer tabs that the output, picture and crop pages share:
// the labelling rule that follows the program/preview mode, and the buttons
// that show it (orange caption on the selected tab, light grey on the others,
// all on the plain tab face).
#include <array>
#include <functional>

#include <QString>

class QWidget;

namespace orv {

class CGdipButton;
struct PvwModeInfo;

struct LayerTabLook {
  std::array<QString, 4> labels;
  std::array<bool, 4> enabled{};
  int select = -1;  // the tab the rule makes the selected one, -1 none
};

// Mode 1: "PGM"/"PVW" for layers 0 and 1 from their program and preview
// flags (a program layer disabled), "PIP2"/"PIP3" for 2 and 3. Mode 2:
// "PGM1"/"PGM2" or "PVW1"/"PVW2" (layers 0 and 2 are the first pair). Other
// modes: "MAIN", "PIP-1", "PIP-2", "PIP-3". A preview layer 0 or 1 becomes the
// selected tab in mode 1; `selectInDualMode` does the same for a preview
// layer 0 or 2 in mode 2.
LayerTabLook LayerTabsFor(const PvwModeInfo& mode, bool selectInDualMode);

class LayerTabRow {
 public:
  static constexpr int kTabWidth = 70;
  static constexpr int kTabHeight = 26;

  // Four tab buttons with the control ids firstId..firstId+3 from `left`,
  // `top`, side by side; a click selects the tab and calls `onSelect`.
  LayerTabRow(QWidget* page, int firstId, int left, int top, std::function<void(int)> onSelect);

  void Select(int layer);  // highlights `layer`; no call of onSelect
  int Selected() const { return selected_; }
  void Apply(const LayerTabLook& look);
  CGdipButton* Tab(int layer) const { return tabs_[static_cast<std::size_t>(layer)]; }

 private:
  std::array<CGdipButton*, 4> tabs_{};
  std::function<void(int)> onSelect_;
  int selected_ = 0;
};

}  // namespace orv
