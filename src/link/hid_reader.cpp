#include "link/hid_reader.h"

#include <QMetaObject>
#include <QObject>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <utility>
#include <vector>

namespace qx {

// State shared by the reader thread, the GUI thread and the deliveries queued on the GUI
// thread (which may outlive the HidReader object: they hold the state, not the reader).
struct HidReader::Shared {
    explicit Shared(HidReportCallback cb) : callback(std::move(cb)) {}

    const HidReportCallback callback;  // called on the GUI thread only
    std::mutex mutex;
    std::condition_variable changed;
    // Guarded by mutex:
    bool stop = false;
    bool finished = false;
    bool handedOver = false;  // a report is waiting in `report` or is being delivered
    bool taken = false;       // ... and the GUI thread has taken it
    std::vector<std::uint8_t> report;
};

HidReader::HidReader(QObject* context, ReadFunction read, std::size_t reportSize,
                     HidReportCallback callback)
    : shared_(std::make_shared<Shared>(std::move(callback))),
      thread_(&HidReader::Run, shared_, context, std::move(read), reportSize) {}

HidReader::~HidReader() {
    Stop(Pending::Discard);
}

void HidReader::Run(std::shared_ptr<Shared> shared, QObject* context, ReadFunction read,
                    std::size_t reportSize) {
    std::vector<std::uint8_t> buffer(reportSize);
    for (;;) {
        {
            std::lock_guard lock(shared->mutex);
            if (shared->stop) break;
        }
        const int n = read(buffer.data(), buffer.size(), kPollIntervalMs);
        if (n < 0) {
            // The device may be gone; the link layer decides what to do. Retry without spinning.
            std::unique_lock lock(shared->mutex);
            shared->changed.wait_for(lock, std::chrono::milliseconds(kPollIntervalMs),
                                     [&] { return shared->stop; });
            continue;
        }
        if (n == 0) continue;
        {
            std::lock_guard lock(shared->mutex);
            shared->report.assign(buffer.begin(), buffer.begin() + n);
            shared->handedOver = true;
            shared->taken = false;
        }
        QMetaObject::invokeMethod(
            context, [shared] { DeliverHandedOver(shared); }, Qt::QueuedConnection);
        std::unique_lock lock(shared->mutex);
        // A stop does not wait for a delivery in progress: the GUI thread may be inside that
        // very callback, and waiting would deadlock both threads.
        shared->changed.wait(lock, [&] { return !shared->handedOver || shared->stop; });
        if (shared->stop) break;
    }
    {
        std::lock_guard lock(shared->mutex);
        shared->finished = true;
    }
    shared->changed.notify_all();
}

void HidReader::DeliverHandedOver(const std::shared_ptr<Shared>& shared) {
    std::vector<std::uint8_t> report;
    {
        std::lock_guard lock(shared->mutex);
        // Already delivered by a stop, or dropped by one.
        if (!shared->handedOver || shared->taken) return;
        shared->taken = true;
        report.swap(shared->report);
    }
    // The lock is not held while the callback runs: it may stop this reader.
    if (shared->callback) shared->callback(0, std::span<const std::uint8_t>(report));
    {
        std::lock_guard lock(shared->mutex);
        shared->handedOver = false;
        shared->taken = false;
    }
    shared->changed.notify_all();
}

void HidReader::Stop(Pending pending) {
    {
        std::lock_guard lock(shared_->mutex);
        shared_->stop = true;
    }
    shared_->changed.notify_all();
    for (;;) {
        std::unique_lock lock(shared_->mutex);
        shared_->changed.wait(
            lock, [&] { return shared_->finished || (shared_->handedOver && !shared_->taken); });
        if (shared_->handedOver && !shared_->taken) {
            lock.unlock();
            if (pending == Pending::Deliver) {
                DeliverHandedOver(shared_);
            } else {
                std::lock_guard drop(shared_->mutex);
                shared_->handedOver = false;
                shared_->report.clear();
            }
            continue;
        }
        break;  // finished
    }
    // A nested stop may already have joined; both run on the GUI thread, one after the other.
    if (thread_.joinable()) thread_.join();
}

}  // namespace qx
