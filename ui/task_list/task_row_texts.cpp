#include "ui/task_list/task_row_texts.h"

#include <QDate>
#include <QLocale>
#include <QTime>

#include "foundation/resource_strings.h"
#include "foundation/sync_task.h"
#include "platform/core/file_time.h"
#include "platform/core/text.h"

namespace {

constexpr DWORD kSyncTypeCount = 5;
constexpr std::size_t kMaxPartLength = 40;

// The string table has no text for copying.
constexpr char kCopyingText[] = "Copying task";

std::string AutoText(const SyncTask& task) {
    if (task.scheduleOn && task.repeatOn) {
        return LoadResString(IDS_RUN_FROM_SCHEDULER) + "+" + LoadResString(IDS_RUN_FROM_TIMER);
    }
    if (task.scheduleOn) return LoadResString(IDS_RUN_FROM_SCHEDULER);
    if (task.repeatOn) return LoadResString(IDS_RUN_FROM_TIMER);
    return {};
}

std::string RunFromText(DWORD startSource, const std::string& userName) {
    switch (startSource) {
    case kStartedByUser: return userName;
    case kStartedByContainer: return LoadResString(IDS_RUN_FROM_CONTAINER);
    case kStartedByRepeat: return LoadResString(IDS_RUN_FROM_TIMER);
    case kStartedByScheduler: return LoadResString(IDS_RUN_FROM_SCHEDULER);
    case kStartedAtProgramStart: return LoadResString(IDS_RUN_FROM_AUTO_START);
    default: return LoadResString(IDS_RUN_FROM_AUTO_CONNECT);
    }
}

std::string SyncTypeText(const TaskRunFacts& facts) {
    std::string text =
        facts.lastRunSyncType < kSyncTypeCount ? LoadResString(IDS_SYNC_TYPE_MIRROR + facts.lastRunSyncType) : "";
    if (facts.lastRunMode != 0) text += LoadResString(IDS_CHECK_SUFFIX);
    return text;
}

QString Limited(const QString& text) { return text.left(static_cast<qsizetype>(kMaxPartLength)); }

}  // namespace

std::string FormatLastRunTime(const FILETIME& wallClock) {
    if (wallClock.dwLowDateTime == 0 && wallClock.dwHighDateTime == 0) return {};
    SYSTEMTIME st{};
    if (!FileTimeToSystemTime(&wallClock, &st)) return {};
    const QDate date(st.wYear, st.wMonth, st.wDay);
    const QTime time(st.wHour, st.wMinute, st.wSecond);
    if (!date.isValid() || !time.isValid()) return {};
    const QLocale locale;
    const QString text = Limited(locale.toString(date, QLocale::ShortFormat)) + ' ' +
                         Limited(locale.toString(time, QLocale::ShortFormat));
    return text.toStdString();
}

std::array<std::string, kTaskListColumnCount> TaskRowTexts(const SyncTask& task, const std::string& userName) {
    std::array<std::string, kTaskListColumnCount> texts;
    const TaskRunFacts facts = task.runFacts.Get();
    if (facts.lastRunStart.dwLowDateTime == 0 && facts.lastRunStart.dwHighDateTime == 0) return texts;
    texts[kAutoColumn] = AutoText(task);
    texts[kLeftFolderColumn] = plat::WideToUtf8(task.leftFolder);
    texts[kRightFolderColumn] = plat::WideToUtf8(task.rightFolder);
    texts[kLastRunTimeColumn] = FormatLastRunTime(facts.lastRunStart);
    texts[kLastRunFromColumn] = RunFromText(task.startSource, userName);
    texts[kLastSyncTypeColumn] = SyncTypeText(facts);
    return texts;
}

std::string BusyStatusText(TaskBusy busyCode) {
    switch (busyCode) {
    case TaskBusy::Idle: return LoadResString(IDS_NO_ACTION);
    case TaskBusy::Syncing: return LoadResString(IDS_SYNCHRONIZING);
    case TaskBusy::Checking: return LoadResString(IDS_CHECKING);
    case TaskBusy::RemovingOrRebuilding: return LoadResString(IDS_REMOVING_TASK);
    case TaskBusy::Renaming: return LoadResString(IDS_RENAMING_TASK);
    case TaskBusy::Copying: return kCopyingText;
    }
    return {};
}
