#include "controls/tree_property_sheet/property_sheet.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>
#include <QWhatsThis>
#include <algorithm>

#include "controls/control_defs.h"
#include "resources/string_table.h"

namespace {

constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kButtonGap = 6;
constexpr QSize kSmallestPage{200, 100};

// The tab control: the row of tabs over a frame that holds the page area.
class TabControl : public QWidget {
public:
    explicit TabControl(QWidget* parent) : QWidget(parent), bar_(new QTabBar(this)) {
        setObjectName(QString::number(AFX_IDC_TAB_CONTROL));
        bar_->setDrawBase(false);
        bar_->setExpanding(false);
    }
    QTabBar* Bar() const { return bar_; }

protected:
    void resizeEvent(QResizeEvent*) override { bar_->setGeometry(0, 0, width(), bar_->sizeHint().height()); }
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        QStyleOptionTabWidgetFrame frame;
        frame.initFrom(this);
        frame.rect = rect().adjusted(0, bar_->sizeHint().height() - 1, 0, 0);
        frame.shape = QTabBar::RoundedNorth;
        frame.tabBarSize = bar_->size();
        style()->drawPrimitive(QStyle::PE_FrameTabWidget, &frame, &painter, this);
    }

private:
    QTabBar* bar_;
};

}  // namespace

std::string SheetString(UINT id) {
    const auto text = res::FindString(id);
    return text ? std::string(*text) : std::string();
}

CPropertySheet::CPropertySheet(UINT captionId, QWidget* parent, UINT selectPage)
    : CPropertySheet(SheetString(captionId), parent, selectPage) {}

CPropertySheet::CPropertySheet(const std::string& caption, QWidget* parent, UINT selectPage)
    : QDialog(parent), plat::MessageWindow(this), startPage_(selectPage) {
    setWindowTitle(QString::fromStdString(caption));
    setWindowFlag(Qt::WindowContextHelpButtonHint, true);
    auto* tabs = new TabControl(this);
    tabControl_ = tabs;
    tabBar_ = tabs->Bar();
    connect(tabBar_, &QTabBar::tabBarClicked, this, &CPropertySheet::OnTabChosen);
    CreateButtons();

    auto keyToSheet = [this](bool shift) {
        MSG msg;
        msg.hwnd = GetSafeHwnd();
        msg.message = WM_KEYDOWN;
        msg.wParam = VK_TAB;
        msg.lParam = MK_CONTROL | (shift ? MK_SHIFT : 0);
        Message(PSM_ISDIALOGMESSAGE, 0, reinterpret_cast<LPARAM>(&msg));
    };
    // Shift+Tab arrives as Backtab; both spellings are bound so either reaches the sheet.
    const QKeySequence nextKeys[] = {QKeySequence(Qt::CTRL | Qt::Key_Tab)};
    const QKeySequence previousKeys[] = {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab),
                                         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab)};
    for (const QKeySequence& keys : nextKeys) {
        connect(new QShortcut(keys, this), &QShortcut::activated, this, [keyToSheet] { keyToSheet(false); });
    }
    for (const QKeySequence& keys : previousKeys) {
        connect(new QShortcut(keys, this), &QShortcut::activated, this, [keyToSheet] { keyToSheet(true); });
    }
    connect(new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F1), this), &QShortcut::activated, this,
            [] { QWhatsThis::enterWhatsThisMode(); });
}

CPropertySheet::~CPropertySheet() { DestroyMessageWindow(); }

void CPropertySheet::CreateButtons() {
    struct ButtonSpec {
        int id;
        const char* text;
    };
    static constexpr ButtonSpec kButtons[] = {
        {IDOK, "OK"}, {IDCANCEL, "Cancel"}, {ID_APPLY_NOW, "&Apply"}, {IDHELP, "Help"}};
    for (const ButtonSpec& spec : kButtons) {
        auto* button = new QPushButton(QString::fromLatin1(spec.text), this);
        button->setObjectName(QString::number(spec.id));
        button->setFixedSize(kButtonWidth, kButtonHeight);
        const int id = spec.id;
        connect(button, &QPushButton::clicked, this, [this, id] {
            switch (id) {
            case IDOK: PressButton(PSBTN_OK); break;
            case IDCANCEL: PressButton(PSBTN_CANCEL); break;
            case ID_APPLY_NOW: PressButton(PSBTN_APPLYNOW); break;
            default: PressButton(PSBTN_HELP); break;
            }
        });
    }
    GetButton(IDOK)->setDefault(true);
    GetButton(ID_APPLY_NOW)->setEnabled(false);
}

QPushButton* CPropertySheet::GetButton(int id) const {
    return findChild<QPushButton*>(QString::number(id), Qt::FindDirectChildrenOnly);
}

CPropertyPage* CPropertySheet::AddPage(std::unique_ptr<CPropertyPage> page) {
    CPropertyPage* raw = page.release();
    Message(PSM_ADDPAGE, 0, reinterpret_cast<LPARAM>(raw));
    return raw;
}

CPropertyPage* CPropertySheet::GetPage(int index) const {
    if (index < 0 || index >= GetPageCount()) return nullptr;
    return pages_[static_cast<size_t>(index)].get();
}

int CPropertySheet::GetPageIndex(const CPropertyPage* page) const {
    for (int i = 0; i < GetPageCount(); ++i) {
        if (pages_[static_cast<size_t>(i)].get() == page) return i;
    }
    return -1;
}

BOOL CPropertySheet::SetActivePage(int index) {
    if (index < 0 || index >= GetPageCount()) return FALSE;
    return Message(PSM_SETCURSEL, static_cast<WPARAM>(index), 0) ? TRUE : FALSE;
}

int CPropertySheet::DoModal() { return exec(); }

LRESULT CPropertySheet::NotifyPage(CPropertyPage* page, UINT code, LPARAM lParam) {
    if (!page) return 0;
    PSHNOTIFY notify;
    notify.hwndFrom = GetSafeHwnd();
    notify.code = code;
    notify.lParam = lParam;
    return page->Message(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notify));
}

LRESULT CPropertySheet::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case PSM_ADDPAGE: return AdoptPage(reinterpret_cast<CPropertyPage*>(lParam));
    case PSM_REMOVEPAGE: {
        const int index = lParam ? GetPageIndex(reinterpret_cast<CPropertyPage*>(lParam)) : static_cast<int>(wParam);
        return DropPage(index);
    }
    case PSM_SETCURSEL: {
        const int index = lParam ? GetPageIndex(reinterpret_cast<CPropertyPage*>(lParam)) : static_cast<int>(wParam);
        return SelectPage(index);
    }
    case PSM_SETCURSELID:
        for (int i = 0; i < GetPageCount(); ++i) {
            if (GetPage(i)->TemplateId() == static_cast<UINT>(lParam)) return SelectPage(i);
        }
        return FALSE;
    case PSM_CHANGED: SetApplyEnabled(true); return 0;
    case PSM_UNCHANGED:
        SetApplyEnabled(std::any_of(pages_.begin(), pages_.end(), [](const auto& p) { return p->IsModified(); }));
        return 0;
    case PSM_PRESSBUTTON: PressButton(static_cast<int>(wParam)); return 0;
    case PSM_GETCURRENTPAGEHWND: return GetActivePage() ? reinterpret_cast<LRESULT>(GetActivePage()->GetSafeHwnd()) : 0;
    case PSM_ISDIALOGMESSAGE: {
        const auto* msg = reinterpret_cast<const MSG*>(lParam);
        if (msg && msg->message == WM_KEYDOWN && msg->wParam == VK_TAB && (msg->lParam & MK_CONTROL)) {
            MoveToNextTab((msg->lParam & MK_SHIFT) == 0);
            return 1;
        }
        return 0;
    }
    default: return plat::MessageWindow::DefWindowProc(message, wParam, lParam);
    }
}

LRESULT CPropertySheet::AdoptPage(CPropertyPage* page) {
    if (!page) return FALSE;
    pages_.emplace_back(page);
    page->setParent(this);
    page->hide();
    if (initialized_) {
        SyncTabs();
        // A page that arrives late still fits: the sheet grows to it.
        const QSize hint = page->sizeHint().expandedTo(page->minimumSize());
        if (hint.width() > pageRect_.width() || hint.height() > pageRect_.height()) OnInitDialog();
        if (activeIndex_ < 0) SelectPage(GetPageCount() - 1);
    }
    return TRUE;
}

LRESULT CPropertySheet::DropPage(int index) {
    if (index < 0 || index >= GetPageCount()) return FALSE;
    if (index == activeIndex_) {
        GetPage(index)->hide();
        activeIndex_ = -1;
        if (GetPageCount() > 1) SelectPage(index == 0 ? 1 : index - 1);
    }
    pages_.erase(pages_.begin() + index);
    if (activeIndex_ > index) --activeIndex_;
    SyncTabs();
    return TRUE;
}

LRESULT CPropertySheet::SelectPage(int index) {
    CPropertyPage* next = GetPage(index);
    if (!next) return FALSE;
    if (!initialized_) {
        startPage_ = static_cast<UINT>(index);
        return TRUE;
    }
    CPropertyPage* current = GetActivePage();
    if (current && !current->isHidden()) {
        if (index == activeIndex_) return TRUE;
        if (NotifyPage(current, PSN_KILLACTIVE) != FALSE) return FALSE;
        current->hide();
    }
    next->InitDialog();
    next->setGeometry(pageRect_);
    activeIndex_ = index;
    NotifyPage(next, PSN_SETACTIVE);
    next->show();
    next->raise();
    const QSignalBlocker block(tabBar_);
    tabBar_->setCurrentIndex(index);
    return TRUE;
}

void CPropertySheet::OnTabChosen(int index) {
    if (index >= 0 && index != activeIndex_) SetActivePage(index);
}

void CPropertySheet::MoveToNextTab(bool forward) {
    const int count = GetPageCount();
    if (count == 0) return;
    const int from = std::max(activeIndex_, 0);
    SetActivePage((from + (forward ? 1 : count - 1)) % count);
}

void CPropertySheet::SyncTabs() {
    const QSignalBlocker block(tabBar_);
    while (tabBar_->count() > GetPageCount()) tabBar_->removeTab(tabBar_->count() - 1);
    for (int i = 0; i < GetPageCount(); ++i) {
        const QString title = QString::fromStdString(GetPage(i)->GetTitle());
        if (i < tabBar_->count()) {
            tabBar_->setTabText(i, title);
        } else {
            tabBar_->addTab(title);
        }
    }
    if (activeIndex_ >= 0) tabBar_->setCurrentIndex(activeIndex_);
}

void CPropertySheet::SetPageRect(const QRect& rect) {
    pageRect_ = rect;
    if (CPropertyPage* page = GetActivePage()) page->setGeometry(pageRect_);
}

BOOL CPropertySheet::OnInitDialog() {
    SyncTabs();
    QSize pageSize = kSmallestPage;
    for (const auto& page : pages_) {
        pageSize = pageSize.expandedTo(page->sizeHint()).expandedTo(page->minimumSize());
    }
    const int tabHeight = tabBar_->sizeHint().height();
    const QRect tabRect(kMargin, kMargin, pageSize.width() + 2 * kPageInset,
                        tabHeight + pageSize.height() + 2 * kPageInset);
    tabControl_->setGeometry(tabRect);
    pageRect_ = QRect(QPoint(tabRect.left() + kPageInset, tabRect.top() + tabHeight + kPageInset), pageSize);

    FitAround(tabRect);
    return TRUE;
}

void CPropertySheet::FitAround(const QRect& content) {
    // The buttons right-aligned under the content, the hidden ones leaving no gap.
    GetButton(ID_APPLY_NOW)->setVisible((flags & PSH_NOAPPLYNOW) == 0);
    GetButton(IDHELP)->setVisible((flags & PSH_HASHELP) != 0);
    int x = content.right() + 1;
    const int y = content.bottom() + 1 + kMargin;
    for (int id : {IDHELP, ID_APPLY_NOW, IDCANCEL, IDOK}) {
        QPushButton* button = GetButton(id);
        if (button->isHidden()) continue;
        x -= kButtonWidth;
        button->move(x, y);
        x -= kButtonGap;
    }
    setFixedSize(content.right() + 1 + kMargin, y + kButtonHeight + kMargin);
}

void CPropertySheet::showEvent(QShowEvent* event) {
    if (!initialized_) {
        // Pages that are not shown yet stay hidden whatever the sheet does.
        for (const auto& page : pages_) page->hide();
        OnInitDialog();
        initialized_ = true;
        const int first = static_cast<int>(startPage_) < GetPageCount() ? static_cast<int>(startPage_) : 0;
        if (GetPageCount() > 0) Message(PSM_SETCURSEL, static_cast<WPARAM>(first), 0);
    }
    QDialog::showEvent(event);
}

void CPropertySheet::PressButton(int button) {
    switch (button) {
    case PSBTN_OK:
        if (ApplyPages(true)) done(IDOK);
        break;
    case PSBTN_APPLYNOW:
        if ((flags & PSH_NOAPPLYNOW) == 0) ApplyPages(false);
        break;
    case PSBTN_CANCEL:
        CancelPages();
        done(IDCANCEL);
        break;
    case PSBTN_HELP: NotifyPage(GetActivePage(), PSN_HELP); break;
    default: break;
    }
}

bool CPropertySheet::ApplyPages(bool closing) {
    CPropertyPage* active = GetActivePage();
    if (active && !active->isHidden() && NotifyPage(active, PSN_KILLACTIVE) != FALSE) return false;
    for (int i = 0; i < GetPageCount(); ++i) {
        CPropertyPage* page = GetPage(i);
        if (page->IsInitialized() && !page->OnQueryApply()) {
            SetActivePage(i);
            return false;
        }
    }
    for (int i = 0; i < GetPageCount(); ++i) {
        CPropertyPage* page = GetPage(i);
        if (!page->IsInitialized()) continue;
        if (NotifyPage(page, PSN_APPLY, closing ? TRUE : FALSE) != PSNRET_NOERROR) {
            SetActivePage(i);
            return false;
        }
    }
    SetApplyEnabled(false);
    return true;
}

void CPropertySheet::CancelPages() {
    for (const auto& page : pages_) {
        if (page->IsInitialized()) NotifyPage(page.get(), PSN_RESET);
    }
}

void CPropertySheet::reject() {
    // Escape and the window's close button are Cancel.
    PressButton(PSBTN_CANCEL);
}

void CPropertySheet::SetApplyEnabled(bool enabled) {
    if (QPushButton* apply = GetButton(ID_APPLY_NOW)) apply->setEnabled(enabled);
}
