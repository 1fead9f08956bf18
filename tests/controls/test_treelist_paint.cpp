// TreeList painting, offscreen: rendered into an image and checked where it can go wrong
// (tree lines, buttons, "..." cutting, selection colours, check boxes, grid), and hit tests
// after a paint.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <cstring>
#include <memory>

#include "controls/image_list.h"
#include "controls/treelist/text_fitting.h"
#include "tests/controls/treelist_test_support.h"

using namespace tltest;

namespace {

constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kRed = 0x0000FF;  // COLORREF is 0x00BBGGRR
constexpr COLORREF kBlue = 0xFF0000;
constexpr COLORREF kGreen = 0x00FF00;

QRgb Rgb(COLORREF c) { return qRgb(GetRValue(c), GetGValue(c), GetBValue(c)); }

class TreeListPaint : public ::testing::Test {
protected:
    void SetUp() override {
        list.Message(WM_SIZE, 0, MAKELPARAM(kWidth, kHeight));
        list.Message(TVM_SETBKCOLOR, TVC_BK, kWhite);
        list.Message(TVM_SETLINECOLOR, 0, kRed);
        list.Message(TVM_SETBKCOLOR, TVC_BOX, kBlue);
        h = static_cast<int>(list.Message(TVM_GETITEMHEIGHT, 0, 0));
    }
    QImage Render() {
        QImage image(kWidth, kHeight, QImage::Format_RGB32);
        image.fill(Qt::black);
        QPainter painter(&image);
        list.Message(WM_PAINT, reinterpret_cast<WPARAM>(&painter), 0);
        return image;
    }
    RECT ItemRect(HTREEITEM item, WPARAM mode = TVIR_TEXT) {
        RECT rect = TVIR_REQUEST(item);
        list.Message(TVM_GETITEMRECT, mode, reinterpret_cast<LPARAM>(&rect));
        return rect;
    }

    static constexpr int kWidth = 320;
    static constexpr int kHeight = 240;
    NotifyParent parent;
    TreeListWindow list{kTaskWindowStyle, &parent, 47945};
    int h = 0;
};

TEST_F(TreeListPaint, TreeLinesAndButtons) {
    const HTREEITEM a = Insert(list, TVI_ROOT, L"A");
    Insert(list, a, L"a1");
    Insert(list, a, L"a2");
    const HTREEITEM b = Insert(list, TVI_ROOT, L"B");
    list.Message(TVM_EXPAND, TVE_EXPAND, static_cast<LPARAM>(a));
    QImage image = Render();

    // Row 1 (a1): the root's line continues at x 7 (A has a following sibling), a1's own
    // connector at x 26 runs through the row, its horizontal line reaches the text area.
    const int row1 = h;
    const int mid1 = row1 + h / 2;
    const int oddY = (row1 + 2) | 1;
    EXPECT_EQ(image.pixel(7, oddY), Rgb(kRed));
    EXPECT_EQ(image.pixel(26, oddY), Rgb(kRed));
    EXPECT_EQ(image.pixel(26, (mid1 + 2) | 1), Rgb(kRed));
    EXPECT_EQ(image.pixel(33, mid1), Rgb(kRed));
    EXPECT_EQ(image.pixel(34, mid1), Rgb(kWhite));  // dotted: every other pixel
    // Row 2 (a2) is the last child: nothing below its middle.
    const int mid2 = 2 * h + h / 2;
    EXPECT_EQ(image.pixel(26, (mid2 - 2) | 1), Rgb(kRed));
    EXPECT_EQ(image.pixel(26, (mid2 + 3) | 1), Rgb(kWhite));

    // A's button: a box in colour 6 with a minus (it is expanded).
    const int mid0 = h / 2;
    EXPECT_EQ(image.pixel(3, mid0), Rgb(kBlue));
    EXPECT_EQ(image.pixel(7, mid0), Rgb(kRed));
    EXPECT_EQ(image.pixel(7, mid0 - 2), Rgb(kWhite));
    // B has no children: no button; once it has one (collapsed) it shows a plus.
    const int midB = 3 * h + h / 2;
    EXPECT_NE(image.pixel(3, midB), Rgb(kBlue));
    Insert(list, b, L"b1");
    image = Render();
    EXPECT_EQ(image.pixel(3, midB), Rgb(kBlue));
    EXPECT_EQ(image.pixel(7, midB - 2), Rgb(kRed));
}

TEST_F(TreeListPaint, NoLinesWithoutTheStyle) {
    NotifyParent other;
    TreeListWindow plain(TVS_HASBUTTONS | TVS_LINESATROOT, &other, 2);
    plain.Message(WM_SIZE, 0, MAKELPARAM(kWidth, kHeight));
    plain.Message(TVM_SETBKCOLOR, TVC_BK, kWhite);
    plain.Message(TVM_SETLINECOLOR, 0, kRed);
    const HTREEITEM a = Insert(plain, TVI_ROOT, L"A");
    Insert(plain, a, L"a1");
    Insert(plain, TVI_ROOT, L"B");
    plain.Message(TVM_EXPAND, TVE_EXPAND, static_cast<LPARAM>(a));
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    QPainter painter(&image);
    plain.Message(WM_PAINT, reinterpret_cast<WPARAM>(&painter), 0);
    const int hh = static_cast<int>(plain.Message(TVM_GETITEMHEIGHT, 0, 0));
    EXPECT_EQ(image.pixel(7, (hh + 2) | 1), Rgb(kWhite));
}

TEST_F(TreeListPaint, SelectionColoursWithAndWithoutFocus) {
    const HTREEITEM a = Insert(list, TVI_ROOT, L"Selected item");
    Insert(list, TVI_ROOT, L"other");
    list.Message(TVM_SELECTITEM, TVGN_CARET, static_cast<LPARAM>(a));
    const QPalette palette = list.palette();
    const QRgb highlight = palette.color(QPalette::Active, QPalette::Highlight).rgb();

    list.Message(WM_SETFOCUS, 0, 0);
    QImage image = Render();
    const RECT text = ItemRect(a);
    EXPECT_EQ(image.pixel(text.left + 1, text.top + h / 2), highlight);
    EXPECT_EQ(image.pixel(text.right + 3, text.top + h / 2), Rgb(kWhite));

    list.Message(WM_KILLFOCUS, 0, 0);
    image = Render();
    EXPECT_EQ(image.pixel(text.left + 1, text.top + h / 2), palette.color(QPalette::Active, QPalette::Window).rgb());

    // Full-row selection fills the whole row in colour 8.
    list.Message(TVM_SETEXTENDEDSTYLE, 0, 0x91000);
    list.Message(TVM_SETBKCOLOR, TVC_MARKODD, kGreen);
    image = Render();
    EXPECT_EQ(image.pixel(kWidth - 10, text.top + h / 2), Rgb(kGreen));
    EXPECT_EQ(image.pixel(kWidth - 10, text.top + h + h / 2), Rgb(kWhite));
}

TEST_F(TreeListPaint, GridLinesAndRowColours) {
    list.Message(TVM_SETEXTENDEDSTYLE, 0, TVS_EX_ITEMLINES | TVS_EX_ALTERNATECOLOR | TVS_EX_FULLROWITEMS);
    list.Message(TVM_SETBKCOLOR, TVC_FRAME, kBlue);
    list.Message(TVM_SETBKCOLOR, TVC_ODD, kGreen);
    list.Message(TVM_SETBKCOLOR, TVC_EVEN, kWhite);
    InsertColumn(list, "Name", 150);
    InsertColumn(list, "Size", 100);
    h = static_cast<int>(list.Message(TVM_GETITEMHEIGHT, 0, 0));
    Insert(list, TVI_ROOT, L"even");
    Insert(list, TVI_ROOT, L"odd");
    const QImage image = Render();
    const RECT row0 = ItemRect(static_cast<HTREEITEM>(list.Message(TLM_GETITEMOFROW, 0, 0)), 0);
    EXPECT_EQ(image.pixel(200, row0.bottom - 1), Rgb(kBlue));   // bottom of the row
    EXPECT_EQ(image.pixel(149, row0.top + 2), Rgb(kBlue));      // right edge of column 0
    EXPECT_EQ(image.pixel(200, row0.top + 2), Rgb(kWhite));     // even row
    EXPECT_EQ(image.pixel(200, row0.bottom + 2), Rgb(kGreen));  // odd row
}

TEST_F(TreeListPaint, CheckBoxImages) {
    const auto boxes = ImageList::MakeCheckBoxes();
    ASSERT_EQ(boxes->Count(), 3);
    const QImage empty = boxes->Pixmap(0).toImage();
    const QImage unchecked = boxes->Pixmap(1).toImage();
    const QImage checked = boxes->Pixmap(2).toImage();
    EXPECT_EQ(qAlpha(empty.pixel(8, 8)), 0);
    // The box spans (1, 2)-(14, 15): a frame around a white inside.
    EXPECT_EQ(qAlpha(unchecked.pixel(0, 8)), 0);
    EXPECT_NE(qAlpha(unchecked.pixel(1, 8)), 0);
    EXPECT_EQ(qAlpha(unchecked.pixel(8, 1)), 0);
    EXPECT_NE(qAlpha(unchecked.pixel(8, 2)), 0);
    EXPECT_EQ(unchecked.pixel(8, 8) | 0xFF000000, qRgb(255, 255, 255));
    EXPECT_EQ(qAlpha(unchecked.pixel(15, 8)), 0);
    int dark = 0;
    for (int y = 4; y < 13; ++y)
        for (int x = 3; x < 12; ++x) dark += qGray(checked.pixel(x, y)) < 64;
    EXPECT_GT(dark, 5);

    // A tree with check boxes draws the state image of each item.
    NotifyParent other;
    TreeListWindow checks(TVS_CHECKBOXES, &other, 3);
    checks.Message(WM_SIZE, 0, MAKELPARAM(kWidth, kHeight));
    const HTREEITEM item = Insert(checks, TVI_ROOT, L"x");
    EXPECT_EQ(State(checks, item) & TVIS_STATEIMAGEMASK, INDEXTOSTATEIMAGEMASK(1));
    EXPECT_NE(checks.Message(TVM_GETIMAGELIST, TVSIL_STATE, 0), 0);
    EXPECT_GE(checks.Message(TVM_GETITEMHEIGHT, 0, 0), 18);
}

TEST(TreeListTextFitting, CutsWithDotsAndNeverSplitsAPair) {
    const QFontMetrics metrics{QFont()};
    const int dots = metrics.horizontalAdvance(QStringLiteral("..."));
    const std::wstring text = L"A rather long file name that cannot fit.txt";
    const int full = metrics.horizontalAdvance(QString::fromStdWString(text));
    EXPECT_EQ(FitText(text, metrics, full + 10, dots, full).toStdWString(), text);

    const QString cut = FitText(text, metrics, full / 2, dots, full);
    EXPECT_TRUE(cut.endsWith(QStringLiteral("...")));
    EXPECT_LE(metrics.horizontalAdvance(cut), full / 2);
    EXPECT_TRUE(QString::fromStdWString(text).startsWith(cut.chopped(3)));
    // Fewer than 3 pixels left for the text: only the dots.
    EXPECT_EQ(FitText(text, metrics, dots + 2, dots, full), QStringLiteral("..."));

    // A character outside the basic plane is one pair in Qt's UTF-16: never halved.
    const std::wstring wide = std::wstring(L"ab") + static_cast<wchar_t>(0x1F600) + L"cdefghijklmnopqrstuvwxyz";
    const int wideFull = metrics.horizontalAdvance(QString::fromStdWString(wide));
    for (int available = dots + 3; available < wideFull; ++available) {
        const QString shown = FitText(wide, metrics, available, dots, wideFull);
        const QString prefix = shown.chopped(3);
        ASSERT_FALSE(!prefix.isEmpty() && prefix.back().isHighSurrogate()) << available;
    }
}

TEST_F(TreeListPaint, HitTestsAfterAPaint) {
    InsertColumn(list, "Name", 200);
    InsertColumn(list, "Size", 80);
    h = static_cast<int>(list.Message(TVM_GETITEMHEIGHT, 0, 0));
    const HTREEITEM root = Insert(list, TVI_ROOT, L"root");
    const HTREEITEM child = Insert(list, root, L"child");
    SetCell(list, child, 1, L"12");
    list.Message(TVM_EXPAND, TVE_EXPAND, static_cast<LPARAM>(root));
    Render();

    auto hit = [&](int x, int y) {
        TVHITTESTINFO info;
        info.pt = POINT{x, y};
        list.Message(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info));
        return info;
    };
    const RECT rootRow = ItemRect(root, 0);
    const RECT childText = ItemRect(child);
    const int childMid = childText.top + h / 2;
    EXPECT_EQ(hit(7, rootRow.top + h / 2).flags, TVHT_ONITEMBUTTON);
    EXPECT_EQ(hit(7, rootRow.top + h / 2).hItem, root);
    EXPECT_EQ(hit(3, childMid).flags, TVHT_ONITEMINDENT);
    EXPECT_EQ(hit(childText.left + 3, childMid).flags, TVHT_ONITEMLABEL);
    EXPECT_EQ(hit(childText.left + 3, childMid).hItem, child);
    EXPECT_EQ(hit(190, childMid).flags, TVHT_ONITEMRIGHT);
    // A cell: text or the rest of it, with the column in the top byte; it also counts as
    // the row's label, so a row answers from every column.
    const TVHITTESTINFO cell = hit(205, childMid);
    EXPECT_EQ(cell.flags & TVHT_SUBMASK, TVHT_ONSUBLABEL);
    EXPECT_EQ(TVHT_COLUMNOF(cell.flags), 1u);
    EXPECT_TRUE(cell.flags & TVHT_ONITEMLABEL);
    EXPECT_EQ(cell.hItem, child);
    EXPECT_EQ(hit(275, childMid).flags & TVHT_SUBMASK, TVHT_ONSUBITEM);
    // The last column reaches the right edge.
    EXPECT_EQ(hit(300, childMid).flags & TVHT_SUBMASK, TVHT_ONSUBITEM);
    EXPECT_EQ(TVHT_COLUMNOF(hit(300, childMid).flags), 1u);
    // Outside the rows.
    EXPECT_EQ(hit(10, 3 * h + 40).flags, TVHT_NOWHERE);
    EXPECT_EQ(hit(10, 3 * h + 40).hItem, 0u);
    EXPECT_EQ(hit(-5, childMid).flags, TVHT_TOLEFT);
    EXPECT_EQ(hit(kWidth + 5, childMid).flags, TVHT_TORIGHT);
    EXPECT_EQ(hit(10, 2).flags, TVHT_ABOVE);  // the header
    EXPECT_EQ(hit(10, kHeight + 3).flags, TVHT_BELOW);
}

TEST_F(TreeListPaint, HitTestsOnIconsAndCheckBoxes) {
    NotifyParent other;
    TreeListWindow checks(TVS_CHECKBOXES | TVS_HASLINES | TVS_LINESATROOT, &other, 3);
    checks.Message(WM_SIZE, 0, MAKELPARAM(kWidth, kHeight));
    ImageList icons(16, 16);
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::red);
    icons.Add(pixmap);
    checks.Message(TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(&icons));
    const HTREEITEM item = Insert(checks, TVI_ROOT, L"x");
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    QPainter painter(&image);
    checks.Message(WM_PAINT, reinterpret_cast<WPARAM>(&painter), 0);
    const int hh = static_cast<int>(checks.Message(TVM_GETITEMHEIGHT, 0, 0));
    auto flags = [&](int x) {
        TVHITTESTINFO info;
        info.pt = POINT{x, hh / 2};
        checks.Message(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info));
        return info.flags;
    };
    // One indent, then the 16-pixel check box, then the 16-pixel icon.
    EXPECT_EQ(flags(19 + 5), TVHT_ONITEMSTATEICON);
    EXPECT_EQ(flags(19 + 16 + 5), TVHT_ONITEMICON);
    EXPECT_EQ(flags(19 + 32 + 3), TVHT_ONITEMLABEL);
    // The icon was drawn where the hit test finds it.
    EXPECT_EQ(image.pixel(19 + 16 + 8, hh / 2), qRgb(255, 0, 0));
    (void)item;
}

TEST_F(TreeListPaint, ItemRectanglesOnlyForRowsOnThePage) {
    InsertColumn(list, "Name", 150);
    InsertColumn(list, "Size", 100);
    const HTREEITEM a = Insert(list, TVI_ROOT, L"a");
    const RECT cell = ItemRect(a, TVIR_GETCOLUMN | TVIR_COLTOSUB(0));
    EXPECT_EQ(cell.left, 0);
    EXPECT_EQ(cell.right, 150);
    const HTREEITEM hidden = Insert(list, a, L"hidden");
    RECT rect = TVIR_REQUEST(hidden);
    EXPECT_EQ(list.Message(TVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&rect)), 0);
    EXPECT_EQ(rect.right, 0);
    rect = TVIR_REQUEST(a);
    EXPECT_EQ(list.Message(TVM_GETITEMRECT, TVIR_GETCOLUMN | TVIR_COLTOSUB(5), reinterpret_cast<LPARAM>(&rect)), 0);
}

TEST_F(TreeListPaint, DragImageHoldsTheText) {
    const HTREEITEM a = Insert(list, TVI_ROOT, L"drag me");
    std::unique_ptr<ImageList> drag(
        reinterpret_cast<ImageList*>(list.Message(TVM_CREATEDRAGIMAGE, 0, static_cast<LPARAM>(a))));
    ASSERT_TRUE(drag);
    EXPECT_EQ(drag->Count(), 1);
    EXPECT_GT(drag->Width(), 20);
    EXPECT_EQ(list.Message(TVM_CREATEDRAGIMAGE, 0, 999), 0);
}

// The header right of the last column is drawn like the rest of the header, not left
// unpainted, in a shown window (a style may leave the painter clipped to the section it
// drew).
// Room the columns leave free is the last column's: its texts are not cut while there is
// space, and the width it was given stays what it is asked for and stored.
TEST_F(TreeListPaint, TheLastColumnTakesTheFreeWidth) {
    InsertColumn(list, "Name", 100);
    InsertColumn(list, "Status", 60);
    const HTREEITEM a = Insert(list, TVI_ROOT, L"a");
    const std::wstring remark = L"This action has been changed by user.";
    SetCell(list, a, 1, remark.c_str());
    EXPECT_EQ(ItemRect(a, TVIR_GETCOLUMN | TVIR_COLTOSUB(1)).right, kWidth);
    EXPECT_EQ(list.Message(TLM_GETCOLUMNWIDTH, 1, 0), 60);
    EXPECT_EQ(list.Message(TLM_SETCOLUMNWIDTH, 1, 400), 1);
    EXPECT_EQ(ItemRect(a, TVIR_GETCOLUMN | TVIR_COLTOSUB(1)).right, 500) << "wider than the window: scrolled";
    EXPECT_EQ(list.Message(TLM_SETCOLUMNWIDTH, 1, 60), 1);
    list.Message(WM_SIZE, 0, MAKELPARAM(kWidth + 100, kHeight));
    EXPECT_EQ(ItemRect(a, TVIR_GETCOLUMN | TVIR_COLTOSUB(1)).right, kWidth + 100);
    EXPECT_EQ(list.Message(TLM_GETCOLUMNWIDTH, 1, 0), 60);
}

TEST_F(TreeListPaint, HeaderFilledRightOfTheLastColumn) {
    for (int c = 0; c < 7; ++c) {
        TV_COLUMN column;
        column.mask = TVCF_TEXT | TVCF_WIDTH;
        column.pszText = const_cast<char*>("Column");
        column.cx = c == 0 || c == 6 ? 200 : 100;
        list.Message(TLM_INSERTCOLUMN, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&column));
    }
    parent.resize(1200, 300);
    list.resize(1100, kHeight);
    parent.show();
    const QImage image = list.grab().toImage();
    const QRgb past = image.pixel(1050, 8);
    EXPECT_NE(qAlpha(past), 0);
    EXPECT_NE(past & 0xFFFFFF, 0u);
}

}  // namespace
