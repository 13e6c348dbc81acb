// The report views the main window opens as reports arrive: several that
// arrive at once open cascaded, each offset from the last one still open,
// and a PLU report names its PLUs from the send file.
#pragma once

#include <QPoint>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <string>

#include "window/report_view.h"

class ReportWindows {
 public:
  // How far each new view stands from the last one, right and down.
  static constexpr int kOffset = 32;

  // `pluNames` reads the names for a PLU report when one arrives.
  explicit ReportWindows(std::function<PluNames()> pluNames) : pluNames_(std::move(pluNames)) {}

  // Shows the report file `path` of data type `code`: the view, or nullptr
  // after the message box that refuses the file.
  ReportView* Open(QWidget* parent, const std::string& path, uint8_t code);

 private:
  std::function<PluNames()> pluNames_;
  QPointer<ReportView> last_;
};
