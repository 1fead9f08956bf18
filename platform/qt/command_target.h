#pragma once
// Commands and their update state. A class that inherits CommandTarget maps command ids
// (or id ranges) to handlers, and ids to update handlers that say whether the command is
// enabled, checked or radio-checked, and what its text is. A command with a handler and
// no update handler is enabled; a command that nothing on the route handles is disabled
// and never runs.
//
//   class TaskListView : public QListView, public plat::View {
//   public:
//       TaskListView(QWidget* parent) : QListView(parent), plat::View(this) {
//           MapCommand(ID_DELETE_TASK, &TaskListView::OnDeleteTask);       // void ()
//           MapUpdate(ID_DELETE_TASK, &TaskListView::OnUpdateDeleteTask);  // void (CmdUI&)
//           MapCommandRange(ID_DISPLAY_ALL, ID_DISPLAY_ERRORS, &TaskListView::OnViewFilter);  // void (UINT id)
//       }
//   private:
//       void OnUpdateDeleteTask(plat::CmdUI& ui) { ui.Enable(selected_ >= 0); }
//   };
//   if (!target.DispatchCommand(ID_DELETE_TASK)) { /* disabled or unhandled: nothing ran */ }
//
// A frame routes through several targets (active view, frame, application) by overriding
// OnCmdMsg; UpdateCommandUI and DispatchCommand then ask the whole route.

#include <functional>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/core/win_types.h"

namespace plat {

// What an update handler sets for one command.
class CmdUI {
public:
    explicit CmdUI(UINT id) : id_(id) {}

    UINT Id() const { return id_; }

    void Enable(bool on = true) { enabled_ = on; }
    // 0 unchecked, 1 checked.
    void SetCheck(int check = 1) {
        check_ = check;
        radio_ = false;
    }
    // Checked with a dot, as one of a group of choices.
    void SetRadio(bool on = true) {
        check_ = on ? 1 : 0;
        radio_ = on;
    }
    void SetText(std::string text) { text_ = std::move(text); }

    bool IsEnabled() const { return enabled_; }
    int Check() const { return check_; }
    bool IsRadio() const { return radio_; }
    // The text an update handler set, if any.
    const std::optional<std::string>& Text() const { return text_; }

    // Back to the state before any handler: enabled, unchecked, no text.
    void Reset() { *this = CmdUI(id_); }

private:
    UINT id_;
    bool enabled_ = true;
    int check_ = 0;
    bool radio_ = false;
    std::optional<std::string> text_;
};

class CommandTarget {
public:
    // What OnCmdMsg is asked: run the command, fill its update state, or only say whether
    // a handler for it exists.
    enum class Call { Run, Update, Probe };

    CommandTarget() = default;
    virtual ~CommandTarget() = default;
    CommandTarget(const CommandTarget&) = delete;
    CommandTarget& operator=(const CommandTarget&) = delete;

    // This target's own maps: true when it has a handler (Run, Probe) or an update handler
    // (Update, which fills `ui`) for `id`. The most recent mapping of an id wins. A router
    // overrides this to ask its targets in order.
    virtual bool OnCmdMsg(UINT id, Call call, CmdUI* ui);

    // The command's state on the route; disabled when no target on it handles the command.
    void UpdateCommandUI(CmdUI& ui);
    // Asks the update first: a disabled or unhandled command does not run (false).
    bool DispatchCommand(UINT id);

protected:
    template <class T>
    void MapCommand(UINT id, void (T::*handler)()) {
        T* self = Self<T>();
        commands_.push_back({id, id, [self, handler](UINT) { (self->*handler)(); }});
    }
    template <class T>
    void MapCommandRange(UINT first, UINT last, void (T::*handler)(UINT)) {
        T* self = Self<T>();
        commands_.push_back({first, last, [self, handler](UINT id) { (self->*handler)(id); }});
    }
    template <class T>
    void MapUpdate(UINT id, void (T::*handler)(CmdUI&)) {
        MapUpdateRange(id, id, handler);
    }
    template <class T>
    void MapUpdateRange(UINT first, UINT last, void (T::*handler)(CmdUI&)) {
        T* self = Self<T>();
        updates_.push_back({first, last, [self, handler](CmdUI& ui) { (self->*handler)(ui); }});
    }

private:
    template <class T>
    T* Self() {
        static_assert(std::is_base_of_v<CommandTarget, T>, "the handler's class must derive from CommandTarget");
        return static_cast<T*>(this);
    }

    struct CommandEntry {
        UINT first;
        UINT last;
        std::function<void(UINT)> run;
    };
    struct UpdateEntry {
        UINT first;
        UINT last;
        std::function<void(CmdUI&)> update;
    };
    std::vector<CommandEntry> commands_;
    std::vector<UpdateEntry> updates_;
};

// The command route of a window: the window itself when it is a command target (a frame
// or a view), else null.
CommandTarget* CommandRouteOf(HWND window);

}  // namespace plat
