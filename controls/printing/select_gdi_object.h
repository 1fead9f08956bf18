#pragma once
// Selects a font or a pen into a painter for a scope; the previous one comes back when
// the scope ends.

#include <QFont>
#include <QPainter>
#include <QPen>

class GSelectGdiObject {
public:
    GSelectGdiObject(QPainter& painter, const QFont& font) : painter_(painter), font_(painter.font()), isFont_(true) {
        painter.setFont(font);
    }
    GSelectGdiObject(QPainter& painter, const QPen& pen) : painter_(painter), pen_(painter.pen()), isFont_(false) {
        painter.setPen(pen);
    }
    GSelectGdiObject(const GSelectGdiObject&) = delete;
    GSelectGdiObject& operator=(const GSelectGdiObject&) = delete;
    ~GSelectGdiObject() {
        if (isFont_) {
            painter_.setFont(font_);
        } else {
            painter_.setPen(pen_);
        }
    }

private:
    QPainter& painter_;
    QFont font_;
    QPen pen_;
    bool isFont_;
};
