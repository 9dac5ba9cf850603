// The report's page rule, its prepared rows, and the outputs read back: PDF through poppler's
// pdfinfo and pdftotext, the exports as text.

#include <gtest/gtest.h>

#include "log/screen_text.h"

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "reports/data_report.h"
#include "reports/page_painter.h"
#include "reports/report_export.h"
#include "reports/report_layout.h"

namespace qx {
namespace {

int argc = 1;
char arg0[] = "reports_tests";
char* argv[] = {arg0, nullptr};

const TimeFormat kTwelveHour("%I:%M:%S %p");

/// Rows numbered from 1, a second apart from 10:00:00 + `startMs`.
void Fill(MeasurementTable& table, int rows, int startMs = 0) {
    for (int i = 0; i < rows; ++i)
        table.Append({i + 1, 36'000'000 + startMs + i * 1000, std::to_string(100 + i) + ".5",
                      i % 2 ? "M\xA6\xB8" : "G\xA6\xB8", "IR:500V 20G\xA6\xB8", "Continuous"});
}

DataReport Prepared(const MeasurementTable& table) {
    DataReport report(table, ReportSettings{"12/11/26", kTwelveHour});
    report.QuickRep1BeforePrint(PageTotal(table.RowCount()));
    return report;
}

QString Run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    EXPECT_TRUE(p.waitForFinished(30000)) << program.toStdString();
    EXPECT_EQ(p.exitCode(), 0) << program.toStdString() << ": "
                               << p.readAllStandardError().toStdString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

int PdfPages(const QString& path) {
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(Run("pdfinfo", {path}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

/// The text of one page with every run of blanks and line breaks made one blank.
QString PdfPageText(const QString& path, int page) {
    const QString n = QString::number(page);
    return Run("pdftotext", {"-layout", "-f", n, "-l", n, path, "-"})
        .replace(QRegularExpression(QStringLiteral("\\s+")), QStringLiteral(" "))
        .trimmed();
}

QByteArray Written(const DataReport& report, ReportFileKind kind) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    const ReportOutcome outcome = WriteReport(report, kind, buffer);
    EXPECT_TRUE(outcome.ok) << outcome.message;
    return buffer.data();
}

class ReportTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (!QCoreApplication::instance()) new QApplication(argc, argv);
    }
    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QTemporaryDir dir;
};

TEST(ReportLayoutTest, PageTotalAndRowsOfEachPage) {
    struct Case {
        std::size_t rows;
        int pages;
        std::size_t lastPageFirst;
        std::size_t lastPageCount;
    };
    for (const Case& c :
         {Case{0, 1, 0, 0}, Case{1, 1, 0, 1}, Case{37, 1, 0, 37}, Case{38, 2, 37, 1},
          Case{74, 2, 37, 37}, Case{75, 3, 74, 1}, Case{1'000'000, 27'028, 999'999, 1}}) {
        SCOPED_TRACE(c.rows);
        EXPECT_EQ(PageTotal(c.rows), c.pages);
        const PageRows last = RowsOfPage(c.rows, c.pages - 1);
        EXPECT_EQ(last.first, c.lastPageFirst);
        EXPECT_EQ(last.count, c.lastPageCount);
        EXPECT_EQ(last.blankBands, c.rows == 0 ? 1 : 0);
        EXPECT_EQ(RowsOfPage(c.rows, c.pages).count + RowsOfPage(c.rows, c.pages).blankBands, 0U);
    }
}

TEST(ReportLayoutTest, ThirtySevenRowsFitAboveTheFooter) {
    const ReportLayout& layout = DataReportLayout();
    EXPECT_LE(layout.DetailTopMm(layout.rowsPerPage), layout.PageFooterTopMm());
    EXPECT_GT(layout.DetailTopMm(layout.rowsPerPage + 1), layout.PageFooterTopMm());
    EXPECT_DOUBLE_EQ(layout.BandWidthMm(), 190.0);
}

TEST(DataReportTest, FieldTextsAsPrinted) {
    MeasurementTable table;
    table.Append({7, 13 * 3'600'000 + 5 * 60'000 + 9'000, "-1.25", "M\xA6\xB8",
                  "IR:500V 20G\xA6\xB8", "PI"});
    table.Append({std::nullopt, std::nullopt, "", "", "", ""});
    const DataReport report = Prepared(table);
    EXPECT_EQ(report.FieldText(0, ReportField::No), "7");
    EXPECT_EQ(report.FieldText(0, ReportField::Time), "01:05:09 PM");
    EXPECT_EQ(report.FieldText(0, ReportField::Value), "-1.25");
    EXPECT_EQ(report.FieldText(0, ReportField::Unit), "M\xA6\xB8");
    EXPECT_EQ(report.FieldText(0, ReportField::V_Range), "IR:500V 20G\xA6\xB8");
    EXPECT_EQ(report.FieldText(0, ReportField::I_Range), "PI");
    for (ReportField f : {ReportField::No, ReportField::Time, ReportField::Value})
        EXPECT_EQ(report.FieldText(1, f), "");
    EXPECT_EQ(ScreenText("M\xA6\xB8"), QStringLiteral("M\u03A9"));
    EXPECT_EQ(ScreenText("\xA6"), QString(QChar(0xA6)));  // a lone first byte is no ohm sign
}

TEST(DataReportTest, ListsTheRowsPresentWhenPreparedAndNeverReadsPastTheTable) {
    MeasurementTable table;
    Fill(table, 40);
    DataReport report = Prepared(table);
    EXPECT_EQ(report.Allpage(), "2");
    Fill(table, 40);  // recorded while the preview is open
    EXPECT_EQ(report.RowCount(), 40U);
    EXPECT_EQ(report.PageCount(), 2);
    EXPECT_EQ(report.RowsOf(1).count, 3U);

    EXPECT_TRUE(report.ListsCurrentRows());
    const std::uint64_t before = report.generation();
    table.Clear();
    EXPECT_FALSE(report.ListsCurrentRows());
    EXPECT_EQ(report.FieldText(39, ReportField::Value), "");  // gone: blank, not out of range
    report.Prepare();
    EXPECT_NE(report.generation(), before);
    EXPECT_EQ(report.RowCount(), 0U);
    report.QuickRep1BeforePrint(PageTotal(0));
    EXPECT_EQ(report.Allpage(), "1");
}

TEST_F(ReportTest, PdfOf75RowsHasThreePagesAndTheLastFooterReadsThePageThreeOfThree) {
    MeasurementTable table;
    Fill(table, 75);
    const DataReport report = Prepared(table);
    ASSERT_TRUE(WriteReportFile(report, ReportFileKind::Pdf, Path("r.pdf")).ok);
    EXPECT_EQ(PdfPages(Path("r.pdf")), 3);
    const QString first = PdfPageText(Path("r.pdf"), 1);
    EXPECT_TRUE(first.startsWith(
        QStringLiteral("TEST DATA REPORT Print Date: 12/11/26 No Time Value Unit Function Remark 1 "
                       "10:00:00 AM 100.5 G\u03A9 IR:500V 20G\u03A9 Continuous 2 ")))
        << first.toStdString();
    EXPECT_TRUE(first.endsWith(QStringLiteral(
        "37 10:00:36 AM 136.5 G\u03A9 IR:500V 20G\u03A9 Continuous The Page 1 Of 3")))
        << first.toStdString();
    EXPECT_TRUE(
        PdfPageText(Path("r.pdf"), 3)
            .endsWith(QStringLiteral(
                "75 10:01:14 AM 174.5 G\u03A9 IR:500V 20G\u03A9 Continuous The Page 3 Of 3")));
}

TEST_F(ReportTest, EmptyTableGivesOnePageWithItsHeadersAndFooter) {
    MeasurementTable table;
    const DataReport report = Prepared(table);
    EXPECT_EQ(report.PageCount(), 1);
    ASSERT_TRUE(WriteReportFile(report, ReportFileKind::Pdf, Path("e.pdf")).ok);
    EXPECT_EQ(PdfPages(Path("e.pdf")), 1);
    EXPECT_EQ(PdfPageText(Path("e.pdf"), 1),
              QStringLiteral("TEST DATA REPORT Print Date: 12/11/26 No Time Value Unit Function "
                             "Remark The Page 1 Of 1"));
    EXPECT_EQ(Written(report, ReportFileKind::Csv),
              QByteArray("No,Time,Value,Unit,Function,Remark\r\n"));
    EXPECT_TRUE(Written(report, ReportFileKind::Html)
                    .contains("<tr><td>&nbsp;</td><td>&nbsp;</td><td>&nbsp;</td><td>&nbsp;</td>"
                              "<td>&nbsp;</td><td>&nbsp;</td></tr>"));
}

TEST_F(ReportTest, PrinterGetsTheChosenPagesOnly) {
    MeasurementTable table;
    Fill(table, 75);
    const DataReport report = Prepared(table);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(Path("p.pdf"));
    int told = 0;
    const ReportOutcome outcome = PrintReport(report, printer, 1, 9, [&](int done, int total) {
        EXPECT_EQ(total, 2);
        told = done;
        return true;
    });
    ASSERT_TRUE(outcome.ok) << outcome.message;
    EXPECT_EQ(told, 2);
    EXPECT_EQ(PdfPages(Path("p.pdf")), 2);
    EXPECT_TRUE(PdfPageText(Path("p.pdf"), 2).endsWith(QStringLiteral("The Page 3 Of 3")));
}

TEST_F(ReportTest, SmallTableExports) {
    MeasurementTable table;
    table.Append({1, 9 * 3'600'000, "1.5", "M\xA6\xB8", "IR:500V 20G\xA6\xB8", "Continuous"});
    table.Append({2, 9 * 3'600'000 + 1000, "a<b&\"c\"", "V", "DCV, 600V", ""});
    const DataReport report = Prepared(table);

    EXPECT_EQ(Written(report, ReportFileKind::Csv),
              QByteArray("No,Time,Value,Unit,Function,Remark\r\n"
                         "1,09:00:00 AM,1.5,M\xA6\xB8,IR:500V 20G\xA6\xB8,Continuous\r\n"
                         "2,09:00:01 AM,\"a<b&\"\"c\"\"\",V,\"DCV, 600V\",\r\n"));

    const QByteArray text = Written(report, ReportFileKind::Text);
    // Columns at 2 mm each from the band's left edge, one blank at least between texts; the
    // ohm sign takes one column.
    const QList<QByteArray> lines = text.split('\n');
    ASSERT_EQ(lines.size(), 8) << text.toStdString();
    EXPECT_EQ(lines[0].trimmed(), "TEST DATA REPORT                       Print Date: 12/11/26");
    EXPECT_EQ(lines[2],
              "    No           Time           Value             Unit        Function            "
              "Remark\r");
    EXPECT_EQ(lines[3],
              "    1            09:00:00 AM     1.5              M\xA6\xB8          IR:500V "
              "20G\xA6\xB8        Continuous\r");
    EXPECT_EQ(lines[4],
              "    2            09:00:01 AM     a<b&\"c\"          V           DCV, 600V\r");
    EXPECT_EQ(lines[6], "    The Page 1 Of 1\r");
    EXPECT_FALSE(text.contains('\f'));

    const QByteArray html = Written(report, ReportFileKind::Html);
    EXPECT_TRUE(html.startsWith("<!DOCTYPE html>"));
    EXPECT_TRUE(html.contains("<h1> TEST DATA REPORT</h1>"));
    EXPECT_TRUE(html.contains("<p class=\"date\">Print Date: 12/11/26</p>"));
    EXPECT_TRUE(
        html.contains("<tr><td>1</td><td>09:00:00 AM</td><td>1.5</td><td>M&#937;</td>"
                      "<td>IR:500V 20G&#937;</td><td>Continuous</td></tr>"));
    EXPECT_TRUE(html.contains("<td>a&lt;b&amp;&quot;c&quot;</td>"));
    EXPECT_TRUE(html.contains("The Page <span class=\"n\">1</span> Of <span class=\"t\">1</span>"));
    EXPECT_TRUE(html.trimmed().endsWith("</html>"));
    for (char c : html) EXPECT_GE(static_cast<signed char>(c), 0) << "HTML must be ASCII";
}

TEST_F(ReportTest, TextPagesAreSeparatedByFormFeeds) {
    MeasurementTable table;
    Fill(table, 75);
    const QByteArray text = Written(Prepared(table), ReportFileKind::Text);
    EXPECT_EQ(text.count('\f'), 2);
    EXPECT_TRUE(text.trimmed().endsWith("The Page 3 Of 3"));
}

TEST_F(ReportTest, CancelledOrInterruptedOutputLeavesNoFile) {
    MeasurementTable table;
    Fill(table, 200);
    DataReport report = Prepared(table);
    int swaps = 0;
    for (ReportFileKind kind : {ReportFileKind::Pdf, ReportFileKind::Csv}) {
        ReportOutcome outcome =
            WriteReportFile(report, kind, Path("c.out"), [](int done, int) { return done < 2; });
        EXPECT_FALSE(outcome.ok);
        EXPECT_TRUE(outcome.cancelled);
        EXPECT_FALSE(QFile::exists(Path("c.out")));

        // The report prepared again, or the table's rows replaced, while pages are written:
        // the output stops and says so.
        for (bool prepareAgain : {true, false}) {
            outcome = WriteReportFile(report, kind, Path("c.out"), [&](int, int) {
                if (prepareAgain) {
                    report.Prepare();
                } else {
                    MeasurementTable other;
                    Fill(other, 300, ++swaps);  // recorded at other times
                    table.SwapRows(other);
                }
                return true;
            });
            EXPECT_FALSE(outcome.ok);
            EXPECT_FALSE(outcome.cancelled);
            EXPECT_NE(outcome.message.find("changed"), std::string::npos);
            EXPECT_FALSE(QFile::exists(Path("c.out")));
            report.Prepare();
        }
    }
    const ReportOutcome outcome =
        WriteReportFile(report, ReportFileKind::Html, Path("no/such/dir/r.html"));
    EXPECT_FALSE(outcome.ok);
    EXPECT_FALSE(outcome.message.empty());
}

TEST(ReportFileKindTest, ByExtension) {
    EXPECT_EQ(ReportFileKindOf("a/b.PDF"), ReportFileKind::Pdf);
    EXPECT_EQ(ReportFileKindOf("r.htm"), ReportFileKind::Html);
    EXPECT_EQ(ReportFileKindOf("r.Html"), ReportFileKind::Html);
    EXPECT_EQ(ReportFileKindOf("r.txt"), ReportFileKind::Text);
    EXPECT_EQ(ReportFileKindOf("r.csv"), ReportFileKind::Csv);
    EXPECT_EQ(ReportFileKindOf("r.xml"), std::nullopt);
    EXPECT_EQ(ReportFileKindOf("dir.pdf/r"), std::nullopt);
}

TEST_F(ReportTest, PaintsTheTitleInBlueOnWhitePaper) {
    MeasurementTable table;
    Fill(table, 3);
    const DataReport report = Prepared(table);
    QImage page(496, 702, QImage::Format_RGB32);  // A4 at 60 dpi
    page.setDotsPerMeterX(2362);
    page.setDotsPerMeterY(2362);
    page.fill(Qt::black);
    {
        QPainter painter(&page);
        PaintReportPage(painter, report, 0);
    }
    EXPECT_EQ(page.pixelColor(5, 5), QColor(Qt::white));
    EXPECT_EQ(page.pixelColor(495, 701), QColor(Qt::white));
    int blue = 0;
    for (int y = 20; y < 50; ++y)  // the title band, 10 to 20.6 mm
        for (int x = 150; x < 350; ++x) blue += page.pixelColor(x, y) == QColor(0, 0, 255);
    EXPECT_GT(blue, 50);
}

TEST(ReportColourTest, DesktopColoursStayReadableOnPaper) {
    QPalette dark;
    dark.setColor(QPalette::WindowText, Qt::white);
    dark.setColor(QPalette::ToolTipText, QColor(30, 30, 30));
    EXPECT_EQ(ResolveColour(ColourRole::WindowText, dark), QColor(Qt::black));
    EXPECT_EQ(ResolveColour(ColourRole::TooltipText, dark), QColor(30, 30, 30));
    EXPECT_EQ(ResolveColour(ColourRole::Blue, dark), QColor(0, 0, 255));
}

}  // namespace
}  // namespace qx
