// The ribbon's pictures, one per command, drawn for the 16- and the 32-pixel strip alike.
#include "cells.h"
#include "figures.h"

namespace art {

namespace {

void Transfer(Pen& pen, bool in) {
    // A sheet on the right; the arrow comes into it from the left (import) or leaves it (export).
    if (in) {
        Sheet(pen, QRectF(5.5, 1, 10, 14), true);
        Arrow(pen, QPointF(0, 9), QPointF(10, 9), 4, 10, 5, tone::kGreen);
    } else {
        Sheet(pen, QRectF(0.5, 1, 10, 14), true);
        Arrow(pen, QPointF(6, 9), QPointF(16, 9), 4, 10, 5, tone::kBlue);
    }
}

void Swap(Pen& pen) {
    Arrow(pen, QPointF(0, 4.5), QPointF(16, 4.5), 3, 8, 4, tone::kBlue);
    Arrow(pen, QPointF(16, 11.5), QPointF(0, 11.5), 3, 8, 4, tone::kBlue);
}

void History(Pen& pen) { Clock(pen, {8, 8}, 7); }

}  // namespace

std::vector<Drawing> RibbonCells() {
    return {
        /* 0 the program */ [](Pen& p) { EmblemTile(p, tone::kBlue); },
        /* 1 new task */
        [](Pen& p) {
            FolderPair(p);
            CornerBadge(p, tone::kGreen, Mark::Plus);
        },
        /* 2 sync */
        [](Pen& p) {
            SyncArrows(p, {8, 8}, 5, 3, tone::kGreen);
        },
        /* 3 check */
        [](Pen& p) {
            Magnifier(p, {6.5, 6.5}, 5.2, 6.5);
        },
        /* 4 default options */
        [](Pen& p) {
            Gear(p, {8, 8}, 7.5, 5.4, 8, 2.2, tone::kGray);
        },
        /* 5 help */
        [](Pen& p) {
            RoundSign(p, {8, 8}, 7.5, tone::kBlue, '?');
        },
        /* 6 about */
        [](Pen& p) {
            RoundSign(p, {8, 8}, 7.5, tone::kTeal, 'i');
        },
        /* 7 the task list */ FolderPair,
        /* 8 the history */ History,
        /* 9 automatic runs */
        [](Pen& p) {
            Calendar(p, QRectF(0.5, 2, 12.5, 11.5));
            CornerBadge(p, tone::kGreen, Mark::Play);
        },
        /* 10 remove, exit */
        [](Pen& p) {
            BigCross(p, {8, 8}, 5.5, 3.4, tone::kRed);
        },
        /* 11 stop */
        [](Pen& p) {
            QPainterPath square;
            square.addRoundedRect(QRectF(2, 2, 12, 12), 2, 2);
            p.Shape(square, tone::kRed);
            p.Block(QRectF(5, 5, 6, 6), QColor(0xFF, 0xE4, 0xE4));
        },
        /* 12 clear */ Eraser,
        /* 13 import, add */ [](Pen& p) { Transfer(p, true); },
        /* 14 copy */
        [](Pen& p) {
            Sheet(p, QRectF(1, 1, 9, 11), true);
            Sheet(p, QRectF(6, 4.5, 9, 11), true);
        },
        /* 15 export */ [](Pen& p) { Transfer(p, false); },
        /* 16 templates, logs */ [](Pen& p) { Sheet(p, QRectF(2.5, 0.5, 11, 15), true); },
        /* 17 rename */
        [](Pen& p) {
            p.Shape(QRectF(0.5, 8.5, 15, 6.5), tone::kPaper);
            p.Block(QRectF(2.5, 10.5, 5, 2.5), tone::kInk);
            Pencil(p, {9, 12.5}, 13, 3.4);
        },
        /* 18 file actions */
        [](Pen& p) {
            Sheet(p, QRectF(1.5, 0.5, 10, 14), true);
            CornerBadge(p, tone::kBlue, Mark::Play);
        },
        /* 19 task options */ Sliders,
        /* 20 run the sync container */
        [](Pen& p) {
            Crate(p, QRectF(0.5, 1, 13, 11));
            Badge(p, {11.5, 11.5}, 4.5, tone::kGreen, Mark::Play);
        },
        /* 21 switch folders */ Swap,
        /* 22 delete the history */
        [](Pen& p) {
            Clock(p, {7, 7}, 6.5);
            CornerBadge(p, tone::kRed, Mark::Cross);
        },
        /* 23 check for an update */
        [](Pen& p) {
            Globe(p, {7, 7}, 6.5);
            CornerBadge(p, tone::kGreen, Mark::Down);
        },
        /* 24 reset */
        [](Pen& p) {
            p.Shape(ArcArrow({8.5, 10}, 5.5, 2.8, 10, -180, 7), tone::kOrange);
        },
        /* 25 sync actions */
        [](Pen& p) {
            DoubleArrow(p, {0, 8}, {16, 8}, 4, 12, 6, tone::kOrange);
        },
        /* 26 more views */ Funnel,
        /* 27 check and sync */
        [](Pen& p) {
            SyncArrows(p, {7, 7}, 5, 2.5, tone::kGreen);
            p.Clear(Circle({11, 11}, 4.6));
            Magnifier(p, {11, 11}, 3.5, 3.2);
        },
        /* 28 select all */ SelectAll,
        /* 29 print */ Printer,
    };
}

}  // namespace art
