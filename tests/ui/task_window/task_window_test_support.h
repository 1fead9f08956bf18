#pragma once
// What the task-window tests share: stand-ins for the main frame and the task list that
// record what they are sent, item trees made by hand, and reading a row's cells.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/tree_list_ctrl.h"
#include "engine/model/folder_tree.h"
#include "foundation/sync_task.h"
#include "platform/core/message_box.h"
#include "platform/core/text.h"
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

// A window that records every message it gets and answers by `answer` (1 by default).
class StandIn : public plat::WindowProcedure {
public:
    explicit StandIn(HWND parent = nullptr) : hwnd_(plat::CreateMessageWindow(this, parent)) {}
    ~StandIn() override { DestroyWindow(hwnd_); }
    StandIn(const StandIn&) = delete;
    StandIn& operator=(const StandIn&) = delete;

    HWND Hwnd() const { return hwnd_; }
    std::vector<Sent> sent;
    std::function<LRESULT(const Sent&)> answer;
    std::function<void(const Sent&)> onMessage;

    std::vector<Sent> Of(UINT message) const {
        std::vector<Sent> found;
        for (const Sent& each : sent) {
            if (each.message == message) found.push_back(each);
        }
        return found;
    }

    LRESULT WindowProc(HWND, UINT message, WPARAM w, LPARAM l) override {
        if (message == WM_NCDESTROY || message == WM_DESTROY) return 0;
        const Sent each{message, w, l};
        sent.push_back(each);
        if (onMessage) onMessage(each);
        return answer ? answer(each) : 1;
    }

private:
    HWND hwnd_;
};

// Item trees made by hand: a source root and a target root, folders linked to their twins.
class HandTrees {
public:
    HandTrees() : source_(std::make_unique<FolderTreeNode>()), target_(std::make_unique<FolderTreeNode>()) {
        source_->counterpart = target_.get();
        target_->counterpart = source_.get();
    }

    // A folder on one side (or both, as twins) with its state word.
    FolderTreeNode* Folder(const std::wstring& relativePath, DWORD state, FolderTreeNode* sourceParent = nullptr,
                           FolderTreeNode* targetParent = nullptr);
    // A file record in `node`'s array; `size` is its own side's, `otherSize` the counterpart's.
    CFileInfo& File(FolderTreeNode* node, const std::wstring& relativePath, DWORD state, ULONGLONG size = 100,
                    ULONGLONG otherSize = 100, LONGLONG time = 1600000000, LONGLONG otherTime = 1600000000);

    FolderTreeNode* Source() { return source_.get(); }
    FolderTreeNode* Target() { return target_.get(); }
    // Hands both trees to the task.
    void GiveTo(SyncTask& task) {
        task.sourceItems = std::move(source_);
        task.targetItems = std::move(target_);
    }

    static constexpr const wchar_t* kSourceRoot = L"/src";
    static constexpr const wchar_t* kTargetRoot = L"/dst";

private:
    std::unique_ptr<FolderTreeNode> source_;
    std::unique_ptr<FolderTreeNode> target_;
};

inline FolderTreeNode* HandTrees::Folder(const std::wstring& relativePath, DWORD state, FolderTreeNode* sourceParent,
                                         FolderTreeNode* targetParent) {
    const bool targetOnly = (state & ItemState::kTargetOnly) != 0;
    const bool sourceOnly = (state & ItemState::kSourceOnly) != 0;
    FolderTreeNode* made = nullptr;
    FolderTreeNode* sourceNode = nullptr;
    if (!targetOnly) {
        auto node = std::make_unique<FolderTreeNode>();
        node->folder = std::make_unique<CFileInfo>();
        node->folder->Set(kSourceRoot + (L"/" + relativePath), 0, FILE_ATTRIBUTE_DIRECTORY, 1600000000, relativePath,
                          state);
        if (!sourceOnly) {
            node->folder->SetCounterpart(kTargetRoot + (L"/" + relativePath), relativePath, FILE_ATTRIBUTE_DIRECTORY,
                                         0, 1600000000);
        }
        sourceNode = made = (sourceParent ? sourceParent : source_.get())->AppendChild(std::move(node));
    }
    if (!sourceOnly) {
        auto node = std::make_unique<FolderTreeNode>();
        node->folder = std::make_unique<CFileInfo>();
        node->folder->Set(kTargetRoot + (L"/" + relativePath), 0, FILE_ATTRIBUTE_DIRECTORY, 1600000000, relativePath,
                          state);
        FolderTreeNode* targetNode = (targetParent ? targetParent : target_.get())->AppendChild(std::move(node));
        if (sourceNode) {
            sourceNode->counterpart = targetNode;
            targetNode->counterpart = sourceNode;
        } else {
            made = targetNode;
        }
    }
    return made;
}

inline CFileInfo& HandTrees::File(FolderTreeNode* node, const std::wstring& relativePath, DWORD state, ULONGLONG size,
                                  ULONGLONG otherSize, LONGLONG time, LONGLONG otherTime) {
    const bool ownIsTarget = (state & ItemState::kTargetOnly) != 0;
    const std::wstring own = (ownIsTarget ? kTargetRoot : kSourceRoot) + (L"/" + relativePath);
    const std::wstring other = (ownIsTarget ? kSourceRoot : kTargetRoot) + (L"/" + relativePath);
    CFileInfo record;
    record.Set(own, size, 0, time, relativePath, state);
    record.SetCounterpart(other, relativePath, 0, otherSize, otherTime);
    if (!node->files) node->files = std::make_unique<CFileInfoArray>();
    const int at = node->files->InsertAt(node->files->GetSize(), std::move(record));
    return (*node->files)[at];
}

// The window with its stand-ins, a settings file of its own and the GUI services.
class TaskWindowTest : public qbtest::SettingsFileTest {
protected:
    TaskWindowTest() {
        task_.SetDefaults();
        task_.name = "T1";
        task_.syncOptions = std::make_unique<CConfigSyncPage>(false);
        task_.syncOptions->type = 0;
        task_.UpdateSyncKind();
    }

    // The window, bound to the task.
    CSyncDlg& Window() {
        if (!window_) {
            window_ = std::make_unique<CSyncDlg>(nullptr, frame_.Hwnd(), taskList_.Hwnd());
            window_->resize(900, 500);
            window_->Message(WM_SYNC_TASK_CHANGED, 0, reinterpret_cast<LPARAM>(&task_));
        }
        return *window_;
    }
    CTreeListCtrl& Tree() { return Window().ItemTree(); }

    // The rows in depth-first order, each as its Name cell.
    std::vector<std::wstring> RowNames() {
        std::vector<std::wstring> names;
        Walk(Tree().GetRootItem(), names);
        return names;
    }
    std::wstring Cell(HTREEITEM row, int column) {
        wchar_t buffer[300] = {};
        TVITEMW record;
        record.mask = TVIF_TEXT | TVIF_HANDLE | (column > 0 ? TVIF_SUBITEM : 0);
        record.hItem = row;
        record.pszText = buffer;
        record.cchTextMax = 300;
        record.cChildren = column;
        Tree().SendMessage(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&record));
        return buffer;
    }
    int Image(HTREEITEM row, int column) {
        TVITEMW record;
        record.mask = TVIF_IMAGE | TVIF_HANDLE | (column > 0 ? TVIF_SUBITEM : 0);
        record.hItem = row;
        record.cChildren = column;
        Tree().SendMessage(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&record));
        return record.iImage;
    }
    // The row of the item whose Name cell is `name`.
    HTREEITEM Row(const std::wstring& name) {
        std::vector<HTREEITEM> pending{Tree().GetRootItem()};
        while (!pending.empty()) {
            const HTREEITEM item = pending.back();
            pending.pop_back();
            if (!item) continue;
            if (Cell(item, 0) == name) return item;
            pending.push_back(Tree().GetNextSiblingItem(item));
            pending.push_back(Tree().GetChildItem(item));
        }
        ADD_FAILURE() << "no row named " << plat::WideToUtf8(name);
        return 0;
    }

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

private:
    void Walk(HTREEITEM item, std::vector<std::wstring>& names) {
        for (; item; item = Tree().GetNextSiblingItem(item)) {
            names.push_back(Cell(item, 0));
            Walk(Tree().GetChildItem(item), names);
        }
    }
};

}  // namespace twtest
