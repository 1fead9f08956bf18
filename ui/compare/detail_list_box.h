#pragma once
// One pane's list of the compare window: the numbered lines of one file, those that differ
// (and the filler rows) on grey. It is read-only to the user: clicks, keys and the wheel do
// nothing, and the scroll bars move this pane and its partner, the other pane, together.

#include <QListView>
#include <memory>
#include <vector>

#include "ui/compare/pane_rows.h"

class PaneRowModel;

class CDetailListBox : public QListView {
public:
    static constexpr int kRowHeight = 13;
    static constexpr int kExtentMargin = 250;  // beyond the widest row
    static constexpr QRgb kDifferentColour = 0xC0C0C0;
    static constexpr QRgb kSameColour = 0xFFFFFF;

    explicit CDetailListBox(QWidget* parent = nullptr);
    ~CDetailListBox() override;

    // The other pane's list, which scrolls with this one.
    void SetPartner(CDetailListBox* partner) { partner_ = partner; }
    CDetailListBox* Partner() const { return partner_; }

    void SetRows(std::vector<PaneRow> rows);
    const std::vector<PaneRow>& Rows() const;
    // The scrollable width: the widest row plus a margin.
    int HorizontalExtent() const { return extent_; }
    // The row shown at the top.
    int TopIndex() const;

protected:
    bool viewportEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void FollowScroll(Qt::Orientation orientation, int value);

    std::unique_ptr<PaneRowModel> model_;
    CDetailListBox* partner_ = nullptr;
    bool following_ = false;  // moved by the partner's scroll
    int extent_ = kExtentMargin;
};
