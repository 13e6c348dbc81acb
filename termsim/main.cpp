// orlent-termsim: simulated weighing terminals that speak the termlink wire
// protocol, for trying a file before it reaches real terminals, for demos
// and for tests.
#include <iostream>
#include <stdexcept>

#include "termsim/dump.h"
#include "termsim/sim_options.h"
#include "termsim/simulator.h"

int main(int argc, char** argv) {
  int exitCode = 0;
  std::optional<SimOptions> options = ParseSimOptions(argc, argv, exitCode);
  if (!options) return exitCode;
  try {
    if (!options->dumpAddress.empty()) {
      DumpRecords(options->store, options->dumpAddress, options->dumpKind, std::cout);
      return 0;
    }
    return RunSimulator(*options);
  } catch (const std::exception& error) {
    std::cerr << "orlent-termsim: " << error.what() << std::endl;
    return 1;
  }
}
