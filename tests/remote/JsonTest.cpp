// The request parser: what it takes, what it refuses and why, and a bounded
// fuzz run over mutated and random lines that must never crash, hang or
// answer with a line a JSON reader rejects.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "Json.h"
#include "Osc.h"
#include "RequestCheck.h"
#include "ShowCommands.h"

namespace orv::remote {
namespace {

TEST(Json, RoundTripsWhatItWrites) {
  const char* lines[] = {
      R"({"a":1,"b":[true,false,null],"c":"x\"y\\z\n","d":-2.5})",
      R"([])",
      R"({})",
      R"("\u0001")",
  };
  for (const char* line : lines) {
    const std::optional<Json> v = Json::Parse(line);
    ASSERT_TRUE(v) << line;
    EXPECT_EQ(Json::Parse(v->Dump()), v) << line;
    EXPECT_EQ(v->Dump().find('\n'), std::string::npos);
  }
  EXPECT_EQ(Json::Parse(R"("\ud83d\ude00")")->AsString(), "\xF0\x9F\x98\x80");
  EXPECT_EQ(Json(5994 / 100.0).Dump(), "59.94");  // a frame rate reads as it was meant
}

TEST(Json, RefusesMalformedText) {
  const char* bad[] = {"",          "{",     "{\"a\":}",    "[1,]",    "01",
                       "1.",        "-",     "\"abc",       "\"\\x\"", "tru",
                       "{\"a\" 1}", "[1 2]", "\"\\ud800\"", "1e999",   "{} {}",
                       "\"a\tb\"",  "nul",   "[\"\\u12\"]"};
  for (const char* text : bad) EXPECT_FALSE(Json::Parse(text)) << text;
}

// Levels count the outermost array or object: 16 are taken, 17 are not.
TEST(Json, NestingIsBounded) {
  auto nested = [](int levels, const char* open, const char* close) {
    std::string text;
    for (int i = 0; i < levels; ++i) text += open;
    text += "1";
    for (int i = 0; i < levels; ++i) text += close;
    return text;
  };
  for (auto [open, close] : {std::pair{"[", "]"}, std::pair{"{\"a\":", "}"}}) {
    EXPECT_TRUE(Json::Parse(nested(Json::kMaxDepth, open, close))) << open;
    std::string error;
    EXPECT_FALSE(Json::Parse(nested(Json::kMaxDepth + 1, open, close), &error)) << open;
    EXPECT_NE(error.find("deep"), std::string::npos);
  }
}

// Strings are UTF-8 both ways: malformed bytes are refused on reading and
// never written.
TEST(Json, TextsAreUtf8) {
  const char* malformed[] = {"\"\xFF\xFE\"",  "\"\xC0\xAF\"",         "\"\xED\xA0\x80\"",
                             "\"\xE9t\xE9\"", "\"\xF4\x90\x80\x80\"", "\"\xC3\""};
  for (const char* text : malformed) EXPECT_FALSE(Json::Parse(text)) << text;
  EXPECT_EQ(Json::Parse("\"\xC3\xA9t\xC3\xA9\"")->AsString(), "\xC3\xA9t\xC3\xA9");
  EXPECT_EQ(Json("a\xC3").Dump(), "\"a\xEF\xBF\xBD\"");  // U+FFFD for the cut character
  EXPECT_EQ(Json("\xC3\xA9").Dump(), "\"\xC3\xA9\"");
}

struct RequestCase {
  const char* line;
  const char* error;  // nullptr: valid
};

TEST(Requests, ShapesAndRanges) {
  const RequestCase cases[] = {
      {R"({"cmd":"input","layer":1,"input":3})", nullptr},
      {R"({"cmd":"input","layer":4,"input":3})", error::kOutOfRange},
      {R"({"cmd":"input","layer":1,"input":12})", error::kOutOfRange},
      {R"({"cmd":"input","layer":1.5,"input":3})", error::kBadRequest},
      {R"({"cmd":"input","layer":1})", error::kBadRequest},
      {R"({"cmd":"window","layer":0,"x":0,"y":0,"w":1920,"h":1080})", nullptr},
      {R"({"cmd":"window","layer":0,"x":0,"y":0,"w":0,"h":1080})", error::kOutOfRange},
      {R"({"cmd":"window","layer":0,"x":-1,"y":0,"w":10,"h":10})", error::kOutOfRange},
      {R"({"cmd":"layer","layer":0,"on":true})", error::kOutOfRange},
      {R"({"cmd":"layer","layer":2,"on":1})", error::kBadRequest},
      {R"({"cmd":"preset.load","preset":10})", nullptr},
      {R"({"cmd":"preset.save","preset":0})", error::kOutOfRange},
      {R"({"cmd":"template.load","template":1})", nullptr},
      {R"({"cmd":"testpattern","on":true,"pattern":112})", error::kOutOfRange},
      {R"({"cmd":"testpattern","on":false})", nullptr},
      {R"({"cmd":"freeze","on":true,"id":"f1"})", nullptr},
      {R"({"cmd":"auth"})", error::kBadRequest},
      {R"({"cmd":"launch"})", error::kUnknownCommand},
      {R"({"cmd":"take","id":[1]})", error::kBadRequest},
      {R"(["cmd","take"])", error::kBadRequest},
      {R"(take)", error::kBadRequest},
  };
  for (const RequestCase& c : cases) {
    const ParsedRequest p = ParseRequest(c.line);
    if (c.error == nullptr) {
      EXPECT_TRUE(p.request) << c.line << ": " << p.failure.detail;
    } else {
      EXPECT_FALSE(p.request) << c.line;
      EXPECT_EQ(p.failure.error, c.error) << c.line;
    }
  }
  const ParsedRequest preset = ParseRequest(R"({"cmd":"preset.load","preset":10,"id":7})");
  EXPECT_EQ(preset.request->value, 9);  // presets are counted 1..10 on the wire
  EXPECT_EQ(ErrorAnswer(Json(7), error::kBusy, "x"),
            R"({"id":7,"ok":false,"error":"busy","detail":"x"})");
}

// Mutations of valid requests (bytes, characters of two to four bytes, the
// grammar's own characters) and random bytes: every answer is one line of
// valid UTF-8 and valid JSON (the check the fuzz target runs).
TEST(Requests, FuzzedLinesAreAnsweredInValidUtf8Json) {
  const std::string seeds[] = {
      R"({"cmd":"window","layer":0,"x":0,"y":0,"w":1920,"h":1080,"id":"cue-12"})",
      R"({"cmd":"testpattern","on":true,"pattern":33})",
      R"({"cmd":"auth","token":"s\u00e9cret"})",
      R"([[[[{"a":[1,2,{"b":"\ud83d\ude00"}]}]]]])",
      "{\"cmd\":\"a" + std::string(80, 'x') + "\",\"id\":\"\xC3\xA9\xE6\x97\xA5\xF0\x9F\x98\x80\"}",
  };
  const char* pieces[] = {"{",
                          "}",
                          "[",
                          "]",
                          "\"",
                          ",",
                          ":",
                          "\\",
                          "0",
                          "-",
                          "e",
                          ".",
                          "\xC3\xA9",
                          "\xE6\x97\xA5",
                          "\xF0\x9F\x98\x80",
                          "\\u00e9",
                          "\\ud83d"};
  std::mt19937 rng(20261210);
  constexpr int kRuns = 100000;
  int valid = 0;
  for (int run = 0; run < kRuns; ++run) {
    std::string line;
    if (run % 4 == 3) {
      line.resize(rng() % 64);
      for (char& c : line) c = static_cast<char>(rng() % 256);
    } else {
      line = seeds[rng() % std::size(seeds)];
      const int edits = 1 + static_cast<int>(rng() % 4);
      for (int e = 0; e < edits && !line.empty(); ++e) {
        const std::size_t at = rng() % line.size();
        switch (rng() % 3) {
          case 0:
            line[at] = static_cast<char>(rng() % 256);
            break;
          case 1:
            line.erase(at, 1 + rng() % 3);
            break;
          default:
            line.insert(at, pieces[rng() % std::size(pieces)]);
        }
      }
    }
    ASSERT_EQ(RequestLineFault(line), "") << line;
    if (ParseRequest(line).request) ++valid;
  }
  EXPECT_GT(valid, 0);  // the mutations also leave some requests intact
}

// OSC datagrams cut, flipped and made up: parsed or refused, never read
// past their end.
TEST(Osc, FuzzedDatagramsNeverBreakTheParser) {
  const std::vector<uint8_t> seeds[] = {
      FormatOsc(
          {"/orv/window", {int32_t{1}, int32_t{10}, int32_t{20}, int32_t{640}, int32_t{360}}}),
      FormatOsc({"/orv/testpattern", {true, 33.0F}}),
      FormatOsc({"/orv/preset/load", {std::string("3")}}),
  };
  EXPECT_EQ(ParseOsc(seeds[0])->args.size(), 5u);
  std::mt19937 rng(1210);
  for (int run = 0; run < 100000; ++run) {
    std::vector<uint8_t> d = seeds[rng() % std::size(seeds)];
    if (run % 3 == 0) d.resize(rng() % (d.size() + 1));
    const int edits = static_cast<int>(rng() % 4);
    for (int e = 0; e < edits && !d.empty(); ++e) d[rng() % d.size()] = static_cast<uint8_t>(rng());
    const std::optional<OscMessage> m = ParseOsc(d);
    if (m) OscToRequest(*m);
  }
}

}  // namespace
}  // namespace orv::remote
