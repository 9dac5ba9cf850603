#pragma once
// One reader thread per open device: reads input reports and hands them, one at a time, to a
// callback on the thread of a context object (the GUI thread).

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

#include "link/hid_backend.h"

class QObject;

namespace qx {

class HidReader {
  public:
    /// Reads one report into `buffer` (at most `size` bytes), waiting at most `timeoutMs`.
    /// Returns the number of bytes read, 0 on timeout, negative on error. Called on the reader
    /// thread only; must be safe to call there while the GUI thread runs.
    using ReadFunction = std::function<int(std::uint8_t* buffer, std::size_t size, int timeoutMs)>;

    static constexpr int kPollIntervalMs = 100;

    /// Starts the thread. Reports reach `callback` through the event queue of `context`, which
    /// must live on the GUI thread and outlive this reader; every report is presented as report
    /// id 0 plus the bytes read (devices without numbered reports give no id byte). The reader
    /// waits until the callback has returned (or a stop begins) before it reads the next report.
    /// A failed read is retried after one poll interval; nothing is reported.
    HidReader(QObject* context, ReadFunction read, std::size_t reportSize,
              HidReportCallback callback);
    /// Stops without delivering.
    ~HidReader();

    HidReader(const HidReader&) = delete;
    HidReader& operator=(const HidReader&) = delete;

    enum class Pending { Deliver, Discard };

    /// GUI thread. Sets the stop flag and returns once the thread has ended (at most one poll
    /// interval plus the read in progress). With Deliver, a report that was handed over and not
    /// yet delivered is delivered from inside this call; nothing is delivered after it returns.
    /// Never waits for the event loop, so it may run inside a report callback of this very
    /// reader (the reader then stops without waiting for that callback) and may nest.
    void Stop(Pending pending);

  private:
    struct Shared;
    static void Run(std::shared_ptr<Shared> shared, QObject* context, ReadFunction read,
                    std::size_t reportSize);
    static void DeliverHandedOver(const std::shared_ptr<Shared>& shared);

    std::shared_ptr<Shared> shared_;
    std::thread thread_;
};

}  // namespace qx
