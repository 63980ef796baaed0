// The pages' arithmetic without widgets: crop clamps and preview, the layer
// tab labels, and when feathering may be switched on.
#include <gtest/gtest.h>

#include "CropRules.h"
#include "DeviceState.h"
#include "LayerTabs.h"
#include "Orv_FeatherDlg.h"

namespace orv {
namespace {

TEST(CropRules, CommittedEditIsLoweredIntoTheSource) {
  struct Case {
    CropEdit edited;
    CropWindow in;
    int width, height;
    CropWindow want;
  };
  const Case cases[] = {
      {CropEdit::HStart, {1800, 0, 400, 300}, 1920, 1080, {1520, 0, 400, 300}},
      {CropEdit::VStart, {0, 900, 400, 300}, 1920, 1080, {0, 780, 400, 300}},
      {CropEdit::Width, {1800, 0, 400, 300}, 1920, 1080, {1800, 0, 120, 300}},
      {CropEdit::Height, {0, 1000, 400, 300}, 1920, 1080, {0, 1000, 400, 80}},
      {CropEdit::Width, {100, 0, 800, 600}, 1920, 1080, {100, 0, 800, 600}},  // fits: kept
      // Width lowered below the smallest crop: the start gives way instead.
      {CropEdit::Width, {1910, 0, 400, 300}, 1920, 1080, {1888, 0, 32, 300}},
      // No signal: a zero source clamps nothing and divides nothing.
      {CropEdit::HStart, {5000, 40, 400, 300}, 0, 0, {5000, 40, 400, 300}},
      // A source narrower than the smallest crop.
      {CropEdit::Width, {10, 0, 64, 300}, 20, 1080, {0, 0, 32, 300}},
  };
  for (const Case& c : cases) {
    const CropWindow got = ClampCropEdit(c.in, c.edited, c.width, c.height);
    EXPECT_EQ((std::array<int, 4>{got.x, got.y, got.w, got.h}),
              (std::array<int, 4>{c.want.x, c.want.y, c.want.w, c.want.h}))
        << static_cast<int>(c.edited) << " " << c.in.x << "," << c.in.y << " " << c.in.w << "x"
        << c.in.h;
  }
}

TEST(CropRules, PreviewScalesTheSourceIntoTheArea) {
  const QRect area(120, 326, 130, 100);
  struct Case {
    CropWindow crop;
    int width, height;
    QRect want;
  };
  const Case cases[] = {
      {{0, 0, 1920, 1080}, 1920, 1080, area},                         // the whole source
      {{960, 540, 960, 540}, 1920, 1080, QRect(185, 376, 65, 50)},    // a quarter
      {{0, 0, 32, 32}, 0, 0, QRect(120, 326, 32, 32)},                // no signal: scale 1
      {{100, 0, 4000, 4000}, 0, 0, QRect(220, 326, 30, 100)},         // cut to the area
      {{15, 11, 30, 30}, 130 * 15, 100 * 11, QRect(121, 327, 2, 3)},  // rounded half up
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CropPreviewRect(area, c.crop, c.width, c.height), c.want)
        << c.crop.x << "," << c.crop.y << " " << c.crop.w << "x" << c.crop.h;
  }
}

TEST(LayerTabs, LabelsFollowTheProgramPreviewMode) {
  struct Case {
    uint8_t mode;
    std::array<uint8_t, 4> pgm, pvw;
    bool dualSelects;
    std::array<const char*, 4> labels;
    std::array<bool, 4> enabled;
    int select;
  };
  const Case cases[] = {
      {0, {1, 0, 0, 0}, {0, 1, 0, 0}, false, {"MAIN", "PIP-1", "PIP-2", "PIP-3"}, {1, 1, 1, 1}, -1},
      {1, {1, 0, 0, 0}, {0, 1, 0, 0}, false, {"PGM", "PVW", "PIP2", "PIP3"}, {0, 1, 1, 1}, 1},
      {2, {1, 1, 0, 0}, {0, 0, 1, 1}, false, {"PGM1", "PGM2", "PVW1", "PVW2"}, {0, 0, 1, 1}, -1},
      {2, {1, 1, 0, 0}, {0, 0, 1, 1}, true, {"PGM1", "PGM2", "PVW1", "PVW2"}, {0, 0, 1, 1}, 2},
  };
  for (const Case& c : cases) {
    PvwModeInfo mode{};
    mode.PVWMODE = c.mode;
    for (int i = 0; i < 4; ++i) {
      mode.PGMSTATE[i] = c.pgm[i];
      mode.PVWSTATE[i] = c.pvw[i];
    }
    const LayerTabLook look = LayerTabsFor(mode, c.dualSelects);
    for (std::size_t i = 0; i < 4; ++i) {
      EXPECT_EQ(look.labels[i], QString::fromLatin1(c.labels[i])) << int{c.mode} << " tab " << i;
      EXPECT_EQ(look.enabled[i], c.enabled[i]) << int{c.mode} << " tab " << i;
    }
    EXPECT_EQ(look.select, c.select) << int{c.mode};
  }
}

TEST(FeatherRules, SwitchOnOnlyInSplicedLayoutsWithNothingOnTop) {
  struct Case {
    const char* what;
    int mosaic;
    std::array<uint8_t, 4> layersOn;
    bool keyerOn, captionOn, logoInUse;
    uint8_t logoPos;
    bool allowed;
  };
  const Case cases[] = {
      {"layout 2, layer 2 on", 2, {1, 0, 1, 0}, false, false, false, 0, true},
      {"layout 2, only layer 1 on", 2, {1, 1, 0, 0}, false, false, false, 0, false},
      {"layout 3, layer 1 on", 3, {1, 1, 0, 0}, false, false, false, 0, true},
      {"layout 0", 0, {1, 1, 1, 1}, false, false, false, 0, false},
      {"a keyer on", 2, {1, 0, 1, 0}, true, false, false, 0, false},
      {"a caption on", 3, {1, 0, 0, 1}, false, true, false, 0, false},
      {"logo at its plain place", 3, {1, 0, 0, 1}, false, false, true, 0, true},
      {"logo moved", 3, {1, 0, 0, 1}, false, false, true, 2, false},
  };
  for (const Case& c : cases) {
    DeviceState s;
    s.block.MOSAICSETT.MOSAICMODE = c.mosaic;
    for (int i = 0; i < 4; ++i) s.block.CHNLDATA[i].CHNLONOFF = c.layersOn[i];
    s.block.KEYERINFO.KEYER[1].KEYERONOFF = c.keyerOn ? 1 : 0;
    s.CAPTION_INFO[3][12] = c.captionOn ? 1 : 0;
    s.block.LOGOINFO.LOGOUSAGE = c.logoInUse ? 1 : 0;
    s.block.LOGOINFO.LOGOPOS = c.logoPos;
    EXPECT_EQ(Orv_FeatherDlg::SwitchOnAllowed(s), c.allowed) << c.what;
  }
  EXPECT_EQ(Orv_FeatherDlg::Group1LayerFor(2), 2);
  EXPECT_EQ(Orv_FeatherDlg::Group1LayerFor(3), 1);
  EXPECT_EQ(Orv_FeatherDlg::Group1LayerFor(5), -1);
}

}  // namespace
}  // namespace orv
