// The boundary between the program's byte strings and Qt's texts: bytes are
// shown as UTF-8 when they are valid UTF-8, else as Latin-1, and file names
// cross with the file system's own encoding.
#pragma once

#include <QString>

#include <string>

namespace tintorel {

QString DisplayText(const std::string& bytes);
// The bytes of a text that came from DisplayText or from the user.
std::string TextBytes(const QString& text);
// A caption with its accelerator markers taken out, for a label that has no
// control to reach: "&Red" reads "Red" and "&&" reads "&".
QString CaptionWithoutMarkers(const QString& caption);
// The text of a code field with one byte per character the user sees:
// characters outside ASCII, which no code accepts, become one byte that no
// code accepts either, so that the codes' length rules count characters.
std::string CodeFieldBytes(const QString& text);
QString FileNameText(const std::string& bytes);
std::string FileNameBytes(const QString& name);

// A widget given the object name its window's design knows it by.
template <class Widget> Widget* Named(Widget* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace tintorel
