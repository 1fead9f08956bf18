#include "controls/treelist/treelist_header.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionHeader>

#include "controls/control_defs.h"
#include "controls/image_list.h"
#include "controls/treelist/treelist_ids.h"
#include "controls/treelist/treelist_window.h"

namespace {

constexpr int kDividerReach = 4;

}  // namespace

TreeListHeader::TreeListHeader(TreeListWindow& owner)
    : QWidget(owner.viewport()), plat::MessageWindow(this), owner_(owner) {
    setMouseTracking(true);
    setFont(owner.font());
}

int TreeListHeader::DividerAt(int x) const {
    const int content = x + owner_.hscroll_;
    for (unsigned c = owner_.ColumnCount(); c-- > 0;) {
        const int right = owner_.ColumnRight(c);
        if (content >= right - kDividerReach && content <= right + kDividerReach) return static_cast<int>(c);
    }
    return -1;
}

int TreeListHeader::SectionAt(int x) const { return owner_.columns_.ColumnAt(x + owner_.hscroll_); }

LRESULT TreeListHeader::Send(unsigned code, int column, int width) {
    HDITEM item;
    NMHEADER nm;
    nm.hdr.hwndFrom = GetSafeHwnd();
    nm.hdr.idFrom = treelist::kHeaderId;
    nm.hdr.code = code;
    nm.iItem = column;
    if (width >= 0) {
        item.mask = HDI_WIDTH;
        item.cxy = width;
        nm.pitem = &item;
    }
    return owner_.Message(WM_NOTIFY, treelist::kHeaderId, reinterpret_cast<LPARAM>(&nm));
}

void TreeListHeader::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int count = static_cast<int>(owner_.ColumnCount());
    int right = 0;
    for (int c = 0; c < count; ++c) {
        const TreeColumn& column = owner_.columns_.Columns()[static_cast<std::size_t>(c)];
        QStyleOptionHeader option;
        option.initFrom(this);
        option.rect = QRect(owner_.ColumnLeft(static_cast<unsigned>(c)) - owner_.hscroll_, 0,
                            owner_.columns_.DrawnWidth(static_cast<unsigned>(c)), height());
        option.section = c;
        option.text = QString::fromUtf8(column.title.data(), static_cast<qsizetype>(column.title.size()));
        option.textAlignment = column.align == TVCFMT_RIGHT    ? Qt::AlignRight | Qt::AlignVCenter
                               : column.align == TVCFMT_CENTER ? Qt::AlignHCenter | Qt::AlignVCenter
                                                               : Qt::AlignLeft | Qt::AlignVCenter;
        option.position = count == 1       ? QStyleOptionHeader::OnlyOneSection
                          : c == 0         ? QStyleOptionHeader::Beginning
                          : c == count - 1 ? QStyleOptionHeader::End
                                           : QStyleOptionHeader::Middle;
        if (images_ && column.hasImage) {
            const QPixmap pixmap = images_->Pixmap(column.image);
            if (!pixmap.isNull()) option.icon = QIcon(pixmap);
        }
        if (c == pressed_) option.state |= QStyle::State_Sunken;
        // A style may leave the painter clipped to the section it drew.
        painter.save();
        style()->drawControl(QStyle::CE_Header, &option, &painter, this);
        painter.restore();
        right = option.rect.right() + 1;
    }
    if (right < width()) {
        QStyleOptionHeader option;
        option.initFrom(this);
        option.rect = QRect(right, 0, width() - right, height());
        style()->drawControl(QStyle::CE_HeaderEmptyArea, &option, &painter, this);
    }
}

void TreeListHeader::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const int x = event->position().toPoint().x();
    const int divider = DividerAt(x);
    if (divider >= 0) {
        if (Send(HDN_BEGINTRACKA, divider) == 0) {
            tracking_ = divider;
            trackStartX_ = x;
            // From where the divider is seen: the last column may be drawn wider than it is.
            trackStartWidth_ = owner_.columns_.DrawnWidth(static_cast<unsigned>(divider));
        }
        return;
    }
    pressed_ = SectionAt(x);
    update();
}

void TreeListHeader::mouseMoveEvent(QMouseEvent* event) {
    const int x = event->position().toPoint().x();
    if (tracking_ >= 0) {
        Send(HDN_TRACKA, tracking_, std::max(trackStartWidth_ + x - trackStartX_, 0));
        return;
    }
    const bool resizable = !(owner_.exStyle_ & TVS_EX_NOCOLUMNRESIZE);
    setCursor(resizable && DividerAt(x) >= 0 ? Qt::SplitHCursor : Qt::ArrowCursor);
}

void TreeListHeader::mouseReleaseEvent(QMouseEvent* event) {
    const int x = event->position().toPoint().x();
    if (tracking_ >= 0) {
        const int column = tracking_;
        tracking_ = -1;
        Send(HDN_ENDTRACKA, column, std::max(trackStartWidth_ + x - trackStartX_, 0));
        return;
    }
    const int pressed = pressed_;
    pressed_ = -1;
    update();
    if (pressed >= 0 && pressed == SectionAt(x)) Send(HDN_ITEMCLICKA, pressed);
}

void TreeListHeader::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const int x = event->position().toPoint().x();
    const int divider = DividerAt(x);
    if (divider >= 0) {
        Send(HDN_DIVIDERDBLCLICKA, divider);
        return;
    }
    const int section = SectionAt(x);
    if (section >= 0) Send(HDN_ITEMDBLCLICKA, section);
}
