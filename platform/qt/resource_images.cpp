#include "platform/qt/resource_images.h"

#include <QDir>
#include <mutex>

// Outside every namespace, as the resource's registration function is global. The images
// live in a static library; naming them here keeps the linker from dropping them.
static void LinkImages() {
    static std::once_flag once;
    std::call_once(once, [] { Q_INIT_RESOURCE(images); });
}

namespace plat {

QIcon LoadIconResource(int id) {
    LinkImages();
    const QDir folder(QStringLiteral(":/images/icons/%1").arg(id));
    QIcon icon;
    for (const QString& name : folder.entryList({QStringLiteral("*.png")}, QDir::Files))
        icon.addFile(folder.filePath(name));
    return icon;
}

QImage LoadBitmapResource(int id) {
    LinkImages();
    return QImage(QStringLiteral(":/images/bitmaps/%1.png").arg(id));
}

}  // namespace plat
