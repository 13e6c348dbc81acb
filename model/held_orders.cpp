#include "model/held_orders.h"

#include "model/program.h"

SendOrder TickedSendOrder(const Program& program) {
  return SendOrder{
      program.Kind().kind, program.DownloadFilePath(), program.Terminals().Ticked(), {}};
}

VerifyOrder TickedVerifyOrder(const Program& program) {
  return VerifyOrder{
      program.Kind().kind, program.DownloadFilePath(), program.Terminals().Ticked(), {}};
}

ReadFileOrder SendFileListing(const Program& program) {
  return ReadFileOrder{program.DownloadFilePath(), std::nullopt};
}

TerminalOrder ServedOrder(const Program& program) {
  return TerminalOrder{program.ServedAddress(), {}};
}

DownloadOrder ServedDownloadOrder(const Program& program) {
  return DownloadOrder{
      program.ServedAddress(), program.Kind().kind, program.DownloadFilePath(), {}};
}

UploadOrder ServedUploadOrder(const Program& program) {
  return UploadOrder{
      program.ServedAddress(), program.Kind().UploadCode(), program.UploadFileName(), {}};
}
