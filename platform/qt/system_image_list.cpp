#include "platform/qt/system_image_list.h"

#include <QFileIconProvider>
#include <QFileInfo>
#include <QMimeDatabase>
#include <algorithm>

namespace plat {

SystemImageList& SystemImageList::Instance() {
    static SystemImageList list;
    return list;
}

int SystemImageList::Add(const QString& key, const QIcon& icon) {
    const auto found = std::find(keys_.begin(), keys_.end(), key);
    if (found != keys_.end()) return static_cast<int>(found - keys_.begin());
    keys_.push_back(key);
    icons_.push_back(icon);
    return static_cast<int>(icons_.size() - 1);
}

int SystemImageList::IndexOf(const std::wstring& path, IconKind kind, bool onDisk) {
    const QString name = QString::fromStdWString(path);
    if (onDisk && !QFileInfo::exists(name)) return -1;
    static const QFileIconProvider provider;
    if (kind == IconKind::Folder)
        return Add(QStringLiteral("inode/directory"), provider.icon(QFileIconProvider::Folder));
    if (kind == IconKind::OpenFolder) {
        return Add(QStringLiteral("inode/directory-open"),
                   QIcon::fromTheme(QStringLiteral("folder-open"), provider.icon(QFileIconProvider::Folder)));
    }
    static const QMimeDatabase mimes;
    const QMimeType type =
        onDisk ? mimes.mimeTypeForFile(name) : mimes.mimeTypeForFile(name, QMimeDatabase::MatchExtension);
    const QIcon fallback = provider.icon(QFileIconProvider::File);
    return Add(type.name(), QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName(), fallback)));
}

QIcon SystemImageList::Icon(int index) const {
    if (index < 0 || index >= Count()) return {};
    return icons_[static_cast<size_t>(index)];
}

}  // namespace plat
