#include "ui/compare/detail_list_box.h"

#include <QAbstractListModel>
#include <QEvent>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QWheelEvent>
#include <algorithm>

// The rows of one pane; the list asks it only for the rows it shows.
class PaneRowModel : public QAbstractListModel {
public:
    static constexpr int kValueRole = Qt::UserRole;

    void SetRows(std::vector<PaneRow> rows, QSize rowSize) {
        beginResetModel();
        rows_ = std::move(rows);
        rowSize_ = rowSize;
        endResetModel();
    }
    const std::vector<PaneRow>& Rows() const { return rows_; }

    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(rows_.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= static_cast<int>(rows_.size())) return {};
        const PaneRow& row = rows_[static_cast<std::size_t>(index.row())];
        switch (role) {
        case Qt::DisplayRole: return QString::fromUtf8(row.text.data(), static_cast<qsizetype>(row.text.size()));
        case kValueRole: return int{row.value};
        case Qt::SizeHintRole: return rowSize_;
        default: return {};
        }
    }

private:
    std::vector<PaneRow> rows_;
    QSize rowSize_;
};

namespace {

// Keeps the line numbers off the splitter's edge.
constexpr int kTextInset = 2;

// One opaque text output over the whole row: grey for a row that differs, white otherwise.
class PaneRowDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const bool different = index.data(PaneRowModel::kValueRole).toInt() != 0;
        painter->fillRect(option.rect,
                          QColor::fromRgb(different ? CDetailListBox::kDifferentColour : CDetailListBox::kSameColour));
        painter->setFont(option.font);
        painter->setPen(Qt::black);
        // Text set from the row's top like the rows of a list box; a baseline point is
        // drawn without the layout pass that a rectangle and flags would cost.
        const QFontMetrics& metrics = option.fontMetrics;
        const int baseline = option.rect.top() + (option.rect.height() - metrics.height()) / 2 + metrics.ascent();
        painter->drawText(QPoint(option.rect.left() + kTextInset, baseline), index.data(Qt::DisplayRole).toString());
    }
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex& index) const override {
        return index.data(Qt::SizeHintRole).toSize();
    }
};

// "Courier" at 8 points, or the system's fixed-width font when no fixed-width face answers
// to that name.
QFont PaneFont() {
    QFont font(QStringLiteral("Courier"), 8);
    font.setStyleHint(QFont::TypeWriter);
    if (QFontInfo(font).fixedPitch()) return font;
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPointSize(8);
    return fixed;
}

bool IsAscii(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The width of the widest row. Rows of plain ASCII are as wide as their length in a
// fixed-width font, so only the others are measured one by one (100,000 rows stay quick);
// a row no longer in bytes than the longest ASCII row is never wider than it.
int WidestRow(const std::vector<PaneRow>& rows, const QFontMetrics& metrics) {
    std::size_t longestAscii = 0;
    int widest = 0;
    for (const PaneRow& row : rows) {
        if (row.text.size() <= longestAscii) continue;  // no wider even when it is all ASCII
        if (IsAscii(row.text)) {
            longestAscii = row.text.size();
        } else {
            widest = std::max(widest, metrics.horizontalAdvance(
                                          QString::fromUtf8(row.text.data(), static_cast<qsizetype>(row.text.size()))));
        }
    }
    const int asciiWidth =
        longestAscii == 0 ? 0
                          : metrics.horizontalAdvance(QString(static_cast<qsizetype>(longestAscii), QLatin1Char('0')));
    return std::max(widest, asciiWidth);
}

}  // namespace

CDetailListBox::CDetailListBox(QWidget* parent) : QListView(parent), model_(std::make_unique<PaneRowModel>()) {
    setFont(PaneFont());
    setModel(model_.get());
    setItemDelegate(new PaneRowDelegate(this));
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setFocusPolicy(Qt::NoFocus);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFrameShape(QFrame::NoFrame);
    setSpacing(0);
    viewport()->setMouseTracking(false);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this](int value) { FollowScroll(Qt::Vertical, value); });
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this,
            [this](int value) { FollowScroll(Qt::Horizontal, value); });
}

CDetailListBox::~CDetailListBox() {
    if (partner_ && partner_->partner_ == this) partner_->partner_ = nullptr;
}

void CDetailListBox::SetRows(std::vector<PaneRow> rows) {
    extent_ = WidestRow(rows, QFontMetrics(font())) + kExtentMargin;
    // Every row as wide as the extent, so the horizontal scroll bar reaches it.
    model_->SetRows(std::move(rows), QSize(extent_, kRowHeight));
}

const std::vector<PaneRow>& CDetailListBox::Rows() const { return model_->Rows(); }

int CDetailListBox::TopIndex() const {
    const QModelIndex top = indexAt(QPoint(0, 0));
    return top.isValid() ? top.row() : 0;
}

// The partner follows every move of this pane's scroll bars; a value the partner has to
// clamp (its rows are narrower) does not come back to pull this pane with it.
void CDetailListBox::FollowScroll(Qt::Orientation orientation, int value) {
    if (following_ || !partner_) return;
    partner_->following_ = true;
    QScrollBar* bar = orientation == Qt::Vertical ? partner_->verticalScrollBar() : partner_->horizontalScrollBar();
    bar->setValue(value);
    partner_->following_ = false;
}

// Mouse input reaches the rows through the viewport; the scroll bars are not in it.
bool CDetailListBox::viewportEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel: event->accept(); return true;
    default: return QListView::viewportEvent(event);
    }
}

void CDetailListBox::keyPressEvent(QKeyEvent* event) { event->accept(); }
void CDetailListBox::keyReleaseEvent(QKeyEvent* event) { event->accept(); }
void CDetailListBox::wheelEvent(QWheelEvent* event) { event->accept(); }
