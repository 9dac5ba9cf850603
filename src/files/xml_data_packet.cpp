#include "files/xml_data_packet.h"

#include <array>
#include <charconv>
#include <cstring>
#include <string>
#include <vector>

#include "files/input_buffer.h"

namespace qx {
namespace {

// ---------------------------------------------------------------------------------------------
// Writing

constexpr std::string_view kPacketHead =
    "<?xml version=\"1.0\" standalone=\"yes\"?>  <DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
    "<FIELD attrname=\"No\" fieldtype=\"i4\"/>"
    "<FIELD attrname=\"Time\" fieldtype=\"time\"/>"
    "<FIELD attrname=\"Value\" fieldtype=\"string\" WIDTH=\"20\"/>"
    "<FIELD attrname=\"Unit\" fieldtype=\"string\" WIDTH=\"20\"/>"
    "<FIELD attrname=\"V_Range\" fieldtype=\"string\" WIDTH=\"20\"/>"
    "<FIELD attrname=\"I_Range\" fieldtype=\"string\" WIDTH=\"20\"/>"
    "</FIELDS><PARAMS/></METADATA><ROWDATA>";
constexpr std::string_view kPacketTail = "</ROWDATA></DATAPACKET>";

// Bytes that cannot stand as themselves inside a double-quoted attribute value.
constexpr std::array<bool, 256> kNeedsEscape = [] {
    std::array<bool, 256> t{};
    for (int c = 0; c < 32; ++c) t[c] = true;
    for (unsigned char c : std::string_view("<>\"&'\\")) t[c] = true;
    return t;
}();

void AppendEscaped(std::string& out, std::string_view s) {
    std::size_t plain = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (!kNeedsEscape[c]) continue;
        out.append(s.data() + plain, i - plain);
        plain = i + 1;
        switch (c) {
            case '<':
                out.append("&lt;");
                break;
            case '>':
                out.append("&gt;");
                break;
            case '"':
                out.append("&quot;");
                break;
            case '&':
                out.append("&amp;");
                break;
            case '\'':
                out.append("&apos;");
                break;
            default: {  // &#NNN;, always three digits like &#013;
                const char ref[] = {'&',
                                    '#',
                                    static_cast<char>('0' + c / 100),
                                    static_cast<char>('0' + c / 10 % 10),
                                    static_cast<char>('0' + c % 10),
                                    ';'};
                out.append(ref, sizeof ref);
            }
        }
    }
    out.append(s.data() + plain, s.size() - plain);
}

void AppendTextAttribute(std::string& out, std::string_view name, std::string_view value) {
    if (value.empty()) return;
    out.push_back(' ');
    out.append(name);
    out.append("=\"");
    AppendEscaped(out, value);
    out.push_back('"');
}

void AppendTwoDigits(std::string& out, int v) {
    out.push_back(static_cast<char>('0' + v / 10));
    out.push_back(static_cast<char>('0' + v % 10));
}

void AppendTime(std::string& out, std::int32_t ms) {
    if (ms < 0) ms = 0;
    if (ms > 86'399'999) ms = 86'399'999;
    const int secondsMs = ms % 60'000;
    const int minutes = ms / 60'000;
    AppendTwoDigits(out, minutes / 60);
    out.push_back(':');
    AppendTwoDigits(out, minutes % 60);
    out.push_back(':');
    char five[5];
    for (int i = 4, v = secondsMs; i >= 0; --i, v /= 10) five[i] = static_cast<char>('0' + v % 10);
    out.append(five, 5);
}

// ---------------------------------------------------------------------------------------------
// Reading: a strict scanner for just what a packet holds (elements, attributes, comments,
// processing instructions, whitespace) over the bytes in the input buffer. A scan that fails
// having touched the end of those bytes is "starved": it may succeed once more bytes are there.

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool IsNameEnd(char c) {
    return IsSpace(c) || c == '=' || c == '/' || c == '>' || c == '<';
}

class Scanner {
  public:
    explicit Scanner(std::string_view s)
        : begin_(s.data()), p_(s.data()), end_(s.data() + s.size()) {}

    bool AtEnd() const { return p_ == end_; }
    bool starved() const { return starved_; }
    std::size_t consumed() const { return static_cast<std::size_t>(p_ - begin_); }

    // Whitespace, comments and processing instructions (the declaration among them).
    bool SkipMisc() {
        for (;;) {
            SkipSpace();
            if (Starts("<?")) {
                if (!SkipPast("?>")) return false;
            } else if (Starts("<!--")) {
                if (!SkipPast("-->")) return false;
            } else {
                return true;
            }
        }
    }

    bool AtCloseTag() { return Starts("</"); }

    // "<NAME": the start of an element.
    bool OpenTag(std::string_view& name) {
        if (!More() || *p_ != '<') return false;
        ++p_;
        return Name(name);
    }

    // The attributes of the tag just opened, up to '>' or "/>". Calls f(name, rawValue) for each;
    // f returns false to fail the scan.
    template <class F>
    bool Attributes(bool& selfClosing, F&& f) {
        for (;;) {
            const char* before = p_;
            SkipSpace();
            if (!More()) return false;
            if (*p_ == '>') {
                ++p_;
                selfClosing = false;
                return true;
            }
            if (*p_ == '/') {
                ++p_;
                if (!More() || *p_ != '>') return false;
                ++p_;
                selfClosing = true;
                return true;
            }
            if (p_ == before) return false;  // attributes are separated by whitespace
            std::string_view name;
            if (!Name(name)) return false;
            SkipSpace();
            if (!More() || *p_ != '=') return false;
            ++p_;
            SkipSpace();
            if (!More() || (*p_ != '"' && *p_ != '\'')) return false;
            const char quote = *p_++;
            const void* close = std::memchr(p_, quote, static_cast<std::size_t>(end_ - p_));
            if (!close) {
                starved_ = true;
                return false;
            }
            const std::string_view value(p_, static_cast<const char*>(close) - p_);
            if (value.find('<') != std::string_view::npos) return false;
            p_ = static_cast<const char*>(close) + 1;
            if (!f(name, value)) return false;
        }
    }

    // "</NAME>" with exactly this name.
    bool CloseTag(std::string_view expected) {
        if (!AtCloseTag()) return false;
        p_ += 2;
        std::string_view name;
        if (!Name(name) || name != expected) return false;
        SkipSpace();
        if (!More() || *p_ != '>') return false;
        ++p_;
        return true;
    }

    // Everything up to and including the end tag of an element whose start tag was just read:
    // for parts of a packet that carry nothing for the table (field parameters ...).
    bool SkipContent(std::string_view name, int depth = 0) {
        if (depth > 32) return false;
        for (;;) {
            while (More() && *p_ != '<') ++p_;  // character data is of no interest here
            if (!SkipMisc() || !More()) return false;
            if (*p_ != '<') continue;
            if (AtCloseTag()) return CloseTag(name);
            std::string_view child;
            bool selfClosing = false;
            if (!OpenTag(child) || !Attributes(selfClosing, [](auto, auto) { return true; }))
                return false;
            if (!selfClosing && !SkipContent(child, depth + 1)) return false;
        }
    }

  private:
    bool More() {
        if (p_ < end_) return true;
        starved_ = true;
        return false;
    }
    void SkipSpace() {
        while (More() && IsSpace(*p_)) ++p_;
    }
    bool Starts(std::string_view s) {
        const std::size_t left = static_cast<std::size_t>(end_ - p_);
        if (left >= s.size()) return std::memcmp(p_, s.data(), s.size()) == 0;
        if (std::memcmp(p_, s.data(), left) == 0) starved_ = true;
        return false;
    }
    bool SkipPast(std::string_view s) {
        const std::string_view rest(p_, static_cast<std::size_t>(end_ - p_));
        const std::size_t at = rest.find(s, 2);
        if (at == std::string_view::npos) {
            starved_ = true;
            return false;
        }
        p_ += at + s.size();
        return true;
    }
    bool Name(std::string_view& name) {
        const char* start = p_;
        while (More() && !IsNameEnd(*p_)) ++p_;
        name = {start, static_cast<std::size_t>(p_ - start)};
        return !name.empty();
    }

    const char* begin_;
    const char* p_;
    const char* end_;
    bool starved_ = false;
};

// Runs one step of the reading on the unread bytes, with more bytes each time it runs short.
// The step must be repeatable: it keeps nothing from a failed attempt.
template <class Step>
bool RunStep(InputBuffer& in, Step&& step) {
    for (;;) {
        Scanner scanner(in.Unread());
        if (step(scanner)) {
            in.Consume(scanner.consumed());
            return true;
        }
        if (!scanner.starved() || !in.Refill()) return false;
    }
}

// Resolves the entities of a raw attribute value; `scratch` holds the result when there are any.
bool Unescape(std::string_view raw, std::string& scratch, std::string_view& value) {
    if (raw.find('&') == std::string_view::npos) {
        value = raw;
        return true;
    }
    scratch.clear();
    for (std::size_t i = 0; i < raw.size();) {
        const char c = raw[i];
        if (c != '&') {
            scratch.push_back(c);
            ++i;
            continue;
        }
        const std::size_t semi = raw.find(';', i);
        if (semi == std::string_view::npos) return false;
        const std::string_view ref = raw.substr(i + 1, semi - i - 1);
        i = semi + 1;
        if (ref == "lt")
            scratch.push_back('<');
        else if (ref == "gt")
            scratch.push_back('>');
        else if (ref == "amp")
            scratch.push_back('&');
        else if (ref == "quot")
            scratch.push_back('"');
        else if (ref == "apos")
            scratch.push_back('\'');
        else if (ref.size() >= 2 && ref[0] == '#') {
            const bool hex = ref[1] == 'x';
            const std::string_view digits = ref.substr(hex ? 2 : 1);
            unsigned code = 0;
            const auto [end, ec] =
                std::from_chars(digits.data(), digits.data() + digits.size(), code, hex ? 16 : 10);
            // A string value is single-byte: a reference beyond a byte has no place in it.
            if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size() ||
                code > 255)
                return false;
            scratch.push_back(static_cast<char>(code));
        } else {
            return false;
        }
    }
    value = scratch;
    return true;
}

bool ParseInt32(std::string_view s, std::int32_t& v) {
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    return !s.empty() && ec == std::errc() && end == s.data() + s.size();
}

// "HH:MM:" and five digits (seconds x 1000 + milliseconds), or "HH:MM:SS"; the hour may have
// one digit.
bool ParseTime(std::string_view s, std::int32_t& ms) {
    auto digits = [&s](std::size_t n, int& v) {
        if (s.size() < n) return false;
        v = 0;
        for (std::size_t i = 0; i < n; ++i) {
            if (s[i] < '0' || s[i] > '9') return false;
            v = v * 10 + (s[i] - '0');
        }
        s.remove_prefix(n);
        return true;
    };
    int h = 0, m = 0, sec = 0;
    const std::size_t hourDigits = s.size() > 1 && s[1] == ':' ? 1 : 2;
    if (!digits(hourDigits, h) || s.empty() || s[0] != ':') return false;
    s.remove_prefix(1);
    if (!digits(2, m) || s.empty() || s[0] != ':') return false;
    s.remove_prefix(1);
    if (s.size() == 5) {
        if (!digits(5, sec)) return false;
    } else {
        if (!digits(2, sec) || !s.empty()) return false;
        sec *= 1000;
    }
    if (h > 23 || m > 59 || sec > 59'999) return false;
    ms = (h * 60 + m) * 60'000 + sec;
    return true;
}

enum class Column : std::int8_t { Ignored = -1, No, Time, Value, Unit, V_Range, I_Range, RowState };

struct FieldDef {
    std::string name;  // a copy: the buffer's bytes move on a refill
    Column column;
};

constexpr std::string_view kFieldNames[] = {"No", "Time", "Value", "Unit", "V_Range", "I_Range"};
constexpr std::string_view kFieldTypes[] = {"i4", "time", "string", "string", "string", "string"};

bool ReadFields(Scanner& in, std::vector<FieldDef>& fields) {
    bool seen[6] = {};
    for (;;) {
        if (!in.SkipMisc()) return false;
        if (in.AtCloseTag()) break;
        std::string_view tag;
        bool selfClosing = false;
        std::string_view name, type;
        if (!in.OpenTag(tag) || tag != "FIELD") return false;
        const bool ok = in.Attributes(selfClosing, [&](std::string_view a, std::string_view v) {
            if (a == "attrname")
                name = v;
            else if (a == "fieldtype")
                type = v;
            return true;
        });
        if (!ok || name.empty() || (!selfClosing && !in.SkipContent(tag))) return false;
        Column column = Column::Ignored;
        for (int k = 0; k < 6; ++k) {
            if (name != kFieldNames[k]) continue;
            if (type != kFieldTypes[k] || seen[k]) return false;
            seen[k] = true;
            column = static_cast<Column>(k);
        }
        fields.push_back({std::string(name), column});
    }
    for (bool s : seen)
        if (!s) return false;
    fields.push_back({"RowState", Column::RowState});
    return in.CloseTag("FIELDS");
}

bool ReadMetadata(Scanner& in, std::vector<FieldDef>& fields) {
    bool haveFields = false;
    for (;;) {
        if (!in.SkipMisc()) return false;
        if (in.AtCloseTag()) break;
        std::string_view tag;
        bool selfClosing = false;
        if (!in.OpenTag(tag) || !in.Attributes(selfClosing, [](auto, auto) { return true; }))
            return false;
        if (tag == "FIELDS" && !haveFields && !selfClosing) {
            if (!ReadFields(in, fields)) return false;
            haveFields = true;
        } else if (!selfClosing && !in.SkipContent(tag)) {  // PARAMS and whatever else: not needed
            return false;
        }
    }
    return haveFields && in.CloseTag("METADATA");
}

// Everything before the first row: the declaration, DATAPACKET, METADATA and the ROWDATA tag.
bool ReadHead(Scanner& in, std::vector<FieldDef>& fields, bool& noRows) {
    fields.clear();
    std::string_view tag;
    bool selfClosing = false;
    auto any = [](auto, auto) { return true; };
    if (!in.SkipMisc() || !in.OpenTag(tag) || tag != "DATAPACKET" ||
        !in.Attributes(selfClosing, any) || selfClosing)
        return false;
    if (!in.SkipMisc() || !in.OpenTag(tag) || tag != "METADATA" ||
        !in.Attributes(selfClosing, any) || selfClosing || !ReadMetadata(in, fields))
        return false;
    if (!in.SkipMisc() || !in.OpenTag(tag) || tag != "ROWDATA" || !in.Attributes(selfClosing, any))
        return false;
    noRows = selfClosing;
    return true;
}

// One ROW into `row`, or the end of ROWDATA (`endOfRows`). `keep` is false for a row that the
// RowState marks as an original image, deleted or unused.
bool ReadRow(Scanner& in, const std::vector<FieldDef>& fields, TableRow& row, std::string& scratch,
             bool& endOfRows, bool& keep) {
    if (!in.SkipMisc()) return false;
    if (in.AtCloseTag()) {
        endOfRows = true;
        return in.CloseTag("ROWDATA");
    }
    std::string_view tag;
    if (!in.OpenTag(tag) || tag != "ROW") return false;
    std::string* texts[] = {&row.Value, &row.Unit, &row.V_Range, &row.I_Range};
    row.No.reset();
    row.TimeMs.reset();
    for (std::string* t : texts) t->clear();
    std::int32_t rowState = 0;
    bool selfClosing = false;
    const bool ok = in.Attributes(selfClosing, [&](std::string_view name, std::string_view raw) {
        Column column = Column::Ignored;
        for (const FieldDef& f : fields) {
            if (f.name == name) {
                column = f.column;
                break;
            }
        }
        if (column == Column::Ignored) return true;
        std::string_view value;
        if (!Unescape(raw, scratch, value)) return false;
        std::int32_t number = 0;
        switch (column) {
            case Column::No:
                if (value.empty()) return true;
                if (!ParseInt32(value, number)) return false;
                row.No = number;
                return true;
            case Column::Time:
                if (value.empty()) return true;
                if (!ParseTime(value, number)) return false;
                row.TimeMs = number;
                return true;
            case Column::RowState:
                return ParseInt32(value, rowState);
            default:
                texts[static_cast<int>(column) - static_cast<int>(Column::Value)]->assign(value);
                return true;
        }
    });
    if (!ok || (!selfClosing && !in.SkipContent(tag))) return false;
    keep = (rowState & 0x23) == 0;
    return true;
}

}  // namespace

bool WriteXmlDataPacket(const MeasurementTable& table, const ChunkSink& sink) {
    ChunkWriter writer(sink);
    std::string& out = writer.buffer();
    out.append(kPacketHead);
    const std::size_t rows = table.RowCount();
    for (std::size_t r = 0; r < rows; ++r) {
        out.append("<ROW");
        if (const auto no = table.No(r)) {
            char digits[12];
            const auto res = std::to_chars(digits, digits + sizeof digits, *no);
            out.append(" No=\"");
            out.append(digits, res.ptr);
            out.push_back('"');
        }
        if (const auto ms = table.TimeMs(r)) {
            out.append(" Time=\"");
            AppendTime(out, *ms);
            out.push_back('"');
        }
        AppendTextAttribute(out, "Value", table.Value(r));
        AppendTextAttribute(out, "Unit", table.Unit(r));
        AppendTextAttribute(out, "V_Range", table.V_Range(r));
        AppendTextAttribute(out, "I_Range", table.I_Range(r));
        out.append("/>");
        if (!writer.Flush()) return false;
    }
    out.append(kPacketTail);
    return writer.Finish();
}

bool ReadXmlDataPacket(const ChunkSource& source, MeasurementTable& table) {
    InputBuffer in(source);
    if (!in.Refill()) return false;
    if (in.Unread().substr(0, 3) == "\xEF\xBB\xBF") in.Consume(3);

    std::vector<FieldDef> fields;
    bool noRows = false;
    if (!RunStep(in, [&](Scanner& s) { return ReadHead(s, fields, noRows); })) return false;

    TableRow row;
    std::string scratch;
    for (bool endOfRows = noRows; !endOfRows;) {
        bool keep = false;
        if (!RunStep(in,
                     [&](Scanner& s) { return ReadRow(s, fields, row, scratch, endOfRows, keep); }))
            return false;
        if (!endOfRows && keep) table.Append(row);
    }

    if (!RunStep(in, [](Scanner& s) { return s.SkipMisc() && s.CloseTag("DATAPACKET"); }))
        return false;
    // Only whitespace, comments and processing instructions may follow, up to the end.
    for (;;) {
        Scanner s(in.Unread());
        const bool ok = s.SkipMisc();
        if (ok && !s.AtEnd()) return false;
        if (ok)
            in.Consume(s.consumed());
        else if (!s.starved())
            return false;
        if (!in.Refill()) return ok && !in.error();
    }
}

bool ReadXmlDataPacket(std::string_view bytes, MeasurementTable& table) {
    return ReadXmlDataPacket(MemorySource(bytes), table);
}

}  // namespace qx
