#include "ui/history/report_list.h"

#include <QColor>
#include <QHeaderView>
#include <QHelpEvent>
#include <QItemSelection>
#include <QPainter>
#include <QPolygonF>
#include <QSet>
#include <QStyle>
#include <QStyleOptionHeader>
#include <QToolTip>
#include <algorithm>
#include <cstdio>

#include "controls/image_list.h"
#include "controls/printing/list_print_job.h"
#include "foundation/resource_strings.h"
#include "foundation/settings_store.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/resource_images.h"
#include "resources/image_ids.h"

namespace {

constexpr int kImageSize = 16;
// Widths outside this range (a settings file edited by hand) fall back to the default.
constexpr int kLargestWidth = 32767;

std::string IndexedKey(const char* format, int index) {
    char key[32];
    std::snprintf(key, sizeof key, format, static_cast<unsigned>(index));
    return key;
}

bool IsPermutation(const std::vector<int>& order) {
    std::vector<bool> seen(order.size(), false);
    for (int column : order) {
        if (column < 0 || column >= static_cast<int>(order.size()) || seen[static_cast<std::size_t>(column)])
            return false;
        seen[static_cast<std::size_t>(column)] = true;
    }
    return true;
}

// The columns at their own widths for as long as it lives: the last one gives back the
// room the window lends it.
class OwnColumnWidths {
public:
    explicit OwnColumnWidths(QHeaderView& head) : head_(head), stretched_(head.stretchLastSection()) {
        head_.setStretchLastSection(false);
    }
    ~OwnColumnWidths() { head_.setStretchLastSection(stretched_); }
    OwnColumnWidths(const OwnColumnWidths&) = delete;
    OwnColumnWidths& operator=(const OwnColumnWidths&) = delete;

private:
    QHeaderView& head_;
    bool stretched_;
};

}  // namespace

// The header draws the list's sort arrow itself: Qt's styles do not agree on which way
// their indicator points for a sort order, and an up arrow must mean ascending here.
class ReportList::Header : public QHeaderView {
public:
    explicit Header(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {}

    void SetArrow(int column, Arrow arrow) {
        column_ = column;
        arrow_ = arrow;
        viewport()->update();
    }
    int ArrowColumn() const { return column_; }
    Arrow ArrowShown() const { return arrow_; }

protected:
    void initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const override {
        QHeaderView::initStyleOptionForIndex(option, logicalIndex);
        if (logicalIndex != column_) return;
        // Room for the arrow: the heading is cut before it, not under it.
        const int room = option->rect.width() - kArrowSpace - 2 * kTextMargin;
        option->text = option->fontMetrics.elidedText(option->text, Qt::ElideRight, std::max(room, 0));
    }

    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override {
        painter->save();
        QHeaderView::paintSection(painter, rect, logicalIndex);
        painter->restore();
        if (logicalIndex != column_ || arrow_ == Arrow::None || rect.width() < kArrowSpace) return;
        const qreal left = rect.right() - kArrowSpace + 2;
        const qreal top = rect.center().y() - kArrowHeight / 2.0 + 0.5;
        QPolygonF triangle;
        if (arrow_ == Arrow::Up) {
            triangle << QPointF(left, top + kArrowHeight) << QPointF(left + kArrowWidth, top + kArrowHeight)
                     << QPointF(left + kArrowWidth / 2.0, top);
        } else {
            triangle << QPointF(left, top) << QPointF(left + kArrowWidth, top)
                     << QPointF(left + kArrowWidth / 2.0, top + kArrowHeight);
        }
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(Qt::NoPen);
        painter->setBrush(palette().color(QPalette::ButtonText));
        painter->drawPolygon(triangle);
        painter->restore();
    }

private:
    static constexpr int kArrowWidth = 8;
    static constexpr int kArrowHeight = 4;
    static constexpr int kArrowSpace = kArrowWidth + 8;
    static constexpr int kTextMargin = 4;

    int column_ = -1;
    Arrow arrow_ = Arrow::None;
};

std::unique_ptr<ImageList> LoadListImages() {
    auto images = std::make_unique<ImageList>(kImageSize, kImageSize);
    images->AddStrip(plat::LoadBitmapResource(res::kListImages), QColor::fromRgb(res::kImageMaskColour));
    return images;
}

ReportRow::ReportRow() : QTreeWidgetItem(UserType) { images_.fill(-1); }

int ReportRow::Image(int column) const {
    return column >= 0 && column < kImageColumns ? images_[static_cast<std::size_t>(column)] : -1;
}

void ReportRow::SetImage(int column, int index) {
    if (column < 0 || column >= kImageColumns) return;
    images_[static_cast<std::size_t>(column)] = static_cast<std::int8_t>(index >= 0 && index <= 127 ? index : -1);
    emitDataChanged();
}

QVariant ReportRow::data(int column, int role) const {
    if (role == Qt::DecorationRole) {
        const int index = Image(column);
        if (index >= 0) {
            if (const auto* list = dynamic_cast<const ReportList*>(treeWidget())) return list->ImageIcon(index);
        }
    }
    return QTreeWidgetItem::data(column, role);
}

ReportList::ReportList(QWidget* parent, const char* section, std::span<const ReportColumn> columns)
    : QTreeWidget(parent), plat::View(this), section_(section), columns_(columns) {
    MapMessage(WM_DESTROY, &ReportList::OnDestroyMessage);

    const int count = ColumnCount();
    widths_.resize(static_cast<std::size_t>(count));
    order_.resize(static_cast<std::size_t>(count));
    for (int c = 0; c < count; ++c) {
        const int fallback = columns_[static_cast<std::size_t>(c)].defaultWidth;
        const int width = ReadProfileInt(section_, IndexedKey("tab %u", c).c_str(), fallback);
        widths_[static_cast<std::size_t>(c)] = width >= 0 && width <= kLargestWidth ? width : fallback;
        order_[static_cast<std::size_t>(c)] = ReadProfileInt(section_, IndexedKey("array %u", c).c_str(), c);
    }
    // An order that is not every column once (a damaged file) is not applied.
    if (!IsPermutation(order_)) {
        for (int c = 0; c < count; ++c) order_[static_cast<std::size_t>(c)] = c;
    }
    sortColumn_ = static_cast<std::int16_t>(ReadProfileInt(section_, "sort", 0));

    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSortingEnabled(false);
    setTextElideMode(Qt::ElideRight);
    setIconSize(QSize(kImageSize, kImageSize));
    header_ = new Header(this);
    setHeader(header_);
    QHeaderView* head = header_;
    head->setSectionsMovable(true);
    head->setFirstSectionMovable(true);
    head->setSectionsClickable(true);
    // Room the columns leave free is the last one's, so its texts are not cut while there
    // is space; its own width is what is stored and printed (OwnColumnWidths).
    head->setStretchLastSection(true);
    head->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    head->setSortIndicatorShown(false);
    connect(head, &QHeaderView::sectionClicked, this, [this](int column) { OnColumnClick(column); });
}

ReportList::~ReportList() {
    DestroyMessageWindow();
    SaveColumnSettings();
}

void ReportList::InsertColumns() {
    const int count = ColumnCount();
    setColumnCount(count);
    QStringList headings;
    for (const ReportColumn& column : columns_) headings << plat::ToQString(LoadResString(column.headerStringId));
    setHeaderLabels(headings);
    for (int c = 0; c < count; ++c) setColumnWidth(c, widths_[static_cast<std::size_t>(c)]);
    ApplyColumnOrder();
}

void ReportList::ApplyColumnOrder() {
    QHeaderView* head = header();
    if (head->count() != ColumnCount()) return;
    for (int place = 0; place < ColumnCount(); ++place) {
        head->moveSection(head->visualIndex(order_[static_cast<std::size_t>(place)]), place);
    }
}

void ReportList::RememberColumns() {
    QHeaderView* head = header();
    if (head->count() != ColumnCount()) return;  // no columns made yet: keep what was read
    const OwnColumnWidths own(*head);
    for (int c = 0; c < ColumnCount(); ++c) {
        widths_[static_cast<std::size_t>(c)] = columnWidth(c);
        order_[static_cast<std::size_t>(c)] = head->logicalIndex(c);
    }
}

void ReportList::SaveColumnSettings() const {
    for (int c = 0; c < ColumnCount(); ++c) {
        WriteProfileInt(section_, IndexedKey("tab %u", c).c_str(), widths_[static_cast<std::size_t>(c)]);
        WriteProfileInt(section_, IndexedKey("array %u", c).c_str(), order_[static_cast<std::size_t>(c)]);
    }
    WriteProfileInt(section_, "sort", sortColumn_);
}

void ReportList::SetSmallImages(std::unique_ptr<ImageList> images) {
    images_ = std::move(images);
    icons_.clear();
    if (images_) {
        for (int i = 0; i < images_->Count(); ++i) {
            // A selected row shows its image as it is: washed in the selection's colour, a
            // busy image could not be told from an idle one.
            const QPixmap image = images_->Pixmap(i);
            QIcon& icon = icons_.emplace_back(image);
            icon.addPixmap(image, QIcon::Selected);
        }
    }
    viewport()->update();
}

QIcon ReportList::ImageIcon(int index) const {
    return index >= 0 && index < static_cast<int>(icons_.size()) ? icons_[static_cast<std::size_t>(index)] : QIcon();
}

ReportRow* ReportList::Row(int index) const { return static_cast<ReportRow*>(topLevelItem(index)); }

ReportRow* ReportList::AddRow(std::unique_ptr<ReportRow> row) {
    ReportRow* added = row.get();
    addTopLevelItem(row.release());
    return added;
}

void ReportList::DeleteAllRows() { clear(); }

// Painting is turned off only when it is on: turned off while an outer window holds it
// off, it would stay off for good.
ReportList::Batch::Batch(ReportList& list) : list_(list), updatesWereOn_(list.updatesEnabled()) {
    if (updatesWereOn_) list_.setUpdatesEnabled(false);
}

ReportList::Batch::~Batch() {
    list_.addTopLevelItems(rows_);
    if (updatesWereOn_) list_.setUpdatesEnabled(true);
}

ReportRow* ReportList::Batch::Add(std::unique_ptr<ReportRow> row) {
    rows_.push_back(row.get());
    return row.release();
}

void ReportList::SetHeaderArrow(int column, Arrow arrow) {
    if (arrow == Arrow::None) {
        if (column == header_->ArrowColumn()) header_->SetArrow(-1, Arrow::None);
        return;
    }
    if (column >= 0 && column < ColumnCount()) header_->SetArrow(column, arrow);
}

ReportList::Arrow ReportList::HeaderArrow(int column) const {
    return column == header_->ArrowColumn() ? header_->ArrowShown() : Arrow::None;
}

void ReportList::SortRows(const RowCompare& compare) {
    if (RowCount() < 2) return;
    QTreeWidgetItem* current = currentItem();
    const int column = std::max(currentColumn(), 0);
    QSet<const QTreeWidgetItem*> selected;
    for (const QModelIndex& index : selectionModel()->selectedRows()) selected.insert(itemFromIndex(index));

    const bool updatesWereOn = updatesEnabled();
    if (updatesWereOn) setUpdatesEnabled(false);
    // With no current row while the rows are out, the view selects nothing on its own.
    selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    QList<QTreeWidgetItem*> rows = invisibleRootItem()->takeChildren();
    std::stable_sort(rows.begin(), rows.end(), [&compare](const QTreeWidgetItem* a, const QTreeWidgetItem* b) {
        return compare(*static_cast<const ReportRow*>(a), *static_cast<const ReportRow*>(b)) < 0;
    });
    addTopLevelItems(rows);

    if (!selected.isEmpty()) {
        QItemSelection selection;
        const int lastColumn = columnCount() - 1;
        int runStart = -1;
        for (int i = 0; i <= rows.size(); ++i) {
            const bool in = i < rows.size() && selected.contains(rows[i]);
            if (in && runStart < 0) runStart = i;
            if (!in && runStart >= 0) {
                selection.select(model()->index(runStart, 0), model()->index(i - 1, lastColumn));
                runStart = -1;
            }
        }
        selectionModel()->select(selection, QItemSelectionModel::Select);
    }
    if (current) setCurrentItem(current, column, QItemSelectionModel::NoUpdate);
    if (updatesWereOn) setUpdatesEnabled(true);
}

std::string PrintedListTitle(UINT pageNameId) {
    return LoadResString(IDS_PRODUCT_NAME) + ' ' + LoadResString(pageNameId);
}

int ReportList::PrintList(bool direct) {
    const OwnColumnWidths own(*header());
    CListCtrlPrintJob job(this, direct, QString::fromStdString(printTitle_));
    return job.Print();
}

void ReportList::OnDestroy() { RememberColumns(); }

void ReportList::OnDestroyMessage(WPARAM, LPARAM) { OnDestroy(); }

bool ReportList::viewportEvent(QEvent* event) {
    if (event->type() != QEvent::ToolTip) return QTreeWidget::viewportEvent(event);
    // Label tips: the whole text of a cell that is cut off, and nothing over one that fits.
    const auto* help = static_cast<QHelpEvent*>(event);
    const QModelIndex index = indexAt(help->pos());
    const QString text = index.isValid() ? index.data(Qt::DisplayRole).toString() : QString();
    if (!text.isEmpty()) {
        const QRect cell = visualRect(index);
        const int margin = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1);
        const bool hasImage = !index.data(Qt::DecorationRole).value<QIcon>().isNull();
        const int needed =
            fontMetrics().horizontalAdvance(text) + margin + (hasImage ? iconSize().width() + margin : 0);
        if (needed > cell.width()) {
            QToolTip::showText(help->globalPos(), text, viewport(), cell);
            return true;
        }
    }
    QToolTip::hideText();
    event->ignore();
    return true;
}
