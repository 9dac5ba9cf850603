#include "sim/capture.h"

#include <QFile>
#include <charconv>
#include <cstdio>

namespace qx {
namespace {

constexpr std::int64_t kMaxOffsetMs = std::int64_t{1} << 53;

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view NextField(std::string_view& rest) {
    std::size_t i = 0;
    while (i < rest.size() && IsBlank(rest[i])) ++i;
    std::size_t j = i;
    while (j < rest.size() && !IsBlank(rest[j])) ++j;
    const std::string_view field = rest.substr(i, j - i);
    rest.remove_prefix(j);
    return field;
}

std::optional<std::int32_t> ParseTimeOfDay(std::string_view t) {
    if (t.size() != 8 || t[2] != ':' || t[5] != ':') return std::nullopt;
    int parts[3];
    for (int k = 0; k < 3; ++k) {
        const char a = t[static_cast<std::size_t>(3 * k)],
                   b = t[static_cast<std::size_t>(3 * k + 1)];
        if (a < '0' || a > '9' || b < '0' || b > '9') return std::nullopt;
        parts[k] = (a - '0') * 10 + (b - '0');
    }
    if (parts[0] > 23 || parts[1] > 59 || parts[2] > 59) return std::nullopt;
    return ((parts[0] * 60 + parts[1]) * 60 + parts[2]) * 1000;
}

bool Fail(std::string* error, std::size_t line, const std::string& what) {
    if (error) *error = "line " + std::to_string(line) + ": " + what;
    return false;
}

}  // namespace

void Capture::Append(std::int64_t offsetMs, std::span<const std::uint8_t> report) {
    offsets_.push_back(offsetMs);
    bytes_.insert(bytes_.end(), report.begin(), report.end());
    begins_.push_back(bytes_.size());
}

std::optional<Capture> ParseCapture(std::string_view text, std::string* error) {
    Capture capture;
    std::vector<std::uint8_t> report;
    std::int64_t previous = 0;
    std::size_t lineNo = 0;
    while (!text.empty()) {
        ++lineNo;
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

        if (!line.empty() && line.front() == '#') {
            std::string_view rest = line.substr(1);
            if (NextField(rest) != "start") continue;
            const std::string_view time = NextField(rest);
            const auto ms = ParseTimeOfDay(time);
            if (!ms || !NextField(rest).empty()) {
                Fail(error, lineNo, "\"# start\" needs a time of day as HH:MM:SS");
                return std::nullopt;
            }
            if (!capture.startOfDayMs) capture.startOfDayMs = ms;
            continue;
        }

        std::string_view rest = line;
        const std::string_view time = NextField(rest);
        if (time.empty()) continue;  // blank line
        std::int64_t offset = -1;
        const auto [p, ec] = std::from_chars(time.data(), time.data() + time.size(), offset);
        if (ec != std::errc() || p != time.data() + time.size() || offset < 0 ||
            offset > kMaxOffsetMs) {
            Fail(error, lineNo,
                 "the time \"" + std::string(time) + "\" is not a number of milliseconds");
            return std::nullopt;
        }
        if (offset < previous) {
            Fail(error, lineNo,
                 "the time goes back (" + std::to_string(offset) + " after " +
                     std::to_string(previous) + ")");
            return std::nullopt;
        }
        previous = offset;
        report.clear();
        for (std::string_view byte = NextField(rest); !byte.empty(); byte = NextField(rest)) {
            const int hi = byte.size() == 2 ? HexDigit(byte[0]) : -1;
            const int lo = byte.size() == 2 ? HexDigit(byte[1]) : -1;
            if (hi < 0 || lo < 0) {
                Fail(error, lineNo,
                     "\"" + std::string(byte) + "\" is not a byte as two hex digits");
                return std::nullopt;
            }
            report.push_back(static_cast<std::uint8_t>(hi << 4 | lo));
        }
        capture.Append(offset, report);
    }
    return capture;
}

std::optional<Capture> ReadCaptureFile(const std::string& path, std::string* error) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) *error = path + ": " + file.errorString().toStdString();
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error) *error = path + ": " + file.errorString().toStdString();
        return std::nullopt;
    }
    std::string why;
    auto capture = ParseCapture(
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), &why);
    if (!capture && error) *error = path + ": " + why;
    return capture;
}

std::string CaptureLine(std::int64_t offsetMs, std::span<const std::uint8_t> report) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string line = std::to_string(offsetMs);
    line.reserve(line.size() + 3 * report.size() + 1);
    for (const std::uint8_t b : report) {
        line += ' ';
        line += kHex[b >> 4];
        line += kHex[b & 0x0F];
    }
    line += '\n';
    return line;
}

std::string CaptureStartLine(std::int32_t timeOfDayMs) {
    const std::int32_t s = timeOfDayMs / 1000;
    char buf[32];
    std::snprintf(buf, sizeof buf, "# start %02d:%02d:%02d\n", s / 3600 % 24, s / 60 % 60, s % 60);
    return buf;
}

}  // namespace qx
