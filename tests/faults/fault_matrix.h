// The fault matrix: each way a terminal can misbehave, played against a send
// cycle of three terminals (through the window's core, in this process) and
// against an upload (through orlent-cli, the program that runs uploads), over
// the real libtermlink.so and orlent-termsim on loopback. Every scenario adds
// a row to a table that is printed when the test program ends; run the test
// program itself to see the whole matrix.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/cli/cli_process.h"
#include "tests/e2e/e2e_fixture.h"
#include "tests/e2e/sample_files.h"

// Adds one row to the table printed at the end of the run.
void AddMatrixRow(const std::string& fault, const std::string& cycle, const std::string& upload);

// What the log, the acknowledgments and the store say of one terminal of a cycle.
struct TerminalReport {
  std::string address;
  std::string outcome;         // "complete", "fail connect", "time out", "send failed" or "none"
  Lines log;                   // its lines of the cycle's log, from its connect line on
  int handedOver = 0;          // the count of the last PLU progress or completion line
  int acknowledged = 0;        // acknowledgments that echo the record written
  int refused = 0;             // acknowledgments numbered 0: the terminal's status instead
  Lines unstoredAcknowledged;  // acknowledged records missing from the store
  Lines stored;                // the terminal's PLU records, as download file lines
  std::string Summary() const;
};

struct CycleResult {
  bool ended = false;  // "* End *" within the time the faults allow
  std::vector<TerminalReport> terminals;
  std::vector<std::string> errors;  // error boxes and failures shown
  bool settingsIntact = false;      // a save after the cycle wrote the same bytes
  std::string Summary() const;
};

struct UploadResult {
  ProcessResult cli;
  Lines fileLines;     // the upload file, without the CR LF ends
  std::size_t logged;  // lines the log says were written (...AddPlu)
  bool settingsIntact = false;
  std::string Summary() const;
};

class FaultMatrix : public EndToEnd {
 public:
  static constexpr int kRecords = 10;
  static constexpr int kTimeoutMs = 600;

 protected:
  // The answer time-out of the cycle and the upload that follow; a fault that
  // must stay within it sets a longer one.
  int answerTimeoutMs = kTimeoutMs;

  // The most a cycle of three may take: its pauses, transfers and two answer
  // time-outs, with room for a loaded machine and the sanitizers.
  static constexpr auto kCycleLimit = std::chrono::seconds(30);

  FaultMatrix();

  // The cycle 127.0.0.2 (faulty), 127.0.0.3 (healthy), 127.0.0.4 (faulty),
  // all ticked in the settings file, sending a PLU file of kRecords records.
  // With `listen` false nothing listens on the faulty addresses. `watch` is
  // called between the window's steps.
  CycleResult PlayCycle(const Lines& faults, bool listen = true,
                        const std::function<void()>& watch = nullptr);
  // A PLU upload from 127.0.0.2 into `out` through orlent-cli, after a
  // healthy run of the simulator stored kRecords records there. `memory`
  // flags apply to both runs of the simulator, `faults` to the upload's only.
  UploadResult PlayUpload(const Lines& faults, bool listen = true, const Lines& memory = {},
                          const std::string& out = "PLU-Up.txt");

  // The PLU download file's lines.
  const Lines source = PluLines(kRecords);

 private:
  void WriteSettings(const std::string& iniPath, int port, const Lines& addresses);
  TerminalReport Report(const std::string& address, std::size_t logFrom);
};

// The lines of the upload file that the records of `source` give, in order.
Lines UploadLinesOf(const Lines& source);
