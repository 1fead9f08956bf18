#pragma once
// Named events as the single-instance check uses them: a copy of the program creates the
// event under its title and keeps it open while it runs; a second copy's creation reports
// that the event exists. Presence is kept like that of named mutexes (named_object_files.h),
// so a copy that dies frees the name. The event is never signalled across processes.

#include <memory>
#include <string_view>

namespace plat {

struct NamedEventState;

class NamedEvent {
public:
    NamedEvent() = default;
    ~NamedEvent();
    NamedEvent(NamedEvent&&) noexcept;
    NamedEvent& operator=(NamedEvent&&) noexcept;
    NamedEvent(const NamedEvent&) = delete;
    NamedEvent& operator=(const NamedEvent&) = delete;

    // Creates the event or opens the existing one. On success GetLastError() is
    // ERROR_ALREADY_EXISTS when it was open already (here or in another process), else
    // ERROR_SUCCESS; on failure the handle is closed and GetLastError() tells why.
    static NamedEvent Create(std::string_view name);

    bool IsOpen() const { return state_ != nullptr; }
    bool AlreadyExisted() const { return alreadyExisted_; }
    void Close();

private:
    std::shared_ptr<NamedEventState> state_;
    bool alreadyExisted_ = false;
};

}  // namespace plat
