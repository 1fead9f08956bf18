#include "platform/qt/command_target.h"

#include <ranges>

#include "platform/qt/message_window.h"

namespace plat {

bool CommandTarget::OnCmdMsg(UINT id, Call call, CmdUI* ui) {
    if (call == Call::Update) {
        for (const UpdateEntry& entry : std::views::reverse(updates_)) {
            if (id < entry.first || id > entry.last) continue;
            // A copy: the handler may change the maps while it runs.
            const auto update = entry.update;
            update(*ui);
            return true;
        }
        return false;
    }
    for (const CommandEntry& entry : std::views::reverse(commands_)) {
        if (id < entry.first || id > entry.last) continue;
        if (call == Call::Run) {
            const auto run = entry.run;
            run(id);
        }
        return true;
    }
    return false;
}

void CommandTarget::UpdateCommandUI(CmdUI& ui) {
    ui.Reset();
    if (!OnCmdMsg(ui.Id(), Call::Update, &ui)) ui.Enable(OnCmdMsg(ui.Id(), Call::Probe, nullptr));
}

bool CommandTarget::DispatchCommand(UINT id) {
    CmdUI ui(id);
    UpdateCommandUI(ui);
    if (!ui.IsEnabled()) return false;
    return OnCmdMsg(id, Call::Run, nullptr);
}

CommandTarget* CommandRouteOf(HWND window) { return dynamic_cast<CommandTarget*>(MessageWindow::FromHwnd(window)); }

}  // namespace plat
