#pragma once
// The Fusion style, told to read its own pictures as PNG. Given a file name alone, Qt asks
// every image-format plugin whether it reads ".png" before using its own PNG reader, which
// loads all of them (and libjpeg) the first time: the menu bar's overflow icon and the group
// box frame did that at every start, to no use.

class QStyle;

namespace mw {

// Fusion, reading its pictures as PNG; the caller owns it.
QStyle* MakeLeanStyle();

// Makes the application's style the lean twin of Fusion when Fusion is the style in use;
// leaves any other style as it is. Call after the QApplication is made, before any window.
void UseLeanStyle();

}  // namespace mw
