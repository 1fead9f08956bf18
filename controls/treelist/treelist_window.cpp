// Life of a TreeList window, its identity towards the parent, fonts, item height, colours
// and style changes.
#include "controls/treelist/treelist_window.h"
#include "controls/treelist/treelist_ids.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPalette>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>

#include "controls/colorref.h"
#include "controls/treelist/treelist_editor.h"
#include "controls/treelist/treelist_header.h"

TreeListWindow::TreeListWindow(DWORD style, QWidget* parent, UINT id)
    : QAbstractScrollArea(parent), plat::MessageWindow(this), id_(id), style_(style) {
    setObjectName(QStringLiteral("TreeList"));
    setFocusPolicy(Qt::StrongFocus);
    setFrameShape((style & WS_BORDER) ? QFrame::StyledPanel : QFrame::NoFrame);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_InputMethodEnabled);
    const auto policy = (style & TVS_NOSCROLL) ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded;
    setVerticalScrollBarPolicy(policy);
    setHorizontalScrollBarPolicy(policy);

    enabled_ = !(style & WS_DISABLED);
    if (!enabled_) setEnabled(false);
    tooltipsOn_ = !(style & TVS_NOTOOLTIPS);
    UpdateLinesAtRoot();
    ApplyFont(font());
    UpdateSystemColors();
    UpdateCheckBoxImages();
    UpdateItemHeight();

    tooltipTimer_.setInterval(1500);
    connect(&tooltipTimer_, &QTimer::timeout, this, [this] { Message(WM_TIMER, treelist::kTooltipTimerId, 0); });
    tooltipDelayTimer_.setInterval(500);
    connect(&tooltipDelayTimer_, &QTimer::timeout, this, [this] { OnTooltipDelayTick(); });
}

TreeListWindow::~TreeListWindow() {
    // WM_DESTROY still reaches this class: the items are deleted with their notifications.
    DestroyMessageWindow();
    DestroyContents();
}

void TreeListWindow::DestroyContents() {
    if (destroying_) return;
    destroying_ = true;
    WindowLockGuard guard(lock_);
    tooltipTimer_.stop();
    tooltipDelayTimer_.stop();
    HideTooltip();
    editor_.reset();
    retiredEditor_.reset();
    editItem_ = 0;
    DeleteAllItems();
    header_.reset();
    normalImages_ = {};
    stateImages_ = {};
    checkImages_ = {};
    cellImages_ = {};
}

QWidget* TreeListWindow::EditorWidget() const { return editor_ ? editor_->Widget() : nullptr; }

// ---------------------------------------------------------------- notifications

LRESULT TreeListWindow::SendToParent(UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND parent = GetParent(GetSafeHwnd());
    if (!parent) return 0;
    // The parent may send messages back to the control from its handler.
    WindowLockRelease release(lock_);
    return SendMessage(parent, message, wParam, lParam);
}

LRESULT TreeListWindow::Notify(NMHDR& header, UINT code) {
    header.hwndFrom = GetSafeHwnd();
    header.idFrom = id_;
    header.code = code;
    return SendToParent(WM_NOTIFY, id_, reinterpret_cast<LPARAM>(&header));
}

LRESULT TreeListWindow::NotifyCode(UINT code) {
    NMHDR header;
    return Notify(header, code);
}

void TreeListWindow::FillItemRecord(TVITEMW& record, ItemIndex item, unsigned column, UINT mask) {
    record = TVITEMW{};
    const TreeItem* it = items_.Get(item);
    if (!it) return;
    record.mask = mask | TVIF_HANDLE | TVIF_STATE | TVIF_PARAM;
    record.hItem = item;
    record.lParam = it->lParam;
    record.state = it->state;
    record.stateMask = 0xFFFFFFFFu;
    record.iImage = it->image;
    record.iSelectedImage = it->selectedImage;
    record.cChildren = static_cast<int>(column);
    if (column > 0) {
        record.mask |= TVIF_SUBITEM;
        if (const TreeCell* cell = it->Cell(column)) {
            record.state = cell->state;
            record.iImage = cell->image;
        } else {
            record.state = it->state & 0x11;
            record.iImage = I_IMAGENONE;
        }
    }
}

LRESULT TreeListWindow::NotifyItem(UINT code, UINT action, ItemIndex oldItem, unsigned oldColumn, ItemIndex newItem,
                                   unsigned newColumn, POINT point) {
    NMTREEVIEW nm;
    nm.action = action;
    FillItemRecord(nm.itemOld, oldItem, oldColumn, 0);
    FillItemRecord(nm.itemNew, newItem, newColumn, 0);
    nm.ptDrag = point;
    return Notify(nm.hdr, code);
}

// ---------------------------------------------------------------- colours and fonts

void TreeListWindow::UpdateSystemColors() {
    const QPalette p = palette();
    SystemColors system;
    system.window = RefFromColor(p.color(QPalette::Active, QPalette::Base));
    system.windowText = RefFromColor(p.color(QPalette::Active, QPalette::Text));
    system.infoBk = RefFromColor(p.color(QPalette::Active, QPalette::ToolTipBase));
    system.buttonFace = RefFromColor(p.color(QPalette::Active, QPalette::Button));
    system.buttonShadow = RefFromColor(p.color(QPalette::Active, QPalette::Dark));
    system.highlight = RefFromColor(p.color(QPalette::Active, QPalette::Highlight));
    system.highlightText = RefFromColor(p.color(QPalette::Active, QPalette::HighlightedText));
    system.scrollBar = RefFromColor(p.color(QPalette::Active, QPalette::Button));
    system.menu = RefFromColor(p.color(QPalette::Active, QPalette::Window));
    colors_.SetSystemColors(system);
}

void TreeListWindow::ApplyFont(const QFont& font) {
    font_ = font;
    boldFont_ = font;
    boldFont_.setBold(true);
    const QFontMetrics metrics(font_);
    const QFontMetrics boldMetrics(boldFont_);
    const int height = metrics.height();
    const int ascent = metrics.ascent() + 1;
    const int ellipsis = metrics.horizontalAdvance(QStringLiteral("..."));
    const int boldEllipsis = boldMetrics.horizontalAdvance(QStringLiteral("..."));
    const bool changed = height != textHeight_ || ascent != textAscent_ || ellipsis != ellipsisWidth_ ||
                         boldEllipsis != boldEllipsisWidth_;
    textHeight_ = height;
    textAscent_ = ascent;
    ellipsisWidth_ = ellipsis;
    boldEllipsisWidth_ = boldEllipsis;
    variablePitch_ = !QFontInfo(font_).fixedPitch();
    // Widths measured in another font are worthless, even when the height stayed.
    DropCachedWidths();
    if (changed) UpdateItemHeight();
    if (header_) header_->setFont(font_);
    InvalidateAll();
}

int TreeListWindow::AutomaticItemHeight() const {
    int height = 10;
    for (const ImageList* list : {checkImages_.list, stateImages_.list, cellImages_.list, normalImages_.list})
        if (list) height = std::max(height, list->Height() + 2);
    height = std::max(height, textHeight_ + 2);
    if (exStyle_ & TVS_EX_ITEMLINES) ++height;
    if ((style_ & TVS_NONEVENHEIGHT) && (height & 1)) ++height;
    return height;
}

void TreeListWindow::UpdateItemHeight() {
    if (!fixedHeight_) itemHeight_ = AutomaticItemHeight();
    UpdatePageRows();
    UpdateScrollBars();
    InvalidateAll();
}

void TreeListWindow::SetItemHeight(int height) {
    if (height == -1) {
        fixedHeight_ = false;
    } else {
        if (!(exStyle_ & TVS_EX_ODDHEIGHT) && (height & 1)) ++height;
        itemHeight_ = std::clamp(height, 1, 256);
        fixedHeight_ = true;
    }
    UpdateItemHeight();
}

// ---------------------------------------------------------------- image lists

ImageList* TreeListWindow::ImageListOf(UINT kind) const {
    switch (kind) {
    case TVSIL_NORMAL: return normalImages_.list;
    case TVSIL_STATE: return stateImages_.list;
    case TVSIL_CHECK: return checkImages_.list;
    case TVSIL_SUBIMAGES: return cellImages_.list;
    default: return nullptr;
    }
}

ImageList* TreeListWindow::CellIconList() const { return cellImages_.list ? cellImages_.list : normalImages_.list; }

void TreeListWindow::SetImageList(UINT kind, ImageList* list) {
    ImageSlot* slot = nullptr;
    switch (kind) {
    case TVSIL_NORMAL: slot = &normalImages_; break;
    case TVSIL_STATE: slot = &stateImages_; break;
    case TVSIL_CHECK: slot = &checkImages_; break;
    case TVSIL_SUBIMAGES: slot = &cellImages_; break;
    default: return;
    }
    if (kind == TVSIL_SUBIMAGES && list == normalImages_.list) list = nullptr;
    if (slot->owned && slot->owned.get() != list) slot->owned.reset();
    slot->list = list;
    if (kind == TVSIL_NORMAL && header_) header_->SetImages(list);
    UpdateItemHeight();
}

void TreeListWindow::UpdateCheckBoxImages() {
    const bool wanted = (style_ & TVS_CHECKBOXES) != 0;
    if (wanted && !stateImages_.list) {
        stateImages_.owned = ImageList::MakeCheckBoxes();
        stateImages_.list = stateImages_.owned.get();
    } else if (!wanted && stateImages_.owned) {
        stateImages_ = {};
    }
}

// ---------------------------------------------------------------- styles

void TreeListWindow::UpdateLinesAtRoot() {
    linesAtRoot_ = (style_ & TVS_LINESATROOT) && (style_ & (TVS_HASLINES | TVS_HASBUTTONS));
}

void TreeListWindow::OnStyleChanged(DWORD oldStyle, DWORD newStyle) {
    style_ = newStyle;
    const DWORD changed = oldStyle ^ newStyle;
    if (changed & (TVS_CHECKBOXES | TVS_NONEVENHEIGHT)) {
        UpdateCheckBoxImages();
        UpdateItemHeight();
    }
    if (changed & 0x347) {
        UpdateLinesAtRoot();
        InvalidateAll();
    }
    if (changed & TVS_NOSCROLL) {
        const auto policy = (newStyle & TVS_NOSCROLL) ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded;
        setVerticalScrollBarPolicy(policy);
        setHorizontalScrollBarPolicy(policy);
        UpdateScrollBars(true);
    }
    if (changed & TVS_NOTOOLTIPS) {
        tooltipsOn_ = !(newStyle & TVS_NOTOOLTIPS);
        if (!tooltipsOn_) HideTooltip();
    }
    if (changed & WS_DISABLED) {
        enabled_ = !(newStyle & WS_DISABLED);
        HideTooltip();
        if (isEnabled() != enabled_) setEnabled(enabled_);
        InvalidateAll();
    }
}

LRESULT TreeListWindow::SetExtendedStyle(DWORD mask, DWORD bits) {
    if (mask == 0) mask = 0xFFFFFFFFu;
    const DWORD old = exStyle_;
    exStyle_ = (exStyle_ & ~mask) | (bits & mask);
    const DWORD changed = old ^ exStyle_;
    if (changed & TVS_EX_NOHSCROLL) UpdateScrollBars(true);
    if (changed & TVS_EX_GRAYEDDISABLE) InvalidateAll();
    if (changed & TVS_EX_ITEMLINES) UpdateItemHeight();
    if (changed & 0x40E1000) InvalidateAll();
    if ((changed & TVS_EX_SUBSELECT) && !(exStyle_ & TVS_EX_SUBSELECT) && caret_) SelectItem(caret_, 0, 0);
    if (changed & TVS_EX_HIDEHEADERS) ShowHeader();
    return exStyle_;
}

// ---------------------------------------------------------------- focus and enabling

void TreeListWindow::OnSetFocus() {
    hasFocus_ = true;
    if (selectedCount_ > 1)
        InvalidateAll();
    else
        InvalidateItem(caret_);
    NotifyCode(NM_SETFOCUS);
}

void TreeListWindow::OnKillFocus() {
    hasFocus_ = false;
    if (selectedCount_ > 1)
        InvalidateAll();
    else
        InvalidateItem(caret_);
    NotifyCode(NM_KILLFOCUS);
}

void TreeListWindow::OnEnable(bool enable) {
    if (enabled_ == enable) return;
    OnStyleChanged(style_, style_ ^ WS_DISABLED);
}
