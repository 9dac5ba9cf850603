#pragma once
// Time of day as the user's locale writes it (the C library's time format: %I:%M:%S %p, %T,
// %H:%M:%S ...), with seconds and never a time zone. Used by the grid, the text data file and
// the report, and to read text data files back.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qx {

class TimeFormat {
public:
    /// The user's time format (LC_TIME of the environment). Falls back to "%H:%M:%S".
    static TimeFormat User();

    /// A strftime-style pattern; understood: %H %k %I %l %M %S %p %P %T %r %R %%, literals.
    explicit TimeFormat(std::string_view pattern, std::string am = "AM", std::string pm = "PM");

    /// `msOfDay` is clamped to a day; milliseconds are not shown.
    std::string Format(std::int32_t msOfDay) const;
    void AppendTo(std::string& out, std::int32_t msOfDay) const;

    /// Reads a time written in this format, or else as 24-hour H:MM:SS / HH:MM:SS. Leading and
    /// trailing blanks are ignored. Returns milliseconds since midnight.
    std::optional<std::int32_t> Parse(std::string_view text) const;

    const std::string& pattern() const { return pattern_; }

private:
    enum class Token : std::uint8_t { Literal, Hour24, Hour24Space, Hour12, Hour12Space, Minute, Second, AmPm, AmPmLower };
    struct Part {
        Token token;
        std::string literal;
    };
    std::optional<std::int32_t> ParseWith(const std::vector<Part>& parts, std::string_view text) const;

    std::string pattern_;
    std::string am_;
    std::string pm_;
    std::vector<Part> parts_;
    std::vector<Part> fallback_;
};

}  // namespace qx
