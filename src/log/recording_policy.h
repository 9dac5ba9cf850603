#pragma once
// The recording rules: which readings become rows of the measurement table. Owns the recording
// state (NextRecordNo, RecordLimit, LastRecordedValue, SampleCountdown) and the state of the
// record bar's switches and interval text; the widgets only mirror it. GUI thread only.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "display/reading_decoder.h"
#include "log/measurement_table.h"

namespace qx {

/// What the policy asks of the window. Called on the GUI thread; both may run a nested event
/// loop (modal boxes), during which further readings can reach INDataToTable.
class RecordingUi {
  public:
    virtual ~RecordingUi() = default;
    /// A confirmation box with Yes and No; true for Yes.
    virtual bool AskYesNo(const std::string& question) = 0;
    /// The default error report: an error box with the error's own text.
    virtual void ShowErrorText(const std::string& text) = 0;
};

/// The items of the record limit menu, in menu order.
struct RecordLimitItem {
    const char* name;
    const char* caption;
    std::int32_t limit;
};
inline constexpr std::array<RecordLimitItem, 6> kRecordLimitItems{{
    {"set1k", "1000", 1000},
    {"set5k", "5000", 5000},
    {"set10k", "10000", 10000},
    {"set50k", "50000", 50000},
    {"set100k", "100000", 100000},
    {"setlimit", "Limitless", 10'000'000},
}};

class RecordingPolicy {
  public:
    /// Local time of day in milliseconds since midnight.
    using Clock = std::function<std::int32_t()>;
    static std::int32_t LocalTimeOfDayMs();

    static constexpr const char* kClearQuestion =
        "Do you want to remove the current data and create a new data?";

    /// `table` and `ui` must outlive the policy.
    RecordingPolicy(MeasurementTable& table, RecordingUi& ui, Clock clock = &LocalTimeOfDayMs);

    /// Kind 1 records `reading` if the limit, the sampling interval and the repeat filter let it
    /// pass, in that order; other kinds do nothing. Never throws for bad interval text: the
    /// reading is dropped and the error shown once per interval text.
    void INDataToTable(int kind, const Reading& reading);
    void INDataToTable(int kind, const Reading& reading, std::int32_t timeOfDayMs);

    /// The one-second tick: counts the sampling interval down while it is switched on.
    void SampInterTimeTimer();

    /// Every change of the interval text, typed or not: restarts the countdown from the new
    /// text. Text that does not convert shows the conversion error and keeps the countdown.
    void RecordSITimeChange(std::string_view text);
    /// Key filter of the interval box: digits and backspace only.
    static bool RecordSITimeKeyPress(char key);
    /// Whether a text may stand in the interval box at all (pasted or dropped text included).
    static bool AcceptsIntervalText(std::string_view text);

    /// The reload rule: "", "-" and "+" give 0, else the text as a 32-bit decimal integer;
    /// nullopt when it does not convert.
    static std::optional<std::int32_t> IntervalSeconds(std::string_view text);
    /// The conversion error for a text IntervalSeconds refuses.
    static std::string ConversionError(std::string_view text);

    /// The record limit menu: sets RecordLimit and nothing else.
    void SetRecordLimit(std::int32_t limit);
    /// Index into kRecordLimitItems of the checked item; -1 if RecordLimit matches none.
    int CheckedLimitItem() const;

    /// "Delete Data": asks, and on Yes removes all rows and restarts numbering at 1.
    void ClearRClick();

    void SetRepeatSet(bool on) { repeatSet_ = on; }
    bool RepeatSet() const { return repeatSet_; }
    void SetRecordSI(bool on) { recordSI_ = on; }
    bool RecordSI() const { return recordSI_; }
    const std::string& RecordSITime() const { return recordSITime_; }

    std::int32_t NextRecordNo() const { return nextRecordNo_; }
    std::int32_t RecordLimit() const { return recordLimit_; }
    const std::string& LastRecordedValue() const { return lastRecordedValue_; }
    std::int32_t SampleCountdown() const { return sampleCountdown_; }

  private:
    MeasurementTable& table_;
    RecordingUi& ui_;
    Clock clock_;

    std::int32_t nextRecordNo_ = 1;
    std::int32_t recordLimit_ = 10000;
    std::string lastRecordedValue_;
    std::int32_t sampleCountdown_ = 0;

    bool repeatSet_ = true;
    bool recordSI_ = false;
    std::string recordSITime_ = "10";
    bool badIntervalReported_ = false;  // by the recording path, for the current text
};

}  // namespace qx
