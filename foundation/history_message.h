#pragma once
// The path that WM_SYNC_HISTORY_CHANGED and WM_SYNC_CLEAR_HISTORY carry in w.
//
// The messages may be posted, so w cannot point at the sender's text. Instead the sender
// leaves a copy of the path in keeping here and w is its ticket; the receiver takes the
// copy out with TakeHistoryPathParam, which ends the keeping. A ticket is taken once: a
// second take, or a w that was never a ticket, gives nothing, so no receiver can free a
// text twice or free what was never allocated. A copy whose message was never handled
// (its window went first) stays in keeping until the program ends and is freed then.

#include <optional>
#include <string>
#include <string_view>

#include "platform/core/win_types.h"

// Keeps a copy of `path` and returns the w that names it.
WPARAM MakeHistoryPathParam(std::string_view path);

// The receiver's side: the path that `w` names, taken out of keeping; nothing when w
// names no kept path.
std::optional<std::string> TakeHistoryPathParam(WPARAM w);

// Sends `message` (l = 0) with a kept copy of `path`. A receiver that handles it takes the
// copy; when none did (no window, a window that is gone, a receiver that ignored it) the
// copy is dropped here. Returns the receiver's result.
LRESULT SendHistoryPathMessage(HWND window, UINT message, std::string_view path);

// Posts `message` (l = 0) with a kept copy of `path`; when the post fails the copy is
// dropped at once.
BOOL PostHistoryPathMessage(HWND window, UINT message, std::string_view path);
