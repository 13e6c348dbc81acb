// The real orlent program in a folder without libtermlink.so, offscreen:
// it does not start, says why on standard error, and exits with 1; the
// window shows the same text in an error box first (answered by the
// box_answer_preload library, as an operator would).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/cli/cli_process.h"
#include "tests/support/temp_folder.h"

namespace {

std::vector<std::string> LinesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(MissingLinkLibrary, TheProgramSaysWhatIsMissingAndDoesNotStart) {
  TempFolder folder;
  const std::string program = folder.File("orlent");
  std::filesystem::copy_file(ORLENT_WINDOW_PATH, program);
  const std::string missing = "Cannot load the link library " + folder.File("libtermlink.so") +
                              ": cannot open shared object file: No such file or directory";
  const struct {
    std::vector<std::string> args;
    bool box;
  } cases[] = {{{}, true}, {{"--version"}, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.empty() ? "window" : c.args[0]);
    const ProcessResult run =
        RunProcess(program, c.args, folder.path(),
                   {"QT_QPA_PLATFORM=offscreen", "LD_PRELOAD=" BOX_ANSWER_PRELOAD_PATH,
                    "ASAN_OPTIONS=verify_asan_link_order=0"});
    EXPECT_EQ(run.exitCode, 1) << run.err;
    // Qt may add notes of its own on standard error.
    const std::vector<std::string> lines = LinesOf(run.err);
    const auto said = std::find(lines.begin(), lines.end(), missing);
    EXPECT_NE(said, lines.end()) << run.err;
    const auto shown = std::find(lines.begin(), lines.end(), "box: Orlent: " + missing);
    EXPECT_EQ(shown != lines.end(), c.box) << run.err;
    if (c.box) {
      EXPECT_LT(said, shown) << "said before the box is shown";
    }
    EXPECT_EQ(run.out, "");
    EXPECT_FALSE(std::filesystem::exists(folder.File("Orlent.ini")));
  }
}

}  // namespace
