#include "controls/resizable_min_max.h"

void CResizableMinMax::SetMinTrackSize(const QSize& size) {
    minTrackSet_ = true;
    minTrackSize_ = size;
}

void CResizableMinMax::MinMaxInfo(MINMAXINFO* info) const {
    if (!info) return;
    if (minTrackSet_) info->ptMinTrackSize = POINT{minTrackSize_.width(), minTrackSize_.height()};
}

void CResizableMinMax::ApplyTrackSizes(QWidget* window) const {
    if (!window || !window->isWindow()) return;
    window->setMinimumSize(minTrackSet_ ? minTrackSize_ : QSize(0, 0));
}
