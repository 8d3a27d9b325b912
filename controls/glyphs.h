// The program's own glyphs (the pipette, the preferences cog), drawn as
// vectors at whatever size and device pixel ratio they are shown, in the
// text colour of the palette in use when they are painted: sharp at any
// scale and legible under light, dark and high-contrast palettes alike.
#pragma once

#include <QIcon>

namespace tintorel {

QIcon PipetteIcon();
QIcon PreferencesIcon();

// The program's icon from the pixmaps ":/icons/SIZE.png" of the given sizes,
// each decoded only when a size near it is asked for.
QIcon ProgramIcon(const QList<int>& sizes);

} // namespace tintorel
