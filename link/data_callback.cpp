#include "link/data_callback.h"

#include <memory>

#include "app/tform1.h"
#include "link/answer_copy.h"
#include "transfer/dispatch.h"

// Runs on the library's I/O thread: it touches nothing of the window but its
// loop, and hands the window a copy of the answer.
extern "C" int DataCallback(RequestPacket answer) {
  TForm1* form = Form1;
  if (!form || !answer.Data || !IsDispatchedCode(answer.Code)) return 1;
  auto copy = std::make_shared<const AnswerCopy>(answer);
  form->Loop.Post(
      [form, copy] { form->HandleEvent([form, copy] { DispatchAnswer(*form, copy->Packet()); }); });
  return 1;
}

extern "C" int SecondCallback(void) {
  return 1;
}
