#include "log/time_format.h"

#include <cctype>

#ifndef _WIN32
#include <langinfo.h>
#include <locale.h>
#endif

namespace qx {
namespace {

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

void AppendTwo(std::string& out, int v, char pad) {
    out.push_back(v >= 10 ? static_cast<char>('0' + v / 10) : pad);
    out.push_back(static_cast<char>('0' + v % 10));
}

}  // namespace

TimeFormat TimeFormat::User() {
#ifndef _WIN32
    if (locale_t loc = newlocale(LC_TIME_MASK, "", static_cast<locale_t>(nullptr))) {
        std::string pattern = nl_langinfo_l(T_FMT, loc);
        std::string am = nl_langinfo_l(AM_STR, loc);
        std::string pm = nl_langinfo_l(PM_STR, loc);
        freelocale(loc);
        if (pattern.empty()) pattern = "%H:%M:%S";
        if (am.empty()) am = "AM";
        if (pm.empty()) pm = "PM";
        return TimeFormat(pattern, am, pm);
    }
#endif
    return TimeFormat("%H:%M:%S");
}

TimeFormat::TimeFormat(std::string_view pattern, std::string am, std::string pm)
    : pattern_(pattern), am_(std::move(am)), pm_(std::move(pm)) {
    auto parse = [](std::string_view p, std::vector<Part>& parts) {
        auto literal = [&parts](char c) {
            if (parts.empty() || parts.back().token != Token::Literal) parts.push_back({Token::Literal, {}});
            parts.back().literal.push_back(c);
        };
        for (std::size_t i = 0; i < p.size(); ++i) {
            if (p[i] != '%' || i + 1 == p.size()) {
                literal(p[i]);
                continue;
            }
            switch (char c = p[++i]) {
                case 'H': parts.push_back({Token::Hour24, {}}); break;
                case 'k': parts.push_back({Token::Hour24Space, {}}); break;
                case 'I': parts.push_back({Token::Hour12, {}}); break;
                case 'l': parts.push_back({Token::Hour12Space, {}}); break;
                case 'M': parts.push_back({Token::Minute, {}}); break;
                case 'S': parts.push_back({Token::Second, {}}); break;
                case 'p': parts.push_back({Token::AmPm, {}}); break;
                case 'P': parts.push_back({Token::AmPmLower, {}}); break;
                case 'T':
                    parts.push_back({Token::Hour24, {}});
                    literal(':');
                    parts.push_back({Token::Minute, {}});
                    literal(':');
                    parts.push_back({Token::Second, {}});
                    break;
                case 'r':
                    parts.push_back({Token::Hour12, {}});
                    literal(':');
                    parts.push_back({Token::Minute, {}});
                    literal(':');
                    parts.push_back({Token::Second, {}});
                    literal(' ');
                    parts.push_back({Token::AmPm, {}});
                    break;
                case 'R':
                    parts.push_back({Token::Hour24, {}});
                    literal(':');
                    parts.push_back({Token::Minute, {}});
                    break;
                case '%': literal('%'); break;
                default:  // a conversion that has no meaning for a time of day: keep it as text
                    literal('%');
                    literal(c);
            }
        }
    };
    parse(pattern_, parts_);
    bool hasSeconds = false;
    for (const Part& p : parts_) hasSeconds = hasSeconds || p.token == Token::Second;
    if (!hasSeconds) {  // a time of day in a table always carries its seconds
        parts_.clear();
        parse("%H:%M:%S", parts_);
    }
    parse("%H:%M:%S", fallback_);
}

void TimeFormat::AppendTo(std::string& out, std::int32_t ms) const {
    if (ms < 0) ms = 0;
    const int seconds = (ms / 1000) % 86400;
    const int h = seconds / 3600, m = seconds / 60 % 60, s = seconds % 60;
    const int h12 = h % 12 == 0 ? 12 : h % 12;
    for (const Part& p : parts_) {
        switch (p.token) {
            case Token::Literal: out += p.literal; break;
            case Token::Hour24: AppendTwo(out, h, '0'); break;
            case Token::Hour24Space: AppendTwo(out, h, ' '); break;
            case Token::Hour12: AppendTwo(out, h12, '0'); break;
            case Token::Hour12Space: AppendTwo(out, h12, ' '); break;
            case Token::Minute: AppendTwo(out, m, '0'); break;
            case Token::Second: AppendTwo(out, s, '0'); break;
            case Token::AmPm: out += h < 12 ? am_ : pm_; break;
            case Token::AmPmLower: out += Lower(h < 12 ? am_ : pm_); break;
        }
    }
}

std::string TimeFormat::Format(std::int32_t ms) const {
    std::string out;
    AppendTo(out, ms);
    return out;
}

std::optional<std::int32_t> TimeFormat::Parse(std::string_view text) const {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
    if (auto t = ParseWith(parts_, text)) return t;
    return ParseWith(fallback_, text);
}

std::optional<std::int32_t> TimeFormat::ParseWith(const std::vector<Part>& parts,
                                                  std::string_view text) const {
    int hour = -1, minute = -1, second = -1;
    bool twelve = false;
    int half = -1;  // 0 am, 1 pm
    std::size_t i = 0;
    auto number = [&](int& value) {
        while (i < text.size() && text[i] == ' ') ++i;
        std::size_t digits = 0;
        value = 0;
        while (i < text.size() && digits < 2 && std::isdigit(static_cast<unsigned char>(text[i]))) {
            value = value * 10 + (text[i++] - '0');
            ++digits;
        }
        return digits > 0;
    };
    for (const Part& p : parts) {
        switch (p.token) {
            case Token::Literal:
                if (text.substr(i, p.literal.size()) != p.literal) {
                    // Blanks in the pattern match any run of blanks, including none.
                    if (p.literal.find_first_not_of(' ') == std::string::npos) {
                        while (i < text.size() && text[i] == ' ') ++i;
                        break;
                    }
                    return std::nullopt;
                }
                i += p.literal.size();
                break;
            case Token::Hour24:
            case Token::Hour24Space:
                if (!number(hour)) return std::nullopt;
                break;
            case Token::Hour12:
            case Token::Hour12Space:
                if (!number(hour)) return std::nullopt;
                twelve = true;
                break;
            case Token::Minute:
                if (!number(minute)) return std::nullopt;
                break;
            case Token::Second:
                if (!number(second)) return std::nullopt;
                break;
            case Token::AmPm:
            case Token::AmPmLower: {
                const std::string rest = Lower(text.substr(i));
                if (rest.rfind(Lower(am_), 0) == 0) {
                    half = 0;
                    i += am_.size();
                } else if (rest.rfind(Lower(pm_), 0) == 0) {
                    half = 1;
                    i += pm_.size();
                } else {
                    return std::nullopt;
                }
                break;
            }
        }
    }
    if (i != text.size() || hour < 0 || minute < 0 || second < 0) return std::nullopt;
    if (twelve) {
        if (hour < 1 || hour > 12 || half < 0) return std::nullopt;
        hour = hour % 12 + (half == 1 ? 12 : 0);
    }
    if (hour > 23 || minute > 59 || second > 59) return std::nullopt;
    return (hour * 3600 + minute * 60 + second) * 1000;
}

}  // namespace qx
