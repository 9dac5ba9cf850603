#pragma once
// Headless logging (`qx680-cli log`): the frame assembler, decoder, link with its watchdog and
// recording policy wired as the window wires them, without widgets; and a capture played through
// them on a virtual clock.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "display/lcd_state.h"
#include "display/reading_decoder.h"
#include "link/frame_assembler.h"
#include "link/hid_backend.h"
#include "link/interval_timer.h"
#include "link/link_controller.h"
#include "log/measurement_table.h"
#include "log/recording_policy.h"
#include "sim/capture.h"

namespace qx {

/// The record bar's switches as the command line sets them; the rest starts at design values.
struct LogOptions {
    bool repeat = true;  ///< "Repeat" checked
    /// "Sampling Interval" checked with this text, put in as the operator would: a text other
    /// than the design "10" restarts the countdown from it.
    std::optional<std::string> interval;
    std::optional<std::int32_t> limit;  ///< RecordLimit; design value when absent
    std::string decimalSeparator = ".";

    /// Why the options cannot be used (an interval text the box would not hold or that does not
    /// convert, a negative limit); nullopt when they can.
    std::optional<std::string> Problem() const;
};

/// One log: owns the LCD state, decoder, assembler, policy and link. GUI (or main) thread only.
class LogSession : private DecoderHooks, private LinkUi, private RecordingUi {
  public:
    /// `hid`, `timer2` (the no-data timer, kNoDataIntervalMs) and `table` must outlive the
    /// session. `clock` stamps the rows' Time. The link attaches to `hid` at once.
    LogSession(HidBackend& hid, IntervalTimer& timer2, MeasurementTable& table,
               const LogOptions& options, RecordingPolicy::Clock clock);
    ~LogSession() override;

    /// Connect, as the operator's click on "Connect" does. True when the link is open; else
    /// LinkMessage() says why (no cable, or a cable that cannot be opened).
    bool Connect();
    /// The one-second tick of the sampling interval (SampInterTime).
    void SampInterTimeTimer() { policy_.SampInterTimeTimer(); }

    const std::string& LinkMessage() const { return linkMessage_; }
    /// Error texts the policy would have shown in boxes, in order.
    const std::vector<std::string>& Errors() const { return errors_; }
    std::uint64_t FramesDecoded() const { return framesDecoded_; }
    const ReadingDecoder& decoder() const { return decoder_; }
    const RecordingPolicy& policy() const { return policy_; }
    const LinkController& link() const { return *link_; }

  private:
    void RestartNoDataTimer() override { link_->RestartNoDataTimer(); }
    void DispInit(int kind) override { lcd_.DispInit(kind); }
    void INDataToTable(int kind) override { policy_.INDataToTable(kind, decoder_.reading()); }
    void ShowLinkMessage(const std::string& text) override { linkMessage_ = text; }
    void Panel2CaptionChanged(const std::string&) override {}
    bool AskYesNo(const std::string&) override { return false; }
    void ShowErrorText(const std::string& text) override { errors_.push_back(text); }

    LcdState lcd_ = LcdState::StartUp();
    ReadingDecoder decoder_;
    RecordingPolicy policy_;
    FrameAssembler assembler_;
    std::string linkMessage_;
    std::vector<std::string> errors_;
    std::uint64_t framesDecoded_ = 0;
    std::unique_ptr<LinkController> link_;  // last: goes first
};

struct ReplayLogSummary {
    std::uint64_t reports = 0;  ///< capture lines played (the rest lie at or after `untilMs`)
    std::uint64_t frames = 0;   ///< frames that reached the decoder
    std::vector<std::string> errors;
};

/// Plays `capture` through a LogSession on a virtual clock, as fast as the machine goes,
/// connecting at its start. The sampling interval's one-second tick falls on every whole second
/// of the capture; a report is handled after every tick (of the interval or the watchdog) due at
/// or before its offset. A row's Time is the capture's "# start" (else 00:00:00) plus the offset
/// of the report that completed its frame, wrapped to a day. Reports at `untilMs` or later are
/// not played.
ReplayLogSummary RunReplayLog(const Capture& capture, const LogOptions& options,
                              MeasurementTable& table,
                              std::optional<std::int64_t> untilMs = std::nullopt);

}  // namespace qx
