#pragma once
// The screen facts and the default font that start-up makes once, on the GUI thread.
// (No window reads them yet: each draws with its own widget's font and metrics.)

struct GlobalStateBlock {
    int pixelsPerInchX = 0;
    int pixelsPerInchY = 0;
    // From the screen's bits per pixel: up to 1 -> 1, 2 to 4 -> 4, 5 to 8 -> 8, 9 to 24 -> 24,
    // deeper -> 0.
    int colourClass = 0;
    int colourClassCopy = 0;
};

// The colour class of a screen of that depth.
int ColourClassOfDepth(int bitsPerPixel);

// Reads the primary screen (false when there is none) and makes the default font.
bool InitGlobalState();
// The default font: 8 points at the screen's vertical pixels per inch, in the face the
// string table names (IDS_DEFAULT_FONT_FACE), else the system's own face.
void CreateDefaultFont();
