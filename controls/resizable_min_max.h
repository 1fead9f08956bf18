#pragma once
// The minimum tracking size of a resizable window. (Nothing in the program sets a
// maximum tracking size or a maximized rectangle: a MINMAXINFO keeps what it held.)

#include <QSize>
#include <QWidget>

#include "platform/core/win_types.h"

struct MINMAXINFO {
    POINT ptReserved;
    POINT ptMaxSize;
    POINT ptMaxPosition;
    POINT ptMinTrackSize;
    POINT ptMaxTrackSize;
};

class CResizableMinMax {
public:
    virtual ~CResizableMinMax() = default;

    void SetMinTrackSize(const QSize& size);

    // Fills the minimum tracking size when it is set and leaves the rest as the caller
    // gave it.
    void MinMaxInfo(MINMAXINFO* info) const;

protected:
    // Gives the tracking size to a top-level window, which enforces it while it is dragged.
    void ApplyTrackSizes(QWidget* window) const;

private:
    bool minTrackSet_ = false;
    QSize minTrackSize_;
};
