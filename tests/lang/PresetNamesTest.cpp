// Preset names and input remarks through Info.ini, and the rename session.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "CodePage.h"
#include "DeviceState.h"
#include "Ini.h"
#include "LangTestSupport.h"
#include "PresetNames.h"

namespace orv {
namespace {

using Names = test::ProgramFolder;

TEST_F(Names, EmptySettingsGiveBuiltInNamesAndEmptyRemarks) {
  PresetNames presets;
  presets.Load(Settings());
  EXPECT_EQ(presets.Name(0, 0), "0-0");
  EXPECT_EQ(presets.Name(0, 9), "0-9");
  EXPECT_EQ(presets.Name(1, 4), "1-4");
  EXPECT_EQ(presets.Name(2, 9), "2-9");
  EXPECT_EQ(presets.Name(3, 0), "");
  EXPECT_EQ(presets.Name(0, 10), "");
  EXPECT_EQ(presets.Name(-1, 0), "");

  InputRemarks remarks;
  remarks.Load(Settings());
  for (int n = 0; n < kRemarkInputs; ++n) EXPECT_EQ(remarks.Remark(n), "") << n;
  EXPECT_EQ(remarks.Remark(12), "");
}

TEST_F(Names, RenamedPresetBelongsToItsGroupAndSurvivesARestart) {
  PresetNames presets;
  presets.Load(Settings());
  RenameSession session;
  session.BeginPreset(3);
  InputRemarks remarks;
  const auto renamed = session.Commit("Opening", 2, presets, remarks, Settings());
  EXPECT_EQ(renamed.target, RenameSession::Target::kPreset);
  EXPECT_EQ(renamed.index, 3);
  EXPECT_EQ(session.target(), RenameSession::Target::kNone);
  EXPECT_EQ(session.presetIndex(), -1);

  EXPECT_EQ(ReadSetting("PRESET2-3", "PNAMESTR", Settings()), "Opening");
  EXPECT_EQ(presets.Name(2, 3), "Opening");
  EXPECT_EQ(presets.Name(0, 3), "0-3");

  PresetNames restarted;
  restarted.Load(Settings());
  EXPECT_EQ(restarted.Name(2, 3), "Opening");
  EXPECT_EQ(restarted.Name(0, 3), "0-3");
  EXPECT_EQ(restarted.Name(1, 3), "1-3");
}

TEST_F(Names, AnEmptyNameIsStoredAndShowsTheBuiltInAfterARestart) {
  PresetNames presets;
  presets.Store(1, 7, "Intro", Settings());
  presets.Store(1, 7, "", Settings());
  EXPECT_EQ(presets.Name(1, 7), "");
  EXPECT_EQ(ReadSetting("PRESET1-7", "PNAMESTR", Settings()), "");

  PresetNames restarted;
  restarted.Load(Settings());
  EXPECT_EQ(restarted.Name(1, 7), "1-7");
}

TEST_F(Names, RemarksRoundTripAndBecomeInputLabels) {
  InputRemarks remarks;
  PresetNames presets;
  RenameSession session;
  session.BeginRemark(4);
  EXPECT_EQ(session.remarkIndex(), 4);
  EXPECT_EQ(session.presetIndex(), -1);
  const auto renamed = session.Commit("Camera left", 0, presets, remarks, Settings());
  EXPECT_EQ(renamed.target, RenameSession::Target::kRemark);
  EXPECT_EQ(renamed.index, 4);
  EXPECT_EQ(remarks.Remark(4), "Camera left");
  EXPECT_EQ(ReadSetting("InPutSrcRemark-4", "REMARKSTR", Settings()), "Camera left");
  EXPECT_EQ(State()->INPUT_TABLE[4].label, "Camera left");

  // A restart: the stored remark comes back, the others stay empty.
  State()->INPUT_TABLE[4].label = State()->INPUT_TABLE[4].name;
  ASSERT_TRUE(WriteProfileString("InPutSrcRemark-11", "REMARKSTR", "Spare", Settings()));
  InputRemarks restarted;
  restarted.Load(Settings());
  EXPECT_EQ(restarted.Remark(4), "Camera left");
  EXPECT_EQ(restarted.Remark(11), "Spare");
  EXPECT_EQ(restarted.Remark(0), "");
  EXPECT_EQ(State()->INPUT_TABLE[4].label, "Camera left");
  EXPECT_EQ(State()->INPUT_TABLE[11].label, "Spare");
}

TEST_F(Names, EscapeDropsTheTextAndALaterCommitDoesNothing) {
  InputRemarks remarks;
  PresetNames presets;
  RenameSession session;
  session.BeginRemark(2);
  session.Cancel();
  const auto renamed = session.Commit("typed", 0, presets, remarks, Settings());
  EXPECT_EQ(renamed.target, RenameSession::Target::kNone);
  EXPECT_EQ(renamed.index, -1);
  EXPECT_EQ(remarks.Remark(2), "");
  EXPECT_EQ(GetProfileString("InPutSrcRemark-2", "REMARKSTR", "<none>", 256, Settings()), "<none>");
}

TEST_F(Names, OnlyOneTargetAtATimeAndIndicesAreChecked) {
  RenameSession session;
  session.BeginPreset(9);
  session.BeginRemark(5);
  EXPECT_EQ(session.target(), RenameSession::Target::kRemark);
  EXPECT_EQ(session.presetIndex(), -1);
  EXPECT_EQ(session.remarkIndex(), 5);
  session.BeginPreset(1);
  EXPECT_EQ(session.remarkIndex(), -1);
  EXPECT_EQ(session.presetIndex(), 1);

  RenameSession bad;
  bad.BeginPreset(10);
  bad.BeginRemark(12);
  bad.BeginRemark(-1);
  EXPECT_EQ(bad.target(), RenameSession::Target::kNone);

  // A group the table does not have stores nothing.
  PresetNames presets;
  InputRemarks remarks;
  session.Commit("Lost", 3, presets, remarks, Settings());
  EXPECT_EQ(GetProfileString("PRESET3-1", "PNAMESTR", "<none>", 256, Settings()), "<none>");
}

TEST_F(Names, LongNamesAreCutAt255OnRead) {
  const std::string longName(300, 'p');
  const std::string longRemark = std::string(250, 'r') + "0123456789";
  ASSERT_TRUE(WriteProfileString("PRESET0-5", "PNAMESTR", longName, Settings()));
  ASSERT_TRUE(WriteProfileString("InPutSrcRemark-7", "REMARKSTR", longRemark, Settings()));
  PresetNames presets;
  presets.Load(Settings());
  EXPECT_EQ(presets.Name(0, 5), std::string(255, 'p'));
  InputRemarks remarks;
  remarks.Load(Settings());
  EXPECT_EQ(remarks.Remark(7), longRemark.substr(0, 255));
}

TEST_F(Names, ALoadReplacesNamesOfAnEarlierLoad) {
  ASSERT_TRUE(WriteProfileString("PRESET1-0", "PNAMESTR", "Show", Settings()));
  PresetNames presets;
  presets.Load(Settings());
  EXPECT_EQ(presets.Name(1, 0), "Show");
  ASSERT_TRUE(WriteProfileString("PRESET1-0", "PNAMESTR", "", Settings()));
  presets.Load(Settings());
  EXPECT_EQ(presets.Name(1, 0), "1-0");
}

// A name the ANSI code page cannot hold turns Info.ini into UTF-16LE, so it
// comes back whole after a restart.
TEST_F(Names, CharactersOutsideTheAnsiCodePageSurviveARestart) {
  SetAnsiCodePageForTesting(kCodePageWestern);
  PresetNames presets;
  presets.Store(0, 1, "Zoë 开场", Settings());
  EXPECT_EQ(presets.Name(0, 1), "Zoë 开场");
  PresetNames restarted;
  restarted.Load(Settings());
  EXPECT_EQ(restarted.Name(0, 1), "Zoë 开场");  // the settings file became UTF-16

  // On a Chinese (PRC) system it fits the code page and the file stays ANSI.
  SetAnsiCodePageForTesting(kCodePageChinese);
  std::filesystem::remove(Settings());
  presets.Store(0, 1, "开场", Settings());
  PresetNames chinese;
  chinese.Load(Settings());
  EXPECT_EQ(chinese.Name(0, 1), "开场");
  EXPECT_NE(test::ReadBytes(Settings()).substr(0, 2), "\xFF\xFE");
  SetAnsiCodePageForTesting(0);
}

}  // namespace
}  // namespace orv
