// Start-up and close of the program.
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <memory>
#include <system_error>

#include "model/program.h"
#include "process/executable_path.h"
#include "settings/folder_claim.h"
#include "settings/settings_file.h"

namespace {

// Registers the transport and the interpreters; the link library reports any
// trouble with them later, as a failed connect.
void RegisterLinkLibraries(const LinkLibrary& link) {
  link.SetCommLibrary(1, "TLTCPIP.DLL");
  link.AddInterpreter(100, 5000, "Interp5000.dll");
  link.AddInterpreter(100, 5010, "Interp5010.dll");
  link.AddInterpreter(100, 16, "Interp16.dll");
}

std::string LibraryVersionLine(const LinkLibrary& link) {
  uint8_t info[7] = {3};
  char text[256] = "";  // room for a library that writes into it
  link.GetLibraryInfo(info, text);
  char line[96];
  // "%-2d" prints as the traditional "%-02d": the zero flag yields to "-".
  std::snprintf(line, sizeof line, "- %s Version %d.%d [%02d-%02d-%-2d]", "TLTCPIP.DLL", info[2],
                info[3], info[4], info[5], info[6]);
  return line;
}

}  // namespace

void Program::Start(const StartUp& startUp) {
  startUp_ = startUp;
  kept_.List() = TerminalList();
  kept_.KeepSetAside(startUp.keepSetAsideSettings);
  log_.Clear();
  journal_ =
      std::make_unique<DailyJournal>(programFolder_ + "/logs", [this] { return LocalTime(); });
  kept_.Open(std::make_unique<SettingsFile>(programFolder_ + "/Orlent.ini"));
  ClaimProgramFolder(*kept_.File(), startUp_.role);
  // A settings file that cannot be read is reported once start-up is done,
  // so that the window is usable all the same.
  std::exception_ptr loadFailure;
  try {
    LoadTerminalSettings();
  } catch (const std::exception&) {
    loadFailure = std::current_exception();
  }
  inForce_ = kept_.CycleOptionsStored();
  codePageInForce_ = kept_.CodePageStored();
  RegisterLinkLibraries(link_);
  versionLine_ = LibraryVersionLine(link_);
  AddLog(kWindowCaption);
  sendFile_ = "PLU-Down-Default.txt";
  uploadFile_ = "PLU-Up-Default.txt";
  fileChosen_ = false;
  // PLU, yet not chosen as a kind is, so the default file names stay.
  kind_.kind = DataKind::Plu;
  // A remembered file that is gone (a drive not mounted, a file moved) leaves
  // the default; it stays remembered for the next start.
  std::error_code ignored;
  const std::string& remembered = kept_.RememberedSendFile();
  if (!remembered.empty() && std::filesystem::is_regular_file(remembered, ignored)) {
    ChooseSendFile(remembered);
  }
  if (loadFailure) std::rethrow_exception(loadFailure);
}

void Program::Close() {
  // Sessions hold their terminals' locks in the settings file's lock file, a
  // connect in flight too: they go before it.
  served_.Release();
  cycles_.Release();
  // The window closes whether or not the save succeeds, so the settings file
  // object goes in either case; the failure still reaches the operator.
  try {
    SaveTerminalSettings();
  } catch (...) {
    kept_.Release();
    throw;
  }
  kept_.Release();
}
