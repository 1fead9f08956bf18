#include "controls/mem_dc.h"

#include <QPaintDevice>

CMemDC1::CMemDC1(QPainter& target, const QRect& rect)
    : target_(target),
      rect_(rect),
      offScreen_(target.device() && target.device()->devType() != QInternal::Printer && !rect.isEmpty()) {
    if (!offScreen_) return;
    const qreal ratio = target.device()->devicePixelRatioF();
    bitmap_ = QPixmap(rect.size() * ratio);
    bitmap_.setDevicePixelRatio(ratio);
    bitmap_.fill(Qt::transparent);
    bitmapPainter_.emplace(&bitmap_);
    bitmapPainter_->setFont(target.font());
    bitmapPainter_->translate(-rect.topLeft());
}

CMemDC1::~CMemDC1() {
    if (!offScreen_) return;
    bitmapPainter_->end();
    target_.drawPixmap(rect_.topLeft(), bitmap_);
}
