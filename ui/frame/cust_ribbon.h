#pragma once
// The main window's ribbon: the application menu, the "Home" and "Tools" categories, the
// elements on the tab row and the quick-access toolbar, all raising the main frame's
// commands. During a run the Action panel's "Clear" gives its place to "Stop".
//
//   auto* ribbon = new CCustRibbon(frame);
//   ribbon->Build();
//   ribbon->LoadState(settings);                    // at shutdown: SaveState(settings)
//   ribbon->OnBusyState(1);                         // WM_SYNC_BUSY_STATE

#include "platform/qt/ribbon_bar.h"

namespace plat {
class IniFile;
}

inline constexpr char kRibbonStateSection[] = "MFCRibbons";

class CCustRibbon : public plat::RibbonBar {
public:
    explicit CCustRibbon(plat::FrameWindow* frame);

    void Build();

    // Swaps the Action panel's Clear and Stop: w 1 (a run started) shows Stop, w 0 (no run)
    // shows Clear; a request for what is shown already changes nothing.
    void OnBusyState(WPARAM running);
    // True while Clear stands at its place.
    bool ShowsClear() const { return showsClear_; }

    bool SaveState(plat::IniFile& settings) const { return RibbonBar::SaveState(settings, kRibbonStateSection); }
    void LoadState(const plat::IniFile& settings) { RibbonBar::LoadState(settings, kRibbonStateSection); }

    int HomeCategory() const { return home_; }
    int ActionPanel() const { return action_; }

private:
    void BuildApplicationMenu();
    void BuildHome();
    void BuildTools();
    void BuildTabRow();

    int home_ = -1;
    int action_ = -1;
    bool showsClear_ = true;
};
