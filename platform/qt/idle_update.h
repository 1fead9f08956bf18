#pragma once
// The idle update: whatever shows commands (ribbon buttons, check boxes, toolbar buttons)
// derives from CommandUser and refreshes its enabled and checked states in
// UpdateCommandUI(). When the GUI loop has handled events and is about to wait, every
// registered user is asked again, at most every 100 ms (a later pass is armed when the
// last one was too recent), so states follow what the program does without polling while
// nothing happens.
//
//   class RibbonButton : public QToolButton, public plat::CommandUser {
//       void UpdateCommandUI() override {
//           plat::CmdUI ui(id_);
//           route_.UpdateCommandUI(ui);
//           setEnabled(ui.IsEnabled());
//       }
//   };
//
// GUI thread only. RunIdleUpdateNow() asks every user at once (tests, or a caller that
// changed many states and wants them shown before the next pass).

namespace plat {

class CommandUser {
public:
    CommandUser();
    virtual ~CommandUser();
    CommandUser(const CommandUser&) = delete;
    CommandUser& operator=(const CommandUser&) = delete;

    virtual void UpdateCommandUI() = 0;
};

void RunIdleUpdateNow();

}  // namespace plat
