#pragma once
// A list of equally sized images, drawn by index, as the controls and their messages pass
// them (TVM_SETIMAGELIST and the like). It either owns its images or draws
// them from a source (such as the system image list, which grows while the program runs).

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <functional>
#include <memory>
#include <vector>

class QPainter;

class ImageList {
public:
    using Source = std::function<QIcon(int index)>;

    ImageList(int width, int height);
    // A list whose image `index` is source(index); a null icon means no such image.
    ImageList(int width, int height, Source source);

    int Width() const { return width_; }
    int Height() const { return height_; }
    // The images held (0 for a list drawn from a source).
    int Count() const { return static_cast<int>(images_.size()); }

    // Adds one image (scaled to the list's size when it differs); returns its index.
    int Add(const QPixmap& image);
    // Cuts a horizontal strip into images of the list's width; pixels of `maskColor` become
    // transparent. Returns the index of the first image added, -1 when none was.
    int AddStrip(const QImage& strip, QColor maskColor);

    // Draws image `index` with its top-left corner at (x, y); an index without an image
    // draws nothing and returns false.
    bool Draw(QPainter& painter, int index, int x, int y) const;
    // Image `index` at the list's size, or a null pixmap.
    QPixmap Pixmap(int index) const;

    // The check-box images of tree lists: 0 empty, 1 unchecked, 2 checked, 16 x 16 each.
    static std::unique_ptr<ImageList> MakeCheckBoxes();

private:
    int width_;
    int height_;
    std::vector<QPixmap> images_;
    Source source_;
};
