// The main window's message hub, page switching, keyboard, texts and close.
#include <cstdio>
#include <optional>

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QTime>

#include "AppTexts.h"
#include "CDropList.h"
#include "CGdipButton.h"
#include "CMyEdit.h"
#include "CSxGroupBox.h"
#include "ChangesControl.h"
#include "CommandEncoder.h"
#include "ControlId.h"
#include "DeviceState.h"
#include "DialogTexts.h"
#include "Ini.h"
#include "InlineRename.h"
#include "LinkIndicator.h"
#include "LinkSupervisor.h"
#include "MConnectDlg.h"
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
#include "MessageBox.h"
#include "MessageIds.h"
#include "OfflineProcessor.h"
#include "OrvDlg.h"
#include "Orv_FeatherDlg.h"
#include "PageTable.h"
#include "ProjectFile.h"
#include "ProjectReview.h"
#include "QtTranslations.h"
#include "ReadBack.h"
#include "SendGate.h"
#include "SerialPortWatcher.h"
#include "Skin.h"
#include "StripModes.h"
#include "UiTexts.h"
#include "WaitBox.h"

namespace orv {

namespace {

const QColor kPageButtonText(20, 20, 20);

QString Text(int n) {
  return QString::fromStdString(UiText(n));
}

int DigitOf(const QKeyEvent* event) {
  const int key = event->key();
  return key >= Qt::Key_0 && key <= Qt::Key_9 ? key - Qt::Key_0 : -1;
}

}  // namespace

// --- Pages ----------------------------------------------------------------

MBaseDialog* OrvDlg::ColumnPage(int index) const {
  if (index < 0 || index >= layout::kPageCount) return nullptr;
  return columnPages_[static_cast<std::size_t>(index)];
}

CGdipButton* OrvDlg::PageButton(int index) const {
  if (index < 0 || index >= layout::kPageCount) return nullptr;
  return pageButtons_[static_cast<std::size_t>(index)];
}

void OrvDlg::ShowPageByIndex(int index, bool toggle) {
  const int shown = currentPage_;
  if (shown >= 0 && shown != index) {
    ColumnPage(shown)->ShowPage(false);
    PageButton(shown)->SetChecked(false);
    PageButton(shown)->update();
  }
  if (index < 0 || index >= layout::kPageCount) {
    if (shown >= 0) {
      currentPage_ = -1;
      Relayout();
    }
    return;
  }
  if (shown != index) {
    currentPage_ = index;
    if (shown == -1) Relayout();
    // Raised before it shows: showing the misc page brings up its current
    // sub-page, which must stay above it.
    ColumnPage(index)->raise();
    ColumnPage(index)->ShowPage(true);
    PageButton(index)->SetChecked(true);
    PageButton(index)->update();
  } else if (toggle) {
    ColumnPage(index)->ShowPage(false);
    PageButton(index)->SetChecked(false);
    currentPage_ = -1;
    Relayout();
  }
}

void OrvDlg::OnPageClosed() {
  // A floating window closed by its own button: the misc page's buttons for
  // it come up, and the page column keeps the page that is still shown.
  misc_->ShowWindowsShown(
      {videoSettings_->isVisible(), mediaPlayer_->isVisible(), feather_->isVisible()});
  if (currentPage_ < 0 || ColumnPage(currentPage_)->isVisible()) return;
  PageButton(currentPage_)->SetChecked(false);
  PageButton(currentPage_)->update();
  currentPage_ = -1;
  Relayout();
}

void OrvDlg::ShowHideWindow(MBaseDialog* page, intptr_t arg) {
  // 0 or 1 toggle, 2 and more hide.
  const bool show = arg <= 1 && !page->isVisible();
  page->ShowPage(show);
  if (show) page->raise();
  if (page == search_) connect_->SetSearchWindowShown(show);
}

void OrvDlg::ShowMiscTab(int tab, bool show) {
  MBaseDialog* subPages[3] = {keyer_, testPattern_, task_};
  if (tab == 4) {
    caption_->ShowPage(show);
    if (show) caption_->raise();
    return;
  }
  if (!show) {
    for (MBaseDialog* p : subPages) p->ShowPage(false);
    return;
  }
  if (tab == 0) {
    ShowPageByIndex(9, false);
    for (MBaseDialog* p : subPages) p->ShowPage(false);
    return;
  }
  if (tab < 1 || tab > 3) return;
  for (int i = 0; i < 3; ++i) {
    subPages[i]->ShowPage(i == tab - 1);
    if (i == tab - 1) subPages[i]->raise();
  }
}

// --- Messages -------------------------------------------------------------

intptr_t OrvDlg::OnMessage(const Message& m) {
  switch (m.id) {
    case UM_PAGE_CLOSED:
      OnPageClosed();
      return 1;
    case UM_PAGE_REQUEST:
      OnPageRequest(m.wParam, m.lParam, m.data);
      return 1;
    case UM_LAYER_INPUT:
      OnLayerInput(static_cast<int>(m.wParam), m.lParam == 1);
      return 1;
    case UM_LAYER_WINDOW:
      OnLayerWindow(m.wParam, static_cast<int>(m.lParam));
      return 1;
    case UM_OUTPUT_CHANGED:
      SendMsg(main_, UM_OUTPUT_CHANGED);
      return 1;
    case UM_LAYER_SELECTED:
      if (m.wParam >= 0 && m.wParam < 4) {
        currentLayer_ = static_cast<int>(m.wParam);
        // The strip marks the input of the layer now worked on.
        update(0, 0, width(), 106);
      }
      return 1;
    case UM_LOGO_LAYER:
      main_->UpdateLogoLayer(static_cast<int>(m.wParam));
      return 1;
    case UM_WAIT:
      OnWait(m.wParam != 0, m.data.toString());
      return 1;
    case UM_LANGUAGE:
      OnLanguage(m.wParam);
      return 1;
    case UM_PROJECT_FILE:
      OnProjectFile(m.wParam, m.data.toString());
      return 1;
    case UM_LOCK_LAYERS:
      OnLockLayers(m.lParam != 0);
      return 1;
    case UM_EDIT_KEY:
      OnEditKey(static_cast<int>(m.wParam));
      return 1;
    case UM_LIST_SELECT:
      OnListSelect(static_cast<int>(m.wParam), static_cast<int>(m.lParam));
      return 1;
    default:
      return 0;
  }
}

void OrvDlg::OnPageRequest(intptr_t subCode, intptr_t arg, const QVariant& payload) {
  switch (subCode) {
    case request::kMiscTab: {
      // The tab and show flags travel as a two-number list.
      const QVariantList v = payload.toList();
      if (v.size() >= 2) ShowMiscTab(v[0].toInt(), v[1].toInt() != 0);
      break;
    }
    case request::kSwitchState:
      SetSwitchState(arg != 0);
      break;
    case request::kLoopOutSlot:
      FrameLoopOutSlot(static_cast<int>(arg));
      break;
    case request::kPipCell:
      if (arg >= 0 && arg <= 2) {
        ShowPipCell(static_cast<int>(arg) + 1);
        // Only the switched PIP: a whole refresh would report every PIP again.
        pip_->RefreshOnOff(static_cast<int>(arg));
      }
      break;
    case request::kMosaicMode: {
      main_->LayoutLayers();
      keyer_->RefreshFromDevice();
      feather_->RefreshFromDevice();
      CGdipButton* lock = Button(strip::kLockOutput);
      int mode = 0;
      { mode = State()->block.PVWMODEINFO.PVWMODE; }
      // Program/preview keeps the output areas fixed: no Lock Output there.
      lock->setVisible(strip::LockOutputVisible(mode, static_cast<int>(arg)));
      if (arg != 0) {
        PageButton(3)->setEnabled(false);
      } else {
        lock->SetChecked(true);
        PageButton(3)->setEnabled(true);
      }
      PlaceStripRow();
      // Without program/preview the mosaic decides over the PIP, logo and keyer pages.
      if (mode == 0) {
        PageButton(4)->setEnabled(arg != 5);
        PageButton(6)->setEnabled(arg != 5);
        EnableKeyer(arg != 5);
      }
      main_->LockOutputAreas(lock->IsChecked(), true);
      break;
    }
    case request::kWorkOffline:
      WorkOffline();
      break;
    case request::kArrangement:
      main_->PlaceOutputAreas(static_cast<int>(arg));
      break;
    case request::kConnectionState: {
      bool network = false;
      {
        auto s = State();
        network = s->NET_MODE != 0;
        if (!network) s->SWITCH_MODE = 0;
      }
      Button(strip::kSerialLamp)->setVisible(!network);
      Button(strip::kNetworkLamp)->setVisible(network);
      if (network) connect_->RefreshConnectionControls();
      switcher_->SetMultiMachineEnabled(network);
      break;
    }
    case request::kSearchWindow:
      ShowHideWindow(search_, arg);
      break;
    case request::kVideoSettings:
      ShowHideWindow(videoSettings_, arg);
      break;
    case request::kMediaPlayer:
      ShowHideWindow(mediaPlayer_, arg);
      break;
    case request::kFeather:
      ShowHideWindow(feather_, arg);
      break;
    case request::kPipLogoEnable:
      if (arg == 1) {
        PageButton(4)->setEnabled(false);
        PageButton(6)->setEnabled(false);
        EnableKeyer(false);
        EnableTestPattern(false);
      } else if (arg == 0) {
        EnableTestPattern(true);
        int mosaic = 0;
        int mode = 0;
        {
          auto s = State();
          mosaic = s->block.MOSAICSETT.MOSAICMODE;
          mode = s->block.PVWMODEINFO.PVWMODE;
        }
        const bool usable = mosaic != 5 && mode != 2;
        PageButton(4)->setEnabled(usable);
        PageButton(6)->setEnabled(usable);
        EnableKeyer(usable);
      }
      break;
    case request::kOnline:
      SetOnlineIndicator(arg != 0);
      break;
    case request::kDestinationIp:
      connect_->SetDestinationIp(payload.toString());
      break;
    case request::kEncoderResolution:
      main_->SetPreviewSize(static_cast<int>(arg));
      break;
    case request::kLockLayers:
      // The test pattern page may also ask through the page request.
      OnLockLayers(arg != 0);
      break;
    case request::kTopButtons:
      for (CGdipButton* b : topButtons_) b->setVisible(arg != 0);
      break;
    default:
      break;
  }
}

void OrvDlg::OnLayerInput(int layer, bool send) {
  if (!DeviceState::ValidLayer(layer)) return;
  main_->RelabelLayer(layer);
  picture_->RefreshForLayer(layer);
  crop_->RefreshForLayer(layer);
  vga_->ShowLayer(layer);
  // The VGA page is useful only while some layer shows a VGA input.
  bool anyVga = false;
  {
    auto s = State();
    for (int l = 0; l < 4; ++l) {
      const int input = s->block.CHNLDATA[l].CHNLINPUT;
      if (DeviceState::ValidInputCode(input) && input < 8 &&
          s->block.INPUTINFO.INPUTSRC[input] == 3) {
        anyVga = true;
      }
    }
  }
  PageButton(8)->setEnabled(anyVga);
  if (!anyVga && currentPage_ == 8) ShowPageByIndex(8, true);
  if (layer >= 1) pip_->SelectLayerInput(layer);
  if (send) SendCommand(SET_LAYER_INPUT, layer);
}

void OrvDlg::OnLayerWindow(intptr_t what, int layer) {
  if (!DeviceState::ValidLayer(layer)) return;
  if (what == kPlaceLayerWindow) main_->PlaceLayer(layer);
  if (what == kSelectOutputLayer) output_->SelectLayer(layer);
  if (layer == 3) logo_->RereadPip3Window();
}

void OrvDlg::OnWait(bool show, const QString& text) {
  // A command refused for a lost link gets its message, never a wait that
  // runs to its time-out.
  if (show && LinkDown()) return;
  // A hide that names its text ends only that wait, not one shown since.
  if (!show && !text.isEmpty() && waitBox_->Text() != text) return;
  if (show) {
    waitBox_->Show(text);
  } else {
    waitBox_->Hide();
  }
}

void OrvDlg::OnWaitTimedOut() {
  if (review_ && review_->WaitTimedOut()) return;
  ShowMessageBox(this, AppTextOf(AppText::kNoAnswer), Text(38));
}

bool OrvDlg::ContentEnabled() const {
  return content_ != nullptr && content_->isEnabled();
}

void OrvDlg::OnLanguage(intptr_t which) {
  const std::optional<std::string> name = LanguageNameForSwitch(which);
  if (!name) return;
  SelectLanguage(*name);
  UseQtTranslationsFor(ActiveLanguageName());
  ReloadUiTexts();
  ApplyTexts();
}

void OrvDlg::OnProjectFile(intptr_t what, const QString& path) {
  if (what == kProjectOpen) {
    // A file that is not a whole project leaves the configuration and the
    // current project as they were.
    const ProjectLoad result = LoadWholeProject(
        path.toStdString(), [this](int type, int arg) { QueueSteps(RefreshSteps(type), arg); });
    if (result == ProjectLoad::Loaded) {
      projectPath_ = path.toStdString();
      WriteProfileString("Project", "FilePath", projectPath_, settingsPath_);
    } else {
      OnWait(false, {});
      const AppText why = result == ProjectLoad::Unreadable    ? AppText::kProjectUnreadable
                          : result == ProjectLoad::NotAProject ? AppText::kNotAProject
                                                               : AppText::kProjectIncomplete;
      ShowMessageBox(this, AppTextOf(why).arg(path), Text(38));
    }
  } else if (what == kProjectSave) {
    std::string target = path.toStdString();
    EnsureProjectPath(target);
    SaveProjectTo(target, target);
  } else if (what == kProjectSaveAs) {
    // Save As: the file written becomes the current project.
    std::string target = path.toStdString();
    EnsureProjectPath(target);
    if (const std::optional<std::string> written = SaveProjectTo(target, target)) {
      projectPath_ = *written;
      WriteProfileString("Project", "FilePath", projectPath_, settingsPath_);
      ShowTitle();
    }
  }
  OnWait(false, {});
}

std::optional<std::string> OrvDlg::SaveProjectTo(const std::string& path,
                                                 const std::string& expected) {
  std::optional<std::string> written;
  if (SaveProject(path)) {
    written = path;
  } else {
    // Nothing is lost silently: the configuration goes to a new file in the
    // user's project folder (never over another project).
    std::string fallback = UserDataFolder() + "Project/" + TodayDateText() + "/recovered-" +
                           QTime::currentTime().toString(QStringLiteral("HHmmss")).toStdString() +
                           ".pro";
    EnsureProjectPath(fallback);
    if (fallback != path && SaveProject(fallback)) written = fallback;
  }
  if (!written) {
    Tell(AppTextOf(AppText::kProjectNotSaved).arg(QString::fromStdString(expected)));
  } else if (*written != expected) {
    Tell(AppTextOf(AppText::kProjectSavedInstead)
             .arg(QString::fromStdString(expected), QString::fromStdString(*written)));
  }
  return written;
}

void OrvDlg::Tell(const QString& text) {
  if (unattended_) {
    std::fprintf(stderr, "orvpanel: %s\n", text.toLocal8Bit().constData());
  } else {
    ShowMessageBox(this, text, Text(38));
  }
}

void OrvDlg::OnLockLayers(bool lock) {
  main_->LockLayerCells(lock);
  for (CGdipButton* b : pgmButtons_) b->setEnabled(!lock);
  for (CGdipButton* b : pvwButtons_) b->setEnabled(!lock);
  Button(strip::kTake)->setEnabled(!lock);
  if (!lock) ApplyModeEnabling();
}

void OrvDlg::OnEditKey(int key) {
  if (key == 27) {
    rename_.Cancel();
    const QRect area = renameEdit_->geometry().adjusted(-2, -2, 2, 2);
    renameEdit_->hide();
    update(area);
    return;
  }
  int group = 0;
  {
    auto s = State();
    group = PresetGroupOf(*s);
  }
  CommitInlineRename(renameEdit_, rename_, group, presets_, remarks_, settingsPath_);
  update();
}

void OrvDlg::OnListSelect(int listId, int index) {
  auto dataOf = [](CDropButton* list, int i) -> int {
    CDropList* l = list->List();
    if (l == nullptr || i < 0 || i >= l->GetCount()) return -1;
    return static_cast<int>(l->GetItemData(i));
  };
  if (listId == strip::kSyncLockList) {
    const int choice = dataOf(syncLockList_, index);
    if (choice < 0) return;
    { State()->block.MACHINESYNCMODE.SYNCLOCKMODE = choice; }
    SendCommand(SET_SYNC, 0, choice & 0xFF);
  } else if (listId == strip::kSyncModeList) {
    const int choice = dataOf(syncModeList_, index);
    if (choice < 0) return;
    { State()->block.MACHINESYNCMODE.SYNCMODE = choice; }
    SendCommand(SET_SYNC, 1, choice & 0xFF);
  } else if (listId == strip::kPortSwitchList) {
    const int choice = dataOf(portSwitchList_, index);
    if (choice < 0) return;
    { State()->block.COMPOSITEBOARD.CMPBOARDMODE = choice; }
    SendCommand(SIGNAL_SWITCH, 1, choice & 0xFF);
    Pause(50);
    SendCommand(QUERY67);
    Button(strip::kSignalSwitch)->setEnabled(choice < 2);
  }
}

// --- State shown by the control strip -------------------------------------

bool OrvDlg::ConnectionIndicator() const {
  return Button(strip::kOnlineLamp)->IsChecked();
}

bool OrvDlg::LayersLocked() const {
  return main_->LayerCellsLocked();
}

void OrvDlg::SetOnlineIndicator(bool on) {
  Button(strip::kOnlineLamp)->SetChecked(on);
  Button(strip::kOnlineLamp)->update();
}

void OrvDlg::SetSwitchState(bool on) {
  switchState_ = on;
  Button(strip::kSwitch)->setText(Text(on ? 40 : 41));
  Button(strip::kSwitch)->update();
  Button(strip::kSwitchLamp)->setVisible(on);
}

void OrvDlg::ShowPipCell(int layer) {
  // PIP-3 follows the logo's on/off while the logo uses it, and is left
  // alone for any other usage.
  // In program/preview mode the layer buttons say which side a layer is on,
  // not whether it is on: the mode rules keep them, on/off would undo that.
  std::optional<bool> on;
  bool programPreview = false;
  {
    auto s = State();
    const int usage = s->block.LOGOINFO.LOGOUSAGE;
    if (layer < 3 || usage == 0) on = s->block.CHNLDATA[layer].CHNLONOFF != 0;
    if (layer == 3 && usage == 1) on = s->block.LOGOINFO.LOGOONOFF != 0;
    const int mode = s->block.PVWMODEINFO.PVWMODE;
    programPreview = mode == 1 || mode == 2;
  }
  if (!on) return;
  main_->ShowLayerCell(layer, *on);
  if (programPreview) return;
  for (CGdipButton* b : {pgmButtons_[layer], pvwButtons_[layer]}) {
    b->SetChecked(*on);
    b->update();
  }
}

void OrvDlg::RefillSyncLists() {
  // Texts 100..112 name the sync lock entries and 113..115 the sync modes,
  // in the active language; the item data is the entry's code.
  constexpr int kSyncLockText = 100;
  constexpr int kSyncModeText = 113;
  syncLockList_->ResetContent();
  syncModeList_->ResetContent();
  int lockMode = 0;
  int syncMode = 0;
  std::vector<std::pair<int, int>> lockEntries;  // (text number, code)
  std::vector<std::pair<int, int>> modeEntries;
  {
    auto s = State();
    for (int i = 0; i < 8; ++i)
      lockEntries.emplace_back(kSyncLockText + i, s->SYNCLOCK_TABLE[i].code);
    // Inputs 6 and 7 add the lock entry of their port kind.
    for (int input : {6, 7}) {
      if (s->INPUT_TABLE[input].enabled == 0) continue;
      const int kind = s->block.INPUTINFO.INPUTSRC[input];
      const int entry = kind == 4                  ? 8 + (input - 6)
                        : (kind == 5 || kind == 8) ? 12
                        : kind == 6                ? 10 + (input - 6)
                                                   : -1;
      if (entry >= 0)
        lockEntries.emplace_back(kSyncLockText + entry, s->SYNCLOCK_TABLE[entry].code);
    }
    for (int i = 0; i < 3; ++i)
      modeEntries.emplace_back(kSyncModeText + i, s->SYNCMODE_TABLE[i].code);
    lockMode = s->block.MACHINESYNCMODE.SYNCLOCKMODE;
    syncMode = s->block.MACHINESYNCMODE.SYNCMODE;
  }
  for (const auto& [text, code] : lockEntries) {
    const int i = syncLockList_->List()->AddString(Text(text));
    syncLockList_->List()->SetItemData(i, static_cast<uint32_t>(code));
  }
  for (const auto& [text, code] : modeEntries) {
    const int i = syncModeList_->List()->AddString(Text(text));
    syncModeList_->List()->SetItemData(i, static_cast<uint32_t>(code));
  }
  syncLockList_->SelectByData(static_cast<uint32_t>(lockMode));
  syncModeList_->SelectByData(static_cast<uint32_t>(syncMode));
}

// --- Texts ----------------------------------------------------------------

void OrvDlg::ApplyTexts() {
  ReloadUiTexts();
  // The window's title, then its controls (they live in the content area).
  ApplyDialogTexts(this, kTemplateId);
  ApplyDialogTexts(content_, kTemplateId);
  SetSwitchState(switchState_);
  loopOutGroup_->SetText(QString::fromStdString(GetRawText("IDS_1255")));
  syncGroup_->SetText(Text(7));
  portSwitchGroup_->SetText(Text(150));
  // Every page re-reads its own texts, so that a switch shows what a start in
  // that language shows.
  for (MBaseDialog* page : std::initializer_list<MBaseDialog*>{
           picture_, output_, mosaic_, logo_, keyer_, edid_, vga_, testPattern_, task_, misc_,
           connect_, search_, switcher_, caption_, videoSettings_, mediaPlayer_, feather_, crop_,
           pip_}) {
    page->ReloadTexts();
  }
  // The crop, PIP and connection pages take some control captions from the
  // main window's keys.
  ApplyDialogTexts(crop_, kTemplateId);
  ApplyDialogTexts(pip_, kTemplateId);
  ApplyDialogTexts(connect_, kTemplateId);
  RefillPortSwitchList();
  RefillSyncLists();
  // The title and the link indicator speak the new language at once.
  if (IsOffline()) ShowTitle();
  if (linkIndicator_ != nullptr && link_ != nullptr) linkIndicator_->Show(link_->Status());
  if (changes_) changes_->ApplyTexts();
  update();
}

void OrvDlg::RefillPortSwitchList() {
  portSwitchList_->ResetContent();
  for (const TextItem& item : PortSwitchListItems()) {
    const int i = portSwitchList_->List()->AddString(QString::fromStdString(item.text));
    portSwitchList_->List()->SetItemData(i, static_cast<uint32_t>(item.data));
  }
}

int OrvDlg::PresetGroupOf(const DeviceState& state) {
  const int mode = state.block.PVWMODEINFO.PVWMODE;
  return mode <= 2 ? mode : 0;
}

// --- Title, about ---------------------------------------------------------

void OrvDlg::OnTimer(uint32_t id) {
  if (id == kTitleTimerId) UpdateTitle();
  if (id == kConfirmTimerId) ExpireConfirmations();
}

void OrvDlg::UpdateTitle() {
  titleShowsName_ = !titleShowsName_;
  ShowTitle();
}

void OrvDlg::ShowTitle() {
  const QString title =
      titleShowsName_ ? QStringLiteral("Q20 VideoProcessor") : QString::fromStdString(projectPath_);
  setWindowTitle(IsOffline() ? AppTextOf(AppText::kOfflineTitle).arg(title) : title);
}

void OrvDlg::ShowAbout() {
  ShowMessageBox(this,
                 QStringLiteral("Q20 VideoProcessor\nControl panel for LED-wall video processors"),
                 QString::fromStdString(GetRawText("IDD100_Title")));
}

void OrvDlg::contextMenuEvent(QContextMenuEvent* event) {
  // The window's system menu: the About item (command 16).
  QMenu menu(this);
  QAction* about = menu.addAction(QStringLiteral("About"));
  if (menu.exec(event->globalPos()) == about) ShowAbout();
}

void OrvDlg::mousePressEvent(QMouseEvent* event) {
  // The top 20 pixels of the "Loop-Out" box open the misc page.
  const QRect caption(loopOutGroup_->x(), loopOutGroup_->y(), loopOutGroup_->width(), 20);
  if (event->button() == Qt::LeftButton && caption.contains(event->position().toPoint())) {
    loopOutPressed_ = true;
    loopOutGroup_->SetCaptionColor(skin::kText);
    ShowPageByIndex(9, false);
    return;
  }
  if (event->button() == Qt::LeftButton && SelectInputSlot(event->position().toPoint())) return;
  QWidget::mousePressEvent(event);
}

void OrvDlg::mouseReleaseEvent(QMouseEvent* event) {
  if (loopOutPressed_) {
    loopOutPressed_ = false;
    loopOutGroup_->SetCaptionColor(skin::kOrange);
  }
  QWidget::mouseReleaseEvent(event);
}

// --- Keyboard -------------------------------------------------------------

void OrvDlg::RecallPresetKey(int index) {
  if (index < 0 || index > 9) return;
  currentPreset_ = index;
  bool valid = false;
  int group = 0;
  {
    auto s = State();
    valid = s->PRESET_FLAGS[index] != 0;
    group = PresetGroupOf(*s);
  }
  RefreshPresetButtons(index);
  if (!valid) {
    ShowMessageBox(this, Text(36), QString());
    return;
  }
  RecallPreset(1, index);
  lastPreset_[static_cast<std::size_t>(group)] = index;
}

void OrvDlg::SavePresetKey(int index) {
  if (index < 0 || index > 9) return;
  if (ShowMessageBox(this, Text(37), Text(38), MsgButtons::OkCancel) != kIdOk) return;
  currentPreset_ = index;
  SavePreset(index);
  RefreshPresetButtons(index);
  task_->RefreshPresets();
}

void OrvDlg::SaveProjectKey() {
  OnWait(true, Text(kWaitTextOperation));
  SendMsg(this, UM_PROJECT_FILE, kProjectSave, 0, QString::fromStdString(projectPath_));
}

bool OrvDlg::PreTranslateKey(QKeyEvent* event) {
  if (IsEnterOrEscapeDown(event)) return true;
  if (waitBox_ != nullptr && waitBox_->Shown()) return false;
  if (event->type() == QEvent::KeyPress && event->key() == Qt::Key_S && !event->isAutoRepeat()) {
    sKeyHeld_ = true;
    return false;
  }
  if (!IsKeyUp(event) || event->isAutoRepeat()) return false;
  if (event->key() == Qt::Key_S) {
    const bool ctrl = event->modifiers().testFlag(Qt::ControlModifier);
    sKeyHeld_ = false;
    if (ctrl) {
      SaveProjectKey();
      return true;
    }
    return false;
  }
  const int digit = DigitOf(event);
  if (digit < 0) return false;
  if (event->modifiers().testFlag(Qt::ControlModifier)) {
    RecallPresetKey(digit);
    return true;
  }
  if (sKeyHeld_) {
    SavePresetKey(digit);
    return true;
  }
  return false;
}

void OrvDlg::keyPressEvent(QKeyEvent* event) {
  if (PreTranslateKey(event)) {
    event->accept();
    return;
  }
  QWidget::keyPressEvent(event);
}

void OrvDlg::keyReleaseEvent(QKeyEvent* event) {
  if (PreTranslateKey(event)) {
    event->accept();
    return;
  }
  QWidget::keyReleaseEvent(event);
}

// --- Close ----------------------------------------------------------------

bool OrvDlg::CloseDown() {
  if (closedDown_) return true;
  closedDown_ = true;
  KillTimer(kTitleTimerId);
  // Closing the links below is no loss to reconnect from.
  link_.reset();
  logo_->ShowPage(false);
  serialWatcher_.reset();
  // No reply may write into the record while it is saved or reach a page
  // being torn down: the links are closed and the reply thread is joined.
  if (options_.library != nullptr) options_.library->CloseAll();
  if (options_.stopLibrary) options_.stopLibrary();
  // The built-in processor of offline mode goes with the panel.
  offline_.reset();
  if (&GetReplySink() == this) SetReplySink(nullptr);
  // The target may move (the project's folder was removed meanwhile, the
  // disk refused it): the settings file names whatever file was written, so
  // that the next start loads these settings.
  std::string target = projectPath_;
  EnsureProjectPath(target);
  const std::optional<std::string> written = SaveProjectTo(target, projectPath_);
  WriteProfileString("Project", "FilePath", written.value_or(projectPath_), settingsPath_);
  return written == projectPath_;
}

void OrvDlg::CloseUnattended() {
  unattended_ = true;
  close();
  if (!closedDown_) CloseDown();
}

void OrvDlg::closeEvent(QCloseEvent* event) {
  CloseDown();
  event->accept();
}

}  // namespace orv
