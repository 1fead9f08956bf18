#pragma once
// A status bar of panes by id: main panes on the left, extended panes on the right, each
// as wide as a given sizing text in the bar's font. Texts are UTF-8.
//
//   auto* bar = new plat::StatusBar;
//   bar->AddPane(IDC_STATUS_PANE_MAIN, "Ready", kSizingText, plat::StatusBar::Side::Main);
//   bar->AddPane(IDC_STATUS_PANE_EXTENDED, *res::FindString(IDS_NO_ACTION), kSizingText,
//                plat::StatusBar::Side::Extended);
//   frame.SetStatusBar(bar);
//   bar->SetPaneText(IDC_STATUS_PANE_MAIN, "Loading tasks");   // shows at once
//
// The size grip is off unless asked for (SetSizeGrip).

#include <QStatusBar>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/win_types.h"

class QLabel;

namespace plat {

class StatusBar : public QStatusBar {
public:
    enum class Side { Main, Extended };

    explicit StatusBar(QWidget* parent = nullptr);

    void AddPane(UINT id, std::string_view text, std::string_view sizingText, Side side);
    // Sets the text and repaints the pane now; false when there is no such pane.
    bool SetPaneText(UINT id, std::string_view text);
    std::string PaneText(UINT id) const;
    // The pane's label (its width, its look), or null.
    QLabel* Pane(UINT id) const;

    void SetSizeGrip(bool on) { setSizeGripEnabled(on); }

private:
    struct Entry {
        UINT id;
        QLabel* label;
    };
    std::vector<Entry> panes_;
};

}  // namespace plat
