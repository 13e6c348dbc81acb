// A started program for core tests: fake link library, manual loop on
// virtual time, recording view and a fresh program folder.
#pragma once

#include <memory>
#include <optional>

#include "model/program.h"
#include "tests/support/fake_link.h"
#include "tests/support/manual_loop.h"
#include "tests/support/recording_view.h"
#include "tests/support/temp_folder.h"

// Puts the given cycle options in force, the others staying, as the
// Settings dialog's OK does: saved, and taken by every order after it.
inline void ChangeCycleOptions(Program& program, std::optional<int> parallel,
                               std::optional<int> pauseMs, std::optional<int> answerTimeoutMs) {
  program.ChangeSettings(Resolved(OrderOptions{parallel, pauseMs, answerTimeoutMs, std::nullopt},
                                  program.CycleOptionsInForce()),
                         program.StoredCodePage());
}

struct ProgramFixture {
  TempFolder folder;
  FakeLink link;
  ManualLoop loop;
  RecordingView view;
  std::unique_ptr<Program> program;

  // Builds the program with the executable "orlent" in the fresh folder; when
  // `start` is true, starts it as the program's start does.
  explicit ProgramFixture(bool start = true)
      : program(std::make_unique<Program>(loop, view, link.Table(), folder.File("orlent"))) {
    if (start) program->Start();
  }
};
