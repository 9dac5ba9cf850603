#include "link/hid_reader.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QObject>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace qx {
namespace {

using Bytes = std::vector<std::uint8_t>;

int argc = 1;
char arg0[] = "link_tests";
char* argv[] = {arg0, nullptr};

// Stands in for hid_read_timeout: scripted reports, a count of reads that returned data.
class ScriptedDevice {
  public:
    void Push(Bytes report) {
        {
            std::lock_guard lock(mutex_);
            queue_.push_back(std::move(report));
        }
        changed_.notify_all();
    }
    int Read(std::uint8_t* buffer, std::size_t size, int timeoutMs) {
        std::unique_lock lock(mutex_);
        if (!changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                               [&] { return !queue_.empty(); }))
            return 0;
        Bytes r = std::move(queue_.front());
        queue_.pop_front();
        const std::size_t n = std::min(size, r.size());
        std::copy(r.begin(), r.begin() + n, buffer);
        ++returned_;
        changed_.notify_all();
        return static_cast<int>(n);
    }
    // Waits (on the test thread) until `n` reports have been read by the reader.
    bool WaitReturned(int n) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(5), [&] { return returned_ >= n; });
    }
    int Returned() {
        std::lock_guard lock(mutex_);
        return returned_;
    }
    HidReader::ReadFunction Function() {
        return [this](std::uint8_t* b, std::size_t s, int t) { return Read(b, s, t); };
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Bytes> queue_;
    int returned_ = 0;
};

class HidReaderTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
    }
    // Runs the event loop until `pred` holds or 5 s pass.
    template <typename Pred>
    bool ProcessUntil(Pred pred) {
        QDeadlineTimer deadline(5000);
        while (!pred() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        return pred();
    }
    void ProcessFor(int ms) {
        QDeadlineTimer deadline(ms);
        while (!deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    HidReportCallback Record() {
        return [this](std::uint8_t id, std::span<const std::uint8_t> p) {
            EXPECT_EQ(id, 0);
            EXPECT_EQ(std::this_thread::get_id(), guiThread);
            received.emplace_back(p.begin(), p.end());
            if (onReport) onReport();
        };
    }

    const std::thread::id guiThread = std::this_thread::get_id();
    QObject context;
    ScriptedDevice device;
    std::vector<Bytes> received;
    std::function<void()> onReport;
};

TEST_F(HidReaderTest, DeliversInOrderOnTheGuiThreadOneAtATime) {
    HidReader reader(&context, device.Function(), 64, Record());
    for (std::uint8_t i = 1; i <= 3; ++i) device.Push({0xF1, i});
    ASSERT_TRUE(device.WaitReturned(1));
    // Handed over but not delivered: the reader waits instead of reading on.
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    EXPECT_EQ(device.Returned(), 1);
    ASSERT_TRUE(ProcessUntil([&] { return received.size() == 3; }));
    EXPECT_EQ(received, (std::vector<Bytes>{{0xF1, 1}, {0xF1, 2}, {0xF1, 3}}));
    reader.Stop(HidReader::Pending::Deliver);
}

TEST_F(HidReaderTest, StopDeliversWhatWasHandedOverAndNothingAfterwards) {
    HidReader reader(&context, device.Function(), 64, Record());
    device.Push({0xF1, 0xAA});
    ASSERT_TRUE(device.WaitReturned(1));
    reader.Stop(HidReader::Pending::Deliver);  // no event loop ran: delivered from inside
    EXPECT_EQ(received, (std::vector<Bytes>{{0xF1, 0xAA}}));
    device.Push({0xF1, 0xBB});
    ProcessFor(300);  // the stale queued delivery and the new report: neither arrives
    EXPECT_EQ(received.size(), 1u);
    EXPECT_EQ(device.Returned(), 1);  // the report stays with the device for the next reader
    HidReader next(&context, device.Function(), 64, Record());
    ASSERT_TRUE(ProcessUntil([&] { return received.size() == 2; }));
    EXPECT_EQ(received.back(), (Bytes{0xF1, 0xBB}));
}

TEST_F(HidReaderTest, DiscardingStopDropsTheHandedOverReport) {
    HidReader reader(&context, device.Function(), 64, Record());
    device.Push({0xF1, 0xAA});
    ASSERT_TRUE(device.WaitReturned(1));
    reader.Stop(HidReader::Pending::Discard);
    ProcessFor(200);
    EXPECT_TRUE(received.empty());
}

// A callback that stops its own reader (a link operation run from inside the decoder, or from a
// nested event loop) must not wait for itself.
TEST_F(HidReaderTest, StopFromInsideTheCallbackDoesNotDeadlock) {
    std::unique_ptr<HidReader> reader;
    onReport = [&] {
        reader->Stop(HidReader::Pending::Deliver);
        reader->Stop(HidReader::Pending::Deliver);  // nested stops are harmless
    };
    reader = std::make_unique<HidReader>(&context, device.Function(), 64, Record());
    device.Push({0xF1, 1});
    device.Push({0xF1, 2});
    ASSERT_TRUE(ProcessUntil([&] { return !received.empty(); }));
    ProcessFor(200);
    EXPECT_EQ(received.size(), 1u);
    reader->Stop(HidReader::Pending::Deliver);
}

TEST_F(HidReaderTest, ReadErrorsAreRetriedSilently) {
    std::atomic<int> calls{0};
    auto failing = [&](std::uint8_t* b, std::size_t s, int t) {
        if (++calls <= 2) return -1;
        return device.Read(b, s, t);
    };
    HidReader reader(&context, failing, 64, Record());
    device.Push({0xF2, 1, 2});
    ASSERT_TRUE(ProcessUntil([&] { return received.size() == 1; }));
    EXPECT_GE(calls.load(), 3);
    reader.Stop(HidReader::Pending::Deliver);
}

}  // namespace
}  // namespace qx
