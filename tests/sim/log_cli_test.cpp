// qx680-cli log, run as a program: a replay to standard output and to a data file, a short
// simulated log, exit codes and messages.

#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>

#include "support/cli_run.h"

#include "capture_text.h"
#include "files/data_files.h"

namespace qx {
namespace {

using test::CliRun;

CliRun Log(const QStringList& args) { return test::RunCli(QStringList{"log"} + args); }

QString WriteFile(const QTemporaryDir& dir, const char* name, const std::string& text) {
    const QString path = dir.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text.data(), static_cast<qint64>(text.size()));
    return path;
}

std::string Capture() {
    using test::FrameLines;
    using test::Megaohms;
    return "# start 09:59:58\n" + FrameLines(100, Megaohms("1000")) +
           FrameLines(600, Megaohms("1000")) + FrameLines(1100, Megaohms("1001")) +
           FrameLines(1600, Megaohms("1002")) + FrameLines(2100, Megaohms("1003")) +
           FrameLines(2600, Megaohms("1004"));
}

TEST(LogCliTest, ReplayToStandardOutput) {
    QTemporaryDir dir;
    const QString capture = WriteFile(dir, "c.txt", Capture());
    const CliRun all = Log({"--replay", capture, "--decimal", ","});
    EXPECT_EQ(all.exitCode, 0) << all.err.toStdString();
    EXPECT_TRUE(all.err.isEmpty()) << all.err.toStdString();
    const std::string row = "\tM\xA6\xB8\tIR:500V 20G\xA6\xB8\tContinuous\r\n";
    EXPECT_EQ(all.out.toStdString(),
              "Measurement No.\tTime\tValue\tUnit\tFunction\tRemark\r\n"
              "1\t09:59:58\t1,000" +
                  row + "2\t09:59:58\t1,000" + row + "3\t09:59:59\t1,001" + row +
                  "4\t09:59:59\t1,002" + row + "5\t10:00:00\t1,003" + row + "6\t10:00:00\t1,004" +
                  row);

    // A one-second interval: the countdown starts at 1, the ticks fall at 1000 and 2000 ms.
    const CliRun some =
        Log({"--replay", capture, "--no-repeat", "--interval", "1", "--decimal", "."});
    EXPECT_EQ(some.exitCode, 0);
    EXPECT_EQ(some.out.toStdString(),
              "Measurement No.\tTime\tValue\tUnit\tFunction\tRemark\r\n"
              "1\t09:59:59\t1.001" +
                  row + "2\t10:00:00\t1.003" + row);

    const CliRun limited = Log({"--replay", capture, "--limit", "2", "--duration", "1"});
    EXPECT_EQ(limited.exitCode, 0);
    EXPECT_EQ(limited.out.count("\r\n"), 3);
}

TEST(LogCliTest, ReplayToADataFileByExtension) {
    QTemporaryDir dir;
    const QString capture = WriteFile(dir, "c.txt", Capture());
    const QString xml = dir.filePath("log.xml");
    const CliRun r = Log({"--replay", capture, "--out", xml, "--decimal", "."});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
    MeasurementTable table;
    ASSERT_TRUE(LoadTableFromFile(xml.toStdString(), table, true, TimeFormat("%T")).ok);
    ASSERT_EQ(table.RowCount(), 6U);
    EXPECT_EQ(table.Row(5), (TableRow{6, (10 * 3600) * 1000 + 600, "1.004", "M\xA6\xB8",
                                      "IR:500V 20G\xA6\xB8", "Continuous"}));
}

TEST(LogCliTest, ASimulatedLogForAGivenDuration) {
    const CliRun r = Log({"--simulate", "--duration", "1.5", "--no-repeat"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_GE(r.out.count("\r\n"), 3);  // header and at least two readings
    EXPECT_TRUE(r.out.contains("\tIR:1000V 40G\xA6\xB8\tPI\r\n"));
}

TEST(LogCliTest, ExitCodesAndMessages) {
    QTemporaryDir dir;
    const QString capture = WriteFile(dir, "c.txt", Capture());
    const QString broken = WriteFile(dir, "broken.txt", "0 F0\n0 F0 1\n");
    const struct {
        QStringList args;
        int exitCode;
        const char* message;
    } cases[] = {
        {{"--bogus"}, 2, "unexpected argument '--bogus'"},
        {{"--replay"}, 2, "--replay needs a value"},
        {{"--replay", capture, "--simulate"}, 2, "exclude each other"},
        {{"--replay", capture, "--limit", "ten"}, 2, "--limit needs a whole number"},
        {{"--replay", capture, "--limit", "-1"}, 2, "--limit needs a whole number"},
        {{"--replay", capture, "--interval", "1.5"}, 2, "is not a number of seconds"},
        {{"--replay", capture, "--duration", "soon"}, 2, "--duration needs a number of seconds"},
        {{"--replay", dir.filePath("missing.txt")}, 2, "missing.txt: "},
        {{"--replay", broken}, 2, "broken.txt: line 2: \"1\" is not a byte"},
        {{"--replay", capture, "--out", dir.filePath("no/such/dir/log.txt")}, 4, ""},
    };
    for (const auto& c : cases) {
        const CliRun r = Log(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args.join(' ').toStdString() << "\n"
                                          << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(c.message)) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
}

TEST(LogCliTest, TheCableByDefault) {
    // Machines that run the tests normally have no cable: exit 3 with the link's own message.
    const CliRun r = Log({"--duration", "0.3"});
    if (r.exitCode == 0) GTEST_SKIP() << "a cable is plugged in";
    EXPECT_EQ(r.exitCode, 3) << r.err.toStdString();
    EXPECT_TRUE(
        r.err.contains("USB interface cable is not securely connected, please check and re-try.") ||
        r.err.contains("cannot be opened"))
        << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
}

}  // namespace
}  // namespace qx
