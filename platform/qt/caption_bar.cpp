#include "platform/qt/caption_bar.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

#include "platform/qt/qt_text.h"

namespace plat {

namespace {

constexpr int kMargin = 6;    // pixels around the contents
constexpr int kImageGap = 6;  // between the image and the text

}  // namespace

CaptionBar::CaptionBar(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    // Tooltip colours: a light band whose text stays readable under every look, also
    // when a derived class paints black or red text.
    setBackgroundRole(QPalette::ToolTipBase);
    setForegroundRole(QPalette::ToolTipText);
    setAutoFillBackground(true);
}

void CaptionBar::SetText(std::string_view text) {
    text_ = ToQString(text);
    updateGeometry();
    update();
}

void CaptionBar::SetImage(const QPixmap& image, std::string_view tooltip) {
    image_ = image;
    imageTip_ = ToQString(tooltip);
    updateGeometry();
    update();
}

QRect CaptionBar::ImageRect() const {
    if (image_.isNull()) return {};
    const QSize size = image_.deviceIndependentSize().toSize();
    return QRect(QPoint(kMargin, (height() - size.height()) / 2), size);
}

int CaptionBar::TextLeft() const {
    return image_.isNull() ? kMargin : kMargin + image_.deviceIndependentSize().toSize().width() + kImageGap;
}

QSize CaptionBar::sizeHint() const {
    const int imageHeight = image_.isNull() ? 0 : image_.deviceIndependentSize().toSize().height();
    const int textWidth = textRect_.isValid() ? textRect_.width() : fontMetrics().horizontalAdvance(text_);
    return QSize(TextLeft() + textWidth + kMargin, std::max(imageHeight, fontMetrics().height()) + 2 * kMargin);
}

QSize CaptionBar::minimumSizeHint() const { return QSize(TextLeft() + kMargin, sizeHint().height()); }

int CaptionBar::DrawText(QPainter& painter, const QRect& rect, const QString& text) {
    painter.setPen(palette().color(QPalette::ToolTipText));
    const QString shown = painter.fontMetrics().elidedText(text, Qt::ElideRight, rect.width());
    painter.drawText(rect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
    return painter.fontMetrics().horizontalAdvance(shown);
}

void CaptionBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(0, height() - 1, width(), height() - 1);
    if (!image_.isNull()) painter.drawPixmap(ImageRect().topLeft(), image_);
    const QRect area(TextLeft(), 0, std::max(0, width() - TextLeft() - kMargin), height() - 1);
    painter.setFont(font());
    const int width = DrawText(painter, area, text_);
    const QRect drawn(area.left(), area.top(), std::max(0, width), area.height());
    if (drawn.size() != textRect_.size()) {
        textRect_ = drawn;
        updateGeometry();
    }
    textRect_ = drawn;
}

bool CaptionBar::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (ImageRect().contains(help->pos()) && !imageTip_.isEmpty()) {
            QToolTip::showText(help->globalPos(), imageTip_, this, ImageRect());
        } else {
            QToolTip::hideText();
            event->ignore();
        }
        return true;
    }
    return QWidget::event(event);
}

}  // namespace plat
