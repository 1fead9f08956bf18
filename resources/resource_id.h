#pragma once
// One named id of a kind, as each kind's header lists them all (resources/string_ids.h,
// command_ids.h, dialog_ids.h, control_ids.h, menu_ids.h, image_ids.h), so that a test can
// see every name of a kind and the number it stands for.

#include <string_view>

#include "platform/core/win_types.h"

namespace res {

struct NamedId {
    std::string_view name;
    UINT value;
};

// A control id counts within its dialog (or window): the same number names other controls
// in other dialogs.
struct NamedControlId {
    UINT dialog;  // 0 for the main window's own child windows
    std::string_view name;
    int value;
};

}  // namespace res
