#include "foundation/history_message.h"

#include <mutex>
#include <unordered_map>
#include <utility>

#include "platform/core/window.h"

namespace {

class KeptPaths {
public:
    WPARAM Keep(std::string_view path) {
        const std::lock_guard guard(mutex_);
        const WPARAM ticket = nextTicket_++;
        paths_.emplace(ticket, std::string(path));
        return ticket;
    }

    std::optional<std::string> Take(WPARAM ticket) {
        const std::lock_guard guard(mutex_);
        const auto it = paths_.find(ticket);
        if (it == paths_.end()) return std::nullopt;
        std::string path = std::move(it->second);
        paths_.erase(it);
        return path;
    }

private:
    std::mutex mutex_;
    // Tickets are never reused, so a stale w can never name a newer path. 0 is never one.
    WPARAM nextTicket_ = 1;
    std::unordered_map<WPARAM, std::string> paths_;
};

KeptPaths& Kept() {
    static KeptPaths kept;
    return kept;
}

}  // namespace

WPARAM MakeHistoryPathParam(std::string_view path) { return Kept().Keep(path); }

std::optional<std::string> TakeHistoryPathParam(WPARAM w) { return Kept().Take(w); }

LRESULT SendHistoryPathMessage(HWND window, UINT message, std::string_view path) {
    const WPARAM w = MakeHistoryPathParam(path);
    const LRESULT result = SendMessage(window, message, w, 0);
    TakeHistoryPathParam(w);
    return result;
}

BOOL PostHistoryPathMessage(HWND window, UINT message, std::string_view path) {
    const WPARAM w = MakeHistoryPathParam(path);
    if (PostMessage(window, message, w, 0)) return TRUE;
    TakeHistoryPathParam(w);
    return FALSE;
}
