#pragma once
// A property sheet that lists its pages in a tree on the left instead of a row of tabs,
// with a frame around the active page. A page titled "Group::Page" goes under a node
// "Group" that has no page of its own; choosing such a node hides the current page and
// shows the empty-page message in the frame. Ctrl+Tab and Ctrl+Shift+Tab walk the tree.

#include <QTreeWidget>
#include <memory>
#include <string>
#include <string_view>

#include "controls/tree_property_sheet/page_tree_ctrl.h"
#include "controls/tree_property_sheet/prop_page_frame.h"
#include "controls/tree_property_sheet/property_sheet.h"

namespace TreePropSheet {

class CTreePropSheet : public CPropertySheet {
    Q_OBJECT
public:
    static constexpr int kPageTreeId = 32494;
    static constexpr UINT kPageFrameId = 0xFFFF;
    static constexpr int kDefaultTreeWidth = 200;

    explicit CTreePropSheet(UINT captionId, QWidget* parent = nullptr, UINT selectPage = 0);
    CTreePropSheet(const std::string& caption, QWidget* parent, UINT selectPage = 0);
    ~CTreePropSheet() override;

    // Settings, before the sheet shows. Without tree mode the sheet shows tabs.
    void SetTreeViewMode(bool treeMode, bool pageCaption = false);
    // A format text with one "%s" for the node's title.
    void SetEmptyPageText(std::string text) { emptyPageText_ = std::move(text); }

    // Exist from the sheet's first showing to its end.
    CPageTreeCtrl* GetPageTreeControl() const { return pageTree_.get(); }
    CPropPageFrame* GetFrameControl() const { return frame_.get(); }

    // Asks the shown page to let go and hides it; FALSE when it refused. TRUE also when
    // no page shows.
    BOOL KillActiveCurrentPage();

protected:
    BOOL OnInitDialog() override;
    // The empty-page text with the node's title in place of its "%s".
    virtual std::string GenerateEmptyPageMessage(const std::string& emptyPageText, const std::string& caption);
    virtual std::unique_ptr<CPageTreeCtrl> CreatePageTreeObject();
    virtual std::unique_ptr<CPropPageFrame> CreatePageFrame();

private:
    LRESULT OnAddPage(WPARAM wParam, LPARAM lParam);
    LRESULT OnRemovePage(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetCurSel(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetCurSelId(WPARAM wParam, LPARAM lParam);
    LRESULT OnIsDialogMessage(WPARAM wParam, LPARAM lParam);
    LRESULT OnNotify(WPARAM wParam, LPARAM lParam);
    void OnDestroy(WPARAM, LPARAM);

    LRESULT OnPageTreeSelChanging(const NMPAGETREE& notify);
    void RefillPageTree();
    QTreeWidgetItem* CreatePageTreeItem(std::string_view title, QTreeWidgetItem* parent);
    QTreeWidgetItem* FindPageItem(int page, QTreeWidgetItem* under) const;
    void SelectCurrentPageTreeItem();
    void UpdateCaption();
    bool IsPageShowing() const;
    QTreeWidgetItem* NextItem(QTreeWidgetItem* item) const;
    QTreeWidgetItem* PreviousItem(QTreeWidgetItem* item) const;
    QTreeWidgetItem* LastDescendant(QTreeWidgetItem* item) const;
    bool InTreeMode() const { return treeMode_ && pageTree_; }

    bool treeMode_ = true;
    std::unique_ptr<CPageTreeCtrl> pageTree_;
    std::unique_ptr<CPropPageFrame> frame_;
    bool selChanging_ = false;
    bool pageCaption_ = false;
    std::string emptyPageText_;
    int treeWidth_ = kDefaultTreeWidth;
};

// The page index a tree node stands for; -1 for a node without a page.
int PageOfTreeItem(const QTreeWidgetItem* item);

}  // namespace TreePropSheet
