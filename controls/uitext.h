// The boundary between the program's byte strings and Qt's texts: bytes are
// shown as UTF-8 when they are valid UTF-8, else as Latin-1, and file names
// cross with the file system's own encoding.
#pragma once

#include <QFont>
#include <QString>

#include <string>

namespace tintorel {

// The font of every window: the desktop's default (sans-serif) font at
// 8 points.
QFont WindowFont();

QString DisplayText(const std::string& bytes);
// The bytes of a text that came from DisplayText or from the user.
std::string TextBytes(const QString& text);
QString FileNameText(const std::string& bytes);
std::string FileNameBytes(const QString& name);

} // namespace tintorel
