#include "pen.h"

#include <algorithm>

namespace art {

Pen::Pen(QPainter& painter, int size) : painter_(painter), size_(size) {
    painter_.setRenderHint(QPainter::Antialiasing);
    painter_.scale(size / 16.0, size / 16.0);
}

void Pen::Fill(const QPainterPath& path, QColor colour) { painter_.fillPath(path, colour); }

void Pen::Shape(const QPainterPath& path, const Tone& tone) {
    painter_.fillPath(path, tone.fill);
    painter_.save();
    painter_.setClipPath(path, Qt::IntersectClip);
    // One device pixel up to 32 pixels, then growing with the image so big icons keep their edge.
    const double width = std::max(1.0, size_ / 32.0);
    QPen line(tone.line, 2 * width * Px());
    line.setJoinStyle(Qt::MiterJoin);
    painter_.strokePath(path, line);
    painter_.restore();
}

void Pen::Shape(const QRectF& rect, const Tone& tone) {
    QPainterPath path;
    path.addRect(rect);
    Shape(path, tone);
}

void Pen::Stroke(const QPainterPath& path, double width, QColor colour, Qt::PenCapStyle cap, Qt::PenJoinStyle join) {
    QPen pen(colour, width, Qt::SolidLine, cap, join);
    painter_.strokePath(path, pen);
}

void Pen::Line(QPointF from, QPointF to, double width, QColor colour, Qt::PenCapStyle cap) {
    QPainterPath path(from);
    path.lineTo(to);
    Stroke(path, width, colour, cap);
}

void Pen::Clear(const QPainterPath& path) {
    painter_.save();
    painter_.setCompositionMode(QPainter::CompositionMode_Clear);
    painter_.fillPath(path, Qt::black);
    painter_.restore();
}

void Pen::Block(const QRectF& rect, QColor colour) {
    painter_.save();
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.fillRect(rect, colour);
    painter_.restore();
}

QImage DrawImage(const Drawing& drawing, int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    Pen pen(painter, size);
    drawing(pen);
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QImage KeyOut(const QImage& image, QRgb key) {
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    // A drawn pixel that happens to be the key colour would vanish: move it off by one.
    const QRgb nearKey = qRgb(qRed(key), qGreen(key) ^ 1, qBlue(key));
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const QRgb pixel = line[x];
            QRgb opaque = qRgb(qRed(pixel), qGreen(pixel), qBlue(pixel));
            if ((opaque & 0xFFFFFF) == (key & 0xFFFFFF)) opaque = nearKey;
            line[x] = qAlpha(pixel) >= 112 ? opaque : (key | 0xFF000000u);
        }
    }
    return out.convertToFormat(QImage::Format_RGB32);
}

QImage DrawStrip(const std::vector<Drawing>& cells, int size, QRgb key) {
    QImage strip(size * static_cast<int>(cells.size()), size, QImage::Format_RGB32);
    strip.fill(key);
    QPainter painter(&strip);
    for (std::size_t i = 0; i < cells.size(); ++i)
        painter.drawImage(static_cast<int>(i) * size, 0, KeyOut(DrawImage(cells[i], size), key));
    return strip;
}

}  // namespace art
