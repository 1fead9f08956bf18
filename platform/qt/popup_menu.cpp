#include "platform/qt/popup_menu.h"

#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

#include "platform/core/window.h"
#include "platform/qt/command_target.h"
#include "platform/qt/qt_text.h"
#include "resources/menus.h"

namespace plat {

namespace {

constexpr const char* kRadioGroup = "qbRadioGroup";

UINT CommandOf(const QAction* action) { return action ? action->data().toUInt() : 0; }

QActionGroup* RadioGroup(QMenu* menu) {
    auto* group = menu->findChild<QActionGroup*>(QLatin1String(kRadioGroup), Qt::FindDirectChildrenOnly);
    if (!group) {
        group = new QActionGroup(menu);
        group->setObjectName(QLatin1String(kRadioGroup));
        group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    }
    return group;
}

// Fills `menu`; `send` makes a chosen item send WM_COMMAND at once (a menu run by
// TrackPopupMenu sends after it has closed instead).
void AddItems(QMenu* menu, std::span<const res::MenuItem> items, HWND owner, bool send) {
    QObject::connect(menu, &QMenu::aboutToShow, menu, [menu, owner] { UpdateMenuItems(menu, owner); });
    for (const res::MenuItem& item : items) {
        switch (item.kind) {
        case res::MenuItem::Kind::Separator: menu->addSeparator(); break;
        case res::MenuItem::Kind::SubMenu:
            AddItems(menu->addMenu(ToQString(item.text)), item.items, owner, send);
            break;
        case res::MenuItem::Kind::Command: {
            QAction* action = menu->addAction(ToQString(item.text));
            action->setData(item.id);
            if (send) {
                const UINT id = item.id;
                QObject::connect(action, &QAction::triggered, menu,
                                 [owner, id] { SendMessage(owner, WM_COMMAND, id, 0); });
            }
            break;
        }
        }
    }
}

}  // namespace

void UpdateMenuItems(QMenu* menu, HWND owner) {
    CommandTarget* route = CommandRouteOf(owner);
    for (QAction* action : menu->actions()) {
        const UINT id = CommandOf(action);
        if (action->isSeparator() || action->menu() || id == 0) continue;
        CmdUI ui(id);
        if (route) route->UpdateCommandUI(ui);
        action->setEnabled(ui.IsEnabled());
        if (ui.Text()) action->setText(ToQString(*ui.Text()));
        action->setActionGroup(ui.IsRadio() ? RadioGroup(menu) : nullptr);
        action->setCheckable(ui.Check() != 0);
        action->setChecked(ui.Check() != 0);
    }
}

void AddCommandItems(QMenu* menu, std::span<const res::MenuItem> items, HWND owner) {
    AddItems(menu, items, owner, true);
}

QMenu* MakeCommandMenu(std::span<const res::MenuItem> items, HWND owner, QWidget* parent) {
    auto* menu = new QMenu(parent);
    AddItems(menu, items, owner, true);
    return menu;
}

UINT TrackPopupMenu(std::span<const res::MenuItem> items, const QPoint& screenPos, HWND owner,
                    const PopupMenuOptions& options) {
    if (items.empty()) return 0;
    QMenu menu;
    AddItems(&menu, items, owner, false);
    for (QAction* action : menu.actions()) {
        if (options.defaultId == 0 || CommandOf(action) != options.defaultId || action->menu()) continue;
        QFont bold = action->font();
        bold.setBold(true);
        action->setFont(bold);
        menu.setDefaultAction(action);
        break;
    }
    const UINT chosen = CommandOf(menu.exec(screenPos));
    if (chosen != 0 && !options.returnCommand) SendMessage(owner, WM_COMMAND, chosen, 0);
    return chosen;
}

void FillMenuBar(QMenuBar* bar, const res::MenuResource& menu, HWND owner) {
    bar->clear();
    for (const res::MenuItem& item : menu.items) {
        if (item.kind == res::MenuItem::Kind::SubMenu) {
            AddItems(bar->addMenu(ToQString(item.text)), item.items, owner, true);
        } else if (item.kind == res::MenuItem::Kind::Command) {
            QAction* action = bar->addAction(ToQString(item.text));
            const UINT id = item.id;
            QObject::connect(action, &QAction::triggered, bar, [owner, id] { SendMessage(owner, WM_COMMAND, id, 0); });
        }
    }
}

}  // namespace plat
