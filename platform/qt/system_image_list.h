#pragma once
// The system image list: small icons for files and folders, shared by every list that
// shows files. An icon's index stays the same for the life of the program; icons are
// added as new kinds of files are met. GUI thread only.

#include <QIcon>
#include <QString>
#include <string>
#include <vector>

#include "platform/core/gui_services.h"

namespace plat {

class SystemImageList {
public:
    static SystemImageList& Instance();

    // The index of the icon for `path`: by its name and kind only, or from the file on
    // disk when `onDisk` (a missing path gives -1 then).
    int IndexOf(const std::wstring& path, IconKind kind, bool onDisk);
    QIcon Icon(int index) const;
    int Count() const { return static_cast<int>(icons_.size()); }

private:
    SystemImageList() = default;
    int Add(const QString& key, const QIcon& icon);

    std::vector<QString> keys_;
    std::vector<QIcon> icons_;
};

}  // namespace plat
