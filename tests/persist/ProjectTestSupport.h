#pragma once
// A temporary program folder with a clean parameter block and a recording
// fake library, plus helpers that read a saved project file line by line.
#include <cstring>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "CommandEncoder.h"
#include "DeviceState.h"
#include "FakeCommLibrary.h"
#include "PersistTestSupport.h"
#include "ProjectFile.h"
#include "ReplySink.h"

namespace orv::test {

struct KeyLine {
  std::string section;
  std::string key;
  std::string value;
};

// Every key line of a project file with the section it is under.
inline std::vector<KeyLine> KeyLines(const std::string& bytes) {
  std::vector<KeyLine> out;
  std::string section;
  for (const std::string& line : CrLfLines(bytes)) {
    if (!line.empty() && line.front() == '[') {
      section = line.substr(1, line.find(']') - 1);
      continue;
    }
    const auto equals = line.find('=');
    out.push_back({section, line.substr(0, equals), line.substr(equals + 1)});
  }
  return out;
}

inline std::vector<std::string> SectionLines(const std::string& bytes) {
  std::vector<std::string> out;
  for (const std::string& line : CrLfLines(bytes)) {
    if (!line.empty() && line.front() == '[') out.push_back(line);
  }
  return out;
}

inline std::vector<std::string> KeysOf(const std::vector<KeyLine>& lines,
                                       const std::string& section) {
  std::vector<std::string> out;
  for (const KeyLine& line : lines) {
    if (line.section == section) out.push_back(line.key);
  }
  return out;
}

// The value of the n-th line with that key in that section; "<none>" when
// there is none.
inline std::string ValueOf(const std::vector<KeyLine>& lines, const std::string& section,
                           const std::string& key, int nth = 0) {
  for (const KeyLine& line : lines) {
    if (line.section == section && line.key == key && nth-- == 0) return line.value;
  }
  return "<none>";
}

class ProjectTest : public TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    SetCommLibrary(&fake_);
    auto s = State();
    s->block = ParamBlock{};
    s->CMPBOARD_PENDING = 0;
  }

  void TearDown() override {
    SetCommLibrary(nullptr);
    TempFolderTest::TearDown();
  }

  // Saves the record to `name` in the folder and returns the file's bytes.
  std::string SaveAndRead(const std::string& name = "show.pro") {
    EXPECT_TRUE(SaveProject(Path(name)));
    return ReadBytes(Path(name));
  }

  static ParamBlock Block() { return State()->block; }
  static void SetBlock(const ParamBlock& block) { State()->block = block; }

  // A block of random bytes with valid layer inputs, no expansion board and
  // a gamma that six decimals carry exactly.
  static ParamBlock RandomBlock(unsigned seed) {
    std::mt19937 random(seed);
    ParamBlock block;
    auto* bytes = reinterpret_cast<uint8_t*>(&block);
    for (std::size_t i = 0; i < sizeof block; ++i) bytes[i] = static_cast<uint8_t>(random());
    for (int layer = 0; layer < kLayers; ++layer) {
      block.CHNLDATA[layer].CHNLINPUT = static_cast<uint8_t>(random() % kInputCodes);
    }
    block.COMPOSITEBOARD.CMPBOARDEXIST = 0;
    block.PICCOMMSETT.GAMMA = 2.25f;
    return block;
  }

  FakeCommLibrary fake_;
};

}  // namespace orv::test
