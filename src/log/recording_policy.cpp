#include "log/recording_policy.h"

#include <QTime>

namespace qx {

std::int32_t RecordingPolicy::LocalTimeOfDayMs() {
    return QTime::currentTime().msecsSinceStartOfDay();
}

RecordingPolicy::RecordingPolicy(MeasurementTable& table, RecordingUi& ui, Clock clock)
    : table_(table), ui_(ui), clock_(std::move(clock)) {}

void RecordingPolicy::INDataToTable(int kind, const Reading& reading) {
    if (kind != 1) return;
    INDataToTable(kind, reading, clock_());
}

void RecordingPolicy::INDataToTable(int kind, const Reading& reading, std::int32_t timeOfDayMs) {
    if (kind != 1) return;
    if (nextRecordNo_ > recordLimit_) return;
    // A countdown below zero can only come from a signed interval text; treating it as "no wait"
    // keeps recording from stopping for good, since the tick never raises it.
    if (recordSI_ && sampleCountdown_ > 0) return;
    if (!repeatSet_ && reading.ReadingValue == lastRecordedValue_) return;

    const std::optional<std::int32_t> reload = IntervalSeconds(recordSITime_);
    if (!reload) {
        // Readings arrive twice a second: tell the operator once per text, not once per frame.
        // The flag is set before the box opens because the box's event loop decodes more frames.
        if (!badIntervalReported_) {
            badIntervalReported_ = true;
            ui_.ShowErrorText(ConversionError(recordSITime_));
        }
        return;
    }
    sampleCountdown_ = *reload;

    table_.Append(TableRow{nextRecordNo_, timeOfDayMs, reading.ReadingValue, reading.ReadingUnit,
                           reading.ReadingFunction, reading.ReadingMode});
    ++nextRecordNo_;
    lastRecordedValue_ = reading.ReadingValue;
}

void RecordingPolicy::SampInterTimeTimer() {
    if (recordSI_ && sampleCountdown_ > 0) --sampleCountdown_;
}

void RecordingPolicy::RecordSITimeChange(std::string_view text) {
    recordSITime_.assign(text);
    badIntervalReported_ = false;
    if (const std::optional<std::int32_t> seconds = IntervalSeconds(text)) {
        sampleCountdown_ = *seconds;
        return;
    }
    // Frames decoded inside this box's event loop must not stack a second box on it; once it
    // is closed, the recording path tells the operator once that readings are being dropped.
    const std::string shown = recordSITime_;
    badIntervalReported_ = true;
    ui_.ShowErrorText(ConversionError(shown));
    if (recordSITime_ == shown) badIntervalReported_ = false;
}

bool RecordingPolicy::RecordSITimeKeyPress(char key) {
    return (key >= '0' && key <= '9') || key == '\b';
}

bool RecordingPolicy::AcceptsIntervalText(std::string_view text) {
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

std::optional<std::int32_t> RecordingPolicy::IntervalSeconds(std::string_view text) {
    if (text.empty() || text == "-" || text == "+") return 0;
    bool negative = false;
    if (text.front() == '-' || text.front() == '+') {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return std::nullopt;
    std::int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > std::int64_t{2147483648}) return std::nullopt;
    }
    if (negative) value = -value;
    if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::string RecordingPolicy::ConversionError(std::string_view text) {
    return "'" + std::string(text) + "' is not a valid integer value";
}

void RecordingPolicy::SetRecordLimit(std::int32_t limit) {
    recordLimit_ = limit;
}

int RecordingPolicy::CheckedLimitItem() const {
    for (std::size_t i = 0; i < kRecordLimitItems.size(); ++i)
        if (kRecordLimitItems[i].limit == recordLimit_) return static_cast<int>(i);
    return -1;
}

void RecordingPolicy::ClearRClick() {
    if (!ui_.AskYesNo(kClearQuestion)) return;
    if (!table_.Empty()) table_.Clear();
    nextRecordNo_ = 1;
}

}  // namespace qx
