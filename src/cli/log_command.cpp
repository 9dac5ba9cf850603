// qx680-cli log: readings from the cable, the simulated tester or a capture, through the same
// assembler, decoder, link watchdog and recording policy as the window, connecting at start as
// "Connect" does; the table is written at the end as a data file or as text to standard output.

#include <QCoreApplication>
#include <QTimer>
#include <charconv>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <memory>
#include <optional>

#include "cli/commands.h"
#include "display/system_locale.h"
#include "files/data_files.h"
#include "files/text_data_file.h"
#include "link/hidapi_backend.h"
#include "sim/log_session.h"
#include "sim/simulated_tester_backend.h"

namespace qx::cli {
namespace {

constexpr int kDone = 0, kBadArguments = 2, kNoCable = 3, kCannotWrite = 4;

const char* const kUsage =
    "usage: qx680-cli log [--simulate | --replay FILE] [--no-repeat] [--interval N] [--limit N]\n"
    "                     [--decimal S] [--duration S] [--out FILE]\n"
    "  reads from the cable unless --simulate or --replay FILE is given (a replay runs on a\n"
    "  virtual clock, as fast as it can); a live log runs until --duration S seconds have\n"
    "  passed or it is interrupted (Ctrl-C); the table goes to --out FILE (layout by\n"
    "  extension) or as text to standard output\n"
    "  exit codes: 0 done, 2 bad arguments or unreadable capture, 3 no cable, 4 cannot write\n";

volatile std::sig_atomic_t gInterrupted = 0;
extern "C" void OnInterrupt(int) {
    gInterrupted = 1;
}

struct LogArgs {
    bool simulate = false;
    std::optional<std::string> replay;
    std::optional<std::string> out;
    std::optional<double> durationSeconds;
    LogOptions options;
};

int Bad(const std::string& why) {
    std::fprintf(stderr, "qx680-cli log: %s\n%s", why.c_str(), kUsage);
    return kBadArguments;
}

std::optional<std::int32_t> ParseCount(const std::string& text) {
    std::int32_t value = 0;
    const auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || p != text.data() + text.size() || value < 0) return std::nullopt;
    return value;
}

std::optional<double> ParseSeconds(const std::string& text) {
    double value = 0;
    const auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || p != text.data() + text.size() || !std::isfinite(value) || value < 0 ||
        value > 1e9)
        return std::nullopt;
    return value;
}

// Returns an exit code when the arguments cannot be used.
std::optional<int> Parse(const Args& args, LogArgs& out) {
    std::optional<std::string> decimal;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> const std::string* {
            return i + 1 < args.size() ? &args[++i] : nullptr;
        };
        if (a == "--simulate") {
            out.simulate = true;
        } else if (a == "--no-repeat") {
            out.options.repeat = false;
        } else if (a == "--replay" || a == "--out" || a == "--interval" || a == "--decimal" ||
                   a == "--limit" || a == "--duration") {
            const std::string* v = value();
            if (!v) return Bad(a + " needs a value");
            if (a == "--replay") out.replay = *v;
            if (a == "--out") out.out = *v;
            if (a == "--interval") out.options.interval = *v;
            if (a == "--decimal") decimal = *v;
            if (a == "--limit") {
                out.options.limit = ParseCount(*v);
                if (!out.options.limit)
                    return Bad("--limit needs a whole number from 0 to 2147483647");
            }
            if (a == "--duration") {
                out.durationSeconds = ParseSeconds(*v);
                if (!out.durationSeconds) return Bad("--duration needs a number of seconds");
            }
        } else {
            return Bad("unexpected argument '" + a + "'");
        }
    }
    if (out.simulate && out.replay) return Bad("--simulate and --replay exclude each other");
    if (auto problem = out.options.Problem()) return Bad(*problem);
    out.options.decimalSeparator = decimal ? *decimal : SystemDecimalSeparator();
    return std::nullopt;
}

// Live: Qt timers on an event loop, real time, until the duration ends or a signal comes.
int RunLive(const LogArgs& args, MeasurementTable& table) {
    int argc = 1;
    char name[] = "qx680-cli";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);

    std::unique_ptr<HidBackend> hid;
    if (args.simulate)
        hid = SimulatedTesterBackend::RealTime();
    else
        hid = std::make_unique<HidApiBackend>();
    QtIntervalTimer timer2(LinkController::kNoDataIntervalMs);
    QtIntervalTimer sampInterTime(1000);
    LogSession session(*hid, timer2, table, args.options, &RecordingPolicy::LocalTimeOfDayMs);
    sampInterTime.SetTimeoutHandler([&session] { session.SampInterTimeTimer(); });
    sampInterTime.Start();
    if (!session.Connect()) {
        std::fprintf(stderr, "qx680-cli log: %s\n", session.LinkMessage().c_str());
        return kNoCable;
    }

    if (args.durationSeconds)
        QTimer::singleShot(static_cast<int>(std::min(*args.durationSeconds * 1000, 2e9)), &app,
                           &QCoreApplication::quit);
    gInterrupted = 0;
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &app, [] {
        if (gInterrupted) QCoreApplication::quit();
    });
    watch.start(100);
    app.exec();
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    for (const std::string& e : session.Errors())
        std::fprintf(stderr, "qx680-cli log: %s\n", e.c_str());
    return kDone;
}

int RunReplay(const LogArgs& args, MeasurementTable& table) {
    std::string error;
    const auto capture = ReadCaptureFile(*args.replay, &error);
    if (!capture) {
        std::fprintf(stderr, "qx680-cli log: %s\n", error.c_str());
        return kBadArguments;
    }
    std::optional<std::int64_t> untilMs;
    if (args.durationSeconds) untilMs = std::llround(*args.durationSeconds * 1000);
    const ReplayLogSummary summary = RunReplayLog(*capture, args.options, table, untilMs);
    for (const std::string& e : summary.errors)
        std::fprintf(stderr, "qx680-cli log: %s\n", e.c_str());
    return kDone;
}

int WriteOutput(const LogArgs& args, const MeasurementTable& table) {
    const TimeFormat timeFormat = TimeFormat::User();
    if (args.out) {
        const FileOutcome outcome =
            SaveTableToFile(table, *args.out, kDefaultHeaderTitles, timeFormat);
        if (outcome.ok) return kDone;
        std::fprintf(stderr, "qx680-cli log: %s\n", outcome.message.c_str());
        return kCannotWrite;
    }
    const ChunkSink toStdout = [](std::string_view chunk) {
        return std::fwrite(chunk.data(), 1, chunk.size(), stdout) == chunk.size();
    };
    if (WriteTextDataFile(table, kDefaultHeaderTitles, timeFormat, toStdout) &&
        std::fflush(stdout) == 0)
        return kDone;
    std::fputs("qx680-cli log: cannot write to standard output\n", stderr);
    return kCannotWrite;
}

}  // namespace

int RunLog(const Args& argv) {
    LogArgs args;
    if (auto code = Parse(argv, args)) return *code;
    MeasurementTable table;
    const int code = args.replay ? RunReplay(args, table) : RunLive(args, table);
    if (code != kDone) return code;
    return WriteOutput(args, table);
}

}  // namespace qx::cli
