// Texts cross between the core and the widgets here. The core keeps 8-bit
// bytes exactly as read or typed; the widgets show them decoded with the
// locale's encoding, and operator input goes back encoded the same way.
#pragma once

#include <QString>
#include <string>

inline QString ShownText(const std::string& bytes) {
  return QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

inline std::string CoreText(const QString& text) {
  const QByteArray bytes = text.toLocal8Bit();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}
