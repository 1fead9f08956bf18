#include "platform/qt/qt_gui_services.h"

#include <QFileDialog>
#include <QWidget>

#include "platform/core/xdg_base_dirs.h"
#include "platform/qt/combo_box_ex.h"
#include "platform/qt/message_window.h"
#include "platform/qt/system_image_list.h"

namespace plat {

namespace {

QWidget* WidgetOf(HWND hwnd) {
    MessageWindow* window = hwnd ? MessageWindow::FromHwnd(hwnd) : nullptr;
    return window ? window->Widget() : nullptr;
}

constexpr DWORD kWsVisible = 0x10000000;

// The dialog a request describes; `save` makes it a save dialog.
std::optional<std::wstring> RunFileDialog(const OpenFileRequest& request, bool save) {
    QFileDialog dialog(WidgetOf(request.owner), QString::fromStdWString(request.title),
                       QString::fromStdWString(ExpandHomeFolder(request.initialFile)));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The caller asks about an existing file itself, in the program's words.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setOption(QFileDialog::DontResolveSymlinks, !request.followLinks);
    const QStringList filters =
        request.filter.empty()
            ? QStringList{QString::fromStdWString(request.filterDescription) + QStringLiteral(" (*)")}
            : FileDialogFilters(request.filter);
    dialog.setNameFilters(filters);
    if (!request.defaultExtension.empty()) dialog.setDefaultSuffix(QString::fromStdWString(request.defaultExtension));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().front().toStdWString();
}

}  // namespace

QStringList FileDialogFilters(std::wstring_view filter) {
    QStringList parts =
        QString::fromWCharArray(filter.data(), static_cast<qsizetype>(filter.size())).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString name = parts[i].trimmed();
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& pattern : patterns) {
            pattern = pattern.trimmed();
            if (pattern == QLatin1String("*.*")) pattern = QStringLiteral("*");
        }
        patterns.removeAll(QString());
        if (patterns.isEmpty()) continue;
        if (name.endsWith(QLatin1Char(')'))) {
            if (const qsizetype open = name.lastIndexOf(QLatin1Char('(')); open >= 0) name = name.left(open).trimmed();
        }
        filters << name + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return filters;
}

QtGuiServices::QtGuiServices() : previous_(SetGuiServices(this)) {}

QtGuiServices::~QtGuiServices() { SetGuiServices(previous_); }

std::optional<std::wstring> QtGuiServices::OpenFileName(const OpenFileRequest& request) {
    return RunFileDialog(request, false);
}

std::optional<std::wstring> QtGuiServices::SaveFileName(const OpenFileRequest& request) {
    return RunFileDialog(request, true);
}

std::optional<std::wstring> QtGuiServices::BrowseForFolder(HWND owner, const std::wstring& title,
                                                           const std::wstring& initialFolder) {
    // A folder box may hold "~/..." as typed; the dialog itself reads a typed "~" as home.
    const QString chosen = QFileDialog::getExistingDirectory(WidgetOf(owner), QString::fromStdWString(title),
                                                             QString::fromStdWString(ExpandHomeFolder(initialFolder)));
    if (chosen.isEmpty()) return std::nullopt;
    return chosen.toStdWString();
}

HWND QtGuiServices::CreateComboBoxEx(HWND parent, DWORD style, const RECT& rect, UINT id) {
    QWidget* parentWidget = WidgetOf(parent);
    if (!parentWidget) return nullptr;
    auto* combo = new ComboBoxEx(parentWidget, id);  // owned by its parent widget
    combo->setGeometry(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    combo->setVisible((style & kWsVisible) != 0);
    return combo->GetSafeHwnd();
}

int QtGuiServices::SmallIconIndex(const std::wstring& path, IconKind kind, bool onDisk) {
    return SystemImageList::Instance().IndexOf(path, kind, onDisk);
}

}  // namespace plat
