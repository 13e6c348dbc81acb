#include "tests/e2e/e2e_fixture.h"

#include <stdexcept>

#include "link/link_library.h"
#include "tests/support/program_fixture.h"

// The library stays loaded for the process: bind it once.
const LinkLibrary& EndToEnd::BoundLinkLibrary() {
  static const LinkLibrary library = [] {
    std::string error;
    auto bound = BindLinkLibrary(TERMLINK_PATH, error);
    if (!bound) throw std::runtime_error(error);
    return *bound;
  }();
  return library;
}

EndToEnd::EndToEnd(const std::optional<LinkLibrary>& link)
    : program(std::make_unique<Program>(loop, view, link ? *link : BoundLinkLibrary(),
                                        folder.File("orlent"))) {
  program->Start();
  ChangeCycleOptions(*program, std::nullopt, kPauseMs, kAnswerTimeoutMs);
}

EndToEnd::~EndToEnd() {
  // No answer may reach the window once it is gone.
  for (const auto& address : dialled) program->Link().Disconnect(address.c_str(), -1);
  simulator.reset();
}

void EndToEnd::StartSimulator(const Lines& addresses, const Lines& extra) {
  StartSimulators({{addresses, extra}});
}

void EndToEnd::StartSimulators(const std::vector<std::pair<Lines, Lines>>& addressesAndExtras) {
  std::vector<Lines> argsOfEach;
  for (const auto& [addresses, extra] : addressesAndExtras) {
    Lines args{"--store", folder.File("store")};
    for (const auto& address : addresses) {
      args.push_back("--listen");
      args.push_back(address + ":0");
    }
    args.insert(args.end(), extra.begin(), extra.end());
    argsOfEach.push_back(args);
  }
  neighbours = StartSharingOnePort(argsOfEach);
  simulator = std::move(neighbours.front());
  neighbours.erase(neighbours.begin());
  program->Terminals().SetPort(std::to_string(Port()));
}

void EndToEnd::StopSimulator() {
  simulator->Stop();
}

bool EndToEnd::RunCycle(const std::vector<TerminalEntry>& terminals) {
  for (const auto& entry : terminals) dialled.push_back(entry.address);
  program->Terminals().SetEntries(terminals);
  program->HandleEvent([&] { program->Send(TickedSendOrder(*program)); });
  return loop.RunUntil(
      [&] {
        return !program->CycleRunning() && !program->Activity().Lines().empty() &&
               program->Activity().Lines().back() == "* End *";
      },
      kRunLimit);
}

bool EndToEnd::RunUpload(const std::string& address, const std::string& fileName) {
  dialled.push_back(address);
  program->Serve(address);
  program->HandleEvent([&] { program->Connect(ServedOrder(*program)); });
  if (!loop.RunUntil([&] { return !program->ConnectPending(); }, kRunLimit)) return false;
  program->ChooseUploadFile(folder.File(fileName));
  program->HandleEvent([&] { program->Upload(ServedUploadOrder(*program)); });
  // The disconnect closes the upload file at the end of the transfer.
  return loop.RunUntil([&] { return program->Served()->OpenUploadFile() == nullptr; }, kRunLimit);
}

Lines EndToEnd::Dump(const std::string& address, const std::string& kind) {
  std::string output;
  const int exitCode = SimulatorProcess::Run(
      {"--dump", address, "--store", folder.File("store"), "--kind", kind}, output);
  EXPECT_EQ(exitCode, 0) << "dump of " << address;
  return SplitLines(output);
}

Lines EndToEnd::LogFrom(std::size_t from) const {
  const Lines& log = program->Activity().Lines();
  return Lines(log.begin() + static_cast<std::ptrdiff_t>(std::min(from, log.size())), log.end());
}

bool EndToEnd::Logged(const std::string& line) const {
  for (const auto& item : program->Activity().Lines())
    if (item == line) return true;
  return false;
}

Lines EndToEnd::FileLines(const std::string& name) const {
  const std::string text = folder.Read(name);
  EXPECT_TRUE(text.empty() || (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0))
      << name << " ends with CR LF";
  return SplitLines(text);
}

Lines SplitLines(const std::string& text) {
  Lines lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    std::size_t length = end - start;
    if (length > 0 && text[end - 1] == '\r') --length;
    lines.push_back(text.substr(start, length));
  }
  return lines;
}

std::string UploadLineOf(const std::string& downloadLine, const std::string& separator) {
  std::string line;
  std::size_t start = 0;
  for (std::size_t tab; (tab = downloadLine.find('\t', start)) != std::string::npos;
       start = tab + 1) {
    line += downloadLine.substr(start, tab - start) + separator;
  }
  return line + downloadLine.substr(start);
}
