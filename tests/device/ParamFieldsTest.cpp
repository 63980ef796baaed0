#include "ParamFields.h"

#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace orv {
namespace {

struct Range {
  std::size_t offset;
  std::size_t size;
};

// The gap members of the layout, named here independently of the table.
std::vector<Range> Gaps() {
  std::vector<Range> gaps;
  for (int i = 0; i < kLayers; ++i) {
    gaps.push_back(
        {offsetof(ParamBlock, CHNLDATA) + i * sizeof(ChannelData) + offsetof(ChannelData, gap3),
         1});
  }
  for (int i = 0; i < kInputSlots; ++i) {
    const std::size_t at = offsetof(ParamBlock, INPUTINFO.INPUTRESO) + i * sizeof(InputReso);
    gaps.push_back({at + offsetof(InputReso, gap1), 1});
    gaps.push_back({at + offsetof(InputReso, gap9), 1});
  }
  for (int i = 0; i < kInputGroups * kLayers; ++i) {
    const std::size_t pic = offsetof(ParamBlock, PICSET) + i * sizeof(PicSet);
    gaps.push_back({pic + offsetof(PicSet, gap5), 3});
    gaps.push_back({pic + offsetof(PicSet, gap15), 1});
    gaps.push_back({pic + offsetof(PicSet, gap17), 3});
    gaps.push_back({offsetof(ParamBlock, CROP) + i * sizeof(Crop) + offsetof(Crop, gap1), 1});
  }
  for (int i = 0; i < kEdidSlots; ++i) {
    gaps.push_back(
        {offsetof(ParamBlock, EDIDINFO) + i * sizeof(EdidInfo) + offsetof(EdidInfo, gap1), 1});
  }
  gaps.push_back({offsetof(ParamBlock, TASKEINFO.gap1), 3});
  for (int i = 0; i < kTasks; ++i) {
    gaps.push_back(
        {offsetof(ParamBlock, TASKEINFO.TASK) + i * sizeof(Task) + offsetof(Task, gap7), 1});
  }
  gaps.push_back({offsetof(ParamBlock, LOGOINFO.gap5), 1});
  gaps.push_back({offsetof(ParamBlock, gap8C6), 2});
  gaps.push_back({offsetof(ParamBlock, PVWMODEINFO.gap1), 3});
  for (int i = 0; i < 2; ++i) {
    const std::size_t at = offsetof(ParamBlock, KEYERINFO.KEYER) + i * sizeof(Keyer);
    gaps.push_back({at + offsetof(Keyer, gap2), 2});
    gaps.push_back({at + offsetof(Keyer, gap17), 3});
  }
  gaps.push_back({offsetof(ParamBlock, gap902), 2});
  const std::size_t board = offsetof(ParamBlock, COMPOSITEBOARD);
  gaps.push_back({board + offsetof(CompositeBoard, gap1), 3});
  gaps.push_back({board + offsetof(CompositeBoard, gap21), 1});
  gaps.push_back({board + offsetof(CompositeBoard, gap24), 2});
  gaps.push_back({board + offsetof(CompositeBoard, gap28), 2});
  gaps.push_back({board + offsetof(CompositeBoard, gap32), 2});
  gaps.push_back({board + offsetof(CompositeBoard, gap35), 1});
  gaps.push_back({board + offsetof(CompositeBoard, gap37), 3});
  return gaps;
}

// A forgotten field leaves a byte uncovered; a field listed twice (or over a
// gap) covers one twice.
TEST(ParamFields, EveryByteOutsideTheGapsIsCoveredExactlyOnce) {
  std::array<int, kParamBlockSize> cover{};
  for (const Range& gap : Gaps()) {
    for (std::size_t b = 0; b < gap.size; ++b) ++cover[gap.offset + b];
  }
  for (const ImageField& field : ImageFields()) {
    for (std::size_t b = 0; b < field.size; ++b) ++cover[field.offset + b];
  }
  for (std::size_t b = 0; b < cover.size(); ++b) {
    EXPECT_EQ(cover[b], 1) << "byte 0x" << std::hex << b;
  }
}

// One changed field, for every field of every group: exactly that group is
// named, in the list its owner belongs to, and the words name the group.
TEST(ParamFields, OneChangedFieldNamesExactlyItsGroup) {
  const std::vector<ImageField>& fields = ImageFields();
  std::set<int> groupsSeen;
  for (std::size_t f = 0; f < fields.size(); ++f) {
    const ImageField& field = fields[f];
    ParamBlock before{};
    ParamBlock after{};
    reinterpret_cast<uint8_t*>(&after)[field.offset] = 1;
    const ImageDiff diff = DiffImages(before, after);
    const auto& named = field.processorOwned ? diff.processorChanges : diff.changes;
    const auto& other = field.processorOwned ? diff.changes : diff.processorChanges;
    ASSERT_EQ(named.size(), 1u) << field.name;
    EXPECT_TRUE(other.empty()) << field.name;
    EXPECT_EQ(named[0].group, field.group) << field.name;
    EXPECT_EQ(named[0].fields, std::vector<int>{static_cast<int>(f)});
    const std::string name = GroupName(field.group, ImageLanguage::English);
    EXPECT_EQ(named[0].words.rfind(name + ": ", 0), 0u) << named[0].words;
    groupsSeen.insert(field.group);
  }
  // Every group has a field, so every group was named once above.
  EXPECT_EQ(groupsSeen.size(), ImageGroups().size());
  // The groups of one page follow each other.
  for (std::size_t g = 1; g < ImageGroups().size(); ++g) {
    EXPECT_LE(PageOf(static_cast<int>(g) - 1), PageOf(static_cast<int>(g))) << g;
  }
  EXPECT_TRUE(DiffImages(ParamBlock{}, ParamBlock{}).changes.empty());
}

TEST(ParamFields, GroupsAreListedInPageOrderWithTheirWords) {
  ParamBlock before{};
  before.OUTPUTRESO.HRESO = 1920;
  before.OUTPUTRESO.VRESO = 1080;
  before.OUTPUTRESO.FPS = 6000;
  before.CHNLDATA[1] = {1, 255, 2, 0, 0, 0, 960, 540, 0};
  before.CROP[GroupLayerIndex(2, 1)].HTOTAL = 1920;
  ParamBlock after = before;
  after.OUTPUTRESO.HRESO = 3840;
  after.OUTPUTRESO.VRESO = 2160;
  after.OUTPUTRESO.FPS = 3000;
  after.OUTPUTRESO.HTOTAL = 4400;
  after.CHNLDATA[1].HPOS = 1140;
  after.CHNLDATA[1].VPOS = 60;
  after.CHNLDATA[1].HACT = 720;
  after.CHNLDATA[1].VACT = 405;
  after.KEYERINFO.KEYER[0].KEYERONOFF = 1;
  after.PICSET[GroupLayerIndex(2, 1)].CONTRAST = 60;
  after.CROP[GroupLayerIndex(2, 1)].HTOTAL = 1280;
  after.PICCOMMSETT.GAMMA = 2.2f;
  after.OUTPUTRESO.FPS = 5994;

  const ImageDiff diff = DiffImages(before, after);
  std::vector<std::string> words;
  for (const GroupChange& change : diff.changes) words.push_back(change.words);
  EXPECT_EQ(words, (std::vector<std::string>{
                       "PIP-1 window: 0,0 960x540 → 1140,60 720x405",
                       "Picture: GAMMA 0 → 2.2",
                       "Picture of input group 3, PIP-1: CONTRAST 0 → 60",
                       "Output: 1920x1080 60 Hz → 3840x2160 59.94 Hz, HTOTAL 0 → 4400",
                       "Keyer 1: off → on",
                   }));
  ASSERT_EQ(diff.processorChanges.size(), 1u);
  EXPECT_EQ(diff.processorChanges[0].words, "Crop of input group 3, PIP-1: HTOTAL 1920 → 1280");

  const ImageDiff chinese = DiffImages(before, after, ImageLanguage::Chinese);
  ASSERT_EQ(chinese.changes.size(), 5u);
  EXPECT_EQ(chinese.changes[0].words, "PIP-1 窗口: 0,0 960x540 → 1140,60 720x405");
  EXPECT_EQ(chinese.changes[3].words,
            "输出: 1920x1080 60 Hz → 3840x2160 59.94 Hz, HTOTAL 0 → 4400");
  EXPECT_EQ(chinese.changes[4].words, "抠像 1: 关 → 开");
}

}  // namespace
}  // namespace orv
