// Saving and opening data files when the system says no: a device as the target, a folder or
// file without write access, files that cannot be read or were cut short. Every case ends in
// the message the operator is told, and nothing that was already safe is lost.
//
// CI runs the tests as root, for whom permission bits do not bind. Where a case needs them to,
// the operation runs with the file-system identity of an ordinary user (setfsuid, this thread
// only), which drops root's override of permissions for exactly those calls.

#include <gtest/gtest.h>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <fstream>
#include <functional>
#include <sstream>

#include "files/data_files.h"
#include "reports/data_report.h"
#include "reports/report_export.h"

namespace qx {
namespace {

const TimeFormat k24h("%H:%M:%S");
const std::string kLoadFailed = "Failed to Load File!";
const TableRow kHeld{42, 9 * 3600'000, "held", "V", "DCV  600V", "Continuous"};
constexpr uid_t kNobody = 65534;

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

std::vector<TableRow> Rows(const MeasurementTable& t) {
    std::vector<TableRow> rows;
    for (std::size_t i = 0; i < t.RowCount(); ++i) rows.push_back(t.Row(i));
    return rows;
}

// Rows that look like a log: every row differs in No, Time and Value.
void FillLog(MeasurementTable& table, int rows) {
    for (int i = 0; i < rows; ++i)
        table.Append({i + 1, (10 * 3600 + i) * 1000, std::to_string(100 + i % 900) + ".5",
                      "M\xA6\xB8", "IR:1000V 40G\xA6\xB8", i % 2 ? "PI" : "Continuous"});
}

// Runs `work` with the permissions of an ordinary user: as root through setfsuid, otherwise as
// the user we are. Returns false when root cannot change its file-system identity here.
bool AsOrdinaryUser(const std::function<void()>& work) {
    if (geteuid() != 0) {
        work();
        return true;
    }
    setfsuid(kNobody);
    const bool dropped = setfsuid(static_cast<uid_t>(-1)) == kNobody;  // reads it back
    if (dropped) work();
    setfsuid(0);
    return dropped;
}

void ExpectSaveFailed(const FileOutcome& outcome, const std::string& path) {
    EXPECT_FALSE(outcome.ok);
    if (IsXmlDataFile(path)) {
        // The default error box with the error's own text, which names the file and the reason.
        EXPECT_EQ(outcome.kind, FileMessageKind::ErrorText);
        const bool named = outcome.message.rfind("Cannot create file \"" + path + "\". ", 0) == 0 ||
                           outcome.message.rfind("Cannot write file \"" + path + "\". ", 0) == 0;
        EXPECT_TRUE(named) << outcome.message;
    } else {
        EXPECT_EQ(outcome.kind, FileMessageKind::Plain);
        EXPECT_EQ(outcome.message, "Could not save table to specified file: " + path);
    }
    EXPECT_EQ(outcome.message.find("Scuss!"), std::string::npos);
}

class FileFaultsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        // Reachable for the ordinary user the cases switch to.
        ASSERT_EQ(chmod(dir_.path().toLocal8Bit().constData(), 0755), 0);
        FillLog(table_, 300);
    }
    std::string Path(const std::string& name) const {
        return dir_.filePath(QString::fromStdString(name)).toStdString();
    }
    QStringList Entries(const std::string& folder) const {
        return QDir(QString::fromStdString(folder))
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    }

    QTemporaryDir dir_;
    MeasurementTable table_;
};

// A save (or a report export) to a device file must not be mistaken for a file: it fails, and
// the device stays what it was. (The temporary file of an atomic save would be renamed over the
// device node wherever the folder is writable, as /dev is for root, and the save would be reported
// a success.)
TEST_F(FileFaultsTest, SavingToADeviceFailsAndLeavesTheDevice) {
    std::vector<std::string> targets;
    const std::string node = Path("full");
    if (mknod(node.c_str(), S_IFCHR | 0666, makedev(1, 7)) == 0) {  // the kernel's full device
        targets.push_back(node);
        ASSERT_EQ(symlink(node.c_str(), Path("full-link.xml").c_str()), 0);
        targets.push_back(Path("full-link.xml"));
    }
    // The system's own device only where a regression could not replace it.
    if (geteuid() != 0) targets.push_back("/dev/full");
    if (targets.empty()) GTEST_SKIP() << "no device node to write to";

    for (const std::string& base : targets) {
        for (const std::string& path : {base, base + ".xml"}) {
            // "<link>.xml.xml" is no device: only paths that exist as one count here.
            struct stat before {};
            if (stat(path.c_str(), &before) != 0) continue;
            SCOPED_TRACE(path);
            const std::string folder = path.substr(0, path.rfind('/'));
            const QStringList entries = Entries(folder);
            ExpectSaveFailed(SaveTableToFile(table_, path, kDefaultHeaderTitles, k24h), path);
            struct stat after {};
            ASSERT_EQ(stat(path.c_str(), &after), 0);
            EXPECT_TRUE(S_ISCHR(after.st_mode));
            EXPECT_EQ(after.st_rdev, before.st_rdev);
            EXPECT_EQ(Entries(folder), entries) << "no temporary file left behind";
        }
        // The report's export takes the same care.
        SCOPED_TRACE(base + " report");
        const DataReport report(table_, ReportSettings{"12/11/26", k24h});
        for (const ReportFileKind kind : {ReportFileKind::Csv, ReportFileKind::Text}) {
            const ReportOutcome outcome =
                WriteReportFile(report, kind, QString::fromStdString(base));
            EXPECT_FALSE(outcome.ok);
            EXPECT_EQ(outcome.message.rfind("The report could not be written: ", 0), 0u)
                << outcome.message;
            struct stat after {};
            ASSERT_EQ(stat(base.c_str(), &after), 0);
            EXPECT_TRUE(S_ISCHR(after.st_mode));
        }
    }
}

// A folder without write permission: the previous file stays byte for byte, and no temporary
// file is left beside it.
TEST_F(FileFaultsTest, SavingIntoAFolderWithoutWritePermissionKeepsThePreviousFile) {
    const std::string folder = Path("read-only");
    ASSERT_TRUE(QDir().mkdir(QString::fromStdString(folder)));
    for (const char* file : {"keep.txt", "keep.xml"}) {
        SCOPED_TRACE(file);
        const std::string path = folder + "/" + file;
        WriteFile(path, "previous contents\r\n");
        ASSERT_EQ(chmod(folder.c_str(), 0555), 0);
        FileOutcome outcome;
        const bool ran = AsOrdinaryUser(
            [&] { outcome = SaveTableToFile(table_, path, kDefaultHeaderTitles, k24h); });
        chmod(folder.c_str(), 0755);
        if (!ran) GTEST_SKIP() << "cannot drop root's file permissions here";
        ExpectSaveFailed(outcome, path);
        EXPECT_EQ(ReadFile(path), "previous contents\r\n");
        ASSERT_TRUE(QFile::remove(QString::fromStdString(path)));
        EXPECT_TRUE(Entries(folder).isEmpty()) << "no temporary file left behind";
    }
}

// Files that cannot be opened or read: the table keeps what it held.
TEST_F(FileFaultsTest, OpeningWhatCannotBeReadFails) {
    ASSERT_TRUE(QDir(dir_.path()).mkdir("folder.txt"));
    ASSERT_TRUE(QDir(dir_.path()).mkdir("folder.xml"));
    WriteFile(Path("plain"), "x");
    for (const char* name : {"locked.txt", "locked.xml"}) {
        ASSERT_TRUE(SaveTableToFile(table_, Path(name), kDefaultHeaderTitles, k24h).ok);
        ASSERT_EQ(chmod(Path(name).c_str(), 0000), 0);
    }
    // /proc/self/mem opens, and reading at offset 0 (never mapped) fails: a read error of a
    // file that opened, as a failing disk or a vanished network share gives.
    ASSERT_EQ(symlink("/proc/self/mem", Path("unreadable.txt").c_str()), 0);
    ASSERT_EQ(symlink("/proc/self/mem", Path("unreadable.xml").c_str()), 0);

    // Missing files are covered with the data files' own tests.
    const struct {
        const char* name;
        bool asOrdinaryUser;  // the permission bits must bind
    } cases[] = {
        {"folder.txt", false},      {"folder.xml", false},     {"plain/under.txt", false},
        {"plain/under.xml", false}, {"locked.txt", true},      {"locked.xml", true},
        {"unreadable.txt", false},  {"unreadable.xml", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MeasurementTable table;
        table.Append(kHeld);
        FileOutcome outcome;
        const auto load = [&] { outcome = LoadTableFromFile(Path(c.name), table, false, k24h); };
        if (!c.asOrdinaryUser)
            load();
        else if (!AsOrdinaryUser(load))
            GTEST_SKIP() << "cannot drop root's file permissions here";
        EXPECT_FALSE(outcome.ok);
        EXPECT_EQ(outcome.kind, FileMessageKind::LoadError);
        EXPECT_EQ(outcome.message, kLoadFailed);
        EXPECT_EQ(Rows(table), std::vector<TableRow>{kHeld});
    }
}

// A file cut short anywhere, as a full disk or an interrupted copy leaves it. A packet without
// its end is refused whole and the table keeps its rows. A text file has no end mark: the rows
// on whole lines load exactly, and the line that was cut either loads as it stands or stops the
// load with the message; nothing else is added.
TEST_F(FileFaultsTest, OpeningTruncatedFiles) {
    for (const char* name : {"whole.txt", "whole.xml"}) {
        SCOPED_TRACE(name);
        const std::string wholePath = Path(name);
        ASSERT_TRUE(SaveTableToFile(table_, wholePath, kDefaultHeaderTitles, k24h).ok);
        const std::string bytes = ReadFile(wholePath);
        const std::string cutPath =
            Path(std::string("cut") + (IsXmlDataFile(name) ? ".xml" : ".txt"));

        std::vector<std::size_t> cuts;
        for (std::size_t n = 0; n < bytes.size(); n += n < 150 || bytes.size() - n < 150 ? 1 : 71)
            cuts.push_back(n);
        for (const std::size_t n : cuts) {
            SCOPED_TRACE(n);
            WriteFile(cutPath, std::string_view(bytes).substr(0, n));
            MeasurementTable table;
            table.Append(kHeld);
            const FileOutcome outcome = LoadTableFromFile(cutPath, table, false, k24h);
            const std::vector<TableRow> rows = Rows(table);
            ASSERT_FALSE(rows.empty());
            EXPECT_EQ(rows.front(), kHeld);
            if (IsXmlDataFile(name)) {
                EXPECT_FALSE(outcome.ok);
                EXPECT_EQ(outcome.kind, FileMessageKind::LoadError);
                EXPECT_EQ(outcome.message, kLoadFailed);
                EXPECT_EQ(rows.size(), 1u);
                continue;
            }
            // Whole lines after the header.
            const std::string_view kept = std::string_view(bytes).substr(0, n);
            std::size_t lines = 0;
            for (std::size_t at = kept.find("\r\n"); at != std::string_view::npos;
                 at = kept.find("\r\n", at + 2))
                ++lines;
            const std::size_t wholeRows = lines > 0 ? lines - 1 : 0;
            if (n == 0) {
                EXPECT_FALSE(outcome.ok);  // an empty file
            } else if (!outcome.ok) {
                EXPECT_EQ(outcome.kind, FileMessageKind::LoadError);
                EXPECT_EQ(outcome.message, kLoadFailed);
            }
            ASSERT_GE(rows.size(), 1 + wholeRows);
            ASSERT_LE(rows.size(), 2 + wholeRows);
            for (std::size_t i = 0; i < wholeRows; ++i) ASSERT_EQ(rows[1 + i], table_.Row(i)) << i;
        }
    }
}

}  // namespace
}  // namespace qx
