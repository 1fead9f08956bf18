#include "ui/frame/caption_bar.h"

#include <QPainter>

#include "controls/colorref.h"
#include "foundation/resource_strings.h"
#include "platform/qt/resource_images.h"
#include "platform/qt/text_contrast.h"
#include "resources/control_ids.h"
#include "resources/image_ids.h"
#include "ui/frame/strip_images.h"

namespace {

constexpr int kTextMargin = 14;

QPixmap TipImage() {
    const std::vector<QPixmap> images = StripImages(res::kCaptionTipImage, 16);
    return images.empty() ? QPixmap() : images.front();
}

QPixmap WarningImage() { return QPixmap::fromImage(plat::LoadBitmapResource(res::kCaptionWarningImage)); }

}  // namespace

CBarraOutLook::CBarraOutLook(QWidget* parent) : plat::CaptionBar(parent) {
    setObjectName(QString::number(IDC_CAPTION_BAR));
    SetText(LoadResString(IDS_SELECT_TASK_FIRST));
    SetImage(TipImage(), LoadResString(IDS_TIP));
}

void CBarraOutLook::ShowMessage(std::string_view text, COLORREF colour) {
    warning_ = colour == kWarningColour;
    colour_ = colour;
    if (warning_) {
        SetImage(WarningImage(), LoadResString(IDS_WARNING));
    } else {
        SetImage(TipImage(), LoadResString(IDS_TIP));
    }
    SetText(text);
    update();
}

int CBarraOutLook::DrawText(QPainter& painter, const QRect& rect, const QString& text) {
    painter.setPen(plat::ReadableOn(ColorFromRef(colour_), palette().color(QPalette::ToolTipBase)));
    const QString shown = painter.fontMetrics().elidedText(text, Qt::ElideRight, rect.width());
    painter.drawText(rect, Qt::AlignLeft | Qt::AlignVCenter, shown);
    return painter.fontMetrics().horizontalAdvance(text) + kTextMargin;
}
