#pragma once
// The ribbon of a frame window: the application button with its menu, categories as tabs
// with panels of elements (buttons, check boxes, menu buttons, separators), elements on
// the right of the tab row, and the quick-access toolbar. Every element raises its command
// through the frame's route (WM_COMMAND to the frame) and shows the state the route's
// update gives it when the GUI goes idle; a disabled element is grey and does nothing.
//
//   auto* ribbon = new plat::RibbonBar(&frame);            // stands above the client area
//   ribbon->SetImages(small16, large32);                   // cut with ImageList::AddStrip
//   ribbon->SetApplicationButton(normal, hot, pressed, "Click here for the task menu");
//   ribbon->SetApplicationMenu({plat::RibbonMenuEntry::Command("&New", ID_NEW_TASK, 1), ...});
//   const int home = ribbon->AddCategory("Home");
//   const int view = ribbon->AddPanel(home, "View");
//   ribbon->AddElement(home, view, plat::RibbonElement::CheckBox("All", ID_DISPLAY_ALL));
//   ribbon->AddElement(home, view, plat::RibbonElement::Menu("More", ID_MORE_VIEWS_BUTTON, 26,
//                                                    res::FindMenu(IDR_MORE_VIEWS_MENU)->SubMenu(0)));
//   ribbon->AddTabRowElement(plat::RibbonElement::Button("Help", ID_HELP_CONTENTS, 5));
//   ribbon->SetQuickAccessCommands({{ID_NEW_TASK, "New Task", 1, true},
//                                   {ID_COPY_TASK, "Copy", 14, false}, ...});
//   ribbon->LoadState(settings, "MFCRibbons");             // at shutdown: SaveState
//
// Elements without a tooltip of their own show their command's string-table text (the
// part after the line break where there is one). A menu button's own id raises nothing.

#include <QElapsedTimer>
#include <QPixmap>
#include <QWidget>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/core/win_types.h"

class QHBoxLayout;
class QMenu;
class QStackedWidget;
class QTabBar;
class QToolButton;
class QVBoxLayout;

namespace res {
struct MenuItem;
}

namespace plat {

class FrameWindow;
class IniFile;

struct RibbonElement {
    enum class Kind { Button, CheckBox, MenuButton, Separator };

    Kind kind = Kind::Separator;
    std::string text;
    UINT id = 0;
    int smallImage = -1;                  // index into the small images; -1 none
    int largeImage = -1;                  // index into the large images; -1: always shown small
    std::span<const res::MenuItem> menu;  // a menu button's items
    std::string tooltip;                  // empty: the command's text
    std::string description;              // a second tooltip line

    // A button shown large when the layout has room for its large image.
    static RibbonElement Button(std::string text, UINT id, int image, bool large = true);
    static RibbonElement CheckBox(std::string text, UINT id);
    static RibbonElement Menu(std::string text, UINT id, int image, std::span<const res::MenuItem> items,
                              bool large = true);
    static RibbonElement Separator();
};

// An entry of the application menu: a command with an image, a separator, or a sub-menu
// whose items follow a label (a caption, not a command).
struct RibbonMenuEntry {
    enum class Kind { Command, Separator, SubMenu };

    Kind kind = Kind::Separator;
    std::string text;
    UINT id = 0;
    int image = -1;
    std::string label;
    std::span<const res::MenuItem> items;

    static RibbonMenuEntry Command(std::string text, UINT id, int image = -1);
    static RibbonMenuEntry Separator();
    static RibbonMenuEntry SubMenu(std::string text, UINT id, int image, std::string label,
                                   std::span<const res::MenuItem> items);
};

// A command the quick-access toolbar offers, and whether it stands there by default.
struct QuickAccessCommand {
    UINT id = 0;
    std::string text;
    int image = -1;
    bool shown = false;
};

class RibbonBar : public QWidget {
public:
    // Takes its place above the frame's client area.
    explicit RibbonBar(FrameWindow* frame);
    ~RibbonBar() override;

    void SetImages(std::vector<QPixmap> small, std::vector<QPixmap> large);

    void SetApplicationButton(const QPixmap& normal, const QPixmap& hot, const QPixmap& pressed, std::string tooltip);
    // `entries` end with the bottom entry (after the last separator, "&Exit").
    void SetApplicationMenu(std::vector<RibbonMenuEntry> entries);
    // The application menu as built (for tests and for looking at it).
    QMenu* ApplicationMenu() const;

    int AddCategory(std::string text);
    int AddPanel(int category, std::string caption);
    void AddElement(int category, int panel, RibbonElement element);
    void AddTabRowElement(RibbonElement element);

    // The widget of the first element with `id` (categories first, then the tab row and the
    // quick-access toolbar), or null.
    QWidget* FindElement(UINT id) const;
    const RibbonElement* ElementAt(int category, int panel, int index) const;
    QWidget* ElementWidgetAt(int category, int panel, int index) const;
    // False when there is no element at that place.
    bool ReplaceElement(int category, int panel, int index, RibbonElement element);
    void RecalcLayout();

    void SetActiveCategory(int category);

    // Minimised: only the tab row shows; a click on a tab drops that category down over the
    // client area until a command runs or a click goes elsewhere.
    bool IsMinimized() const { return minimized_; }
    void SetMinimized(bool minimized);
    // Whether a minimised ribbon's category is dropped down now.
    bool IsDroppedDown() const;

    // The offered commands in order, the shown ones marked; shows the marked ones.
    void SetQuickAccessCommands(std::vector<QuickAccessCommand> offered);
    // The commands the toolbar shows, in order.
    const std::vector<UINT>& QuickAccessShown() const { return shown_; }
    // Shows or takes away an offered command (what the customise menu does); false for
    // a command that is not offered.
    bool SetQuickAccessShown(UINT id, bool shown);
    bool QuickAccessOnTop() const { return quickOnTop_; }
    void SetQuickAccessOnTop(bool onTop);
    QWidget* QuickAccessBar() const;
    // The customise menu, built afresh each time.
    std::unique_ptr<QMenu> QuickAccessMenu();

    // The state under `section`: "QuickAccessToolbarOnTop", "Number Commands",
    // "MFCRibbonBar-%d", "IsMinimized". Loading ignores a damaged list (wrong count,
    // unknown or repeated commands) and flags other than 0 and 1.
    bool SaveState(IniFile& settings, const std::string& section) const;
    void LoadState(const IniFile& settings, const std::string& section);

    // Asks the frame's route for every element's state now (the idle update does this).
    void UpdateStates();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Panel;
    struct Category;
    class Updater;

    QWidget* MakeElementWidget(const RibbonElement& element, bool large, QWidget* parent);
    void LayoutCategory(Category& category);
    void LayoutPanel(Panel& panel, bool large);
    void FitCategories();
    void RebuildQuickAccess();
    void PlaceQuickAccess();
    void ShowDropDown();
    void CloseDropDown();
    void Raise(UINT id);
    QPixmap SmallImage(int index) const;
    QPixmap LargeImage(int index) const;
    void OnTabClicked(int index);
    void OnTabDoubleClicked(int index);

    FrameWindow* frame_;
    std::vector<QPixmap> small_;
    std::vector<QPixmap> large_;
    std::vector<std::unique_ptr<Category>> categories_;
    std::vector<std::pair<RibbonElement, QWidget*>> tabRowElements_;
    std::vector<QuickAccessCommand> offered_;
    std::vector<UINT> shown_;
    std::vector<UINT> defaultShown_;
    bool quickOnTop_ = true;
    bool minimized_ = false;
    QElapsedTimer sinceDoubleClick_;

    QVBoxLayout* layout_;
    QWidget* quickBar_;
    QHBoxLayout* quickLayout_;
    QToolButton* quickArrow_;
    std::vector<QToolButton*> quickButtons_;
    QWidget* tabRow_;
    QHBoxLayout* tabRowLayout_;
    QToolButton* appButton_ = nullptr;
    QMenu* appMenu_ = nullptr;
    QTabBar* tabs_;
    QHBoxLayout* rightLayout_;
    QStackedWidget* pages_;
    QWidget* dropDown_;
    std::unique_ptr<Updater> updater_;
};

}  // namespace plat
