#pragma once
// `qx680 --capture FILE`: a HidBackend in front of another that writes every input report the
// link receives to a capture file, for support to replay later.

#include <QIODevice>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "link/hid_backend.h"

namespace qx {

/// Forwards every call to `inner` and wraps the report callbacks: each report delivered to a
/// reader is written as one capture line, then handed on unchanged. The capture starts at the
/// first StartReading (the first Connect); its "# start" line is that time of day cut to the
/// whole second, and offsets count from that whole second, so "# start" plus an offset is the
/// time of day of the report. Every line is flushed at once, so a capture survives a crash.
///
/// A write that fails ends the capture (one warning on standard error); the link is not
/// disturbed. GUI thread only, as every HidBackend.
class CapturingBackend : public HidBackend {
  public:
    /// `out` must be open for writing. `nowMs` is a monotonic clock in milliseconds and
    /// `timeOfDayMs` the local time of day; both injectable for tests.
    CapturingBackend(std::unique_ptr<HidBackend> inner, std::unique_ptr<QIODevice> out,
                     std::function<std::int64_t()> nowMs,
                     std::function<std::int32_t()> timeOfDayMs);
    /// Real clocks.
    CapturingBackend(std::unique_ptr<HidBackend> inner, std::unique_ptr<QIODevice> out);
    ~CapturingBackend() override;

    bool Failed() const { return failed_; }
    std::uint64_t ReportsWritten() const { return written_; }
    HidBackend& inner() { return *inner_; }

    void SetDeviceChangeHandler(std::function<void()> handler) override;
    std::vector<HidDeviceInfo> Devices() const override;
    HidHandle Claim(std::size_t index) override;
    void Release(HidHandle device) override;
    bool CanReadWrite(HidHandle device) override;
    bool SendFeatureReport(HidHandle device, std::span<const std::uint8_t> report) override;
    void StartReading(HidHandle device, HidReportCallback callback) override;
    void StopReading(HidHandle device) override;

  private:
    void Record(std::span<const std::uint8_t> payload);
    bool Write(const std::string& text);

    std::unique_ptr<HidBackend> inner_;
    std::unique_ptr<QIODevice> out_;
    std::function<std::int64_t()> nowMs_;
    std::function<std::int32_t()> timeOfDayMs_;
    std::optional<std::int64_t> originMs_;  // on nowMs_, the whole second the capture started
    bool failed_ = false;
    std::uint64_t written_ = 0;
};

}  // namespace qx
