#include "ChangeWords.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <iterator>
#include <vector>

#include "CommandEncoder.h"
#include "DeviceState.h"

namespace orv {

namespace {

using L = WordsLanguage;

struct Both {
  const char* english;
  const char* chinese;
  const char* In(L language) const { return language == L::Chinese ? chinese : english; }
};

// The pattern with its one "%ld" replaced by the number.
std::string Format(const char* pattern, long a) {
  std::string text = pattern;
  const auto at = text.find("%ld");
  if (at != std::string::npos) text.replace(at, 3, std::to_string(a));
  return text;
}

std::string Rect(long x, long y, long w, long h) {
  char text[64];
  std::snprintf(text, sizeof text, "%ld,%ld %ldx%ld", x, y, w, h);
  return text;
}

std::string Hundredths(long value) {
  char text[32];
  if (value % 100 == 0) {
    std::snprintf(text, sizeof text, "%ld", value / 100);
  } else {
    std::snprintf(text, sizeof text, "%ld.%02ld", value / 100, value % 100);
  }
  return text;
}

const std::string& Trimmed(std::string& text) {
  const auto first = text.find_first_not_of(' ');
  const auto last = text.find_last_not_of(' ');
  text = first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
  return text;
}

constexpr Both kOn{"on", "开"};
constexpr Both kOff{"off", "关"};

std::string OnOff(long value, L language) {
  return (value != 0 ? kOn : kOff).In(language);
}

std::string LayerName(int layer, L language) {
  if (layer == 0) return Both{"Main", "主画面"}.In(language);
  return "PIP-" + std::to_string(std::clamp(layer, 1, 3));
}

std::string InputName(const DeviceState& layout, int code) {
  if (!DeviceState::ValidInputCode(code)) return "?";
  std::string name = layout.INPUT_TABLE[static_cast<std::size_t>(code)].name;
  return Trimmed(name);
}

// One value of a list of named values: shown only when it changed, so that
// a slider move reads "brightness 50 → 60" and not every value of the page.
struct Named {
  Both name;
  long before;
  long after;
};

void DifferingValues(std::initializer_list<Named> values, L language, ChangeText& text) {
  std::vector<const Named*> changed;
  for (const Named& v : values) {
    if (v.before != v.after) changed.push_back(&v);
  }
  if (changed.empty() && values.size() > 0) changed.push_back(values.begin());
  // One value: "brightness" joins the subject, the sides are numbers.
  if (changed.size() == 1) {
    text.subject += std::string(" ") + changed[0]->name.In(language);
    text.before = std::to_string(changed[0]->before);
    text.after = std::to_string(changed[0]->after);
    return;
  }
  for (const Named* v : changed) {
    const std::string name = std::string(v->name.In(language)) + " ";
    text.before += (text.before.empty() ? "" : ", ") + name + std::to_string(v->before);
    text.after += (text.after.empty() ? "" : ", ") + name + std::to_string(v->after);
  }
}

struct Context {
  const SentCommand& sent;
  const FieldValues& before;
  const FieldValues& after;
  L language;
  const DeviceState& s;
  int Arg(int k) const { return sent.args[static_cast<std::size_t>(k)]; }
  int Layer() const { return std::clamp(Arg(0), 0, kLayers - 1); }
};

// Reads a value from before and after into one Named.
template <class T>
Named Pair(const Context& c, Both name, const T& field) {
  return {name, static_cast<long>(c.before.Get(field)), static_cast<long>(c.after.Get(field))};
}

template <class Fn>
void BothSides(const Context& c, ChangeText& text, Fn valueOf) {
  text.before = valueOf(c.before);
  text.after = valueOf(c.after);
}

void OutputTiming(const Context& c, ChangeText& text) {
  text.subject = Both{"Output", "输出"}.In(c.language);
  const OutputReso& o = c.s.block.OUTPUTRESO;
  BothSides(c, text, [&](const FieldValues& v) {
    return std::to_string(v.Get(o.HRESO)) + "x" + std::to_string(v.Get(o.VRESO)) + " " +
           Hundredths(v.Get(o.FPS)) + " Hz";
  });
}

void Picture(const Context& c, ChangeText& text) {
  const int layer = c.Layer();
  text.subject = LayerName(layer, c.language) + Both{" picture", " 图像"}.In(c.language);
  const PicSet& p = c.s.block.PICSET[GroupLayerIndex(InputGroupOfLayer(c.s, layer), layer)];
  const PicCommSett& common = c.s.block.PICCOMMSETT;
  const float gammaBefore = c.before.Get(common.GAMMA);
  const float gammaAfter = c.after.Get(common.GAMMA);
  DifferingValues({Pair(c, {"brightness", "亮度"}, p.BRIGHTNESS),
                   Pair(c, {"contrast", "对比度"}, p.CONTRAST),
                   Pair(c, {"saturation", "饱和度"}, p.SATURATION),
                   Pair(c, {"hue", "色调"}, p.HUE),
                   Pair(c, {"sharpness", "锐度"}, p.SHARPNESS),
                   Pair(c, {"colour temperature", "色温"}, p.COLORTEMP),
                   Pair(c, {"red", "红"}, p.COLORRED),
                   Pair(c, {"green", "绿"}, p.COLORGREEN),
                   Pair(c, {"blue", "蓝"}, p.COLORBLUE),
                   Pair(c, {"mode", "模式"}, common.PICMODE),
                   Pair(c, {"level", "亮度等级"}, common.BRIGHTLEVEL),
                   {{"gamma x10", "伽马 x10"},
                    static_cast<long>(gammaBefore * 10.0F + 0.5F),
                    static_cast<long>(gammaAfter * 10.0F + 0.5F)}},
                  c.language, text);
}

void LayerWindow(const Context& c, ChangeText& text) {
  const ChannelData& ch = c.s.block.CHNLDATA[c.Layer()];
  text.subject = LayerName(c.Layer(), c.language) + Both{" window", " 窗口"}.In(c.language);
  BothSides(c, text, [&](const FieldValues& v) {
    return Rect(v.Get(ch.HPOS), v.Get(ch.VPOS), v.Get(ch.HACT), v.Get(ch.VACT));
  });
}

void CropWindow(const Context& c, ChangeText& text) {
  const int layer = c.Layer();
  const Crop& crop = c.s.block.CROP[GroupLayerIndex(InputGroupOfLayer(c.s, layer), layer)];
  text.subject = LayerName(layer, c.language) + Both{" crop", " 裁剪"}.In(c.language);
  BothSides(c, text, [&](const FieldValues& v) {
    if (v.Get(crop.CROPONOFF) == 0) return std::string(kOff.In(c.language));
    return Rect(v.Get(crop.HPOS), v.Get(crop.VPOS), v.Get(crop.HACT), v.Get(crop.VACT));
  });
}

void Mosaic(const Context& c, ChangeText& text) {
  const MosaicSett& m = c.s.block.MOSAICSETT;
  text.subject = Both{"Mosaic", "拼接"}.In(c.language);
  const int cell = std::clamp(c.Arg(0), 0, 3);
  if (c.Arg(1) > 1) {
    text.subject += Format(Both{" area %ld", " 区域 %ld"}.In(c.language), cell + 1);
    BothSides(c, text, [&](const FieldValues& v) {
      return Rect(v.Get(m.HPOS[cell]), v.Get(m.VPOS[cell]), v.Get(m.HACT[cell]),
                  v.Get(m.VACT[cell]));
    });
    return;
  }
  BothSides(c, text, [&](const FieldValues& v) {
    return Format(Both{"mode %ld", "模式 %ld"}.In(c.language), v.Get(m.MOSAICMODE));
  });
}

void LayerInput(const Context& c, ChangeText& text) {
  const ChannelData& ch = c.s.block.CHNLDATA[c.Layer()];
  text.subject = LayerName(c.Layer(), c.language) + Both{" input", " 输入"}.In(c.language);
  BothSides(c, text, [&](const FieldValues& v) { return InputName(c.s, v.Get(ch.CHNLINPUT)); });
}

void LayerOnOff(const Context& c, ChangeText& text) {
  const int layer = std::clamp(c.Arg(0) + 1, 0, kLayers - 1);
  const ChannelData& ch = c.s.block.CHNLDATA[layer];
  text.subject = LayerName(layer, c.language);
  const bool alphaChanged = c.before.Get(ch.CHNLALPHA) != c.after.Get(ch.CHNLALPHA);
  BothSides(c, text, [&](const FieldValues& v) {
    std::string words = OnOff(v.Get(ch.CHNLONOFF), c.language);
    if (alphaChanged) {
      words += Format(Both{", alpha %ld", "，透明度 %ld"}.In(c.language), v.Get(ch.CHNLALPHA));
    }
    return words;
  });
}

void Logo(const Context& c, ChangeText& text) {
  const LogoInfo& logo = c.s.block.LOGOINFO;
  text.subject = Both{"Logo", "台标"}.In(c.language);
  switch (c.Arg(0)) {
    case 1:
    case 3: {
      const int k = std::clamp(
          c.Arg(0) == 1 ? static_cast<int>(logo.LOGOCURID) : static_cast<int>(c.s.LOGO_EDIT_ID), 0,
          3);
      const bool host = c.Arg(0) == 3 || logo.LOGOUSAGE == 0;
      text.subject += Format(Both{" %ld placement", " %ld 位置"}.In(c.language), k + 1);
      BothSides(c, text, [&](const FieldValues& v) {
        if (host) {
          return Rect(v.Get(c.s.LOGO_HOSTPOS[0][k]), v.Get(c.s.LOGO_HOSTPOS[1][k]),
                      v.Get(c.s.LOGO_HOSTPOS[2][k]), v.Get(c.s.LOGO_HOSTPOS[3][k]));
        }
        return Rect(v.Get(logo.HPOS[k]), v.Get(logo.VPOS[k]), v.Get(logo.HACT[k]),
                    v.Get(logo.VACT[k]));
      });
      return;
    }
    case 4:
      text.subject += Both{" use", " 用途"}.In(c.language);
      BothSides(c, text, [&](const FieldValues& v) {
        return std::string(
            (v.Get(logo.LOGOUSAGE) != 0 ? Both{"logo", "台标"} : Both{"normal", "普通"})
                .In(c.language));
      });
      return;
    case 5:
      BothSides(c, text,
                [&](const FieldValues& v) { return OnOff(v.Get(logo.LOGOONOFF), c.language); });
      return;
    case 6:
      text.subject += Both{" on top", " 置顶"}.In(c.language);
      BothSides(c, text,
                [&](const FieldValues& v) { return OnOff(v.Get(logo.LOGOPOS), c.language); });
      return;
    default:
      text.subject += Both{" border", " 边框"}.In(c.language);
      BothSides(c, text,
                [&](const FieldValues& v) { return OnOff(v.Get(logo.LOGO_OPT), c.language); });
      return;
  }
}

void KeyerValues(const Context& c, ChangeText& text) {
  const int index = c.Arg(31) == 3 ? 0 : 1;
  const Keyer& k = c.s.block.KEYERINFO.KEYER[index];
  text.subject = Format(Both{"Keyer %ld", "抠像 %ld"}.In(c.language), index + 1);
  const bool onOffChanged = c.before.Get(k.KEYERONOFF) != c.after.Get(k.KEYERONOFF);
  if (onOffChanged) {
    BothSides(c, text,
              [&](const FieldValues& v) { return OnOff(v.Get(k.KEYERONOFF), c.language); });
    return;
  }
  DifferingValues(
      {Pair(c, {"mode", "模式"}, k.KEYERMODE), Pair(c, {"red low", "红下限"}, k.KEYERREDL),
       Pair(c, {"red high", "红上限"}, k.KEYERREDH),
       Pair(c, {"green low", "绿下限"}, k.KEYERGREENL),
       Pair(c, {"green high", "绿上限"}, k.KEYERGREENH),
       Pair(c, {"blue low", "蓝下限"}, k.KEYERBLUEL),
       Pair(c, {"blue high", "蓝上限"}, k.KEYERBLUEH),
       Pair(c, {"gain in", "内增益"}, k.KEYERGAININ),
       Pair(c, {"gain out", "外增益"}, k.KEYERGAINOUT),
       Pair(c, {"gain band", "增益带宽"}, k.KEYERGAINBND)},
      c.language, text);
}

void TestPattern(const Context& c, ChangeText& text) {
  text.subject = Both{"Test pattern", "测试图"}.In(c.language);
  BothSides(c, text, [&](const FieldValues& v) {
    const long id = v.Get(c.s.TESTPATTERN_ID);
    return id == 0 ? std::string(kOff.In(c.language)) : std::to_string(id);
  });
}

void VgaAdjustment(const Context& c, ChangeText& text) {
  const VgaAdjust& g = c.s.VGA;
  text.subject = Both{"VGA adjustment", "VGA 调整"}.In(c.language);
  DifferingValues(
      {Pair(c, {"clock", "时钟"}, g.V1), Pair(c, {"phase", "相位"}, g.V2),
       Pair(c, {"h position", "水平位置"}, g.B1), Pair(c, {"v position", "垂直位置"}, g.B2),
       Pair(c, {"red offset", "红偏移"}, g.W1), Pair(c, {"red gain", "红增益"}, g.W2),
       Pair(c, {"green offset", "绿偏移"}, g.W3), Pair(c, {"green gain", "绿增益"}, g.W4),
       Pair(c, {"blue offset", "蓝偏移"}, g.W5), Pair(c, {"blue gain", "蓝增益"}, g.W6)},
      c.language, text);
}

void PreviewMode(const Context& c, ChangeText& text) {
  text.subject = Both{"Switcher", "切换台"}.In(c.language);
  BothSides(c, text, [&](const FieldValues& v) {
    const long mode = v.Get(c.s.block.PVWMODEINFO.PVWMODE);
    return mode == 0 ? std::string(kOff.In(c.language))
                     : Format(Both{"mode %ld", "模式 %ld"}.In(c.language), mode);
  });
}

void TransitionTime(const Context& c, ChangeText& text) {
  static constexpr std::array<const char*, 8> kSeconds = {"0",   "0.1", "0.2", "0.3",
                                                          "0.5", "1",   "2",   "3"};
  text.subject = Both{"Transition", "切换时间"}.In(c.language);
  BothSides(c, text, [&](const FieldValues& v) {
    const long index = v.Get(c.s.block.PVWMODEINFO.PVWDTIME);
    if (index < 0 || index >= static_cast<long>(kSeconds.size())) return std::to_string(index);
    return std::string(kSeconds[static_cast<std::size_t>(index)]) + " s";
  });
}

void TaskValues(const Context& c, ChangeText& text) {
  const TaskeInfo& info = c.s.block.TASKEINFO;
  if (c.Arg(1) == 2) {
    text.subject = Both{"Time tasks", "定时任务"}.In(c.language);
    BothSides(c, text,
              [&](const FieldValues& v) { return OnOff(v.Get(info.TASKSTATUS), c.language); });
    return;
  }
  if (c.Arg(1) != 1) {
    text.subject = Both{"Clock sync", "时钟同步"}.In(c.language);
    return;
  }
  const int k = std::clamp(c.Arg(0), 0, kTasks - 1);
  const Task& t = info.TASK[k];
  text.subject = Format(Both{"Task %ld", "任务 %ld"}.In(c.language), k + 1);
  BothSides(c, text, [&](const FieldValues& v) {
    char when[96];
    std::snprintf(when, sizeof when, "20%02d-%02d-%02d %02d:%02d:%02d P%d", v.Get(t.YEAR) % 100,
                  v.Get(t.MONTH) % 100, v.Get(t.DAY) % 100, v.Get(t.HOUR) % 100, v.Get(t.MIN) % 100,
                  v.Get(t.SEC) % 100, v.Get(t.PRESETID) + 1);
    return std::string(when);
  });
}

void LoopOut(const Context& c, ChangeText& text) {
  text.subject = Both{"Loop out", "环出"}.In(c.language);
  BothSides(c, text, [&](const FieldValues& v) {
    return InputName(c.s, v.Get(c.s.block.LOOPINFO.LOOPOUTIP));
  });
}

void Feathering(const Context& c, ChangeText& text) {
  text.subject = Both{"Feathering", "羽化"}.In(c.language);
  BothSides(c, text, [&](const FieldValues& v) {
    std::string words = OnOff(v.Get(c.s.FEATHER[0]) & 0xFF, c.language);
    for (int k = 1; k < 9; ++k)
      words += (k == 1 ? " " : "/") + std::to_string(v.Get(c.s.FEATHER[k]));
    return words;
  });
}

void PresetCommand(const Context& c, ChangeText& text) {
  const long number = c.Arg(1) + 1;
  text.subject = Format((c.Arg(0) == 2 ? Both{"Preset %ld saved", "保存场景 %ld"}
                                       : Both{"Preset %ld recalled", "调用场景 %ld"})
                            .In(c.language),
                        number);
}

struct Named0 {
  uint16_t type;
  Both words;
};

constexpr Named0 kSubjects[] = {
    {FACTORY_RESET, {"Factory reset", "恢复出厂设置"}},
    {TAKE, {"TAKE", "TAKE"}},
    {WRITE_ALL, {"Set data to machine", "写入设备数据"}},
    {SET_EDID, {"EDID write", "写入 EDID"}},
    {SET_VIDEO_ENCODER, {"Encoder settings", "编码器设置"}},
    {CAPTION_A, {"Caption picture", "字幕图片"}},
    {CAPTION_B, {"Caption settings", "字幕设置"}},
    {SET_SYNC, {"Sync lock", "同步锁定"}},
    {SIGNAL_SWITCH, {"Signal switch", "信号切换"}},
    {MEDIA, {"Media player key", "媒体播放按键"}},
    {FREEZE, {"Freeze", "冻结"}},
};

using Describer = void (*)(const Context&, ChangeText&);

struct Row {
  uint16_t type;
  Describer describe;
};

constexpr Row kRows[] = {
    {PRESET, PresetCommand},
    {SET_OUTPUT_TIMING, OutputTiming},
    {SET_PICTURE, Picture},
    {SET_LAYER_WINDOW, LayerWindow},
    {SET_CROP, CropWindow},
    {SET_MOSAIC, Mosaic},
    {SET_LAYER_INPUT, LayerInput},
    {SET_LAYER_ONOFF, LayerOnOff},
    {SET_LOGO, Logo},
    {SET_KEYER, KeyerValues},
    {SET_TEST_PATTERN, TestPattern},
    {SET_VGA_ADJUST, VgaAdjustment},
    {SET_PVW_MODE, PreviewMode},
    {SET_TRANSITION_TIME, TransitionTime},
    {SET_TASK, TaskValues},
    {SET_LOOP_OUT, LoopOut},
    {SET_FEATHER, Feathering},
};

struct WhyRow {
  Irreversible why;
  Both words;
};

constexpr WhyRow kWhy[] = {
    {Irreversible::None, {"", ""}},
    {Irreversible::PresetSave, {"a stored preset cannot be restored", "已保存的场景无法恢复"}},
    {Irreversible::PresetRecall,
     {"a preset recall replaces every setting at once", "调用场景会一次替换全部设置"}},
    {Irreversible::Take, {"TAKE exchanged program and preview", "TAKE 已交换主输出与预监"}},
    {Irreversible::WriteAll, {"the whole image was written", "已写入全部参数"}},
    {Irreversible::FactoryReset, {"the processor's settings were reset", "处理器的设置已恢复出厂"}},
    {Irreversible::EdidWrite, {"the input's EDID was rewritten", "输入的 EDID 已改写"}},
    {Irreversible::EncoderSettings,
     {"the encoder keeps its settings itself", "编码器的设置由其自身保存"}},
    {Irreversible::CaptionUpload, {"a caption picture was sent or stored", "字幕图片已发送或保存"}},
    {Irreversible::CaptionSettings,
     {"caption settings are not kept by the panel", "面板不保存字幕设置"}},
    {Irreversible::ClockSync, {"the clock cannot be set back", "时钟无法回拨"}},
    {Irreversible::VgaAutomatic,
     {"an automatic adjustment cannot be reversed", "自动调整无法撤销"}},
    {Irreversible::LogoSlotStore,
     {"a stored logo was written or cleared", "已保存的台标被改写或清除"}},
    {Irreversible::PictureReset, {"every picture setting was reset", "全部图像设置已复位"}},
    {Irreversible::MosaicLayout,
     {"a mosaic layout re-arranges windows and crops", "拼接布局会重新排列窗口和裁剪"}},
    {Irreversible::ArgumentsOnly,
     {"the panel does not keep the value before", "面板未保存之前的值"}},
};

}  // namespace

std::string ChangeText::Line() const {
  if (before.empty() && after.empty()) return subject;
  return subject + " " + before + " \xE2\x86\x92 " + after;
}

ChangeText DescribeChange(const SentCommand& sent, const FieldValues& before,
                          const FieldValues& after, WordsLanguage language) {
  ChangeText text;
  const Context context{sent, before, after, language, before.Layout()};
  const auto* row = std::find_if(std::begin(kRows), std::end(kRows),
                                 [&](const Row& r) { return r.type == sent.type; });
  if (row != std::end(kRows)) {
    row->describe(context, text);
    return text;
  }
  const auto* named = std::find_if(std::begin(kSubjects), std::end(kSubjects),
                                   [&](const Named0& r) { return r.type == sent.type; });
  if (named != std::end(kSubjects)) {
    text.subject = named->words.In(language);
    if (sent.type == FREEZE) text.subject += " " + OnOff(sent.args[0], language);
    return text;
  }
  text.subject = Format(Both{"Command %ld", "命令 %ld"}.In(language), sent.type);
  return text;
}

std::string IrreversibleWords(Irreversible why, WordsLanguage language) {
  for (const WhyRow& row : kWhy) {
    if (row.why == why) return row.words.In(language);
  }
  return {};
}

std::string RefusalWords(RefusalReason reason, WordsLanguage language) {
  static constexpr Both kReasons[] = {
      {"no reason given", "未说明原因"},      {"pixel clock budget exceeded", "超出像素时钟上限"},
      {"value out of range", "数值超出范围"}, {"no expansion board", "没有扩展板"},
      {"empty preset", "场景为空"},           {"refused on order", "按指令拒绝"},
  };
  const auto index = static_cast<std::size_t>(reason);
  if (index >= std::size(kReasons))
    return Format(Both{"reason %ld", "原因 %ld"}.In(language), static_cast<long>(index));
  return kReasons[index].In(language);
}

std::string UndoWord(WordsLanguage language) {
  return Both{"undo", "撤销"}.In(language);
}

std::string RedoWord(WordsLanguage language) {
  return Both{"redo", "重做"}.In(language);
}

}  // namespace orv
