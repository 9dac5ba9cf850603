#include "sim/log_session.h"

#include "sim/replay_backend.h"

namespace qx {

std::optional<std::string> LogOptions::Problem() const {
    if (interval) {
        if (!RecordingPolicy::AcceptsIntervalText(*interval))
            return "the interval \"" + *interval + "\" is not a number of seconds (digits only)";
        if (!RecordingPolicy::IntervalSeconds(*interval))
            return RecordingPolicy::ConversionError(*interval);
    }
    if (limit && *limit < 0) return "the record limit must not be negative";
    return std::nullopt;
}

LogSession::LogSession(HidBackend& hid, IntervalTimer& timer2, MeasurementTable& table,
                       const LogOptions& options, RecordingPolicy::Clock clock)
    : decoder_(lcd_, *this, options.decimalSeparator),
      policy_(table, *this, std::move(clock)),
      assembler_([this](const std::string& frame) {
          ++framesDecoded_;
          decoder_.ShowData680(frame);
      }) {
    policy_.SetRepeatSet(options.repeat);
    if (options.interval) {
        // As if the operator put the text into the box: a new text restarts the countdown from
        // it (so the first row waits for it), the design text "10" changes nothing.
        if (*options.interval != policy_.RecordSITime())
            policy_.RecordSITimeChange(*options.interval);
        policy_.SetRecordSI(true);
    }
    if (options.limit) policy_.SetRecordLimit(*options.limit);
    link_ = std::make_unique<LinkController>(
        hid, timer2, static_cast<LinkUi&>(*this),
        [this](std::uint8_t id, std::span<const std::uint8_t> payload) {
            assembler_.Read470(id, payload);
        });
}

LogSession::~LogSession() {
    link_.reset();
}

bool LogSession::Connect() {
    linkMessage_.clear();
    link_->Panel2Click();
    if (link_->LinkOpen()) return true;
    if (linkMessage_.empty())
        linkMessage_ = std::string("The cable \"") + LinkController::kCableCaption +
                       "\" is plugged in but cannot be opened for reading and writing "
                       "(on Linux: is the udev rule installed?).";
    return false;
}

ReplayLogSummary RunReplayLog(const Capture& capture, const LogOptions& options,
                              MeasurementTable& table, std::optional<std::int64_t> untilMs) {
    constexpr std::int64_t kDayMs = 86'400'000;
    const std::int64_t startOfDay = capture.startOfDayMs.value_or(0);

    ManualClock clock;
    ManualTimer timer2(clock, LinkController::kNoDataIntervalMs);
    ManualTimer sampInterTime(clock, 1000);
    // The replay's own clock is not used: this loop says when each report is due.
    ReplayBackend hid(capture, nullptr, [&clock] { return clock.NowMs(); });
    ReplayLogSummary summary;
    LogSession session(hid, timer2, table, options, [&] {
        return static_cast<std::int32_t>((startOfDay + hid.DeliveringStampMs()) % kDayMs);
    });
    sampInterTime.SetTimeoutHandler([&session] { session.SampInterTimeTimer(); });
    sampInterTime.Start();
    session.Connect();  // a replay always has its cable

    int waitsAfterEnd = 0;  // the watchdog alternates, so two ticks always reopen the link
    for (;;) {
        std::optional<std::int64_t> report = hid.NextOffsetMs();
        if (report && untilMs && *report >= *untilMs) report.reset();
        // Reports that came while the watchdog held the link closed wait for it to reopen,
        // which happens at one of its ticks.
        std::optional<std::int64_t> reopen;
        if (hid.QueuedReports() > 0 && timer2.IsActive()) reopen = timer2.DeadlineMs();
        if (!report && reopen && ++waitsAfterEnd > 2) break;
        if (reopen && (!report || *reopen < *report)) {
            clock.Advance(*reopen - clock.NowMs());
            hid.DeliverWaiting();
        } else if (report) {
            clock.Advance(*report - clock.NowMs());
            hid.DeliverUpTo(*report);
        } else {
            break;
        }
    }
    summary.frames = session.FramesDecoded();
    summary.reports = hid.Played();
    summary.errors = session.Errors();
    return summary;
}

}  // namespace qx
