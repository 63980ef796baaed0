#include "ProjectFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <limits>
#include <optional>
#include <type_traits>
#include <vector>

#include "AtomicFile.h"
#include "CodePage.h"
#include "Decoders.h"
#include "DeviceState.h"
#include "Ini.h"
#include "IniLines.h"
#include "ReplySink.h"
#include "StdioFileEx.h"

namespace orv {
namespace {

enum class Width : uint8_t { U8, U16, I32, F32 };

enum class Clamp : uint8_t {
  None,
  Range,      // low..high on the field's own width
  ResoIndex,  // below 0 gives 0, 19 or more gives 17
  AtMost,     // at most total - position, both unsigned 32-bit
  AtLeast,    // low or more
};

// One key line of the file.
struct ProjectKey {
  std::string_view section;
  std::string key;
  uint16_t offset = 0;
  Width width = Width::U8;
  Clamp clamp = Clamp::None;
  int32_t low = 0;
  int32_t high = 0;
  uint16_t totalOffset = 0;     // AtMost: the total ...
  uint16_t positionOffset = 0;  // ... and the position it is reduced by
};

// Appends rows in file order; fields are named by reference into a block so
// that their offsets and widths come from ParamBlock itself.
class LayoutBuilder {
 public:
  explicit LayoutBuilder(std::vector<ProjectKey>& rows) : rows_(rows) {}

  void Section(std::string_view name) { section_ = name; }

  template <class T>
  ProjectKey& Key(std::string key, const T& field) {
    ProjectKey row;
    row.section = section_;
    row.key = std::move(key);
    row.offset = OffsetOf(field);
    row.width = WidthOf<T>();
    rows_.push_back(std::move(row));
    return rows_.back();
  }

  template <class T>
  void Range(std::string key, const T& field, int32_t low, int32_t high) {
    ProjectKey& row = Key(std::move(key), field);
    row.clamp = Clamp::Range;
    row.low = low;
    row.high = high;
  }

  void AtLeast(std::string key, const uint16_t& field, int32_t low) {
    ProjectKey& row = Key(std::move(key), field);
    row.clamp = Clamp::AtLeast;
    row.low = low;
  }

  void AtMost(std::string key, const int32_t& field, const int32_t& total,
              const int32_t& position) {
    ProjectKey& row = Key(std::move(key), field);
    row.clamp = Clamp::AtMost;
    row.totalOffset = OffsetOf(total);
    row.positionOffset = OffsetOf(position);
  }

  const ParamBlock& b() const { return base_; }

 private:
  template <class T>
  uint16_t OffsetOf(const T& field) const {
    return static_cast<uint16_t>(reinterpret_cast<const char*>(&field) -
                                 reinterpret_cast<const char*>(&base_));
  }

  template <class T>
  static constexpr Width WidthOf() {
    if constexpr (std::is_same_v<T, uint8_t>) {
      return Width::U8;
    } else if constexpr (std::is_same_v<T, uint16_t>) {
      return Width::U16;
    } else if constexpr (std::is_same_v<T, int32_t>) {
      return Width::I32;
    } else {
      static_assert(std::is_same_v<T, float>, "fields are u8, u16, i32 or f32");
      return Width::F32;
    }
  }

  std::vector<ProjectKey>& rows_;
  std::string_view section_;
  ParamBlock base_{};
};

std::string K(std::string_view base, int index) {
  return IndexedKey(base, index);
}
std::string K(std::string_view base, int a, int c) {
  return IndexedKey(base, a, c);
}

std::vector<ProjectKey> BuildLayout() {
  std::vector<ProjectKey> rows;
  rows.reserve(1200);
  LayoutBuilder l(rows);
  const ParamBlock& b = l.b();

  const OutputReso& o = b.OUTPUTRESO;
  l.Section("OUTPUTRESO");
  l.Key("RESOINDEX", o.RESOINDEX).clamp = Clamp::ResoIndex;
  l.Range("HRESO", o.HRESO, 640, 4080);
  l.Range("VRESO", o.VRESO, 480, 4080);
  l.Range("FPS", o.FPS, 2300, 12000);
  l.Range("HTOTAL", o.HTOTAL, 680, 4094);
  l.Range("VTOTAL", o.VTOTAL, 492, 4094);
  l.Range("HSYNC", o.HSYNC, 4, 128);
  l.Range("VSYNC", o.VSYNC, 4, 128);
  l.Range("HBP", o.HBP, 4, 512);
  l.Range("VBP", o.VBP, 4, 512);
  l.Key("HPOL", o.HPOL);
  l.Key("VPOL", o.VPOL);

  l.Section("PICCOMMSETT");
  l.Key("PICMODE", b.PICCOMMSETT.PICMODE);
  l.Key("BRIGHTLEVEL", b.PICCOMMSETT.BRIGHTLEVEL);
  l.Key("GAMMA", b.PICCOMMSETT.GAMMA);

  const MosaicSett& m = b.MOSAICSETT;
  l.Section("MOSAICSETT");
  l.Key("MOSAICMODE", m.MOSAICMODE);
  l.Key("MOSAICAUTOARR", m.MOSAICAUTOARR);
  for (int c = 0; c < 4; ++c) {
    l.Key(K("HPOS", c), m.HPOS[c]);
    l.Key(K("VPOS", c), m.VPOS[c]);
    l.AtMost(K("HACT", c), m.HACT[c], m.HTOTAL[c], m.HPOS[c]);
    l.AtMost(K("VACT", c), m.VACT[c], m.VTOTAL[c], m.VPOS[c]);
    l.Key(K("HTOTAL", c), m.HTOTAL[c]);
    l.Key(K("VTOTAL", c), m.VTOTAL[c]);
  }

  l.Section("CHNLDATA");
  for (int layer = 0; layer < kLayers; ++layer) {
    const ChannelData& ch = b.CHNLDATA[layer];
    l.Key(K("CHNLONOFF", layer), ch.CHNLONOFF);
    l.Key(K("CHNLALPHA", layer), ch.CHNLALPHA);
    l.Key(K("CHNLINPUT", layer), ch.CHNLINPUT);
    l.Key(K("HPOS", layer), ch.HPOS);
    l.Key(K("VPOS", layer), ch.VPOS);
    l.Key(K("HACT", layer), ch.HACT);
    l.Key(K("VACT", layer), ch.VACT);
    l.Key(K("CHNLROTATION", layer), ch.CHNLROTATION);
  }

  const InputInfo& in = b.INPUTINFO;
  l.Section("INPUTINFO");
  for (int s = 0; s < kInputGroups; ++s) {
    if (s < kInputSlots) {
      l.Key(K("INPUTSRC", s), in.INPUTSRC[s]);
      l.Key(K("INPUTSTATE", s), in.INPUTSTATE[s]);
      l.Key(K("INPUTRESOHACT", s), in.INPUTRESO[s].INPUTRESOHACT);
      l.Key(K("INPUTRESOVACT", s), in.INPUTRESO[s].INPUTRESOVACT);
      l.Key(K("INPUTRESOFPS", s), in.INPUTRESO[s].INPUTRESOFPS);
      l.Key(K("INPUTRESOILE", s), in.INPUTRESO[s].INPUTRESOILE);
      l.Key(K("INPUTRESOIDX", s), in.INPUTRESO[s].INPUTRESOIDX);
    }
    for (int layer = 0; layer < kLayers; ++layer) {
      const PicSet& p = b.PICSET[GroupLayerIndex(s, layer)];
      l.Key(K("BRIGHTNESS", s, layer), p.BRIGHTNESS);
      l.Key(K("CONTRAST", s, layer), p.CONTRAST);
      l.Key(K("SHARPNESS", s, layer), p.SHARPNESS);
      l.Key(K("SATURATION", s, layer), p.SATURATION);
      l.Key(K("HUE", s, layer), p.HUE);
      l.Key(K("COLORTEMP", s, layer), p.COLORTEMP);
      l.Key(K("COLORRED", s, layer), p.COLORRED);
      l.Key(K("COLORGREEN", s, layer), p.COLORGREEN);
      l.Key(K("COLORBLUE", s, layer), p.COLORBLUE);
      l.Key(K("OPTION", s, layer), p.OPTION);
      const Crop& cr = b.CROP[GroupLayerIndex(s, layer)];
      l.Key(K("CROPONOFF", s, layer), cr.CROPONOFF);
      l.Key(K("HPOS", s, layer), cr.HPOS);
      l.Key(K("VPOS", s, layer), cr.VPOS);
      l.AtLeast(K("HACT", s, layer), cr.HACT, 32);
      l.AtLeast(K("VACT", s, layer), cr.VACT, 32);
      l.Key(K("HTOTAL", s, layer), cr.HTOTAL);
      l.Key(K("VTOTAL", s, layer), cr.VTOTAL);
    }
  }
  l.Key("DPMDE0", b.DPMDE[0]);
  l.Key("DPMDE1", b.DPMDE[1]);

  l.Section("EDIDINFO");
  for (int e = 0; e < kEdidSlots; ++e) {
    const EdidInfo& ed = b.EDIDINFO[e];
    l.Key(K("INPUTSRC", e), ed.INPUTSRC);
    l.Range(K("HACT", e), ed.HACT, 240, 3840);
    l.Range(K("VACT", e), ed.VACT, 240, 3840);
    l.Range(K("FPS", e), ed.FPS, 2000, 12100);
    l.Key(K("HBLANK", e), ed.HBLANK);
    l.Key(K("VBLANK", e), ed.VBLANK);
  }

  l.Section("TASKEINFO");
  l.Key("TASKSTATUS", b.TASKEINFO.TASKSTATUS);
  for (int t = 0; t < kTasks; ++t) {
    const Task& task = b.TASKEINFO.TASK[t];
    l.Key(K("YEAR", t), task.YEAR);
    l.Key(K("MONTH", t), task.MONTH);
    l.Key(K("DAY", t), task.DAY);
    l.Key(K("HOUR", t), task.HOUR);
    l.Key(K("MIN", t), task.MIN);
    l.Key(K("SEC", t), task.SEC);
    l.Key(K("PRESETID", t), task.PRESETID);
    l.Key(K("OPTION", t), task.OPTION);
  }

  const LogoInfo& logo = b.LOGOINFO;
  l.Section("LOGOINFO");
  l.Key("LOGOUSAGE", logo.LOGOUSAGE);
  l.Key("LOGOCURID", logo.LOGOCURID);
  l.Key("LOGOONOFF", logo.LOGOONOFF);
  l.Key("LOGOPOS", logo.LOGOPOS);
  for (int k = 0; k < 4; ++k) {
    l.Key(K("HPOS", k), logo.HPOS[k]);
    l.Key(K("VPOS", k), logo.VPOS[k]);
    l.Key(K("HACT", k), logo.HACT[k]);
    l.Key(K("VACT", k), logo.VACT[k]);
    l.Key(K("LOGOVALID", k), logo.LOGOVALID[k]);
  }

  l.Section("PVWMODEINFO");
  l.Key("PVWMODE", b.PVWMODEINFO.PVWMODE);
  l.Key("PVWDTIME", b.PVWMODEINFO.PVWDTIME);
  for (int layer = 0; layer < kLayers; ++layer) {
    l.Key(K("PGMSTATE", layer), b.PVWMODEINFO.PGMSTATE[layer]);
    l.Key(K("PVWSTATE", layer), b.PVWMODEINFO.PVWSTATE[layer]);
  }

  l.Section("KEYERINFO");
  for (int k = 0; k < 2; ++k) {
    const Keyer& key = b.KEYERINFO.KEYER[k];
    // The second keyer's keys carry the suffix 1; the red high value goes
    // under the red low key, as the second of two lines.
    const std::string suffix = k == 0 ? "" : "1";
    l.Key("KEYERONOFF" + suffix, key.KEYERONOFF);
    l.Key("KEYERMODE" + suffix, key.KEYERMODE);
    l.Key("KEYERREDL" + suffix, key.KEYERREDL);
    l.Key("KEYERREDL" + suffix, key.KEYERREDH);
    l.Key("KEYERGREENL" + suffix, key.KEYERGREENL);
    l.Key("KEYERGREENH" + suffix, key.KEYERGREENH);
    l.Key("KEYERBLUEL" + suffix, key.KEYERBLUEL);
    l.Key("KEYERBLUEH" + suffix, key.KEYERBLUEH);
    l.Key("KEYERGAININ" + suffix, key.KEYERGAININ);
    l.Key("KEYERGAINOUT" + suffix, key.KEYERGAINOUT);
    l.Key("KEYERGAINBND" + suffix, key.KEYERGAINBND);
    l.Key("KEYERCHNL" + suffix, key.KEYERCHNL);
  }

  l.Section("LOOPINFO");
  l.Key("LOOPOUTIP", b.LOOPINFO.LOOPOUTIP);

  l.Section("MACHINESYNCMODE");
  l.Key("SYNCLOCKMODE", b.MACHINESYNCMODE.SYNCLOCKMODE);
  l.Key("SYNCMODE", b.MACHINESYNCMODE.SYNCMODE);

  const CompositeBoard& cb = b.COMPOSITEBOARD;
  l.Section("COMPOSITEBOARD");
  l.Key("CMPBOARDMODE", cb.CMPBOARDMODE);
  l.Key("CMPBOARDEXIST", cb.CMPBOARDEXIST);
  l.Key("CMPBOARDACTNOSRC", cb.CMPBOARDACTNOSRC);
  for (int n = 0; n < 3; ++n) l.Key(K("CMPBOARDIPSRC", n), cb.CMPBOARDIPSRC[n]);
  l.Key("CMPBOARDACTDUAL", cb.CMPBOARDACTDUAL);
  l.Key("CMPBOARDACTSIGNAL", cb.CMPBOARDACTSIGNAL);
  l.Key("CMPBOARDACTHACT", cb.CMPBOARDACTHACT);
  l.Key("CMPBOARDACTVACT", cb.CMPBOARDACTVACT);
  l.Key("CMPBOARDACTFPS", cb.CMPBOARDACTFPS);
  l.Key("CMPBOARDACTINTERLACE", cb.CMPBOARDACTINTERLACE);
  return rows;
}

const std::vector<ProjectKey>& Layout() {
  static const std::vector<ProjectKey> layout = BuildLayout();
  return layout;
}

// --- Field access by offset -----------------------------------------------------

template <class T>
T Read(const ParamBlock& block, uint16_t offset) {
  T value;
  std::memcpy(&value, reinterpret_cast<const char*>(&block) + offset, sizeof value);
  return value;
}

template <class T>
void Write(ParamBlock& block, uint16_t offset, T value) {
  std::memcpy(reinterpret_cast<char*>(&block) + offset, &value, sizeof value);
}

// The integer value of a field: unsigned for 8 and 16 bits, signed for 32.
int64_t GetInteger(const ParamBlock& block, const ProjectKey& row) {
  switch (row.width) {
    case Width::U8:
      return Read<uint8_t>(block, row.offset);
    case Width::U16:
      return Read<uint16_t>(block, row.offset);
    case Width::I32:
      return Read<int32_t>(block, row.offset);
    case Width::F32:
      break;
  }
  return 0;
}

// Stores `value` truncated to the field's width.
void SetInteger(ParamBlock& block, const ProjectKey& row, int64_t value) {
  switch (row.width) {
    case Width::U8:
      Write(block, row.offset, static_cast<uint8_t>(value));
      break;
    case Width::U16:
      Write(block, row.offset, static_cast<uint16_t>(value));
      break;
    case Width::I32:
      Write(block, row.offset, static_cast<int32_t>(static_cast<uint32_t>(value)));
      break;
    case Width::F32:
      break;
  }
}

void ApplyClamp(ParamBlock& block, const ProjectKey& row) {
  if (row.clamp == Clamp::None || row.width == Width::F32) return;
  const int64_t value = GetInteger(block, row);
  int64_t clamped = value;
  switch (row.clamp) {
    case Clamp::None:
      break;
    case Clamp::Range:
      if (value < row.low) clamped = row.low;
      if (value > row.high) clamped = row.high;
      break;
    case Clamp::AtLeast:
      if (value < row.low) clamped = row.low;
      break;
    case Clamp::ResoIndex:
      if (value < 0) clamped = 0;
      if (value >= 19) clamped = 17;
      break;
    case Clamp::AtMost: {
      // Unsigned on purpose: a position beyond the total gives a huge limit
      // and leaves the size alone.
      const auto total = static_cast<uint32_t>(Read<int32_t>(block, row.totalOffset));
      const auto position = static_cast<uint32_t>(Read<int32_t>(block, row.positionOffset));
      const uint32_t limit = total - position;
      if (static_cast<uint32_t>(value) > limit) clamped = static_cast<int32_t>(limit);
      break;
    }
  }
  if (clamped != value) SetInteger(block, row, clamped);
}

std::string FormatValue(const ParamBlock& block, const ProjectKey& row) {
  if (row.width == Width::F32) return FormatFixed6(Read<float>(block, row.offset));
  return FormatInteger(GetInteger(block, row));
}

void StoreValue(ParamBlock& block, const ProjectKey& row, std::string_view text) {
  if (row.width == Width::F32) {
    const double value = DecimalToDouble(text);
    constexpr double kMax = std::numeric_limits<float>::max();
    float f;
    if (value > kMax) {
      f = std::numeric_limits<float>::infinity();
    } else if (value < -kMax) {
      f = -std::numeric_limits<float>::infinity();
    } else {
      f = static_cast<float>(value);
    }
    Write(block, row.offset, f);
    return;
  }
  SetInteger(block, row, DecimalToInt(text));
}

std::string BaseNameOf(std::string_view fileName) {
  // Only a final ".pro" is an extension here: "gala.v2.pro" is "gala.v2".
  if (fileName.size() >= 4) {
    std::string tail(fileName.substr(fileName.size() - 4));
    for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (tail == ".pro") fileName.remove_suffix(4);
  }
  return std::string(fileName);
}

bool IsFolder(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_directory(path, error);
}

bool IsFile(const std::string& path) {
  std::error_code error;
  return std::filesystem::exists(path, error) && !std::filesystem::is_directory(path, error);
}

void MakeFolders(const std::string& path) {
  std::error_code error;
  std::filesystem::create_directories(path, error);
}

// A new file holding only the UTF-16LE byte-order mark; an existing file is
// left as it is.
void CreateMarkedFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return;
  const ssize_t written = ::write(fd, "\xFF\xFE", 2);
  (void)written;  // a short file still loads (it holds no keys)
  ::close(fd);
}

}  // namespace

std::string TodayDateText() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  const std::size_t n = std::strftime(text, sizeof text, "%Y-%m-%d", &local);
  return std::string(text, n);
}

void EnsureProjectPath(std::string& path) {
  EnsureProjectPath(path, TodayDateText());
}

void EnsureProjectPath(std::string& path, std::string_view today) {
  if (path.empty()) {
    const std::string folder = UserDataFolder() + "Project/" + std::string(today) + "/";
    MakeFolders(folder);
    path = folder + std::string(today) + ".pro";
    return;
  }
  if (path.front() != '/') path = UserDataFolder() + path;
  if (IsFile(path)) return;

  const auto slash = path.find_last_of('/');
  std::string folder = path.substr(0, slash + 1);
  std::string name = BaseNameOf(std::string_view(path).substr(slash + 1));
  if (name.empty()) name = today;
  if (!IsFolder(folder)) {
    folder += name + "/";
    MakeFolders(folder);
  }
  path = folder + name + ".pro";
  CreateMarkedFile(path);
}

std::string StartupProjectPath(const std::string& settingsPath) {
  const std::string stored = GetProfileString(
      "Project", "FilePath", "", std::numeric_limits<std::size_t>::max(), settingsPath);
  std::string whole = stored;
  if (!whole.empty() && whole.front() != '/') whole = UserDataFolder() + whole;
  // An existing project is never traded for another file, however long its path.
  if (!whole.empty() && IsFile(whole)) return whole;
  std::string path(Utf16Prefix(stored, kProjectPathChars));
  EnsureProjectPath(path);
  return path;
}

bool SaveProject(const std::string& path) {
  AtomicReplace replace(path);
  if (!replace.Begin()) return false;
  CStdioFileEx file;
  if (!file.Open(replace.TempPath(),
                 CStdioFileEx::modeWrite | CStdioFileEx::modeCreate | CStdioFileEx::typeText)) {
    return false;
  }

  // The clamps correct the record itself; the file is written from one
  // consistent copy, without holding the record while writing.
  ParamBlock snapshot;
  {
    auto s = State();
    for (const ProjectKey& row : Layout()) ApplyClamp(s->block, row);
    snapshot = s->block;
  }

  bool ok = true;
  std::string_view section;
  for (const ProjectKey& row : Layout()) {
    if (row.section != section) {
      section = row.section;
      ok = WriteSection(file, section);
    }
    ok = ok && WriteKey(file, row.key, FormatValue(snapshot, row));
    if (!ok) break;
  }
  ok = ok && file.Sync();
  ok = file.Close() && ok;
  return ok && replace.Commit();
}

namespace {

using KeyTexts = std::vector<std::optional<std::string>>;

// The value text of every layout key the file holds; nullopt when the file
// cannot be opened.
std::optional<KeyTexts> ReadKeyTexts(const std::string& path) {
  CStdioFileEx file;
  if (!file.Open(path,
                 CStdioFileEx::modeRead | CStdioFileEx::shareDenyWrite | CStdioFileEx::typeText)) {
    return std::nullopt;
  }
  const std::vector<ProjectKey>& layout = Layout();
  KeyTexts texts(layout.size());
  for (std::size_t i = 0; i < layout.size(); ++i) {
    std::string value;
    if (FindKey(file, layout[i].section, layout[i].key, value)) texts[i] = std::move(value);
  }
  file.Close();
  return texts;
}

void ApplyKeyTexts(const KeyTexts& texts, const RefreshFunction& refresh) {
  const std::vector<ProjectKey>& layout = Layout();
  {
    // One hold of the record from the copy to the apply, so that a read-back
    // arriving meanwhile cannot clear the pending flag before the apply sees it.
    auto s = State();
    ParamBlock image = s->block;
    for (std::size_t i = 0; i < layout.size(); ++i) {
      if (texts[i]) StoreValue(image, layout[i], *texts[i]);
    }
    s->CMPBOARD_PENDING = 1;
    ApplyParamBlock(image);
  }
  if (refresh) {
    refresh(2, 0);
  } else {
    GetReplySink().RefreshAfterReply(2, 0);
  }
}

}  // namespace

bool LoadProject(const std::string& path, const RefreshFunction& refresh) {
  const std::optional<KeyTexts> texts = ReadKeyTexts(path);
  if (!texts) return false;
  ApplyKeyTexts(*texts, refresh);
  return true;
}

ProjectLoad LoadWholeProject(const std::string& path, const RefreshFunction& refresh) {
  const std::optional<KeyTexts> texts = ReadKeyTexts(path);
  if (!texts) return ProjectLoad::Unreadable;
  const auto found =
      std::count_if(texts->begin(), texts->end(),
                    [](const std::optional<std::string>& t) { return t.has_value(); });
  if (found == 0) return ProjectLoad::NotAProject;
  if (static_cast<std::size_t>(found) != texts->size()) return ProjectLoad::Incomplete;
  ApplyKeyTexts(*texts, refresh);
  return ProjectLoad::Loaded;
}

}  // namespace orv
