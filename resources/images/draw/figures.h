#pragma once
// The figures the program's images are built from, in grid units (0..16 across a cell),
// so that an action, a task or a window command looks the same wherever it appears.

#include "pen.h"

namespace art {

// The outline of a stroke `width` units wide, as a shape to fill and outline.
QPainterPath StrokeShape(const QPainterPath& path, double width, Qt::PenCapStyle cap = Qt::FlatCap,
                         Qt::PenJoinStyle join = Qt::MiterJoin);
QPainterPath Polygon(std::initializer_list<QPointF> points);
QPainterPath Circle(QPointF centre, double radius);

// A block arrow from `tail` to `tip`.
void Arrow(Pen& pen, QPointF tail, QPointF tip, double shaft, double head, double headLength, const Tone& tone);
// A small arrow without an outline, `shaft` units thick, its head as long as half its height.
void Pointer(Pen& pen, QPointF tail, QPointF tip, double shaft, double headLength, QColor colour);
// A cross of whole device pixels, `thickness` pixels wide, filling the square `box`.
void PixelCross(Pen& pen, const QRectF& box, int thickness, QColor colour);
// A block arrow pointing both ways.
void DoubleArrow(Pen& pen, QPointF a, QPointF b, double shaft, double head, double headLength, const Tone& tone);
// A bent arrow along a circle from `fromDeg` to `toDeg` (0 = right, 90 = down; clockwise when
// `toDeg` is the larger), with its head at `toDeg`.
QPainterPath ArcArrow(QPointF centre, double radius, double thickness, double fromDeg, double toDeg, double head);
// Two bent arrows chasing each other round a circle: a sync.
void SyncArrows(Pen& pen, QPointF centre, double radius, double thickness, const Tone& tone);

void Folder(Pen& pen, const QRectF& box, const Tone& tone = tone::kFolder);
void OpenFolder(Pen& pen, const QRectF& box);
// A sheet of paper with a folded corner; `lines` draws text rules on it.
void Sheet(Pen& pen, const QRectF& box, bool lines);
// A task: a pair of folders kept in step.
void FolderPair(Pen& pen);
// A round mark in the lower right corner that says what happened to the figure under it.
enum class Mark { Plus, Cross, Tick, Play, Bang, Down };
void Badge(Pen& pen, QPointF centre, double radius, const Tone& tone, Mark mark);
void CornerBadge(Pen& pen, const Tone& tone, Mark mark);

void Clock(Pen& pen, QPointF centre, double radius, const Tone& face = tone::kPaper);
void Magnifier(Pen& pen, QPointF lens, double radius, double handle);
void Gear(Pen& pen, QPointF centre, double outer, double inner, int teeth, double hole, const Tone& tone);
void Calendar(Pen& pen, const QRectF& box);
void Crate(Pen& pen, const QRectF& box);
// A name tag: a white field with a line of text.
void NameTag(Pen& pen, const QRectF& box);
void Person(Pen& pen);
void Pencil(Pen& pen, QPointF tip, double length, double width);
void Printer(Pen& pen);
void Funnel(Pen& pen);
void Globe(Pen& pen, QPointF centre, double radius);
void Eraser(Pen& pen);
void Bulb(Pen& pen);
void WarningTriangle(Pen& pen, const QRectF& box);
void TrashCan(Pen& pen);
void Octagon(Pen& pen, QPointF centre, double radius, const Tone& tone);
void Sliders(Pen& pen);
void SelectAll(Pen& pen);
// Thick marks with an outline: a cross, a tick, a plus.
void BigCross(Pen& pen, QPointF centre, double half, double width, const Tone& tone);
void BigTick(Pen& pen, const Tone& tone);
// A round sign with a white letter: '?', 'i' or '!'.
void RoundSign(Pen& pen, QPointF centre, double radius, const Tone& tone, char letter);
// The program's emblem: white sync arrows on a blue tile or disc.
void EmblemTile(Pen& pen, const Tone& tile);
void EmblemDisc(Pen& pen, const Tone& disc, double shift);

}  // namespace art
