// Sizes worked out from the running style and font.
#pragma once

class QLineEdit;
class QString;

namespace tintorel {

// The width a one-line edit needs to show `text` whole, without scrolling:
// the text and a cursor inside the room the style leaves for text, found as
// the edit itself finds it when it paints.
int LineEditWidthFor(const QLineEdit* edit, const QString& text);

} // namespace tintorel
