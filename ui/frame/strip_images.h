#pragma once
// The chrome's images from the program's keyed bitmaps: a strip cut into square cells,
// transparent where the bitmap holds the mask colour.

#include <QPixmap>
#include <vector>

std::vector<QPixmap> StripImages(int bitmap, int size);
