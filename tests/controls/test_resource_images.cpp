// The program's images as the windows load them: every id the windows use, at its size,
// cut into its cells by ImageList with the mask colour taken out.
#include <QColor>
#include <gtest/gtest.h>
#include <set>

#include "controls/image_list.h"
#include "platform/qt/resource_images.h"
#include "resources/image_ids.h"

namespace {

const QColor kMask(0xFF, 0x00, 0xFF);

struct BitmapCase {
    int id;
    int width;
    int height;
    bool keyed;
};

const BitmapCase kBitmaps[] = {
    {res::kRibbonSmallImages, 30 * 16, 16, true},
    {res::kRibbonLargeImages, 30 * 32, 32, true},
    {res::kListImages, 33 * 16, 16, true},
    {res::kCaptionTipImage, 16, 16, true},
    {res::kCaptionWarningImage, 16, 16, false},
    {res::kApplicationButtonImage, 32, 32, false},
    {res::kApplicationButtonHotImage, 32, 32, false},
    {res::kApplicationButtonPressedImage, 32, 32, false},
};

// A drawn pixel that is almost the mask colour: an edge blended with the mask, which shows
// as a pink fringe once the mask is taken out.
bool IsFringe(QRgb pixel) {
    return (pixel & 0xFFFFFF) != 0xFF00FF && qRed(pixel) > 200 && qBlue(pixel) > 200 && qGreen(pixel) < 100;
}

QByteArray Bytes(const QImage& image) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    return QByteArray(reinterpret_cast<const char*>(argb.constBits()), static_cast<int>(argb.sizeInBytes()));
}

}  // namespace

TEST(ResourceImages, EveryBitmapHasItsSizeAndKeyedOnesNoFringe) {
    for (const BitmapCase& bitmap : kBitmaps) {
        SCOPED_TRACE(bitmap.id);
        const QImage image = plat::LoadBitmapResource(bitmap.id);
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), QSize(bitmap.width, bitmap.height));
        if (!bitmap.keyed) {
            EXPECT_TRUE(image.hasAlphaChannel());
            continue;
        }
        // Keyed bitmaps: the corner is the mask, and no pixel is a blend with it.
        EXPECT_EQ(image.pixel(0, 0) & 0xFFFFFF, res::kImageMaskColour);
        int fringe = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) fringe += IsFringe(image.pixel(x, y));
        EXPECT_EQ(fringe, 0);
    }
}

TEST(ResourceImages, StripsCutIntoDistinctCellsWithTheMaskTransparent) {
    struct StripCase {
        int id;
        int size;
        int cells;
    };
    for (const StripCase& strip : {StripCase{res::kRibbonSmallImages, 16, res::kRibbonImageCount},
                                   StripCase{res::kRibbonLargeImages, 32, res::kRibbonImageCount},
                                   StripCase{res::kListImages, 16, res::kListImageCount}}) {
        SCOPED_TRACE(strip.id);
        ImageList list(strip.size, strip.size);
        ASSERT_EQ(list.AddStrip(plat::LoadBitmapResource(strip.id), kMask), 0);
        ASSERT_EQ(list.Count(), strip.cells);
        std::set<QByteArray> seen;
        for (int i = 0; i < strip.cells; ++i) {
            SCOPED_TRACE(i);
            const QImage cell = list.Pixmap(i).toImage().convertToFormat(QImage::Format_ARGB32);
            int clear = 0;
            int drawn = 0;
            for (int y = 0; y < cell.height(); ++y)
                for (int x = 0; x < cell.width(); ++x) {
                    const int alpha = qAlpha(cell.pixel(x, y));
                    EXPECT_TRUE(alpha == 0 || alpha == 255);
                    (alpha ? drawn : clear) += 1;
                }
            EXPECT_GT(clear, 0);
            // Cell 18 of the list strip is "nothing to show"; every other cell is a picture
            // of its own (a cell left blank or drawn twice is a fault).
            if (strip.id == res::kListImages && i == 18) {
                EXPECT_EQ(drawn, 0);
                continue;
            }
            EXPECT_GT(drawn, strip.size * strip.size / 8);
            EXPECT_TRUE(seen.insert(Bytes(cell)).second);
        }
    }
}

TEST(ResourceImages, IconsCarrySmallAndLargeSizes) {
    std::vector<int> ids = {res::kBrowseIcon, res::kProgramIcon, res::kTrayIcon};
    ids.insert(ids.end(), std::begin(res::kSyncTypeIcons), std::end(res::kSyncTypeIcons));
    std::set<QByteArray> typePictures;
    for (int id : ids) {
        SCOPED_TRACE(id);
        const QIcon icon = plat::LoadIconResource(id);
        ASSERT_FALSE(icon.isNull());
        const QList<QSize> sizes = icon.availableSizes();
        EXPECT_TRUE(sizes.contains(QSize(16, 16)));
        EXPECT_TRUE(sizes.contains(QSize(32, 32)));
        const QImage small = icon.pixmap(16, 16).toImage();
        EXPECT_EQ(small.size(), QSize(16, 16));
        if (std::find(std::begin(res::kSyncTypeIcons), std::end(res::kSyncTypeIcons), id) !=
            std::end(res::kSyncTypeIcons))
            typePictures.insert(Bytes(small));
    }
    EXPECT_EQ(typePictures.size(), 5u);  // five sync types, five pictures
    EXPECT_TRUE(plat::LoadIconResource(res::kProgramIcon).availableSizes().contains(QSize(256, 256)));
}

TEST(ResourceImages, UnknownIdsAreNull) {
    // 121 names a bitmap nothing reads; a bitmap id is no icon and an icon id no bitmap.
    for (int id : {0, -1, 121, 65535}) {
        EXPECT_TRUE(plat::LoadBitmapResource(id).isNull()) << id;
        EXPECT_TRUE(plat::LoadIconResource(id).isNull()) << id;
    }
    EXPECT_TRUE(plat::LoadIconResource(res::kRibbonSmallImages).isNull());
    EXPECT_TRUE(plat::LoadBitmapResource(res::kBrowseIcon).isNull());
}
