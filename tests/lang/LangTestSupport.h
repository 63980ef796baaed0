#pragma once
// A temporary program folder per test: AppFolder() points at it, and the
// shipped language files can be copied into its Language/ folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace orv::test {

std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);
// UTF-8 text as UTF-16LE with a byte-order mark, the way Chinese.ini is stored.
std::string Utf16File(const std::string& utf8);

class ProgramFolder : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  std::string Folder() const { return folder_; }
  std::string LanguageDir() const { return folder_ + "Language/"; }
  std::string Settings() const { return folder_ + "Info.ini"; }
  // Copies English.ini and Chinese.ini from the source tree into Language/.
  void InstallShippedLanguages();
  // Writes a small ANSI language file into Language/.
  void WriteLanguageFile(const std::string& fileName, const std::string& body);

 private:
  std::string folder_;
};

}  // namespace orv::test
