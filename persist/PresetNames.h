#pragma once
// Names the operator gives to presets and inputs. They exist only on this
// computer, in the settings file: [PRESET g-i] PNAMESTR for preset i (0..9) of
// group g (0..2, the program/preview mode), [InPutSrcRemark-n] REMARKSTR for
// input n (0..11). Reads are cut at 255 characters.
//
// GUI thread only.
#include <array>
#include <string>
#include <string_view>

namespace orv {

inline constexpr int kPresetGroups = 3;
inline constexpr int kPresetsPerGroup = 10;
inline constexpr int kRemarkInputs = 12;

// The preset name table: three groups of ten names, built-in "g-i".
class PresetNames {
 public:
  PresetNames();

  static std::string BuiltInName(int group, int index);

  // Every name back to its built-in value, then each stored non-empty name.
  void Load(const std::string& settingsPath);
  // The name shown for preset `index` of `group`; "" outside the table.
  const std::string& Name(int group, int index) const;
  // Takes `text` as the name (also an empty one) and writes it to the settings
  // file; a failed write is ignored (the name lasts for this run).
  void Store(int group, int index, std::string_view text, const std::string& settingsPath);

 private:
  std::array<std::array<std::string, kPresetsPerGroup>, kPresetGroups> names_;
};

// The input remarks, built-in empty. A loaded or stored remark also becomes
// the label of INPUT_TABLE[n] in the device state record.
class InputRemarks {
 public:
  void Load(const std::string& settingsPath);
  const std::string& Remark(int input) const;  // "" outside 0..11
  void Store(int input, std::string_view text, const std::string& settingsPath);

 private:
  std::array<std::string, kRemarkInputs> remarks_;
};

// Which label the inline editor is renaming. At most one target at a time.
class RenameSession {
 public:
  enum class Target { kNone, kPreset, kRemark };

  void BeginPreset(int index);  // 0..9 of the shown group
  void BeginRemark(int input);  // 0..11
  void Cancel();                // Escape: the text is dropped

  Target target() const { return target_; }
  int presetIndex() const { return target_ == Target::kPreset ? index_ : -1; }
  int remarkIndex() const { return target_ == Target::kRemark ? index_ : -1; }

  struct Renamed {
    Target target = Target::kNone;
    int index = -1;
  };
  // Stores `text` for the target (a remark for an input, else a preset name of
  // `group`), ends the session and returns what was renamed, so that the
  // caller can redraw that label. Nothing happens without a target.
  Renamed Commit(std::string_view text, int group, PresetNames& presets, InputRemarks& remarks,
                 const std::string& settingsPath);

 private:
  Target target_ = Target::kNone;
  int index_ = -1;
};

}  // namespace orv
