#pragma once
// Makes every picture the code under test asks for and the bundle lacks a
// failure of the test that asked, instead of a blank button nobody notices.
// GUI test executables install it in main() after InitGoogleTest:
//
//   orv::test::FailTestsThatMissPictures();
//
// A test that asks for a missing number on purpose clears the record
// (ClearMissingResources) before it ends. Needs orv_resources.
#include <gtest/gtest.h>

#include <sstream>

#include "ResourceRegistry.h"

namespace orv::test {

class MissingArtCheck : public ::testing::EmptyTestEventListener {
 public:
  void OnTestStart(const ::testing::TestInfo&) override { ClearMissingResources(); }

  void OnTestEnd(const ::testing::TestInfo&) override {
    const auto missing = MissingResources();
    if (missing.empty()) return;
    std::ostringstream names;
    for (const auto& [type, id] : missing) {
      names << ' ' << art::ArtFolder(type) << '/' << id;
    }
    ClearMissingResources();
    ADD_FAILURE() << "the program asked for pictures the bundle lacks:" << names.str();
  }
};

// End events reach the listeners in reverse order, so a check appended after
// the result printer runs before it and the failure shows under its test.
inline void FailTestsThatMissPictures() {
  ::testing::UnitTest::GetInstance()->listeners().Append(new MissingArtCheck);
}

}  // namespace orv::test
