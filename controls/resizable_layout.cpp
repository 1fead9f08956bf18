#include "controls/resizable_layout.h"

#include <QListWidget>
#include <QScrollBar>
#include <algorithm>

#include "controls/static_control.h"
#include "controls/window_class.h"

namespace {

// Anchor point plus margin along one axis, as integer percent of the area's extent.
int AnchoredCoordinate(int percent, int extent, int margin) { return percent * extent / 100 + margin; }

bool StaticNeedsRepaint(DWORD style, const QRect& oldRect, const QRect& newRect) {
    const bool widthChanged = oldRect.width() != newRect.width();
    if (style & SS_CENTERIMAGE) return true;  // any change recentres the image or text
    switch (StaticType(style)) {
    case SS_LEFT:
    case SS_CENTER:
    case SS_RIGHT: return widthChanged;  // word wrap and alignment depend on the width
    case SS_ICON:
    case SS_BLACKFRAME:
    case SS_GRAYFRAME:
    case SS_WHITEFRAME:
    case SS_BITMAP:
    case SS_ENHMETAFILE:
    case SS_ETCHEDFRAME: return true;
    case SS_LEFTNOWORDWRAP: return widthChanged && (style & SS_ELLIPSISMASK) != 0;
    default: return false;
    }
}

bool ListBoxNeedsRepaint(const QWidget* control, const QRect& oldRect, const QRect& newRect) {
    if (newRect.width() <= oldRect.width()) return false;
    const auto* list = qobject_cast<const QListWidget*>(control);
    if (!list) return false;
    const QScrollBar* bar = list->horizontalScrollBar();
    if (!bar || bar->value() <= 0) return false;
    // Content width is the scroll range plus one page; a wider window scrolls back.
    const int contentWidth = bar->maximum() + bar->pageStep();
    return bar->value() + newRect.width() > contentWidth;
}

bool StaticAllowsClipping(DWORD style) {
    const DWORD type = StaticType(style);
    if (type > SS_ETCHEDVERT) return false;
    if (type == SS_ICON || type == SS_ENHMETAFILE) return (style & SS_CENTERIMAGE) == 0;
    switch (type) {
    case SS_LEFT:
    case SS_CENTER:
    case SS_RIGHT:
    case SS_BLACKRECT:
    case SS_GRAYRECT:
    case SS_WHITERECT:
    case SS_SIMPLE:
    case SS_LEFTNOWORDWRAP:
    case SS_BITMAP:
    case SS_ETCHEDHORZ:
    case SS_ETCHEDVERT: return true;
    default: return false;
    }
}

}  // namespace

void CResizableLayout::AddAnchor(QWidget* control, Anchor topLeft, Anchor bottomRight) {
    QWidget* window = GetLayoutWindow();
    if (!control || !window || control == window || !window->isAncestorOf(control)) return;

    LayoutInfo info;
    info.control = control;
    info.className = WindowClassOf(control);
    info.topLeft = topLeft;
    info.bottomRight = bottomRight;

    const QRect area = GetLayoutArea();
    const QRect rect = ChildRectInWindow(control);
    // Margins are the distances from the anchor points to the control's corners; the
    // bottom-right corner is exclusive, as window rectangles are.
    info.marginTopLeft = QPoint(rect.left() - (area.left() + topLeft.x * area.width() / 100),
                                rect.top() - (area.top() + topLeft.y * area.height() / 100));
    info.marginBottomRight = QPoint(rect.left() + rect.width() - (area.left() + bottomRight.x * area.width() / 100),
                                    rect.top() + rect.height() - (area.top() + bottomRight.y * area.height() / 100));

    InitChildProperties(info);

    const auto found = indexByControl_.find(control);
    if (found != indexByControl_.end()) {
        anchors_[found->second] = info;  // anchoring again replaces the old anchors
        return;
    }
    indexByControl_[control] = anchors_.size();
    anchors_.push_back(std::move(info));
}

void CResizableLayout::RemoveAllAnchors() {
    anchors_.clear();
    callbacks_.clear();
    indexByControl_.clear();
}

void CResizableLayout::InitChildProperties(LayoutInfo& info) {
    if (dynamic_cast<const CResizableSupport*>(info.control.data())) {
        info.answersSupport = true;
        return;
    }
    info.allowsClipping = AllowsClipping(info);
    info.needsRepaint = true;
}

bool CResizableLayout::AllowsClipping(const LayoutInfo& info) const {
    const QWidget* control = info.control;
    if (!control) return false;
    const DWORD style = WindowStyleOf(control);
    if (info.className == "ToolbarWindow32") return (style & TBSTYLE_TRANSPARENT) == 0;
    if (info.className == "Button") {
        const DWORD type = style & BS_TYPEMASK;
        if (type == BS_GROUPBOX) return false;
        // An owner-drawn button that lets the mouse through at its corner is see-through.
        if (type == BS_OWNERDRAW) return !control->testAttribute(Qt::WA_TransparentForMouseEvents);
        return true;
    }
    if (info.className == "Static") return StaticAllowsClipping(style);
    return true;
}

bool CResizableLayout::NeedsRepaint(const LayoutInfo& info, const QRect& oldRect, const QRect& newRect) const {
    if (oldRect.size() == newRect.size()) return false;
    const QWidget* control = info.control;
    if (!control) return false;
    if (info.className == "Static") return StaticNeedsRepaint(WindowStyleOf(control), oldRect, newRect);
    if (info.className == "ListBox") return ListBoxNeedsRepaint(control, oldRect, newRect);
    return false;
}

QRect CResizableLayout::GetLayoutArea() const {
    const QWidget* window = GetLayoutWindow();
    return window ? window->rect() : QRect();
}

bool CResizableLayout::ArrangeCallbackEntry(LayoutInfo&) const { return false; }

QRect CResizableLayout::NewChildRect(const LayoutInfo& info, const QRect& area) const {
    const int w = area.width();
    const int h = area.height();
    const int left = AnchoredCoordinate(info.topLeft.x, w, info.marginTopLeft.x());
    const int top = AnchoredCoordinate(info.topLeft.y, h, info.marginTopLeft.y());
    const int right = AnchoredCoordinate(info.bottomRight.x, w, info.marginBottomRight.x());
    const int bottom = AnchoredCoordinate(info.bottomRight.y, h, info.marginBottomRight.y());
    return QRect(area.left() + left, area.top() + top, right - left, bottom - top);
}

UINT CResizableLayout::MoveFlags(const LayoutInfo& info, const QRect& oldRect, const QRect& newRect) const {
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER;
    if (ChildNeedsRepaint(info, oldRect, newRect)) flags |= SWP_NOCOPYBITS;
    if (newRect.topLeft() == oldRect.topLeft()) flags |= SWP_NOMOVE;
    if (newRect.size() == oldRect.size()) flags |= SWP_NOSIZE;
    return flags;
}

bool CResizableLayout::ChildNeedsRepaint(const LayoutInfo& info, const QRect& oldRect, const QRect& newRect) const {
    if (info.answersSupport) {
        if (const auto* support = dynamic_cast<const CResizableSupport*>(info.control.data())) {
            return support->NeedsRepaint(oldRect, newRect);
        }
    }
    return NeedsRepaint(info, oldRect, newRect);
}

void CResizableLayout::ArrangeLayout() {
    QWidget* window = GetLayoutWindow();
    if (!window) return;
    const QRect area = GetLayoutArea();

    struct Move {
        QPointer<QWidget> control;
        QRect rect;
        UINT flags;
    };
    std::vector<Move> batch;
    batch.reserve(anchors_.size() + callbacks_.size());

    auto collect = [&](const LayoutInfo& info) {
        if (!info.control) return;
        const QRect oldRect = ChildRectInWindow(info.control);
        const QRect newRect = NewChildRect(info, area);
        const UINT flags = MoveFlags(info, oldRect, newRect);
        if ((flags & SWP_NOMOVE) && (flags & SWP_NOSIZE)) return;
        batch.push_back({info.control, newRect, flags});
    };
    for (const LayoutInfo& info : anchors_) collect(info);
    for (LayoutInfo& info : callbacks_) {
        if (ArrangeCallbackEntry(info)) collect(info);
    }
    if (batch.empty()) return;

    // All controls move at once: the window paints only after the last one has moved.
    // Painting that an outer window holds off is left to it: turning it off here while
    // it is off already would keep it off for good.
    const bool holdPainting = window->updatesEnabled();
    if (holdPainting) window->setUpdatesEnabled(false);
    for (const Move& move : batch) {
        if (move.control) MoveChild(move.control, move.rect, move.flags);
    }
    if (holdPainting) window->setUpdatesEnabled(true);
}

QRegion CResizableLayout::EraseRegion() const {
    QRegion region(GetLayoutArea());
    for (const LayoutInfo& info : anchors_) {
        const QWidget* control = info.control;
        if (!control || !control->isVisible()) continue;
        bool clips = info.allowsClipping;
        const auto* support = info.answersSupport ? dynamic_cast<const CResizableSupport*>(control) : nullptr;
        if (support) clips = support->AllowsClipping();
        if (!clips) continue;
        const QRect rect = ChildRectInWindow(control);
        const QRegion mask = control->mask();
        region -= mask.isEmpty() ? QRegion(rect) : mask.translated(rect.topLeft());
    }
    return region;
}

QRect CResizableLayout::ChildRectInWindow(const QWidget* control) const {
    const QWidget* window = GetLayoutWindow();
    const QWidget* parent = control->parentWidget();
    if (!parent || parent == window || !window) return control->geometry();
    return QRect(parent->mapTo(window, control->pos()), control->size());
}

void CResizableLayout::MoveChild(QWidget* control, const QRect& rectInWindow, UINT flags) const {
    const QWidget* window = GetLayoutWindow();
    const QWidget* parent = control->parentWidget();
    QRect target = rectInWindow;
    if (parent && window && parent != window) target.translate(-parent->mapTo(window, QPoint(0, 0)));
    // A control squeezed past its anchors keeps an empty size rather than a negative one.
    target.setWidth(std::max(0, target.width()));
    target.setHeight(std::max(0, target.height()));
    control->setGeometry(target);
    if (flags & SWP_NOCOPYBITS) control->update();
}
