#pragma once
// A repeating timer behind an interface, so the watchdog runs on QTimer in the program and in
// virtual time in tests.

#include <QTimer>
#include <cstdint>
#include <functional>
#include <vector>

namespace qx {

/// Repeats every interval while active. Single-threaded: used and fired on one thread.
class IntervalTimer {
  public:
    virtual ~IntervalTimer() = default;
    /// Runs at every expiry; the handler may stop or restart the timer.
    virtual void SetTimeoutHandler(std::function<void()> handler) = 0;
    /// Starts, or restarts a running timer for a full interval.
    virtual void Start() = 0;
    virtual void Stop() = 0;
    virtual bool IsActive() const = 0;
    virtual int IntervalMs() const = 0;
};

/// QTimer-driven: fires from the event loop of the thread that created it.
class QtIntervalTimer : public IntervalTimer {
  public:
    explicit QtIntervalTimer(int intervalMs);
    void SetTimeoutHandler(std::function<void()> handler) override;
    void Start() override { timer_.start(); }
    void Stop() override { timer_.stop(); }
    bool IsActive() const override { return timer_.isActive(); }
    int IntervalMs() const override { return timer_.interval(); }

  private:
    QTimer timer_;
    std::function<void()> handler_;
};

class ManualTimer;

/// Virtual time for tests and tools: nothing happens until Advance is called.
class ManualClock {
  public:
    std::int64_t NowMs() const { return nowMs_; }
    /// Moves time forward, firing every due timer in deadline order (timers started by a
    /// handler count from the moment it ran).
    void Advance(std::int64_t ms);

  private:
    friend class ManualTimer;  // timers register themselves
    std::int64_t nowMs_ = 0;
    std::vector<ManualTimer*> timers_;
};

class ManualTimer : public IntervalTimer {
  public:
    ManualTimer(ManualClock& clock, int intervalMs);
    ~ManualTimer() override;
    ManualTimer(const ManualTimer&) = delete;
    ManualTimer& operator=(const ManualTimer&) = delete;

    void SetTimeoutHandler(std::function<void()> handler) override {
        handler_ = std::move(handler);
    }
    void Start() override;
    void Stop() override { active_ = false; }
    bool IsActive() const override { return active_; }
    int IntervalMs() const override { return intervalMs_; }
    /// Virtual time of the next expiry; meaningful only while active.
    std::int64_t DeadlineMs() const { return deadlineMs_; }

  private:
    friend class ManualClock;
    void Fire();

    ManualClock& clock_;
    int intervalMs_;
    bool active_ = false;
    std::int64_t deadlineMs_ = 0;
    std::function<void()> handler_;
};

}  // namespace qx
