// The refresh dispatcher: the reply decoders call the sink on the reply
// thread; every call is handed to the user-interface thread in arrival order
// and runs the steps of its row there.
#include <QPointer>

#include <algorithm>
#include <array>

#include "CDropList.h"
#include "CGdipButton.h"
#include "CSxGroupBox.h"
#include "CommandEncoder.h"
#include "DeviceState.h"
#include "MCropDlg.h"
#include "MEdidDlg.h"
#include "MKeyerDlg.h"
#include "MLogoDlg.h"
#include "MMainDlg.h"
#include "MMediaPlayerDlg.h"
#include "MMiscDlg.h"
#include "MMosaicDlg.h"
#include "MOutputDlg.h"
#include "MPIPDlg.h"
#include "MPicSettingDlg.h"
#include "MSearchMachineDlg.h"
#include "MSubTitleDlg.h"
#include "MSwitcherDlg.h"
#include "MTaskDlg.h"
#include "MTstPatternDlg.h"
#include "MVgaDlg.h"
#include "MVideoSettingDlg.h"
#include "MachineReport.h"
#include "MessageIds.h"
#include "OrvDlg.h"
#include "Orv_FeatherDlg.h"
#include "PageTable.h"
#include "UiTexts.h"
#include "WaitBox.h"

namespace orv {

namespace {

bool NeedsMachineReport(int type) {
  return type == 0 || type == 23 || type == 27;
}

}  // namespace

void OrvDlg::QueueSteps(std::span<const RefreshStep> steps, int arg) {
  if (steps.empty()) return;
  QPointer<OrvDlg> self(this);
  RunOnGuiThread([self, steps, arg] {
    if (self) self->RunRefreshSteps(steps, arg, nullptr);
  });
}

void OrvDlg::RefreshAfterReply(int type, int arg) {
  const std::span<const RefreshStep> steps = RefreshSteps(type);
  if (steps.empty()) return;
  if (!NeedsMachineReport(type)) {
    QueueSteps(steps, arg);
    return;
  }
  // The search window needs the sender's address, kind and identity of this
  // very reply: the next reply overwrites them in the record before the
  // user-interface thread gets here.
  QPointer<OrvDlg> self(this);
  RunOnGuiThread([self, steps, arg, report = CaptureMachineReport(type)] {
    if (self) self->RunRefreshSteps(steps, arg, &report);
  });
}

void OrvDlg::BusyOn(int waitText) {
  QPointer<OrvDlg> self(this);
  RunOnGuiThread([self, waitText] {
    if (self) self->OnWait(true, QString::fromStdString(UiText(waitText)));
  });
}

void OrvDlg::BusyOff() {
  QPointer<OrvDlg> self(this);
  RunOnGuiThread([self] {
    if (self) self->OnWait(false, {});
  });
}

void OrvDlg::EdidApplyResult() {
  QueueSteps(EdidEventSteps(), 0);
}

void OrvDlg::VgaAdjustResult() {
  QueueSteps(VgaEventSteps(), 0);
}

// The acknowledge's position is taken here, on the reply thread: the next
// event overwrites it in the record before the GUI thread gets to it.
void OrvDlg::CaptionChunkAcknowledged() {
  int position = -1;
  {
    auto s = State();
    if (s->EVENT_BYTE == 1 && s->EVENT_VALUE <= static_cast<uint32_t>(INT32_MAX)) {
      position = static_cast<int>(s->EVENT_VALUE);
    }
  }
  QueueSteps(CaptionChunkSteps(), position);
}

void OrvDlg::EnableCaptionPage() {
  QueueSteps(CaptionEnableSteps(), 0);
}

void OrvDlg::CaptionUploadStart(bool ok) {
  QueueSteps(CaptionUploadSteps(), ok ? 1 : 0);
}

// The encoder sends its three reports back to back into the one VENC_INFO
// field, so the report is copied here, on the reply thread, before the next
// one overwrites it; the page takes each copy on the GUI thread.
void OrvDlg::RefreshVideoSettings() {
  std::array<uint8_t, 10> report{};
  {
    auto s = State();
    std::copy(std::begin(s->VENC_INFO), std::end(s->VENC_INFO), report.begin());
  }
  QPointer<OrvDlg> self(this);
  RunOnGuiThread([self, report] {
    if (self) self->videoSettings_->TakeEncoderReport(report);
  });
}

void OrvDlg::BoardRefresh() {
  QueueSteps(RefreshSteps(29), 0);
}

// Reply thread: the page's preview exists from start-up until after the
// link is closed and this thread joined (CloseDown).
void OrvDlg::FeedVideoPacket(int channel, std::span<const uint8_t> bytes) {
  main_->FeedVideoPacket(channel, bytes);
}

void OrvDlg::RunRefreshSteps(std::span<const RefreshStep> steps, int arg,
                             const MachineReport* report) {
  for (RefreshStep step : steps) RunStep(step, arg, report);
}

void OrvDlg::RunStep(RefreshStep step, int arg, const MachineReport* report) {
  using S = RefreshStep;
  switch (step) {
    case S::SearchSeenFirst:
    case S::SearchSeen:
    case S::SearchIdentity:
      if (report != nullptr) search_->OnMachineReport(*report);
      break;
    case S::MainPreviewFlag:
      main_->CheckPreviewFlag();
      break;
    case S::MainLayerLayout:
      main_->LayoutAfterReadBack();
      break;
    case S::PvwModeToMain:
      SendMsg(main_, UM_PVW_MODE_CHANGED);
      break;
    case S::LayerWindowsAll:
      for (int layer = 0; layer < 4; ++layer) {
        SendMsg(this, UM_LAYER_WINDOW, kPlaceLayerWindow, layer);
      }
      break;
    case S::LayerWindowArg:
      SendMsg(this, UM_LAYER_WINDOW, kPlaceLayerWindow, arg);
      break;
    case S::HideBoardControls:
      Button(strip::kSignalSwitch)->hide();
      portSwitchGroup_->hide();
      portSwitchList_->hide();
      break;
    case S::BoardControlsByExist: {
      bool exists = false;
      { exists = State()->block.COMPOSITEBOARD.CMPBOARDEXIST != 0; }
      Button(strip::kSignalSwitch)->setVisible(exists);
      portSwitchGroup_->setVisible(exists);
      portSwitchList_->setVisible(exists);
      break;
    }
    case S::EnableSignalSwitch:
      Button(strip::kSignalSwitch)->setEnabled(true);
      break;
    case S::InputStripRelayout:
      RelayoutInputStrip();
      update(75, 0, width() - 75 - 24, 106);
      break;
    case S::RedrawInputStripArea:
      update(75, 0, std::max(0, loopOutGroup_->x() - 2 - 75), 106);
      break;
    case S::RedrawAllSlots:
      update(75, 0, width() - 75 - 24, 106);
      break;
    case S::RedrawLastTimingSlot: {
      int slot = 0;
      { slot = State()->LAST_TIMING_INPUT; }
      RedrawSlot(slot);
      // The halves of the split DP input and of the board share its signal.
      const int firstHalf = slot == 4 ? 8 : slot == 6 ? 10 : -1;
      if (firstHalf > 0) {
        RedrawSlot(firstHalf);
        RedrawSlot(firstHalf + 1);
      }
      break;
    }
    case S::LayerInputsNoSend:
      for (int layer = 0; layer < 4; ++layer) OnLayerInput(layer, false);
      break;
    case S::SyncListsRefill:
      RefillSyncLists();
      break;
    case S::ModeEnabling:
      ApplyModeEnabling();
      break;
    case S::PresetGroupSelection: {
      // Only groups 0..2 exist; another mode shows group 0 and is reset.
      {
        auto s = State();
        if (s->block.PVWMODEINFO.PVWMODE > 2) s->block.PVWMODEINFO.PVWMODE = 0;
      }
      RefreshPresetButtons(currentPreset_);
      update();
      break;
    }
    case S::PresetButtons:
      if (presetsMode_) RefreshPresetButtons(currentPreset_);
      update();
      break;
    case S::PortSwitchTexts: {
      int first = 0;
      int second = 0;
      {
        auto s = State();
        first = s->block.COMPOSITEBOARD.CMPBOARDIPSRC[0];
        second = s->block.COMPOSITEBOARD.CMPBOARDIPSRC[1];
      }
      UpdatePortSwitchTexts(first, second);
      RefillPortSwitchList();
      int mode = 0;
      { mode = State()->block.COMPOSITEBOARD.CMPBOARDMODE; }
      portSwitchList_->SelectByData(static_cast<uint32_t>(mode));
      break;
    }
    case S::FreezeButton: {
      bool frozen = false;
      { frozen = State()->block.FREEZE_STATE != 0; }
      Button(strip::kFreeze)->SetChecked(frozen);
      Button(strip::kFreeze)->update();
      break;
    }
    case S::PicturePage:
      picture_->RefreshFromDevice();
      break;
    case S::OutputTiming:
      output_->RefreshTiming();
      break;
    case S::OutputLayerTabs:
      output_->UpdateLayerTabs();
      break;
    case S::OutputSelectedLayer:
      output_->ReloadSelectedLayer();
      break;
    case S::CropPage:
      crop_->RefreshFromDevice();
      break;
    case S::MosaicPageSplit:
      mosaic_->RefreshKind(3);
      break;
    case S::MosaicPageArg:
      mosaic_->RefreshKind(arg);
      break;
    case S::PipPage:
      pip_->RefreshFromDevice();
      break;
    case S::LogoPage:
      logo_->RefreshFromDevice();
      break;
    case S::KeyerPage:
      keyer_->RefreshFromDevice();
      break;
    case S::EdidPage:
      edid_->RefreshFromDevice();
      break;
    case S::EdidEvent:
      edid_->ApplyResult();
      break;
    case S::VgaPage:
      vga_->RefreshFromDevice();
      break;
    case S::VgaEvent:
      vga_->AdjustResult();
      break;
    case S::VgaPageLayer0:
      vga_->ShowLayer(0);
      break;
    case S::SwitcherPage:
      switcher_->RefreshFromDevice();
      break;
    case S::TaskPage:
      task_->RefreshFromDevice();
      break;
    case S::TaskClock:
      task_->RefreshClock();
      break;
    case S::TaskPresets:
      task_->RefreshPresets();
      break;
    case S::MiscPage:
      misc_->RefreshFromDevice();
      break;
    case S::MiscLoopOut:
      misc_->RefreshLoopOut();
      break;
    case S::MiscSystemInfo:
      misc_->RefreshSystemInfo();
      break;
    case S::CaptionPageArg:
      caption_->RefreshCaption(arg);
      break;
    case S::CaptionEnable:
      caption_->EnableCaptions();
      break;
    case S::CaptionChunkAck:
      caption_->ChunkAcknowledged(arg);
      break;
    case S::CaptionUploadResult:
      caption_->UploadStarted(arg != 0);
      break;
    case S::VideoSettingsPage:
      videoSettings_->RefreshFromDevice();
      break;
    case S::MediaPlayerPage:
      mediaPlayer_->RefreshFromDevice();
      break;
    case S::FeatherPage:
      feather_->RefreshFromDevice();
      break;
    case S::TestPatternRefresh:
      PostMsg(testPattern_, UM_TEST_PATTERN_REFRESH);
      break;
  }
}

}  // namespace orv
