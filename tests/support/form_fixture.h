// A started main window for core tests: fake link library, manual loop on
// virtual time, recording view and a fresh program folder.
#pragma once

#include <memory>

#include "app/tform1.h"
#include "tests/support/fake_link.h"
#include "tests/support/manual_loop.h"
#include "tests/support/recording_view.h"
#include "tests/support/temp_folder.h"

struct FormFixture {
  TempFolder folder;
  FakeLink link;
  ManualLoop loop;
  RecordingView view;
  std::unique_ptr<TForm1> form;

  // Builds the window with the executable "orlent" in the fresh folder; when
  // `start` is true, runs FormCreate as the program's start does.
  explicit FormFixture(bool start = true)
      : form(std::make_unique<TForm1>(loop, view, link.Table(), folder.File("orlent"))) {
    if (start) form->FormCreate();
  }
};
