// `import`: a shop system's export made a download file through an import
// profile of the program folder.
#include <cstdio>
#include <filesystem>

#include "cli/commands.h"
#include "import/import_file.h"
#include "settings/atomic_file.h"

namespace {

std::string InFolder(const std::string& folder, const std::string& name) {
  return (std::filesystem::path(folder) / name).string();
}

}  // namespace

int Import(CliRun& run, const ImportOptions& options) {
  const Program& program = *run.program;
  const std::string profiles = InFolder(program.ProgramFolder(), kImportProfilesFile);
  const ImportProfileRead profile = ReadImportProfile(profiles, options.profile);
  if (!profile.profile) throw ExitStatus(2, profile.error);
  const FileContent source = ReadWholeFile(options.source);
  if (source.status != ReadStatus::Ok)
    throw ExitStatus(2, "the export " + options.source + " cannot be read");
  const CodePage& terminalSet = run.codePage ? *run.codePage : program.CodePageInForce();
  const ShopImport taken = ImportShopExport(*profile.profile, source.bytes, terminalSet);
  for (const RefusedLine& line : taken.refused) {
    std::fprintf(stderr, "line %d: %s\n", line.line, line.reason.c_str());
  }
  const std::string out =
      options.out.empty() ? InFolder(program.ProgramFolder(), profile.profile->kind->downloadFile)
                          : std::filesystem::absolute(options.out).string();
  const ImportWritten written =
      WriteImport(taken, *profile.profile, options.source, out, terminalSet, options.skipBad);
  if (!written.written)
    throw ExitStatus(taken.error.empty() && !taken.refused.empty() ? 1 : 2, written.error);
  std::printf("%d %s written to %s\n", written.records, written.records == 1 ? "record" : "records",
              out.c_str());
  if (!written.refusedFile.empty()) {
    std::printf("%zu refused %s written to %s\n", taken.refused.size(),
                taken.refused.size() == 1 ? "line" : "lines", written.refusedFile.c_str());
  }
  return 0;
}
