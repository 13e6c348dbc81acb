#include "cli/kind_arguments.h"

#include <filesystem>
#include <optional>

#include "cli/cli_run.h"
#include "records/record_kinds.h"

KindChoice KindChoiceNamed(const std::string& name) {
  if (name == "report") return {DataKind::Report, ReportType::Plu};
  const RecordKind* kind = KindNamed(name);
  const std::optional<KindChoice> choice = kind ? KindChoiceOfCode(kind->code) : std::nullopt;
  if (!choice) throw ExitStatus(2, "there is no kind '" + name + "'");
  return *choice;
}

std::string Absolute(const std::string& path) {
  return std::filesystem::absolute(path).string();
}

std::string KindName(DataKind kind) {
  return kind == DataKind::Report ? "report" : KindOfCode(CodeOf(kind))->name;
}
