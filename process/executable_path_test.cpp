#include "process/executable_path.h"

#include <gtest/gtest.h>

#include <filesystem>

TEST(ExecutablePath, IsTheFullPathOfThisTestProgram) {
  const std::filesystem::path path = RunningExecutablePath();
  EXPECT_TRUE(path.is_absolute());
  EXPECT_EQ(path.filename(), "executable_path_test");
  EXPECT_TRUE(std::filesystem::equivalent(path, "/proc/self/exe"));
}

TEST(ExecutablePath, ProgramFolderHasNoTrailingSeparator) {
  EXPECT_EQ(ProgramFolderOf("/opt/orlent/orlent"), "/opt/orlent");
  EXPECT_EQ(ProgramFolderOf("/opt/my shop/orlent"), "/opt/my shop");
  EXPECT_EQ(ProgramFolderOf("/orlent"), "");  // the root: "" + "/Orlent.ini"
  EXPECT_EQ(ProgramFolderOf("orlent"), ".");
}
