#include "ui/pages/list_button_icons.h"

#include <QPainter>
#include <QPixmap>

namespace {

constexpr int kSize = 16;

QPixmap Blank() {
    QPixmap image(kSize, kSize);
    image.fill(Qt::transparent);
    return image;
}

}  // namespace

QIcon AddEntryIcon() {
    // A green plus over a small arrow that says a menu opens.
    QPixmap image = Blank();
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(30, 130, 40), 3, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(QPointF(6, 1.5), QPointF(6, 10.5));
    painter.drawLine(QPointF(1.5, 6), QPointF(10.5, 6));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(60, 60, 60));
    const QPointF arrow[] = {{9.5, 11.5}, {15.5, 11.5}, {12.5, 15}};
    painter.drawPolygon(arrow, 3);
    return QIcon(image);
}

QIcon RemoveEntryIcon() {
    // A red cross.
    QPixmap image = Blank();
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(200, 40, 40), 3, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
    painter.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
    return QIcon(image);
}
