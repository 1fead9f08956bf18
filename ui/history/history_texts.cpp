#include "ui/history/history_texts.h"

#include "engine/run/run_block.h"
#include "foundation/program_state.h"
#include "foundation/resource_strings.h"
#include "platform/qt/qt_text.h"

namespace {

constexpr int kImageOk = 4;
constexpr int kImageWarning = 13;
constexpr int kImageTaskDeleted = 14;
constexpr int kImageError = 17;
constexpr int kImageTaskCreated = 20;
constexpr int kImageCancelled = 23;
constexpr int kImageSyncRun = 24;
constexpr int kImageUser = 25;
constexpr int kImageCheckRun = 26;
constexpr int kImageTaskChanged = 27;
constexpr int kImageContainer = 28;
constexpr int kImageTimer = 29;
constexpr int kImageScheduler = 30;
constexpr int kImageRenamed = 31;

// Start codes of a run (the task's startSource).
constexpr DWORD kFromUser = 0;
constexpr DWORD kFromContainer = 1;
constexpr DWORD kFromTimer = 2;
constexpr DWORD kFromScheduler = 3;
constexpr DWORD kFromProgramStart = 4;

QString Folder(const std::wstring& folder) { return QString::fromStdWString(folder); }

QString FolderPair(const HistoryRecord& record) {
    const QString left = Folder(record.leftFolder);
    const QString right = Folder(record.rightFolder);
    switch (record.syncType) {
    case 0: return QStringLiteral("'%1' Mirror with '%2'").arg(left, right);
    case 1: return QStringLiteral("'%1' Sync with '%2'").arg(left, right);
    case 2: return QStringLiteral("'%1' Sync with '%2'").arg(right, left);
    case 3: return QStringLiteral("'%1' Back up to '%2'").arg(left, right);
    case 4: return QStringLiteral("'%1' Back up to '%2'").arg(right, left);
    default: return {};
    }
}

QString RunComments(const HistoryRecord& record) {
    QString options = QStringLiteral("Options:");
    options += record.allowDelete ? " Del Allowed;" : " No Del;";
    options += record.saveDelete ? " Save Changed;" : " No Save Changed;";
    options += record.lock ? " Copy Lock;" : " No Copy Lock;";
    if (record.readOnly) options += " Src Readonly;";
    if (record.readOnlyTarget) options += " Target Readonly;";
    options += record.ignoreCase ? " No Case-Aware;" : " Case-Aware;";
    const QString pair = FolderPair(record);
    return pair.isEmpty() ? options : pair + ' ' + options;
}

QString ChangeComments(DWORD code) {
    if ((code & 0xFF) != 0) {
        QString text = QStringLiteral("Change: ");
        if (code & kHistoryChangeFolders) text += "Folders;";
        if (code & kHistoryChangeOptions) text += "Options;";
        if (code & kHistoryChangeFilters) text += "Filters;";
        if (code & kHistoryChangeLog) text += "Log;";
        if (code & kHistoryChangeAuto) text += "Auto;";
        return text;
    }
    if ((code & 0xF00) != 0) {
        QString text = QStringLiteral("Delete: ");
        if (code & kHistoryDeleteBackups) text += "Backup Folders;";
        if (code & kHistoryDeleteCatalogs) text += "Catalogs;";
        if (code & kHistoryDeleteCatalogFolders) text += "Catalog Folders;";
        return text;
    }
    return {};
}

}  // namespace

int HistoryTypeImage(DWORD type) {
    switch (type) {
    case kHistorySync:
    case kHistoryCheckAndSync: return kImageSyncRun;
    case kHistoryCheck: return kImageCheckRun;
    case kHistoryTaskDeleted: return kImageTaskDeleted;
    case kHistoryTaskCreated:
    case kHistoryTaskCopied:
    case kHistoryTaskImported: return kImageTaskCreated;
    case kHistoryTaskRenamed: return kImageRenamed;
    default: return kImageTaskChanged;
    }
}

QString HistoryCommandText(DWORD type) {
    switch (type) {
    case kHistorySync: return QStringLiteral("Sync");
    case kHistoryCheck: return QStringLiteral("Check");
    case kHistoryCheckAndSync: return QStringLiteral("Check and Sync");
    case kHistoryTaskDeleted: return QStringLiteral("Delete");
    case kHistoryTaskChanged: return QStringLiteral("Change");
    case kHistoryTaskCreated: return QStringLiteral("Create");
    case kHistoryTaskRenamed: return QStringLiteral("Created by Rename");
    case kHistoryTaskCopied: return QStringLiteral("Created by Copy");
    case kHistoryTaskImported: return QStringLiteral("Created by Import");
    default: return {};
    }
}

HistoryLabel HistoryFromLabel(DWORD startSource) {
    switch (startSource) {
    case kFromUser: return {plat::ToQString(ProgramState().userName), kImageUser};
    case kFromContainer: return {plat::ToQString(LoadResString(IDS_RUN_FROM_CONTAINER)), kImageContainer};
    case kFromTimer: return {plat::ToQString(LoadResString(IDS_RUN_FROM_TIMER)), kImageTimer};
    case kFromScheduler: return {plat::ToQString(LoadResString(IDS_RUN_FROM_SCHEDULER)), kImageScheduler};
    case kFromProgramStart: return {plat::ToQString(LoadResString(IDS_RUN_FROM_AUTO_START)), kImageUser};
    default: return {plat::ToQString(LoadResString(IDS_RUN_FROM_AUTO_CONNECT)), kImageUser};
    }
}

HistoryLabel HistoryStatusLabel(DWORD status) {
    switch (status) {
    case kRunSucceeded: return {QStringLiteral("OK"), kImageOk};
    case kRunStopped: return {QStringLiteral("Cancel"), kImageCancelled};
    case kRunShadowCopyFailed: return {QStringLiteral("Warning: Shadow Copy failed"), kImageWarning};
    case kRunConflictsLeft: return {QStringLiteral("Warn: Conflicts"), kImageWarning};
    case kRunCopiesFailed: return {QStringLiteral("Warn: Failed to copy"), kImageWarning};
    case kRunNothingToDo: return {QStringLiteral("Nothing to do"), kImageWarning};
    case kRunOverChangeLimit: return {QStringLiteral("Error: Over limit"), kImageError};
    case kRunDiskFull: return {QStringLiteral("Error: Disk Full"), kImageError};
    case kHistoryEventFailed: return {QStringLiteral("Failed"), kImageError};  // refused by the task store
    case kRunCatalogFolderFailed: return {QStringLiteral("Error: Failed to create catalog folder"), kImageError};
    case kRunLowMemory: return {QStringLiteral("Error: Low Memory"), kImageError};
    case kRunCatalogNotWritten: return {QStringLiteral("Failed to create one or both catalogs"), kImageWarning};
    case kRunFolderEmptyOrUnmounted: return {QStringLiteral("Error: Folder empty or not mounted"), kImageError};
    case kRunFolderUnreadable: return {QStringLiteral("Error: Folder cannot be read"), kImageError};
    case kRunItemsSkipped: return {QStringLiteral("Warn: Items skipped"), kImageWarning};
    default: return {QString(), kImageOk};
    }
}

QString HistoryComments(const HistoryRecord& record) {
    switch (record.type) {
    case kHistorySync:
    case kHistoryCheck:
    case kHistoryCheckAndSync: return RunComments(record);
    case kHistoryTaskChanged: return ChangeComments(record.code);
    case kHistoryTaskRenamed: return "Rename from " + plat::ToQString(record.text);
    case kHistoryTaskCopied: return "Copy from " + plat::ToQString(record.text);
    case kHistoryTaskImported: return "Import from " + plat::ToQString(record.text);
    default: return {};
    }
}
