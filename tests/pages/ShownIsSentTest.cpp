// A value the processor reports outside a page's range is shown clamped; the
// next command that carries it, sent for a change of another field, carries
// the value shown, and a refresh still shows it.
#include <QTest>

#include "AppTestSupport.h"
#include "CGdipButton.h"
#include "CommandEncoder.h"
#include "DeviceState.h"
#include "MOutputDlg.h"
#include "MPIPDlg.h"
#include "MPicSettingDlg.h"
#include "MessageIds.h"
#include "oRealEdit.h"
#include "oSliderEdit.h"

namespace orv::test {
namespace {

using ShownIsSent = MainWindowTest;

TypedSend LastOf(const FakeCommLibrary& library, uint16_t type) {
  const auto sends = library.TypedSendsOf(type);
  if (sends.empty()) {
    ADD_FAILURE() << "no send of type " << type;
    return {};
  }
  return sends.back();
}

TEST_F(ShownIsSent, PipAlphaOutsideItsRange) {
  auto* page = static_cast<MPIPDlg*>(Window().ColumnPage(4));
  page->ShowPage(true);
  {
    auto s = State();
    s->block.CHNLDATA[1].CHNLONOFF = 0;
    s->block.CHNLDATA[1].CHNLALPHA = 0xFF;
  }
  page->RefreshFromDevice();
  EXPECT_EQ(page->AlphaEdit(0)->Value(), 64);

  QTest::mouseClick(page->Switch(0), Qt::LeftButton);
  const TypedSend sent = LastOf(Library(), SET_LAYER_ONOFF);
  EXPECT_EQ(sent.bytes[0], 1);
  EXPECT_EQ(sent.bytes[1], 1);
  EXPECT_EQ(sent.bytes[2], 64);
  { EXPECT_EQ(State()->block.CHNLDATA[1].CHNLALPHA, 64); }
  page->RefreshFromDevice();
  EXPECT_EQ(page->AlphaEdit(0)->Value(), 64);
}

TEST_F(ShownIsSent, GammaOutsideItsRangeIsNotSentAsOff) {
  using P = MPicSettingDlg;
  auto* page = static_cast<P*>(Window().ColumnPage(0));
  page->ShowPage(true);
  { State()->block.PICCOMMSETT = {P::kUserMode, 5, 1e9f}; }
  page->RefreshFromDevice();
  ASSERT_EQ(page->GammaSwitch()->text(), QStringLiteral("0n"));
  EXPECT_FLOAT_EQ(page->Edit(P::kGamma)->Value(), 5.0f);

  SendMsg(page, UM_VALUE_COMMITTED, static_cast<int>(P::kFirstEdit) + P::kBrightness, 0);
  EXPECT_EQ(LastOf(Library(), SET_PICTURE).bytes[3], 50);
  { EXPECT_FLOAT_EQ(State()->block.PICCOMMSETT.GAMMA, 5.0f); }
  page->RefreshFromDevice();
  EXPECT_FLOAT_EQ(page->Edit(P::kGamma)->Value(), 5.0f);
  EXPECT_EQ(page->GammaSwitch()->text(), QStringLiteral("0n"));
}

TEST_F(ShownIsSent, LayerWindowOutsideItsRange) {
  MOutputDlg* page = Window().OutputPage();
  page->ShowPage(true);
  {
    auto s = State();
    ChannelData& ch = s->block.CHNLDATA[0];
    ch.HPOS = -100;
    ch.VPOS = 40;
    ch.HACT = 100000;
    ch.VACT = 600;
    ch.CHNLROTATION = 0;
  }
  page->ReloadSelectedLayer();
  const int shown[4] = {0, 40, 9999, 600};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(page->WindowEdit(i)->Value(), shown[i]) << i;

  // A rotation sends the window from the record.
  QTest::mouseClick(page->RotationButton(1), Qt::LeftButton);
  const TypedSend sent = LastOf(Library(), SET_LAYER_WINDOW);
  const uint8_t window[9] = {0, 0x00, 0x00, 40, 0x00, 0x0F, 0x27, 0x58, 0x02};
  for (int k = 0; k < 9; ++k) EXPECT_EQ(sent.bytes[k], window[k]) << "byte " << k;
  page->ReloadSelectedLayer();
  for (int i = 0; i < 4; ++i) EXPECT_EQ(page->WindowEdit(i)->Value(), shown[i]) << i;
}

}  // namespace
}  // namespace orv::test
