#include "platform/core/named_event.h"

#include <string>

#include "platform/core/errors.h"
#include "platform/core/named_object_files.h"

namespace plat {

struct NamedEventState {
    PresenceMark presence;
};

namespace {

NamedObjectTable<NamedEventState>& OpenEvents() {
    static NamedObjectTable<NamedEventState> table;
    return table;
}

}  // namespace

NamedEvent::~NamedEvent() = default;
NamedEvent::NamedEvent(NamedEvent&&) noexcept = default;
NamedEvent& NamedEvent::operator=(NamedEvent&&) noexcept = default;

NamedEvent NamedEvent::Create(std::string_view name) {
    ObjectName parsed;
    if (!ParseObjectName(name, parsed)) return {};
    const std::string folder = ObjectFolder(parsed.scope);
    if (folder.empty()) return {};
    const std::string fileName = EncodeObjectName(parsed.body) + ".event-open";

    bool openHere = false;
    bool openElsewhere = false;
    auto state =
        OpenEvents().FindOrCreate(folder + "/" + fileName, openHere, [&]() -> std::shared_ptr<NamedEventState> {
            auto made = std::make_shared<NamedEventState>();
            if (!made->presence.Take(folder, fileName, parsed.scope, openElsewhere)) return nullptr;
            return made;
        });
    if (!state) return {};

    NamedEvent event;
    event.state_ = std::move(state);
    event.alreadyExisted_ = openHere || openElsewhere;
    SetLastError(event.alreadyExisted_ ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return event;
}

void NamedEvent::Close() {
    state_.reset();
    alreadyExisted_ = false;
}

}  // namespace plat
