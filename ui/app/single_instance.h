#pragma once
// One running copy of the program. The first copy creates the event named by the program's
// title and keeps it open while it runs; it listens for later starts on the channel named
// after its frame's window class and hands each one to the frame as WM_COPYDATA. A later
// start finds the event taken, wakes the running copy and ends.

#include <functional>
#include <memory>
#include <optional>
#include <string_view>

#include "platform/core/instance_channel.h"
#include "platform/core/named_event.h"
#include "platform/core/win_types.h"
#include "platform/core/window.h"

inline constexpr char kFrameWindowClass[] = "QBSyncVexo";
inline constexpr int kWakeTries = 2;
inline constexpr DWORD kWakeRetryMs = 5000;

// The event when this is the first copy. Otherwise tries at most kWakeTries times to wake
// the running copy, calling `sleep` with kWakeRetryMs after a try that found no copy, and
// returns nothing: this copy must end.
std::optional<plat::NamedEvent> ClaimSingleInstance(std::string_view title,
                                                    const std::function<void(DWORD)>& sleep = ::Sleep);

// Serves the wake-ups of later starts: each reaches `frame` as WM_COPYDATA (w, l: 0),
// sent with a time-out so a busy frame never holds the channel;
// the frame's answer goes back. Null when the channel cannot be opened.
std::unique_ptr<plat::InstanceListener> ListenForLaterStarts(HWND frame);
