#pragma once
// The header of a TreeList: one section per column, painted in the style's header look,
// scrolled with the rows. Dragging a divider, clicking and double clicking report to the
// tree list as the header-control notifications (HDN_*), which decide what happens.

#include <QWidget>

#include "platform/qt/message_window.h"

class ImageList;
class TreeListWindow;

class TreeListHeader : public QWidget, public plat::MessageWindow {
public:
    explicit TreeListHeader(TreeListWindow& owner);

    void SetImages(const ImageList* images) {
        images_ = images;
        update();
    }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    // The column whose right edge is within a few pixels of `x` (client), or -1.
    int DividerAt(int x) const;
    // The column under `x` (client), or -1.
    int SectionAt(int x) const;
    LRESULT Send(unsigned code, int column, int width = -1);

    TreeListWindow& owner_;
    const ImageList* images_ = nullptr;
    int tracking_ = -1;
    int trackStartX_ = 0;
    int trackStartWidth_ = 0;
    int pressed_ = -1;
};
