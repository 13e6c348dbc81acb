// Binds the link library: loads the shared library and resolves its eight
// operations by name, all of them or none; and reads back why a call failed.
#include <dlfcn.h>

#include <string>

#include "link/link_library.h"
#include "process/executable_path.h"

namespace {

template <class Function>
bool Resolve(void* library, const char* name, Function& slot) {
  slot = reinterpret_cast<Function>(dlsym(library, name));
  return slot != nullptr;
}

// The name of the first operation the library lacks, or nullptr when it has all.
const char* ResolveAll(void* library, LinkLibrary& table) {
  if (!Resolve(library, "SetCommLibrary", table.SetCommLibrary)) return "SetCommLibrary";
  if (!Resolve(library, "AddInterpreter", table.AddInterpreter)) return "AddInterpreter";
  if (!Resolve(library, "GetLibraryInfo", table.GetLibraryInfo)) return "GetLibraryInfo";
  if (!Resolve(library, "AddProcConnection", table.AddProcConnection)) return "AddProcConnection";
  if (!Resolve(library, "Connect", table.Connect)) return "Connect";
  if (!Resolve(library, "IsConnect", table.IsConnect)) return "IsConnect";
  if (!Resolve(library, "SendDataEx", table.SendDataEx)) return "SendDataEx";
  if (!Resolve(library, "Disconnect", table.Disconnect)) return "Disconnect";
  if (!Resolve(library, "AddProcConnectionEx", table.AddProcConnectionEx)) {
    return "AddProcConnectionEx";
  }
  if (!Resolve(library, "TermLinkLastError", table.TermLinkLastError)) return "TermLinkLastError";
  return nullptr;
}

// Why dlopen failed, without the path it usually starts with.
std::string LoadFailureReason(const std::string& path) {
  const char* text = dlerror();
  std::string reason = text ? text : "unknown reason";
  if (reason.starts_with(path + ": ")) reason.erase(0, path.size() + 2);
  return reason;
}

}  // namespace

std::optional<LinkLibrary> BindLinkLibrary(const std::string& path, std::string& error) {
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    error = "Cannot load the link library " + path + ": " + LoadFailureReason(path);
    return std::nullopt;
  }
  LinkLibrary table;
  if (const char* missing = ResolveAll(library, table)) {
    error = "The link library " + path + " lacks the operation " + missing;
    dlclose(library);
    return std::nullopt;
  }
  return table;
}

std::optional<LinkLibrary> BindProgramLinkLibrary(const std::string& chosenPath,
                                                  std::string& error) {
  if (!chosenPath.empty()) return BindLinkLibrary(chosenPath, error);
  return BindLinkLibrary(ProgramFolderOf(RunningExecutablePath()) + "/" + kLinkLibraryFile, error);
}

std::string LastLinkFailure(const LinkLibrary& link) {
  char text[256];
  if (link.TermLinkLastError(text, sizeof text) == TERMLINK_OK) return "";
  return text;
}
