// The task window's item tree with a large Check: trees of 1,000 folders of 100 files
// (100,000 items with times spread over four months and eight kinds of file; every tenth
// file changed, every fiftieth new on the left) turned into
// rows under "Display all items", then switched to "Display Changed Items" and back, the
// way the view commands do it, and every row refreshed and scrolled to as a Sync's
// WM_SYNC_ITEM_DONE messages do it; then Select All, "Left to Right" and "Restore Action"
// on every row. Goal: under one second per rebuild, for all the item messages and for
// each of the three commands, which take about twice as long on twice the items.
//
//   build/bench/bench_task_window [folders] [files per folder]
#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "engine/model/folder_tree.h"
#include "foundation/program_state.h"
#include "foundation/sync_task.h"
#include "platform/core/window.h"
#include "platform/qt/message_pump.h"
#include "platform/qt/qt_gui_services.h"
#include "resources/sync_messages.h"
#include "ui/task_window/sync_dlg.h"

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The task list: every task may change its view.
class TaskList : public plat::WindowProcedure {
public:
    LRESULT WindowProc(HWND, UINT, WPARAM, LPARAM) override { return 1; }
};

const wchar_t* const kExtensions[] = {L".txt", L".jpg", L".pdf", L".docx", L".png", L".mp3", L".cpp", L".xlsx"};

CFileInfo FileRecord(const std::wstring& root, const std::wstring& otherRoot, const std::wstring& relative, DWORD state,
                     int item) {
    CFileInfo record;
    const LONGLONG time = 1600000000 - static_cast<LONGLONG>(item) * 97;
    record.Set(root + relative, 4096 + relative.size() * 37, 0, time, relative, state);
    record.SetCounterpart(otherRoot + relative, relative, 0, 4000, time - 3600);
    return record;
}

void BuildTrees(SyncTask& task, int folders, int files) {
    auto source = std::make_unique<FolderTreeNode>();
    auto target = std::make_unique<FolderTreeNode>();
    source->counterpart = target.get();
    target->counterpart = source.get();
    const std::wstring left = L"/home/user/Documents/";
    const std::wstring right = L"/media/user/BACKUP/Documents/";
    int item = 0;
    for (int f = 0; f < folders; ++f) {
        const std::wstring folder = L"folder " + std::to_wstring(f);
        auto sourceNode = std::make_unique<FolderTreeNode>();
        auto targetNode = std::make_unique<FolderTreeNode>();
        sourceNode->folder = std::make_unique<CFileInfo>();
        sourceNode->folder->Set(left + folder, 0, FILE_ATTRIBUTE_DIRECTORY, 1600000000, folder, 0x00800C81);
        sourceNode->folder->SetCounterpart(right + folder, folder, FILE_ATTRIBUTE_DIRECTORY, 0, 1600000000);
        targetNode->folder = std::make_unique<CFileInfo>();
        targetNode->folder->Set(right + folder, 0, FILE_ATTRIBUTE_DIRECTORY, 1600000000, folder, 0x00800C81);
        sourceNode->files = std::make_unique<CFileInfoArray>();
        targetNode->files = std::make_unique<CFileInfoArray>();
        for (int i = 0; i < files; ++i, ++item) {
            const std::wstring relative = folder + L"/document number " + std::to_wstring(i) + kExtensions[item % 8];
            if (item % 50 == 0) {  // new on the left
                sourceNode->files->InsertAt(i, FileRecord(left, right, relative, 0x01000420, item));
                continue;
            }
            const DWORD state = item % 10 == 0 ? 0x01000C0D : 0x00800C01;  // changed, or equal
            sourceNode->files->InsertAt(i, FileRecord(left, right, relative, state, item));
            targetNode->files->InsertAt(i, FileRecord(right, left, relative, state, item));
        }
        FolderTreeNode* targetChild = target->AppendChild(std::move(targetNode));
        FolderTreeNode* sourceChild = source->AppendChild(std::move(sourceNode));
        sourceChild->counterpart = targetChild;
        targetChild->counterpart = sourceChild;
    }
    task.sourceItems = std::move(source);
    task.targetItems = std::move(target);
}

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    plat::QtMessagePump pump;
    plat::QtGuiServices gui;
    // Column widths are read from a settings file of the benchmark's own.
    ProgramState().settingsFile =
        std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") + "/bench_task_window.ini";
    const int folders = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int files = argc > 2 ? std::atoi(argv[2]) : 100;

    SyncTask task;
    task.SetDefaults();
    task.name = "Benchmark task";
    task.leftFolder = L"/home/user/Documents";
    task.rightFolder = L"/media/user/BACKUP/Documents";
    BuildTrees(task, folders, files);

    TaskList taskListProcedure;
    const HWND taskList = plat::CreateMessageWindow(&taskListProcedure);
    auto window = std::make_unique<CSyncDlg>(nullptr, nullptr, taskList);
    window->resize(1000, 700);
    window->Message(WM_SYNC_TASK_CHANGED, 0, reinterpret_cast<LPARAM>(&task));
    CTreeListCtrl& tree = window->ItemTree();

    const auto firstStart = Clock::now();
    window->RebuildTaskItems();
    const double firstMs = MsSince(firstStart);
    const unsigned allRows = tree.GetCount();

    const auto changedStart = Clock::now();
    window->Message(WM_SYNC_VIEW_FILTER, 1, 0);
    const double changedMs = MsSince(changedStart);
    const unsigned changedRows = tree.GetCount();

    const auto backStart = Clock::now();
    window->Message(WM_SYNC_VIEW_FILTER, 0, 0);
    const double backMs = MsSince(backStart);

    // Each item's record, as the engine sends it once the item's action is carried out.
    std::vector<CFileInfo*> records;
    for (const auto& folder : task.sourceItems->children) {
        for (CFileInfo& file : *folder->files) records.push_back(&file);
    }
    const auto doneStart = Clock::now();
    for (CFileInfo* record : records) {
        window->Message(WM_SYNC_ITEM_DONE, reinterpret_cast<WPARAM>(record), record->treeItem);
    }
    const double doneMs = MsSince(doneStart);

    const auto selectStart = Clock::now();
    window->Message(WM_COMMAND, MAKELONG(ID_SELECT_ALL, 0), 0);
    const double selectMs = MsSince(selectStart);
    const auto actionStart = Clock::now();
    window->Message(WM_SYNC_SET_ACTION, 0, 0);
    const double actionMs = MsSince(actionStart);
    const auto restoreStart = Clock::now();
    window->Message(WM_SYNC_SET_ACTION, 5, 0);
    const double restoreMs = MsSince(restoreStart);

    const auto clearStart = Clock::now();
    window->ClearItemList(FALSE);
    const double clearMs = MsSince(clearStart);
    window.reset();
    DestroyWindow(taskList);

    std::printf("items %d (%d folders x %d files)\n", folders * files, folders, files);
    std::printf("rebuild, all items           %8.1f ms (%u rows)\n", firstMs, allRows);
    std::printf("to Display Changed Items     %8.1f ms (%u rows; clears %u rows first)\n", changedMs, changedRows,
                allRows);
    std::printf("back to Display all items    %8.1f ms (%u rows; clears %u rows first)\n", backMs, allRows,
                changedRows);
    std::printf("item done, every source row  %8.1f ms (%zu messages)\n", doneMs, records.size());
    std::printf("select all                   %8.1f ms\n", selectMs);
    std::printf("Left to Right, every row     %8.1f ms\n", actionMs);
    std::printf("Restore Action, every row    %8.1f ms\n", restoreMs);
    std::printf("clear                        %8.1f ms\n", clearMs);
    return 0;
}
