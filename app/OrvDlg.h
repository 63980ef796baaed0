#pragma once
// The main window: the page column on the left, the main page on the right,
// the control strip around them, and the hub through which pages talk to each
// other (numbered messages) and through which the reply decoders ask for
// refreshes (ReplySink). It owns every page as a child window.
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QFont>
#include <QImage>
#include <QPointer>
#include <QWidget>

#include "InputStrip.h"
#include "Keys.h"
#include "Messages.h"
#include "PresetNames.h"
#include "RefreshTable.h"
#include "ReplySink.h"
#include "Timers.h"
#include "WindowLayout.h"

namespace orv {

class CDropButton;
class CGdipButton;
class ChangesControl;
class CMyEdit;
class CSxGroupBox;
class CommLibrary;
class ConfirmationTracker;
struct DeviceState;
class LinkIndicator;
class LinkSupervisor;
struct LinkStatus;
struct LinkTarget;
class MBaseDialog;
class MConnectDlg;
class MCropDlg;
class MEdidDlg;
class MKeyerDlg;
class MLogoDlg;
class MMainDlg;
class MMediaPlayerDlg;
class MMiscDlg;
class ProjectReview;
class MMosaicDlg;
class MOutputDlg;
class MPIPDlg;
class MPicSettingDlg;
class MSearchMachineDlg;
class MSubTitleDlg;
class MSwitcherDlg;
class MTaskDlg;
class MTstPatternDlg;
class MVgaDlg;
class MVideoSettingDlg;
class OfflineProcessor;
class Orv_FeatherDlg;
class SerialPortWatcher;
class ShowControlAdapter;
class WaitBox;
class WriteOutcomeLine;
struct MachineReport;
struct WriteOutcome;

class OrvDlg : public QWidget,
               public MessageTarget,
               public TimerClient,
               public KeyPreTranslator,
               public ReplySink {
  Q_OBJECT
 public:
  static constexpr int kTemplateId = 102;
  static constexpr uint32_t kTitleTimerId = 43680;
  static constexpr int kTitleTimerMs = 5000;
  // Settles the writes the processor left unanswered.
  static constexpr uint32_t kConfirmTimerId = 43681;
  static constexpr int kConfirmTimerMs = 100;

  struct Options {
    // The library every send goes to; the main window registers the reply
    // functions with it. Null: no device traffic (the record stays as loaded).
    CommLibrary* library = nullptr;
    // Stops the library's reply thread and waits for it; run at close before
    // the project is saved and before any page is destroyed.
    std::function<void()> stopLibrary;
    // The local IPv4 addresses the search window offers; empty = the system's.
    std::function<std::vector<std::string>()> localAddresses;
    // Polls the serial ports for adapters plugged in or out.
    bool watchSerialPorts = true;
  };

  explicit OrvDlg(Options options, QWidget* parent = nullptr);
  ~OrvDlg() override;

  // The dialog initialisation: geometry, pages, controls, decoders, texts,
  // presets and remarks, the project of the last run, the title timer.
  void Initialise();

  // Shows page `index` 0..10; with `toggle`, choosing the shown page hides it.
  void ShowPageByIndex(int index, bool toggle);
  int CurrentPage() const { return currentPage_; }
  MBaseDialog* ColumnPage(int index) const;
  CGdipButton* PageButton(int index) const;

  // Close order: logo page hidden, links closed and the library stopped,
  // the project saved, [Project] FilePath set to the file written. Returns
  // whether the project was saved where it belongs.
  bool CloseDown();
  bool ClosedDown() const { return closedDown_; }
  // Asked to end from outside the window (a signal, the desktop session
  // ending): the same close as the close button's, but nobody may be there
  // to answer a message box, so its notes go to the standard error.
  void CloseUnattended();

  // The operator's preset keys, as the keyboard handler runs them.
  void RecallPresetKey(int index);
  void SavePresetKey(int index);
  void SaveProjectKey();

  const std::string& ProjectPath() const { return projectPath_; }
  WaitBox& Wait() const { return *waitBox_; }
  bool ContentEnabled() const;
  int CurrentPreset() const { return currentPreset_; }
  int CurrentLayer() const { return currentLayer_; }
  // The connection lamp and the main page's cells hold these states.
  bool ConnectionIndicator() const;
  bool LayersLocked() const;
  const PresetNames& Presets() const { return presets_; }
  const strip::InputStrip& Strip() const { return inputStrip_; }
  bool PresetsMode() const { return presetsMode_; }
  CGdipButton* Button(int controlId) const;

  // The link watch of every connect, and its indicator; null without a library.
  LinkSupervisor* Link() const { return link_.get(); }
  LinkIndicator* LinkState() const { return linkIndicator_; }
  // The processor's confirmation of every write (outcomes: AddOutcomeObserver)
  // and the line that tells the operator what it did not confirm.
  ConfirmationTracker* Confirmations() const { return confirmations_.get(); }
  WriteOutcomeLine* OutcomeLine() const { return outcomeLine_; }

  // Offline mode (OrvDlgOffline.cpp): starts the built-in virtual processor
  // for this panel alone, holding the project `projectFile` (opened first),
  // else the current configuration, else the factory image, and connects
  // it as a processor. The connect button of the connection page runs it.
  bool WorkOffline(const std::string& projectFile = {});
  // The built-in processor; null before the first offline session.
  const OfflineProcessor* Offline() const { return offline_.get(); }
  bool IsOffline() const;
  // The undo history, its changes list and keys (OrvDlgChanges.cpp).
  ChangesControl* Changes() const { return changes_.get(); }

  MMainDlg* MainPage() const { return main_; }
  MConnectDlg* ConnectPage() const { return connect_; }
  MSearchMachineDlg* SearchWindow() const { return search_; }
  MTstPatternDlg* TestPatternPage() const { return testPattern_; }
  MMiscDlg* MiscPage() const { return misc_; }
  // "Set Data To Machine" with its review (ProjectReview.h).
  ProjectReview* Review() const { return review_.get(); }
  MKeyerDlg* KeyerPage() const { return keyer_; }
  MTaskDlg* TaskPage() const { return task_; }
  MSubTitleDlg* CaptionPage() const { return caption_; }
  MVideoSettingDlg* VideoSettingsPage() const { return videoSettings_; }
  MMediaPlayerDlg* MediaPlayerPage() const { return mediaPlayer_; }
  Orv_FeatherDlg* FeatherPage() const { return feather_; }
  MLogoDlg* LogoPage() const { return logo_; }
  MOutputDlg* OutputPage() const { return output_; }

  // Runs refresh steps now, on the user-interface thread (the dispatcher
  // queues them here in arrival order).
  void RunRefreshSteps(std::span<const RefreshStep> steps, int arg, const MachineReport* report);

  // MessageTarget
  intptr_t OnMessage(const Message& message) override;
  // KeyPreTranslator: key-ups of every page arrive here.
  bool PreTranslateKey(QKeyEvent* event) override;

  // ReplySink (reply thread): each call is handed to the user-interface
  // thread in arrival order; values the next reply would overwrite are
  // captured here first.
  void RefreshAfterReply(int type, int arg) override;
  void BusyOn(int waitText) override;
  void BusyOff() override;
  void EdidApplyResult() override;
  void VgaAdjustResult() override;
  void CaptionChunkAcknowledged() override;
  void EnableCaptionPage() override;
  void CaptionUploadStart(bool ok) override;
  void RefreshVideoSettings() override;
  void BoardRefresh() override;
  void FeedVideoPacket(int channel, std::span<const uint8_t> bytes) override;

 protected:
  void OnTimer(uint32_t id) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  // Construction of the window's parts.
  void CreatePages();
  void CreateControls();
  void CreatePageButtons();
  void CreateStripButtons();
  void CreateBottomRow();
  void CreateGroupsAndLists();
  CGdipButton* AddButton(int id, int image, int altImage, const QRect& rect);
  void RecordBottomRow();

  // Layout and painting.
  void Relayout();
  void PlaceBottomRow();
  // The band under the canvas, from which of its buttons are shown.
  void PlaceStripRow();
  void PlaceSubPages(bool afterMove);
  void PaintPresetNames(QPainter& p);
  QRect PresetNameArea(int index) const;

  // The control strip's own operations.
  void LayoutInputStrip();
  void RelayoutInputStrip();
  void RedrawSlot(int slot);
  bool SelectInputSlot(QPoint point);
  bool BeginRenameAt(QPoint point);
  void OnLayerButton(int layer, bool program);
  void OnSignalSwitch();
  void OnTake();
  void OnLoad();
  void OnSave();
  void SetPresetsMode(bool presets);
  void FrameLoopOutSlot(int slot);

  // Messages.
  void OnPageClosed();
  void OnPageRequest(intptr_t subCode, intptr_t arg, const QVariant& payload);
  void EnableKeyer(bool on);
  void EnableTestPattern(bool on);
  void OnLayerInput(int layer, bool send);
  void OnLayerWindow(intptr_t what, int layer);
  void OnWait(bool show, const QString& text);
  void OnLanguage(intptr_t which);
  void OnProjectFile(intptr_t what, const QString& path);
  void OnLockLayers(bool lock);
  void OnEditKey(int key);
  void OnListSelect(int listId, int index);
  void ShowHideWindow(MBaseDialog* page, intptr_t arg);
  void ShowMiscTab(int tab, bool show);

  void ApplyTexts();
  void RefillSyncLists();
  void RefillPortSwitchList();
  // The preset group shown under the buttons: PVWMODE, values above 2 as 0.
  static int PresetGroupOf(const DeviceState& state);
  void ApplyModeEnabling();
  // Sub-code 0x5AA: layer k's cell and layer buttons follow its on/off state.
  void ShowPipCell(int layer);
  // Preset buttons from PRESET_FLAGS; `highlight` gets the selected background.
  void RefreshPresetButtons(int highlight);
  void SetOnlineIndicator(bool on);
  void SetSwitchState(bool on);
  // Saves the configuration to `path`; on failure to a dated file instead.
  // Returns the file written (nullopt: none). The operator is told when it
  // is not `expected`, the file they think holds the project.
  std::optional<std::string> SaveProjectTo(const std::string& path, const std::string& expected);
  // A note for the operator: a message box, or the standard error while
  // closing unattended.
  void Tell(const QString& text);
  void OnWaitTimedOut();

  // The link watch (OrvDlgLink.cpp).
  void StartLinkWatch();
  void OnLinkStatus(const LinkStatus& status);
  void ResyncLink(const LinkTarget& target);
  void OnCommandRefused();
  void ForgetUndoOnAnotherProcessor(const LinkTarget& target);
  void UpdateTitle();
  // The title for the shown half of the title timer's alternation.
  void ShowTitle();
  // The built-in processor goes as soon as the link is anything else.
  void FollowLinkOffline(const LinkStatus& status);
  void StopOffline();
  void LeaveConnectedProcessor();
  void ShowAbout();

  // Confirmations of writes (OrvDlgConfirm.cpp).
  void StartConfirmations();
  void StopConfirmations();
  void OnWriteOutcome(const WriteOutcome& outcome);
  void ExpireConfirmations();
  // The undo history (OrvDlgChanges.cpp).
  void StartChanges();
  void PlaceChanges();
  void RefreshAfterUndo(uint16_t command, int reportType, int arg);

  // Refresh dispatch.
  void RunStep(RefreshStep step, int arg, const MachineReport* report);
  void QueueSteps(std::span<const RefreshStep> steps, int arg);

  Options options_;
  std::string settingsPath_;
  double scale_ = 1.0;

  QFont bold12_;
  QFont bold15Down_;
  QImage background_;
  QImage appImage_;

  QWidget* content_ = nullptr;  // every control and page; disabled while waiting

  MMainDlg* main_ = nullptr;
  MPicSettingDlg* picture_ = nullptr;
  MOutputDlg* output_ = nullptr;
  MCropDlg* crop_ = nullptr;
  MMosaicDlg* mosaic_ = nullptr;
  MPIPDlg* pip_ = nullptr;
  MLogoDlg* logo_ = nullptr;
  MKeyerDlg* keyer_ = nullptr;
  MEdidDlg* edid_ = nullptr;
  MVgaDlg* vga_ = nullptr;
  MTstPatternDlg* testPattern_ = nullptr;
  MTaskDlg* task_ = nullptr;
  MMiscDlg* misc_ = nullptr;
  MSwitcherDlg* switcher_ = nullptr;
  MSubTitleDlg* caption_ = nullptr;
  MVideoSettingDlg* videoSettings_ = nullptr;
  MMediaPlayerDlg* mediaPlayer_ = nullptr;
  MConnectDlg* connect_ = nullptr;
  MSearchMachineDlg* search_ = nullptr;
  Orv_FeatherDlg* feather_ = nullptr;
  std::unique_ptr<WaitBox> waitBox_;
  std::unique_ptr<SerialPortWatcher> serialWatcher_;
  std::unique_ptr<ShowControlAdapter> showControl_;  // the remote-control server, [Remote]
  std::unique_ptr<LinkSupervisor> link_;
  std::unique_ptr<ProjectReview> review_;
  std::unique_ptr<OfflineProcessor> offline_;
  std::unique_ptr<ChangesControl> changes_;
  LinkIndicator* linkIndicator_ = nullptr;
  bool linkLostShown_ = false;
  std::string undoProcessor_;  // the processor the undo steps were taken from
  std::unique_ptr<ConfirmationTracker> confirmations_;
  WriteOutcomeLine* outcomeLine_ = nullptr;
  int outcomeObserver_ = 0;

  std::array<MBaseDialog*, layout::kPageCount> columnPages_{};
  std::array<CGdipButton*, layout::kPageCount> pageButtons_{};
  std::array<CGdipButton*, 10> presetButtons_{};
  std::array<CGdipButton*, 4> pgmButtons_{};
  std::array<CGdipButton*, 4> pvwButtons_{};
  std::array<CGdipButton*, 4> topButtons_{};
  std::vector<CGdipButton*> buttons_;
  CSxGroupBox* loopOutGroup_ = nullptr;
  CSxGroupBox* syncGroup_ = nullptr;
  CSxGroupBox* portSwitchGroup_ = nullptr;
  CDropButton* syncLockList_ = nullptr;
  CDropButton* syncModeList_ = nullptr;
  CDropButton* portSwitchList_ = nullptr;
  CMyEdit* renameEdit_ = nullptr;
  std::vector<std::pair<QWidget*, layout::EdgeAnchor>> bottomRow_;

  int currentPage_ = -1;
  int currentPreset_ = -1;
  int currentLayer_ = 0;
  std::array<int, 3> lastPreset_{};
  int lastTemplate_ = 0;
  bool presetsMode_ = true;
  bool switchState_ = false;
  bool loopOutPressed_ = false;
  bool sKeyHeld_ = false;
  bool titleShowsName_ = false;
  bool initialised_ = false;
  bool closedDown_ = false;
  bool unattended_ = false;
  bool sizing_ = false;
  QRect lastFrame_;
  std::string projectPath_;
  PresetNames presets_;
  InputRemarks remarks_;
  RenameSession rename_;
  strip::InputStrip inputStrip_;
};

}  // namespace orv
