#pragma once
// What the task-window tests share: stand-ins for the main frame and the task list that
// record what they are sent, item trees made by hand, and reading the rows of a window.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/model/folder_tree.h"
#include "foundation/program_state.h"
#include "foundation/sync_task.h"
#include "platform/core/file_system.h"
#include "platform/core/message_box.h"
#include "platform/core/window.h"
#include "platform/qt/qt_gui_services.h"
#include "resources/sync_messages.h"
#include "support/settings_fixture.h"
#include "ui/task_window/sync_dlg.h"

namespace twtest {

struct Sent {
    UINT message;
    WPARAM w;
    LPARAM l;
};

// A window that records what it is sent and answers by `answer` (1 when none).
class StandIn : public plat::WindowProcedure {
public:
    explicit StandIn(HWND parent = nullptr) : hwnd_(plat::CreateMessageWindow(this, parent)) {}
    ~StandIn() override { DestroyWindow(hwnd_); }
    HWND Hwnd() const { return hwnd_; }
    LRESULT WindowProc(HWND, UINT message, WPARAM w, LPARAM l) override {
        if (message == WM_DESTROY || message == WM_NCDESTROY) return 0;
        sent.push_back({message, w, l});
        if (onMessage) onMessage(sent.back());
        return answer ? answer(sent.back()) : 1;
    }

    std::vector<Sent> sent;
    std::function<LRESULT(const Sent&)> answer;
    std::function<void(const Sent&)> onMessage;

private:
    HWND hwnd_;
};

// Two item trees made by hand under /src and /dst, folders linked to their twins.
class HandTrees {
public:
    HandTrees() {
        source_->counterpart = target_.get();
        target_->counterpart = source_.get();
    }
    FolderTreeNode* Source() { return source_.get(); }
    FolderTreeNode* Target() { return target_.get(); }
    void GiveTo(SyncTask& task) {
        task.sourceItems = std::move(source_);
        task.targetItems = std::move(target_);
    }

    // A folder under the roots: on the target side only (0x10), the source side only
    // (0x20), or both as twins; returns the source node when there is one.
    FolderTreeNode* Folder(const std::wstring& path, DWORD state) {
        FolderTreeNode* sourceNode = nullptr;
        FolderTreeNode* targetNode = nullptr;
        if (!(state & ItemState::kTargetOnly)) sourceNode = source_->AppendChild(Node(L"/src/", path, state));
        if (!(state & ItemState::kSourceOnly)) targetNode = target_->AppendChild(Node(L"/dst/", path, state));
        if (sourceNode && targetNode) {
            sourceNode->counterpart = targetNode;
            targetNode->counterpart = sourceNode;
        }
        return sourceNode ? sourceNode : targetNode;
    }
    // A file of `node`: its own copy on the node's side, the counterpart on the other.
    static CFileInfo& File(FolderTreeNode* node, const std::wstring& path, DWORD state, ULONGLONG size = 100,
                           ULONGLONG otherSize = 100, LONGLONG time = 1600000000, LONGLONG otherTime = 1600000000) {
        const bool target = (state & ItemState::kTargetOnly) != 0;
        CFileInfo record;
        record.Set((target ? L"/dst/" : L"/src/") + path, size, 0, time, path, state);
        record.SetCounterpart((target ? L"/src/" : L"/dst/") + path, path, 0, otherSize, otherTime);
        if (!node->files) node->files = std::make_unique<CFileInfoArray>();
        return (*node->files)[node->files->InsertAt(node->files->GetSize(), std::move(record))];
    }

private:
    static std::unique_ptr<FolderTreeNode> Node(const std::wstring& root, const std::wstring& path, DWORD state) {
        auto node = std::make_unique<FolderTreeNode>();
        node->folder = std::make_unique<CFileInfo>();
        node->folder->Set(root + path, 0, FILE_ATTRIBUTE_DIRECTORY, 1600000000, path, state);
        node->folder->SetCounterpart((root == L"/src/" ? L"/dst/" : L"/src/") + path, path, FILE_ATTRIBUTE_DIRECTORY, 0,
                                     1600000000);
        return node;
    }

    std::unique_ptr<FolderTreeNode> source_ = std::make_unique<FolderTreeNode>();
    std::unique_ptr<FolderTreeNode> target_ = std::make_unique<FolderTreeNode>();
};

// A cell of a row: its text and image.
struct CellView {
    std::wstring text;
    int image = 0;
};
inline CellView Cell(CTreeListCtrl& tree, HTREEITEM row, int column) {
    wchar_t buffer[300] = {};
    TVITEMW record;
    record.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_HANDLE | (column > 0 ? TVIF_SUBITEM : 0);
    record.hItem = row;
    record.pszText = buffer;
    record.cchTextMax = 300;
    record.cChildren = column;
    tree.SendMessage(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&record));
    return {buffer, record.iImage};
}
// Every row, depth-first.
inline std::vector<HTREEITEM> Rows(CTreeListCtrl& tree) {
    std::vector<HTREEITEM> rows;
    std::vector<HTREEITEM> pending{tree.GetRootItem()};
    while (!pending.empty()) {
        const HTREEITEM row = pending.back();
        pending.pop_back();
        if (!row) continue;
        rows.push_back(row);
        pending.push_back(tree.GetNextSiblingItem(row));
        pending.push_back(tree.GetChildItem(row));
    }
    return rows;
}
inline std::vector<std::wstring> RowNames(CTreeListCtrl& tree) {
    std::vector<std::wstring> names;
    for (HTREEITEM row : Rows(tree)) names.push_back(Cell(tree, row, 0).text);
    return names;
}
inline HTREEITEM Row(CTreeListCtrl& tree, const std::wstring& name) {
    for (HTREEITEM row : Rows(tree)) {
        if (Cell(tree, row, 0).text == name) return row;
    }
    ADD_FAILURE() << "no row of that name";
    return 0;
}

// Task "T1" (Mirror), its window made on first use, a settings file of its own, the GUI
// services, and message boxes answered and recorded.
class TaskWindowTest : public qbtest::SettingsFileTest {
protected:
    TaskWindowTest() {
        // Folder commands store the task and its history here.
        ProgramState().dataFolder = dir_.sub("Data") + "/";
        plat::CreateFolderWithParents(dir_.sub("Data"));
        task_.SetDefaults();
        task_.name = "T1";
        task_.syncOptions = std::make_unique<CConfigSyncPage>(false);
        task_.syncOptions->type = kSyncMirror;
        task_.UpdateSyncKind();
    }
    CSyncDlg& Window() {
        if (!window_) {
            window_ = std::make_unique<CSyncDlg>(nullptr, frame_.Hwnd(), taskList_.Hwnd());
            window_->resize(900, 500);
            window_->Message(WM_SYNC_TASK_CHANGED, 0, reinterpret_cast<LPARAM>(&task_));
        }
        return *window_;
    }
    CTreeListCtrl& Tree() { return Window().ItemTree(); }
    CellView CellOf(const std::wstring& name, int column) { return Cell(Tree(), Row(Tree(), name), column); }
    std::vector<std::string> Boxes() const {
        std::vector<std::string> texts;
        for (const plat::MessageBoxRequest& request : boxes_.Requests()) texts.push_back(request.text);
        return texts;
    }

    plat::QtGuiServices gui_;
    plat::ScopedMessageBoxHandler boxes_{IDOK};
    StandIn frame_;
    StandIn taskList_{frame_.Hwnd()};
    SyncTask task_;
    std::unique_ptr<CSyncDlg> window_;
};

}  // namespace twtest
