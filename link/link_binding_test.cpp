#include <dlfcn.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "link/link_library.h"
#include "model/program.h"
#include "process/executable_path.h"
#include "tests/support/manual_loop.h"
#include "tests/support/recording_view.h"
#include "tests/support/temp_folder.h"

namespace {

// The calls the fake library at `path` (already bound) has seen so far.
std::string Journal(const std::string& path) {
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (!library) return "<not loaded>";
  auto journal = reinterpret_cast<const char* (*)()>(dlsym(library, "FakeTermlinkJournal"));
  std::string calls = journal ? journal() : "<no journal>";
  dlclose(library);  // drops only the reference taken here
  return calls;
}

// The file of the loaded library that holds `operation`.
std::string FileHolding(const void* operation) {
  Dl_info info{};
  return dladdr(operation, &info) && info.dli_fname ? info.dli_fname : "<not in a library>";
}

}  // namespace

TEST(LinkBinding, CompleteLibraryIsBoundAndStartUpRegistersThroughIt) {
  std::string error;
  const auto link = BindLinkLibrary(FAKE_TERMLINK_FULL, error);
  ASSERT_TRUE(link) << error;
  EXPECT_TRUE(link->SetCommLibrary && link->AddInterpreter && link->GetLibraryInfo &&
              link->AddProcConnection && link->Connect && link->IsConnect && link->SendDataEx &&
              link->Disconnect);

  TempFolder folder;
  ManualLoop loop;
  RecordingView view;
  Program program(loop, view, *link, folder.File("orlent"));
  program.Start();
  EXPECT_EQ(Journal(FAKE_TERMLINK_FULL),
            "SetCommLibrary 1 TLTCPIP.DLL\n"
            "AddInterpreter 100 5000 Interp5000.dll\n"
            "AddInterpreter 100 5010 Interp5010.dll\n"
            "AddInterpreter 100 16 Interp16.dll\n"
            "GetLibraryInfo 3 ''\n");
  EXPECT_EQ(program.VersionLine(), "- TLTCPIP.DLL Version 2.7 [24-03-9 ]");
  // The library refuses every interpreter; the start neither notices nor says so.
  EXPECT_EQ(program.Activity().Lines(), std::vector<std::string>{kWindowCaption});
  EXPECT_TRUE(view.errors.empty() && view.failures.empty());
}

TEST(LinkBinding, LibraryFromTheProgramFolderIsTheOneCalled) {
  TempFolder folder;
  std::filesystem::copy_file(FAKE_TERMLINK_FULL, folder.File(kLinkLibraryFile));
  const std::string path = ProgramFolderOf(folder.File("orlent")) + "/" + kLinkLibraryFile;
  std::string error;
  const auto link = BindLinkLibrary(path, error);
  ASSERT_TRUE(link) << error;
  EXPECT_EQ(link->Connect("127.0.0.2", -1), 0);
  EXPECT_EQ(link->Disconnect("127.0.0.2", -1), 1);
  EXPECT_EQ(Journal(path), "Connect 127.0.0.2 -1\nDisconnect 127.0.0.2 -1\n");
}

TEST(LinkBinding, LibraryLackingAnOperationIsRefusedByName) {
  std::string error;
  EXPECT_FALSE(BindLinkLibrary(FAKE_TERMLINK_NO_DISCONNECT, error));
  EXPECT_EQ(error, std::string("The link library ") + FAKE_TERMLINK_NO_DISCONNECT +
                       " lacks the operation Disconnect");
}

TEST(LinkBinding, MissingLibraryIsRefusedByPath) {
  TempFolder folder;
  const std::string path = folder.File(kLinkLibraryFile);
  std::string error;
  EXPECT_FALSE(BindLinkLibrary(path, error));
  EXPECT_EQ(error, "Cannot load the link library " + path +
                       ": cannot open shared object file: No such file or directory");
}

TEST(LinkBinding, TheProgramBindsTheLibraryBesideItOrTheOneChosen) {
  TempFolder folder;
  const std::string missing = folder.File("nothing.so");
  const struct {
    const char* name;
    std::string chosen;
    std::string bound;  // the library file bound, or empty when refused
    std::string error;
  } cases[] = {
      {"none chosen: libtermlink.so in the program folder", "", TERMLINK_PATH, ""},
      {"one chosen", FAKE_TERMLINK_FULL, FAKE_TERMLINK_FULL, ""},
      {"one chosen that is missing", missing, "",
       "Cannot load the link library " + missing +
           ": cannot open shared object file: No such file or directory"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string error;
    const auto link = BindProgramLinkLibrary(c.chosen, error);
    EXPECT_EQ(error, c.error);
    ASSERT_EQ(link.has_value(), !c.bound.empty());
    if (link) {
      EXPECT_TRUE(std::filesystem::equivalent(
          FileHolding(reinterpret_cast<const void*>(link->Connect)), c.bound));
    }
  }
}
