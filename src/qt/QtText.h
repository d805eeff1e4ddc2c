#pragma once
// Paths and names on the disk are the locale's 8-bit text; Qt's strings are
// UTF-16. Every window file converts through these two, so that a byte that
// is no text in the locale is treated the same everywhere.
#include <QString>

#include <string>

namespace tarnwick {

inline QString ToQt(const std::string& bytes) { return QString::fromLocal8Bit(bytes); }
inline std::string FromQt(const QString& text) { return text.toLocal8Bit().toStdString(); }

} // namespace tarnwick
