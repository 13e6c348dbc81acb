// Texts cross between the core and the widgets here. The core's texts are
// UTF-8: its messages, the upload lines (turned from the terminal's character
// set) and the listing of a download file. The widgets show them decoded as
// UTF-8, and operator input goes back encoded the same way.
#pragma once

#include <QString>
#include <string>

inline QString ShownText(const std::string& bytes) {
  return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

inline std::string CoreText(const QString& text) {
  const QByteArray bytes = text.toUtf8();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}
