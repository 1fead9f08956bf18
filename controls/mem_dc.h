#pragma once
// An off-screen drawing surface over a painter: everything is drawn into a bitmap that
// is copied to the target in one block when the surface goes. On a printer the
// drawing goes straight to the target.

#include <QPainter>
#include <QPixmap>
#include <QRect>
#include <optional>

class CMemDC1 {
public:
    CMemDC1(QPainter& target, const QRect& rect);
    CMemDC1(const CMemDC1&) = delete;
    CMemDC1& operator=(const CMemDC1&) = delete;
    ~CMemDC1();

    QPainter& Painter() { return offScreen_ ? *bitmapPainter_ : target_; }

private:
    QPainter& target_;
    QRect rect_;
    bool offScreen_;
    QPixmap bitmap_;
    std::optional<QPainter> bitmapPainter_;
};
