#include "WriteOutcomeLine.h"

#include <QPainter>

#include "CommandEncoder.h"
#include "ControlId.h"
#include "PageWidgets.h"
#include "Skin.h"

namespace orv {

namespace {

struct Phrase {
  const char* key;
  const char* english;
};

QString TextOf(const Phrase& phrase) {
  return KeyedQText(phrase.key, phrase.english);
}

// What the operator calls the setting a command changes.
struct CommandName {
  uint16_t type;
  Phrase name;
};

constexpr CommandName kCommandNames[] = {
    {PRESET, {"APP_CmdPreset", "Preset"}},
    {SET_OUTPUT_TIMING, {"APP_CmdOutputTiming", "Output timing"}},
    {SET_PICTURE, {"APP_CmdPicture", "Picture settings"}},
    {SET_LAYER_WINDOW, {"APP_CmdLayerWindow", "Layer window"}},
    {SET_CROP, {"APP_CmdCrop", "Crop"}},
    {SET_MOSAIC, {"APP_CmdMosaic", "Mosaic"}},
    {SET_LAYER_INPUT, {"APP_CmdLayerInput", "Layer input"}},
    {SET_LAYER_ONOFF, {"APP_CmdLayerOnOff", "Layer on/off"}},
    {SET_LOGO, {"APP_CmdLogo", "Logo"}},
    {SET_EDID, {"APP_CmdEdid", "EDID"}},
    {SET_KEYER, {"APP_CmdKeyer", "Keyer"}},
    {SET_TEST_PATTERN, {"APP_CmdTestPattern", "Test pattern"}},
    {SET_PIXEL_GRAB, {"APP_CmdPixelGrab", "Pixel grab"}},
    {SET_VGA_ADJUST, {"APP_CmdVgaAdjust", "VGA adjustment"}},
    {SET_PVW_MODE, {"APP_CmdPvwMode", "Preview mode"}},
    {SET_TRANSITION_TIME, {"APP_CmdTransition", "Transition time"}},
    {SET_TASK, {"APP_CmdTask", "Time and tasks"}},
    {SET_LOOP_OUT, {"APP_CmdLoopOut", "Loop-out"}},
    {FACTORY_RESET, {"APP_CmdFactoryReset", "Factory reset"}},
    {TAKE, {"APP_CmdTake", "Take"}},
    {SET_SYNC, {"APP_CmdSync", "Sync mode"}},
    {WRITE_ALL, {"APP_CmdWriteAll", "Writing all settings"}},
    {CAPTION_A, {"APP_CmdCaption", "Caption"}},
    {CAPTION_B, {"APP_CmdCaption", "Caption"}},
    {SET_VIDEO_ENCODER, {"APP_CmdEncoder", "Video encoder"}},
    {SIGNAL_SWITCH, {"APP_CmdSignalSwitch", "Signal switch"}},
    {MEDIA, {"APP_CmdMedia", "Media player"}},
    {SET_FEATHER, {"APP_CmdFeather", "Feathering"}},
    {FREEZE, {"APP_CmdFreeze", "Freeze"}},
};
constexpr Phrase kOtherCommand = {"APP_CmdOther", "Command %1"};

// Indexed by RefusalReason.
constexpr Phrase kReasons[] = {
    {"", ""},
    {"APP_WhyPixelBudget", "over its pixel budget"},
    {"APP_WhyOutOfRange", "a value outside its range"},
    {"APP_WhyNoBoard", "it has no expansion board for it"},
    {"APP_WhyEmptyPreset", "the preset holds nothing"},
    {"APP_WhyOrdered", "refused on order of its control line"},
};

constexpr Phrase kRefused = {"APP_WriteRefused", "%1 refused by the processor"};
constexpr Phrase kRefusedWhy = {"APP_WriteRefusedWhy", "%1 refused by the processor: %2"};
constexpr Phrase kDisagreed = {"APP_WriteDisagreed",
                               "%1: the processor keeps other values; the panel shows them"};
constexpr Phrase kUnconfirmed = {"APP_WriteUnconfirmed",
                                 "%1 not confirmed by the processor; reading it back"};

QString NameOf(uint16_t type) {
  for (const CommandName& row : kCommandNames) {
    if (row.type == type) return TextOf(row.name);
  }
  return TextOf(kOtherCommand).arg(type);
}

}  // namespace

QString WriteOutcomeText(const WriteOutcome& outcome) {
  const QString name = NameOf(outcome.type);
  switch (outcome.verdict) {
    case WriteVerdict::Confirmed:
      return {};
    case WriteVerdict::Refused: {
      const auto why = static_cast<std::size_t>(outcome.reason);
      if (why == 0 || why >= std::size(kReasons)) return TextOf(kRefused).arg(name);
      return TextOf(kRefusedWhy).arg(name, TextOf(kReasons[why]));
    }
    case WriteVerdict::Disagreed:
      return TextOf(kDisagreed).arg(name);
    case WriteVerdict::Unconfirmed:
      return TextOf(kUnconfirmed).arg(name);
  }
  return {};
}

WriteOutcomeLine::WriteOutcomeLine(QWidget* parent) : QWidget(parent) {
  SetControlId(this, kControlId);
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void WriteOutcomeLine::Show(const WriteOutcome& outcome) {
  if (outcome.verdict == WriteVerdict::Confirmed) return;
  shown_ = outcome;
  at_ = QTime::currentTime();
  setToolTip(Text());
  update();
}

// The time tells an operator whether the line is about the last action.
QString WriteOutcomeLine::Text() const {
  if (!shown_) return {};
  return at_.toString(QStringLiteral("HH:mm:ss  ")) + WriteOutcomeText(*shown_);
}

void WriteOutcomeLine::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), skin::kPageBack);
  const QString text = Text();
  if (text.isEmpty()) return;
  p.setPen(skin::kOrange);
  p.drawRect(rect().adjusted(0, 0, -1, -1));
  p.setFont(skin::ControlFont());
  const QRect textRect = rect().adjusted(6, 0, -4, 0);
  p.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft,
             p.fontMetrics().elidedText(text, Qt::ElideRight, textRect.width()));
}

}  // namespace orv
