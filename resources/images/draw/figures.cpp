#include "figures.h"

#include <QPainterPathStroker>
#include <QTransform>
#include <cmath>
#include <numbers>

namespace art {

namespace {

QPointF Along(QPointF centre, double radius, double deg) {
    const double a = deg * std::numbers::pi / 180.0;
    return {centre.x() + radius * std::cos(a), centre.y() + radius * std::sin(a)};
}

QPointF Unit(QPointF v) {
    const double length = std::hypot(v.x(), v.y());
    return length > 0 ? v / length : QPointF();
}

const QColor kGlass(0xCF, 0xE8, 0xFA);
const QColor kRule(0xA9, 0xB2, 0xBF);

}  // namespace

QPainterPath StrokeShape(const QPainterPath& path, double width, Qt::PenCapStyle cap, Qt::PenJoinStyle join) {
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(cap);
    stroker.setJoinStyle(join);
    return stroker.createStroke(path).simplified();
}

QPainterPath Polygon(std::initializer_list<QPointF> points) {
    QPainterPath path;
    bool first = true;
    for (const QPointF& point : points) {
        if (first)
            path.moveTo(point);
        else
            path.lineTo(point);
        first = false;
    }
    path.closeSubpath();
    return path;
}

QPainterPath Circle(QPointF centre, double radius) {
    QPainterPath path;
    path.addEllipse(centre, radius, radius);
    return path;
}

void Arrow(Pen& pen, QPointF tail, QPointF tip, double shaft, double head, double headLength, const Tone& tone) {
    const QPointF d = Unit(tip - tail);
    const QPointF n(-d.y(), d.x());
    const QPointF base = tip - d * headLength;
    pen.Shape(Polygon({tail + n * shaft / 2, base + n * shaft / 2, base + n * head / 2, tip, base - n * head / 2,
                       base - n * shaft / 2, tail - n * shaft / 2}),
              tone);
}

void Pointer(Pen& pen, QPointF tail, QPointF tip, double shaft, double headLength, QColor colour) {
    const QPointF d = Unit(tip - tail);
    const QPointF n(-d.y(), d.x());
    const QPointF base = tip - d * headLength;
    pen.Fill(Polygon({tail + n * shaft / 2, base + n * shaft / 2, base + n * headLength, tip, base - n * headLength,
                      base - n * shaft / 2, tail - n * shaft / 2}),
             colour);
}

void PixelCross(Pen& pen, const QRectF& box, int thickness, QColor colour) {
    const double px = pen.Px();
    const int n = static_cast<int>(std::lround(box.width() / px));
    for (int i = 0; i + thickness <= n; ++i) {
        pen.Block(QRectF(box.left() + i * px, box.top() + i * px, thickness * px, px), colour);
        pen.Block(QRectF(box.left() + (n - thickness - i) * px, box.top() + i * px, thickness * px, px), colour);
    }
    // The ends of the bars, so both strokes are as long as the box.
    for (int i = n - thickness + 1; i < n; ++i) {
        pen.Block(QRectF(box.left() + (n - thickness) * px, box.top() + i * px, thickness * px, px), colour);
        pen.Block(QRectF(box.left(), box.top() + i * px, thickness * px, px), colour);
    }
}

void DoubleArrow(Pen& pen, QPointF a, QPointF b, double shaft, double head, double headLength, const Tone& tone) {
    const QPointF d = Unit(b - a);
    const QPointF n(-d.y(), d.x());
    const QPointF baseA = a + d * headLength;
    const QPointF baseB = b - d * headLength;
    pen.Shape(Polygon({a, baseA + n * head / 2, baseA + n * shaft / 2, baseB + n * shaft / 2, baseB + n * head / 2, b,
                       baseB - n * head / 2, baseB - n * shaft / 2, baseA - n * shaft / 2, baseA - n * head / 2}),
              tone);
}

QPainterPath ArcArrow(QPointF centre, double radius, double thickness, double fromDeg, double toDeg, double head) {
    const double turn = toDeg >= fromDeg ? 1.0 : -1.0;
    const double headDeg = turn * (head * 0.9 / radius) * 180.0 / std::numbers::pi;
    const double neck = toDeg - headDeg;
    const double outer = radius + thickness / 2;
    const double inner = radius - thickness / 2;
    QPainterPath path(Along(centre, outer, fromDeg));
    const int steps = 24;
    for (int i = 1; i <= steps; ++i) path.lineTo(Along(centre, outer, fromDeg + (neck - fromDeg) * i / steps));
    path.lineTo(Along(centre, radius + head / 2, neck));
    path.lineTo(Along(centre, radius, toDeg));
    path.lineTo(Along(centre, radius - head / 2, neck));
    for (int i = steps; i >= 0; --i) path.lineTo(Along(centre, inner, fromDeg + (neck - fromDeg) * i / steps));
    path.closeSubpath();
    return path;
}

void SyncArrows(Pen& pen, QPointF centre, double radius, double thickness, const Tone& tone) {
    const double head = thickness * 2.5;
    const QPainterPath upper = ArcArrow(centre, radius, thickness, 185, 340, head);
    const QPainterPath lower = ArcArrow(centre, radius, thickness, 5, 160, head);
    // Too thin at small sizes for an outline to leave any fill: drawn solid there.
    if (pen.Large() || thickness * pen.Size() / 16 >= 4) {
        pen.Shape(upper, tone);
        pen.Shape(lower, tone);
    } else {
        const QColor solid = tone.fill == tone.line ? tone.fill : tone.fill.darker(125);
        pen.Fill(upper, solid);
        pen.Fill(lower, solid);
    }
}

void Folder(Pen& pen, const QRectF& box, const Tone& tone) {
    const double tab = pen.Large() ? 2.5 : 2;
    const double l = box.left(), t = box.top(), r = box.right(), b = box.bottom();
    const double tabWidth = std::round(box.width() * 0.4);
    pen.Shape(Polygon({{l, b}, {l, t}, {l + tabWidth, t}, {l + tabWidth + tab, t + tab}, {r, t + tab}, {r, b}}), tone);
    // The front flap: a lighter face under the tab line, so the folder reads as a folder.
    const double px = pen.Px();
    pen.Block(QRectF(l + px, t + tab + px, box.width() - 2 * px, px), tone.fill.lighter(118));
    if (pen.Large()) pen.Block(QRectF(l + px, t + tab + 2 * px, box.width() - 2 * px, px), tone.fill.lighter(110));
}

void OpenFolder(Pen& pen, const QRectF& box) {
    const double l = box.left(), t = box.top(), r = box.right(), b = box.bottom();
    const double tab = pen.Large() ? 2.5 : 2;
    const double tabWidth = std::round(box.width() * 0.4);
    pen.Shape(Polygon({{l, b}, {l, t}, {l + tabWidth, t}, {l + tabWidth + tab, t + tab}, {r - 1, t + tab}, {r - 1, b}}),
              tone::kFolderBack);
    const double flap = t + box.height() * 0.42;
    pen.Shape(Polygon({{l, b}, {l + 2.5, flap}, {r + 0.0, flap}, {r - 2.5, b}}), tone::kFolder);
}

void Sheet(Pen& pen, const QRectF& box, bool lines) {
    const double l = box.left(), t = box.top(), r = box.right(), b = box.bottom();
    const double fold = pen.Large() ? 3.5 : 3;
    pen.Shape(Polygon({{l, t}, {r - fold, t}, {r, t + fold}, {r, b}, {l, b}}), tone::kPaper);
    pen.Shape(Polygon({{r - fold, t}, {r - fold, t + fold}, {r, t + fold}}),
              Tone{QColor(0xD5, 0xDB, 0xE3), tone::kPaper.line});
    if (!lines) return;
    const double px = pen.Px();
    const double step = pen.Large() ? 1.5 : 2;
    for (double y = t + fold + step; y + px <= b - step + px * 0.5; y += step) {
        const double right = (y < t + fold + 0.01) ? r - fold - 1 : r - 2;
        pen.Block(QRectF(l + 2, y, right - l - 2, px), kRule);
    }
}

void FolderPair(Pen& pen) {
    Folder(pen, QRectF(5, 1, 10, 8), tone::kFolderBack);
    Folder(pen, QRectF(1, 5, 11, 9));
}

void Badge(Pen& pen, QPointF c, double radius, const Tone& tone, Mark mark) {
    // A ring of the ground's colour is left to the figure under the badge by its outline.
    pen.Shape(Circle(c, radius), tone);
    const QColor white = tone::kWhite;
    const double w = pen.Large() ? 1.5 : 1.3;
    const double s = radius * 0.5;
    switch (mark) {
    case Mark::Plus:
        pen.Line(c - QPointF(s + 0.3, 0), c + QPointF(s + 0.3, 0), w, white);
        pen.Line(c - QPointF(0, s + 0.3), c + QPointF(0, s + 0.3), w, white);
        break;
    case Mark::Cross:
        pen.Line(c - QPointF(s, s), c + QPointF(s, s), w, white);
        pen.Line(c - QPointF(s, -s), c + QPointF(s, -s), w, white);
        break;
    case Mark::Tick: {
        QPainterPath tick(c + QPointF(-s - 0.2, 0));
        tick.lineTo(c + QPointF(-s * 0.25, s * 0.8));
        tick.lineTo(c + QPointF(s + 0.2, -s * 0.8));
        pen.Stroke(tick, w, white);
        break;
    }
    case Mark::Play:
        pen.Fill(Polygon({c + QPointF(-s * 0.7, -s * 1.1), c + QPointF(s * 1.2, 0), c + QPointF(-s * 0.7, s * 1.1)}),
                 white);
        break;
    case Mark::Bang:
        pen.Line(c - QPointF(0, s * 1.3), c + QPointF(0, s * 0.3), w, white);
        pen.Block(QRectF(c.x() - w / 2, c.y() + s * 0.75, w, w), white);
        break;
    case Mark::Down: {
        const double shaft = pen.Large() ? 1.5 : 1;
        pen.Fill(Polygon({c + QPointF(-3, -0.5), c + QPointF(3, -0.5), c + QPointF(0, 3)}), white);
        pen.Block(QRectF(c.x() - shaft / 2, c.y() - 3.5, shaft, 3.1), white);
        break;
    }
    }
}

void CornerBadge(Pen& pen, const Tone& tone, Mark mark) { Badge(pen, QPointF(11.5, 11.5), 4.5, tone, mark); }

void Clock(Pen& pen, QPointF c, double radius, const Tone& face) {
    pen.Shape(Circle(c, radius), face);
    const double px = pen.Px();
    if (pen.Large()) {
        for (int i = 0; i < 12; ++i) {
            const double length = i % 3 == 0 ? 1.5 : 0.8;
            pen.Line(Along(c, radius - 1.2, i * 30), Along(c, radius - 1.2 - length, i * 30), px * 1.4,
                     tone::kGray.line);
        }
    }
    const double hand = pen.Large() ? 1.0 : 1.0;
    pen.Line(c + QPointF(0, 0.5), c - QPointF(0, radius * 0.62), hand, tone::kInk, Qt::SquareCap);
    pen.Line(c - QPointF(0.5, 0), c + QPointF(radius * 0.52, 0), hand, tone::kInk, Qt::SquareCap);
}

void Magnifier(Pen& pen, QPointF lens, double radius, double handle) {
    const QPointF d(std::sqrt(0.5), std::sqrt(0.5));
    const QPointF start = lens + d * (radius - 0.5);
    QPainterPath grip(start);
    grip.lineTo(start + d * handle);
    pen.Shape(StrokeShape(grip, pen.Large() ? 2.6 : 2.4, Qt::RoundCap), tone::kBrown);
    QPainterPath ring = Circle(lens, radius);
    pen.Shape(ring, tone::kDark);
    pen.Shape(Circle(lens, radius - (pen.Large() ? 1.25 : 1.0)), Tone{kGlass, QColor(0x7A, 0x9C, 0xBD)});
    if (pen.Large()) {
        QPainterPath glint;
        glint.arcMoveTo(QRectF(lens.x() - radius + 2.2, lens.y() - radius + 2.2, 2 * radius - 4.4, 2 * radius - 4.4),
                        110);
        glint.arcTo(QRectF(lens.x() - radius + 2.2, lens.y() - radius + 2.2, 2 * radius - 4.4, 2 * radius - 4.4), 110,
                    60);
        pen.Stroke(glint, pen.Px() * 1.5, tone::kWhite);
    }
}

void Gear(Pen& pen, QPointF c, double outer, double inner, int teeth, double hole, const Tone& tone) {
    QPainterPath path;
    const double step = 360.0 / teeth;
    for (int i = 0; i < teeth; ++i) {
        const double a = i * step - 90;
        const QPointF p[] = {Along(c, inner, a - step * 0.5), Along(c, inner, a - step * 0.28),
                             Along(c, outer, a - step * 0.2), Along(c, outer, a + step * 0.2),
                             Along(c, inner, a + step * 0.28)};
        for (int k = 0; k < 5; ++k) {
            if (i == 0 && k == 0)
                path.moveTo(p[k]);
            else
                path.lineTo(p[k]);
        }
    }
    path.closeSubpath();
    path.addEllipse(c, hole, hole);
    path.setFillRule(Qt::OddEvenFill);
    pen.Shape(path, tone);
}

void Calendar(Pen& pen, const QRectF& box) {
    const double px = pen.Px();
    pen.Shape(box, tone::kPaper);
    const double band = pen.Large() ? 3.5 : 4;
    pen.Shape(QRectF(box.left(), box.top(), box.width(), band), tone::kRed);
    // Rings over the band.
    for (double x : {box.left() + box.width() * 0.28, box.right() - box.width() * 0.28}) {
        pen.Block(QRectF(std::round(x) - px, box.top() - 1, pen.Large() ? 1.5 : 1, 2.5), tone::kDark.fill);
    }
    // Days.
    const int columns = pen.Large() ? 4 : 3;
    const int rows = pen.Large() ? 3 : 2;
    const double cell = pen.Large() ? 1.5 : 1;
    const double left = box.left() + (pen.Large() ? 2 : 2);
    const double top = box.top() + band + (pen.Large() ? 1.5 : 1.0);
    const double dx = (box.width() - 4 - cell) / (columns - 1);
    const double dy = pen.Large() ? 2.5 : 3;
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column) {
            const bool today = row == rows - 1 && column == columns - 2;
            pen.Block(QRectF(std::round((left + column * dx) / px) * px, top + row * dy, cell, cell),
                      today ? tone::kRed.fill : tone::kGray.line);
        }
}

void Crate(Pen& pen, const QRectF& box) {
    const double lid = pen.Large() ? 3.5 : 3;
    pen.Shape(QRectF(box.left() + 1, box.top() + lid - 0.0, box.width() - 2, box.height() - lid), tone::kBrown);
    pen.Shape(QRectF(box.left(), box.top(), box.width(), lid), Tone{tone::kBrown.fill.lighter(112), tone::kBrown.line});
    if (pen.Large()) {
        pen.Shape(QRectF(std::round(box.center().x() - 2), box.top() + lid + 1.5, 4, 2),
                  Tone{QColor(0xF3, 0xE2, 0xC7), tone::kBrown.line});
    } else {
        pen.Block(QRectF(std::round(box.center().x() - 1.5), box.top() + lid + 1, 3, 1), tone::kBrown.line);
    }
}

void NameTag(Pen& pen, const QRectF& box) {
    pen.Shape(box, tone::kPaper);
    const double px = pen.Px();
    pen.Block(QRectF(box.left() + 2 * px + (pen.Large() ? 1 : 0), box.center().y() - (pen.Large() ? 1 : 1),
                     box.width() * 0.5, pen.Large() ? 2 : 2),
              tone::kInk);
}

void Person(Pen& pen) {
    QPainterPath shoulders;
    shoulders.addEllipse(QRectF(2, 9, 12, 12));
    QPainterPath cut;
    cut.addRect(QRectF(0, 0, 16, 15));
    pen.Shape(shoulders.intersected(cut), tone::kBlue);
    pen.Shape(Circle(QPointF(8, 5), 3.5), Tone{QColor(0xF4, 0xC8, 0x9E), QColor(0x8E, 0x5E, 0x36)});
}

void Pencil(Pen& pen, QPointF tip, double length, double width) {
    // Drawn along +x from the tip, then turned to point down and to the left.
    const double point = width * 1.25;
    const double eraser = width * 0.8;
    QTransform turn;
    turn.translate(tip.x(), tip.y());
    turn.rotate(-45);
    auto at = [&](double x, double y) { return turn.map(QPointF(x, y)); };
    const double h = width / 2;
    pen.Shape(Polygon({at(point, -h), at(length - eraser, -h), at(length - eraser, h), at(point, h)}), tone::kOrange);
    pen.Shape(Polygon({at(length - eraser, -h), at(length, -h), at(length, h), at(length - eraser, h)}), tone::kPink);
    pen.Shape(Polygon({at(0, 0), at(point, -h), at(point, h)}),
              Tone{QColor(0xF5, 0xDE, 0xB8), QColor(0x8A, 0x64, 0x3A)});
    pen.Fill(Polygon({at(0, 0), at(point * 0.42, -h * 0.42), at(point * 0.42, h * 0.42)}), tone::kInk);
    if (pen.Large()) pen.Line(at(point, 0), at(length - eraser, 0), pen.Px(), tone::kOrange.fill.darker(120));
}

void Printer(Pen& pen) {
    pen.Shape(QRectF(4, 1, 8, 6), tone::kPaper);
    pen.Shape(QPainterPath([] {
                  QPainterPath body;
                  body.addRoundedRect(QRectF(1, 5, 14, 7), 1.5, 1.5);
                  return body;
              }()),
              tone::kGray);
    pen.Shape(QRectF(4, 9, 8, 6), tone::kPaper);
    const double px = pen.Px();
    pen.Block(QRectF(5.5, 11, 5, px), QColor(0xA9, 0xB2, 0xBF));
    if (pen.Large()) pen.Block(QRectF(5.5, 12.5, 4, px), QColor(0xA9, 0xB2, 0xBF));
    pen.Block(QRectF(12, 6.5, pen.Large() ? 1.5 : 1, 1), tone::kGreen.fill);
}

void Funnel(Pen& pen) {
    pen.Shape(Polygon({{1, 2}, {15, 2}, {15, 3.5}, {9.5, 9}, {9.5, 15}, {6.5, 13}, {6.5, 9}, {1, 3.5}}), tone::kBlue);
    pen.Block(QRectF(2 + pen.Px(), 3, 12 - 2 * pen.Px(), pen.Px()), tone::kBlue.fill.lighter(130));
}

void Globe(Pen& pen, QPointF c, double radius) {
    pen.Shape(Circle(c, radius), tone::kTeal);
    const QColor lines = tone::kTeal.fill.lighter(150);
    const double px = pen.Px();
    QPainterPath meridian;
    meridian.addEllipse(c, radius * 0.42, radius - px);
    pen.Stroke(meridian, px, lines);
    pen.Line(c - QPointF(0, radius - px), c + QPointF(0, radius - px), px, lines);
    pen.Line(c - QPointF(radius - px, 0), c + QPointF(radius - px, 0), px, lines);
    if (pen.Large()) {
        pen.Line(c + QPointF(-radius * 0.86, -radius * 0.5), c + QPointF(radius * 0.86, -radius * 0.5), px, lines);
        pen.Line(c + QPointF(-radius * 0.86, radius * 0.5), c + QPointF(radius * 0.86, radius * 0.5), px, lines);
    }
}

void Eraser(Pen& pen) {
    QTransform turn;
    turn.translate(8, 8.5);
    turn.rotate(-40);
    auto at = [&](double x, double y) { return turn.map(QPointF(x, y)); };
    pen.Shape(Polygon({at(-7, -3), at(0, -3), at(0, 3), at(-7, 3)}), tone::kPink);
    pen.Shape(Polygon({at(0, -3), at(7, -3), at(7, 3), at(0, 3)}), Tone{QColor(0x8F, 0xB8, 0xE8), tone::kBlue.line});
    pen.Block(QRectF(1, 15 - pen.Px(), 9, pen.Px()), tone::kGray.fill);
}

void Bulb(Pen& pen) {
    QPainterPath glass = Circle(QPointF(8, 6), 5);
    glass.addRect(QRectF(5.5, 8, 5, 3.5));
    pen.Shape(glass.simplified(), Tone{QColor(0xFF, 0xD9, 0x3D), QColor(0x9A, 0x72, 0x0A)});
    pen.Shape(QRectF(5.5, 11, 5, 4), tone::kGray);
    pen.Block(QRectF(6, 13, 4, pen.Px()), tone::kGray.line);
    pen.Block(QRectF(6.5, 3, pen.Large() ? 1.5 : 1, 2), QColor(0xFF, 0xF5, 0xC4));
}

void WarningTriangle(Pen& pen, const QRectF& box) {
    const double l = box.left(), t = box.top(), r = box.right(), b = box.bottom();
    const double mid = (l + r) / 2;
    QPainterPath triangle = Polygon({{mid, t}, {r, b}, {l, b}});
    pen.Shape(triangle, Tone{QColor(0xF8, 0xC6, 0x2E), QColor(0x8C, 0x62, 0x00)});
    const double w = pen.Large() ? 1.5 : 2;
    const double px = pen.Px();
    const double top = t + box.height() * 0.32;
    const double bottom = b - box.height() * 0.32;
    pen.Block(QRectF(std::round((mid - w / 2) / px) * px, top, w, bottom - top), tone::kInk);
    pen.Block(QRectF(std::round((mid - w / 2) / px) * px, b - box.height() * 0.22, w, pen.Large() ? 1.5 : 1),
              tone::kInk);
}

void TrashCan(Pen& pen) {
    pen.Shape(Polygon({{3.5, 4.5}, {12.5, 4.5}, {11.5, 15}, {4.5, 15}}), tone::kGray);
    pen.Shape(QRectF(2, 3, 12, 2), tone::kGray);
    pen.Shape(QRectF(6, 1, 4, 2.2), tone::kGray);
    const double px = pen.Px();
    for (double x : {6.0, 8.0, 10.0})
        pen.Block(QRectF(x - px * 0.5 - (pen.Large() ? 0 : 0.5), 6.5, px, 7), tone::kGray.line);
}

void Octagon(Pen& pen, QPointF c, double radius, const Tone& tone) {
    QPainterPath path;
    for (int i = 0; i < 8; ++i) {
        const QPointF p = Along(c, radius, 22.5 + i * 45);
        if (i == 0)
            path.moveTo(p);
        else
            path.lineTo(p);
    }
    path.closeSubpath();
    pen.Shape(path, tone);
}

void Sliders(Pen& pen) {
    const double px = pen.Px();
    const double knobs[] = {10, 5, 8};
    for (int i = 0; i < 3; ++i) {
        const double y = 3 + i * 5;
        pen.Block(QRectF(1, y - px, 14, 2 * px), tone::kGray.fill);
        pen.Shape(QRectF(knobs[i] - 1.5, y - 2, 3, 4), tone::kBlue);
    }
}

void SelectAll(Pen& pen) {
    const double px = pen.Px();
    const QColor dash = tone::kBlue.fill;
    // A marching-ants frame round three picked items.
    for (double x = 1; x < 15; x += 2) {
        pen.Block(QRectF(x, 1, 1, px), dash);
        pen.Block(QRectF(x, 15 - px, 1, px), dash);
    }
    for (double y = 1; y < 15; y += 2) {
        pen.Block(QRectF(1, y, px, 1), dash);
        pen.Block(QRectF(15 - px, y, px, 1), dash);
    }
    for (int i = 0; i < 3; ++i) {
        const double y = 3.5 + i * 3.5;
        pen.Shape(QRectF(3.5, y, 9, 2.5), Tone{QColor(0x9C, 0xC8, 0xF2), tone::kBlue.line});
    }
}

void BigCross(Pen& pen, QPointF c, double half, double width, const Tone& tone) {
    QPainterPath cross(c - QPointF(half, half));
    cross.lineTo(c + QPointF(half, half));
    cross.moveTo(c + QPointF(half, -half));
    cross.lineTo(c + QPointF(-half, half));
    pen.Shape(StrokeShape(cross, width, Qt::FlatCap), tone);
}

void BigTick(Pen& pen, const Tone& tone) {
    QPainterPath tick(QPointF(2, 8.5));
    tick.lineTo(QPointF(6, 12.5));
    tick.lineTo(QPointF(14, 3.5));
    pen.Shape(StrokeShape(tick, pen.Large() ? 3.2 : 3.0, Qt::FlatCap, Qt::MiterJoin), tone);
}

void RoundSign(Pen& pen, QPointF c, double radius, const Tone& tone, char letter) {
    pen.Shape(Circle(c, radius), tone);
    const QColor white = tone::kWhite;
    const double w = pen.Large() ? 1.75 : 2;
    const double px = pen.Px();
    const double x = std::round((c.x() - w / 2) / px) * px;
    switch (letter) {
    case 'i':
        pen.Block(QRectF(x, c.y() - radius * 0.58, w, w), white);
        pen.Block(QRectF(x, c.y() - radius * 0.15, w, radius * 0.78), white);
        break;
    case '!':
        pen.Block(QRectF(x, c.y() - radius * 0.62, w, radius * 0.78), white);
        pen.Block(QRectF(x, c.y() + radius * 0.34, w, w), white);
        break;
    case '?': {
        const double r = radius * 0.36;
        QPainterPath hook;
        hook.arcMoveTo(QRectF(c.x() - r, c.y() - radius * 0.62, 2 * r, 2 * r), 160);
        hook.arcTo(QRectF(c.x() - r, c.y() - radius * 0.62, 2 * r, 2 * r), 160, -250);
        hook.lineTo(QPointF(c.x(), c.y() + radius * 0.2));
        pen.Stroke(hook, w * 0.9, white, Qt::FlatCap, Qt::RoundJoin);
        pen.Block(QRectF(x, c.y() + radius * 0.38, w, w), white);
        break;
    }
    default: break;
    }
}

void EmblemTile(Pen& pen, const Tone& tile) {
    QPainterPath path;
    path.addRoundedRect(QRectF(0.5, 0.5, 15, 15), 3.2, 3.2);
    pen.Shape(path, tile);
    SyncArrows(pen, QPointF(8, 8), 4.4, 2.1, Tone{tone::kWhite, tone::kWhite});
}

void EmblemDisc(Pen& pen, const Tone& disc, double shift) {
    pen.Shape(Circle(QPointF(8, 8 + shift), 7.5), disc);
    SyncArrows(pen, QPointF(8, 8 + shift), 4.2, 2.0, Tone{tone::kWhite, tone::kWhite});
}

}  // namespace art
