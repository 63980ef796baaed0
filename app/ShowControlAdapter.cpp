#include "ShowControlAdapter.h"

#include <cstdio>

#include "CGdipButton.h"
#include "ChangesControl.h"
#include "CommandEncoder.h"
#include "DeviceState.h"
#include "LinkSupervisor.h"
#include "MTaskDlg.h"
#include "MTstPatternDlg.h"
#include "MessageIds.h"
#include "Messages.h"
#include "OrvDlg.h"
#include "PageTable.h"
#include "ReadBack.h"
#include "RemoteSettings.h"
#include "WaitBox.h"
#include "WriteOutcomeEvent.h"
#include "oSliderEdit.h"

namespace orv {

namespace {

using remote::ActionResult;
using remote::Command;
namespace err = remote::error;

ActionResult Refused(std::string detail) {
  return ActionResult::Fail(err::kRefused, std::move(detail));
}

bool Usable(const CGdipButton* b) {
  return b != nullptr && !b->isHidden() && b->isEnabled();
}

// A check button's click as the operator's: the new state, then clicked().
void ClickTo(CGdipButton* b, bool on) {
  b->SetChecked(on);
  b->click();
}

}  // namespace

std::unique_ptr<ShowControlAdapter> ShowControlAdapter::StartFromSettings(
    OrvDlg& window, const std::string& settingsPath) {
  const remote::RemoteSettings settings = remote::ReadRemoteSettings(settingsPath);
  if (!settings.error.empty()) {
    std::fprintf(stderr, "orvpanel: show control off: %s\n", settings.error.c_str());
    return nullptr;
  }
  if (!settings.enabled) return nullptr;
  auto adapter = std::make_unique<ShowControlAdapter>(window, settings.server);
  std::string error;
  if (!adapter->Listen(&error)) {
    std::fprintf(stderr, "orvpanel: show control off: %s\n", error.c_str());
    return nullptr;
  }
  return adapter;
}

ShowControlAdapter::ShowControlAdapter(OrvDlg& window, remote::ServerOptions options)
    : window_(window), server_(std::make_unique<remote::ControlServer>(*this, std::move(options))) {
  poll_.setInterval(kPollMs);
  connect(&poll_, &QTimer::timeout, this, [this] { PublishIfChanged(); });
  sendObserver_ = AddSendObserver([this](const SentCommand& sent) { lastSerial_ = sent.serial; });
  outcomeObserver_ = AddOutcomeObserver([this](const WriteOutcome& outcome) {
    if (outcome.verdict == WriteVerdict::Confirmed) return;
    // After the request that sent it has recorded its serials.
    QMetaObject::invokeMethod(
        this, [this, outcome] { ReportWriteOutcome(outcome); }, Qt::QueuedConnection);
  });
}

ShowControlAdapter::~ShowControlAdapter() {
  RemoveOutcomeObserver(outcomeObserver_);
  RemoveSendObserver(sendObserver_);
  // No request reaches the window once the server's thread is gone; calls
  // still queued here die with this object.
  server_->Stop();
}

bool ShowControlAdapter::Listen(std::string* error) {
  if (!server_->Start(error)) return false;
  PublishIfChanged();
  poll_.start();
  return true;
}

namespace {

// The link watch's phase as show control names it.
std::string LinkWord(LinkPhase phase) {
  struct Row {
    LinkPhase phase;
    const char* word;
  };
  static constexpr Row kWords[] = {
      {LinkPhase::Idle, "none"},     {LinkPhase::Connected, "up"},   {LinkPhase::Probing, "up"},
      {LinkPhase::Lost, "lost"},     {LinkPhase::Reopening, "lost"}, {LinkPhase::Resyncing, "lost"},
      {LinkPhase::Closed, "closed"},
  };
  for (const Row& row : kWords) {
    if (row.phase == phase) return row.word;
  }
  return "none";
}

}  // namespace

remote::ShowState ShowControlAdapter::Snapshot() const {
  remote::ShowState state;
  int group = 0;
  {
    auto s = State();
    state = remote::ReadShowState(*s);
    state.freeze = s->block.FREEZE_STATE != 0;
    const int mode = s->block.PVWMODEINFO.PVWMODE;
    group = mode <= 2 ? mode : 0;
  }
  state.connected = window_.ConnectionIndicator();
  if (const LinkSupervisor* link = window_.Link()) state.link = LinkWord(link->Status().phase);
  for (int i = 0; i < kPresets; ++i)
    state.presets[static_cast<std::size_t>(i)].name = window_.Presets().Name(group, i);
  return state;
}

void ShowControlAdapter::PublishIfChanged() {
  remote::ShowState now = Snapshot();
  if (published_ && *published_ == now) return;
  published_ = now;
  server_->Publish(now);
}

void ShowControlAdapter::Execute(const remote::ShowRequest& request,
                                 std::function<void(ActionResult)> done) {
  QMetaObject::invokeMethod(
      this,
      [this, request, done = std::move(done)] {
        const uint64_t before = lastSerial_;
        ActionResult result = Act(request);
        const uint64_t after = lastSerial_;
        if (after > before) {
          sentBy_.push_back({before + 1, after, request.client, request.id});
          if (sentBy_.size() > kRememberedRequests) sentBy_.pop_front();
        }
        done(std::move(result));
        // Subscribers hear of the change right after the answer.
        PublishIfChanged();
      },
      Qt::QueuedConnection);
}

void ShowControlAdapter::ReportWriteOutcome(const WriteOutcome& outcome) {
  uint64_t client = 0;
  remote::Json id;
  for (const SentBy& request : sentBy_) {
    if (outcome.serial >= request.first && outcome.serial <= request.last) {
      client = request.client;
      id = request.id;
    }
  }
  server_->PublishWriteOutcome(client, remote::WriteOutcomeEvent(outcome, id),
                               remote::WriteOutcomeEvent(outcome, nullptr));
}

ActionResult ShowControlAdapter::Act(const remote::ShowRequest& r) {
  if (r.command == Command::Status) return ActionResult::Ok(Snapshot());
  // After the close the links are down and the project is saved.
  if (window_.ClosedDown()) return ActionResult::Fail(err::kBusy, "the panel is closing");
  // The operator cannot click while the wait box shows; neither can a client.
  if (window_.Wait().Shown())
    return ActionResult::Fail(err::kBusy, "the panel waits for the processor");
  if (!window_.ConnectionIndicator())
    return ActionResult::Fail(err::kNotConnected, "no processor is connected");
  if (window_.Link() != nullptr && window_.Link()->Status().Reconnecting())
    return ActionResult::Fail(err::kNotConnected, "the link to the processor is lost");
  std::optional<ActionResult> failure;
  switch (r.command) {
    case Command::Input:
      failure = InputSwitch(r.layer, r.value);
      break;
    case Command::Window:
      failure = LayerWindow(r);
      break;
    case Command::Layer:
      failure = LayerOnOff(r.layer, r.on);
      break;
    case Command::Take:
      failure = Take();
      break;
    case Command::PresetLoad:
      failure = PresetLoad(r.value);
      break;
    case Command::PresetSave:
      SavePreset(r.value);
      window_.TaskPage()->RefreshPresets();
      break;
    case Command::TemplateLoad:
      RecallPreset(0, r.value);
      break;
    case Command::Freeze:
      failure = Freeze(r.on);
      break;
    case Command::TestPattern:
      failure = TestPattern(r.on, r.value);
      break;
    case Command::Undo:
    case Command::Redo:
      return UndoStep(r.command == Command::Redo);
    default:
      return ActionResult::Fail(err::kUnknownCommand, "not an action");
  }
  if (failure) return *failure;
  return ActionResult::Ok(Snapshot());
}

// The operator's undo and redo; the answer says what was done or why not.
ActionResult ShowControlAdapter::UndoStep(bool redo) {
  ChangesControl* changes = window_.Changes();
  if (changes == nullptr) return ActionResult::Fail(err::kBusy, "the panel keeps no history");
  const StepResult step = redo ? changes->Redo() : changes->Undo();
  const std::string said = step.Message(WordsLanguage::English);
  switch (step.status) {
    case StepResult::Status::Done: {
      ActionResult result = ActionResult::Ok(Snapshot());
      result.done = said;
      return result;
    }
    case StepResult::Status::NotSent:
      return ActionResult::Fail(err::kNotConnected, said);
    default:
      return Refused(said);
  }
}

// The input strip's click, with the layer named by the client.
std::optional<ActionResult> ShowControlAdapter::InputSwitch(int layer, int input) {
  if (window_.TestPatternPage()->PatternActive())
    return ActionResult::Fail(err::kBusy, "a test pattern is on");
  {
    auto s = State();
    if (s->INPUT_TABLE[static_cast<std::size_t>(input)].enabled == 0)
      return ActionResult::Fail(err::kOutOfRange,
                                "input " + std::to_string(input) + " is not present");
    if (s->block.CHNLDATA[layer].CHNLINPUT == input) return std::nullopt;  // nothing to send
    if (s->block.PVWMODEINFO.PVWMODE != 0 && s->block.PVWMODEINFO.PGMSTATE[layer] != 0)
      return Refused("layer " + std::to_string(layer) + " is on program");
    s->block.CHNLDATA[layer].CHNLINPUT = static_cast<uint8_t>(input);
  }
  SendMsg(&window_, UM_LAYER_INPUT, layer, 1);
  window_.update();
  return std::nullopt;
}

// The canvas's move: the record, the command, the cell and the output page.
std::optional<ActionResult> ShowControlAdapter::LayerWindow(const remote::ShowRequest& r) {
  {
    auto s = State();
    ChannelData& ch = s->block.CHNLDATA[r.layer];
    ch.HPOS = r.x;
    ch.VPOS = r.y;
    ch.HACT = r.width;
    ch.VACT = r.height;
  }
  SendCommand(SET_LAYER_WINDOW, r.layer);
  SendMsg(&window_, UM_LAYER_WINDOW, kPlaceLayerWindow, r.layer);
  SendMsg(&window_, UM_LAYER_WINDOW, kSelectOutputLayer, r.layer);
  return std::nullopt;
}

// The layer button the operator would press in this mode: PGM in mode 0,
// PVW in mode 1; mode 2 has none.
std::optional<ActionResult> ShowControlAdapter::LayerOnOff(int layer, bool on) {
  int mode = 0;
  { mode = State()->block.PVWMODEINFO.PVWMODE; }
  const int first = mode == 0 ? strip::kPgmFirst : strip::kPvwFirst;
  CGdipButton* b = mode <= 1 ? window_.Button(first + layer) : nullptr;
  if (!Usable(b)) return Refused("layer " + std::to_string(layer) + " cannot be switched now");
  ClickTo(b, on);
  return std::nullopt;
}

std::optional<ActionResult> ShowControlAdapter::Take() {
  CGdipButton* take = window_.Button(strip::kTake);
  if (!Usable(take)) return Refused("take needs a program/preview mode");
  take->click();
  return std::nullopt;
}

std::optional<ActionResult> ShowControlAdapter::PresetLoad(int number) {
  // The panel would tell the operator in a box; the client gets the reason.
  bool valid = false;
  { valid = State()->PRESET_FLAGS[number] != 0; }
  if (!valid) return Refused("preset " + std::to_string(number + 1) + " is empty");
  window_.RecallPresetKey(number);
  return std::nullopt;
}

std::optional<ActionResult> ShowControlAdapter::Freeze(bool on) {
  CGdipButton* freeze = window_.Button(strip::kFreeze);
  if (!Usable(freeze)) return Refused("freeze cannot be switched now");
  ClickTo(freeze, on);
  return std::nullopt;
}

// The test pattern page's switch, with the pattern in its edit.
std::optional<ActionResult> ShowControlAdapter::TestPattern(bool on, int pattern) {
  MTstPatternDlg* page = window_.TestPatternPage();
  CGdipButton* sw = page->PatternSwitch();
  if (!page->isEnabled() || sw == nullptr || !sw->isEnabled())
    return Refused("test patterns are off in the program/preview modes");
  if (sw->IsChecked()) ClickTo(sw, false);
  if (on) {
    page->PatternEdit()->SetValue(static_cast<float>(pattern));
    ClickTo(sw, true);
  }
  return std::nullopt;
}

}  // namespace orv
