// qx680-cli convert, run as a program: exit codes, messages and a loss-free XML -> text -> XML.

#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>

#include "support/cli_run.h"

#include "files/data_files.h"

namespace qx {
namespace {

using test::CliRun;

CliRun Convert(const QStringList& args) { return test::RunCli(QStringList{"convert"} + args); }

QByteArray Bytes(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll();
}

TEST(ConvertCliTest, XmlToTextAndBackIsIdentical) {
    QTemporaryDir dir;
    MeasurementTable table;
    for (int i = 0; i < 300; ++i)
        table.Append(TableRow{i + 1, (36'000 + i) * 1000, std::to_string(i) + ".5<&>\"'",
                              i % 2 ? "M\xA6\xB8" : "V", "DCV  600V", i % 3 ? "Continuous" : "PI"});
    const QString xml = dir.filePath("a.xml"), text = dir.filePath("b.xls"),
                  back = dir.filePath("c.XML");
    ASSERT_TRUE(
        SaveTableToFile(table, xml.toStdString(), kDefaultHeaderTitles, TimeFormat("%T")).ok);

    for (const auto& [in, out] : {std::pair{xml, text}, std::pair{text, back}}) {
        const CliRun r = Convert({in, out});
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_TRUE(r.err.isEmpty());
    }
    EXPECT_TRUE(Bytes(text).startsWith(
        "Measurement No.\tTime\tValue\tUnit\tFunction\tRemark\r\n1\t10:00:00\t0.5<&>\"'\tV\t"));
    EXPECT_EQ(Bytes(back), Bytes(xml));
}

TEST(ConvertCliTest, FailuresAndUsage) {
    QTemporaryDir dir;
    const QString bad = dir.filePath("bad.xml");
    {
        QFile f(bad);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("<root/>");
    }
    const QString out = dir.filePath("out.txt");
    CliRun r = Convert({bad, out});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "Failed to Load File!\n");
    EXPECT_FALSE(QFile::exists(out));

    const QString good = dir.filePath("good.txt");
    {
        QFile f(good);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("header\r\n1\t10:00:00\t1.5\r\n");
    }
    const QString unwritable = dir.filePath("good.txt/x.txt");  // the parent is a file
    r = Convert({good, unwritable});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "Could not save table to specified file: " + unwritable.toLocal8Bit() + "\n");

    for (const QStringList& args :
         {QStringList{}, QStringList{good}, QStringList{good, out, out}}) {
        r = Convert(args);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_TRUE(r.err.startsWith("usage: qx680-cli convert IN OUT"));
    }
}

}  // namespace
}  // namespace qx
