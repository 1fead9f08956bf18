#pragma once
// Message boxes that any thread may ask for. The GUI side installs a presenter that runs
// on the GUI thread; a box asked for on another thread is carried there and the asking
// thread waits for the answer the way SendMessage waits (still answering messages sent to
// its own windows). Tests install a ScopedMessageBoxHandler, which answers without a
// display and records what was asked.

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/win_types.h"

// Buttons.
inline constexpr UINT MB_OK = 0x00000000;
inline constexpr UINT MB_OKCANCEL = 0x00000001;
inline constexpr UINT MB_ABORTRETRYIGNORE = 0x00000002;
inline constexpr UINT MB_YESNOCANCEL = 0x00000003;
inline constexpr UINT MB_YESNO = 0x00000004;
inline constexpr UINT MB_RETRYCANCEL = 0x00000005;
inline constexpr UINT MB_CANCELTRYCONTINUE = 0x00000006;
inline constexpr UINT MB_TYPEMASK = 0x0000000F;
// Icons.
inline constexpr UINT MB_ICONHAND = 0x00000010;
inline constexpr UINT MB_ICONERROR = MB_ICONHAND;
inline constexpr UINT MB_ICONSTOP = MB_ICONHAND;
inline constexpr UINT MB_ICONQUESTION = 0x00000020;
inline constexpr UINT MB_ICONEXCLAMATION = 0x00000030;
inline constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
inline constexpr UINT MB_ICONASTERISK = 0x00000040;
inline constexpr UINT MB_ICONINFORMATION = MB_ICONASTERISK;
inline constexpr UINT MB_ICONMASK = 0x000000F0;
// Default button.
inline constexpr UINT MB_DEFBUTTON1 = 0x00000000;
inline constexpr UINT MB_DEFBUTTON2 = 0x00000100;
inline constexpr UINT MB_DEFBUTTON3 = 0x00000200;
inline constexpr UINT MB_DEFBUTTON4 = 0x00000300;
inline constexpr UINT MB_DEFMASK = 0x00000F00;
// Modality and placement.
inline constexpr UINT MB_APPLMODAL = 0x00000000;
inline constexpr UINT MB_SYSTEMMODAL = 0x00001000;
inline constexpr UINT MB_TASKMODAL = 0x00002000;
inline constexpr UINT MB_SETFOREGROUND = 0x00010000;
inline constexpr UINT MB_TOPMOST = 0x00040000;

// Answers.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;
inline constexpr int IDTRYAGAIN = 10;
inline constexpr int IDCONTINUE = 11;

namespace plat {

struct MessageBoxRequest {
    HWND owner = nullptr;
    std::string text;     // UTF-8
    std::string caption;  // UTF-8
    UINT type = MB_OK;
    DWORD askingThread = 0;
};

// Shows a box and returns the ID* of the button chosen (0 when it could not be shown).
using MessageBoxPresenter = std::function<int(const MessageBoxRequest&)>;

// Installs the presenter and the thread it runs on; an empty presenter removes it.
void SetMessageBoxPresenter(DWORD threadId, MessageBoxPresenter presenter);

// While it lives, every box is answered by `answer` instead of being shown (on the
// presenter's thread when one is installed, else on the asking thread) and recorded.
class ScopedMessageBoxHandler {
public:
    explicit ScopedMessageBoxHandler(std::function<int(const MessageBoxRequest&)> answer);
    explicit ScopedMessageBoxHandler(int fixedAnswer = IDOK);
    ~ScopedMessageBoxHandler();
    ScopedMessageBoxHandler(const ScopedMessageBoxHandler&) = delete;
    ScopedMessageBoxHandler& operator=(const ScopedMessageBoxHandler&) = delete;

    std::vector<MessageBoxRequest> Requests() const;

    struct State;

private:
    std::shared_ptr<State> state_;
    std::shared_ptr<State> previous_;
};

}  // namespace plat

int MessageBox(HWND owner, std::string_view text, std::string_view caption, UINT type);
