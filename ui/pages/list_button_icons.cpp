#include "ui/pages/list_button_icons.h"

#include <QColor>

#include "controls/image_list.h"
#include "platform/qt/resource_images.h"
#include "resources/image_ids.h"

namespace {

// Cells of the ribbon's small strip that the list buttons share with the ribbon.
constexpr int kAddCell = 13;
constexpr int kRemoveCell = 10;

QIcon SmallRibbonImage(int cell) {
    ImageList list(16, 16);
    list.AddStrip(plat::LoadBitmapResource(res::kRibbonSmallImages), QColor::fromRgb(res::kImageMaskColour));
    return QIcon(list.Pixmap(cell));
}

}  // namespace

QIcon AddEntryIcon() { return SmallRibbonImage(kAddCell); }

QIcon RemoveEntryIcon() { return SmallRibbonImage(kRemoveCell); }
