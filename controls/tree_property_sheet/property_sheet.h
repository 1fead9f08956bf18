#pragma once
// The platform's property sheet: a modal dialog with a row of tabs over the page area and
// the buttons OK, Cancel, Apply and Help. It owns its pages; the page messages (PSM_*) are
// its window procedure, so a derived sheet that maps one of them calls DefWindowProc for
// the sheet's own handling.
//
// OK asks the showing page to let go (PSN_KILLACTIVE), then asks every page that has been
// shown whether it can apply (OnQueryApply) and only then applies them all (PSN_APPLY):
// a refusal shows the page that refused and leaves every page as it was. Cancel resets
// every page that has been shown (PSN_RESET).

#include <QDialog>
#include <QRect>
#include <memory>
#include <string>
#include <vector>

#include "controls/tree_property_sheet/property_page.h"
#include "controls/tree_property_sheet/property_sheet_defs.h"
#include "platform/core/message_box.h"
#include "platform/qt/message_window.h"

class QPushButton;
class QTabBar;

class CPropertySheet : public QDialog, public plat::MessageWindow {
    Q_OBJECT
public:
    // The space around the sheet's content, and between a frame and its page.
    static constexpr int kMargin = 7;
    static constexpr int kPageInset = 4;

    // The caption as text, or as a string-table id. `selectPage` is the page shown first.
    CPropertySheet(const std::string& caption, QWidget* parent = nullptr, UINT selectPage = 0);
    explicit CPropertySheet(UINT captionId, QWidget* parent = nullptr, UINT selectPage = 0);
    ~CPropertySheet() override;

    // PSH_NOAPPLYNOW, PSH_HASHELP; set before the sheet shows.
    DWORD flags = 0;

    // The sheet takes the page and returns it.
    CPropertyPage* AddPage(std::unique_ptr<CPropertyPage> page);
    template <class Page>
    Page* AddPage(std::unique_ptr<Page> page) {
        return static_cast<Page*>(AddPage(std::unique_ptr<CPropertyPage>(std::move(page))));
    }
    int GetPageCount() const { return static_cast<int>(pages_.size()); }
    CPropertyPage* GetPage(int index) const;
    int GetPageIndex(const CPropertyPage* page) const;
    // The current page (-1 / null before the sheet shows and when it has none).
    int GetActiveIndex() const { return activeIndex_; }
    CPropertyPage* GetActivePage() const { return GetPage(activeIndex_); }
    BOOL SetActivePage(int index);
    BOOL SetActivePage(const CPropertyPage* page) { return SetActivePage(GetPageIndex(page)); }
    // Presses PSBTN_OK, PSBTN_APPLYNOW, PSBTN_CANCEL or PSBTN_HELP.
    void PressButton(int button);

    // Shows the sheet modally; IDOK or IDCANCEL.
    int DoModal();

    // The row of tabs with its frame (id AFX_IDC_TAB_CONTROL).
    QWidget* GetTabControl() const { return tabControl_; }
    QTabBar* GetTabBar() const { return tabBar_; }
    QPushButton* GetButton(int id) const;

protected:
    // Lays the sheet out around its largest page. Runs when the sheet first shows.
    virtual BOOL OnInitDialog();
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Sends a page notification; returns the page's answer.
    LRESULT NotifyPage(CPropertyPage* page, UINT code, LPARAM lParam = 0);
    // Places the buttons under `content` (sheet coordinates) and sizes the sheet to both.
    void FitAround(const QRect& content);
    // Where pages sit, in the sheet's coordinates.
    QRect PageRect() const { return pageRect_; }
    void SetPageRect(const QRect& rect);
    // Whether the sheet has shown (OnInitDialog has run).
    bool IsInitialized() const { return initialized_; }

    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    LRESULT SelectPage(int index);
    LRESULT AdoptPage(CPropertyPage* page);
    LRESULT DropPage(int index);
    bool ApplyPages(bool closing);
    void CancelPages();
    void OnTabChosen(int index);
    void MoveToNextTab(bool forward);
    void SetApplyEnabled(bool enabled);
    void CreateButtons();
    void SyncTabs();

    std::vector<std::unique_ptr<CPropertyPage>> pages_;
    int activeIndex_ = -1;
    UINT startPage_;
    bool initialized_ = false;
    QRect pageRect_;
    QWidget* tabControl_ = nullptr;
    QTabBar* tabBar_ = nullptr;
};

// The text of a string-table id ("" when the table has none).
std::string SheetString(UINT id);
