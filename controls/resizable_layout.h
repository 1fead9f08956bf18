#pragma once
// Anchored layout of a window's child controls: each control keeps the distances of
// its corners to two anchor points, given in percent of the layout area, so it moves
// and stretches with the window.

#include <QPointer>
#include <QRect>
#include <QRegion>
#include <QWidget>
#include <map>
#include <string>
#include <vector>

#include "platform/core/win_types.h"

// A point of the layout area, in percent of its width and height (0 to 100 each).
struct Anchor {
    int x = 0;
    int y = 0;
};

namespace anchor {
inline constexpr Anchor TopLeft{0, 0};
inline constexpr Anchor TopCenter{50, 0};
inline constexpr Anchor TopRight{100, 0};
inline constexpr Anchor MiddleLeft{0, 50};
inline constexpr Anchor MiddleCenter{50, 50};
inline constexpr Anchor MiddleRight{100, 50};
inline constexpr Anchor BottomLeft{0, 100};
inline constexpr Anchor BottomCenter{50, 100};
inline constexpr Anchor BottomRight{100, 100};
}  // namespace anchor

// Move flags of an arranged control, as the layout decides them.
inline constexpr UINT SWP_NOSIZE = 0x0001;
inline constexpr UINT SWP_NOMOVE = 0x0002;
inline constexpr UINT SWP_NOZORDER = 0x0004;
inline constexpr UINT SWP_NOACTIVATE = 0x0010;
inline constexpr UINT SWP_NOCOPYBITS = 0x0100;
inline constexpr UINT SWP_NOOWNERZORDER = 0x0200;

// A child that answers the layout's questions itself implements this; its answers
// are taken instead of the rules by window class.
class CResizableSupport {
public:
    virtual ~CResizableSupport() = default;
    virtual bool AllowsClipping() const = 0;
    virtual bool NeedsRepaint(const QRect& oldRect, const QRect& newRect) const = 0;
};

class CResizableLayout {
public:
    struct LayoutInfo {
        QPointer<QWidget> control;
        UINT_PTR callbackId = 0;  // 0 for an anchored control
        std::string className;
        Anchor topLeft;
        QPoint marginTopLeft;
        Anchor bottomRight;
        QPoint marginBottomRight;
        bool answersSupport = false;
        bool allowsClipping = true;
        bool needsRepaint = true;
    };

    CResizableLayout() = default;
    CResizableLayout(const CResizableLayout&) = delete;
    CResizableLayout& operator=(const CResizableLayout&) = delete;
    virtual ~CResizableLayout() = default;

    // Anchors a child of the layout window by its current rectangle. A widget that is
    // not below the layout window is ignored.
    void AddAnchor(QWidget* control, Anchor topLeft, Anchor bottomRight);
    void AddAnchor(QWidget* control, Anchor topLeft) { AddAnchor(control, topLeft, topLeft); }
    void RemoveAllAnchors();

    // Moves every anchored control to its place for the current layout area.
    void ArrangeLayout();

    // The new rectangle of a control (layout-window coordinates) and its move flags.
    QRect NewChildRect(const LayoutInfo& info, const QRect& area) const;
    UINT MoveFlags(const LayoutInfo& info, const QRect& oldRect, const QRect& newRect) const;

    // The area the window's background is painted in: the layout area less every
    // visible anchored control that allows clipping.
    QRegion EraseRegion() const;

    std::size_t AnchorCount() const { return anchors_.size(); }

protected:
    virtual void InitChildProperties(LayoutInfo& info);
    virtual bool AllowsClipping(const LayoutInfo& info) const;
    virtual bool NeedsRepaint(const LayoutInfo& info, const QRect& oldRect, const QRect& newRect) const;
    virtual QRect GetLayoutArea() const;
    // Fills the control, anchors and margins of a callback entry; false gives no rectangle.
    virtual bool ArrangeCallbackEntry(LayoutInfo& info) const;
    virtual QWidget* GetLayoutWindow() const = 0;

private:
    QRect ChildRectInWindow(const QWidget* control) const;
    void MoveChild(QWidget* control, const QRect& rectInWindow, UINT flags) const;
    bool ChildNeedsRepaint(const LayoutInfo& info, const QRect& oldRect, const QRect& newRect) const;

    std::vector<LayoutInfo> anchors_;
    std::vector<LayoutInfo> callbacks_;
    std::map<const QWidget*, std::size_t> indexByControl_;
};
