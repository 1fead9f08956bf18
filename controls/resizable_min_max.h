#pragma once
// Minimum and maximum tracking sizes of a resizable window, and its maximized size
// and position.

#include <QPoint>
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

    void SetMaximizedRect(const QPoint& position, const QSize& size);
    void ResetMaximizedRect() { maximizedSet_ = false; }
    void SetMinTrackSize(const QSize& size);
    void ResetMinTrackSize() { minTrackSet_ = false; }
    void SetMaxTrackSize(const QSize& size);
    void ResetMaxTrackSize() { maxTrackSet_ = false; }

    bool HasMinTrackSize() const { return minTrackSet_; }
    QSize MinTrackSize() const { return minTrackSize_; }

    // Fills the values that are set and leaves the others as the caller gave them.
    void MinMaxInfo(MINMAXINFO* info) const;

protected:
    // Gives the tracking sizes to a top-level window, which enforces them while it is dragged.
    void ApplyTrackSizes(QWidget* window) const;

private:
    bool maximizedSet_ = false;
    bool minTrackSet_ = false;
    bool maxTrackSet_ = false;
    QSize minTrackSize_;
    QSize maxTrackSize_;
    QSize maximizedSize_;
    QPoint maximizedPosition_;
};
