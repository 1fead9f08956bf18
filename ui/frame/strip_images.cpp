#include "ui/frame/strip_images.h"

#include "controls/image_list.h"
#include "platform/qt/resource_images.h"
#include "resources/image_ids.h"

std::vector<QPixmap> StripImages(int bitmap, int size) {
    ImageList images(size, size);
    images.AddStrip(plat::LoadBitmapResource(bitmap), QColor::fromRgb(res::kImageMaskColour));
    std::vector<QPixmap> pixmaps;
    for (int i = 0; i < images.Count(); ++i) pixmaps.push_back(images.Pixmap(i));
    return pixmaps;
}
