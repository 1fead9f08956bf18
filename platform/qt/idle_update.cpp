#include "platform/qt/idle_update.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <vector>

namespace plat {

namespace {

constexpr int kMinInterval = 100;  // ms between two passes

class IdleUpdater : public QObject {
public:
    static IdleUpdater& Instance() {
        static IdleUpdater updater;
        return updater;
    }

    void Add(CommandUser* user) {
        users_.push_back(user);
        Hook();
    }

    void Remove(CommandUser* user) {
        // Null while a pass runs over the list, so the pass does not lose its place.
        std::replace(users_.begin(), users_.end(), user, static_cast<CommandUser*>(nullptr));
        if (passes_ == 0) Compact();
    }

    void RunNow() {
        ++passes_;
        // Users made during the pass wait for the next one.
        const std::size_t count = users_.size();
        for (std::size_t i = 0; i < count; ++i) {
            if (CommandUser* user = users_[i]) user->UpdateCommandUI();
        }
        --passes_;
        if (passes_ == 0) Compact();
        sinceLast_.start();
        eventsSinceLast_ = false;
    }

private:
    IdleUpdater() {
        pending_.setSingleShot(true);
        QObject::connect(&pending_, &QTimer::timeout, this, [this] { RunNow(); });
    }

    void Hook() {
        QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance(
            QCoreApplication::instance() ? QCoreApplication::instance()->thread() : nullptr);
        if (!dispatcher || dispatcher == hooked_) return;
        hooked_ = dispatcher;
        QObject::connect(dispatcher, &QAbstractEventDispatcher::awake, this, [this] { eventsSinceLast_ = true; });
        QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, [this] { AboutToBlock(); });
    }

    void AboutToBlock() {
        if (!eventsSinceLast_ || users_.empty()) return;
        const qint64 elapsed = sinceLast_.isValid() ? sinceLast_.elapsed() : kMinInterval;
        if (elapsed >= kMinInterval) {
            pending_.stop();
            RunNow();
        } else if (!pending_.isActive()) {
            pending_.start(static_cast<int>(kMinInterval - elapsed));
        }
    }

    void Compact() { users_.erase(std::remove(users_.begin(), users_.end(), nullptr), users_.end()); }

    std::vector<CommandUser*> users_;
    int passes_ = 0;
    bool eventsSinceLast_ = true;
    QElapsedTimer sinceLast_;
    QTimer pending_;
    QPointer<QAbstractEventDispatcher> hooked_;
};

}  // namespace

CommandUser::CommandUser() { IdleUpdater::Instance().Add(this); }

CommandUser::~CommandUser() { IdleUpdater::Instance().Remove(this); }

void RunIdleUpdateNow() { IdleUpdater::Instance().RunNow(); }

}  // namespace plat
