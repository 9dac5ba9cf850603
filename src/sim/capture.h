#pragma once
// The text capture of a cable's input reports: one report per line, the milliseconds since the
// start of the capture, a blank, then the report's bytes (count byte first) as two-digit hex
// separated by blanks. Lines starting with '#' are comments; "# start HH:MM:SS" gives the time of
// day at which the capture started. Blank lines are ignored; lines may end in LF or CR LF.
//
//   # qx680 capture
//   # start 10:23:45
//   437 F7 00 00 00 00 00 00 00
//   462 F0 00 00 00 00 00 00 00

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qx {

/// A parsed capture: reports in file order (times never decrease), bytes kept in one buffer.
class Capture {
  public:
    /// Milliseconds since midnight from "# start"; nullopt when the file has none.
    std::optional<std::int32_t> startOfDayMs;

    void Append(std::int64_t offsetMs, std::span<const std::uint8_t> report);
    std::size_t Size() const { return offsets_.size(); }
    bool Empty() const { return offsets_.empty(); }
    std::int64_t OffsetMs(std::size_t i) const { return offsets_[i]; }
    std::span<const std::uint8_t> Report(std::size_t i) const {
        return std::span(bytes_).subspan(begins_[i], begins_[i + 1] - begins_[i]);
    }

  private:
    std::vector<std::int64_t> offsets_;
    std::vector<std::size_t> begins_{0};
    std::vector<std::uint8_t> bytes_;
};

/// Parses capture text. On failure returns nullopt and sets `error` to "line N: what".
/// Refused: a time that is not a decimal number of milliseconds (0 .. 2^53), a time earlier
/// than the line before, a byte that is not two hex digits, a "# start" that is not HH:MM:SS.
std::optional<Capture> ParseCapture(std::string_view text, std::string* error = nullptr);
/// Reads and parses a capture file; the error names the file.
std::optional<Capture> ReadCaptureFile(const std::string& path, std::string* error = nullptr);

/// "<offset> XX XX ...\n" with upper-case hex.
std::string CaptureLine(std::int64_t offsetMs, std::span<const std::uint8_t> report);
/// "# start HH:MM:SS\n" for a time of day in milliseconds (milliseconds dropped).
std::string CaptureStartLine(std::int32_t timeOfDayMs);
/// The first line of every capture this program writes.
inline constexpr std::string_view kCaptureHeader =
    "# qx680 capture: milliseconds since the start, then the report bytes (count byte first)\n";

}  // namespace qx
