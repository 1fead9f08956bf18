// The pictures that stand alone: the program's icon and its application button, the Browse
// and sync-type buttons of the task window, the caption bar's tip and warning.
#include "cells.h"
#include "figures.h"

namespace art {

void DrawBrowse(Pen& pen) { OpenFolder(pen, QRectF(0.5, 2, 15, 12)); }

void DrawSyncType(Pen& pen, int type) {
    // Sync types are green arrows that say which way files go; back-up types are blue arrows
    // into the box that keeps the copies.
    switch (type) {
    case 0: DoubleArrow(pen, {0, 8}, {16, 8}, 4, 12, 6, tone::kGreen); break;
    case 1: Arrow(pen, {1, 8}, {15, 8}, 4, 12, 6, tone::kGreen); break;
    case 2: Arrow(pen, {15, 8}, {1, 8}, 4, 12, 6, tone::kGreen); break;
    case 3:
        Crate(pen, QRectF(7, 3, 9, 11));
        Arrow(pen, {0, 9}, {11, 9}, 4, 10, 5, tone::kBlue);
        break;
    case 4:
        Crate(pen, QRectF(0, 3, 9, 11));
        Arrow(pen, {16, 9}, {5, 9}, 4, 10, 5, tone::kBlue);
        break;
    default: break;
    }
}

void DrawProgram(Pen& pen) { EmblemTile(pen, tone::kBlue); }

void DrawTip(Pen& pen) { Bulb(pen); }

void DrawWarning(Pen& pen) { WarningTriangle(pen, QRectF(0.5, 1, 15, 14)); }

void DrawApplicationButton(Pen& pen, int state) {
    switch (state) {
    case 1: EmblemDisc(pen, Tone{tone::kBlue.fill.lighter(118), tone::kBlue.line}, 0); break;
    case 2: EmblemDisc(pen, Tone{tone::kBlue.fill.darker(125), tone::kBlue.line.darker(120)}, 0.5); break;
    default: EmblemDisc(pen, tone::kBlue, 0); break;
    }
}

}  // namespace art
