#pragma once
// The edge feathering dialog ("Feathering"): where the pictures of two
// spliced devices meet in the mosaic layouts 2 and 3, a switch and, for two
// layers, the edge shape and its level. Sends SET_FEATHER; opened and closed
// from the misc page through the main window.
#include <array>

#include "MSettingsPage.h"

namespace orv {

class CDropButton;
class CGdipButton;
class CSxGroupBox;
struct DeviceState;

class Orv_FeatherDlg : public MSettingsPage {
  Q_OBJECT
 public:
  static constexpr int kTemplateId = 184;
  // Drop lists: group-1 shape, group-2 shape, group-1 level, group-2 level.
  static constexpr int kShape1List = 0xFF78;
  static constexpr int kShape2List = 0xFF79;
  static constexpr int kLevel1List = 0xFF7A;
  static constexpr int kLevel2List = 0xFF7B;
  static constexpr int kShapes = 5;
  static constexpr int kLevels = 4;
  // UM_PAGE_REQUEST sub-code: 1 disables the main window's layer controls, 0 enables them.
  static constexpr intptr_t kReqLayerControls = 0x5BF;

  enum ControlId : int {
    kSwitch = 1950,
    kGroup1 = 1951,
    kGroup2 = 1952,
    kShape1Label = 1953,
    kShape2Label = 1954,
    kLevel1Label = 1955,
    kLevel2Label = 1956,
  };

  explicit Orv_FeatherDlg(QWidget* parent);

  void RefreshFromDevice() override;
  void ReloadTexts() override;
  intptr_t OnMessage(const Message& message) override;

  // Feathering may be switched on only in mosaic layout 2 (layer 2 or 3 on)
  // or 3 (layer 1 or 3 on), with both keyers and every caption off, and
  // the logo unused or at its plain position.
  static bool SwitchOnAllowed(const DeviceState& state);
  // The layer of group 1 in a mosaic layout: 2 in layout 2, 1 in layout 3, else -1.
  static int Group1LayerFor(int mosaicMode);

  int Group1Layer() const { return group1Layer_; }
  CGdipButton* Switch() const { return switch_; }
  CDropButton* List(int listId) const;
  QString Group1Caption() const;

 protected:
  bool OnInitDialog() override;

 private:
  void BuildControls();
  void FillLists();
  void EnableLists(bool on);
  void SwitchPressed();
  void ListChosen(int listId, int index);
  void PostLayerControls(bool disable);

  int group1Layer_ = 2;
  CGdipButton* switch_ = nullptr;
  CSxGroupBox* group1_ = nullptr;
  CSxGroupBox* group2_ = nullptr;
  std::array<CDropButton*, 4> lists_{};  // in list id order 0xFF78..0xFF7B
};

}  // namespace orv
