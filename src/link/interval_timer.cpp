#include "link/interval_timer.h"

#include <algorithm>

namespace qx {

QtIntervalTimer::QtIntervalTimer(int intervalMs) {
    timer_.setInterval(intervalMs);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        if (handler_) handler_();
    });
}

void QtIntervalTimer::SetTimeoutHandler(std::function<void()> handler) {
    handler_ = std::move(handler);
}

ManualTimer::ManualTimer(ManualClock& clock, int intervalMs)
    : clock_(clock), intervalMs_(std::max(intervalMs, 1)) {  // 0 would fire forever at one instant
    clock_.timers_.push_back(this);
}

ManualTimer::~ManualTimer() {
    auto& t = clock_.timers_;
    t.erase(std::remove(t.begin(), t.end(), this), t.end());
}

void ManualTimer::Start() {
    active_ = true;
    deadlineMs_ = clock_.nowMs_ + intervalMs_;
}

void ManualTimer::Fire() {
    deadlineMs_ += intervalMs_;  // before the handler, which may restart or stop it
    if (handler_) handler_();
}

void ManualClock::Advance(std::int64_t ms) {
    const std::int64_t target = nowMs_ + ms;
    for (;;) {
        ManualTimer* next = nullptr;
        for (ManualTimer* t : timers_)
            if (t->active_ && t->deadlineMs_ <= target &&
                (!next || t->deadlineMs_ < next->deadlineMs_))
                next = t;
        if (!next) break;
        nowMs_ = next->deadlineMs_;
        next->Fire();
    }
    nowMs_ = target;
}

}  // namespace qx
