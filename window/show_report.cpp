// show_report: one received report file in the report view, as the window
// shows a report when it arrives. scripts/screenshot takes the picture of the
// view with it.
//   show_report FILE plu|time|group|dept
#include <QApplication>
#include <cstdio>
#include <string>

#include "records/record_kinds.h"
#include "window/report_view.h"

namespace {

// A report by the last part of its name: "time" for "report-time".
int ReportCode(const char* name) {
  const RecordKind* kind = KindNamed(std::string("report-") + name);
  return kind && kind->report ? kind->code : -1;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  const int code = argc == 3 ? ReportCode(argv[2]) : -1;
  if (code < 0) {
    std::fprintf(stderr, "usage: show_report FILE plu|time|group|dept\n");
    return 2;
  }
  if (!ShowReportView(nullptr, argv[1], static_cast<uint8_t>(code))) return 1;
  return application.exec();
}
