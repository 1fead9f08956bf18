#pragma once
// Every picture of the program, by the index its window uses.

#include <vector>

#include "pen.h"

namespace art {

// The ribbon's strips (the same 30 pictures for the 16- and the 32-pixel strip).
std::vector<Drawing> RibbonCells();
// The lists' strip: item actions and states, history events, tasks (33 pictures).
std::vector<Drawing> ListCells();

void DrawBrowse(Pen& pen);
// The five sync types: 0 mirror, 1 and 2 sync to the right and to the left, 3 and 4 back
// up to the right and to the left.
void DrawSyncType(Pen& pen, int type);
void DrawProgram(Pen& pen);
void DrawTip(Pen& pen);
void DrawWarning(Pen& pen);
// The ribbon's application button: 0 at rest, 1 under the mouse, 2 pressed.
void DrawApplicationButton(Pen& pen, int state);

}  // namespace art
