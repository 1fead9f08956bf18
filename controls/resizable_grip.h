#pragma once
// The size grip in the bottom-right corner of a resizable window (bottom-left when the
// window is laid out right to left). Only its lower triangle takes the mouse; dragging
// it sizes the window.

#include <QPointer>
#include <QWidget>

inline constexpr int HTBOTTOMLEFT = 16;
inline constexpr int HTBOTTOMRIGHT = 17;

class CResizableGrip {
public:
    class CSizeGrip : public QWidget {
    public:
        explicit CSizeGrip(QWidget* parent);

        // The system's scroll-bar width by scroll-bar height.
        QSize GripSize() const;
        // Where a press on the grip sizes the window from.
        int HitTestCode() const;
        // Places the grip in its corner of the parent's client area.
        void PlaceInCorner();

    protected:
        void paintEvent(QPaintEvent* event) override;
        void mousePressEvent(QMouseEvent* event) override;
        void mouseMoveEvent(QMouseEvent* event) override;
        void mouseReleaseEvent(QMouseEvent* event) override;
        void changeEvent(QEvent* event) override;

    private:
        void UpdateShape();
        bool IsRightToLeft() const;

        bool dragging_ = false;
        QPoint dragStart_;
        QRect windowStart_;
    };

    CResizableGrip() = default;
    CResizableGrip(const CResizableGrip&) = delete;
    CResizableGrip& operator=(const CResizableGrip&) = delete;
    virtual ~CResizableGrip() = default;

    bool CreateSizeGrip(bool visible);
    void ShowSizeGrip(bool show);
    bool IsSizeGripVisible() const;
    void UpdateSizeGrip();
    CSizeGrip* SizeGrip() const { return grip_; }

protected:
    virtual QWidget* GetResizableWnd() const = 0;

private:
    QPointer<CSizeGrip> grip_;  // a child of the resizable window, which owns it
};
