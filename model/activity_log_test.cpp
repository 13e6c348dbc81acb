#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "tests/support/program_fixture.h"

using Lines = std::vector<std::string>;

TEST(ActivityLog, EmptyTextsAddBlankLines) {
  ProgramFixture f;
  f.program->AddLog("");
  f.program->AddLog("");
  f.program->AddLog("- Success Connect 127.0.0.2");
  EXPECT_EQ(f.program->Activity().Lines(),
            (Lines{kWindowCaption, "", "", "- Success Connect 127.0.0.2"}));
  EXPECT_EQ(f.view.appended, f.program->Activity().Lines());
}

TEST(ActivityLog, ReplacingTheLastLineKeepsTheCount) {
  ProgramFixture f;
  f.program->AddLog("- Success to Send Plu (1)");
  f.program->ReplaceLogLine("- Success to Send Plu (2)", 1);
  EXPECT_EQ(f.program->Activity().Lines(), (Lines{kWindowCaption, "- Success to Send Plu (2)"}));
  ASSERT_EQ(f.view.replaced.size(), 1u);
  EXPECT_EQ(f.view.replaced[0].first, 1u);
  EXPECT_EQ(f.view.replaced[0].second, "- Success to Send Plu (2)");
}

TEST(ActivityLog, ReplacingALineThatIsNotThereFailsAndChangesNothing) {
  ProgramFixture f;
  for (const int index : {-1, 1, 7}) {
    try {
      f.program->ReplaceLogLine("x", index);
      ADD_FAILURE() << "index " << index << " was accepted";
    } catch (const std::out_of_range& e) {
      EXPECT_EQ(std::string(e.what()), "List index out of bounds (" + std::to_string(index) + ")");
    }
  }
  EXPECT_EQ(f.program->Activity().Lines(), Lines{kWindowCaption});
  EXPECT_TRUE(f.view.replaced.empty());
}

TEST(ActivityLog, ClearLeavesTheCaptionOnly) {
  ProgramFixture f;
  for (int i = 0; i < 500; ++i) f.program->AddLog("line " + std::to_string(i));
  const int clearsBefore = f.view.clears;
  f.program->ClearLog();
  EXPECT_EQ(f.program->Activity().Lines(), Lines{kWindowCaption});
  EXPECT_EQ(f.view.clears, clearsBefore + 1);
  EXPECT_EQ(f.view.appended.back(), kWindowCaption);
  f.program->ClearLog();
  EXPECT_EQ(f.program->Activity().Lines(), Lines{kWindowCaption});
}
