#include "platform/core/message_box.h"

#include <cstdio>

#include "platform/core/text.h"
#include "platform/core/window.h"

namespace plat {

struct ScopedMessageBoxHandler::State {
    std::function<int(const MessageBoxRequest&)> answer;
    mutable std::mutex mutex;
    std::vector<MessageBoxRequest> requests;
};

namespace {

struct Registry {
    std::mutex mutex;
    DWORD presenterThread = 0;
    std::shared_ptr<const MessageBoxPresenter> presenter;
    std::shared_ptr<ScopedMessageBoxHandler::State> handler;
};

Registry& TheRegistry() {
    static Registry* const registry = new Registry;
    return *registry;
}

int Present(const MessageBoxRequest& request) {
    std::shared_ptr<ScopedMessageBoxHandler::State> handler;
    std::shared_ptr<const MessageBoxPresenter> presenter;
    {
        std::lock_guard lock(TheRegistry().mutex);
        handler = TheRegistry().handler;
        presenter = TheRegistry().presenter;
    }
    if (handler) {
        {
            std::lock_guard lock(handler->mutex);
            handler->requests.push_back(request);
        }
        return handler->answer(request);
    }
    if (presenter && *presenter) return (*presenter)(request);
    // No display: the question cannot be asked; say so where a developer will see it.
    std::fprintf(stderr, "message box without a display: %s: %s\n", request.caption.c_str(), request.text.c_str());
    return 0;
}

}  // namespace

void SetMessageBoxPresenter(DWORD threadId, MessageBoxPresenter presenter) {
    std::lock_guard lock(TheRegistry().mutex);
    if (presenter) {
        TheRegistry().presenterThread = threadId;
        TheRegistry().presenter = std::make_shared<const MessageBoxPresenter>(std::move(presenter));
    } else {
        TheRegistry().presenterThread = 0;
        TheRegistry().presenter.reset();
    }
}

ScopedMessageBoxHandler::ScopedMessageBoxHandler(std::function<int(const MessageBoxRequest&)> answer)
    : state_(std::make_shared<State>()) {
    state_->answer = std::move(answer);
    std::lock_guard lock(TheRegistry().mutex);
    previous_ = TheRegistry().handler;
    TheRegistry().handler = state_;
}

ScopedMessageBoxHandler::ScopedMessageBoxHandler(int fixedAnswer)
    : ScopedMessageBoxHandler([fixedAnswer](const MessageBoxRequest&) { return fixedAnswer; }) {}

ScopedMessageBoxHandler::~ScopedMessageBoxHandler() {
    std::lock_guard lock(TheRegistry().mutex);
    TheRegistry().handler = previous_;
}

std::vector<MessageBoxRequest> ScopedMessageBoxHandler::Requests() const {
    std::lock_guard lock(state_->mutex);
    return state_->requests;
}

}  // namespace plat

int MessageBox(HWND owner, std::string_view text, std::string_view caption, UINT type) {
    plat::MessageBoxRequest request;
    request.owner = owner;
    request.text = std::string(text);
    request.caption = std::string(caption);
    request.type = type;
    request.askingThread = GetCurrentThreadId();
    DWORD presenterThread = 0;
    {
        std::lock_guard lock(plat::TheRegistry().mutex);
        presenterThread = plat::TheRegistry().presenterThread;
    }
    if (presenterThread == 0 || presenterThread == request.askingThread) return plat::Present(request);
    // Carried to the GUI thread; 0 when that thread is gone.
    return static_cast<int>(
        plat::CallOnThread(presenterThread, [&request]() -> LRESULT { return plat::Present(request); }));
}
