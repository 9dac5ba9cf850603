#include "files/text_data_file.h"

#include <charconv>
#include <cstring>

#include "files/input_buffer.h"

namespace qx {
namespace {

constexpr std::string_view kNull = "NULL";
constexpr std::string_view kLineEnd = "\r\n";
constexpr std::size_t kMaxItems = 6;

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

void AppendItem(std::string& out, std::string_view text) {
    text = Trim(text);
    out.append(text.empty() ? kNull : text);
}

// A decimal 32-bit integer with an optional sign; blanks around it are allowed. Sets `ok` to
// false for anything else; an empty item is no number at all.
std::optional<std::int32_t> ParseNo(std::string_view s, bool& ok) {
    s = Trim(s);
    ok = true;
    if (s.empty()) return std::nullopt;
    const bool plus = s.front() == '+';
    if (plus) s.remove_prefix(1);
    std::int32_t v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    ok = !s.empty() && !(plus && s.front() == '-') && ec == std::errc() &&
         end == s.data() + s.size();
    return v;
}

}  // namespace

bool WriteTextDataFile(const MeasurementTable& table, const std::vector<std::string>& headerTitles,
                       const TimeFormat& timeFormat, const ChunkSink& sink) {
    ChunkWriter writer(sink);
    std::string& out = writer.buffer();
    for (std::size_t i = 0; i < headerTitles.size(); ++i) {
        if (i > 0) out.push_back('\t');
        out.append(headerTitles[i]);
    }
    out.append(kLineEnd);

    std::string time;
    const std::size_t rows = table.RowCount();
    for (std::size_t r = 0; r < rows; ++r) {
        if (const auto no = table.No(r)) {
            char digits[12];
            const auto res = std::to_chars(digits, digits + sizeof digits, *no);
            out.append(digits, res.ptr);
        }
        out.push_back('\t');
        time.clear();
        if (const auto ms = table.TimeMs(r)) timeFormat.AppendTo(time, *ms);
        AppendItem(out, time);
        out.push_back('\t');
        AppendItem(out, table.Value(r));
        out.push_back('\t');
        AppendItem(out, table.Unit(r));
        out.push_back('\t');
        AppendItem(out, table.V_Range(r));
        out.push_back('\t');
        AppendItem(out, table.I_Range(r));
        out.append(kLineEnd);
        if (!writer.Flush()) return false;
    }
    return writer.Finish();
}

bool ReadTextDataFile(const ChunkSource& source, MeasurementTable& table,
                      const TimeFormat& timeFormat) {
    InputBuffer in(source);
    bool sawLine = false;
    TableRow row;
    std::string* texts[] = {&row.Value, &row.Unit, &row.V_Range, &row.I_Range};
    std::string_view items[kMaxItems];
    for (;;) {
        // Cut one line, splitting it at TAB on the way: the pieces SplitText would give.
        const std::string_view rest = in.Unread();
        const char* const begin = rest.data();
        const char* const end = begin + rest.size();
        const char* p = begin;
        const char* itemStart = p;
        std::size_t count = 0;
        while (p < end && *p != '\r' && *p != '\n') {
            if (*p == '\t') {
                if (count < kMaxItems)
                    items[count] = {itemStart, static_cast<std::size_t>(p - itemStart)};
                ++count;
                itemStart = p + 1;
            }
            ++p;
        }
        // A line is complete at its break; a CR at the end of the bytes may still have its LF
        // to come. At the end of the input the rest, if any, is the last line.
        if ((p == end || (*p == '\r' && p + 1 == end)) && !in.AtEndOfInput()) {
            if (!in.Refill() && in.error()) return false;
            continue;
        }
        if (rest.empty()) break;
        if (count < kMaxItems) items[count] = {itemStart, static_cast<std::size_t>(p - itemStart)};
        ++count;
        if (p < end && *p == '\r' && p + 1 < end && p[1] == '\n') ++p;
        if (p < end) ++p;
        in.Consume(static_cast<std::size_t>(p - begin));

        if (!sawLine) {  // the header: dropped whatever it holds
            sawLine = true;
            continue;
        }
        if (count > kMaxItems) return false;
        bool ok = true;
        row.No = ParseNo(items[0], ok);
        if (!ok) return false;
        row.TimeMs.reset();
        if (count > 1 && !Trim(items[1]).empty()) {
            row.TimeMs = timeFormat.Parse(items[1]);
            if (!row.TimeMs) return false;
        }
        for (std::size_t k = 0; k < 4; ++k) {
            if (k + 2 < count)
                texts[k]->assign(items[k + 2].substr(0, MeasurementTable::kTextWidth));
            else
                texts[k]->clear();
        }
        table.Append(row);
    }
    return sawLine;
}

bool ReadTextDataFile(std::string_view bytes, MeasurementTable& table,
                      const TimeFormat& timeFormat) {
    return ReadTextDataFile(MemorySource(bytes), table, timeFormat);
}

}  // namespace qx
