#pragma once
// The program's icons and bitmaps by id (ids in resources/image_ids.h).

#include <QIcon>
#include <QImage>

namespace plat {

// Icon `id` with every size drawn for it; a null icon for an id that is no icon.
QIcon LoadIconResource(int id);
// Bitmap `id` as drawn: a strip is one row of square cells, and a keyed bitmap holds
// res::kImageMaskColour where it is transparent (cut and unmask it with ImageList::AddStrip).
// A null image for an id that is no bitmap.
QImage LoadBitmapResource(int id);

}  // namespace plat
