#pragma once
// The navigation bar: a pane docked on the left whose pages are chosen with buttons
// stacked at its bottom; the active page's widget fills the rest. Its tab control
// (NavigationTabs, with an id of its own) tells the frame of every page change with
// kTabChangedMessage (w = the new page index, l = the tab control's id).
//
//   auto* bar = new plat::NavigationBar;
//   bar->Create("Shortcuts", &frame, IDC_NAVIGATION_BAR, 250, IDC_NAVIGATION_TABS);
//   bar->SetImages(large32);                          // the page images, cut from a strip
//   bar->Tabs()->AddPage("Tasks", 7, taskList);
//   bar->Tabs()->AddPage("History", 8, historyView);
//   // in the frame: MapMessage(plat::kTabChangedMessage, &MainFrame::OnTabChanged);
//
// With animation on (SetAnimation) a new page slides in for at most 150 ms; the page
// counts as shown and the message is sent at once either way.

#include <QPixmap>
#include <QWidget>
#include <string>
#include <vector>

#include "platform/qt/dockable_pane.h"

class QButtonGroup;
class QStackedWidget;
class QVBoxLayout;

namespace plat {

// The message a tab control sends its frame when its active page changes; the tabbed
// panes of the program send it too.
inline constexpr UINT kTabChangedMessage = 0xC0A1;

class NavigationTabs : public QWidget {
public:
    NavigationTabs(QWidget* parent, UINT id);

    UINT Id() const { return id_; }
    void SetImages(std::vector<QPixmap> large) { images_ = std::move(large); }
    // Adds a page (the control owns its widget); returns its index.
    int AddPage(std::string text, int image, QWidget* page);
    QWidget* Page(int index) const;
    // The button that chooses page `index`, or null.
    QWidget* PageButton(int index) const;

    // Shows page `index` and tells the frame; false for no such page.
    bool SetActivePage(int index);
    int ActivePage() const;
    void SetAnimation(bool on) { animate_ = on; }

private:
    void Slide(QWidget* page);

    UINT id_;
    std::vector<QPixmap> images_;
    QStackedWidget* pages_;
    QVBoxLayout* buttons_;
    QButtonGroup* group_;
    bool animate_ = true;
};

class NavigationBar : public DockablePane {
public:
    NavigationBar();

    // Docks the bar on the left of `frame`, `width` wide, with a tab control of `tabsId`.
    bool Create(std::string_view text, FrameWindow* frame, UINT id, int width, UINT tabsId);
    NavigationTabs* Tabs() const { return tabs_; }
    void SetImages(std::vector<QPixmap> large);

private:
    LRESULT OnSize(WPARAM, LPARAM);

    NavigationTabs* tabs_ = nullptr;
    std::vector<QPixmap> images_;
};

}  // namespace plat
