#pragma once
// What every drawing of the program's images is made with: a painter laid over a 16-unit
// grid, so one drawing serves every size, and shapes filled with an inner outline one
// device pixel wide at every size (a 32-pixel image has the same outline as a 16-pixel one,
// so it shows finer detail rather than a blown-up 16-pixel picture).

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <functional>

namespace art {

// A fill and the darker line around it. Every tone keeps its outline dark enough to stand
// out on a dark window and its fill light enough to stand out on a light one.
struct Tone {
    QColor fill;
    QColor line;
};

namespace tone {
inline const Tone kGreen{QColor(0x3D, 0xAA, 0x5C), QColor(0x1C, 0x66, 0x34)};
inline const Tone kBlue{QColor(0x3C, 0x8D, 0xE0), QColor(0x1B, 0x4C, 0x8A)};
inline const Tone kRed{QColor(0xE0, 0x45, 0x45), QColor(0x8C, 0x1C, 0x1C)};
inline const Tone kFolder{QColor(0xF5, 0xC4, 0x4C), QColor(0x9E, 0x73, 0x12)};
inline const Tone kFolderBack{QColor(0xDD, 0xA8, 0x32), QColor(0x9E, 0x73, 0x12)};
inline const Tone kOrange{QColor(0xF2, 0x8C, 0x28), QColor(0x98, 0x50, 0x10)};
inline const Tone kGray{QColor(0xA4, 0xAB, 0xB5), QColor(0x4B, 0x51, 0x5A)};
inline const Tone kPaper{QColor(0xFF, 0xFF, 0xFF), QColor(0x5E, 0x67, 0x75)};
inline const Tone kTeal{QColor(0x1F, 0xA8, 0xB8), QColor(0x0E, 0x5F, 0x69)};
inline const Tone kBrown{QColor(0xCC, 0x95, 0x5A), QColor(0x74, 0x4C, 0x22)};
inline const Tone kPurple{QColor(0x93, 0x6E, 0xD8), QColor(0x4E, 0x35, 0x8A)};
inline const Tone kPink{QColor(0xF0, 0x8A, 0xA8), QColor(0x91, 0x3A, 0x55)};
inline const Tone kDark{QColor(0x6A, 0x73, 0x83), QColor(0x26, 0x2B, 0x33)};
inline const QColor kWhite(0xFF, 0xFF, 0xFF);
inline const QColor kInk(0x33, 0x3A, 0x45);
}  // namespace tone

class Pen {
public:
    // Draws on `painter` into a square of `size` device pixels at the painter's origin.
    Pen(QPainter& painter, int size);

    QPainter& Painter() { return painter_; }
    int Size() const { return size_; }
    // One device pixel, in grid units.
    double Px() const { return 16.0 / size_; }
    // Room for the details a 16-pixel image has no pixels for.
    bool Large() const { return size_ >= 32; }

    void Fill(const QPainterPath& path, QColor colour);
    // Fills `path` and draws its outline one device pixel wide just inside its edge.
    void Shape(const QPainterPath& path, const Tone& tone);
    void Shape(const QRectF& rect, const Tone& tone);
    // A stroke `width` units wide.
    void Stroke(const QPainterPath& path, double width, QColor colour, Qt::PenCapStyle cap = Qt::FlatCap,
                Qt::PenJoinStyle join = Qt::MiterJoin);
    void Line(QPointF from, QPointF to, double width, QColor colour, Qt::PenCapStyle cap = Qt::FlatCap);
    // Clears `path` back to the ground, so a figure drawn over another keeps a gap round it.
    void Clear(const QPainterPath& path);
    // A rectangle of whole device pixels (for 1-pixel rules and marks).
    void Block(const QRectF& rect, QColor colour);

private:
    QPainter& painter_;
    int size_;
};

using Drawing = std::function<void(Pen&)>;

// One picture drawn at `size` x `size` on a transparent ground, antialiased.
QImage DrawImage(const Drawing& drawing, int size);
// The same picture for a colour-keyed bitmap: every pixel is either fully drawn or the
// key colour, so no edge is tinted by the key when the key is taken out.
QImage KeyOut(const QImage& image, QRgb key);
// Pictures side by side in one row of equal cells, on the key colour.
QImage DrawStrip(const std::vector<Drawing>& cells, int size, QRgb key);

}  // namespace art
