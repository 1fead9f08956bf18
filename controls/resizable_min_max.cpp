#include "controls/resizable_min_max.h"

void CResizableMinMax::SetMaximizedRect(const QPoint& position, const QSize& size) {
    maximizedSet_ = true;
    maximizedPosition_ = position;
    maximizedSize_ = size;
}

void CResizableMinMax::SetMinTrackSize(const QSize& size) {
    minTrackSet_ = true;
    minTrackSize_ = size;
}

void CResizableMinMax::SetMaxTrackSize(const QSize& size) {
    maxTrackSet_ = true;
    maxTrackSize_ = size;
}

void CResizableMinMax::MinMaxInfo(MINMAXINFO* info) const {
    if (!info) return;
    if (maxTrackSet_) info->ptMaxTrackSize = POINT{maxTrackSize_.width(), maxTrackSize_.height()};
    if (minTrackSet_) info->ptMinTrackSize = POINT{minTrackSize_.width(), minTrackSize_.height()};
    if (maximizedSet_) {
        info->ptMaxSize = POINT{maximizedSize_.width(), maximizedSize_.height()};
        info->ptMaxPosition = POINT{maximizedPosition_.x(), maximizedPosition_.y()};
    }
}

void CResizableMinMax::ApplyTrackSizes(QWidget* window) const {
    if (!window || !window->isWindow()) return;
    window->setMinimumSize(minTrackSet_ ? minTrackSize_ : QSize(0, 0));
    window->setMaximumSize(maxTrackSet_ ? maxTrackSize_ : QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
}
