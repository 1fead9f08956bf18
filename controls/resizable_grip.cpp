#include "controls/resizable_grip.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <QStyle>
#include <QWindow>
#include <algorithm>

CResizableGrip::CSizeGrip::CSizeGrip(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);  // the grip never takes the focus
    setObjectName("sizeGrip");
    UpdateShape();
}

QSize CResizableGrip::CSizeGrip::GripSize() const {
    const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    return QSize(extent, extent);
}

bool CResizableGrip::CSizeGrip::IsRightToLeft() const {
    const QWidget* parent = parentWidget();
    return parent ? parent->layoutDirection() == Qt::RightToLeft : layoutDirection() == Qt::RightToLeft;
}

int CResizableGrip::CSizeGrip::HitTestCode() const { return IsRightToLeft() ? HTBOTTOMLEFT : HTBOTTOMRIGHT; }

void CResizableGrip::CSizeGrip::UpdateShape() {
    const QSize size = GripSize();
    resize(size);
    const int w = size.width();
    const int h = size.height();
    // Only the triangle below the diagonal takes the mouse and is painted.
    QPolygon triangle;
    if (IsRightToLeft()) {
        triangle << QPoint(0, 0) << QPoint(w, h) << QPoint(0, h);
    } else {
        triangle << QPoint(0, h) << QPoint(w, 0) << QPoint(w, h);
    }
    setMask(QRegion(triangle));
    setCursor(IsRightToLeft() ? Qt::SizeBDiagCursor : Qt::SizeFDiagCursor);
}

void CResizableGrip::CSizeGrip::PlaceInCorner() {
    const QWidget* parent = parentWidget();
    if (!parent) return;
    const QRect client = parent->rect();
    const int x = IsRightToLeft() ? client.left() : client.right() + 1 - width();
    move(x, client.bottom() + 1 - height());
    raise();
}

void CResizableGrip::CSizeGrip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    // Three diagonal rows of raised dots, as the classic grip draws them.
    const int step = std::max(3, width() / 4);
    const int dot = std::max(2, step / 2);
    const bool rtl = IsRightToLeft();
    for (int row = 0; row < 3; ++row) {
        for (int i = 0; i <= row; ++i) {
            const int fromRight = (row - i) * step + dot + 1;
            const int y = height() - (i * step + dot + 1) - 1;
            const int x = rtl ? fromRight - dot : width() - fromRight - 1;
            painter.fillRect(QRect(x + 1, y + 1, dot, dot), palette().light());
            painter.fillRect(QRect(x, y, dot, dot), palette().dark());
        }
    }
}

void CResizableGrip::CSizeGrip::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    QWidget* target = window();
    const Qt::Edges edges = Qt::BottomEdge | (IsRightToLeft() ? Qt::LeftEdge : Qt::RightEdge);
    // The window manager sizes the window when it can; otherwise the grip does it.
    if (target->windowHandle() && target->windowHandle()->startSystemResize(edges)) return;
    dragging_ = true;
    dragStart_ = event->globalPosition().toPoint();
    windowStart_ = target->geometry();
}

void CResizableGrip::CSizeGrip::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_) return QWidget::mouseMoveEvent(event);
    const QPoint delta = event->globalPosition().toPoint() - dragStart_;
    QWidget* target = window();
    QRect rect = windowStart_;
    rect.setBottom(rect.bottom() + delta.y());
    if (IsRightToLeft()) {
        rect.setLeft(rect.left() + delta.x());
    } else {
        rect.setRight(rect.right() + delta.x());
    }
    const QSize bounded = rect.size().expandedTo(target->minimumSize()).boundedTo(target->maximumSize());
    if (IsRightToLeft()) rect.setLeft(rect.right() + 1 - bounded.width());
    rect.setSize(bounded);
    target->setGeometry(rect);
}

void CResizableGrip::CSizeGrip::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) dragging_ = false;
    QWidget::mouseReleaseEvent(event);
}

void CResizableGrip::CSizeGrip::changeEvent(QEvent* event) {
    // A changed style may bring other scroll-bar sizes.
    if (event->type() == QEvent::StyleChange || event->type() == QEvent::LayoutDirectionChange) {
        UpdateShape();
        PlaceInCorner();
    }
    QWidget::changeEvent(event);
}

bool CResizableGrip::CreateSizeGrip(bool visible) {
    QWidget* window = GetResizableWnd();
    if (!window) return false;
    if (!grip_) grip_ = new CSizeGrip(window);  // owned by the window as its child
    grip_->PlaceInCorner();
    grip_->setVisible(visible);
    return true;
}

void CResizableGrip::ShowSizeGrip(bool show) {
    if (grip_) grip_->setVisible(show);
}

bool CResizableGrip::IsSizeGripVisible() const { return grip_ && !grip_->isHidden(); }

void CResizableGrip::UpdateSizeGrip() {
    if (grip_) grip_->PlaceInCorner();
}
