// Draws every image of the program and the resource file that lists them. The images are
// committed; run this after changing a drawing:
//   cmake --build build --target draw_images
// qb_draw_images <folder> [--sheet <base>]   (sheets <base>_1.png... show everything, light and dark)
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTextStream>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "cells.h"

namespace {

constexpr QRgb kKey = 0xFFFF00FF;

struct Output {
    QString file;
    QString alias;
    QImage image;
    bool keyed = false;
    int cell = 0;  // strips: the cell size
};

QString Name(const char* kind, int id, int size = 0) {
    return size ? QStringLiteral("%1_%2_%3.png").arg(QLatin1String(kind)).arg(id).arg(size)
                : QStringLiteral("%1_%2.png").arg(QLatin1String(kind)).arg(id);
}

std::vector<Output> DrawAll() {
    using namespace art;
    std::vector<Output> out;
    auto strip = [&](int id, const std::vector<Drawing>& cells, int size) {
        out.push_back(
            {Name("strip", id), QStringLiteral("bitmaps/%1.png").arg(id), DrawStrip(cells, size, kKey), true, size});
    };
    strip(3995, RibbonCells(), 16);
    strip(3989, RibbonCells(), 32);
    strip(4051, ListCells(), 16);
    auto bitmap = [&](int id, const Drawing& drawing, int size, bool keyed) {
        QImage image = DrawImage(drawing, size);
        if (keyed) image = KeyOut(image, kKey);
        out.push_back({Name("bitmap", id), QStringLiteral("bitmaps/%1.png").arg(id), image, keyed, 0});
    };
    bitmap(4031, DrawTip, 16, true);
    bitmap(22954, DrawWarning, 16, false);
    bitmap(
        4041, [](Pen& p) { DrawApplicationButton(p, 0); }, 32, false);
    bitmap(
        4044, [](Pen& p) { DrawApplicationButton(p, 1); }, 32, false);
    bitmap(
        4045, [](Pen& p) { DrawApplicationButton(p, 2); }, 32, false);
    auto icon = [&](int id, const Drawing& drawing, std::initializer_list<int> sizes) {
        for (int size : sizes)
            out.push_back({Name("icon", id, size), QStringLiteral("icons/%1/%2.png").arg(id).arg(size),
                           DrawImage(drawing, size)});
    };
    icon(706, DrawBrowse, {16, 32});
    // The sync types by their icon ids: type 3 has 4057, type 4 has 4056.
    const int typeIcons[] = {4053, 4054, 4055, 4057, 4056};
    for (int type = 0; type < 5; ++type) icon(typeIcons[type], [type](Pen& p) { DrawSyncType(p, type); }, {16, 32});
    icon(128, DrawProgram, {16, 32, 48, 64, 128, 256});
    return out;
}

bool WriteResourceFile(const QString& path, const std::vector<Output>& images) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) return false;
    QTextStream text(&file);
    text << "<!-- Written by draw/main.cpp: the program's images by id. -->\n<RCC>\n  <qresource prefix=\"/images\">\n";
    for (const Output& image : images) {
        text << "    <file alias=\"" << image.alias << "\">" << image.file << "</file>\n";
        // The tray shows the program's own icon.
        if (image.alias.startsWith(QLatin1String("icons/128/")) && image.image.width() <= 48)
            text << "    <file alias=\"icons/33000/" << image.image.width() << ".png\">" << image.file << "</file>\n";
    }
    text << "  </qresource>\n</RCC>\n";
    return text.status() == QTextStream::Ok;
}

QImage Unkeyed(const QImage& image) {
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            if ((line[x] & 0xFFFFFF) == (kKey & 0xFFFFFF)) line[x] = 0;
    }
    return out;
}

// One tile per picture (each cell of a strip, each size of an icon): at its size and
// enlarged, on a light and on a dark ground, named by its id and index.
struct Tile {
    QString name;
    QImage picture;
};

std::vector<Tile> Tiles(const std::vector<Output>& images) {
    std::vector<Tile> tiles;
    for (const Output& image : images) {
        const QImage picture = image.keyed ? Unkeyed(image.image) : image.image;
        const QString id = image.alias.section(QLatin1Char('/'), 1, 1).remove(QStringLiteral(".png"));
        if (image.cell) {
            for (int i = 0; i * image.cell < picture.width(); ++i)
                tiles.push_back(
                    {QStringLiteral("%1:%2").arg(id).arg(i), picture.copy(i * image.cell, 0, image.cell, image.cell)});
        } else if (picture.width() <= 64) {
            tiles.push_back({image.alias.startsWith(QLatin1String("icons"))
                                 ? QStringLiteral("%1@%2").arg(id).arg(picture.width())
                                 : id,
                             picture});
        }
    }
    return tiles;
}

// Sheets of at most 60 tiles: <base>_1.png, <base>_2.png...
bool WriteContactSheets(const std::vector<Output>& images, const QString& base) {
    const std::vector<Tile> tiles = Tiles(images);
    const int zoomed = 64, tileWidth = 8 + 64 + 6 + zoomed + 8, tileHeight = 16 + 2 * (zoomed + 6);
    const int columns = 10, rows = 6;
    const QColor grounds[] = {QColor(0xF0, 0xF0, 0xF0), QColor(0x2B, 0x2D, 0x31)};
    for (std::size_t first = 0, page = 1; first < tiles.size(); first += columns * rows, ++page) {
        QImage sheet(columns * tileWidth, rows * tileHeight, QImage::Format_RGB32);
        sheet.fill(Qt::white);
        QPainter painter(&sheet);
        for (std::size_t i = first; i < std::min(tiles.size(), first + columns * rows); ++i) {
            const int x = static_cast<int>((i - first) % columns) * tileWidth;
            const int y = static_cast<int>((i - first) / columns) * tileHeight;
            const QImage& picture = tiles[i].picture;
            painter.setPen(Qt::black);
            painter.drawText(x + 6, y + 12, tiles[i].name);
            for (int g = 0; g < 2; ++g) {
                const int top = y + 16 + g * (zoomed + 6);
                painter.fillRect(x + 2, top, tileWidth - 4, zoomed + 4, grounds[g]);
                painter.drawImage(x + 6, top + 2, picture);
                painter.drawImage(QRect(x + 6 + 64 + 6, top + 2, zoomed, zoomed), picture);
            }
        }
        painter.end();
        if (!sheet.save(QStringLiteral("%1_%2.png").arg(base).arg(page), "PNG")) return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: qb_draw_images <folder> [--sheet <base>]\n");
        return 2;
    }
    const QDir folder(args[1]);
    const std::vector<Output> images = DrawAll();
    for (const Output& image : images) {
        if (!image.image.save(folder.filePath(image.file), "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(folder.filePath(image.file)));
            return 1;
        }
    }
    if (!WriteResourceFile(folder.filePath(QStringLiteral("images.qrc")), images)) {
        std::fprintf(stderr, "cannot write the resource file\n");
        return 1;
    }
    const int sheetArg = static_cast<int>(args.indexOf(QStringLiteral("--sheet")));
    if (sheetArg > 0 && sheetArg + 1 < args.size() && !WriteContactSheets(images, args[sheetArg + 1])) {
        std::fprintf(stderr, "cannot write the sheet\n");
        return 1;
    }
    return 0;
}
