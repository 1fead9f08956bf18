#include "controls/image_list.h"

#include <QImage>
#include <QPainter>

ImageList::ImageList(int width, int height) : width_(width), height_(height) {}

ImageList::ImageList(int width, int height, Source source)
    : width_(width), height_(height), source_(std::move(source)) {}

int ImageList::Add(const QPixmap& image) {
    if (image.width() == width_ && image.height() == height_)
        images_.push_back(image);
    else
        images_.push_back(image.scaled(width_, height_, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    return Count() - 1;
}

int ImageList::AddStrip(const QImage& strip, QColor maskColor) {
    if (width_ <= 0 || strip.width() < width_) return -1;
    QImage argb = strip.convertToFormat(QImage::Format_ARGB32);
    const QRgb mask = maskColor.rgb() & 0xFFFFFF;
    for (int y = 0; y < argb.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(argb.scanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            if ((line[x] & 0xFFFFFF) == mask) line[x] = 0;
    }
    const int first = Count();
    for (int x = 0; x + width_ <= argb.width(); x += width_)
        Add(QPixmap::fromImage(argb.copy(x, 0, width_, std::min(height_, argb.height()))));
    return first;
}

bool ImageList::Draw(QPainter& painter, int index, int x, int y) const {
    if (index < 0) return false;
    if (source_) {
        const QIcon icon = source_(index);
        if (icon.isNull()) return false;
        icon.paint(&painter, QRect(x, y, width_, height_));
        return true;
    }
    if (index >= Count()) return false;
    painter.drawPixmap(x, y, images_[static_cast<std::size_t>(index)]);
    return true;
}

QPixmap ImageList::Pixmap(int index) const {
    if (index < 0) return {};
    if (source_) {
        const QIcon icon = source_(index);
        return icon.isNull() ? QPixmap() : icon.pixmap(width_, height_);
    }
    return index < Count() ? images_[static_cast<std::size_t>(index)] : QPixmap();
}

std::unique_ptr<ImageList> ImageList::MakeCheckBoxes() {
    // One 48 x 16 strip with a mask, cut into three images; each box spans (1, 2)-(14, 15).
    QImage strip(48, 16, QImage::Format_ARGB32);
    strip.fill(Qt::transparent);
    {
        QPainter painter(&strip);
        for (int image = 1; image <= 2; ++image) {
            const int left = image * 16 + 1;
            const QRect box(left, 2, 13, 13);
            painter.fillRect(box, QColor(0x80, 0x80, 0x80));
            painter.fillRect(box.adjusted(1, 1, -1, -1), Qt::white);
            if (image == 2) {
                painter.setPen(QPen(Qt::black, 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
                const QPoint tick[] = {{left + 3, 8}, {left + 5, 11}, {left + 10, 5}};
                painter.drawPolyline(tick, 3);
            }
        }
    }
    auto list = std::make_unique<ImageList>(16, 16);
    for (int image = 0; image < 3; ++image) list->Add(QPixmap::fromImage(strip.copy(image * 16, 0, 16, 16)));
    return list;
}
