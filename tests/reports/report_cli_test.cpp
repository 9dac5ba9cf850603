// qx680-cli report, run as a program: a data file in, the report out by extension.

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "files/data_files.h"
#include "support/cli_run.h"

namespace qx {
namespace {

using test::CliRun;

// Without any display: the report must not need one.
CliRun Report(const QStringList& args) {
    QProcessEnvironment env = test::CliEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(name);
    return test::RunCli(QStringList{"report"} + args, env);
}

QByteArray Bytes(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll();
}

QString Tool(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    EXPECT_TRUE(p.waitForFinished(30'000));
    return QString::fromUtf8(p.readAllStandardOutput());
}

class ReportCliTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (int i = 0; i < 75; ++i)
            table.Append({i + 1, (36'000 + i) * 1000, std::to_string(i) + ".5", "M\xA6\xB8",
                          "IR:500V 20G\xA6\xB8", "Continuous"});
        for (const char* name : {"in.xml", "in.txt"})
            ASSERT_TRUE(SaveTableToFile(table, Path(name).toStdString(), kDefaultHeaderTitles,
                                        TimeFormat("%T"))
                            .ok);
    }
    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QTemporaryDir dir;
    MeasurementTable table;
};

TEST_F(ReportCliTest, WritesTheReportInTheLayoutOfTheExtension) {
    for (const char* in : {"in.xml", "in.txt"}) {
        SCOPED_TRACE(in);
        for (const char* out : {"r.pdf", "r.HTML", "r.txt", "r.csv"}) {
            const CliRun r = Report({Path(in), Path(out)});
            EXPECT_EQ(r.exitCode, 0) << out << ": " << r.err.toStdString();
            EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
        }
        EXPECT_TRUE(
            Tool("pdfinfo", {Path("r.pdf")}).contains(QRegularExpression("Pages:\\s+3\\n")));
        EXPECT_TRUE(
            Tool("pdftotext", {"-layout", "-f", "3", "-l", "3", Path("r.pdf"), "-"})
                .simplified()
                .endsWith(QStringLiteral(
                    "75 10:01:14 74.5 M\u03A9 IR:500V 20G\u03A9 Continuous The Page 3 Of 3")));
        const QByteArray csv = Bytes(Path("r.csv"));
        EXPECT_TRUE(
            csv.startsWith("No,Time,Value,Unit,Function,Remark\r\n"
                           "1,10:00:00,0.5,M\xA6\xB8,IR:500V 20G\xA6\xB8,Continuous\r\n"));
        EXPECT_EQ(csv.count('\n'), 76);
        EXPECT_TRUE(
            Bytes(Path("r.HTML"))
                .contains("The Page <span class=\"n\">3</span> Of <span class=\"t\">3</span>"));
        EXPECT_TRUE(Bytes(Path("r.txt")).trimmed().endsWith("The Page 3 Of 3"));
    }
}

TEST_F(ReportCliTest, FailuresAndUsage) {
    const QString bad = Path("bad.xml");
    {
        QFile f(bad);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("<root/>");
    }
    CliRun r = Report({bad, Path("out.pdf")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "Failed to Load File!\n");
    EXPECT_FALSE(QFile::exists(Path("out.pdf")));

    r = Report({Path("in.xml"), Path("in.xml/r.pdf")});  // the parent is a file
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.startsWith("The report could not be written")) << r.err.toStdString();

    for (const QStringList& args : {QStringList{}, QStringList{Path("in.xml")},
                                    QStringList{Path("in.xml"), Path("r.pdf"), Path("x")},
                                    QStringList{Path("in.xml"), Path("r.xls")}}) {
        r = Report(args);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_TRUE(r.err.startsWith("usage: qx680-cli report IN OUT"));
    }
    EXPECT_FALSE(QFile::exists(Path("r.pdf")));
}

}  // namespace
}  // namespace qx
