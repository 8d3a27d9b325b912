// What screen readers are told of the program's own widgets, beyond what Qt
// tells of its standard ones: the number box beside each slider is a spin
// box with its value and range, the colour field a canvas whose value is
// the colour under its mark, the main window a window, the preview a
// picture, a contrast sample a line of text, and the announcer a
// notification. Installed once, before any window is made.
#pragma once

namespace tintorel {

void InstallAccessibleInterfaces();

// Set true on a checkable button whose meaning is in its click: a screen
// reader's Toggle action then clicks it.
inline constexpr char kToggleClicks[] = "tintorelToggleClicks";

} // namespace tintorel
