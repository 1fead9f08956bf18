#include "ui/app/global_state.h"

#include <QFont>
#include <QGuiApplication>
#include <QScreen>
#include <cmath>

#include "platform/qt/qt_text.h"
#include "resources/string_ids.h"
#include "resources/string_table.h"

namespace {

GlobalStateBlock& Block() {
    static GlobalStateBlock block;
    return block;
}

QFont& Font() {
    static QFont font;
    return font;
}

}  // namespace

int ColourClassOfDepth(int bitsPerPixel) {
    if (bitsPerPixel <= 1) return 1;
    if (bitsPerPixel <= 4) return 4;
    if (bitsPerPixel <= 8) return 8;
    if (bitsPerPixel <= 24) return 24;
    return 0;
}

bool InitGlobalState() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return false;
    GlobalStateBlock& block = Block();
    block.pixelsPerInchX = static_cast<int>(std::lround(screen->logicalDotsPerInchX()));
    block.pixelsPerInchY = static_cast<int>(std::lround(screen->logicalDotsPerInchY()));
    block.colourClass = ColourClassOfDepth(screen->depth());
    block.colourClassCopy = block.colourClass;
    CreateDefaultFont();
    return true;
}

void CreateDefaultFont() {
    QFont font = QGuiApplication::font();
    // An empty face leaves the choice to the system, as an unnamed face does.
    if (const auto face = res::FindString(IDS_DEFAULT_FONT_FACE); face && !face->empty()) {
        font.setFamily(plat::ToQString(*face));
    }
    const int perInch = Block().pixelsPerInchY > 0 ? Block().pixelsPerInchY : 96;
    font.setPixelSize(static_cast<int>(std::lround(8.0 * perInch / 72.0)));
    Font() = font;
}
