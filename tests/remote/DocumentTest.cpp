// docs/remote-control.md against the code: the state example and the event
// lines name the members the server writes, in its order.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "Json.h"
#include "ShowState.h"
#include "WriteOutcomeEvent.h"

namespace orv::remote {
namespace {

std::string Document() {
  std::ifstream in(std::string(ORV_DOCS_DIR) + "/remote-control.md");
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The member names of `text` in the order they are written.
std::vector<std::string> KeysOf(const std::string& text) {
  std::vector<std::string> keys;
  static const std::regex key(R"re("(\w+)":)re");
  for (std::sregex_iterator it(text.begin(), text.end(), key), end; it != end; ++it)
    keys.push_back((*it)[1]);
  return keys;
}

// The member names of `value` in writing order, of arrays only the first
// element (the example shows one and leaves out the others).
void FirstElementKeys(const Json& value, std::vector<std::string>& keys) {
  for (const auto& [key, member] : value.AsMembers()) {
    keys.push_back(key);
    FirstElementKeys(member, keys);
  }
  if (!value.AsArray().empty()) FirstElementKeys(value.AsArray().front(), keys);
}

// A state in which every part differs from the default one.
ShowState Changed() {
  ShowState s;
  s.connected = true;
  s.device = "127.0.0.2";
  s.pvwMode = 1;
  s.freeze = true;
  s.testPattern = 33;
  s.link = "lost";
  for (InputStatus& in : s.inputs) in = {true, "DP", "", true, 1920, 1080, 6000, false};
  for (LayerStatus& layer : s.layers) layer.input = 4;
  for (PresetStatus& preset : s.presets) preset.flag = 1;
  return s;
}

TEST(Document, StateExampleNamesTheMembersInOrder) {
  const std::string doc = Document();
  const std::size_t start = doc.find(R"(    {"connected":)");
  ASSERT_NE(start, std::string::npos);
  const std::string example = doc.substr(start, doc.find("\n\n", start) - start);
  const std::vector<std::string> documented = KeysOf(example);
  std::vector<std::string> written;
  FirstElementKeys(ToJson(Changed()), written);
  // The example leaves parts out ("..."), never adds or reorders.
  std::size_t at = 0;
  for (const std::string& key : documented) {
    while (at < written.size() && written[at] != key) ++at;
    ASSERT_LT(at, written.size()) << "\"" << key << "\" is not written where the example has it";
    ++at;
  }
  EXPECT_GE(documented.size(), 25u);
}

TEST(Document, EventLinesNameTheMembersInOrder) {
  std::map<std::string, std::vector<std::string>> written;
  for (const Json& e : ChangeEvents(ShowState{}, Changed())) {
    std::vector<std::string> keys;
    for (const auto& member : e.AsMembers()) keys.push_back(member.first);
    written[e.Find("event")->AsString()] = keys;
  }
  const Json write = WriteOutcomeEvent(WriteOutcome{}, Json(1));
  for (const auto& member : write.AsMembers()) written["write"].push_back(member.first);
  std::istringstream doc(Document());
  const std::regex event(R"re(    (\{"event":"(\w+)".*\}))re");
  std::set<std::string> documented;
  for (std::string line; std::getline(doc, line);) {
    std::smatch match;
    if (!std::regex_match(line, match, event)) continue;
    std::string text = match[1];
    const std::string name = match[2];
    // Only the whole-line examples of the event list ("..." leaves members out elsewhere).
    if (text.find(",...") != std::string::npos) continue;
    for (std::size_t p; (p = text.find("{...}")) != std::string::npos;) text.replace(p, 5, "null");
    const std::optional<Json> example = Json::Parse(text);
    ASSERT_TRUE(example) << text;
    std::vector<std::string> keys;
    for (const auto& member : example->AsMembers()) keys.push_back(member.first);
    ASSERT_TRUE(written.count(name)) << name;
    EXPECT_EQ(keys, written[name]) << text;
    documented.insert(name);
  }
  EXPECT_EQ(documented.size(), written.size());  // every kind of event is shown
}

}  // namespace
}  // namespace orv::remote
