#include "files/data_files.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>

#include "files/text_data_file.h"
#include "files/xml_data_packet.h"

namespace qx {
namespace {

const std::string kOhm = "\xA6\xB8";
const TimeFormat k24h("%H:%M:%S");

std::int32_t Ms(int h, int m, int s, int ms = 0) {
    return ((h * 60 + m) * 60 + s) * 1000 + ms;
}

TableRow Row(std::optional<std::int32_t> no, std::optional<std::int32_t> time, std::string value,
             std::string unit = "", std::string function = "", std::string mode = "") {
    return TableRow{
        no, time, std::move(value), std::move(unit), std::move(function), std::move(mode)};
}

std::vector<TableRow> Rows(const MeasurementTable& t) {
    std::vector<TableRow> rows;
    for (std::size_t i = 0; i < t.RowCount(); ++i) rows.push_back(t.Row(i));
    return rows;
}

void Fill(MeasurementTable& t, const std::vector<TableRow>& rows) {
    for (const TableRow& r : rows) t.Append(r);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

class DataFilesTest : public ::testing::Test {
  protected:
    std::string Path(const std::string& name) const {
        return dir_.filePath(QString::fromStdString(name)).toStdString();
    }
    QStringList Entries() const {
        return QDir(dir_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }
    QTemporaryDir dir_;
};

TEST(SplitTextTest, PiecesBetweenSeparators) {
    const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
        {"", {""}},
        {"a", {"a"}},
        {"a\tb", {"a", "b"}},
        {"\t", {"", ""}},
        {"a\t\tb", {"a", "", "b"}},
        {"a\t", {"a", ""}},
        {" a \t b ", {" a ", " b "}},
    };
    std::vector<std::string> list = {"left over"};
    for (const auto& [text, pieces] : cases) {
        SplitText(text, '\t', list);
        EXPECT_EQ(list, pieces) << "text: " << text;
    }
}

TEST(IsXmlDataFileTest, OnlyTheLastExtensionOfTheLastComponentCounts) {
    const std::vector<std::pair<std::string, bool>> cases = {
        {"/d/data.xml", true},   {"/d/DATA.XML", true},   {"/d/a.XmL", true},
        {"a.xml", true},         {"/d/a.xml.txt", false}, {"/d/data", false},
        {"/d/data.csv", false},  {"/d/data.xls", false},  {"/d.xml/data", false},
        {"/d/data.xmll", false}, {"/d/xml", false},       {"/d/.xml", true},
    };
    for (const auto& [path, xml] : cases) EXPECT_EQ(IsXmlDataFile(path), xml) << path;
}

TEST_F(DataFilesTest, TextRoundTripTrimsWritesNullAndCutsTo20Bytes) {
    MeasurementTable table;
    Fill(table, {
                    Row(1, Ms(10, 23, 45, 678), "1.234", "M" + kOhm, "DCV  600V", "Continuous"),
                    Row(-7, Ms(0, 0, 0), "  2.5 \x01", " V ", "\tACV  600V", "PI "),
                    Row(std::nullopt, Ms(23, 59, 59), "", "   ", "f", "m"),
                    Row(3, Ms(12, 0, 1), std::string(25, 'x'), "G" + kOhm, "a b", "COMP:NG"),
                });
    const std::string path = Path("data.txt");
    const FileOutcome saved = SaveTableToFile(table, path, kDefaultHeaderTitles, k24h);
    EXPECT_TRUE(saved.ok);
    EXPECT_EQ(saved.kind, FileMessageKind::Plain);
    EXPECT_EQ(saved.message, "Save table to specified file: " + path + " Scuss!");

    EXPECT_EQ(ReadFile(path),
              "Measurement No.\tTime\tValue\tUnit\tFunction\tRemark\r\n"
              "1\t10:23:45\t1.234\tM" +
                  kOhm +
                  "\tDCV  600V\tContinuous\r\n"
                  "-7\t00:00:00\t2.5\tV\tACV  600V\tPI\r\n"
                  "\t23:59:59\tNULL\tNULL\tf\tm\r\n"
                  "3\t12:00:01\t" +
                  std::string(20, 'x') + "\tG" + kOhm + "\ta b\tCOMP:NG\r\n");

    MeasurementTable loaded;
    loaded.Append(Row(99, Ms(1, 2, 3), "kept"));
    const FileOutcome outcome = LoadTableFromFile(path, loaded, false, k24h);
    EXPECT_TRUE(outcome.ok);
    EXPECT_EQ(outcome.kind, FileMessageKind::None);
    EXPECT_EQ(Rows(loaded),
              (std::vector<TableRow>{
                  Row(99, Ms(1, 2, 3), "kept"),
                  Row(1, Ms(10, 23, 45), "1.234", "M" + kOhm, "DCV  600V", "Continuous"),
                  Row(-7, Ms(0, 0, 0), "2.5", "V", "ACV  600V", "PI"),
                  Row(std::nullopt, Ms(23, 59, 59), "NULL", "NULL", "f", "m"),
                  Row(3, Ms(12, 0, 1), std::string(20, 'x'), "G" + kOhm, "a b", "COMP:NG"),
              }));

    // The empty-first flag replaces instead of appending; a 12-hour user format reads back too.
    const TimeFormat twelve("%I:%M:%S %p");
    ASSERT_TRUE(SaveTableToFile(table, path, kDefaultHeaderTitles, twelve).ok);
    EXPECT_NE(ReadFile(path).find("\t10:23:45 AM\t"), std::string::npos);
    ASSERT_TRUE(LoadTableFromFile(path, loaded, true, twelve).ok);
    ASSERT_EQ(loaded.RowCount(), 4u);
    EXPECT_EQ(loaded.TimeMs(2), Ms(23, 59, 59));
}

TEST_F(DataFilesTest, HeaderFollowsTheGridsColumnOrderRowsKeepFieldOrder) {
    MeasurementTable table;
    table.Append(Row(5, Ms(8, 0, 0), "1.0", "V", "DCV  600V", "Continuous"));
    const std::vector<std::string> moved = {"Time", "Measurement No.", "Value", "Remark",
                                            "Unit", "Function"};
    const std::string path = Path("moved.xls");
    ASSERT_TRUE(SaveTableToFile(table, path, moved, k24h).ok);
    EXPECT_EQ(ReadFile(path),
              "Time\tMeasurement No.\tValue\tRemark\tUnit\tFunction\r\n"
              "5\t08:00:00\t1.0\tV\tDCV  600V\tContinuous\r\n");
}

TEST_F(DataFilesTest, EmptyTableAsTextIsTheHeaderAloneAndLoadsNothing) {
    MeasurementTable table;
    const std::string path = Path("empty");
    ASSERT_TRUE(SaveTableToFile(table, path, kDefaultHeaderTitles, k24h).ok);
    EXPECT_EQ(ReadFile(path), "Measurement No.\tTime\tValue\tUnit\tFunction\tRemark\r\n");
    const FileOutcome outcome = LoadTableFromFile(path, table, false, k24h);
    EXPECT_TRUE(outcome.ok);
    EXPECT_EQ(outcome.kind, FileMessageKind::None);
    EXPECT_TRUE(table.Empty());
}

TEST_F(DataFilesTest, XmlPacketBytesAndRoundTrip) {
    MeasurementTable table;
    Fill(table,
         {
             Row(1, Ms(10, 23, 45), "1.23", "M" + kOhm, "DCV  600V", "Continuous"),
             Row(std::nullopt, std::nullopt, "", "", "", ""),
             Row(-2147483647 - 1, Ms(23, 59, 59, 999), "<a&b>\"'", "\r\n\t\\", "\x01\x7f\xff", "x"),
             Row(2147483647, Ms(0, 0, 0, 7), std::string(20, 'z'), " sp ", "COMP:GOOD", "Timed"),
         });
    const std::string path = Path("DATA.XML");
    const FileOutcome saved = SaveTableToFile(table, path, kDefaultHeaderTitles, k24h);
    EXPECT_TRUE(saved.ok);
    EXPECT_EQ(saved.kind, FileMessageKind::Plain);
    EXPECT_EQ(saved.message, "Save table to specified file: " + path + " Scuss!");
    EXPECT_EQ(
        ReadFile(path),
        "<?xml version=\"1.0\" standalone=\"yes\"?>  <DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
        "<FIELD attrname=\"No\" fieldtype=\"i4\"/><FIELD attrname=\"Time\" fieldtype=\"time\"/>"
        "<FIELD attrname=\"Value\" fieldtype=\"string\" WIDTH=\"20\"/>"
        "<FIELD attrname=\"Unit\" fieldtype=\"string\" WIDTH=\"20\"/>"
        "<FIELD attrname=\"V_Range\" fieldtype=\"string\" WIDTH=\"20\"/>"
        "<FIELD attrname=\"I_Range\" fieldtype=\"string\" WIDTH=\"20\"/>"
        "</FIELDS><PARAMS/></METADATA><ROWDATA>"
        "<ROW No=\"1\" Time=\"10:23:45000\" Value=\"1.23\" Unit=\"M\xA6\xB8\" V_Range=\"DCV  "
        "600V\" "
        "I_Range=\"Continuous\"/>"
        "<ROW/>"
        "<ROW No=\"-2147483648\" Time=\"23:59:59999\" Value=\"&lt;a&amp;b&gt;&quot;&apos;\" "
        "Unit=\"&#013;&#010;&#009;&#092;\" V_Range=\"&#001;\x7f\xff\" I_Range=\"x\"/>"
        "<ROW No=\"2147483647\" Time=\"00:00:00007\" Value=\"zzzzzzzzzzzzzzzzzzzz\" Unit=\" sp \" "
        "V_Range=\"COMP:GOOD\" I_Range=\"Timed\"/>"
        "</ROWDATA></DATAPACKET>");

    MeasurementTable loaded;
    loaded.Append(Row(99, Ms(1, 2, 3), "replaced"));
    const FileOutcome outcome = LoadTableFromFile(path, loaded, false, k24h);
    EXPECT_TRUE(outcome.ok);
    EXPECT_EQ(outcome.kind, FileMessageKind::None);
    EXPECT_EQ(Rows(loaded), Rows(table));
}

// Every case starts from a table holding one row and names the rows it must end with.
struct LoadCase {
    const char* name;
    const char* fileName;
    std::string bytes;
    bool ok;
    std::vector<TableRow> after;
};

const TableRow kHeld = Row(42, Ms(9, 9, 9), "held", "V", "DCV  600V", "Continuous");
const std::string kHeader = "Measurement No.\tTime\tValue\tUnit\tFunction\tRemark\r\n";
const std::string kPacketHead =
    "<?xml version=\"1.0\" standalone=\"yes\"?>  <DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
    "<FIELD attrname=\"No\" fieldtype=\"i4\"/><FIELD attrname=\"Time\" fieldtype=\"time\"/>"
    "<FIELD attrname=\"Value\" fieldtype=\"string\" WIDTH=\"20\"/>"
    "<FIELD attrname=\"Unit\" fieldtype=\"string\" WIDTH=\"20\"/>"
    "<FIELD attrname=\"V_Range\" fieldtype=\"string\" WIDTH=\"20\"/>"
    "<FIELD attrname=\"I_Range\" fieldtype=\"string\" WIDTH=\"20\"/>"
    "</FIELDS><PARAMS/></METADATA><ROWDATA>";

std::vector<LoadCase> LoadCases() {
    using namespace std::string_literals;
    return {
        {"empty file", "a.txt", "", false, {kHeld}},
        {"zero byte first", "a.txt", "\0header\r\n1\r\n"s, false, {kHeld}},
        {"header only", "a.xls", kHeader, true, {kHeld}},
        {"header without line end", "a", "Measurement No.", true, {kHeld}},
        {"first line dropped whatever it holds",
         "a.csv",
         "1\t10:00:00\tfirst\r\n2\t10:00:01\tsecond\r\n",
         true,
         {kHeld, Row(2, Ms(10, 0, 1), "second")}},
        {"seven items stop the load",
         "a.txt",
         kHeader + "1\t10:00:00\ta\tb\tc\td\r\n2\t10:00:01\ta\tb\tc\td\te\r\n3\t10:00:02\tc\r\n",
         false,
         {kHeld, Row(1, Ms(10, 0, 0), "a", "b", "c", "d")}},
        {"bad No",
         "a.txt",
         kHeader + "1\t10:00:00\ta\r\n2x\t10:00:01\tb\r\n",
         false,
         {kHeld, Row(1, Ms(10, 0, 0), "a")}},
        {"No beyond 32 bits", "a.txt", kHeader + "2147483648\t10:00:01\tb\r\n", false, {kHeld}},
        {"NULL time",
         "a.txt",
         kHeader + "1\t10:00:00\ta\r\n2\tNULL\tb\r\n",
         false,
         {kHeld, Row(1, Ms(10, 0, 0), "a")}},
        {"bad time", "a.txt", kHeader + "1\t25:00:00\ta\r\n", false, {kHeld}},
        {"lone CR and lone LF",
         "a.txt",
         "header\r1\t10:00:00\ta\n2\t10:00:01\tb\r\n3\t10:00:02\tc\r",
         true,
         {kHeld, Row(1, Ms(10, 0, 0), "a"), Row(2, Ms(10, 0, 1), "b"), Row(3, Ms(10, 0, 2), "c")}},
        {"zero byte ends the text",
         "a.txt",
         kHeader + "1\t10:00:00\ta\r\n2\t10:00:01\tb\0c\r\n3\r\n"s,
         true,
         {kHeld, Row(1, Ms(10, 0, 0), "a"), Row(2, Ms(10, 0, 1), "b")}},
        {"zero byte after a number",
         "a.txt",
         kHeader + "1\t10:00:00\ta\r\n2\0\t10:00:01\tb\r\n"s,
         true,
         {kHeld, Row(1, Ms(10, 0, 0), "a"), Row(2, std::nullopt, "")}},
        {"three items, empty No, NULL and long texts kept",
         "a.txt",
         kHeader + "1\t10:00:00\t1.5\r\n\t\tNULL\tNULL\t" + std::string(30, 'f') + "\t\r\n",
         true,
         {kHeld, Row(1, Ms(10, 0, 0), "1.5"),
          Row(std::nullopt, std::nullopt, "NULL", "NULL", std::string(20, 'f'))}},
        {"blank line is an empty row",
         "a.txt",
         kHeader + "\r\n",
         true,
         {kHeld, Row(std::nullopt, std::nullopt, "")}},
        {"not a packet",
         "a.xml",
         "<?xml version=\"1.0\"?><root><ROW No=\"1\"/></root>",
         false,
         {kHeld}},
        {"text file under .xml", "a.xml", kHeader + "1\t10:00:00\ta\r\n", false, {kHeld}},
        {"empty .xml", "a.xml", "", false, {kHeld}},
        {"truncated packet",
         "a.xml",
         kPacketHead + "<ROW No=\"1\" Value=\"a\"/><ROW No=\"2\" Val",
         false,
         {kHeld}},
        {"packet without its end",
         "a.xml",
         kPacketHead + "<ROW No=\"1\"/></ROWDATA>",
         false,
         {kHeld}},
        {"packet missing a field",
         "a.xml",
         "<DATAPACKET Version=\"2.0\"><METADATA><FIELDS><FIELD attrname=\"No\" "
         "fieldtype=\"i4\"/></FIELDS>"
         "<PARAMS/></METADATA><ROWDATA></ROWDATA></DATAPACKET>",
         false,
         {kHeld}},
        {"bad time in packet",
         "a.xml",
         kPacketHead + "<ROW No=\"1\" Time=\"10:00\"/></ROWDATA></DATAPACKET>",
         false,
         {kHeld}},
        {"reference beyond a byte",
         "a.xml",
         kPacketHead + "<ROW Value=\"&#300;\"/></ROWDATA></DATAPACKET>",
         false,
         {kHeld}},
        {"empty packet", "a.xml", kPacketHead + "</ROWDATA></DATAPACKET>", true, {}},
        {"packet with change log, deleted and original rows",
         "a.XML",
         "<?xml version=\"1.0\" encoding=\"windows-936\" standalone=\"yes\"?>\r\n<!-- written "
         "elsewhere -->"
         "<DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
         "<FIELD attrname=\"No\" fieldtype=\"i4\"/><FIELD attrname=\"Extra\" fieldtype=\"r8\"/>"
         "<FIELD attrname=\"Time\" fieldtype=\"time\"/>"
         "<FIELD attrname=\"Value\" fieldtype=\"string\" WIDTH=\"20\"><PARAM Name=\"x\" "
         "Value=\"1\"/></FIELD>"
         "<FIELD attrname=\"Unit\" fieldtype=\"string\" WIDTH=\"20\"/>"
         "<FIELD attrname=\"V_Range\" fieldtype=\"string\" WIDTH=\"20\"/>"
         "<FIELD attrname=\"I_Range\" fieldtype=\"string\" WIDTH=\"20\"/>"
         "</FIELDS><PARAMS CHANGE_LOG=\"1 0 4 2 1 8 3 0 2\" LCID=\"2052\"/></METADATA>\n<ROWDATA>\n"
         "  <ROW RowState=\"4\" No=\"1\" Time=\"10:00:00\" Extra=\"1.5\" "
         "Value=\"a&#166;&#xB8;\"/>\n"
         "  <ROW RowState=\"1\" No=\"2\" Value=\"old\"/>\n"
         "  <ROW RowState=\"8\" No=\"2\" Value='new'/>\n"
         "  <ROW RowState=\"2\" No=\"3\" Value=\"gone\"/>\n"
         "  <ROW RowState=\"32\" No=\"4\"/>\n"
         "  <ROW RowState=\"64\" No=\"5\" Unit=\"V\"></ROW>\n"
         "  <ROW No=\"6\" Time=\"1:02:03004\"/>\n"
         "</ROWDATA></DATAPACKET>\r\n",
         true,
         {Row(1, Ms(10, 0, 0), "a" + kOhm), Row(2, std::nullopt, "new"),
          Row(5, std::nullopt, "", "V"), Row(6, Ms(1, 2, 3, 4), "")}},
    };
}

TEST_F(DataFilesTest, LoadingMalformedAndUnusualFiles) {
    for (const LoadCase& c : LoadCases()) {
        SCOPED_TRACE(c.name);
        const std::string path = Path(c.fileName);
        WriteFile(path, c.bytes);
        MeasurementTable table;
        table.Append(kHeld);
        const FileOutcome outcome = LoadTableFromFile(path, table, false, k24h);
        EXPECT_EQ(outcome.ok, c.ok);
        if (c.ok) {
            EXPECT_EQ(outcome.kind, FileMessageKind::None);
        } else {
            EXPECT_EQ(outcome.kind, FileMessageKind::LoadError);
            EXPECT_EQ(outcome.message, "Failed to Load File!");
        }
        EXPECT_EQ(Rows(table), c.after);
    }
    MeasurementTable table;
    table.Append(kHeld);
    for (const char* missing : {"missing.txt", "missing.xml"}) {
        EXPECT_EQ(LoadTableFromFile(Path(missing), table, false, k24h).kind,
                  FileMessageKind::LoadError);
        EXPECT_EQ(Rows(table), std::vector<TableRow>{kHeld});
    }
}

// The readers work on a buffer that a file fills chunk by chunk: a source that hands out one to
// seven bytes at a time puts a chunk boundary at every place of every case.
TEST(ChunkedInputTest, EveryChunkBoundaryReadsLikeTheWholeFile) {
    for (const LoadCase& c : LoadCases()) {
        SCOPED_TRACE(c.name);
        const bool xml = IsXmlDataFile(c.fileName);
        auto read = [&](const ChunkSource& source, MeasurementTable& t) {
            return xml ? ReadXmlDataPacket(source, t) : ReadTextDataFile(source, t, k24h);
        };
        MeasurementTable whole, trickled;
        const bool wholeOk = read(MemorySource(c.bytes), whole);
        EXPECT_EQ(wholeOk, c.ok);
        std::string_view rest = c.bytes;
        int call = 0;
        const ChunkSource trickle = [&](char* to, std::size_t max) -> std::int64_t {
            const std::size_t n =
                std::min({max, rest.size(), static_cast<std::size_t>(1 + call++ % 7)});
            std::memcpy(to, rest.data(), n);
            rest.remove_prefix(n);
            return static_cast<std::int64_t>(n);
        };
        EXPECT_EQ(read(trickle, trickled), wholeOk);
        EXPECT_EQ(Rows(trickled), Rows(whole));
    }
}

// Cut anywhere, a packet is incomplete and fails; it never reads past its bytes.
TEST(XmlDataPacketTest, EveryTruncationFails) {
    MeasurementTable table;
    table.Append(Row(1, Ms(10, 23, 45), "a&b", "M" + kOhm, "DCV  600V", "Continuous"));
    table.Append(Row(2, std::nullopt, "", "V", "", "PI"));
    std::string packet;
    ASSERT_TRUE(WriteXmlDataPacket(table, [&](std::string_view c) {
        packet.append(c);
        return true;
    }));
    for (std::size_t n = 0; n < packet.size(); ++n) {
        MeasurementTable t;
        const std::string cut = packet.substr(0, n);  // its own allocation, for the sanitizers
        EXPECT_FALSE(ReadXmlDataPacket(cut, t)) << "cut at " << n;
    }
    MeasurementTable whole;
    EXPECT_TRUE(ReadXmlDataPacket(packet, whole));
    EXPECT_EQ(Rows(whole), Rows(table));
}

TEST(ChunkedInputTest, ReadErrorOfTheSourceFailsTheLoad) {
    const std::string text = kHeader + "1\t10:00:00\ta\r\n";
    for (const bool xml : {false, true}) {
        bool first = true;
        const ChunkSource failing = [&](char* to, std::size_t max) -> std::int64_t {
            if (!first) return -1;
            first = false;
            const std::size_t n = std::min(max, text.size());
            std::memcpy(to, text.data(), n);
            return static_cast<std::int64_t>(n);
        };
        MeasurementTable t;
        EXPECT_FALSE(xml ? ReadXmlDataPacket(failing, t) : ReadTextDataFile(failing, t, k24h))
            << xml;
    }
}

// Several buffer refills through real files, rows with every kind of content.
TEST_F(DataFilesTest, LargeTablesRoundTripInBothLayouts) {
    MeasurementTable table;
    for (int i = 0; i < 100'000; ++i) {
        table.Append(Row(
            i % 7 == 0 ? std::nullopt : std::optional(i - 100), Ms(i % 24, i % 60, i % 60, 0),
            std::to_string(i * 37 % 10007) + (i % 5 == 0 ? "&<\"" : ""), i % 2 ? "M" + kOhm : "V",
            i % 3 ? "DCV  600V" : "IR 1000V", i % 11 ? "Continuous" : "PI"));
    }
    for (const char* name : {"big.txt", "big.xml"}) {
        SCOPED_TRACE(name);
        const std::string path = Path(name);
        ASSERT_TRUE(SaveTableToFile(table, path, kDefaultHeaderTitles, k24h).ok);
        ASSERT_GT(QFileInfo(QString::fromStdString(path)).size(),
                  2 * InputBuffer::kChunkBytes + InputBuffer::kChunkBytes / 2);
        MeasurementTable loaded;
        ASSERT_TRUE(LoadTableFromFile(path, loaded, false, k24h).ok);
        EXPECT_EQ(Rows(loaded), Rows(table));
    }
}

// A save that cannot finish leaves the file that was there before, byte for byte, and no
// temporary file beside it.
TEST_F(DataFilesTest, FailedWriteKeepsThePreviousFile) {
    MeasurementTable big;
    for (int i = 0; i < 60'000; ++i)
        big.Append(Row(i, Ms(12, 0, 0), "123.45", "M" + kOhm, "DCV  600V", "Continuous"));
    for (const char* name : {"keep.txt", "keep.xml"}) {
        SCOPED_TRACE(name);
        const std::string path = Path(name);
        WriteFile(path, "previous contents\r\n");
        const QStringList before = Entries();

        // Writes beyond 64 KiB fail (EFBIG) like a full disk, also for root.
        rlimit saved{};
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 64 * 1024;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        const FileOutcome outcome = SaveTableToFile(big, path, kDefaultHeaderTitles, k24h);
        setrlimit(RLIMIT_FSIZE, &saved);
        signal(SIGXFSZ, oldHandler);

        EXPECT_FALSE(outcome.ok);
        if (IsXmlDataFile(path)) {
            EXPECT_EQ(outcome.kind, FileMessageKind::ErrorText);
            EXPECT_EQ(outcome.message.rfind("Cannot write file \"" + path + "\". ", 0), 0u)
                << outcome.message;
        } else {
            EXPECT_EQ(outcome.kind, FileMessageKind::Plain);
            EXPECT_EQ(outcome.message, "Could not save table to specified file: " + path);
        }
        EXPECT_EQ(ReadFile(path), "previous contents\r\n");
        EXPECT_EQ(Entries(), before);
    }
}

TEST_F(DataFilesTest, FileThatCannotBeCreated) {
    MeasurementTable table;
    table.Append(kHeld);
    WriteFile(Path("plain"), "x");
    const std::string text = Path("plain/data.txt");  // the parent is a file
    FileOutcome outcome = SaveTableToFile(table, text, kDefaultHeaderTitles, k24h);
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.kind, FileMessageKind::Plain);
    EXPECT_EQ(outcome.message, "Could not save table to specified file: " + text);

    const std::string xml = Path("plain/data.xml");
    outcome = SaveTableToFile(table, xml, kDefaultHeaderTitles, k24h);
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.kind, FileMessageKind::ErrorText);
    EXPECT_EQ(outcome.message.rfind("Cannot create file \"" + xml + "\". ", 0), 0u)
        << outcome.message;
    EXPECT_GT(outcome.message.size(), ("Cannot create file \"" + xml + "\". ").size());
}

TEST_F(DataFilesTest, ReadOnlyFolderKeepsThePreviousFile) {
    if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
    MeasurementTable table;
    table.Append(kHeld);
    const std::string path = Path("ro/keep.txt");
    ASSERT_TRUE(QDir(dir_.path()).mkdir("ro"));
    WriteFile(path, "previous");
    const QString ro = QString::fromStdString(Path("ro"));
    ASSERT_TRUE(QFile::setPermissions(ro, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    const FileOutcome outcome = SaveTableToFile(table, path, kDefaultHeaderTitles, k24h);
    QFile::setPermissions(ro,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.message, "Could not save table to specified file: " + path);
    EXPECT_EQ(ReadFile(path), "previous");
}

}  // namespace
}  // namespace qx
