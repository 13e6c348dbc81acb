// End-to-end tests of the core: the main window's handlers over the real
// libtermlink.so and orlent-termsim on loopback, on a real-time loop.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "model/program.h"
#include "termsim/simulator_process.h"
#include "tests/support/real_loop.h"
#include "tests/support/recording_view.h"
#include "tests/support/temp_folder.h"

using Lines = std::vector<std::string>;

class EndToEnd : public ::testing::Test {
 protected:
  // Short pauses, so the tests stay fast also under the sanitizers.
  static constexpr int kPauseMs = 20;
  static constexpr int kAnswerTimeoutMs = 1500;
  static constexpr std::chrono::seconds kRunLimit{120};

  // The program on the real link library, or on `link` when given (a
  // table that passes some calls through to BoundLinkLibrary()).
  explicit EndToEnd(const std::optional<LinkLibrary>& link = std::nullopt);
  ~EndToEnd() override;

 public:
  // The real link library, bound once for the process.
  static const LinkLibrary& BoundLinkLibrary();

 protected:
  // Starts orlent-termsim listening on `addresses` (one port for all) with its
  // store in the test's folder, plus `extra` arguments (faults).
  void StartSimulator(const Lines& addresses, const Lines& extra = {});
  // The same for several simulators on one port, each on its addresses with
  // its own extra arguments: the first becomes `simulator`, the others
  // `neighbours`.
  void StartSimulators(const std::vector<std::pair<Lines, Lines>>& addressesAndExtras);
  // Stops the simulator, so its store is on disk.
  void StopSimulator();
  int Port() const { return simulator->port(); }

  // Presses "&Send Data" with `terminals` in the list and runs until "* End *".
  bool RunCycle(const std::vector<TerminalEntry>& terminals);
  // Connects to `address` outside a cycle, runs the Upload action into
  // `fileName` in the test's folder, and runs until the transfer has ended.
  bool RunUpload(const std::string& address, const std::string& fileName);
  // The records that terminal `address` stores of `kind`, as download file lines.
  Lines Dump(const std::string& address, const std::string& kind);

  // Lines of the log since `from`, and whether `line` is among them.
  Lines LogFrom(std::size_t from) const;
  bool Logged(const std::string& line) const;
  // Lines of a text file with CR LF ends, without them.
  Lines FileLines(const std::string& name) const;

  TempFolder folder;  // the program folder; upload files are made here too
  RealLoop loop;
  RecordingView view;
  std::unique_ptr<Program> program;
  std::unique_ptr<SimulatorProcess> simulator;
  std::vector<std::unique_ptr<SimulatorProcess>> neighbours;
  Lines dialled;  // every address the test served, disconnected at its end
};

// Splits `text` into lines ending in "\n" (an "\r" before it is dropped).
Lines SplitLines(const std::string& text);
// The upload file line of a download file line: its columns joined with ", ".
std::string UploadLineOf(const std::string& downloadLine, const std::string& separator = ", ");
