#pragma once
// The screen facts and the default font that start-up fills once, on the GUI thread, for
// windows that draw or size by them.

#include <QFont>

struct GlobalStateBlock {
    int pixelsPerInchX = 0;
    int pixelsPerInchY = 0;
    // From the screen's bits per pixel: up to 1 -> 1, 2 to 4 -> 4, 5 to 8 -> 8, 9 to 24 -> 24,
    // deeper -> 0.
    int colourClass = 0;
    int colourClassCopy = 0;
};

const GlobalStateBlock& GlobalState();
// The default font: 8 points at the screen's vertical pixels per inch, in the face the
// string table names (IDS_DEFAULT_FONT_FACE), else the system's own face.
const QFont& DefaultFont();

// The colour class of a screen of that depth.
int ColourClassOfDepth(int bitsPerPixel);

// Reads the primary screen (false when there is none) and makes the default font.
bool InitGlobalState();
void CreateDefaultFont();
