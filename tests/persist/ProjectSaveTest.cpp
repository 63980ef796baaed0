#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <regex>

#include "CommaLocale.h"
#include "IniLines.h"
#include "ProjectTestSupport.h"
#include "StdioFileEx.h"

namespace orv::test {
namespace {

const std::vector<std::string> kSections = {
    "[OUTPUTRESO]", "[PICCOMMSETT]",     "[MOSAICSETT]",    "[CHNLDATA]",    "[INPUTINFO]",
    "[EDIDINFO]",   "[TASKEINFO]",       "[LOGOINFO]",      "[PVWMODEINFO]", "[KEYERINFO]",
    "[LOOPINFO]",   "[MACHINESYNCMODE]", "[COMPOSITEBOARD]"};

std::string N(const std::string& base, int i) {
  return base + std::to_string(i);
}
std::string N(const std::string& base, int i, int j) {
  return base + std::to_string(i) + std::to_string(j);
}

TEST_F(ProjectTest, FirstLinesSectionOrderAndShape) {
  {
    auto s = State();
    s->block.OUTPUTRESO.RESOINDEX = 5;
    s->block.OUTPUTRESO.HRESO = 1920;
    s->block.OUTPUTRESO.VRESO = 1080;
    s->block.OUTPUTRESO.FPS = 6000;
  }
  const std::string bytes = SaveAndRead();
  const auto lines = CrLfLines(bytes);
  ASSERT_GE(lines.size(), 5u);
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 5),
            (std::vector<std::string>{"[OUTPUTRESO]", "RESOINDEX=5", "HRESO=1920", "VRESO=1080",
                                      "FPS=6000"}));
  EXPECT_EQ(SectionLines(bytes), kSections);

  // CR LF after every line, no byte-order mark, no blank or comment lines,
  // no blanks around '=', nothing but decimal values.
  ASSERT_TRUE(bytes.ends_with("\r\n"));
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'),
            static_cast<std::ptrdiff_t>(lines.size()));
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\r'),
            static_cast<std::ptrdiff_t>(lines.size()));
  const std::regex shape(R"(\[[A-Z]+\]|[A-Z]+[0-9]*=-?[0-9]+(\.[0-9]{6})?)");
  for (const std::string& line : lines) EXPECT_TRUE(std::regex_match(line, shape)) << line;

  const auto keys = KeyLines(bytes);
  const std::vector<std::pair<std::string, std::size_t>> counts = {
      {"OUTPUTRESO", 12},    {"PICCOMMSETT", 3}, {"MOSAICSETT", 26}, {"CHNLDATA", 32},
      {"INPUTINFO", 874},    {"EDIDINFO", 42},   {"TASKEINFO", 81},  {"LOGOINFO", 24},
      {"PVWMODEINFO", 10},   {"KEYERINFO", 24},  {"LOOPINFO", 1},    {"MACHINESYNCMODE", 2},
      {"COMPOSITEBOARD", 12}};
  std::size_t total = 0;
  for (const auto& [section, count] : counts) {
    EXPECT_EQ(KeysOf(keys, section).size(), count) << section;
    total += count;
  }
  EXPECT_EQ(keys.size(), total);
}

TEST_F(ProjectTest, KeyOrderOfEverySection) {
  const auto keys = KeyLines(SaveAndRead());
  EXPECT_EQ(KeysOf(keys, "OUTPUTRESO"),
            (std::vector<std::string>{"RESOINDEX", "HRESO", "VRESO", "FPS", "HTOTAL", "VTOTAL",
                                      "HSYNC", "VSYNC", "HBP", "VBP", "HPOL", "VPOL"}));
  EXPECT_EQ(KeysOf(keys, "PICCOMMSETT"),
            (std::vector<std::string>{"PICMODE", "BRIGHTLEVEL", "GAMMA"}));

  std::vector<std::string> mosaic = {"MOSAICMODE", "MOSAICAUTOARR"};
  for (int c = 0; c < 4; ++c) {
    for (const char* k : {"HPOS", "VPOS", "HACT", "VACT", "HTOTAL", "VTOTAL"}) {
      mosaic.push_back(N(k, c));
    }
  }
  EXPECT_EQ(KeysOf(keys, "MOSAICSETT"), mosaic);

  std::vector<std::string> layers;
  for (int l = 0; l < 4; ++l) {
    for (const char* k :
         {"CHNLONOFF", "CHNLALPHA", "CHNLINPUT", "HPOS", "VPOS", "HACT", "VACT", "CHNLROTATION"}) {
      layers.push_back(N(k, l));
    }
  }
  EXPECT_EQ(KeysOf(keys, "CHNLDATA"), layers);

  std::vector<std::string> inputs;
  for (int s = 0; s < 12; ++s) {
    if (s < 8) {
      for (const char* k : {"INPUTSRC", "INPUTSTATE", "INPUTRESOHACT", "INPUTRESOVACT",
                            "INPUTRESOFPS", "INPUTRESOILE", "INPUTRESOIDX"}) {
        inputs.push_back(N(k, s));
      }
    }
    for (int l = 0; l < 4; ++l) {
      for (const char* k : {"BRIGHTNESS", "CONTRAST", "SHARPNESS", "SATURATION", "HUE", "COLORTEMP",
                            "COLORRED", "COLORGREEN", "COLORBLUE", "OPTION", "CROPONOFF", "HPOS",
                            "VPOS", "HACT", "VACT", "HTOTAL", "VTOTAL"}) {
        inputs.push_back(N(k, s, l));
      }
    }
  }
  inputs.push_back("DPMDE0");
  inputs.push_back("DPMDE1");
  EXPECT_EQ(KeysOf(keys, "INPUTINFO"), inputs);

  std::vector<std::string> edid;
  for (int e = 0; e < 7; ++e) {
    for (const char* k : {"INPUTSRC", "HACT", "VACT", "FPS", "HBLANK", "VBLANK"}) {
      edid.push_back(N(k, e));
    }
  }
  EXPECT_EQ(KeysOf(keys, "EDIDINFO"), edid);

  std::vector<std::string> tasks = {"TASKSTATUS"};
  for (int t = 0; t < 10; ++t) {
    for (const char* k : {"YEAR", "MONTH", "DAY", "HOUR", "MIN", "SEC", "PRESETID", "OPTION"}) {
      tasks.push_back(N(k, t));
    }
  }
  EXPECT_EQ(KeysOf(keys, "TASKEINFO"), tasks);

  std::vector<std::string> logo = {"LOGOUSAGE", "LOGOCURID", "LOGOONOFF", "LOGOPOS"};
  for (int k = 0; k < 4; ++k) {
    for (const char* key : {"HPOS", "VPOS", "HACT", "VACT", "LOGOVALID"}) {
      logo.push_back(N(key, k));
    }
  }
  EXPECT_EQ(KeysOf(keys, "LOGOINFO"), logo);

  EXPECT_EQ(
      KeysOf(keys, "PVWMODEINFO"),
      (std::vector<std::string>{"PVWMODE", "PVWDTIME", "PGMSTATE0", "PVWSTATE0", "PGMSTATE1",
                                "PVWSTATE1", "PGMSTATE2", "PVWSTATE2", "PGMSTATE3", "PVWSTATE3"}));
  EXPECT_EQ(KeysOf(keys, "KEYERINFO"),
            (std::vector<std::string>{
                "KEYERONOFF",   "KEYERMODE",     "KEYERREDL",     "KEYERREDL",   "KEYERGREENL",
                "KEYERGREENH",  "KEYERBLUEL",    "KEYERBLUEH",    "KEYERGAININ", "KEYERGAINOUT",
                "KEYERGAINBND", "KEYERCHNL",     "KEYERONOFF1",   "KEYERMODE1",  "KEYERREDL1",
                "KEYERREDL1",   "KEYERGREENL1",  "KEYERGREENH1",  "KEYERBLUEL1", "KEYERBLUEH1",
                "KEYERGAININ1", "KEYERGAINOUT1", "KEYERGAINBND1", "KEYERCHNL1"}));
  EXPECT_EQ(KeysOf(keys, "LOOPINFO"), std::vector<std::string>{"LOOPOUTIP"});
  EXPECT_EQ(KeysOf(keys, "MACHINESYNCMODE"),
            (std::vector<std::string>{"SYNCLOCKMODE", "SYNCMODE"}));
  EXPECT_EQ(KeysOf(keys, "COMPOSITEBOARD"),
            (std::vector<std::string>{
                "CMPBOARDMODE", "CMPBOARDEXIST", "CMPBOARDACTNOSRC", "CMPBOARDIPSRC0",
                "CMPBOARDIPSRC1", "CMPBOARDIPSRC2", "CMPBOARDACTDUAL", "CMPBOARDACTSIGNAL",
                "CMPBOARDACTHACT", "CMPBOARDACTVACT", "CMPBOARDACTFPS", "CMPBOARDACTINTERLACE"}));
}

TEST_F(ProjectTest, ValuesAreWrittenOnTheirFieldsWidth) {
  {
    auto s = State();
    ParamBlock& b = s->block;
    b.PICCOMMSETT.GAMMA = 2.2f;
    b.PICCOMMSETT.PICMODE = -3;
    b.LOGOINFO.HPOS[0] = 65535;
    b.CHNLDATA[1].HPOS = -5;
    b.CHNLDATA[0].CHNLALPHA = 255;
    b.TASKEINFO.TASK[9].OPTION = -1;
    b.INPUTINFO.INPUTSRC[7] = -2147483647 - 1;
    b.PICSET[GroupLayerIndex(11, 3)].BRIGHTNESS = 77;
    b.CROP[GroupLayerIndex(1, 0)].HPOS = 40000;
    b.OUTPUTRESO.HPOL = 200;
  }
  const auto keys = KeyLines(SaveAndRead());
  EXPECT_EQ(ValueOf(keys, "PICCOMMSETT", "GAMMA"), "2.200000");
  EXPECT_EQ(ValueOf(keys, "PICCOMMSETT", "PICMODE"), "-3");
  EXPECT_EQ(ValueOf(keys, "LOGOINFO", "HPOS0"), "65535");
  EXPECT_EQ(ValueOf(keys, "CHNLDATA", "HPOS1"), "-5");
  EXPECT_EQ(ValueOf(keys, "CHNLDATA", "CHNLALPHA0"), "255");
  EXPECT_EQ(ValueOf(keys, "TASKEINFO", "OPTION9"), "-1");
  EXPECT_EQ(ValueOf(keys, "INPUTINFO", "INPUTSRC7"), "-2147483648");
  EXPECT_EQ(ValueOf(keys, "INPUTINFO", "BRIGHTNESS113"), "77");
  EXPECT_EQ(ValueOf(keys, "INPUTINFO", "HPOS10"), "40000");
  EXPECT_EQ(ValueOf(keys, "OUTPUTRESO", "HPOL"), "200");
}

TEST_F(ProjectTest, ClampsAreWrittenAndKeptInTheRecord) {
  {
    auto s = State();
    ParamBlock& b = s->block;
    b.OUTPUTRESO.RESOINDEX = 25;
    b.OUTPUTRESO.HRESO = 100;
    b.OUTPUTRESO.VRESO = 5000;
    b.OUTPUTRESO.FPS = 12001;
    b.OUTPUTRESO.HTOTAL = 679;
    b.OUTPUTRESO.VTOTAL = 4095;
    b.OUTPUTRESO.HSYNC = 3;
    b.OUTPUTRESO.VSYNC = 128;
    b.OUTPUTRESO.HBP = 513;
    b.OUTPUTRESO.VBP = 4;
    b.MOSAICSETT.HPOS[0] = 100;
    b.MOSAICSETT.HTOTAL[0] = 1920;
    b.MOSAICSETT.HACT[0] = 3000;
    b.MOSAICSETT.VPOS[0] = 0;
    b.MOSAICSETT.VTOTAL[0] = 1080;
    b.MOSAICSETT.VACT[0] = 1080;
    b.MOSAICSETT.HPOS[1] = 2000;  // beyond the total: no limit applies
    b.MOSAICSETT.HTOTAL[1] = 1920;
    b.MOSAICSETT.HACT[1] = 5000;
    b.MOSAICSETT.VTOTAL[1] = 500;
    b.MOSAICSETT.VACT[1] = -1;  // huge when taken unsigned
    b.CROP[GroupLayerIndex(0, 0)].HACT = 10;
    b.CROP[GroupLayerIndex(0, 0)].VACT = 0;
    b.CROP[GroupLayerIndex(11, 3)].HACT = 5000;
    b.CROP[GroupLayerIndex(11, 3)].VACT = 32;
    b.EDIDINFO[0].HACT = 100;
    b.EDIDINFO[0].VACT = 4000;
    b.EDIDINFO[0].FPS = 1000;
    b.EDIDINFO[6].FPS = 13000;
    b.EDIDINFO[6].HACT = 3840;
  }
  const auto keys = KeyLines(SaveAndRead());
  const std::vector<std::tuple<std::string, std::string, std::string>> expected = {
      {"OUTPUTRESO", "RESOINDEX", "17"}, {"OUTPUTRESO", "HRESO", "640"},
      {"OUTPUTRESO", "VRESO", "4080"},   {"OUTPUTRESO", "FPS", "12000"},
      {"OUTPUTRESO", "HTOTAL", "680"},   {"OUTPUTRESO", "VTOTAL", "4094"},
      {"OUTPUTRESO", "HSYNC", "4"},      {"OUTPUTRESO", "VSYNC", "128"},
      {"OUTPUTRESO", "HBP", "512"},      {"OUTPUTRESO", "VBP", "4"},
      {"MOSAICSETT", "HACT0", "1820"},   {"MOSAICSETT", "VACT0", "1080"},
      {"MOSAICSETT", "HACT1", "5000"},   {"MOSAICSETT", "VACT1", "500"},
      {"INPUTINFO", "HACT00", "32"},     {"INPUTINFO", "VACT00", "32"},
      {"INPUTINFO", "HACT113", "5000"},  {"INPUTINFO", "VACT113", "32"},
      {"EDIDINFO", "HACT0", "240"},      {"EDIDINFO", "VACT0", "3840"},
      {"EDIDINFO", "FPS0", "2000"},      {"EDIDINFO", "FPS6", "12100"},
      {"EDIDINFO", "HACT6", "3840"}};
  for (const auto& [section, key, value] : expected) {
    EXPECT_EQ(ValueOf(keys, section, key), value) << section << " " << key;
  }
  const ParamBlock b = Block();
  EXPECT_EQ(b.OUTPUTRESO.RESOINDEX, 17);
  EXPECT_EQ(b.OUTPUTRESO.HRESO, 640);
  EXPECT_EQ(b.OUTPUTRESO.VRESO, 4080);
  EXPECT_EQ(b.OUTPUTRESO.HBP, 512);
  EXPECT_EQ(b.MOSAICSETT.HACT[0], 1820);
  EXPECT_EQ(b.MOSAICSETT.HACT[1], 5000);
  EXPECT_EQ(b.MOSAICSETT.VACT[1], 500);
  EXPECT_EQ(b.CROP[0].HACT, 32);
  EXPECT_EQ(b.CROP[0].VACT, 32);
  EXPECT_EQ(b.EDIDINFO[0].HACT, 240);
  EXPECT_EQ(b.EDIDINFO[6].FPS, 12100);
}

TEST_F(ProjectTest, ResolutionIndexClampKeepsCustomAndFixesNegatives) {
  State()->block.OUTPUTRESO.RESOINDEX = 18;
  EXPECT_EQ(ValueOf(KeyLines(SaveAndRead()), "OUTPUTRESO", "RESOINDEX"), "18");
  State()->block.OUTPUTRESO.RESOINDEX = 19;
  EXPECT_EQ(ValueOf(KeyLines(SaveAndRead()), "OUTPUTRESO", "RESOINDEX"), "17");
  State()->block.OUTPUTRESO.RESOINDEX = -3;
  EXPECT_EQ(ValueOf(KeyLines(SaveAndRead()), "OUTPUTRESO", "RESOINDEX"), "0");
  EXPECT_EQ(Block().OUTPUTRESO.RESOINDEX, 0);
}

TEST_F(ProjectTest, RedHighGoesUnderTheRedLowKey) {
  {
    auto s = State();
    s->block.KEYERINFO.KEYER[0].KEYERMODE = 2;
    s->block.KEYERINFO.KEYER[0].KEYERREDL = 11;
    s->block.KEYERINFO.KEYER[0].KEYERREDH = 22;
    s->block.KEYERINFO.KEYER[1].KEYERREDL = 33;
    s->block.KEYERINFO.KEYER[1].KEYERREDH = 44;
  }
  const std::string bytes = SaveAndRead();
  EXPECT_NE(bytes.find("KEYERMODE=2\r\nKEYERREDL=11\r\nKEYERREDL=22\r\nKEYERGREENL="),
            std::string::npos);
  EXPECT_NE(bytes.find("\r\nKEYERREDL1=33\r\nKEYERREDL1=44\r\nKEYERGREENL1="), std::string::npos);
  EXPECT_EQ(bytes.find("KEYERREDH"), std::string::npos);

  State()->block = ParamBlock{};
  ASSERT_TRUE(LoadProject(Path("show.pro"), [](int, int) {}));
  const ParamBlock b = Block();
  EXPECT_EQ(b.KEYERINFO.KEYER[0].KEYERREDL, 11);
  EXPECT_EQ(b.KEYERINFO.KEYER[0].KEYERREDH, 22);
  EXPECT_EQ(b.KEYERINFO.KEYER[1].KEYERREDL, 33);
  EXPECT_EQ(b.KEYERINFO.KEYER[1].KEYERREDH, 44);
}

TEST_F(ProjectTest, AShorterSaveLeavesNoTraceOfTheOldFile) {
  WriteBytes(Path("show.pro"), std::string(200000, 'J') + "OLDMARK");
  const std::string bytes = SaveAndRead();
  EXPECT_EQ(bytes.find("OLDMARK"), std::string::npos);
  EXPECT_EQ(bytes.find('J'), std::string::npos);
  EXPECT_TRUE(bytes.starts_with("[OUTPUTRESO]\r\n"));
  EXPECT_EQ(bytes, SaveAndRead("fresh.pro"));
}

TEST_F(ProjectTest, AFailedSaveKeepsTheOldFileAndSaysSo) {
  EXPECT_FALSE(SaveProject(Path("missing/show.pro")));
  EXPECT_FALSE(std::filesystem::exists(Path("missing")));

  std::filesystem::create_directory(Path("taken.pro"));
  EXPECT_FALSE(SaveProject(Path("taken.pro")));
  EXPECT_TRUE(std::filesystem::is_directory(Path("taken.pro")));
  EXPECT_EQ(Entries(), std::vector<std::string>{"taken.pro"});  // no temporary file left
}

// Runs SaveProject in a child process that may not write past 4096 bytes of
// any file (a full disk); the child's exit status tells what SaveProject said.
int SaveWithFileSizeLimit(const std::string& path, bool crashOnLimit) {
  const pid_t pid = fork();
  if (pid == 0) {
    struct rlimit limit {
      4096, 4096
    };
    setrlimit(RLIMIT_FSIZE, &limit);
    if (!crashOnLimit) signal(SIGXFSZ, SIG_IGN);
    _exit(SaveProject(path) ? 0 : 3);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return status;
}

TEST_F(ProjectTest, ADiskFullDuringTheSaveKeepsTheOldFile) {
  State()->block.OUTPUTRESO.FPS = 5000;
  const std::string old = SaveAndRead();
  State()->block.OUTPUTRESO.FPS = 6000;

  const int status = SaveWithFileSizeLimit(Path("show.pro"), false);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 3);  // reported as a failure
  EXPECT_EQ(ReadBytes(Path("show.pro")), old);
  EXPECT_EQ(Entries(), std::vector<std::string>{"show.pro"});
}

TEST_F(ProjectTest, ACrashDuringTheSaveKeepsTheOldFile) {
  State()->block.OUTPUTRESO.FPS = 5000;
  const std::string old = SaveAndRead();
  State()->block.OUTPUTRESO.FPS = 6000;

  const int status = SaveWithFileSizeLimit(Path("show.pro"), true);
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(WTERMSIG(status), SIGXFSZ);
  EXPECT_EQ(ReadBytes(Path("show.pro")), old);
  // What the killed save left is a hidden partial file no "*.pro" pattern matches.
  for (const std::string& name : Entries()) {
    if (name == "show.pro") continue;
    EXPECT_TRUE(name.starts_with(".show.pro.tmp-")) << name;
  }
  EXPECT_TRUE(SaveProject(Path("show.pro")));
  EXPECT_EQ(ValueOf(KeyLines(ReadBytes(Path("show.pro"))), "OUTPUTRESO", "FPS"), "6000");
}

TEST_F(ProjectTest, AReaderOfTheOldFileKeepsItWhole) {
  State()->block.OUTPUTRESO.FPS = 5000;
  const std::string old = SaveAndRead();
  CStdioFileEx reader;
  ASSERT_TRUE(reader.Open(Path("show.pro"), CStdioFileEx::modeRead | CStdioFileEx::typeText |
                                                CStdioFileEx::shareDenyWrite));
  State()->block.OUTPUTRESO.FPS = 6000;
  ASSERT_TRUE(SaveProject(Path("show.pro")));
  std::string value;
  ASSERT_TRUE(FindKey(reader, "OUTPUTRESO", "FPS", value));
  EXPECT_EQ(value, "5000");
}

TEST_F(ProjectTest, GammaIsWrittenWithAPointInAnyLocale) {
  ScopedCommaLocale comma(folder_);
  if (!comma.Active()) GTEST_SKIP() << "the comma locale could not be built";
  State()->block.PICCOMMSETT.GAMMA = 2.2f;
  const std::string bytes = SaveAndRead();
  State()->block.PICCOMMSETT.GAMMA = 0.0f;
  const bool loaded = LoadProject(Path("show.pro"), [](int, int) {});
  const float gamma = Block().PICCOMMSETT.GAMMA;
  EXPECT_EQ(ValueOf(KeyLines(bytes), "PICCOMMSETT", "GAMMA"), "2.200000");
  EXPECT_TRUE(loaded);
  EXPECT_EQ(gamma, 2.2f);
}

}  // namespace
}  // namespace orv::test
