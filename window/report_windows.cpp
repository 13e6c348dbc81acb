#include "window/report_windows.h"

#include "records/records.h"

ReportView* ReportWindows::Open(QWidget* parent, const std::string& path, uint8_t code) {
  std::optional<PluNames> names;
  if (code == kCodeReportPlu) names = pluNames_();
  ReportView* view = ShowReportView(parent, path, code, names);
  if (!view) return nullptr;
  if (last_) view->move(last_->pos() + QPoint(kOffset, kOffset));
  last_ = view;
  return view;
}
