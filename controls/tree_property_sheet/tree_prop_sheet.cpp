#include "controls/tree_property_sheet/tree_prop_sheet.h"

#include <QPushButton>
#include <QTabBar>

#include "controls/tree_property_sheet/page_title_path.h"
#include "controls/tree_property_sheet/prop_page_frame_default.h"

namespace TreePropSheet {

namespace {

constexpr int kPageRole = Qt::UserRole;

}  // namespace

int PageOfTreeItem(const QTreeWidgetItem* item) {
    if (!item) return -1;
    bool ok = false;
    const int page = item->data(0, kPageRole).toInt(&ok);
    return ok ? page : -1;
}

CTreePropSheet::CTreePropSheet(UINT captionId, QWidget* parent, UINT selectPage)
    : CTreePropSheet(SheetString(captionId), parent, selectPage) {}

CTreePropSheet::CTreePropSheet(const std::string& caption, QWidget* parent, UINT selectPage)
    : CPropertySheet(caption, parent, selectPage) {
    MapMessage(WM_DESTROY, &CTreePropSheet::OnDestroy);
    MapMessage(PSM_ADDPAGE, &CTreePropSheet::OnAddPage);
    MapMessage(PSM_REMOVEPAGE, &CTreePropSheet::OnRemovePage);
    MapMessage(PSM_SETCURSEL, &CTreePropSheet::OnSetCurSel);
    MapMessage(PSM_SETCURSELID, &CTreePropSheet::OnSetCurSelId);
    MapMessage(PSM_ISDIALOGMESSAGE, &CTreePropSheet::OnIsDialogMessage);
    MapMessage(WM_NOTIFY, &CTreePropSheet::OnNotify);
}

CTreePropSheet::~CTreePropSheet() { DestroyMessageWindow(); }

void CTreePropSheet::SetTreeViewMode(bool treeMode, bool pageCaption) {
    if (IsInitialized()) return;  // the layout is fixed once the sheet shows
    treeMode_ = treeMode;
    pageCaption_ = pageCaption;
}

std::unique_ptr<CPageTreeCtrl> CTreePropSheet::CreatePageTreeObject() {
    return std::make_unique<CPageTreeCtrl>(this, GetSafeHwnd(), kPageTreeId);
}

std::unique_ptr<CPropPageFrame> CTreePropSheet::CreatePageFrame() { return std::make_unique<CPropPageFrameDefault>(); }

std::string CTreePropSheet::GenerateEmptyPageMessage(const std::string& emptyPageText, const std::string& caption) {
    // The text is a format with one place; it is filled by hand so that a stray '%'
    // can never read an argument that is not there.
    std::string message;
    bool filled = false;
    for (size_t i = 0; i < emptyPageText.size(); ++i) {
        if (emptyPageText[i] == '%' && i + 1 < emptyPageText.size()) {
            if (emptyPageText[i + 1] == '%') {
                message += '%';
                ++i;
                continue;
            }
            if (emptyPageText[i + 1] == 's' && !filled) {
                message += caption;
                filled = true;
                ++i;
                continue;
            }
        }
        message += emptyPageText[i];
    }
    return message;
}

BOOL CTreePropSheet::OnInitDialog() {
    const BOOL result = CPropertySheet::OnInitDialog();
    if (!treeMode_) return result;

    QWidget* tabs = GetTabControl();
    tabs->hide();
    tabs->setEnabled(false);

    // The frame's caption band is as high as a tab of the row it replaces.
    QTabBar measure;
    measure.addTab(QString());
    const int captionHeight = measure.sizeHint().height();

    // The tree takes the sheet's left side; the frame and the pages move right by its
    // width. Without a caption the band where the tabs were goes, so the frame's top
    // meets the tree's.
    const QSize pageSize = PageRect().size();
    const int band = pageCaption_ ? captionHeight + 1 : 0;
    const QRect frameRect(kMargin + treeWidth_, kMargin, pageSize.width() + 2 * kPageInset,
                          band + pageSize.height() + 2 * kPageInset);
    if (!frame_) {
        frame_ = CreatePageFrame();
        frame_->Create(frameRect, this, kPageFrameId);
    }
    frame_->GetWnd()->setGeometry(frameRect);
    frame_->ShowCaption(pageCaption_);
    frame_->SetCaptionHeight(captionHeight);
    frame_->GetWnd()->lower();
    SetPageRect(QRect(QPoint(frameRect.left() + kPageInset, frameRect.top() + band + kPageInset), pageSize));

    if (!pageTree_) {
        pageTree_ = CreatePageTreeObject();
        pageTree_->show();
    }
    pageTree_->setGeometry(kMargin, frameRect.top(), treeWidth_ - kMargin, frameRect.height());
    FitAround(frameRect);
    // The tree comes first: Up and Down walk the pages from the start.
    pageTree_->setFocus();

    RefillPageTree();
    SelectCurrentPageTreeItem();
    return result;
}

void CTreePropSheet::OnDestroy(WPARAM, LPARAM) {
    pageTree_.reset();
    frame_.reset();
}

LRESULT CTreePropSheet::OnAddPage(WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CPropertySheet::DefWindowProc(PSM_ADDPAGE, wParam, lParam);
    if (InTreeMode()) {
        RefillPageTree();
        SelectCurrentPageTreeItem();
    }
    return result;
}

LRESULT CTreePropSheet::OnRemovePage(WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CPropertySheet::DefWindowProc(PSM_REMOVEPAGE, wParam, lParam);
    if (InTreeMode()) {
        RefillPageTree();
        SelectCurrentPageTreeItem();
    }
    return result;
}

LRESULT CTreePropSheet::OnSetCurSel(WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CPropertySheet::DefWindowProc(PSM_SETCURSEL, wParam, lParam);
    if (InTreeMode()) {
        SelectCurrentPageTreeItem();
        UpdateCaption();
    }
    return result;
}

LRESULT CTreePropSheet::OnSetCurSelId(WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CPropertySheet::DefWindowProc(PSM_SETCURSELID, wParam, lParam);
    if (InTreeMode()) {
        SelectCurrentPageTreeItem();
        UpdateCaption();
    }
    return result;
}

LRESULT CTreePropSheet::OnIsDialogMessage(WPARAM wParam, LPARAM lParam) {
    const auto* msg = reinterpret_cast<const MSG*>(lParam);
    const bool ctrlTab = msg && msg->message == WM_KEYDOWN && msg->wParam == VK_TAB && (msg->lParam & MK_CONTROL);
    if (!ctrlTab || !InTreeMode()) return CPropertySheet::DefWindowProc(PSM_ISDIALOGMESSAGE, wParam, lParam);

    QTreeWidgetItem* current = pageTree_->currentItem();
    QTreeWidgetItem* target = (msg->lParam & MK_SHIFT) ? PreviousItem(current) : NextItem(current);
    if (target) pageTree_->SelectItem(target);
    return 1;
}

LRESULT CTreePropSheet::OnNotify(WPARAM wParam, LPARAM lParam) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (!header || header->idFrom != static_cast<UINT_PTR>(kPageTreeId) || !pageTree_) {
        return CPropertySheet::DefWindowProc(WM_NOTIFY, wParam, lParam);
    }
    const auto& notify = *reinterpret_cast<const NMPAGETREE*>(lParam);
    switch (header->code) {
    case TVN_SELCHANGINGA:
    case TVN_SELCHANGINGW: return OnPageTreeSelChanging(notify);
    case TVN_SELCHANGEDA:
    case TVN_SELCHANGEDW: UpdateCaption(); return 0;
    default: return 0;
    }
}

LRESULT CTreePropSheet::OnPageTreeSelChanging(const NMPAGETREE& notify) {
    if (selChanging_) return 0;
    selChanging_ = true;
    const int page = PageOfTreeItem(notify.itemNew);
    const BOOL moved = page >= 0 ? SetActivePage(page) : KillActiveCurrentPage();
    selChanging_ = false;
    pageTree_->setFocus();
    return moved ? 0 : 1;
}

BOOL CTreePropSheet::KillActiveCurrentPage() {
    CPropertyPage* page = GetActivePage();
    if (!page || page->isHidden()) return TRUE;
    if (NotifyPage(page, PSN_KILLACTIVE) != FALSE) return FALSE;
    page->hide();
    return TRUE;
}

bool CTreePropSheet::IsPageShowing() const {
    const CPropertyPage* page = GetActivePage();
    return page && !page->isHidden();
}

void CTreePropSheet::RefillPageTree() {
    pageTree_->clear();
    for (int i = 0; i < GetPageCount(); ++i) {
        QTreeWidgetItem* item = CreatePageTreeItem(GetPage(i)->GetTitle(), nullptr);
        item->setData(0, kPageRole, i);
    }
    // Without groups the pages line up at the left edge instead of behind empty room
    // for expand buttons.
    bool grouped = false;
    for (int i = 0; i < pageTree_->topLevelItemCount() && !grouped; ++i) {
        grouped = pageTree_->topLevelItem(i)->childCount() > 0;
    }
    pageTree_->setRootIsDecorated(grouped);
    pageTree_->expandAll();
}

QTreeWidgetItem* CTreePropSheet::CreatePageTreeItem(std::string_view title, QTreeWidgetItem* parent) {
    const PageTitleStep step = SplitPageTitle(title);
    const QString text = QString::fromStdString(step.node);

    QTreeWidgetItem* node = nullptr;
    const int count = parent ? parent->childCount() : pageTree_->topLevelItemCount();
    for (int i = 0; i < count && !node; ++i) {
        QTreeWidgetItem* child = parent ? parent->child(i) : pageTree_->topLevelItem(i);
        if (child->text(0) == text) node = child;
    }
    if (!node) {
        node = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(pageTree_.get());
        node->setText(0, text);
        node->setData(0, kPageRole, -1);
    }
    return step.hasRest ? CreatePageTreeItem(step.rest, node) : node;
}

QTreeWidgetItem* CTreePropSheet::FindPageItem(int page, QTreeWidgetItem* under) const {
    const int count = under ? under->childCount() : pageTree_->topLevelItemCount();
    for (int i = 0; i < count; ++i) {
        QTreeWidgetItem* child = under ? under->child(i) : pageTree_->topLevelItem(i);
        if (PageOfTreeItem(child) == page) return child;
        if (QTreeWidgetItem* found = FindPageItem(page, child)) return found;
    }
    return nullptr;
}

void CTreePropSheet::SelectCurrentPageTreeItem() {
    const int active = GetActiveIndex();
    QTreeWidgetItem* item = active >= 0 ? FindPageItem(active, nullptr) : nullptr;
    if (item && item != pageTree_->currentItem()) {
        // The page is already current: the tree only follows it.
        const bool guard = selChanging_;
        selChanging_ = true;
        pageTree_->SelectItem(item);
        selChanging_ = guard;
    }
}

void CTreePropSheet::UpdateCaption() {
    if (!frame_) return;
    QTreeWidgetItem* item = pageTree_ ? pageTree_->currentItem() : nullptr;
    const QString caption = item ? item->text(0) : QString();
    if (IsPageShowing()) {
        frame_->SetMsgText(QString());
    } else {
        frame_->SetMsgText(QString::fromStdString(GenerateEmptyPageMessage(emptyPageText_, caption.toStdString())));
    }
    if (frame_->GetShowCaption()) frame_->SetCaption(caption);
}

QTreeWidgetItem* CTreePropSheet::LastDescendant(QTreeWidgetItem* item) const {
    while (item && item->childCount() > 0) item = item->child(item->childCount() - 1);
    return item;
}

QTreeWidgetItem* CTreePropSheet::NextItem(QTreeWidgetItem* item) const {
    if (!item) return pageTree_->topLevelItem(0);
    if (item->childCount() > 0) return item->child(0);
    for (QTreeWidgetItem* at = item; at; at = at->parent()) {
        QTreeWidgetItem* parent = at->parent();
        const int index = parent ? parent->indexOfChild(at) : pageTree_->indexOfTopLevelItem(at);
        const int siblings = parent ? parent->childCount() : pageTree_->topLevelItemCount();
        if (index + 1 < siblings) return parent ? parent->child(index + 1) : pageTree_->topLevelItem(index + 1);
    }
    return pageTree_->topLevelItem(0);
}

QTreeWidgetItem* CTreePropSheet::PreviousItem(QTreeWidgetItem* item) const {
    const int roots = pageTree_->topLevelItemCount();
    if (!item) return LastDescendant(pageTree_->topLevelItem(roots - 1));
    QTreeWidgetItem* parent = item->parent();
    const int index = parent ? parent->indexOfChild(item) : pageTree_->indexOfTopLevelItem(item);
    if (index > 0) return LastDescendant(parent ? parent->child(index - 1) : pageTree_->topLevelItem(index - 1));
    if (parent) return parent;
    return LastDescendant(pageTree_->topLevelItem(roots - 1));
}

}  // namespace TreePropSheet
