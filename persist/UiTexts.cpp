#include "UiTexts.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "Ini.h"

namespace orv {
namespace {

// Exactly as shipped: blanks, capitals and spellings are part of the texts.
constexpr std::array<const char*, kUiTextCount> kBuiltIn = {
    "Picture Mode",                                             // 0
    "Color Temperature",                                        // 1
    "Output Resolution",                                        // 2
    "Rotate",                                                   // 3
    "Input Source",                                             // 4
    "Automatic Arrangement",                                    // 5
    "Manual Arrangement",                                       // 6
    "Sync Mode",                                                // 7
    "PIP3 Usage",                                               // 8
    "Position",                                                 // 9
    "Clear",                                                    // 10
    "Files",                                                    // 11
    "Operate",                                                  // 12
    "Chroma Keyer",                                             // 13
    "Keyer Mode",                                               // 14
    "EDID Selcet",                                              // 15
    "More",                                                     // 16
    "Display Adjustment",                                       // 17
    "ADC Adjustment",                                           // 18
    "DDC Setting",                                              // 19
    "Test Pattern",                                             // 20
    "Pixel Grab",                                               // 21
    "Date And Time",                                            // 22
    "Machine Time",                                             // 23
    "Local Time",                                               // 24
    "Schedule",                                                 // 25
    "Task Edit",                                                // 26
    "Loopout Setting",                                          // 27
    "Switch Mode",                                              // 28
    "System Information",                                       // 29
    "Factory Reset",                                            // 30
    "Please Select A Ip",                                       // 31
    "Select the Machine ?",                                     // 32
    "Edid Apply",                                               // 33
    "VGA Adjustment",                                           // 34
    "Password Is Error",                                        // 35
    "Preset is Invalid",                                        // 36
    "Save The Preset?",                                         // 37
    "Tips",                                                     // 38
    "The Machine Is Offline",                                   // 39
    "SWITCH ON",                                                // 40
    "SWITCH OFF",                                               // 41
    " User ",                                                   // 42
    " White On Black1",                                         // 43
    " White On Black2",                                         // 44
    " Black On White1",                                         // 45
    " Black On White2",                                         // 46
    " Green On Black1",                                         // 47
    " Green On Black2",                                         // 48
    " Green On White1",                                         // 49
    " Green On White2",                                         // 50
    " Red On Black1",                                           // 51
    " Red On Black2",                                           // 52
    " Red On White1",                                           // 53
    " Red On White2",                                           // 54
    "PIP3 Is Off",                                              // 55
    "Restart The Machine",                                      // 56
    " Standard ",                                               // 57
    " Low Light1 ",                                             // 58
    " Low Light2 ",                                             // 59
    " Low Light3 ",                                             // 60
    " Video ",                                                  // 61
    " Graphic ",                                                // 62
    " Monochrome ",                                             // 63
    " User ",                                                   // 64
    "Waitting Operation ...",                                   // 65
    "Ok",                                                       // 66
    "Failed",                                                   // 67
    "Picture Setting",                                          // 68
    "Output Setting",                                           // 69
    "Image Crop",                                               // 70
    "Misc Settings",                                            // 71
    "PIP Settings",                                             // 72
    "Logo Settings",                                            // 73
    "Chroma Keyer Settings",                                    // 74
    "EDID Settings",                                            // 75
    "VGA Adjustment",                                           // 76
    "Test Pattern",                                             // 77
    "Time/Task Management",                                     // 78
    "Misc Settings",                                            // 79
    "Load",                                                     // 80
    "Save",                                                     // 81
    "Getting Data From Desitination... ",                       // 82
    "Search Desitination Machine... ",                          // 83
    "Set Data To Desitination...",                              // 84
    "Connect Failed!",                                          // 85
    "Switcher Mode",                                            // 86
    "Connection Type",                                          // 87
    "Connection Status",                                        // 88
    "File Setting",                                             // 89
    "Multi-Machine Mode",                                       // 90
    "Com Connection",                                           // 91
    "Network Connection",                                       // 92
    "Connection Setting",                                       // 93
    "Search Machines",                                          // 94
    "Local Ip Address",                                         // 95
    "Customized  Resolution",                                   // 96
    "Setting",                                                  // 97
    "Switcher Mode",                                            // 98
    "Logo Position is changed, please Load logo",               // 99
    " Free Run",                                                // 100
    " Lock To Main Input",                                      // 101
    " Lock To Genlock",                                         // 102
    " Lock To DVI1",                                            // 103
    " Lock To DVI2",                                            // 104
    " Lock To HDMI1",                                           // 105
    " Lock To HDMI2",                                           // 106
    " Lock To DP1",                                             // 107
    " Lock To DVI3",                                            // 108
    " Lock To DVI4",                                            // 109
    " Lock To HDMI3",                                           // 110
    " Lock To HDMI4",                                           // 111
    " Lock To DP2",                                             // 112
    " Auto",                                                    // 113
    " Mode 1",                                                  // 114
    " Mode 2",                                                  // 115
    " Opaque",                                                  // 116
    " Translucent",                                             // 117
    " Transparent",                                             // 118
    " Freeze",                                                  // 119
    " Speed 1",                                                 // 120
    " Speed 2",                                                 // 121
    " Speed 3",                                                 // 122
    " Left",                                                    // 123
    " Right",                                                   // 124
    "Caption Setting",                                          // 125
    "Local Preview",                                            // 126
    "Display Area",                                             // 127
    "Caption Input",                                            // 128
    "Send Caption Time Out",                                    // 129
    "Caption 1",                                                // 130
    "Caption 2",                                                // 131
    "Caption 3",                                                // 132
    "Caption 4",                                                // 133
    "Video Display Setting",                                    // 134
    "Reset Caption ?",                                          // 135
    "In Serial Interface mode Take Function is not available",  // 136
    "Video Display",                                            // 137
    "Fluency",                                                  // 138
    "Standard Definition",                                      // 139
    "High Definition",                                          // 140
    "Ultra Clear",                                              // 141
    "Update Failure",                                           // 142
    "Success, Pls Restart the Machine",                         // 143
    "Update",                                                   // 144
    "Fixed to HDMI",                                            // 145
    "Fixed to DP",                                              // 146
    "Auto",                                                     // 147
    "Auto(Default HDMI)",                                       // 148
    "Auto(Default DP)",                                         // 149
    "Port Switch Method",                                       // 150
    "Media Player Setting",                                     // 151
    "Chroma Keyer On PIP3",                                     // 152
    "Chroma Keyer On PIP1",                                     // 153
    "Rectangle",                                                // 154
    "Rectangle Left",                                           // 155
    "Rectangle Right",                                          // 156
    "Rectangle Up",                                             // 157
    "Rectangle Down",                                           // 158
    "Feathering",                                               // 159
    "PIP3 Input Source Is  Signal Off",                         // 160
};

std::array<std::string, kUiTextCount>& Table() {
  static std::array<std::string, kUiTextCount> table = [] {
    std::array<std::string, kUiTextCount> t;
    for (int n = 0; n < kUiTextCount; ++n) t[n] = kBuiltIn[n];
    return t;
  }();
  return table;
}

std::string& LanguageFile() {
  static std::string path;
  return path;
}

bool ValidSlot(int n) {
  return n >= 0 && n < kUiTextCount;
}

// Room for 999 characters, as the language files are read everywhere.
constexpr std::size_t kTextChars = 1000;

bool EndsWithIni(const std::string& fileName) {
  if (fileName.size() < 4) return false;
  std::string tail = fileName.substr(fileName.size() - 4);
  std::transform(tail.begin(), tail.end(), tail.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return tail == ".ini";
}

// The first .ini file of the folder, in directory order, whose [Setting]
// Language equals `name`; "" when none does.
std::string FindLanguageFile(const std::string& folder, std::string_view name) {
  std::error_code error;
  std::filesystem::directory_iterator it(folder, error);
  if (error) return {};
  for (const auto& entry : it) {
    std::error_code typeError;
    if (!entry.is_regular_file(typeError)) continue;
    const std::string fileName = entry.path().filename().string();
    if (!EndsWithIni(fileName)) continue;
    const std::string path = folder + fileName;
    if (GetProfileString("Setting", "Language", "", kTextChars, path) == name) return path;
  }
  return {};
}

bool FileExists(const std::string& path) {
  std::error_code error;
  return !path.empty() && std::filesystem::is_regular_file(path, error);
}

// Writes a language-file key only when its value differs and only into a file
// that exists: creating a language file here would give a fragment without a
// [Setting] Language, in the ANSI code page (which loses the Chinese texts).
void RecordText(const std::string& path, const std::string& key, std::string_view value) {
  if (!FileExists(path)) return;
  if (GetProfileString("String", key, "", kTextChars, path) == value) return;
  WriteProfileString("String", key, value, path);
}

struct PortSwitchRow {
  int port;        // 0 first port, 1 second port
  int32_t source;  // the port's source code that renames the texts
  const char* fixedEnglish;
  const char* autoEnglish;
  const char* fixedChinese;
  const char* autoChinese;
};

constexpr PortSwitchRow kPortSwitchRows[] = {
    {0, 6, "Fixed to DVI3*", "Auto(DVI3* Default)", "固定 DVI3*", "自动(DVI3* 优先)"},
    {1, 6, "Fixed to HDMI3", "Auto(HDMI3 Default)", "固定 HDMI3", "自动(HDMI3 优先)"},
    {0, 8, "Fixed to DP2", "Auto(DP2 Default)", "固定 DP2", "自动(DP2 优先)"},
    {1, 8, "Fixed to DP2", "Auto(DP2 Default)", "固定 DP2", "自动(DP2 优先)"},
};

bool SetIfDifferent(int n, std::string_view text) {
  if (Table()[n] == text) return false;
  Table()[n] = text;
  return true;
}

}  // namespace

std::string_view BuiltInUiText(int n) {
  return ValidSlot(n) ? kBuiltIn[n] : "";
}

const std::string& UiTexts::Get(int n) {
  static const std::string empty;
  return ValidSlot(n) ? Table()[n] : empty;
}

void UiTexts::Set(int n, std::string_view text) {
  if (ValidSlot(n)) Table()[n] = text;
}

void UiTexts::ResetToBuiltIn() {
  for (int n = 0; n < kUiTextCount; ++n) Table()[n] = kBuiltIn[n];
}

std::string LanguageFolder() {
  return LanguageFolderOf(Folders());
}

std::string LanguageFilePath() {
  return LanguageFile();
}

namespace {

// The settings file's language name is read with room for 99 characters.
constexpr std::size_t kLanguageNameChars = 100;

// Chooses the language file for `name`; returns the name actually provided.
std::string UseLanguageFile(std::string_view name) {
  const std::string folder = LanguageFolder();
  std::string path = FindLanguageFile(folder, name);
  std::string provided(name);
  if (path.empty()) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    provided = "English";
    path = FindLanguageFile(folder, provided);
    if (path.empty()) path = folder + "English.ini";
  }
  LanguageFile() = path;
  return provided;
}

// The system's language when a start found no choice of the operator's; ""
// once a language is recorded.
std::string& UnrecordedLanguage() {
  static std::string name;
  return name;
}

std::string StoredLanguageName() {
  return GetProfileString("Setting", "Language", "", kLanguageNameChars, SettingsPath());
}

}  // namespace

void SelectLanguage(std::string_view name) {
  const std::string recorded = UseLanguageFile(name);
  UnrecordedLanguage().clear();
  WriteProfileString("Setting", "Language", recorded, SettingsPath());
}

void SelectStartLanguage() {
  const std::string stored = StoredLanguageName();
  if (!stored.empty()) {
    SelectLanguage(stored);
    return;
  }
  UnrecordedLanguage() = UseLanguageFile(DefaultLanguageName());
}

std::string LanguageNameForLocale(std::string_view locale) {
  // zh_CN, zh_CN.UTF-8, zh_CN.GB18030@... and the tag form zh-CN.
  if (locale.size() < 5) return "English";
  const bool prc = locale.substr(0, 2) == "zh" && (locale[2] == '_' || locale[2] == '-') &&
                   locale.substr(3, 2) == "CN" &&
                   (locale.size() == 5 || locale[5] == '.' || locale[5] == '@');
  return prc ? "Chinese" : "English";
}

std::string DefaultLanguageName() {
  // The locale of messages, by the usual precedence of the environment.
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return LanguageNameForLocale(value);
  }
  return "English";
}

std::string ActiveLanguageName() {
  const std::string stored = StoredLanguageName();
  if (!stored.empty()) return stored;
  return UnrecordedLanguage().empty() ? std::string("English") : UnrecordedLanguage();
}

std::optional<std::string> LanguageNameForSwitch(intptr_t wParam) {
  if (wParam == 0) return std::string("English");
  if (wParam == 1) return std::string("Chinese");
  return std::nullopt;
}

std::string GetRawText(std::string_view key) {
  if (LanguageFile().empty()) return {};
  return GetProfileString("String", key, "", kTextChars, LanguageFile());
}

std::string GetText(std::string_view key) {
  std::string text = GetRawText(key);
  std::string::size_type at = 0;
  while ((at = text.find("\\n", at)) != std::string::npos) {
    text.replace(at, 2, "\n");
    at += 1;
  }
  return text;
}

void ReloadUiTexts() {
  if (!FileExists(LanguageFile())) {
    UiTexts::ResetToBuiltIn();
    return;
  }
  for (int n = 0; n < kUiTextCount; ++n) Table()[n] = GetText("SIDS_" + std::to_string(n));
}

bool UpdatePortSwitchTexts(int firstPort, int secondPort) {
  const std::string folder = LanguageFolder();
  const std::string englishFile = folder + "English.ini";
  const std::string chineseFile = folder + "Chinese.ini";
  bool changed = false;
  for (const PortSwitchRow& row : kPortSwitchRows) {
    if ((row.port == 0 ? firstPort : secondPort) != row.source) continue;
    const int fixedSlot = row.port == 0 ? kTextFixedFirst : kTextFixedSecond;
    const int autoSlot = row.port == 0 ? kTextAutoFirst : kTextAutoSecond;
    const std::string language = ActiveLanguageName();
    if (language == "English") {
      changed |= SetIfDifferent(fixedSlot, row.fixedEnglish);
      changed |= SetIfDifferent(autoSlot, row.autoEnglish);
    } else if (language == "Chinese") {
      changed |= SetIfDifferent(fixedSlot, row.fixedChinese);
      changed |= SetIfDifferent(autoSlot, row.autoChinese);
    }
    const std::string fixedKey = "SIDS_" + std::to_string(fixedSlot);
    const std::string autoKey = "SIDS_" + std::to_string(autoSlot);
    RecordText(englishFile, fixedKey, row.fixedEnglish);
    RecordText(chineseFile, fixedKey, row.fixedChinese);
    RecordText(englishFile, autoKey, row.autoEnglish);
    RecordText(chineseFile, autoKey, row.autoChinese);
  }
  return changed;
}

std::array<TextItem, 5> PortSwitchListItems() {
  std::array<TextItem, 5> items;
  for (int k = 0; k < 5; ++k) items[k] = {UiText(kTextFixedFirst + k), k};
  return items;
}

}  // namespace orv
