#pragma once
// A list of equally sized images, drawn by index: what the controls use where the
// platform they were written for uses an image list.

#include <QColor>
#include <QPixmap>
#include <memory>
#include <vector>

class QPainter;

class ImageList {
public:
    ImageList(int width, int height);

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Count() const { return static_cast<int>(images_.size()); }

    // Adds one image (scaled to the list's size when it differs); returns its index.
    int Add(const QPixmap& image);
    // Cuts a horizontal strip into images of the list's width; pixels of `maskColor` become
    // transparent. Returns the index of the first image added, -1 when none was.
    int AddStrip(const QImage& strip, QColor maskColor);

    // Draws image `index` with its top-left corner at (x, y); an index out of range draws
    // nothing and returns false.
    bool Draw(QPainter& painter, int index, int x, int y) const;
    const QPixmap* Image(int index) const;

    // The check-box images of tree lists: 0 empty, 1 unchecked, 2 checked, 16 x 16 each.
    static std::unique_ptr<ImageList> MakeCheckBoxes();

private:
    int width_;
    int height_;
    std::vector<QPixmap> images_;
};
