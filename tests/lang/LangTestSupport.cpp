#include "LangTestSupport.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "Ini.h"
#include "UiTexts.h"

namespace orv::test {

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

std::string Utf16File(const std::string& utf8) {
  std::string out = "\xFF\xFE";
  for (std::size_t i = 0; i < utf8.size();) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    char32_t cp;
    int length;
    if (c < 0x80) {
      cp = c, length = 1;
    } else if ((c >> 5) == 6) {
      cp = c & 0x1F, length = 2;
    } else if ((c >> 4) == 14) {
      cp = c & 0x0F, length = 3;
    } else {
      cp = c & 0x07, length = 4;
    }
    for (int k = 1; k < length; ++k)
      cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    i += length;
    auto unit = [&out](char16_t u) {
      out.push_back(static_cast<char>(u & 0xFF));
      out.push_back(static_cast<char>(u >> 8));
    };
    if (cp >= 0x10000) {
      cp -= 0x10000;
      unit(static_cast<char16_t>(0xD800 + (cp >> 10)));
      unit(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      unit(static_cast<char16_t>(cp));
    }
  }
  return out;
}

void ProgramFolder::SetUp() {
  char pattern[] = "/tmp/lang-test-XXXXXX";
  const char* made = mkdtemp(pattern);
  ASSERT_NE(made, nullptr);
  folder_ = std::string(made) + "/";
  SetAppFolderForTesting(folder_);
  UiTexts::ResetToBuiltIn();
}

void ProgramFolder::TearDown() {
  std::error_code error;
  std::filesystem::remove_all(folder_, error);
  UiTexts::ResetToBuiltIn();
}

void ProgramFolder::InstallShippedLanguages() {
  std::filesystem::create_directories(LanguageDir());
  for (const char* name : {"English.ini", "Chinese.ini"}) {
    std::filesystem::copy_file(std::string(ORV_LANGUAGE_SOURCE_DIR) + "/" + name,
                               LanguageDir() + name,
                               std::filesystem::copy_options::overwrite_existing);
  }
}

void ProgramFolder::WriteLanguageFile(const std::string& fileName, const std::string& body) {
  std::filesystem::create_directories(LanguageDir());
  WriteBytes(LanguageDir() + fileName, body);
}

}  // namespace orv::test
