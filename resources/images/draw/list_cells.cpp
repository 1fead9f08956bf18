// The 16-pixel strip the task list, the history view and the task window's item tree cut
// their small images from. An action image shows where the action lands: the thing made,
// changed or removed stands on that side, and a short arrow from the other side points at it.
#include "cells.h"
#include "figures.h"

namespace art {

namespace {

enum class Side { Left, Right };

// The box the changed thing stands in, and the short arrow towards it.
QRectF Target(Side side) { return side == Side::Right ? QRectF(7, 1, 9, 14) : QRectF(0, 1, 9, 14); }

void Towards(Pen& pen, Side side, const Tone& tone) {
    if (side == Side::Right)
        Pointer(pen, QPointF(0, 8), QPointF(7, 8), 2, 3.5, tone.fill.darker(108));
    else
        Pointer(pen, QPointF(16, 8), QPointF(9, 8), 2, 3.5, tone.fill.darker(108));
}

void CopyFile(Pen& pen, Side side) {
    if (side == Side::Right)
        Arrow(pen, QPointF(1, 8), QPointF(15, 8), 4, 12, 6, tone::kGreen);
    else
        Arrow(pen, QPointF(15, 8), QPointF(1, 8), 4, 12, 6, tone::kGreen);
}

void CreateFolder(Pen& pen, Side side) {
    const QRectF box = Target(side);
    Folder(pen, QRectF(box.left(), 3, box.width(), 10));
    Towards(pen, side, tone::kGreen);
}

void CopyTime(Pen& pen, Side side) {
    const QRectF box = Target(side);
    Clock(pen, QPointF(box.center().x(), 8), 4.5);
    Towards(pen, side, tone::kTeal);
}

void DeleteFile(Pen& pen, Side side) {
    const QRectF box = Target(side);
    Sheet(pen, QRectF(box.left() + 1, 2, box.width() - 2, 12), false);
    PixelCross(pen, QRectF(box.left() + 2, 6, 5, 5), pen.Large() ? 3 : 2, tone::kRed.fill.darker(110));
    Towards(pen, side, tone::kRed);
}

void DeleteFolder(Pen& pen, Side side) {
    const QRectF box = Target(side);
    Folder(pen, QRectF(box.left(), 3, box.width(), 10));
    PixelCross(pen, QRectF(box.left() + 2, 6.5, 5, 5), pen.Large() ? 3 : 2, tone::kRed.fill.darker(110));
    Towards(pen, side, tone::kRed);
}

void Conflict(Pen& pen) {
    // Two changes running into each other.
    Arrow(pen, QPointF(0, 8), QPointF(7.5, 8), 4, 10, 5, tone::kOrange);
    Arrow(pen, QPointF(16, 8), QPointF(8.5, 8), 4, 10, 5, tone::kOrange);
}

void Excluded(Pen& pen) {
    QPainterPath ring = Circle(QPointF(8, 8), 7);
    ring.addEllipse(QPointF(8, 8), 4.5, 4.5);
    ring.setFillRule(Qt::OddEvenFill);
    pen.Shape(ring, tone::kGray);
    QPainterPath bar(QPointF(3.5, 3.5));
    bar.lineTo(QPointF(12.5, 12.5));
    pen.Shape(StrokeShape(bar, 2.6), tone::kGray);
}

void TaskWith(Pen& pen, const Tone& tone, Mark mark) {
    FolderPair(pen);
    CornerBadge(pen, tone, mark);
}

}  // namespace

std::vector<Drawing> ListCells() {
    return {
        /* 0 clash or error */ [](Pen& p) {
            RoundSign(p, {8, 8}, 7, tone::kRed, 0);
            BigCross(p, {8, 8}, 2.8, 2.2, Tone{tone::kWhite, tone::kWhite});
        },
        /* 1 copy to the left */ [](Pen& p) { CopyFile(p, Side::Left); },
        /* 2 copy to the right */ [](Pen& p) { CopyFile(p, Side::Right); },
        /* 3 conflict */ Conflict,
        /* 4 ok */
        [](Pen& p) {
            p.Shape(Circle({8, 8}, 7), tone::kGreen);
            QPainterPath tick(QPointF(4.2, 8.2));
            tick.lineTo({7, 11});
            tick.lineTo({11.8, 5.4});
            p.Stroke(tick, 2, tone::kWhite);
        },
        /* 5 create on the right */ [](Pen& p) { CreateFolder(p, Side::Right); },
        /* 6 equal or done */ [](Pen& p) { BigTick(p, tone::kGreen); },
        /* 7 deleted */ TrashCan,
        /* 8 delete folder on the right */ [](Pen& p) { DeleteFolder(p, Side::Right); },
        /* 9 delete file on the left */ [](Pen& p) { DeleteFile(p, Side::Left); },
        /* 10 delete folder on the left */ [](Pen& p) { DeleteFolder(p, Side::Left); },
        /* 11 delete file on the right */ [](Pen& p) { DeleteFile(p, Side::Right); },
        /* 12 create on the left */ [](Pen& p) { CreateFolder(p, Side::Left); },
        /* 13 warning */ [](Pen& p) { WarningTriangle(p, QRectF(0.5, 1, 15, 14)); },
        /* 14 task deleted */ [](Pen& p) { TaskWith(p, tone::kRed, Mark::Cross); },
        /* 15 copy time to the left */ [](Pen& p) { CopyTime(p, Side::Left); },
        /* 16 copy time to the right */ [](Pen& p) { CopyTime(p, Side::Right); },
        /* 17 error */
        [](Pen& p) {
            RoundSign(p, {8, 8}, 7, tone::kRed, '!');
        },
        /* 18 nothing to show */ [](Pen&) {},
        /* 19 excluded */ Excluded,
        /* 20 task created */ [](Pen& p) { TaskWith(p, tone::kGreen, Mark::Plus); },
        /* 21 task after a run */ [](Pen& p) { TaskWith(p, tone::kBlue, Mark::Tick); },
        /* 22 task running */ [](Pen& p) { TaskWith(p, tone::kOrange, Mark::Play); },
        /* 23 cancelled */
        [](Pen& p) {
            Octagon(p, {8, 8}, 7.4, tone::kOrange);
            p.Block(QRectF(4, 7, 8, 2), tone::kWhite);
        },
        /* 24 sync run */
        [](Pen& p) {
            SyncArrows(p, {8, 8}, 5, 3, tone::kGreen);
        },
        /* 25 started by the user */ Person,
        /* 26 check run */
        [](Pen& p) {
            Magnifier(p, {6.5, 6.5}, 5, 6.5);
        },
        /* 27 task changed */
        [](Pen& p) {
            FolderPair(p);
            Pencil(p, {8, 15.5}, 10.5, 3.2);
        },
        /* 28 sync container */ [](Pen& p) { Crate(p, QRectF(1, 2, 14, 12)); },
        /* 29 timer */
        [](Pen& p) {
            p.Shape(QRectF(6.5, 0.5, 3, 2), tone::kDark);
            Clock(p, {8, 9}, 6.5);
        },
        /* 30 scheduler */ [](Pen& p) { Calendar(p, QRectF(1, 2.5, 14, 12.5)); },
        /* 31 task created by a rename */
        [](Pen& p) {
            FolderPair(p);
            NameTag(p, QRectF(6, 9, 10, 6));
        },
        /* 32 task */ FolderPair,
    };
}

}  // namespace art
