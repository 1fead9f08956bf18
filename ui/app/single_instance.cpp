#include "ui/app/single_instance.h"

#include "platform/core/window.h"

namespace {

constexpr UINT kFrameAnswerTimeoutMs = 2000;

}  // namespace

std::optional<plat::NamedEvent> ClaimSingleInstance(std::string_view title, const std::function<void(DWORD)>& sleep) {
    plat::NamedEvent event = plat::NamedEvent::Create(title);
    if (!event.AlreadyExisted()) return event;
    for (int attempt = 1; attempt <= kWakeTries; ++attempt) {
        LRESULT answer = 0;
        const plat::CopyDataPayload empty;
        const auto sent = plat::SendToRunningCopy(kFrameWindowClass, empty, answer);
        if (sent == plat::SendToRunningCopyResult::Delivered) break;
        sleep(kWakeRetryMs);
    }
    return std::nullopt;
}

std::unique_ptr<plat::InstanceListener> ListenForLaterStarts(HWND frame) {
    // The wake-up carries no data, and a send that timed out may still be handled after
    // the payload is gone, so l is 0.
    return plat::InstanceListener::Start(kFrameWindowClass, [frame](const plat::CopyDataPayload&) -> LRESULT {
        LRESULT answer = FALSE;
        if (!SendMessageTimeout(frame, WM_COPYDATA, 0, 0, kFrameAnswerTimeoutMs, &answer)) return FALSE;
        return answer;
    });
}
